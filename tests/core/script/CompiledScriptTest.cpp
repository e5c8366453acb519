// A stored script is read once into steps and read again when its text
// changes. The same text run fresh, run from a record compiled on another
// tree, and run after its record's text was changed and changed back must
// send the same commands to the same objects with the same bytes, for every
// statement form, condition, getter and path kind, and for the fuzz seeds.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "core/ObjectRef.h"
#include "tests/core/script/ScriptProbe.h"

namespace tge::scripttest {
namespace {

const char* const kScripts[] = {
    "this.ProbeInt(1); parent.ProbeInt(2); /Level.ProbeInt(3); sysLevel.ProbeInt(4);",
    "/Level/Player.ProbeInt(1); this/parent/Player.ProbeDword(2); parent/parent/Hub.ProbeFloat(3.5);",
    "global/Hub.ProbeInt(1); global/Hub/parent/Level.ProbeBool(1); global/Nobody.ProbeInt(2);",
    "local.ProbeInt(1); local/parent.ProbeInt(2); local/parent/Door.ProbeInt(3);",
    "/.ProbeInt(1); sys.ProbeInt(2); /Level//Door.ProbeInt(3); that.ProbeInt(4); \r\nthis.ProbeInt(5);",
    "this.ProbeVector2(1, 2); this.ProbeVector3(1,2,3); this.ProbeVector4(-1, 2.5, 3e2, x);",
    "this.ProbeQuaternion(0, 0, 0, 1); this.ProbeMatrix4(1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1);",
    "this.ProbeColor(1, 0.5, 0, 1); this.ProbePlane(0, 1, 0, 2); this.ProbeSphere(1, 2, 3, 4);",
    "this.ProbeAABox(0, 0, 0, 1, 1, 1); this.ProbeString(\"a text, with comma\"); this.ProbeString();",
    "this.ProbeString128(\"name\"); this.ProbeMixed(7, \"Score\", 2.5); this.ProbeTwoStrings(a, b);",
    "this.ProbeFloatString(1.5, \"x\"); this.ProbePointer(1); this.ProbeTreePath(/Level/Player);",
    "this.ProbeTreePath(local); this.ProbeTreePath(local/parent); this.ProbeTreePath(\"/Hub\");",
    "this.ProbeInt(99999999999); this.ProbeInt(-5); this.ProbeDword(4294967295); this.ProbeFloat(1e40);",
    "this.ProbeVector3(/Level/Player.GetProbeVector3()); this.ProbeMixed(/Level.GetProbeNamed(Score));",
    "this.ProbeVector3(/Level.GetProbeString()); this.ProbeFloatString(/Level.GetProbeFloat());",
    "this.ProbeVector3(local.GetProbeVector3()); this.NoSuchCommand(1); this.ProbeInt(1) this.ProbeInt(2);",
    "if ( this.GetProbeInt() >= 2 ) { this.ProbeInt(1); } else if ( this.GetProbeFloat() < 1 ) "
    "{ this.ProbeInt(2); } else { this.ProbeInt(3); } this.ProbeInt(4);",
    "if ( this.GetProbeInt() == 0 ) { this.ProbeInt(1); this.ProbeInt(2); } else { this.ProbeInt(3); }",
    "if ( this.GetActive() ) { this.ProbeInt(1); } if ( this.GetActive() == 0 ) { this.ProbeInt(2); }",
    "if ( this.GetProbeInt() > /Level.GetProbeInt() ) { this.ProbeInt(1); } else { this.ProbeInt(2); }",
    "if ( /Level.GetProbeIndexed(3) >= 30 ) { this.ProbeInt(1); } if ( local.GetProbeNamed(Score) > 1 ) "
    "{ this.ProbeInt(2); }",
    "if ( this.GetProbeString() ) { this.ProbeInt(1); } else { this.ProbeInt(2); } "
    "if ( this.GetProbeDword() <= -1 ) { this.ProbeInt(3); }",
    "if ( this.GetActive() ) { this.ProbeInt(1); if ( this.GetActive() ) { this.ProbeInt(2); } "
    "this.ProbeInt(3); } this.ProbeInt(4);",
    "if ( this.GetActive() ) { this.ProbeInt(1);",
    "if ( this.GetActive() ) this.ProbeInt(1);",
    "if ( this.GetActive( ",
    "if ( this.GetActive() == 0 ) { this.ProbeInt(1); } else if ( this.GetActive() ) { this.ProbeInt(2); } "
    "else { this.ProbeInt(3); }",
    "if ( nobody.GetActive() ) { this.ProbeInt(1); } else { this.ProbeInt(2); } else { this.ProbeInt(3); }",
    "else { this.ProbeInt(1); } this.ProbeInt(2); } this.ProbeInt(3); { this.ProbeInt(4); }",
    "if ( this.GetActive() ) { nowhere.x(}); this.ProbeInt(1); } this.ProbeInt(2);",
    "this.ProbeDropScripts(); this.ProbeInt(1); this.ProbeDelete(); this.ProbeInt(2); parent.ProbeInt(3);",
    "/Level/Player.ProbeDelete(); /Level/Player.ProbeInt(1); this.ProbeInt(2);",
    "this.RunScript(Diff); this.ProbeInt(1);",
    "this.SetName(Gate); /Level/Gate.ProbeInt(1); /Level/Door.ProbeInt(2); this.SetName(Door);",
    "this.ProbeInt(1)",
    "",
    "   \t\n ",
    "this.ProbeInt(1;2); ;; . ; .ProbeInt(3); this..ProbeInt(4); this.(5);",
};

struct Sent {
  std::string target;
  std::uint32_t id;
  Bytes bytes;
  std::string text;
  bool operator==(const Sent&) const = default;
};

std::string Describe(const std::vector<Sent>& sent) {
  std::ostringstream out;
  for (const Sent& s : sent) out << s.target << ' ' << s.id << ' ' << s.bytes.size() << ' ' << s.text << '\n';
  return out.str();
}

class CompiledScriptTest : public ScriptTest {
 protected:
  // A tree like the fixture's, whose door holds the script as "Diff".
  struct Tree {
    std::unique_ptr<Probe> root;
    Probe* level = nullptr;
    Probe* door = nullptr;
    Probe* player = nullptr;
  };

  Tree Build() {
    Tree tree;
    tree.root = std::make_unique<Probe>(&log);
    tree.root->SetName("root");
    tree.level = Add(*tree.root, "Level");
    tree.door = Add(*tree.level, "Door");
    tree.player = Add(*tree.level, "Player");
    tree.door->intValue = 2;
    tree.level->intValue = 5;
    tree.level->floatValue = 2.5f;
    tree.level->stringValue = "Score";
    tree.player->vectorValue = {1, 2, 3};
    tree.player->stringValue = "Score";
    tree.player->floatValue = 4;
    tree.door->SetUseScript(true);
    tree.door->GetScripts()->push_back({"Diff", ""});
    for (const Probe* object : {tree.root.get(), tree.level, tree.door, tree.player}) {
      std::string path;
      for (const Object* step = object; step != nullptr; step = step->GetParent()) path = step->GetName() + "/" + path;
      paths_[object] = path;
    }
    return tree;
  }

  std::vector<Sent> Take() {
    std::vector<Sent> sent;
    for (const Call& call : log) sent.push_back({paths_[call.target], call.id, call.bytes, call.text});
    log.clear();
    return sent;
  }

  std::vector<Sent> RunStored(Tree& tree) {
    log.clear();
    tree.door->RunScript("Diff", tree.player);
    return Take();
  }

  static ObjectScript& Record(Tree& tree) { return tree.door->GetScripts()->front(); }

  // Objects by their path when made: a script may delete or rename them.
  std::map<const Object*, std::string> paths_;
};

std::vector<std::string> ScriptsAndSeeds() {
  std::vector<std::string> texts(std::begin(kScripts), std::end(kScripts));
  const auto seeds = (std::filesystem::path(TGE_TEST_DATA) / ".." / "fuzz" / "corpus" / "script").lexically_normal();
  for (const auto& entry : std::filesystem::directory_iterator(seeds)) {
    std::ifstream in(entry.path(), std::ios::binary);
    texts.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return texts;
}

TEST_F(CompiledScriptTest, CompiledRecompiledAndFreshRunsSendTheSame) {
  const std::vector<std::string> texts = ScriptsAndSeeds();
  ASSERT_GT(texts.size(), std::size(kScripts));
  for (const std::string& text : texts) {
    Tree first = Build();
    Record(first).text = text;
    const ObjectRef<Probe> firstDoor(first.door);
    const std::vector<Sent> expected = RunStored(first);
    // A script that runs itself nests one level less from a text run.
    if (text.find("RunScript") == std::string::npos) {
      Tree fresh = Build();
      log.clear();
      RunScriptText(*fresh.door, text, fresh.player);
      EXPECT_EQ(Describe(Take()), Describe(expected)) << text;
    }

    // A copy of the record shares its compiled steps, warm from the first tree.
    Tree second = Build();
    if (const Probe* door = firstDoor.Get(); door && door->GetScripts()) {
      Record(second) = door->GetScripts()->front();
    }
    Record(second).text = text;
    EXPECT_EQ(Describe(RunStored(second)), Describe(expected)) << text;

    Tree edited = Build();
    Record(edited).text = "this.ProbeInt(99);";
    const std::vector<Sent> other = RunStored(edited);
    ASSERT_EQ(other.size(), 1u);
    EXPECT_EQ(other[0].bytes, Pack(std::int32_t{99}));
    Record(edited).text = text;
    EXPECT_EQ(Describe(RunStored(edited)), Describe(expected)) << text;
  }
}

}  // namespace
}  // namespace tge::scripttest

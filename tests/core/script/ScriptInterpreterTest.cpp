#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "core/script/ScriptText.h"
#include "tests/core/script/ScriptProbe.h"

namespace tge::scripttest {
namespace {

struct Expected {
  const Object* target;
  std::uint32_t id;
  Bytes bytes;
  std::string text = {};
};

void ExpectCalls(const std::vector<Call>& calls, const std::vector<Expected>& expected, const std::string& script) {
  ASSERT_EQ(calls.size(), expected.size()) << script;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].target, expected[i].target) << script << " call " << i;
    EXPECT_EQ(calls[i].id, expected[i].id) << script << " call " << i;
    EXPECT_EQ(calls[i].bytes, expected[i].bytes) << script << " call " << i;
    EXPECT_EQ(calls[i].text, expected[i].text) << script << " call " << i;
  }
}

std::int32_t IntOf(const Call& call) {
  std::int32_t value = 0;
  std::memcpy(&value, call.bytes.data(), std::min(sizeof(value), call.bytes.size()));
  return value;
}

TEST_F(ScriptTest, PathsNameTheirObjects) {
  struct Case {
    const char* script;
    bool withSender;
    const Object* target;  // null: nothing is sent
  };
  const Case cases[] = {
      {"this.ProbeInt(1);", false, door},
      {"parent.ProbeInt(1);", false, level},
      {"/Level.ProbeInt(1);", false, level},
      {"sysLevel.ProbeInt(1);", false, level},
      {"/Level/Player.ProbeInt(1);", false, player},
      {"this/parent/Player.ProbeInt(1);", false, player},
      {"parent/parent/Hub.ProbeInt(1);", false, other},
      {"global/Hub.ProbeInt(1);", false, other},
      {"global/Hub/parent/Level.ProbeInt(1);", false, level},
      {"local.ProbeInt(1);", true, player},
      {"local/parent.ProbeInt(1);", true, level},
      {"/.ProbeInt(1);", false, nullptr},
      {"sys.ProbeInt(1);", false, nullptr},
      {"local.ProbeInt(1);", false, nullptr},
      {"global/Nobody.ProbeInt(1);", false, nullptr},
      {"/Level/Nobody.ProbeInt(1);", false, nullptr},
      {"/Level//Door.ProbeInt(1);", false, nullptr},
      {"that.ProbeInt(1);", false, nullptr},
      {"\r\nthis.ProbeInt(1);", false, nullptr},
  };
  for (const Case& c : cases) {
    const auto calls = Run(c.script, c.withSender ? player : nullptr);
    if (c.target == nullptr) {
      EXPECT_TRUE(calls.empty()) << c.script;
      continue;
    }
    ASSERT_EQ(calls.size(), 1u) << c.script;
    EXPECT_EQ(calls[0].target, c.target) << c.script;
  }
}

TEST_F(ScriptTest, OverlongPathSegmentsAreRefused) {
  const std::string name(300, 'x');
  Add(*door, name);
  EXPECT_TRUE(Run("this/" + name + ".ProbeInt(1);").empty());
  EXPECT_TRUE(Run("this" + std::string(1100, '/') + ".ProbeInt(1);").empty());
  std::size_t consumed = 0;
  EXPECT_EQ(Object::ResolveObjectPath(door, "parent/Player.X", nullptr, &consumed), player);
  EXPECT_EQ(consumed, 13u);
}

TEST_F(ScriptTest, ArgumentsArePackedByValueType) {
  struct Case {
    std::string script;
    std::uint32_t id;
    Bytes bytes;
    std::string text = {};
  };
  const Case cases[] = {
      {"this.ProbeNone();", kProbeNone, {}},
      {"this.ProbeInt(-12);", kProbeInt, Pack(std::int32_t{-12})},
      {"this.ProbeInt(  7 );", kProbeInt, Pack(std::int32_t{7})},
      {"this.ProbeInt(99999999999);", kProbeInt, Pack(std::int32_t{2147483647})},
      {"this.ProbeInt(-99999999999);", kProbeInt, Pack(std::int32_t{-2147483647 - 1})},
      {"this.ProbeDword(-1);", kProbeDword, Pack(std::uint32_t{0xFFFFFFFF})},
      {"this.ProbeDword(4294967295);", kProbeDword, Pack(std::uint32_t{0x7FFFFFFF})},
      {"this.ProbeFloat(1.5);", kProbeFloat, Pack(1.5f)},
      {"this.ProbeFloat(-2.5e1);", kProbeFloat, Pack(-25.0f)},
      {"this.ProbeFloat(1e300);", kProbeFloat, Pack(std::numeric_limits<float>::infinity())},
      {"this.ProbeFloat();", kProbeFloat, Pack(0.0f)},
      {"this.ProbeBool(1);", kProbeBool, Pack(std::int32_t{1})},
      {"this.ProbeString(\"Hello there\");", kProbeString, {}, "Hello there"},
      {"this.ProbeString( spaced);", kProbeString, {}, "spaced"},  // blanks after the parenthesis go
      {"this.ProbeString();", kProbeString, {}, ""},
      {"this.ProbeFloatString(2);", kProbeFloatString, {}, ""},  // the block up to its first zero
      {"this.ProbeVector2(1, 2);", kProbeVector2, Pack(1.0f, 2.0f)},
      {"this.ProbeVector3(1, 2);", kProbeVector3, Pack(1.0f, 2.0f, 0.0f)},
      {"this.ProbeVector3(1,2,3,4,5);", kProbeVector3, Pack(1.0f, 2.0f, 3.0f)},
      {"this.ProbeVector4(1, 2, 3, 4);", kProbeVector4, Pack(1.0f, 2.0f, 3.0f, 4.0f)},
      {"this.ProbeQuaternion(0, 0, 0, 1);", kProbeQuaternion, Pack(0.0f, 0.0f, 0.0f, 1.0f)},
      {"this.ProbeColor(1, 0.5, 0, 1);", kProbeColor, Pack(1.0f, 0.5f, 0.0f, 1.0f)},
      {"this.ProbePlane(0, 1, 0, 2);", kProbePlane, Pack(0.0f, 1.0f, 0.0f, 2.0f)},
      {"this.ProbeSphere(1, 2, 3, 4);", kProbeSphere, Pack(1.0f, 2.0f, 3.0f, 4.0f)},
      {"this.ProbeAABox(1, 2, 3, 4, 5, 6);", kProbeAABox, Pack(1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f)},
      {"this.ProbeString128(\"Box01\");", kProbeString128, Text128("Box01")},
      {"this.ProbeTwoStrings(FX_CLSID_SA_MESH, Box01);", kProbeTwoStrings,
       [] {
         Bytes both = Text128("FX_CLSID_SA_MESH");
         const Bytes second = Text128(" Box01");
         both.insert(both.end(), second.begin(), second.end());
         return both;
       }()},
      {"this.ProbeString128(" + std::string(200, 'a') + ");", kProbeString128, Text128(std::string(127, 'a'))},
      {"this.ProbeTreePath(/Level/Player);", kProbeTreePath, Pack(static_cast<const void*>(player))},
      {"this.ProbeTreePath(\"parent);", kProbeTreePath, Pack(static_cast<const void*>(level))},
      {"this.ProbeTreePath(/Level/Nobody);", kProbeTreePath, Pack(static_cast<const void*>(nullptr))},
      {"this.ProbeMixed(3, name, 2.5);", kProbeMixed,
       [] {
         Bytes bytes = Pack(std::int32_t{3});
         const Bytes name = Text128(" name");
         bytes.insert(bytes.end(), name.begin(), name.end());
         const Bytes number = Pack(2.5f);
         bytes.insert(bytes.end(), number.begin(), number.end());
         return bytes;
       }()},
  };
  for (const Case& c : cases) {
    ExpectCalls(Run(c.script), {{door, c.id, c.bytes, c.text}}, c.script);
  }
}

TEST_F(ScriptTest, TreePathsSeeTheSender) {
  const auto calls = Run("this.ProbeTreePath(local); this.ProbeTreePath(local/parent);", player);
  ExpectCalls(calls,
              {{door, kProbeTreePath, Pack(static_cast<const void*>(player))},
               {door, kProbeTreePath, Pack(static_cast<const void*>(level))}},
              "local tree paths");
}

TEST_F(ScriptTest, StatementsThatCannotBeSentAreSkipped) {
  struct Case {
    const char* script;
    std::size_t calls;
  };
  const Case cases[] = {
      {"this.NoSuchCommand(1); this.ProbeInt(2);", 1},
      {"this.ProbeInt; this.ProbeInt(2);", 1},
      {"this.probeint(1);", 0},
      {"this.ProbePointer(1); this.ProbeInt(2);", 1},
      {"this.ProbeBool(true);", 0},  // a word is read as a getter path
      {"this.ProbeInt(1) this.ProbeInt(2)", 1},
      {"this.ProbeInt(1);\n\tthis.ProbeInt(2);\n", 2},
      {"nothing here", 0},
      {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(Run(c.script).size(), c.calls) << c.script;
}

TEST_F(ScriptTest, NestedGetterFillsTheBlock) {
  player->vectorValue = {1, 2, 3};
  auto calls = Run("this.ProbeVector3(/Level/Player.GetProbeVector3());");
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].target, player);
  EXPECT_EQ(calls[1].bytes, Pack(1.0f, 2.0f, 3.0f));

  // The raw text goes in unconverted: a named getter finds its entry.
  level->stringValue = "Score";
  level->floatValue = 4.5f;
  calls = Run("this.ProbeMixed(/Level.GetProbeNamed(Score));");
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(calls[1].bytes.data())), "Score");

  // Getters and targets that take objects or text-string objects are refused.
  EXPECT_TRUE(Run("this.ProbeVector3(/Level.GetProbeString());").empty());
  EXPECT_TRUE(Run("this.ProbeVector3(/Level.GetProbeTreePath());").empty());
  EXPECT_TRUE(Run("this.ProbeFloatString(/Level.GetProbeFloat());").empty());
  EXPECT_TRUE(Run("this.ProbeVector3(local.GetProbeVector3());", player).empty());
}

// The if / else chain picks one branch by a getter compared with a number.
TEST_F(ScriptTest, IfElseChainsRunOneBranch) {
  const std::string chain =
      "if ( this.GetProbeInt() = 1 ) { this.ProbeInt(1); }\n"
      "else if ( this.GetProbeInt() = 2 ) { this.ProbeInt(2); this.ProbeInt(22); }\n"
      "else { this.ProbeInt(3); }\n"
      "this.ProbeInt(4);";
  const std::vector<std::pair<std::int32_t, std::vector<std::int32_t>>> cases = {
      {1, {1, 4}}, {2, {2, 22, 4}}, {7, {3, 4}}};
  for (const auto& [value, expected] : cases) {
    door->intValue = value;
    std::vector<std::int32_t> sent;
    for (const Call& call : Run(chain)) {
      if (call.id == kProbeInt) sent.push_back(IntOf(call));
    }
    EXPECT_EQ(sent, expected) << "value " << value;
  }
}

TEST_F(ScriptTest, ConditionsCompareByValueType) {
  door->intValue = -1;
  level->intValue = 5;
  level->dwordValue = 5;
  door->floatValue = 2.5f;
  door->vectorValue = {1, 0, 0};
  struct Case {
    const char* condition;
    bool expected;
  };
  const Case cases[] = {
      {"( this.GetActive() = 1 )", false},  // a Bool compares only with a Bool
      {"( this.GetActive() )", true},
      {"( this.GetActive() = parent.GetActive() )", true},
      {"( this.GetActive() >= parent.GetActive() )", true},
      {"( this.GetActive() > parent.GetActive() )", false},
      {"( this.GetClassID() >= 2 )", true},  // Dword against Float
      {"( this.GetClassID() < 2 )", false},
      {"( this.GetProbeInt() < parent.GetProbeInt() )", true},     // Int with Int: signed
      {"( this.GetProbeInt() > parent.GetProbeDword() )", true},   // Int with Dword: unsigned
      {"( this.GetProbeInt() = -1 )", true},
      {"( this.GetProbeInt() <= -2 )", false},
      {"( this.GetProbeFloat() > 2.4 )", true},
      {"( this.GetProbeFloat() < 2.5 )", false},
      {"( this.GetProbeFloat() <= 2.5 )", true},
      {"( this.GetProbeFloat() > parent.GetProbeInt() )", false},
      {"( this.GetProbeVector3() = 1 )", false},  // not a number
      {"( this.GetProbeVector3() )", true},
      {"( this.GetProbeString() )", false},
      {"( this.GetProbeIndexed(3) = 30 )", true},  // Dword argument by long conversion
      {"( this.GetProbeNamed(Score) > 0 )", false},  // typed as its String128 argument
      {"( this.GetProbeNamed >= 0 )", false},  // no argument text at all
      {"( this.GetNoSuchThing() )", false},
      {"( this.GetProbeTreePath() )", false},
      {"( nobody.GetActive() )", false},
      {"( local.GetActive() )", true},
      {"( this.GetProbeInt() > /Level.GetProbeInt() )", false},  // '/' is not above '9': a number
  };
  for (const Case& c : cases) {
    const std::string script = std::string("if ") + c.condition + " { this.ProbeNone(); }";
    const auto calls = Run(script, player);
    const bool ran = std::any_of(calls.begin(), calls.end(), [](const Call& call) { return call.id == kProbeNone; });
    EXPECT_EQ(ran, c.expected) << c.condition;
  }
}

TEST_F(ScriptTest, BlocksHoldPlainStatementsOnly) {
  // An "if" inside a block is an unknown path; its block's '}' ends the outer one.
  const auto calls = Run(
      "if ( this.GetActive() ) { this.ProbeInt(1); if ( this.GetActive() ) { this.ProbeInt(2); } this.ProbeInt(3); }");
  std::vector<std::uint32_t> ids;
  for (const Call& call : calls) ids.push_back(call.id);
  EXPECT_EQ(std::count(ids.begin(), ids.end(), static_cast<std::uint32_t>(kProbeInt)), 2);
  EXPECT_TRUE(Run("if ( this.GetActive() ) { this.ProbeInt(1);").size() >= 1);
  EXPECT_TRUE(Run("if ( this.GetActive() ) this.ProbeInt(1);").size() >= 1);
  EXPECT_FALSE(Run("if ( this.GetActive( ").size() > 1);
}

TEST(ScriptText, NumbersReadInTheCLocale) {
  EXPECT_EQ(ParseLong32(" +42xyz"), 42);
  EXPECT_EQ(ParseLong32("abc"), 0);
  EXPECT_EQ(ParseLong32("-2147483649"), std::numeric_limits<std::int32_t>::min());
  EXPECT_FLOAT_EQ(ParseFloat("  3.25abc"), 3.25f);
  EXPECT_EQ(ParseFloat("-1e400"), -std::numeric_limits<float>::infinity());
  const char* const locales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"};
  for (const char* locale : locales) {
    if (std::setlocale(LC_NUMERIC, locale) == nullptr) continue;
    EXPECT_FLOAT_EQ(ParseFloat("1.5"), 1.5f) << locale;
    std::setlocale(LC_NUMERIC, "C");
  }
}

}  // namespace
}  // namespace tge::scripttest

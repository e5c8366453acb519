#include <gtest/gtest.h>

#include "core/CommandArgs.h"
#include "tests/core/script/ScriptProbe.h"

namespace tge::scripttest {
namespace {

constexpr int kOnSpawn = kProbeFirst + 200;

class ObjectScriptsTest : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    RegisterEvent(kOnSpawn, "OnProbeSpawn", kProbeClass, 0);
  }

  // Adds a record to the object's list with its event id looked up as a load does.
  void AddScript(Object& object, const std::string& name, const std::string& text, std::int32_t flags = 0) {
    object.SetUseScript(true);
    object.GetScripts()->push_back({name, text, FindCommandId(&object, name), flags});
  }

  std::size_t CountSent(std::uint32_t id) const {
    return static_cast<std::size_t>(std::count_if(log.begin(), log.end(), [id](const Call& c) { return c.id == id; }));
  }
};

TEST_F(ObjectScriptsTest, EventRunsTheFirstRecordWithItsId) {
  AddScript(*door, "OnProbeSpawn", "this.ProbeInt(1);");
  AddScript(*door, "OnProbeSpawn", "this.ProbeInt(2);");
  EXPECT_EQ(door->FireEvent(kOnSpawn, nullptr), 1);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].bytes, Pack(std::int32_t{1}));

  // Disabling the first silences the event; the second is never tried.
  log.clear();
  (*door->GetScripts())[0].flags = kScriptDisabled;
  EXPECT_EQ(door->FireEvent(kOnSpawn, nullptr), 0);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(door->FireEvent(kOnSpawn + 1, nullptr), 0);
}

TEST_F(ObjectScriptsTest, DeactivatingStopsLaterEvents) {
  AddScript(*door, "OnProbeSpawn", "this.SetActive(0); this.ProbeInt(1);");
  EXPECT_EQ(door->FireEvent(kOnSpawn, nullptr), 1);
  EXPECT_FALSE(door->GetActive());
  EXPECT_EQ(CountSent(kProbeInt), 1u);
  log.clear();
  EXPECT_EQ(door->FireEvent(kOnSpawn, nullptr), 0);
  EXPECT_EQ(door->RunScript("OnProbeSpawn", nullptr), 0);
  EXPECT_TRUE(log.empty());
}

TEST_F(ObjectScriptsTest, ScriptCommandsRunByNameAndDisable) {
  AddScript(*door, "Open", "local.ProbeInt(5);");
  AddScript(*door, "NoEvent", "this.ProbeInt(6);");
  EXPECT_EQ((*door->GetScripts())[1].eventId, -1);
  ArgumentBlock run;
  run.PushText128("Open").PushPointer(player);
  door->ExecuteCommand(FindCommandId(door, "RunScriptEx"), run.Data());
  ASSERT_EQ(CountSent(kProbeInt), 1u);
  EXPECT_EQ(log.back().target, player);

  EXPECT_EQ(door->RunScript("open", nullptr), 0);  // names are case-sensitive
  EXPECT_EQ(door->RunScript("NoEvent", nullptr), 1);

  log.clear();
  RunScriptText(*level, "/Level/Door.DeleteScript(Open); /Level/Door.RunScript(Open);", nullptr);
  EXPECT_EQ(CountSent(kProbeInt), 0u);
  EXPECT_EQ((*door->GetScripts())[0].flags, kScriptDisabled);
}

TEST_F(ObjectScriptsTest, ScriptMayFreeItsOwnText) {
  AddScript(*door, "Drop", "this.ProbeDropScripts(); this.ProbeInt(1); this.ProbeInt(2);");
  EXPECT_EQ(door->RunScript("Drop", nullptr), 1);
  EXPECT_EQ(door->GetScripts(), nullptr);
  EXPECT_EQ(CountSent(kProbeInt), 2u);
}

// An object deleted at once under its own script lives until the script has
// returned, through nested runs too.
TEST_F(ObjectScriptsTest, DeletionWaitsForTheScript) {
  AddScript(*door, "Die", "this.ProbeDelete(); this.ProbeInt(1); /Level.RunScript(Last);");
  AddScript(*level, "Last", "/Level/Door.ProbeInt(2); /Level/Door.Delete();");
  EXPECT_EQ(door->RunScript("Die", nullptr), 1);
  EXPECT_EQ(CountSent(kProbeInt), 2u);
  EXPECT_EQ(level->GetChildCount(), 1);
  EXPECT_EQ(level->GetChild(0), player);
}

// Without a hold (no object services installed) an object can only go by
// other means than Delete; a run whose context or sender is destroyed under
// it stops or finds "local" empty instead of touching freed memory.
TEST_F(ObjectScriptsTest, RunSurvivesItsObjectsBeingDestroyed) {
  SetObjectHooks(nullptr);
  struct Destroyer : Object {
    int ExecuteCommand(std::uint32_t id, void* args) override {
      if (id != kProbeNone) return Object::ExecuteCommand(id, args);
      DestroyObjectTree(GetParent()->DetachChild(*this));
      return 1;
    }
  };
  auto add = [](Object& parent, const char* name) {
    Object* object = parent.AddChild(std::make_unique<Destroyer>());
    object->SetName(name);
    return object;
  };
  Object* self = add(*level, "Self");
  RunScriptText(*self, "this.ProbeNone(); /Level.ProbeInt(1);", nullptr);
  EXPECT_EQ(CountSent(kProbeInt), 0u);
  Object* sender = add(*level, "Sender");
  RunScriptText(*level, "local.ProbeNone(); local.ProbeInt(1); this.ProbeInt(2);", sender);
  ASSERT_EQ(CountSent(kProbeInt), 1u);
  EXPECT_EQ(log.back().target, level);
}

TEST_F(ObjectScriptsTest, RecursionIsBounded) {
  AddScript(*door, "Loop", "this.ProbeNone(); this.RunScript(Loop);");
  EXPECT_EQ(door->RunScript("Loop", nullptr), 1);
  EXPECT_EQ(CountSent(kProbeNone), static_cast<std::size_t>(kMaxScriptDepth));

  // Two runs per run would take 2^32 runs; the whole tree of runs is capped.
  AddScript(*door, "Fan", "this.ProbeNone(); this.RunScript(Fan); this.RunScript(Fan);");
  log.clear();
  EXPECT_EQ(door->RunScript("Fan", nullptr), 1);
  EXPECT_EQ(CountSent(kProbeNone), static_cast<std::size_t>(kMaxNestedScriptRuns));
  log.clear();
  EXPECT_EQ(door->RunScript("Loop", nullptr), 1);  // the next outermost run starts afresh
  EXPECT_EQ(CountSent(kProbeNone), static_cast<std::size_t>(kMaxScriptDepth));
}

}  // namespace
}  // namespace tge::scripttest

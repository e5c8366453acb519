// Trigger: enter and exit in the frame their contacts change, the 0.1 s
// rule, group events, a held object deleted, and switching off.
#include "core/script/ScriptInterpreter.h"
#include "objects/gameplay/props/SimObject.h"
#include "objects/gameplay/props/Trigger.h"
#include "tests/engine/props/PropsFixture.h"

namespace tge::test {
namespace {

class TriggerTest : public PropsTest {
 protected:
  // A trigger above the floor that sees the crates' category bit 0, and a
  // crate resting inside it.
  void SetUp() override {
    PropsTest::SetUp();
    trigger = &Place<Trigger>(*room, "Trigger", {0, 1.2f, 0});
    RunScriptText(*trigger, "this.SetGeometryCollisionBits(3);", nullptr);
    crate = &Place<SimObject>(*room, "Crate", {0, 0.5f, 0});
  }

  void MoveCrate(float x) { crate->SetPosition({x, 0.5f, 0}, true); }

  Trigger* trigger = nullptr;
  SimObject* crate = nullptr;
};

TEST_F(TriggerTest, TheEnterComesInTheTickOfTheFirstContactAndTheExitAfterIt) {
  Start();
  Step();
  EXPECT_TRUE(events.empty()) << "HandleContact raised an event";
  Tick();
  EXPECT_EQ(Take(), (RaisedEvents{{Trigger::kEventEnter, crate}}));
  RunFrames(10);
  EXPECT_TRUE(events.empty());

  MoveCrate(8);
  RunFrames(1);
  EXPECT_EQ(Take(), (RaisedEvents{{Trigger::kEventExit, crate}}));
  RunFrames(5);
  EXPECT_TRUE(events.empty());
}

// A trigger whose sphere reaches into the floor: the level's geometry never
// enters, so the crate's coming and going still raise the events.
TEST_F(TriggerTest, TheFloorInsideTheSphereNeverEnters) {
  trigger->SetPosition({0, 0.6f, 0}, false);
  MoveCrate(8);
  Start();
  RunFrames(10);
  EXPECT_TRUE(events.empty());
  MoveCrate(0);
  RunFrames(10);
  EXPECT_EQ(Take(), (RaisedEvents{{Trigger::kEventEnter, crate}}));
  MoveCrate(8);
  RunFrames(1);
  EXPECT_EQ(Take(), (RaisedEvents{{Trigger::kEventExit, crate}}));
}

TEST_F(TriggerTest, ContactLostAndRegainedWithinATenthOfASecondChangesNothing) {
  Start();
  RunFrames(1);
  ASSERT_EQ(Take().size(), 1u);
  MoveCrate(8);
  RunFrames(2);
  MoveCrate(0);
  RunFrames(10);
  EXPECT_TRUE(events.empty());
}

// An object deleted while inside still lets the trigger empty: the pending
// exit is raised without a sender.
TEST_F(TriggerTest, ACrateDeletedInsideRaisesTheExitWithNoSender) {
  Start();
  RunFrames(10);
  ASSERT_EQ(Take(), (RaisedEvents{{Trigger::kEventEnter, crate}}));
  Step();
  DestroyObjectTree(room->DetachChild(*crate));
  Tick();
  EXPECT_EQ(Take(), (RaisedEvents{{Trigger::kEventExit, nullptr}}));
  RunFrames(5);
  EXPECT_TRUE(events.empty());
}

TEST_F(TriggerTest, StopRaisesTheExitWithThePreviousFramesContactAndReleasesTheSensor) {
  Start();
  RunFrames(3);
  Take();
  trigger->Stop();
  EXPECT_EQ(Take(), (RaisedEvents{{Trigger::kEventExit, crate}}));
  EXPECT_FALSE(trigger->GetPhysics()->geometries[0]->HasLiveGeometry());
  EXPECT_EQ(trigger->GetTriggerFlags() & Trigger::kEnable, 0u);

  // Started again: the sensor is back and the next contact enters at once.
  trigger->Start();
  EXPECT_TRUE(trigger->GetPhysics()->geometries[0]->HasLiveGeometry());
  RunFrames(1);
  EXPECT_EQ(Take(), (RaisedEvents{{Trigger::kEventEnter, crate}}));
}

// Group i is bit i of the sensor's collision bits and the toucher's category
// bits, tracked only with a script for it, frame by frame.
TEST_F(TriggerTest, GroupsWithScriptsEnterAndExitFrameByFrame) {
  RunScriptText(*trigger, "this.SetTriggerEnableGroupEvent(1);", nullptr);
  for (const char* name : {"OnTriggerEnter1", "OnTriggerExit1", "OnTriggerEnter2"}) {
    trigger->GetScripts()->push_back({name, "", FindCommandId(trigger, name)});
  }
  Start();
  ASSERT_TRUE(trigger->HasGroups());
  RunFrames(1);
  EXPECT_EQ(Take(), (RaisedEvents{{Trigger::kEventGroupEnter, crate}, {Trigger::kEventEnter, crate}}));
  RunFrames(10);
  MoveCrate(8);
  RunFrames(1);
  EXPECT_EQ(Take(), (RaisedEvents{{Trigger::kEventGroupExit, crate}, {Trigger::kEventExit, crate}}));
}

TEST_F(TriggerTest, GroupEventNamesAreRegisteredForAllThirtyTwoGroups) {
  EXPECT_EQ(FindCommandId(trigger, "OnTriggerEnter1"), 4011);
  EXPECT_EQ(FindCommandId(trigger, "OnTriggerExit1"), 4043);
  EXPECT_EQ(FindCommandId(trigger, "OnTriggerEnter32"), 4042);
  EXPECT_EQ(FindCommandId(trigger, "OnTriggerExit32"), 4074);
}

// Trigger, PhysicsMagnet and LookAt: switched off, the physics-start message
// builds nothing of theirs but still reaches their children.
TEST_F(TriggerTest, SwitchedOffSensorsBuildNoGeometryWhileTheirChildrenDo) {
  for (int classId : {kClassTrigger, kClassPhysicsMagnet, kClassLookAt}) {
    SCOPED_TRACE(classId);
    Object* sensor = CreateObject(classId, nullptr, *room, "Sensor");
    sensor->ExecuteCommand(177, nullptr);
    Object& child = AddBlock(*sensor, "Child", {3, 3, 3}, 1);
    Start();
    ASSERT_TRUE(sensor->GetPhysics()->geometries[0]->HasLiveGeometry());
    sensor->Stop();
    child.ExecuteCommand(163, nullptr);
    ASSERT_FALSE(child.GetPhysics()->geometries[0]->HasLiveGeometry());
    sensor->ExecuteCommand(161, nullptr);
    EXPECT_FALSE(sensor->GetPhysics()->geometries[0]->HasLiveGeometry());
    EXPECT_TRUE(child.GetPhysics()->geometries[0]->HasLiveGeometry());
    DestroyObjectTree(room->DetachChild(*sensor));
  }
}

}  // namespace
}  // namespace tge::test

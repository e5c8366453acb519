// LookAt: turning at its speeds within its limits, its events, a target
// straight above, and nodes or targets deleted.
#include <cmath>

#include "core/script/ScriptInterpreter.h"
#include "objects/gameplay/props/LookAt.h"
#include "tests/engine/props/PropsFixture.h"

namespace tge::test {
namespace {

class LookAtTest : public PropsTest {
 protected:
  // A LookAt high above the floor turning its child "Head", looking at the
  // room's "Target".
  void SetUp() override {
    PropsTest::SetUp();
    look = &Place<LookAt>(*room, "Look", {0, 10, 0});
    head = &Add(*look, "Head");
    head->SetPosition({}, false);
    target = &Add(*room, "Target");
    RunScriptText(*look,
                  "this.SetLookAtControl1(\"this/Head\"); this.SetLookAtTarget(\"parent/Target\"); "
                  "this.SetLookAtControl1RotateX(1); this.SetLookAtControl1RotateY(1);",
                  nullptr);
  }

  void Frame(double seconds = kStep) {
    Tick(seconds);
    look->Draw();
  }

  LookAt* look = nullptr;
  Object* head = nullptr;
  Object* target = nullptr;
};

TEST_F(LookAtTest, TheHeadTurnsAtItsSpeedAndTheEventsFollowTheWindow) {
  target->SetPosition({2, 10, 10}, false);
  Start();
  Frame(0.05);
  const float yaw = std::atan2(2.0f, 10.0f);
  EXPECT_NEAR(look->GetAngleY(), 1.5707964f * 0.05f, 1e-4f);
  for (int i = 0; i < 20; ++i) Frame(0.05);
  EXPECT_NEAR(look->GetAngleY(), yaw, 1e-4f);
  EXPECT_NEAR(look->GetAngleX(), 0.0f, 1e-4f);
  EXPECT_EQ(Take(), (RaisedEvents{{LookAt::kEventEnter, target}}));
  Quaternion expected;
  QuaternionFromYawPitchRoll(expected, yaw, 0, 0);
  EXPECT_NEAR(head->GetRotation().y, expected.y, 1e-4f);

  target->SetPosition({8, 10, 10}, true);
  Frame(0.05);
  EXPECT_EQ(Take(), (RaisedEvents{{LookAt::kEventExit, target}}));
}

// Straight above: the pitch is -90 degrees, finite; the default limits clamp
// it, so the head keeps its rotation and no event comes.
TEST_F(LookAtTest, ATargetStraightAboveGivesAFinitePitchThatTheLimitHolds) {
  target->SetPosition({0, 15, 0}, false);
  Start();
  look->ForceLookAt();
  EXPECT_NEAR(look->GetAngleX(), -1.5707964f, 1e-4f);
  EXPECT_FLOAT_EQ(look->GetAngleY(), 0.0f);
  for (int i = 0; i < 30; ++i) Frame(0.05);
  EXPECT_TRUE(std::isfinite(look->GetAngleX()));
  EXPECT_NEAR(look->GetAngleX(), -0.7853982f, 1e-4f);
  EXPECT_FLOAT_EQ(head->GetRotation().w, 1.0f);
  EXPECT_TRUE(events.empty());
}

// Low enough for its sensor to reach into the floor: the level's geometry
// is nothing to look at, so the head turns to its target straight ahead.
TEST_F(LookAtTest, TheFloorInsideTheSensorIsNothingToLookAt) {
  look->SetPosition({2, 1, 3}, false);
  target->SetPosition({2, 1, 13}, false);
  Start();
  for (int i = 0; i < 20; ++i) {
    Step();
    Frame(0.05);
  }
  EXPECT_FLOAT_EQ(look->GetAngleX(), 0.0f);
  EXPECT_FLOAT_EQ(look->GetAngleY(), 0.0f);
  EXPECT_EQ(Take(), (RaisedEvents{{LookAt::kEventEnter, target}}));
}

TEST_F(LookAtTest, OnlyRotateYTurnsTheHeadAboutYAlone) {
  RunScriptText(*look, "this.SetLookAtControl1RotateX(0); this.SetLookAtLimitX(0);", nullptr);
  target->SetPosition({3, 13, 10}, false);
  Start();
  for (int i = 0; i < 20; ++i) Frame(0.05);
  EXPECT_LT(look->GetAngleX(), -0.1f);
  EXPECT_FLOAT_EQ(head->GetRotation().x, 0.0f);
  EXPECT_GT(std::fabs(head->GetRotation().y), 0.1f);
}

TEST_F(LookAtTest, TheEventWindowNeverExceedsTheLimit) {
  RunScriptText(*look, "this.SetLookAtLimitX(0.1); this.SetLookAtEventLimitX(0.5);", nullptr);
  float window = 0;
  look->ExecuteCommand(14767, &window);
  EXPECT_FLOAT_EQ(window, 0.1f);
}

// With its node or its target gone the LookAt only draws its children.
TEST_F(LookAtTest, ADeletedNodeOrTargetLeavesTheAnglesAlone) {
  target->SetPosition({2, 10, 10}, false);
  Start();
  Frame(0.05);
  const float yaw = look->GetAngleY();
  DestroyObjectTree(room->DetachChild(*target));
  Frame(0.05);
  EXPECT_FLOAT_EQ(look->GetAngleY(), yaw);
  DestroyObjectTree(look->DetachChild(*head));
  Frame(0.05);
  EXPECT_FLOAT_EQ(look->GetAngleY(), yaw);
}

}  // namespace
}  // namespace tge::test

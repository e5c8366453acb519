// PhysicsMagnet: choosing, holding against gravity, throwing, the pull
// radius fixed at Precalculate, and a held object deleted.
#include "core/script/ScriptInterpreter.h"
#include "objects/gameplay/props/PhysicsMagnet.h"
#include "objects/gameplay/props/SimObject.h"
#include "tests/engine/props/PropsFixture.h"

namespace tge::test {
namespace {

class PhysicsMagnetTest : public PropsTest {
 protected:
  void SetUp() override {
    PropsTest::SetUp();
    magnet = &Place<PhysicsMagnet>(*room, "Magnet", {0, 4, 0});
    RunScriptText(*magnet, "this.SetPhysicsMagnetRadius(1.5);", nullptr);
  }

  float DistanceToMagnet(Object& object) { return object.GetDistanceTo(*magnet); }

  PhysicsMagnet* magnet = nullptr;
};

TEST_F(PhysicsMagnetTest, ACrateTouchingTheSensorIsHeldNearTheMagnetThenThrownAlongZ) {
  SimObject& crate = Place<SimObject>(*room, "Crate", {0, 3, 0});
  Start();
  EXPECT_FLOAT_EQ(magnet->GetMagnetRadius(), 1.5f);
  RunFrames(1);
  EXPECT_EQ(magnet->GetHeldObject(), &crate);
  RunFrames(120);
  EXPECT_EQ(magnet->GetHeldObject(), &crate);
  EXPECT_LT(DistanceToMagnet(crate), 0.5f);
  EXPECT_GT(magnet->GetGlow(), 0.0f);

  magnet->ReleaseObjects(1.0f);
  EXPECT_EQ(magnet->GetHeldObject(), nullptr);
  RunFrames(1);
  EXPECT_GT(crate.GetLinearVelocity().z, 5.0f);
  EXPECT_TRUE(events.empty()) << "the magnet's events are never raised";
}

// The sensor grows at once; the pull radius only at the next Precalculate.
TEST_F(PhysicsMagnetTest, AnObjectTouchingTheSensorBeyondThePullRadiusIsNeverChosen) {
  SimObject& crate = Place<SimObject>(*room, "Crate", {0, 0.5f, 0});
  Start();
  RunScriptText(*magnet, "this.SetPhysicsMagnetRadius(4);", nullptr);
  float radius = 0;
  magnet->ExecuteCommand(1501, &radius);
  EXPECT_FLOAT_EQ(radius, 4.0f);
  EXPECT_FLOAT_EQ(magnet->GetMagnetRadius(), 1.5f);
  RunFrames(30);
  EXPECT_EQ(magnet->GetHeldObject(), nullptr);
  EXPECT_NEAR(crate.GetPositionWS().y, 0.5f, 0.05f);
}

// The sensor reaches the floor and a post without a body: neither has a
// body to pull, so the magnet takes the crate beside them and lifts it.
TEST_F(PhysicsMagnetTest, TheFloorAndBodilessObjectsInTheSensorAreNeverChosen) {
  RunScriptText(*magnet, "this.SetPhysicsMagnetRadius(3);", nullptr);
  magnet->SetPosition({0, 1.5f, 0}, false);
  AddBlock(*room, "Post", {-1, 1.5f, 0}, 0x80000);
  SimObject& crate = Place<SimObject>(*room, "Crate", {1, 0.5f, 0});
  Start();
  for (int frame = 0; frame < 60; ++frame) {
    RunFrames(1);
    Object* held = magnet->GetHeldObject();
    ASSERT_TRUE(held == nullptr || held == &crate) << held->GetName();
  }
  EXPECT_EQ(magnet->GetHeldObject(), &crate);
  EXPECT_GT(crate.GetPositionWS().y, 1.0f);
}

// The magnet chooses again among what still touches it.
TEST_F(PhysicsMagnetTest, AHeldCrateDeletedLeavesTheMagnetToChooseAgain) {
  SimObject& held = Place<SimObject>(*room, "Held", {0, 3, 0});
  Start();
  RunFrames(30);
  ASSERT_EQ(magnet->GetHeldObject(), &held);
  SimObject& next = Place<SimObject>(*room, "Next", {0, 4.5f, 0.5f});
  next.Start();
  Step();
  DestroyObjectTree(room->DetachChild(held));
  Tick();
  RunFrames(60);
  EXPECT_EQ(magnet->GetHeldObject(), &next);
  EXPECT_LT(DistanceToMagnet(next), 0.5f);
}

TEST_F(PhysicsMagnetTest, StopDropsTheHeldObjectAndStartBuildsTheSensorAgain) {
  Place<SimObject>(*room, "Crate", {0, 3, 0});
  Start();
  RunFrames(10);
  magnet->Stop();
  EXPECT_FALSE(magnet->GetPhysics()->geometries[0]->HasLiveGeometry());
  RunFrames(60);
  EXPECT_EQ(magnet->GetHeldObject(), nullptr);
  magnet->Start();
  EXPECT_TRUE(magnet->GetPhysics()->geometries[0]->HasLiveGeometry());
}

}  // namespace
}  // namespace tge::test

#include "objects/gameplay/physics/PhysicsWorld.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "objects/gameplay/physics/PhysicsJoint.h"
#include "tests/objects/gameplay/physics/PhysicsTestScene.h"

namespace tge::test {
namespace {

class PhysicsWorldTest : public PhysicsScene {};

bool IsListed(const PhysicsWorld* physics) {
  const auto& worlds = GetPhysicsWorlds();
  return std::find(worlds.begin(), worlds.end(), physics) != worlds.end();
}

TEST_F(PhysicsWorldTest, NewWorldQuickStepsIsListedAndPointsBackFromTheLibraryWorld) {
  EXPECT_EQ(physics->useQuickStep, 1);
  EXPECT_TRUE(IsListed(physics));
  EXPECT_EQ(GetPhysicsWorldOf(physics->world), physics);
  SetPhysicsWorldQuickStep(physics, 0);
  EXPECT_EQ(physics->useQuickStep, 0);
}

TEST_F(PhysicsWorldTest, NullRecordDoesNothing) {
  SetPhysicsWorldGravity(nullptr, {0, -1, 0});
  StepPhysicsWorld(nullptr, 0.1f);
  DestroyPhysicsWorld(nullptr);
  EXPECT_EQ(CreateBody(nullptr), nullptr);
  EXPECT_EQ(GetPhysicsWorldBodyCount(nullptr), 0);
  EXPECT_EQ(GetPhysicsWorldBody(nullptr, 0), nullptr);
}

TEST_F(PhysicsWorldTest, BodyListKeepsCreationOrderWhenTheMiddleBodyGoes) {
  dBodyID first = AddBox({0, 0, 0});
  dBodyID middle = AddBox({2, 0, 0});
  dBodyID last = AddBox({4, 0, 0});
  ASSERT_EQ(GetPhysicsWorldBodyCount(physics), 3);
  DestroyBody(middle);
  bodies.erase(std::find(bodies.begin(), bodies.end(), middle));
  ASSERT_EQ(GetPhysicsWorldBodyCount(physics), 2);
  EXPECT_EQ(GetPhysicsWorldBody(physics, 0), first);
  EXPECT_EQ(GetPhysicsWorldBody(physics, 1), last);
  EXPECT_EQ(GetPhysicsWorldBody(physics, 2), nullptr);
  EXPECT_EQ(GetPhysicsWorldBody(physics, -1), nullptr);
}

TEST_F(PhysicsWorldTest, StepEmptiesTheContactGroupWhateverTheStepTime) {
  AddGroundPlane();
  std::vector<dBodyID> boxes;
  for (int i = 0; i < 50; ++i) boxes.push_back(AddBox({i * 1.5f, 0.45f, 0}));
  for (float seconds : {kStep, 0.0f, -1.0f}) {
    Collide();
    ASSERT_GE(ContactJointCount(boxes[0]), 1);
    StepPhysicsWorld(physics, seconds);
    for (dBodyID box : boxes) EXPECT_EQ(ContactJointCount(box), 0);
  }
}

TEST_F(PhysicsWorldTest, ZeroIterationCountIsRefused) {
  SetPhysicsWorldQuickStepIterations(physics, 0);
  EXPECT_STRNE(GetLastPhysicsError(), "");
  EXPECT_EQ(dWorldGetQuickStepNumIterations(physics->world), 20);
}

// A World may go before the objects that hold its bodies and joints; their
// handles stay usable until they are released, and the world goes with the last.
TEST_F(PhysicsWorldTest, DestroyedWorldLivesUntilItsBodiesAndJointsAreReleased) {
  PhysicsWorld* world = CreatePhysicsWorld();
  dBodyID first = CreateBody(world);
  dBodyID second = CreateBody(world);
  dJointID hinge = CreateHingeJoint(world);
  AttachJoint(hinge, first, second);
  DestroyPhysicsWorld(world);
  EXPECT_FALSE(IsListed(world));
  EXPECT_EQ(CreateBody(world), nullptr);

  SetBodyPosition(first, {1, 2, 3});
  EXPECT_FLOAT_EQ(GetBodyPosition(first).y, 2);
  DestroyBody(first);
  DestroyJoint(hinge);
  DestroyBody(second);
}

}  // namespace
}  // namespace tge::test

#include <gtest/gtest.h>

#include "engine/ObjectPhysicsBuilder.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/physics/PhysicsSpace.h"
#include "objects/gameplay/physics/PhysicsWorld.h"
#include "tests/engine/EngineTestFixture.h"

namespace tge::test {
namespace {

// The builder only asks whether an object is filed in a Space; it never
// looks inside one, so a stand-in address serves until Spaces are built.
alignas(16) unsigned char gSpaceStandIn[16];
Space* StandInSpace() { return reinterpret_cast<Space*>(gSpaceStandIn); }

class ObjectPhysicsBuilderTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    physicsWorld = CreatePhysicsWorld();
    collisionSpace = CreateSimpleSpace(nullptr);
    engine->GetEngineWorld().SetPhysics(physicsWorld, ToPhysicsSpace(collisionSpace));
  }
  void TearDown() override {
    engine->Shutdown();
    DestroySpace(collisionSpace);
    DestroyPhysicsWorld(physicsWorld);
    EngineTest::TearDown();
  }

  Object& Body(std::uint32_t shape, bool transform) {
    Object& object = Add(*engine, "Body");
    object.SetWorld(&engine->GetEngineWorld());
    object.SetSpace(StandInSpace());
    object.SetUsePhysics(true);
    object.GetPhysics()->flags = kPhysicsEnableRigidBody | kPhysicsEnableLocalSpace;
    GeometryRecord& record = object.AddGeometry();
    record.info = shape | kGeometryMassByDensity | (transform ? kGeometryUseTransform : 0);
    record.dimension = {1, 2, 1};
    return object;
  }

  PhysicsWorld* physicsWorld = nullptr;
  dSpaceID collisionSpace = nullptr;
};

TEST_F(ObjectPhysicsBuilderTest, BuildsOnceAndReleasesEverything) {
  Object& object = Body(kGeometryBox, true);
  object.ExecuteCommand(161, nullptr);
  object.ExecuteCommand(161, nullptr);
  EXPECT_EQ(GetPhysicsWorldBodyCount(physicsWorld), 1);
  const GeometryRecord& record = *object.GetPhysics()->geometries[0];
  EXPECT_NE(record.geometry, nullptr);
  EXPECT_NE(record.transformGeometry, nullptr);
  EXPECT_NE(object.GetPhysics()->space, nullptr);
  EXPECT_GT(object.GetMass(), 0.0f);
  EXPECT_EQ(engine->GetEngineWorld().GetPhysicsObjects().size(), 1u);

  object.ExecuteCommand(163, nullptr);
  EXPECT_EQ(GetPhysicsWorldBodyCount(physicsWorld), 0);
  EXPECT_FALSE(object.GetPhysics()->HasLiveHandles());
  EXPECT_TRUE(engine->GetEngineWorld().GetPhysicsObjects().empty());
}

TEST_F(ObjectPhysicsBuilderTest, NothingIsBuiltWithoutASpaceOrAWorldWithPhysics) {
  Object& object = Body(kGeometrySphere, false);
  object.SetSpace(nullptr);
  EXPECT_FALSE(CreateObjectPhysics(object));
  object.SetSpace(StandInSpace());
  engine->GetEngineWorld().SetPhysics(nullptr, nullptr);
  EXPECT_FALSE(CreateObjectPhysics(object));
  EXPECT_FALSE(object.GetPhysics()->HasLiveHandles());
  engine->GetEngineWorld().SetPhysics(physicsWorld, ToPhysicsSpace(collisionSpace));
  EXPECT_TRUE(CreateObjectPhysics(object));
}

TEST_F(ObjectPhysicsBuilderTest, ARefusedShapeLeavesNothingBuilt) {
  Object& object = Body(kGeometrySphere, false);
  object.GetPhysics()->geometries[0]->info = 7;  // a plane
  object.GetPhysics()->geometries[0]->dimension = {0, 0, 0};
  EXPECT_FALSE(CreateObjectPhysics(object));
  EXPECT_FALSE(object.GetPhysics()->HasLiveHandles());
  EXPECT_EQ(GetPhysicsWorldBodyCount(physicsWorld), 0);
}

}  // namespace
}  // namespace tge::test

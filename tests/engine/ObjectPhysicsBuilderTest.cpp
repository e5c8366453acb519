#include <gtest/gtest.h>

#include "engine/ObjectPhysicsBuilder.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/physics/PhysicsSpace.h"
#include "objects/gameplay/physics/PhysicsWorld.h"
#include "objects/gameplay/world/Space.h"
#include "tests/engine/EngineTestFixture.h"

namespace tge::test {
namespace {

class ObjectPhysicsBuilderTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    World& world = engine->GetEngineWorld();
    std::int32_t on = 1;
    world.ExecuteCommand(14250, &on);
    world.Precalculate();
    physicsWorld = world.GetPhysicsWorld();
    collisionSpace = ToOde(world.GetCollisionSpace());
    cell = static_cast<Space*>(CreateObject(kClassSpace, nullptr, *engine, "Cell"));
    cell->SetWorld(&world);
    cell->Precalculate();
  }

  Object& Body(std::uint32_t shape, bool transform) {
    Object& object = Add(*engine, "Body");
    object.SetWorld(&engine->GetEngineWorld());
    object.SetSpace(cell);
    object.SetUsePhysics(true);
    object.GetPhysics()->flags = kPhysicsEnableRigidBody | kPhysicsEnableLocalSpace;
    GeometryRecord& record = object.AddGeometry();
    record.info = shape | kGeometryMassByDensity | (transform ? kGeometryUseTransform : 0);
    record.dimension = {1, 2, 1};
    return object;
  }

  PhysicsWorld* physicsWorld = nullptr;
  dSpaceID collisionSpace = nullptr;
  Space* cell = nullptr;
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
  object.SetSpace(cell);
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

// An AI player finding its way: two rooms joined by a doorway with a closed
// door, a wall in the first room between the AI and the doorway, and each
// room's floor a VisionGraph from the grid builder. Running to a target in
// the other room, the AI goes round the wall, through the connection and
// the door it opens, to the target.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "core/WorldPhysicsHooks.h"
#include "objects/gameplay/navigation/VisionGraph.h"
#include "objects/gameplay/props/Door.h"
#include "tests/engine/characters/CharacterFixture.h"
#include "tools/NavMeshBuilder.h"

namespace tge::test {
namespace {

constexpr float kHalf = 6;
constexpr Vector3 kWestAt{0, 0, 0}, kEastAt{14, 0, 0}, kDoorwayAt{7, 0, 0};
// The wall stands across the straight way from the AI to the doorway.
constexpr float kWallX = 2, kWallHalfX = 0.5f, kWallHalfZ = 4;

class AIPlayerNavigationTest : public CharacterFixture {
 protected:
  // The rooms meet in the middle of the doorway.
  Space& AddRoom(const std::string& name, const Vector3& at, float minX, float maxX) {
    Space& space = AddSpace(*engine, name, at, kHalf);
    space.SetLocalBox({{minX, -1, -kHalf}, {maxX, 4, kHalf}});
    space.SetWorld(&engine->GetEngineWorld());
    space.AddCollisionEntry("Floor");
    return space;
  }

  // A grid of 1-unit cells from corner (in the Space's frame), cellsX by
  // 12, without the cells wall gives.
  void AddGraph(Space& space, const Vector3& corner, int cellsX, const std::function<bool(int, int)>& wall = {}) {
    auto& graph = AddOwn<VisionGraph>(space, "Graph");
    graph.SetPosition(corner, false);
    const NavMeshData mesh = BuildGridNavMesh(cellsX, 12, 1.0f, 0.0f, wall);
    graph.GetMesh().SetMesh(mesh.vertices, mesh.triangles);
  }

  // A body-less box the characters collide with.
  Object& AddWall(Space& space, const Vector3& at, const Vector3& size) {
    Object& wall = AddOwn<Object>(space, "Wall");
    wall.SetPosition(at, false);
    wall.SetUsePhysics(true);
    GeometryRecord& box = wall.AddGeometry();
    box.info = kGeometryBox;
    box.dimension = size;
    box.collisionBits = kCharacterBits;
    box.categoryBits = kCharacterBits;
    return wall;
  }
};

TEST_F(AIPlayerNavigationTest, AnAIRunsRoundTheWallThroughTheDoorwayItOpensToATargetInTheNextRoom) {
  room->Delete(false);  // the fixture's room would take the AI between the rooms
  Space& west = AddRoom("West", kWestAt, -kHalf, kDoorwayAt.x);
  Space& east = AddRoom("East", kEastAt, kDoorwayAt.x - kEastAt.x, kHalf);
  Space& doorway = AddSpace(*engine, "Doorway", kDoorwayAt, 1.5f);
  doorway.SetWorld(&engine->GetEngineWorld());
  doorway.SetLocalBox({{-1.5f, -1, -1}, {1.5f, 3, 1}});
  doorway.SetSpaceFlag(kSpaceConnection, true);
  doorway.SetSpaceFlag(kSpacePortal, true);
  doorway.SetSpaceFlag(kSpaceCollision, false);
  auto& door = AddOwn<Door>(doorway, "Door");
  door.SetType(1);
  GeometryRecord& sensor = door.AddGeometry();
  sensor.info = kGeometryBox | kGeometryEventOnly;
  sensor.dimension = {3, 2, 2};
  sensor.position = {0, 1, 0};
  sensor.collisionBits = kCharacterBits;
  sensor.categoryBits = kCharacterBits;

  const auto wallCell = [](int x, int z) { return (x == 7 || x == 8) && z >= 2 && z < 10; };
  AddGraph(west, {-kHalf, 0, -kHalf}, 14, wallCell);
  AddGraph(east, {kDoorwayAt.x - 1 - kEastAt.x, 0, -kHalf}, 14);
  AddWall(west, {kWallX, 1.5f, 0}, {2 * kWallHalfX, 3, 2 * kWallHalfZ});
  Object& target = AddOwn<Object>(east, "Target");
  target.SetPosition({2, 0.5f, 0}, false);  // x 16 in the world

  AIPlayer& ai = AddAI(west, "AI", {-4, 0, 0});
  for (Space* space : {&west, &east, &doorway}) Start(*space);
  GetWorldPhysicsHooks()->JoinSpaces(engine->GetEngineWorld());
  ASSERT_EQ(target.GetSpace(), &east);
  Object* goal = &target;
  ai.ExecuteCommand(15048, &goal);
  ai.ExecuteCommand(15063, nullptr);

  bool crossedWall = false;
  for (int frame = 0; frame < 20 * 60 && !ai.GetTaskList(0).empty(); ++frame) {
    Step(ai);
    const Vector3 at = ai.GetPositionWS();
    crossedWall = crossedWall || (std::abs(at.x - kWallX) < kWallHalfX && std::abs(at.z) < kWallHalfZ);
  }
  EXPECT_TRUE(ai.GetTaskList(0).empty());
  EXPECT_LT(ai.GetDistanceTo(target), 1.5f);
  EXPECT_FALSE(crossedWall);
  EXPECT_NE(door.GetState(), DoorState::kClosed);
  EXPECT_EQ(ai.GetSpace(), &east);
}

}  // namespace
}  // namespace tge::test

#include <gtest/gtest.h>

#include <vector>

#include "core/BaseCommandIds.h"
#include "objects/gameplay/physics/PhysicsGeometry.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "tests/objects/gameplay/world/SpaceTestScene.h"

namespace tge::test {
namespace {

// Two rooms along x joined by a doorway; a wall stands in each room, the
// first off the line the rays follow.
class SpaceQueriesTest : public SpaceScene {
 protected:
  void SetUp() override {
    SpaceScene::SetUp();
    AddBoxGeometry("WallA", {-5, 0, 5}, {1, 4, 1});
    AddBoxGeometry("WallB", {5, 0, 0}, {1, 4, 1});
    roomA = &AddSpace("RoomA", {-5, 0, 0}, Cube(5));
    roomB = &AddSpace("RoomB", {5, 0, 0}, Cube(5));
    door = &AddSpace("Door", {0, 0, 0}, Cube(1), kSpaceCollision | kSpaceConnection | kSpaceConnectionOpen);
    roomA->AddCollisionEntry("WallA");
    roomB->AddCollisionEntry("WallB");
    Start();
  }

  void TearDown() override {
    if (ball.GetPhysics() != nullptr) {
      for (auto& record : ball.GetPhysics()->geometries) DestroyGeom(ToOde(record->geometry));
      ball.GetPhysics()->geometries.clear();
    }
    SpaceScene::TearDown();
  }

  // A moving object's sphere in the World's collision space.
  GeometryRecord& AddBall(const Vector3& at) {
    ball.SetUsePhysics(true);
    GeometryRecord& record = ball.AddGeometry();
    dGeomID sphere = CreateSphereGeom(ToOde(world->GetCollisionSpace()), 0.5f);
    SetGeomPosition(sphere, at);
    SetGeomCollideBits(sphere, 2);
    SetGeomData(sphere, &record);
    record.geometry = ToPhysicsGeom(sphere);
    return record;
  }

  Space* roomA = nullptr;
  Space* roomB = nullptr;
  Space* door = nullptr;
  Object shooter;
  Object ball;
};

TEST_F(SpaceQueriesTest, ARayPassesAnOpenDoorAndFindsTheNearestHit) {
  ASSERT_EQ(roomA->GetConnectedCount(), 1);
  SpaceRayHit hit;
  ASSERT_EQ(roomA->RayQuery(&shooter, {-5, 1, 0}, {9, 1, 0}, 1, &hit, 0), 1);
  ASSERT_NE(hit.record, nullptr);
  EXPECT_EQ(hit.record->owner, roomB);
  EXPECT_NEAR(hit.position.x, 4.5f, 1e-4);
  EXPECT_NEAR(hit.normal.x, -1.0f, 1e-4);

  // The ball in the World's space is nearer, but mask 1 asks for the level
  // alone; another mask that meets its collide bits hits it, and the hit
  // names the ball, never the shooter.
  GeometryRecord& ballRecord = AddBall({2, 1, 0});
  ASSERT_EQ(roomA->RayQuery(&shooter, {-5, 1, 0}, {9, 1, 0}, 1, &hit, 0), 1);
  EXPECT_EQ(hit.record->owner, roomB);
  ASSERT_EQ(roomA->RayQuery(&shooter, {-5, 1, 0}, {9, 1, 0}, 3, &hit, 0), 1);
  EXPECT_EQ(hit.record, &ballRecord);
  EXPECT_NEAR(hit.position.x, 1.5f, 1e-4);
  ASSERT_EQ(roomA->RayQuery(&shooter, {9, 1, 0}, {-5, 1, 0}, 3, &hit, 0), 1);
  EXPECT_EQ(hit.record->owner, roomB);

  // A shut door stops rays; a mask the level's bits miss hits nothing.
  door->SetSpaceFlag(kSpaceConnectionOpen, false);
  EXPECT_EQ(roomA->RayQuery(&shooter, {-5, 1, 0}, {9, 1, 0}, 1, &hit, 0), 0);
  EXPECT_EQ(roomB->RayQuery(&shooter, {-5, 1, 0}, {9, 1, 0}, 4, &hit, 0), 0);
}

TEST_F(SpaceQueriesTest, AnInheritingChildQueriesThroughItsParent) {
  Space& alcove = AddSpace(*roomB, "Alcove", {0, 0, 0}, Cube(1), kSpaceInherit);
  alcove.Precalculate();
  EXPECT_EQ(alcove.GetParentSpace(), roomB);
  EXPECT_EQ(alcove.GetCollisionSpace(), roomB->GetCollisionSpace());
  SpaceRayHit hit;
  EXPECT_EQ(alcove.RayQuery(&shooter, {9, 1, 0}, {0, 1, 0}, 1, &hit, 1), 1);
  EXPECT_EQ(hit.record->owner, roomB);
  // Starting again neither lists the Space twice nor makes a second
  // collision space.
  PhysicsSpace* before = roomB->GetCollisionSpace();
  const std::size_t spaces = world->GetSpaces().size();
  roomB->Precalculate();
  EXPECT_EQ(roomB->GetCollisionSpace(), before);
  EXPECT_EQ(world->GetSpaces().size(), spaces);
  EXPECT_EQ(roomB->GetInnerSpaceCount(), 1);
}

// A started Space that moves to another World leaves the first World's
// list: once it is gone, the first World's walks never reach it.
TEST_F(SpaceQueriesTest, ASpaceMovedToAnotherWorldLeavesTheFirstOnesList) {
  Space& cellar = AddSpace("Cellar", {0, -20, 0}, Cube(2));
  cellar.Precalculate();
  {
    World other;
    other.AddChild(world->DetachChild(cellar));
    cellar.ExecuteCommand(kCommandSetWorld, &other);
    EXPECT_EQ(other.GetSpaces(), (std::vector<Space*>{&cellar}));
  }
  EXPECT_EQ(world->FindSpaceAt(nullptr, {0, -20, 0}), nullptr);
  world->DrawSpaces(nullptr, {0, -20, 0});
  EXPECT_EQ(world->GetSpaces(), (std::vector<Space*>{roomA, roomB, door}));
}

TEST_F(SpaceQueriesTest, ASphereListsTheOwnersItTouches) {
  AddBall({5, 0, 1.2f});
  std::vector<Object*> touched;
  EXPECT_EQ(roomB->QuerySphere({5, 0, 1}, 0.8f, 1, touched), 1);
  EXPECT_EQ(touched[0], roomB);
  EXPECT_EQ(roomB->QuerySphere({5, 0, 1}, 0.8f, 2, touched), 2);
  EXPECT_EQ(touched[1], &ball);
  touched.clear();
  EXPECT_EQ(roomA->QuerySphere({5, 0, 1}, 0.8f, 1, touched), 0);
}

TEST_F(SpaceQueriesTest, FindsTheConnectionBetweenTwoRooms) {
  EXPECT_EQ(roomA->FindConnection(roomB), door);
  EXPECT_EQ(roomA->FindConnection(roomA), nullptr);
  Space& cellar = AddSpace("Cellar", {0, -20, 0}, Cube(2));
  cellar.Precalculate();
  EXPECT_EQ(door->FindConnection(&cellar), nullptr);
}

TEST_F(SpaceQueriesTest, AConnectionTakesAtMostThreeRooms) {
  for (int i = 0; i < 4; ++i) AddSpace("Room" + std::to_string(i), {0, 0, static_cast<float>(i)}, Cube(1.5f));
  Space& hub = AddSpace("Hub", {0, 0, 2}, Cube(3), kSpaceCollision | kSpaceConnection);
  world->Precalculate();
  EXPECT_EQ(hub.GetConnectedCount(), 3);
  int listing = 0;
  for (Space* space : world->GetSpaces()) {
    for (int i = 0; i < space->GetConnectedCount(); ++i) listing += space->GetConnectedSpace(i) == &hub;
  }
  EXPECT_GE(listing, 4);
}

// Rooms A and B meet at a doorway between exactly two rooms; room D lies
// behind a second doorway of B, close to the query but two connections away.
using SpaceTriangles = SpaceScene;

TEST_F(SpaceTriangles, CollectsAcrossOneDoorwayButNeverTwo) {
  AddCubeMesh("Cube");
  Space& a = AddSpace("A", {0, 0, 0}, Cube(1.5f));
  Space& b = AddSpace("B", {4, 0, 0}, Cube(1.5f));
  Space& d = AddSpace("D", {2, 0, 3}, Cube(1));
  AddSpace("C", {2, 0, 0}, Cube(0.6f), kSpaceConnection);
  AddSpace("E", {3.5f, 0, 2}, Cube(0.6f), kSpaceConnection);
  for (Space* room : {&a, &b, &d}) {
    room->AddMeshEntry("Cube");
    ResourceSet set(false, 16);
    room->ExecuteCommand(11, &set);
  }
  Start();

  std::vector<Vector3> points(3 * 64);
  std::vector<Vector3> normals(64);
  std::vector<AABox> boxes(64);
  const Vector3 centre{2, 0, 0};
  const int own = a.CollectTriangles(centre, 2.5f, points.data(), nullptr, nullptr, nullptr, nullptr, nullptr, 64, 0);
  const int across = b.CollectTriangles(centre, 2.5f, points.data(), nullptr, nullptr, nullptr, nullptr, nullptr, 64, 0);
  const int behind = d.CollectTriangles(centre, 2.5f, points.data(), nullptr, nullptr, nullptr, nullptr, nullptr, 64, 0);
  EXPECT_GT(own, 0);
  EXPECT_GT(across, 0);
  EXPECT_GT(behind, 0);
  const int all = a.CollectTriangles(centre, 2.5f, points.data(), normals.data(), boxes.data(), nullptr, nullptr,
                                     nullptr, 64, 1);
  EXPECT_EQ(all, own + across);
  for (int i = 0; i < all * 3; ++i) EXPECT_LT(points[static_cast<std::size_t>(i)].z, 1.5f);
  for (int t = 0; t < all; ++t) {
    EXPECT_NEAR(Vector3Length(normals[static_cast<std::size_t>(t)]), 1.0f, 1e-4);
    EXPECT_LE(boxes[static_cast<std::size_t>(t)].min.x, boxes[static_cast<std::size_t>(t)].max.x);
  }
  EXPECT_EQ(a.CollectTriangles(centre, 2.5f, points.data(), nullptr, nullptr, nullptr, nullptr, nullptr, 2, 1), 2);
}

}  // namespace
}  // namespace tge::test

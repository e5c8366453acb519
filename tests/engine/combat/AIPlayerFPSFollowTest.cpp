// A first-person AI following its target into the next room: the fixture's
// room is the west one, a wall stands across the straight way to the
// doorway, a connection Space joins it to the east room, and each room's
// floor is a VisionGraph from the grid builder. The AI goes round the wall
// and through the connection to the target, also after standing idle long
// enough for a sleeping body to stop taking surface motion.
#include <cmath>
#include <functional>

#include "core/WorldPhysicsHooks.h"
#include "objects/gameplay/navigation/VisionGraph.h"
#include "tests/engine/combat/AIFixture.h"
#include "tools/NavMeshBuilder.h"

namespace tge::test {
namespace {

constexpr float kHalf = 6;
constexpr Vector3 kEastAt{14, 0, 0}, kDoorwayAt{7, 0, 0};
constexpr float kWallX = 2, kWallHalfX = 0.5f, kWallHalfZ = 4;

class AIPlayerFPSFollowTest : public AITest {
 protected:
  void SetUp() override {
    AITest::SetUp();
    room->SetLocalBox({{-kHalf, -1, -kHalf}, {kDoorwayAt.x, 4, kHalf}});
    east = &AddSpace("East", kEastAt, {{kDoorwayAt.x - kEastAt.x, -1, -kHalf}, {kHalf, 4, kHalf}});
    east->AddCollisionEntry("Floor");
    doorway = &AddSpace("Doorway", kDoorwayAt, {{-1.5f, -1, -1}, {1.5f, 3, 1}});
    doorway->SetSpaceFlag(kSpaceConnection, true);
    doorway->SetSpaceFlag(kSpacePortal, true);
    doorway->SetSpaceFlag(kSpaceCollision, false);
    // The wall's cells (x 1 to 3, z -4 to 4) are left out of the west graph.
    AddGraph(*room, {-kHalf, 0, -kHalf}, [](int x, int z) { return (x == 7 || x == 8) && z >= 2 && z < 10; });
    AddGraph(*east, {kDoorwayAt.x - 1 - kEastAt.x, 0, -kHalf}, {});
    Object& wall = Add(*room, "Wall");
    wall.SetPosition({kWallX, 1.5f, 0}, false);
    wall.SetUsePhysics(true);
    GeometryRecord& box = wall.AddGeometry();
    box.info = kGeometryBox;
    box.dimension = {2 * kWallHalfX, 3, 2 * kWallHalfZ};
    box.collisionBits = box.categoryBits = kPropCollide;
  }

  Space& AddSpace(const std::string& name, const Vector3& at, const AABox& box) {
    auto& space = static_cast<Space&>(*CreateObject(kClassSpace, nullptr, *engine, name.c_str()));
    space.SetWorld(world);
    space.SetInheritOrientation(false);
    space.SetPosition(at, false);
    space.SetLocalBox(box);
    return space;
  }

  // 14 by 12 cells of one unit from corner, in the Space's frame.
  void AddGraph(Space& space, const Vector3& corner, const std::function<bool(int, int)>& wall) {
    auto& graph = static_cast<VisionGraph&>(*CreateObject(kClassVisionGraph, nullptr, space, "Graph"));
    graph.SetInheritOrientation(false);
    graph.SetPosition(corner, false);
    const NavMeshData mesh = BuildGridNavMesh(14, 12, 1.0f, 0.0f, wall);
    graph.GetMesh().SetMesh(mesh.vertices, mesh.triangles);
  }

  void StartAll() {
    Start();
    for (Space* space : {east, doorway}) {
      space->Precalculate();
      space->Start();
      space->ExecuteCommand(161, nullptr);
    }
  }

  Space* east = nullptr;
  Space* doorway = nullptr;
};

TEST_F(AIPlayerFPSFollowTest, TheAIGoesRoundTheWallThroughTheConnectionAlsoAfterStandingIdle) {
  StartAll();
  StandInPlayer& target = Player({2, 1, 0}, east);  // x 16 in the world
  for (double idle : {0.0, 3.0}) {
    SCOPED_TRACE(idle);
    AIPlayerFPS& ai = MakeAI("Guard", {-4, 1, 0});
    Launch(ai);
    GetWorldPhysicsHooks()->JoinSpaces(*world);
    ASSERT_EQ(target.GetSpace(), east);
    ASSERT_EQ(ai.GetSpace(), room);
    Seconds(idle);
    ai.SetTarget(&target);
    ai.SetState(AIPlayerFPS::kFollow);
    bool crossedWall = false, reached = false;
    for (int frame = 0; frame < 30 * 60 && !reached; ++frame) {
      Frames(1);
      const Vector3 at = ai.GetPositionWS();
      crossedWall = crossedWall || (std::abs(at.x - kWallX) < kWallHalfX && std::abs(at.z) < kWallHalfZ);
      reached = ai.GetDistanceTo(target) < 2.5f;
    }
    EXPECT_TRUE(reached);
    EXPECT_FALSE(crossedWall);
    EXPECT_EQ(ai.GetSpace(), east);
    ai.Delete(false);
    Frames(1);
  }
}

}  // namespace
}  // namespace tge::test

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objects/gameplay/navigation/VisionGraph.h"
#include "tests/objects/gameplay/world/SpaceTestScene.h"

namespace tge::test {
namespace {

// A room with a wall at its centre; points on either side of the wall, and
// a second pair beside it.
class VisionLinesTest : public SpaceScene {
 protected:
  void SetUp() override {
    SpaceScene::SetUp();
    AddBoxGeometry("Wall", {0, 1, 0}, {1, 4, 1});
    room = &AddSpace("Room", {0, 0, 0}, Cube(10));
    room->AddCollisionEntry("Wall");
    graph = static_cast<VisionGraph*>(room->AddChild(std::make_unique<VisionGraph>()));
    for (const Vector3& at : {Vector3{3, 1, 5}, Vector3{-3, 1, 5}, Vector3{3, 1, 0}, Vector3{-3, 1, 0}}) {
      graph->SetCurrentPoint(0);
      graph->CreatePoint();
      graph->ExecuteCommand(12260, const_cast<Vector3*>(&at));
    }
  }

  bool Built() const { return !room->GetCollisionEntry(0)->geometries.empty(); }

  // "name:seen,seen" per point.
  std::string Sight() const {
    std::string out;
    for (int i = 0; i < graph->GetPointCount(); ++i) {
      const VisionPoint* point = graph->GetPoint(i);
      out += (i > 0 ? " " : "") + point->name + ":";
      for (std::size_t k = 0; k < point->visible.size(); ++k) out += (k > 0 ? "," : "") + point->visible[k]->name;
    }
    return out;
  }

  Space* room = nullptr;
  VisionGraph* graph = nullptr;
};

// Points 2 and 3 stand on either side of the wall; 0 and 1 beside it.
constexpr const char* kSight = "3:1,0 2:1,0 1:3,2,0 0:3,2,1";

TEST_F(VisionLinesTest, TheWallBlocksTheLineWithTheCollisionAlreadyBuilt) {
  Start();
  ASSERT_EQ(graph->GetSpace(), room);
  ASSERT_TRUE(Built());
  graph->ExecuteCommand(12264, nullptr);
  EXPECT_EQ(Sight(), kSight);
  EXPECT_TRUE(Built());
}

TEST_F(VisionLinesTest, TheCollisionIsBuiltForThePassAndReleasedAfter) {
  world->Precalculate();
  world->SetActive(true);
  ASSERT_EQ(graph->GetSpace(), room);
  ASSERT_FALSE(Built());
  graph->CalculateVision();
  EXPECT_EQ(Sight(), kSight);
  EXPECT_FALSE(Built());
  // A second pass starts from empty lists.
  graph->CalculateVision();
  EXPECT_EQ(Sight(), kSight);
}

}  // namespace
}  // namespace tge::test

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "services/render/RenderQueue.h"
#include "services/render/ViewState.h"
#include "tests/objects/gameplay/world/SpaceTestScene.h"

namespace tge::test {
namespace {

constexpr int kOnFirstTimeDrawn = 217;
constexpr int kOnStartDraw = 218;

class EventLog : public Object {
 public:
  int FireEvent(int eventId, Object* sender) override {
    events.push_back(eventId);
    return Object::FireEvent(eventId, sender);
  }
  int Count(int eventId) const { return static_cast<int>(std::count(events.begin(), events.end(), eventId)); }
  std::vector<int> events;
};

// Hall and kitchen joined by a door that is a portal; a global sky cell.
class SpaceDrawTest : public SpaceScene {
 protected:
  void SetUp() override {
    SpaceScene::SetUp();
    hall = &AddSpace("Hall", {-5, 0, 0}, Cube(5));
    kitchen = &AddSpace("Kitchen", {5, 0, 0}, Cube(5));
    door = &AddSpace("Door", {0, 0, 0}, Cube(1), kSpaceConnection | kSpacePortal);
    sky = &AddSpace("Sky", {0, 50, 0}, Cube(1), kSpaceGlobal);
    log = static_cast<EventLog*>(kitchen->AddChild(std::make_unique<EventLog>()));
    Start();
  }

  // One frame's walk, with the frame step's reset of the drawn-cell count.
  void DrawFromHall() {
    World::ResetDrawnCellCount();
    world->DrawSpaces(hall, {-5, 1, 0});
  }

  Space* hall = nullptr;
  Space* kitchen = nullptr;
  Space* door = nullptr;
  Space* sky = nullptr;
  EventLog* log = nullptr;
};

TEST_F(SpaceDrawTest, AShutDoorShowsItselfButNothingBehindIt) {
  DrawFromHall();
  const int frame = world->GetFrameStamp();
  EXPECT_EQ(hall->GetLastDrawnFrame(), frame);
  EXPECT_EQ(door->GetLastDrawnFrame(), frame);
  EXPECT_EQ(sky->GetLastDrawnFrame(), frame);
  EXPECT_EQ(kitchen->GetLastDrawnFrame(), 0);
  EXPECT_EQ(World::GetDrawnCellCount(), 2);  // the hall and the sky; portals do not count
}

TEST_F(SpaceDrawTest, EachSpaceIsDrawnOncePerFrameAndStartsDrawingOnce) {
  door->SetSpaceFlag(kSpaceConnectionOpen, true);
  for (int frame = 1; frame <= 3; ++frame) {
    DrawFromHall();
    EXPECT_EQ(kitchen->GetLastDrawnFrame(), world->GetFrameStamp());
    EXPECT_EQ(World::GetDrawnCellCount(), 3);
  }
  EXPECT_EQ(log->Count(kOnFirstTimeDrawn), 1);
  EXPECT_EQ(log->Count(kOnStartDraw), 1);

  // Out of sight for a frame, then seen again: it starts drawing anew.
  door->SetSpaceFlag(kSpaceConnectionOpen, false);
  DrawFromHall();
  door->SetSpaceFlag(kSpaceConnectionOpen, true);
  DrawFromHall();
  EXPECT_EQ(log->Count(kOnFirstTimeDrawn), 1);
  EXPECT_EQ(log->Count(kOnStartDraw), 2);
}

TEST_F(SpaceDrawTest, MeshEntriesOfDrawnCellsAreQueued) {
  AddCubeMesh("Cube");
  hall->AddMeshEntry("Cube");
  kitchen->AddMeshEntry("Cube");
  RenderQueue& queue = GetEngineServices()->GetRenderQueue();
  GetEngineServices()->GetView().SetCameraLookAt({-5, 1, -4}, {-5, 1, 0});
  const std::size_t empty = queue.GetFreeRoom();
  DrawFromHall();
  const std::size_t hallOnly = queue.GetFreeRoom();
  EXPECT_LT(hallOnly, empty);
  door->SetSpaceFlag(kSpaceConnectionOpen, true);
  GetEngineServices()->GetView().SetCameraLookAt({-5, 1, 0}, {5, 1, 0});
  DrawFromHall();  // the queue is not reset between these frames
  EXPECT_EQ(empty - queue.GetFreeRoom(), 3 * (empty - hallOnly));
}

TEST_F(SpaceDrawTest, TheWalkStartsInTheSpaceHoldingTheCamera) {
  door->SetSpaceFlag(kSpaceConnectionOpen, true);
  world->DrawSpaces(hall, {5, 1, 0});
  EXPECT_EQ(kitchen->GetLastDrawnFrame(), world->GetFrameStamp());
  EXPECT_EQ(world->FindSpaceAt(nullptr, {5, 1, 0}), kitchen);
  EXPECT_EQ(world->FindSpaceAt(hall, {-5, 1, 0}), hall);
  EXPECT_EQ(world->FindSpaceAt(nullptr, {0, -30, 0}), nullptr);
}

}  // namespace
}  // namespace tge::test

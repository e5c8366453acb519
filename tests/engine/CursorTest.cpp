#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "core/ActiveCameraTable.h"
#include "core/World.h"
#include "objects/gameplay/world/Space.h"
#include "objects/scene/Camera.h"
#include "objects/ui/Cursor.h"
#include "tests/engine/EngineFrameFixture.h"
#include "tests/support/ManualWorldClock.h"
#include "tests/support/ObjectRecordBytes.h"

namespace tge::test {
namespace {

using Raised = std::vector<std::pair<int, Object*>>;

class LoggedCursor : public Cursor {
 public:
  int FireEvent(int eventId, Object* sender) override {
    if (eventId >= 20274) raised.emplace_back(eventId, sender);
    return Cursor::FireEvent(eventId, sender);
  }
  Raised raised;
};

// Counts the ActionStart and ActionStop it is sent.
class OverObject : public Object {
 public:
  int ExecuteCommand(std::uint32_t id, void* args) override {
    if (id == kCommandActionStart) ++starts;
    if (id == kCommandActionStop) ++stops;
    return Object::ExecuteCommand(id, args);
  }
  int starts = 0, stops = 0;
};

// The engine's World with a collision cell; the view looks from the origin
// along +Z, where a box stands 5 units ahead. The screen is 64 x 32.
class CursorTest : public EngineFrameTest {
 protected:
  void SetUp() override {
    EngineFrameTest::SetUp();
    ManualWorldClock::Install();
    world = &engine->GetEngineWorld();
    std::int32_t on = 1;
    world->ExecuteCommand(14250, &on);
    world->Precalculate();
    cell = static_cast<Space*>(CreateObject(kClassSpace, nullptr, *engine, "Cell"));
    cell->SetWorld(world);
    cell->SetSpaceFlag(kSpaceCollision, true);
    cell->Precalculate();
    box = &AddBox({0, 0, 5});
    cursor = static_cast<LoggedCursor*>(cell->AddChild(std::make_unique<LoggedCursor>()));
    cursor->SetName("Cursor");
    cursor->SetWorld(world);
    cursor->SetSpace(cell);
    // A mask of 1 alone would leave out the World's own collision space.
    std::uint32_t category = 3;
    cursor->ExecuteCommand(20254, &category);
    std::uint32_t off = 0;
    cursor->ExecuteCommand(20262, &off);
    cursor->SetUseScript(true);
    for (int id : {20277, 20309, 20308, 20340}) cursor->GetScripts()->push_back({"Event", "", id, 0});
    over = static_cast<OverObject*>(cursor->AddChild(std::make_unique<OverObject>()));
    over->SetName("OnCursorOver1");
    cursor->ExecuteCommand(kCommandInitializeNewObject, nullptr);
    cursor->Precalculate();
    Look();
  }

  // A geometry without a body; group 1 and the click group see it.
  Object& AddBox(const Vector3& at) {
    Object& object = *CreateObject(kClassObject, nullptr, *cell, "Box");
    object.SetSpace(cell);
    object.SetInheritOrientation(false);
    object.SetPosition(at, true);
    object.SetUsePhysics(true);
    GeometryRecord& geometry = object.AddGeometry();
    geometry.info = kGeometryBox;
    geometry.dimension = {2, 2, 2};
    geometry.collisionBits = 1u | (1u << 31);
    geometry.categoryBits = 1;
    object.ExecuteCommand(161, nullptr);
    return object;
  }

  static void Look() {
    ViewState& view = GetEngineServices()->GetView();
    view.SetCameraLookAt({0, 0, 0}, {0, 0, 1});
    view.SetProjection(0.8f, 2.0f, 1.0f, 1000.0f);
  }

  // One frame 0.1 s after the last with the cursor at a point of the
  // 800 x 600 reference screen.
  void FrameAt(float x, float y) {
    SetCursor(true, x, y);
    ManualWorldClock::Now() += 0.1;
    Frame();
    Look();
  }

  std::vector<int> Ids() const {
    std::vector<int> ids;
    for (const auto& [id, sender] : cursor->raised) ids.push_back(id);
    return ids;
  }

  World* world = nullptr;
  Space* cell = nullptr;
  Object* box = nullptr;
  LoggedCursor* cursor = nullptr;
  OverObject* over = nullptr;
};

TEST_F(CursorTest, MovingOverABoxEntersAndLeavesGroupOne) {
  FrameAt(20, 20);
  EXPECT_TRUE(cursor->raised.empty());
  FrameAt(400, 300);
  ASSERT_EQ(cursor->raised.size(), 1u);
  EXPECT_EQ(cursor->raised[0], std::make_pair(20277, box));
  EXPECT_EQ(over->starts, 1);
  EXPECT_NEAR(cursor->GetRayHitPosition().z, 4.0f, 1e-3f);
  Vector3 normal;
  cursor->ExecuteCommand(20261, &normal);
  EXPECT_NEAR(normal.z, -400.0f, 1e-2f);
  FrameAt(410, 300);  // still over it: nothing
  EXPECT_EQ(cursor->raised.size(), 1u);
  FrameAt(20, 20);
  ASSERT_EQ(cursor->raised.size(), 2u);
  EXPECT_EQ(cursor->raised[1], std::make_pair(20309, box));
  EXPECT_EQ(over->stops, 1);
  // The cursor follows the screen point.
  EXPECT_NEAR(cursor->GetPosition().x, 20 * 64.0f / 800, 1e-4f);
}

TEST_F(CursorTest, AReleasedButtonClicksThroughGroupThirtyTwo) {
  FrameAt(400, 300);
  platform::PushButton(SDL_BUTTON_LEFT, true);
  FrameAt(400, 300);
  platform::PushButton(SDL_BUTTON_LEFT, false);
  FrameAt(400, 300);
  EXPECT_EQ(Ids(), (std::vector<int>{20277, 20308}));
  FrameAt(400, 300);
  EXPECT_EQ(Ids(), (std::vector<int>{20277, 20308, 20340}));
}

TEST_F(CursorTest, AGroupWithoutAScriptStillStartsItsOverObject) {
  cursor->GetScripts()->clear();
  Cursor& plain = *static_cast<Cursor*>(CreateObject(kClassCursor, nullptr, *cell, "Plain"));
  plain.SetSpace(cell);
  std::uint32_t category = 3, off = 0;
  plain.ExecuteCommand(20254, &category);
  plain.ExecuteCommand(20262, &off);
  auto& plainOver = *static_cast<OverObject*>(plain.AddChild(std::make_unique<OverObject>()));
  plainOver.SetName("OnCursorOver1");
  plain.Precalculate();
  FrameAt(400, 300);
  EXPECT_EQ(plainOver.starts, 1);
  EXPECT_EQ(plain.GetGroup(0).hasScript, 0);
}

TEST_F(CursorTest, ADeletedHitObjectStillExitsWithoutASender) {
  FrameAt(400, 300);
  box->Delete(false);
  over->Delete(false);
  FrameAt(400, 300);
  ASSERT_EQ(cursor->raised.size(), 2u);
  EXPECT_EQ(cursor->raised[1], std::make_pair(20309, static_cast<Object*>(nullptr)));
  FrameAt(400, 300);
  EXPECT_EQ(cursor->raised.size(), 2u);
}

TEST_F(CursorTest, ACopiedCursorStartsWithEmptyGroups) {
  FrameAt(400, 300);
  ASSERT_TRUE(cursor->GetGroup(0).previousSeen);
  Object& copy = *CreateObject(kClassCursor, cursor, *cell, "Copy");
  const auto& copied = static_cast<Cursor&>(copy);
  EXPECT_FALSE(copied.GetGroup(0).previousSeen);
  EXPECT_EQ(copied.GetGroup(0).enteredObject.Get(), nullptr);
  EXPECT_EQ(copied.GetGroup(0).overObject.Get(), nullptr);
}

TEST_F(CursorTest, ACursorInNoSpaceSeesNoHit) {
  FrameAt(400, 300);
  cursor->SetSpace(nullptr);
  FrameAt(400, 300);
  EXPECT_EQ(Ids(), (std::vector<int>{20277, 20309}));
}

TEST_F(CursorTest, EdgeNavigationSpeedsUpClampsAndSlowsDown) {
  auto& camera = *static_cast<Camera*>(CreateObject(kClassCamera, nullptr, *cell, "Camera"));
  camera.SetInheritOrientation(false);
  GetActiveCameraTable().Set(0, &camera);
  std::uint32_t on = 1;
  cursor->ExecuteCommand(20262, &on);
  cursor->ExecuteCommand(20264, &on);
  float border = 4;
  cursor->ExecuteCommand(20266, &border);
  // Acceleration 20 and deceleration 40 per second, at most 10; frames of 0.1 s.
  struct Step {
    float x, y;
    int frames;
    float vx, vz;
  };
  const Step steps[] = {
      {0, 300, 3, -6, 0},     // left edge
      {0, 300, 5, -10, 0},    // clamped
      {400, 300, 1, -6, 0},   // slowing down
      {400, 300, 2, 0, 0},    // down to 2, then snapped to 0
      {0, 0, 3, -6, 6},       // top left: both at once
      {800, 600, 2, -2, 2},   // bottom right turns both back
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(::testing::Message() << step.x << ", " << step.y);
    for (int i = 0; i < step.frames; ++i) FrameAt(step.x, step.y);
    EXPECT_NEAR(cursor->GetCameraVelocity().x, step.vx, 1e-3f);
    EXPECT_NEAR(cursor->GetCameraVelocity().z, step.vz, 1e-3f);
  }
  // With CameraControlPosition the camera moved by the speeds.
  EXPECT_NE(camera.GetPosition().x, 0.0f);
  GetActiveCameraTable().Clear();
}

TEST_F(CursorTest, SaveLoadSaveGivesIdenticalBytes) {
  float length = 42;
  cursor->ExecuteCommand(20258, &length);
  Vector3 speed{1, 2, 3};
  cursor->ExecuteCommand(20270, &speed);
  for (int version : {67, 70}) {
    SCOPED_TRACE(version);
    const std::vector<std::uint8_t> first = SaveRecord(*cursor, version);
    const std::unique_ptr<Cursor> copy = LoadRecord<Cursor>(kClassCursor, first, version);
    ASSERT_NE(copy, nullptr);
    Vector3 read;
    copy->ExecuteCommand(20271, &read);
    EXPECT_FLOAT_EQ(read.y, version >= 68 ? 2.0f : 20.0f);
    EXPECT_EQ(SaveRecord(*copy, version), first);
  }
}

}  // namespace
}  // namespace tge::test

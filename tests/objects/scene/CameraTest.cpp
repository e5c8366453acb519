// Camera: the viewport slots, the projection hand-over, the view of each
// type, the follow camera in front of walls, the file record's gates, and
// the World's post pass drawing through the active camera's Space.
#include <cmath>

#include "core/ActiveCameraTable.h"
#include "objects/scene/Camera.h"
#include "objects/scene/Mesh.h"
#include "services/render/RenderQueue.h"
#include "tests/objects/scene/SceneFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kCameraType = 1250, kCameraViewport = 1252, kCameraFov = 1254, kSetCameraActive = 1262,
                        kPositionSmooth = 1269, kCameraTarget = 1275;

class CameraTest : public SceneFixture {
 protected:
  Camera& NewCamera(Object& parent, std::uint32_t type, const Vector3& at) {
    Camera& camera = Add<Camera>(parent, kClassCamera, "Camera");
    Send(camera, kCameraType, type);
    camera.SetPosition(at, false);
    return camera;
  }
};

TEST_F(CameraTest, FirstUpdateTakesAnEmptySlotAndActivationMovesIt) {
  Camera& first = NewCamera(*engine, kCameraFixed, {});
  Camera& second = NewCamera(*engine, kCameraFixed, {});
  first.Update();
  second.Update();
  EXPECT_TRUE(first.IsActive());
  EXPECT_FALSE(second.IsActive());
  second.ExecuteCommand(kSetCameraActive, nullptr);
  EXPECT_TRUE(second.IsActive());
  EXPECT_FALSE(first.IsActive());
  DestroyObjectTree(engine->DetachChild(second));
  EXPECT_EQ(GetActiveCameraTable().Get(0), nullptr);
}

TEST_F(CameraTest, ViewportsAboveTheTableTakeTheLastSlot) {
  Camera& camera = NewCamera(*engine, kCameraFixed, {});
  Send(camera, kCameraViewport, std::uint32_t{7});
  EXPECT_EQ(camera.GetViewport(), 3u);
  camera.Activate();
  EXPECT_EQ(GetActiveCameraTable().Get(3), &camera);

  // The same for a file that names viewport 9: the viewport is the record's last word.
  std::vector<std::uint8_t> bytes = Save(camera);
  bytes[bytes.size() - 4] = 9;
  std::unique_ptr<Camera> loaded = Load<Camera>(kClassCamera, bytes, SerializeStream::kLatestVersion);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetViewport(), 3u);
}

TEST_F(CameraTest, ProjectionReachesTheViewOnlyFromTheActiveCamera) {
  Camera& camera = NewCamera(*engine, kCameraFixed, {});
  const float before = View().GetFieldOfView();
  Send(camera, kCameraFov, 0.5f);
  EXPECT_FLOAT_EQ(View().GetFieldOfView(), before);
  camera.Activate();
  EXPECT_FLOAT_EQ(View().GetFieldOfView(), 0.5f);
  Send(camera, kCameraFov, 0.7f);
  EXPECT_FLOAT_EQ(View().GetFieldOfView(), 0.7f);
  EXPECT_FLOAT_EQ(View().GetFarDistance(), 200.0f);
}

TEST_F(CameraTest, EachTypeSetsItsView) {
  Object& pivot = Add<Object>(kClassObject, "Pivot");
  pivot.SetPosition({0, 0, 10}, false);
  struct Case {
    std::uint32_t type;
    Vector3 eye, target;
  };
  // The fixed and free-fly cameras look along their own axis; type 7 sets
  // no view (the view keeps the previous case's) but the projection.
  const Case cases[] = {
      {kCameraFixed, {1, 2, 3}, {1, 2, 4}},
      {kCameraLookAt, {1, 2, 3}, {0, 0, 10}},
      {kCameraFreeFly, {4, 0, 0}, {4, 0, 1}},
      {7, {4, 0, 0}, {4, 0, 1}},
  };
  for (const Case& c : cases) {
    Camera& camera = NewCamera(pivot, c.type, {});
    camera.SetWSOrientation(true);
    camera.SetPosition(c.eye, false);
    Send(camera, kCameraFov, 0.25f + static_cast<float>(c.type) / 10);
    camera.ApplyView();
    EXPECT_FLOAT_EQ(View().GetCameraPosition().x, c.eye.x) << c.type;
    EXPECT_FLOAT_EQ(View().GetCameraPosition().z, c.eye.z) << c.type;
    const Vector3 forward = View().GetCameraForward();
    Vector3 toTarget;
    Vector3Subtract(toTarget, c.target, c.eye);
    Vector3Normalize(toTarget, toTarget);
    EXPECT_NEAR(Vector3Dot(forward, toTarget), 1.0f, 1e-5f) << c.type;
    EXPECT_FLOAT_EQ(View().GetFieldOfView(), 0.25f + static_cast<float>(c.type) / 10);
  }
}

TEST_F(CameraTest, TargetPathResolvesFromTheCameraAndStaysAsText) {
  Object& hero = Add<Object>(kClassObject, "Hero");
  Camera& camera = NewCamera(*engine, kCameraLookAt, {});
  std::string path = "/Hero";
  camera.ExecuteCommand(kCameraTarget, &path);
  EXPECT_EQ(camera.GetTargetObject(), &hero);
  std::string read;
  camera.ExecuteCommand(kCameraTarget + 1, &read);
  EXPECT_EQ(read, "/Hero");
  path = "/Nobody";
  camera.ExecuteCommand(kCameraTarget, &path);
  EXPECT_EQ(camera.GetTargetObject(), nullptr);
}

TEST_F(CameraTest, OlderFilesDropTheFieldsTheirVersionLacked) {
  Camera& camera = NewCamera(*engine, kCameraFreeFly, {});
  std::string path = "/Hero";
  camera.ExecuteCommand(kCameraTarget, &path);
  Send(camera, kCameraViewport, std::uint32_t{2});
  struct Case {
    int version;
    std::uint32_t type;
    const char* target;
    std::uint32_t viewport;
  };
  for (const Case& c : {Case{37, kCameraFixed, "", 0}, Case{39, kCameraFreeFly, "", 0},
                        Case{41, kCameraFreeFly, "/Hero", 0}, Case{81, kCameraFreeFly, "/Hero", 2}}) {
    std::unique_ptr<Camera> loaded = RoundTrip(camera, c.version);
    ASSERT_NE(loaded, nullptr) << c.version;
    EXPECT_EQ(loaded->GetType(), c.type) << c.version;
    std::string target;
    loaded->ExecuteCommand(kCameraTarget + 1, &target);
    EXPECT_EQ(target, c.target) << c.version;
    EXPECT_EQ(loaded->GetViewport(), c.viewport) << c.version;
  }
}

// A room with a wall whose near face stands 1.5 units behind the hero, and
// a follow camera 4 units behind the hero.
class FollowCameraTest : public CameraTest {
 protected:
  void SetUp() override {
    CameraTest::SetUp();
    AddBoxGeometry("Wall", {0, 0, -2}, {10, 10, 1});
    room = &AddSpace(*engine, "Room", {}, 20);
    room->AddCollisionEntry("Wall");
    hero = &Add<Object>(*room, kClassObject, "Hero");
    hero->SetPosition({0, 0, 0}, false);
    camera = &NewCamera(*room, kCameraFollow, {});
    camera->SetTargetObject(hero);
    room->Precalculate();
    room->ResolveCollisionEntries();
    ASSERT_TRUE(room->BuildCollisionGeometries());
  }

  Space* room = nullptr;
  Object* hero = nullptr;
  Camera* camera = nullptr;
};

TEST_F(FollowCameraTest, StartsBehindItsTargetAndStopsInFrontOfTheWall) {
  EXPECT_FLOAT_EQ(camera->GetPositionWS().z, -4.0f);
  camera->Update();
  EXPECT_TRUE(camera->IsActive());
  EXPECT_NEAR(camera->GetPositionWS().z, -1.25f, 1e-4f);
  EXPECT_FLOAT_EQ(camera->GetLookAtPoint().z, 0.0f);
}

TEST_F(FollowCameraTest, SmoothingMovesAShareOfTheWayEachFrame) {
  Send(*camera, kPositionSmooth, 0.9f);
  camera->Update();
  // 1 - 0.9 + 0.2 of the way from -4 to -1.25: the wall's pull adds 0.2.
  EXPECT_NEAR(camera->GetPositionWS().z, -4.0f + 0.3f * 2.75f, 1e-4f);
}

TEST_F(FollowCameraTest, PostPassAppliesTheViewAndDrawsTheCamerasSpace) {
  AddCubeMesh("Cube");
  Mesh& mesh = Add<Mesh>(*room, kClassMesh, "Box");
  mesh.SetPosition({0, 0, 5}, false);
  mesh.AddMesh("Cube");
  camera->Update();
  Queue().Reset();
  engine->GetEngineWorld().PostPass();
  EXPECT_NEAR(View().GetCameraPosition().z, -1.25f, 1e-4f);
  EXPECT_FLOAT_EQ(View().GetCameraTarget().z, 0.0f);
  EXPECT_EQ(Queued<MeshPartCommand>(kListOpaque).size(), 1u);
  EXPECT_EQ(room->GetLastDrawnFrame(), engine->GetEngineWorld().GetFrameStamp());

  // A camera of another World is that World's to draw.
  camera->SetWorld(nullptr);
  Queue().Reset();
  engine->GetEngineWorld().PostPass();
  EXPECT_TRUE(Queued<MeshPartCommand>(kListOpaque).empty());
}

// Two Worlds, each with a Space its own camera sees: every frame counts the
// cells of both walks once, whatever the order of the passes.
TEST_F(CameraTest, DrawnCellCountIsFrameWide) {
  Space& near = AddSpace(*engine, "Near", {}, 20);
  Camera& first = NewCamera(near, kCameraFixed, {});
  auto& other = Add<World>(*engine, kClassWorld, "Other");
  other.SetActive(true);
  Space& far = AddSpace(other, "Far", {}, 20);
  Camera& second = NewCamera(far, kCameraFixed, {});
  Send(second, kCameraViewport, std::uint32_t{1});
  near.Precalculate();
  other.Precalculate();
  first.Activate();
  second.Activate();
  ASSERT_EQ(second.GetWorld(), &other);
  engine->SetRunning(true);
  for (int frame = 1; frame <= 2; ++frame) {
    engine->RunFrame();
    EXPECT_EQ(World::GetDrawnCellCount(), 2) << frame;
    EXPECT_EQ(near.GetLastDrawnFrame(), engine->GetEngineWorld().GetFrameStamp());
    EXPECT_EQ(far.GetLastDrawnFrame(), other.GetFrameStamp());
  }
}

}  // namespace
}  // namespace tge::test

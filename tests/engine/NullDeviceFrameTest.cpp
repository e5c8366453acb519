// Whole frames on the null device: every scene type in a Space drawn by a
// camera, and 5,000 meshes, more than one arena block of the render queue
// holds, all drawn.
#include <gtest/gtest.h>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "engine/Engine.h"
#include "objects/gameplay/Space.h"
#include "objects/scene/Camera.h"
#include "objects/scene/Mesh.h"
#include "platform/gfx/NullDevice.h"
#include "services/EngineServices.h"
#include "services/MaterialResource.h"
#include "services/MeshResource.h"
#include "services/RenderDevice.h"
#include "tests/core/files/TempFolder.h"

namespace tge::test {
namespace {

class NullDeviceFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateEngineServices());
    EngineServices& services = *GetEngineServices();
    services.SetSubsystem(ServiceSlot::kRenderDevice,
                          std::make_unique<RenderDevice>(NullRenderDeviceBackend({640, 480, 60, gfx::kFormatX8R8G8B8})));
    StartupSettings startup;
    startup.renderDeviceEnabled = 1;
    startup.fullScreen = 0;
    ASSERT_EQ(services.Initialize(&startup), 1);
    ASSERT_TRUE(CreateEngine());
    engine = GetEngine();
    engine->SetDataPath(folder.Path().string() + "/");
    engine->GetEngineWorld().SetActive(true);
    engine->SetRunning(true);
    device = static_cast<gfx::NullDevice*>(&GetRenderDevice()->Device());

    auto material = std::make_unique<MaterialResource>();
    material->SetName("Grey");
    Resource* grey = material.get();
    services.GetResources().RegisterResource(std::move(material));
    std::unique_ptr<MeshResource> box = CreateBoxMesh(*device, 0.2f, 0.2f, 0.2f);
    box->SetName("Box");
    box->parts[0].material = grey;
    services.GetResources().RegisterResource(std::move(box));

    space = static_cast<Space*>(CreateObject(kClassSpace, nullptr, *engine, "Room"));
    space->SetLocalBox({{-100, -100, -100}, {100, 100, 100}});
    camera = static_cast<Camera*>(CreateObject(kClassCamera, nullptr, *space, "Camera"));
    camera->SetInheritOrientation(false);
    camera->SetPosition({0, 0, -60}, false);
  }

  void TearDown() override {
    ShutdownEngine();
    DestroyEngineServices();
  }

  void AddMesh(const Vector3& at) {
    Object* object = CreateObject(kClassMesh, nullptr, *space, "Box");
    object->SetPosition(at, false);
    static_cast<Mesh*>(object)->AddMesh("Box");
  }

  // Draws of one frame, after the camera has taken its viewport.
  std::uint64_t DrawFrame() {
    space->Precalculate();
    camera->Update();
    device->ClearCounts();
    engine->RunFrame();
    return device->Draws();
  }

  ::tge::testing::TempFolder folder;
  Engine* engine = nullptr;
  gfx::NullDevice* device = nullptr;
  Space* space = nullptr;
  Camera* camera = nullptr;
};

TEST_F(NullDeviceFrameTest, EverySceneTypeDrawsInAFrame) {
  AddMesh({0, 0, 0});
  for (int classId : {kClassLight, kClassEnvironment, kClassTimer, kClassData, kClassMesh}) {
    ASSERT_NE(CreateObject(classId, nullptr, *space, "Part"), nullptr) << classId;
  }
  EXPECT_EQ(DrawFrame(), 1u);
  EXPECT_EQ(device->CountCalls(gfx::CallType::kPresent), 1u);
  EXPECT_EQ(DrawFrame(), 1u);
}

TEST_F(NullDeviceFrameTest, FiveThousandMeshesAreAllDrawn) {
  for (int row = 0; row < 50; ++row) {
    for (int column = 0; column < 100; ++column) {
      AddMesh({static_cast<float>(column - 50) * 0.5f, 0, static_cast<float>(row) * 0.5f});
    }
  }
  EXPECT_EQ(DrawFrame(), 5000u);
  EXPECT_EQ(DrawFrame(), 5000u);
}

}  // namespace
}  // namespace tge::test

// A whole-program pixel probe of a ScreenAnchor: a Sprite under an anchor
// at a world point is drawn at the point's projection. In an 800 x 600
// window the widgets' reference units are pixels.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <numbers>

#include "app/StartupConfig.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "services/MaterialResource.h"
#include "services/MaterialType.h"
#include "tests/app/ProgramRun.h"
#include "tools/SceneWriter.h"

namespace tge::test {
namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr float kAspect = float(kWidth) / kHeight;
const Rgb kFog{51, 102, 153};  // (0.2, 0.4, 0.6)
const Rgb kPin{255, 0, 0};

bool AddPinMaterial(ResourceDatabase& resources, const std::filesystem::path&) {
  SetMaterialType(&RegisterResource<MaterialResource>(resources, "Pin", ""), kMaterialSolidColor);
  return true;
}

// A camera at the origin looking along +z, a quarter turn high, and an
// anchor at point holding a 20 x 20 red Sprite centred on it.
void BuildProbe(Object& root, const Vector3& point) {
  Object& world = *CreateObject(kClassWorld, nullptr, root, "ProbeWorld");
  AddScript(world, "OnEngineStarted", "parent.LoadResources(/ProbeWorld);");
  Object& room = AddPlaced(world, kClassSpace, "Room", "this.SetSpaceBoxMin(-60, -60, -60); this.SetSpaceBoxMax(60, 60, 60);");
  AddPlaced(room, kClassEnvironment, "Air",
            "this.SetEnvironmentFogColor(0.2, 0.4, 0.6, 1); this.SetEnvironmentFogNear(50); "
            "this.SetEnvironmentFogFar(100); this.SetEnvironmentFogEnable(1);");
  AddPlaced(room, kClassCamera, "Eye",
            "this.SetCameraType(0); this.SetCameraFov(" + std::to_string(std::numbers::pi_v<float> / 2) +
                "); this.SetCameraAspect(" + std::to_string(kAspect) + "); this.SetCameraNear(1); this.SetCameraFar(100);");
  Object& anchor = AddPlaced(room, kClassScreenAnchor, "Label",
                             "this.SetPosition(" + std::to_string(point.x) + ", " + std::to_string(point.y) + ", " +
                                 std::to_string(point.z) + ");");
  AddPlaced(anchor, kClassSprite, "Pin",
            "this.SetPosition(0, 0, 0); this.SetWindowWidth(20); this.SetWindowHeight(20); "
            "this.SetWindowAlignX(1); this.SetWindowAlignY(1); this.SetSpriteMaterial(Pin); "
            "this.SetSpriteColor(1, 0, 0, 1);");
}

TEST(ScreenAnchorProbeTest, SpriteChildSitsAtTheProjectedPoint) {
  ::tge::testing::TempFolder folder;
  const Vector3 point{2, 1, 10};
  SceneDescription scene;
  scene.addResources = AddPinMaterial;
  scene.buildObjects = [&](Object& root) { BuildProbe(root, point); };
  std::string error;
  ASSERT_TRUE(WriteSceneFiles(folder.Path() / "Data", scene, error)) << error;
  folder.WriteFile(kInitFileName, folder.Path().string() + "\nLibrary.sli\n\nScreen anchor probe " +
                                      std::to_string(::getpid()) + "\n\n");
  RunProgram(folder, "-g_w=800 -g_h=600 -s_e=0 -shot=shot.bmp -shotframe=3");
  const image::Image shot = ReadShot(folder, "shot.bmp");
  // tan(fov / 2) = 1: x = (x / z / aspect + 1) x 400, y = (1 - y / z) x 300.
  const int x = int(std::lround((point.x / point.z / kAspect + 1) * kWidth / 2));
  const int y = int(std::lround((1 - point.y / point.z) * kHeight / 2));
  EXPECT_EQ(x, 460);
  EXPECT_EQ(y, 270);
  for (const auto& [dx, dy] : {std::pair{0, 0}, std::pair{-8, -8}, std::pair{8, 8}}) {
    EXPECT_TRUE(Near(PixelAt(shot, x + dx, y + dy), kPin, 1)) << dx << ", " << dy;
  }
  for (const auto& [dx, dy] : {std::pair{-14, 0}, std::pair{14, 0}, std::pair{0, -14}, std::pair{0, 14}}) {
    EXPECT_TRUE(Near(PixelAt(shot, x + dx, y + dy), kFog, 1)) << dx << ", " << dy;
  }
}

}  // namespace
}  // namespace tge::test

// Pixel probes of projected textures and hit-effect decals, run by the real
// program: a camera 10 above a red floor looks straight down (a square field
// of view of 90 degrees: one unit on the floor is 24 pixels), and the effect
// under test lies on the floor's centre, which is the middle of the shot.
#include <gtest/gtest.h>

#include <functional>
#include <numbers>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "services/render/MaterialType.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/TextureResource.h"
#include "tests/app/ProbeStage.h"

namespace tge::test {
namespace {

constexpr int kPixelsPerUnit = 24;
constexpr std::uint32_t kSlideSide = 16;
const Rgb kFloor{230, 26, 26};

// An uncompressed 32-bit TGA, bottom row first: a clear border two texels
// wide, a green 4 x 4 middle and blue between.
std::vector<std::uint8_t> MakeSlide() {
  std::vector<std::uint8_t> bytes(18, 0);
  bytes[2] = 2;
  bytes[12] = kSlideSide;
  bytes[14] = kSlideSide;
  bytes[16] = 32;
  bytes[17] = 8;
  for (std::uint32_t y = 0; y < kSlideSide; ++y) {
    for (std::uint32_t x = 0; x < kSlideSide; ++x) {
      const bool border = x < 2 || y < 2 || x >= kSlideSide - 2 || y >= kSlideSide - 2;
      const bool middle = x >= 6 && x < 10 && y >= 6 && y < 10;
      const std::uint8_t blue = middle || border ? 0 : 255, green = middle ? 255 : 0;
      bytes.insert(bytes.end(), {blue, green, 0, std::uint8_t(border ? 0 : 255)});
    }
  }
  return bytes;
}

MaterialResource& AddTexturedMaterial(ResourceDatabase& resources, const std::string& name, std::uint32_t type) {
  auto& texture = RegisterResource<TextureResource>(resources, name + "Tex", "Slide.tga");
  texture.width = texture.height = kSlideSide;
  texture.bitDepth = 32;
  texture.storageMode = kTextureKeepFileFormat;
  auto& material = RegisterResource<MaterialResource>(resources, name, "");
  SetMaterialType(&material, type);
  SetMaterialTexture(&material, 0, &texture);
  return material;
}

bool AddResources(ResourceDatabase& resources, const std::filesystem::path& dataFolder) {
  if (!WriteDataFile(dataFolder / "Slide.tga", MakeSlide())) return false;
  auto& floor = RegisterResource<MaterialResource>(resources, "FloorMat", "");
  floor.flags = (floor.flags & ~std::uint32_t{kMaterialNoColors}) | kMaterialCollectable;
  floor.colors.diffuse = {0, 0, 0, 1};
  floor.colors.ambient = {0.9f, 0.1f, 0.1f, 1};
  AddTexturedMaterial(resources, "SlideMat", kMaterialProjected);
  AddTexturedMaterial(resources, "DecalMat", kMaterialTextureAlpha);
  return AddBoxMesh(resources, dataFolder, "Floor", gfx::CreateBoxMesh(20, 0.2f, 20), 20, &floor) != nullptr;
}

bool Green(const Rgb& c) { return c[1] > 150 && c[0] < 100 && c[2] < 100; }
bool Blue(const Rgb& c) { return c[2] > 150 && c[0] < 100 && c[1] < 100; }

class EffectProbeTest : public ::testing::Test {
 protected:
  image::Image Render(const std::function<void(Object& room)>& build) {
    SceneDescription scene;
    scene.addResources = AddResources;
    scene.buildObjects = [&](Object& root) {
      Object& world = *CreateObject(kClassWorld, nullptr, root, "ProbeWorld");
      Object& room = AddPlaced(world, kClassSpace, "Room",
                               "this.SetSpaceBoxMin(-30, -30, -30); this.SetSpaceBoxMax(30, 30, 30);");
      AddPlaced(room, kClassLight, "Sky",
                "this.SetLightType(0); this.SetLightColor(0, 0, 0, 1); this.SetLightAmbient(1, 1, 1, 1);");
      AddPlaced(room, kClassCamera, "Eye",
                "this.SetCameraType(0); this.SetCameraFov(" + std::to_string(std::numbers::pi_v<float> / 2) +
                    "); this.SetCameraAspect(" + std::to_string(float(kShotWidth) / kShotHeight) +
                    "); this.SetCameraNear(0.5); this.SetCameraFar(100); "
                    "this.SetPosition(0, 10, 0); this.SetRotationX(1.5707964);");
      AddPlaced(room, kClassMesh, "Floor",
                "this.SetPosition(0, -0.1, 0); this.AddMesh(Floor); this.SetMeshCollectable(1);");
      build(room);
    };
    return ShootProbe(scene, "Effect probe test", {kShotWidth, kShotHeight}, 4);
  }

  static Rgb At(const image::Image& shot, float x, float z) {
    return PixelAt(shot, std::uint32_t(kShotWidth / 2 + x * kPixelsPerUnit),
                   std::uint32_t(kShotHeight / 2 - z * kPixelsPerUnit));
  }
};

// The projector hangs 4 above the floor's centre looking down with a square
// frustum of 1 radian: its footprint reaches 4 tan(0.5) = 2.19 each way.
TEST_F(EffectProbeTest, ProjectorPutsTheTextureCentreOnItsAxisAndLeavesTheRestOfTheFloor) {
  const image::Image shot = Render([](Object& room) {
    AddPlaced(room, kClassCollector, "Collector",
              "this.SetCollectorTriangle(1); this.SetCollectorGlobalCollector(1); "
              "this.SetCollectorTriangleRadius(20);");
    Object* collector = room.FindChildByName("Collector");
    std::uint32_t capacity = 100;
    collector->ExecuteCommand(7516, &capacity);
    AddPlaced(room, kClassProjectTexture, "Projector",
              "this.SetPosition(0, 4, 0); this.SetRotationX(1.5707964); this.SetProjectTextureAspect(1); "
              "this.SetProjectTextureMaterial(SlideMat);");
  });
  EXPECT_TRUE(Green(At(shot, 0, 0))) << At(shot, 0, 0)[0] << "," << At(shot, 0, 0)[1] << "," << At(shot, 0, 0)[2];
  EXPECT_TRUE(Green(At(shot, 0.3f, -0.3f)));
  EXPECT_TRUE(Blue(At(shot, 1.2f, 0)));
  EXPECT_TRUE(Blue(At(shot, 0, -1.2f)));
  for (const auto& [x, z] : {std::pair{3.5f, 0.0f}, std::pair{0.0f, 3.5f}, std::pair{-6.0f, -6.0f}}) {
    EXPECT_TRUE(Near(At(shot, x, z), kFloor, 3)) << x << " " << z;
  }
}

// A decal of edge 2 fired at the floor's centre, facing up.
TEST_F(EffectProbeTest, HitEffectDecalShowsAtTheHitAndNowhereElse) {
  const image::Image shot = Render([](Object& room) {
    Object& effect = AddPlaced(room, kClassHitEffect, "Hit",
                               "this.SetPosition(0, 0, 0); this.SetRotationX(-1.5707964); "
                               "this.SetHitEffectDecalMaterial(DecalMat); this.SetHitEffectDecalSize(2);");
    AddScript(effect, "OnEngineStarted", "this.Start();");
  });
  EXPECT_TRUE(Green(At(shot, 0, 0)));
  EXPECT_TRUE(Blue(At(shot, 0.6f, 0.6f)));
  for (const auto& [x, z] : {std::pair{1.5f, 0.0f}, std::pair{0.0f, -1.5f}, std::pair{5.0f, 5.0f}}) {
    EXPECT_TRUE(Near(At(shot, x, z), kFloor, 3)) << x << " " << z;
  }
}

}  // namespace
}  // namespace tge::test

// Pixel probes of outdoor scenes run by the real program with a fixed step
// of the game's clock: generated terrain seen from above shows no crack
// between its patches, a sky locked to the camera keeps its colours wherever
// the camera goes, and a light flare fades in, fades with distance and
// hides behind a wall.
#include <gtest/gtest.h>

#include <functional>
#include <numbers>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "demo/assets/DemoTerrain.h"
#include "services/render/MaterialType.h"
#include "services/render/TerrainResource.h"
#include "services/resources/CollisionGeometryResource.h"
#include "services/resources/MaterialResource.h"
#include "tests/app/ProbeStage.h"
#include "tests/services/TestBytes.h"
#include "tools/SceneWriter.h"

namespace tge::test {
namespace {

constexpr double kStep = 0.04;
constexpr std::uint32_t kSide = 64;
const std::string kQuarterTurn = std::to_string(std::numbers::pi_v<float> / 2);

image::Image Plain(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
  image::Image image;
  image.width = image.height = kSide;
  for (std::uint32_t i = 0; i < kSide * kSide; ++i) image.pixels.insert(image.pixels.end(), {blue, green, red, 255});
  return image;
}

// "Wall": one box of collision geometry, 10 x 10 x 1 around (0, 0, 5).
bool AddWall(ResourceDatabase& resources, const std::filesystem::path& dataFolder) {
  Bytes bytes;
  bytes.U32(2).U32(0).U32(1);
  bytes.U32(1).F32(0).F32(0).F32(5).F32(0).F32(0).F32(0).F32(1);
  bytes.F32(10).F32(10).F32(1).U32(1).U32(5);
  RegisterResource<CollisionGeometryResource>(resources, "Wall", "Wall.col");
  return WriteDataFile(dataFolder / "Wall.col", bytes.data);
}

// "FieldMat", a plain green ground under the hills of the demo's tile;
// "WhiteMat", unfogged, for the sky; "GlareMat", white, unfogged and added;
// the "Wall".
bool AddOutdoorResources(ResourceDatabase& resources, const std::filesystem::path& dataFolder) {
  MaterialResource* ground = AddTexturedMaterial(resources, dataFolder, "Field", Plain(60, 150, 90));
  MaterialResource* white = AddTexturedMaterial(resources, dataFolder, "White", Plain(255, 255, 255));
  MaterialResource* glare = AddTexturedMaterial(resources, dataFolder, "Glare", Plain(255, 255, 255));
  if (!ground || !white || !glare || !WriteDataFile(dataFolder / "Hills_hm_00_00.fxi", MakeDemoTerrainTile())) {
    return false;
  }
  SetMaterialFog(white, false);
  SetMaterialFog(glare, false);
  SetMaterialType(glare, kMaterialAdd);
  auto& terrain = RegisterResource<TerrainResource>(resources, "Hills", "");
  terrain.tiles.resize(1);
  terrain.tiles[0].material = ground;
  return AddWall(resources, dataFolder);
}

// A World with one large Space, "Field"; the test adds the rest to it. The
// World's resources are loaded at start, as a game's script does.
class OutdoorShotTest : public ::testing::Test {
 protected:
  using Build = std::function<void(Object& field)>;

  // Runs the scene and returns the given frame, kStep seconds of game
  // time apart.
  static image::Image Render(const Build& build, int frame) {
    SceneDescription scene;
    scene.addResources = AddOutdoorResources;
    scene.buildObjects = [&](Object& root) {
      Object& world = *CreateObject(kClassWorld, nullptr, root, "ShotWorld");
      AddScript(world, "OnEngineStarted", "parent.LoadResources(/ShotWorld);");
      build(AddPlaced(world, kClassSpace, "Field",
                      "this.SetSpaceBoxMin(-9000, -9000, -9000); this.SetSpaceBoxMax(9000, 9000, 9000);"));
    };
    return ShootProbe(scene, "Outdoor shot test", {kShotWidth, kShotHeight}, frame, kStep);
  }

  // A fixed camera with a square field of view of 90 degrees.
  static Object& AddCamera(Object& field, const std::string& setUp) {
    return AddPlaced(field, kClassCamera, "Eye",
                     "this.SetCameraType(0); this.SetCameraFov(" + kQuarterTurn + "); this.SetCameraAspect(" +
                         std::to_string(float(kShotWidth) / kShotHeight) +
                         "); this.SetCameraNear(0.5); this.SetCameraFar(3000); " + setUp);
  }
};

// The terrain's fog colour is the colour the frame is cleared to; with the
// fog beyond the view no terrain pixel takes it, so a pixel of that colour
// is the clear colour seen through a crack between patches.
TEST_F(OutdoorShotTest, TerrainFromAboveFillsTheViewWithoutCracks) {
  const image::Image shot = Render(
      [](Object& field) {
        AddCamera(field, "this.SetPosition(1024, 400, 1024); this.SetRotationX(" + kQuarterTurn + ");");
        AddPlaced(field, kClassTerrain, "Ground",
                  "this.SetTerrainTerrain(Hills); this.SetTerrainFogColor(1, 0, 1, 1); "
                  "this.SetTerrainFogNear(5000); this.SetTerrainFogFar(6000);");
      },
      3);
  ASSERT_EQ(shot.width, std::uint32_t(kShotWidth));
  int cracks = 0;
  for (std::uint32_t y = 0; y < shot.height; ++y) {
    for (std::uint32_t x = 0; x < shot.width; ++x) cracks += Near(PixelAt(shot, x, y), {255, 0, 255}, 60) ? 1 : 0;
  }
  EXPECT_EQ(cracks, 0);
  EXPECT_TRUE(Near(PixelAt(shot, kShotWidth / 2, kShotHeight / 2), {90, 150, 60}, 60));
}

// A sky box of 100 units, 50 high, whose floor lies 25 below the eye: the
// top of a level view of 90 degrees meets its roof, the bottom its floor.
// A Timer moves the camera 5,000 units away after a few frames.
TEST_F(OutdoorShotTest, SkyShowsItsTopAndHorizonColoursAlsoAfterTheCameraMovedFar) {
  const Rgb top{230, 51, 26}, bottom{26, 204, 51};  // (0.9, 0.2, 0.1) and (0.1, 0.8, 0.2)
  for (const bool moved : {false, true}) {
    SCOPED_TRACE(moved);
    const image::Image shot = Render(
        [moved](Object& field) {
          AddCamera(field, "this.SetPosition(0, 10, 0);");
          std::string sides;
          for (int side = 0; side < 6; ++side) {
            sides += "this.SetSkyCurrentData(" + std::to_string(side) + "); this.SetSkyMaterial(WhiteMat); ";
          }
          AddPlaced(field, kClassSky, "Sky",
                    "this.SetPosition(0, -15, 0); this.SetSkyLockedToCamera(1); this.SetSkyDimension(100); "
                    "this.SetSkyHeight(50); this.SetSkyTopColor(0.9, 0.2, 0.1, 1); "
                    "this.SetSkyBottomColor(0.1, 0.8, 0.2, 1); " + sides);
          if (moved) AddTimer(field, "Away", 0.1f, "parent/Eye.SetPosition(5000, 10, -5000);");
        },
        6);
    EXPECT_TRUE(Near(PixelAt(shot, kShotWidth / 2, 2), top, 3));
    EXPECT_TRUE(Near(PixelAt(shot, kShotWidth / 2, kShotHeight - 3), bottom, 3));
  }
}

// A white flare drawn added over the black clear colour lights the middle
// pixel with its strength squared (colour times alpha). The flare fades in
// over 0.5 s once its first test has run after 0.25 s.
class FlareShotTest : public OutdoorShotTest {
 protected:
  // The flare fades from fadeStart to 20 units away.
  int MiddleAt(int frame, float distance, float fadeStart, bool walled = false) {
    const image::Image shot = Render(
        [&](Object& field) {
          AddCamera(field, "");
          AddPlaced(field, kClassLightFlare, "Flare",
                    "this.SetPosition(0, 0, " + std::to_string(distance) +
                        "); this.SetLightFlareMaterial(GlareMat); this.SetLightFlareHideFadeTime(0.5); "
                        "this.SetLightFlareFadeStartDistance(" +
                        std::to_string(fadeStart) + "); this.SetLightFlareFadeDistance(20);");
          if (walled) {
            RunScript(*field.GetParent(), "this.SetWorldEnablePhysics(1);");
            RunScript(field, "this.AddSpaceCollision(Wall);");
          }
        },
        frame);
    return PixelAt(shot, kShotWidth / 2, kShotHeight / 2)[0];
  }
};

// Full strength is a = 1 within the flicker of 0.03: 247 to 255. At 0.76 s
// (the first frame past 0.25 s + 0.5 s) it is there, at 0.68 s not yet.
TEST_F(FlareShotTest, FullStrengthOnceTheHideTimeHasPassedAfterTheFirstTest) {
  EXPECT_LT(MiddleAt(17, 4.0f, 10.0f), 225);
  EXPECT_GE(MiddleAt(19, 4.0f, 10.0f), 240);
}

// At half its fade distance the flare is at half strength: a quarter lit.
TEST_F(FlareShotTest, HalfStrengthAtHalfItsFadeDistance) {
  const int middle = MiddleAt(25, 10.0f, 0.0f);
  EXPECT_GE(middle, 52);
  EXPECT_LE(middle, 76);
}

TEST_F(FlareShotTest, NotDrawnBehindAWallOfTheCamerasSpace) {
  EXPECT_LE(MiddleAt(25, 10.0f, 10.0f, true), 2);
}

}  // namespace
}  // namespace tge::test

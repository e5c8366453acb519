// Whole-program pixel probes of the particle effects: large plain particles
// show their colour at their emitter, a system killed at its start shows
// the background once its last particle has died, and a trail carried
// across the view shows its start colour at the head and fades out at the
// tail. The camera at the origin looks along +z with a quarter-turn field.
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

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr float kAspect = float(kWidth) / kHeight;
const Rgb kFog{51, 102, 153};     // (0.2, 0.4, 0.6)
const Rgb kEmber{255, 128, 0};    // (1, 0.5, 0)
const Rgb kRibbon{0, 255, 128};   // (0, 1, 0.5)
const Vector3 kShown{-2, 1.5f, 10};
const Vector3 kKilled{2, 1.5f, 10};
const Vector3 kTrailFrom{-3, -1.5f, 7};
const Vector3 kTrailTo{3, -1.5f, 13};

std::string Arguments(const Vector3& v) {
  return std::to_string(v.x) + ", " + std::to_string(v.y) + ", " + std::to_string(v.z);
}

// tan(fov / 2) = 1.
std::pair<int, int> Project(const Vector3& p) {
  return {int(std::lround((p.x / p.z / kAspect + 1) * kWidth / 2)), int(std::lround((1 - p.y / p.z) * kHeight / 2))};
}

Vector3 AlongTrail(float t) {
  return {kTrailFrom.x + (kTrailTo.x - kTrailFrom.x) * t, kTrailFrom.y, kTrailFrom.z + (kTrailTo.z - kTrailFrom.z) * t};
}

// Two-sided: a ribbon shows whichever way it was laid.
bool AddPlainMaterial(ResourceDatabase& resources, const std::filesystem::path&) {
  auto& plain = RegisterResource<MaterialResource>(resources, "Plain", "");
  SetMaterialType(&plain, kMaterialSolidColor);
  plain.flags |= kMaterialTwoSided;
  return true;
}

// Still particles of one colour, a unit in size, that live for life seconds.
Object& AddEmbers(Object& room, const std::string& name, const Vector3& at, float life) {
  return AddPlaced(room, kClassParticleSystem, name,
                   "this.SetPosition(" + Arguments(at) + "); this.SetMaterial(Plain); this.SetMaxParticles(20); "
                   "this.GetEmitOnActionStart(10); this.SetParticlesPerSec(0); this.SetLife(" + std::to_string(life) +
                   "); this.SetSpeed(0); this.SetSpeedMulVar(0); this.SetSizeStart(1); this.SetSizeEnd(-1); "
                   "this.SetAlphaStart(1); this.SetAlphaEnd(1); this.SetColorStart(1, 0.5, 0, 1); "
                   "this.SetColorADDVar(0, 0, 0, 0); this.SetColorEnd(1, 0.5, 0, 1);");
}

void BuildProbe(Object& root) {
  Object& world = *CreateObject(kClassWorld, nullptr, root, "ProbeWorld");
  AddScript(world, "OnEngineStarted", "parent.LoadResources(/ProbeWorld);");
  Object& room = AddPlaced(world, kClassSpace, "Room", "this.SetSpaceBoxMin(-60, -60, -60); this.SetSpaceBoxMax(60, 60, 60);");
  AddPlaced(room, kClassEnvironment, "Air",
            "this.SetEnvironmentFogColor(0.2, 0.4, 0.6, 1); this.SetEnvironmentFogNear(50); "
            "this.SetEnvironmentFogFar(100); this.SetEnvironmentFogEnable(1);");
  AddPlaced(room, kClassCamera, "Eye",
            "this.SetCameraType(0); this.SetCameraFov(" + std::to_string(std::numbers::pi_v<float> / 2) +
                "); this.SetCameraAspect(" + std::to_string(kAspect) + "); this.SetCameraNear(1); this.SetCameraFar(100);");
  AddScript(AddEmbers(room, "Shown", kShown, 100), "OnEngineStarted", "this.Start();");
  AddScript(AddEmbers(room, "Killed", kKilled, 0.2f), "OnEngineStarted", "this.Start(); this.Kill();");
  // Moving across x and away, the ribbon's sides stand upright.
  Object& carrier = AddPlaced(room, kClassObject, "Carrier", "this.SetPosition(" + Arguments(kTrailFrom) + ");");
  AddScript(carrier, "OnEngineStarted", "this.LerpToPosition(" + Arguments(kTrailTo) + ", 0.5);");
  Object& trail = AddPlaced(carrier, kClassTrail, "Ribbon",
                            "this.SetPosition(0, 0, 0); this.SetTrailMaterial(Plain); this.SetTrailAxis(0); "
                            "this.SetTrailMaxSamples(500); this.SetTrailMinSampleDistance(0.5); "
                            "this.SetTrailStartSize(1.2); this.SetTrailEndSize(1.2); "
                            "this.SetTrailStartColor(0, 1, 0.5, 1); this.SetTrailEndColor(0, 1, 0.5, 0);");
  // The samples hardly age while the probe runs.
  float lifetime = 1000;
  trail.ExecuteCommand(18756, &lifetime);
  AddScript(trail, "OnEngineStarted", "this.Start();");
}

TEST(ParticlePixelProbeTest, ParticlesShowTheirColourAndGoWithKillAndTheTrailFadesAtItsTail) {
  ::tge::testing::TempFolder folder;
  SceneDescription scene;
  scene.addResources = AddPlainMaterial;
  scene.buildObjects = BuildProbe;
  std::string error;
  ASSERT_TRUE(WriteSceneFiles(folder.Path() / "Data", scene, error)) << error;
  folder.WriteFile(kInitFileName, folder.Path().string() + "\nLibrary.sli\n\nParticle probe " +
                                      std::to_string(::getpid()) + "\n\n");
  // Late enough for the half-second carry and the killed system's fifth of
  // a second, however quickly the frames come.
  RunProgram(folder, "-g_w=640 -g_h=480 -s_e=0 -shot=shot.bmp -shotframe=150");
  const image::Image shot = ReadShot(folder, "shot.bmp");
  const auto [shownX, shownY] = Project(kShown);
  for (const auto& [dx, dy] : {std::pair{0, 0}, std::pair{-5, 0}, std::pair{0, 5}}) {
    EXPECT_TRUE(Near(PixelAt(shot, shownX + dx, shownY + dy), kEmber, 2)) << dx << ", " << dy;
  }
  const auto [killedX, killedY] = Project(kKilled);
  EXPECT_TRUE(Near(PixelAt(shot, killedX, killedY), kFog, 1));
  for (float t : {0.9f, 0.5f}) {
    const auto [x, y] = Project(AlongTrail(t));
    EXPECT_TRUE(Near(PixelAt(shot, x, y), kRibbon, 2)) << t;
  }
  const auto [tailX, tailY] = Project(AlongTrail(0));
  EXPECT_TRUE(Near(PixelAt(shot, tailX, tailY), kFog, 1));
  // From the tail on, the ribbon rises out of the background: its oldest
  // segment (half a unit at least) blends before any full colour shows.
  bool blended = false;
  for (float t = 0; t < 0.5f && !blended; t += 0.005f) {
    const auto [x, y] = Project(AlongTrail(t));
    const Rgb pixel = PixelAt(shot, x, y);
    ASSERT_FALSE(Near(pixel, kRibbon, 2)) << "full colour with no fade before it, at " << t;
    blended = !Near(pixel, kFog, 8);
  }
  EXPECT_TRUE(blended);
}

}  // namespace
}  // namespace tge::test

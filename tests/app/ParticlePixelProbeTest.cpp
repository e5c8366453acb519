// Whole-program pixel probes of the particle effects: large plain particles
// show their colour at their emitter, a system killed at its start shows
// the background once its last particle has died, and a trail carried
// across the view shows its start colour at the head and fades out at the
// tail. The camera at the origin looks along +z with a quarter-turn field.
#include "services/render/MaterialType.h"
#include "services/resources/MaterialResource.h"
#include "tests/app/ProbeStage.h"

namespace tge::test {
namespace {

constexpr ProbeView kParticleView{640, 480};
const Rgb kEmber{255, 128, 0};    // (1, 0.5, 0)
const Rgb kRibbon{0, 255, 128};   // (0, 1, 0.5)
const Vector3 kShown{-2, 1.5f, 10};
const Vector3 kKilled{2, 1.5f, 10};
const Vector3 kTrailFrom{-3, -1.5f, 7};
const Vector3 kTrailTo{3, -1.5f, 13};

std::string Arguments(const Vector3& v) {
  return std::to_string(v.x) + ", " + std::to_string(v.y) + ", " + std::to_string(v.z);
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

void BuildParticleProbe(Object& root) {
  Object& room = AddProbeStage(root, kParticleView);
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
  SceneDescription scene;
  scene.addResources = AddPlainMaterial;
  scene.buildObjects = BuildParticleProbe;
  // Late enough for the half-second carry and the killed system's fifth of
  // a second, however quickly the frames come.
  const image::Image shot = ShootProbe(scene, "Particle probe", kParticleView, 150);
  const auto [shownX, shownY] = kParticleView.Project(kShown);
  for (const auto& [dx, dy] : {std::pair{0, 0}, std::pair{-5, 0}, std::pair{0, 5}}) {
    EXPECT_TRUE(Near(PixelAt(shot, shownX + dx, shownY + dy), kEmber, 2)) << dx << ", " << dy;
  }
  const auto [killedX, killedY] = kParticleView.Project(kKilled);
  EXPECT_TRUE(Near(PixelAt(shot, killedX, killedY), kProbeFog, 1));
  for (float t : {0.9f, 0.5f}) {
    const auto [x, y] = kParticleView.Project(AlongTrail(t));
    EXPECT_TRUE(Near(PixelAt(shot, x, y), kRibbon, 2)) << t;
  }
  const auto [tailX, tailY] = kParticleView.Project(AlongTrail(0));
  EXPECT_TRUE(Near(PixelAt(shot, tailX, tailY), kProbeFog, 1));
  // From the tail on, the ribbon rises out of the background: its oldest
  // segment (half a unit at least) blends before any full colour shows.
  bool blended = false;
  for (float t = 0; t < 0.5f && !blended; t += 0.005f) {
    const auto [x, y] = kParticleView.Project(AlongTrail(t));
    const Rgb pixel = PixelAt(shot, x, y);
    ASSERT_FALSE(Near(pixel, kRibbon, 2)) << "full colour with no fade before it, at " << t;
    blended = !Near(pixel, kProbeFog, 8);
  }
  EXPECT_TRUE(blended);
}

}  // namespace
}  // namespace tge::test

#include "demo/places/DemoRange.h"

#include <array>
#include <cmath>
#include <string>

#include "core/ClassIds.h"
#include "core/Object.h"
#include "core/ObjectFactory.h"
#include "demo/assets/DemoParticles.h"
#include "demo/assets/DemoProps.h"
#include "demo/assets/DemoTerrain.h"
#include "platform/gfx/Meshes.h"

namespace tge {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kTextureSide = 64;
constexpr float kGrenadeRadius = 0.15f;
constexpr float kBoardSide = 2.0f;
constexpr float kBoardDepth = 0.2f;

// The range lies left of the crate rows, seen from the stage camera beside
// the fog's edge: the launcher near the front, the stack ahead of it, and
// the gun shooting across behind the stack at the board. The grenade and
// the crates meet each other in bit 0x80000 (524288 in
// a script); the gun's ray meets only the board's bit 0x100 (256).
constexpr const char* kLauncherAt = "this.SetPosition(-7, 0.5, 1); ";
constexpr const char* kStackAt[] = {"-7.82, 0.8, 9.7", "-6.18, 0.8, 9.7", "-7, 2.4, 9.7"};
constexpr const char* kGunAt = "this.SetPosition(-4.5, 1.6, 15.5); this.SetRotationY(-1.5708); ";
constexpr const char* kBoardAt = "this.SetPosition(-10, 1.6, 15.5); ";
// The gun stands on a post from the ground up to it.
constexpr const char* kPostAt = "this.SetPosition(-4.5, 0.8, 15.5); ";
constexpr float kPostHeight = 1.5f;

// Released at once, the throw is a weak one (0.4 of the full speed, some
// 12 units a second): tilted up this steeply it comes down on the stack
// after about two and a half seconds.
constexpr const char* kLauncherSetUp =
    "this.SetRotationX(-1.32); this.SetWeaponType(4); this.SetWeaponEnablePreFire(1); "
    "this.SetWeaponFireOnRelease(1); this.SetWeaponPreFireTimeOut(10); this.SetWeaponBulletLoadAfterFire(1); "
    "this.SetWeaponDoNotUseAmmunitionOnFire(1); this.SetWeaponFireTime(0.5); this.SetWeaponBulletLoadTime(0.5);";
constexpr float kLaunchSeconds = 4.0f;

// A template for the pre-made grenade in the hand: neither started nor
// given a body with the stage, it burns only once thrown. It pushes but
// does not wear the crates out.
constexpr const char* kGrenadeSetUp =
    "this.SetActionBlockStartFromParent(1); this.SetBlockStartPhysics(1); this.SetAmmunitionType(1); "
    "this.SetAmmunitionMaxBulletsInClip(1); this.SetAmmunitionBulletsInClip(1); this.SetAmmunitionGroup(1); "
    "this.SetAmmunitionDamage(0); this.SetAmmunitionDamageRadius(4); this.SetAmmunitionDetonationTime(2.5); "
    "this.SetAmmunitionDetonationForce(5); this.SetAmmunitionCollisionCategory(524288); "
    "this.SetUsePhysics(1); this.SetEnableRigidBody(1); this.AddGeometry(); this.SetGeometryType(0); "
    "this.SetGeometryDimension(0.15, 0, 0); this.SetGeometryMassByDensity(1); "
    "this.SetGeometryCollisionBits(524288); this.SetGeometryCategoryBits(524288);";

constexpr const char* kGunSetUp =
    "this.SetWeaponType(2); this.SetWeaponRange(12); this.SetWeaponPrecision(1); "
    "this.SetWeaponBulletLoadAfterFire(1); this.SetWeaponDoNotUseAmmunitionOnFire(1); "
    "this.SetWeaponFireTime(0.3); this.SetWeaponBulletLoadTime(0.3);";
constexpr const char* kRoundSetUp =
    "this.SetActionBlockStartFromParent(1); this.SetAmmunitionType(2); this.SetAmmunitionMaxBulletsInClip(1); "
    "this.SetAmmunitionBulletsInClip(1); this.SetAmmunitionHitEffectGroup(1); "
    "this.SetAmmunitionCollisionCategory(256);";
constexpr float kShotSeconds = 1.5f;

// Sparks and a puff off the board, faded out over a second; once faded the
// effect deletes itself, which hands it back to its pool. The template
// waits in the pool unstarted.
constexpr const char* kSparksSetUp =
    "this.SetActionBlockStartFromParent(1); this.SetHitEffectParticleStartSize(0.12); "
    "this.SetHitEffectParticleEndSize(0.03); this.SetHitEffectParticleLifetime(0.8); "
    "this.SetHitEffectParticleSpeed(3); this.SetHitEffectSmokeStartSize(0.2); this.SetHitEffectSmokeEndSize(0.7); "
    "this.SetHitEffectSmokeLifetime(1); this.SetUseAction(1); this.SetActionStopTime(1); "
    "this.SetActionStopPreOnStartPost(1);";
constexpr int kPoolSize = 4;

// Rings of two colours (blue, green, red) round the centre; one colour
// twice is a plain image.
image::Image Rings(const std::array<std::uint8_t, 3>& inner, const std::array<std::uint8_t, 3>& outer) {
  image::Image image;
  image.width = image.height = kTextureSide;
  const float half = kTextureSide / 2.0f;
  for (std::uint32_t y = 0; y < kTextureSide; ++y) {
    for (std::uint32_t x = 0; x < kTextureSide; ++x) {
      const float r = std::hypot(static_cast<float>(x) + 0.5f - half, static_cast<float>(y) + 0.5f - half);
      const auto& colour = static_cast<int>(r / 6) % 2 == 0 ? inner : outer;
      image.pixels.insert(image.pixels.end(), {colour[0], colour[1], colour[2], 255});
    }
  }
  return image;
}

// "RangeBoard" a ringed red and white board, "RangeTube" a dark box for the
// launcher and the gun, "RangePost" the gun's stand, "RangeGrenade" a dark
// green ball.
bool AddRangeResources(ResourceDatabase& resources, const fs::path& dataFolder) {
  MaterialResource* board = AddTexturedMaterial(resources, dataFolder, "RangeBoard", Rings({40, 40, 220}, {235, 235, 235}));
  MaterialResource* metal = AddTexturedMaterial(resources, dataFolder, "RangeMetal", Rings({50, 50, 50}, {50, 50, 50}));
  MaterialResource* olive = AddTexturedMaterial(resources, dataFolder, "RangeOlive", Rings({30, 80, 40}, {30, 80, 40}));
  return board != nullptr && metal != nullptr && olive != nullptr &&
         AddBoxMesh(resources, dataFolder, "RangeBoard", gfx::CreateBoxMesh(kBoardDepth, kBoardSide, kBoardSide),
                    kBoardSide, board) &&
         AddBoxMesh(resources, dataFolder, "RangeTube", gfx::CreateBoxMesh(0.25f, 0.25f, 1.0f), 1.0f, metal) &&
         AddBoxMesh(resources, dataFolder, "RangePost", gfx::CreateBoxMesh(0.12f, kPostHeight, 0.12f), kPostHeight,
                    metal) &&
         AddBoxMesh(resources, dataFolder, "RangeGrenade", gfx::CreateSphereMesh(kGrenadeRadius, 10, 6),
                    2 * kGrenadeRadius, olive);
}

void AddLook(Object& parent, const char* mesh) { AddPlaced(parent, kClassMesh, "Look", std::string("this.AddMesh(") + mesh + ");"); }

// A Timer under the weapon that runs first, then pulls the trigger, every
// period.
void AddTrigger(Object& weapon, float period, const std::string& first = "") {
  AddTimer(weapon, "Trigger", period, first + "parent.Start(); this.TimerStart();");
}

// Each throw finds the crates stacked again, at rest, each on its marker.
std::string Restack() {
  std::string script;
  for (int i = 0; i < 3; ++i) {
    const std::string n = std::to_string(i + 1);
    const std::string crate = "parent/parent/Stack" + n;
    script += crate + ".SetOrientationByObject(parent/parent/Spot" + n + "); " + crate +
              ".SetLinearVelocity(0, 0, 0); " + crate + ".SetAngularVelocity(0, 0, 0); ";
  }
  return script;
}

void AddLauncher(Object& range) {
  Object& launcher = AddPlaced(range, kClassWeapon, "Launcher", std::string(kLauncherAt) + kLauncherSetUp);
  AddLook(launcher, "RangeTube");
  Object& grenade = AddPlaced(launcher, kClassAmmunition, "Ammunition", std::string("this.SetPosition(0, 0, 0.6); ") + kGrenadeSetUp);
  AddLook(grenade, "RangeGrenade");
  AddScript(grenade, "OnAmmunitionDetonate", "this.Delete();");
  AddTrigger(launcher, kLaunchSeconds, Restack());
  for (int i = 0; i < 3; ++i) {
    const std::string n = std::to_string(i + 1);
    AddDropCrate(range, "Stack" + n, kStackAt[i]);
    AddPlaced(range, kClassObject, "Spot" + n, std::string("this.SetPosition(") + kStackAt[i] + ");");
  }
}

// The pool the engine knows as its first global hit effect.
void AddHitEffectPool(Object& range) {
  Object& pool = *CreateObject(kClassObjectPool, nullptr, range, "GHE_01");
  RunScript(pool, "this.SetObjectPoolMaxSize(" + std::to_string(kPoolSize) + ");");
  Object& sparks = AddPlaced(pool, kClassHitEffect, "Sparks",
                             std::string("this.SetHitEffectParticleMaterial(") + kDemoGlowMaterial +
                                 "); this.SetHitEffectSmokeMaterial(" + kDemoGlowMaterial + "); " + kSparksSetUp);
  AddScript(sparks, "ActionStopPost", "this.Delete();");
}

void AddGun(Object& range) {
  Object& gun = AddPlaced(range, kClassWeapon, "Gun", std::string(kGunAt) + kGunSetUp);
  AddLook(gun, "RangeTube");
  AddLook(AddPlaced(range, kClassObject, "Post", kPostAt), "RangePost");
  AddPlaced(gun, kClassAmmunition, "Ammunition", kRoundSetUp);
  AddTrigger(gun, kShotSeconds);
  Object& board = AddPlaced(range, kClassObject, "Board",
                            std::string(kBoardAt) + "this.SetUsePhysics(1); this.AddGeometry(); "
                                "this.SetGeometryType(1); this.SetGeometryDimension(0.2, 2, 2); "
                                "this.SetGeometryCollisionBits(256); this.SetGeometryCategoryBits(256); "
                                "this.SetGeometryHitEffect(1);");
  AddLook(board, "RangeBoard");
}

void AddRange(Object& stage) {
  Object& range = AddPlaced(stage, kClassObject, "Range", "");
  // The engine is the World's parent, the World the stage's.
  AddScript(range, "OnEngineStarted", "parent/parent/parent.InitializeGlobalHitEffects();");
  AddHitEffectPool(range);
  AddLauncher(range);
  AddGun(range);
}

}  // namespace

void AddDemoRange(SceneDescription& scene, const std::string& stageName) {
  scene.addResources = [add = scene.addResources](ResourceDatabase& resources, const fs::path& dataFolder) {
    return add(resources, dataFolder) && AddRangeResources(resources, dataFolder);
  };
  scene.buildObjects = [build = scene.buildObjects, stageName](Object& root) {
    build(root);
    if (Object* stage = root.FindChildByName(stageName, kClassSpace)) AddRange(*stage);
  };
}

}  // namespace tge

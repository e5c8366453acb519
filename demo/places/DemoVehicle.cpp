#include "demo/places/DemoVehicle.h"

#include <string>

#include "core/ClassIds.h"
#include "core/Object.h"
#include "demo/assets/DemoTerrain.h"
#include "platform/gfx/Meshes.h"
#include "tools/SceneWriter.h"

namespace tge {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kTextureSide = 64;
constexpr float kWheelRadius = 0.3f;
constexpr float kLegSeconds = 6.0f;

image::Image Plain(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
  image::Image image;
  image.width = image.height = kTextureSide;
  for (std::uint32_t i = 0; i < kTextureSide * kTextureSide; ++i) {
    image.pixels.insert(image.pixels.end(), {blue, green, red, 255});
  }
  return image;
}

// "CarBody", a red box of the default chassis size; "CarWheel", a dark
// sphere whose box top gives the wheels their radius.
bool AddVehicleResources(ResourceDatabase& resources, const fs::path& dataFolder) {
  MaterialResource* paint = AddTexturedMaterial(resources, dataFolder, "CarPaint", Plain(40, 40, 200));
  MaterialResource* tyre = AddTexturedMaterial(resources, dataFolder, "CarTyre", Plain(30, 30, 30));
  return paint != nullptr && tyre != nullptr &&
         AddBoxMesh(resources, dataFolder, "CarBody", gfx::CreateBoxMesh(1.2f, 0.5f, 1.8f), 1.8f, paint) &&
         AddBoxMesh(resources, dataFolder, "CarWheel", gfx::CreateSphereMesh(kWheelRadius, 12, 8), 2 * kWheelRadius,
                    tyre);
}

// Forward on full right lock for six seconds (about two radians of a
// circle of some three units), then back along the same arc, over and
// over: the car stays right of the crates and never turns half round.
void AddCar(Object& stage) {
  Object& car = AddPlaced(stage, kClassVehicle, "Car", "this.SetPosition(6, 0.8, 6.5);");
  RunScript(car, "this.SetChassiMesh(CarBody); this.SetCreateWheelMesh(CarWheel); this.SetChassiDimesion(1.2, 0.5, 1.8); "
                 "this.SetEngineVelocityMul(3); this.SetVehicleType(1);");
  Object& driver = AddTimer(stage, "CarDriver", 2 * kLegSeconds, "this.TimerStart();");
  const char* legs[] = {"parent/Car.SetVehicleSteering(1); parent/Car.SetVehicleMovement(1);",
                        "parent/Car.SetVehicleMovement(-1);"};
  for (int leg = 0; leg < 2; ++leg) {
    const std::string key = "Leg" + std::to_string(leg + 1);
    RunScript(driver, "this.AddTimerKey(); this.SetTimerKeyList(" + std::to_string(leg) + "); this.SetTimerKeyTime(" +
                          std::to_string(leg * kLegSeconds) + "); this.SetTimerKeyName(" + key + ");");
    SetScriptText(driver, key, legs[leg]);
  }
}

}  // namespace

void AddDemoVehicle(SceneDescription& scene, const std::string& stageName) {
  scene.addResources = [add = scene.addResources](ResourceDatabase& resources, const fs::path& dataFolder) {
    return add(resources, dataFolder) && AddVehicleResources(resources, dataFolder);
  };
  scene.buildObjects = [build = scene.buildObjects, stageName](Object& root) {
    build(root);
    if (Object* stage = root.FindChildByName(stageName, kClassSpace)) AddCar(*stage);
  };
}

}  // namespace tge

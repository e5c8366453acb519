#include "demo/DemoData.h"

#include <unistd.h>

#include <cmath>
#include <numbers>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "demo/DemoOptions.h"
#include "demo/assets/DemoAssets.h"
#include "demo/assets/DemoFigure.h"
#include "demo/assets/DemoMotion.h"
#include "demo/assets/DemoParticles.h"
#include "demo/assets/DemoProps.h"
#include "demo/assets/DemoTerrain.h"
#include "demo/places/DemoChase.h"
#include "demo/places/DemoDevices.h"
#include "demo/places/DemoDoorway.h"
#include "demo/places/DemoFlare.h"
#include "demo/places/DemoMenu.h"
#include "demo/places/DemoRange.h"
#include "demo/places/DemoRiding.h"
#include "demo/places/DemoSound.h"
#include "demo/places/DemoVehicle.h"
#include "demo/places/DemoWalk.h"
#include "demo/places/DemoWeather.h"
#include "platform/image/BmpWriter.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/TextureResource.h"
#include "tools/PackWriter.h"
#include "tools/SceneWriter.h"

namespace tge {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSceneFile = "Global.sac";
constexpr float kHeartbeatSeconds = 1.0f;

// The terrain's fog replaces the Environment's: the same range and colour.
constexpr const char* kTerrainFog =
    "this.SetTerrainFogColor(0.45, 0.55, 0.65, 1); this.SetTerrainFogNear(10); this.SetTerrainFogFar(42);";

constexpr const char* kCrateTexture = "CrateTex";
constexpr const char* kCrateMaterial = "CrateMat";
constexpr const char* kCrateMesh = "Crate";
constexpr std::uint32_t kTextureSide = 64;
constexpr std::uint32_t kTextureBits = 32;
constexpr float kCrateSize = 1.6f;

// A third of a turn every kTurnSeconds, always the short way round.
constexpr int kTurnSteps = 3;
constexpr float kTurnSeconds = 2.0f;

// The static crates stand in two rows that run into the fog.
constexpr int kRowCrates = 3;
constexpr float kRowX = 3.0f;
constexpr float kRowFirstZ = 3.0f;
constexpr float kRowSpacing = 6.0f;

// The crate's texture, material and mesh: files into dataFolder, records
// into the services' database for the library.
bool AddCrateResources(ResourceDatabase& resources, const fs::path& dataFolder) {
  if (!WriteDataFile(dataFolder / "Crate.bmp", image::EncodeBmp(MakeCrateImage(kTextureSide)))) return false;
  auto& texture = RegisterResource<TextureResource>(resources, kCrateTexture, "Crate.bmp");
  texture.width = texture.height = kTextureSide;
  texture.bitDepth = kTextureBits;
  texture.storageMode = kTextureKeepFileFormat;
  auto& material = RegisterResource<MaterialResource>(resources, kCrateMaterial, "");
  material.flags &= ~std::uint32_t{kMaterialNoColors};
  SetMaterialTexture(&material, 0, &texture);
  return AddBoxMesh(resources, dataFolder, kCrateMesh, MakeTexturedBox(kCrateSize), kCrateSize, &material) != nullptr &&
         AddFigureResources(resources, dataFolder) && AddParticleResources(resources, dataFolder);
}

// The turn about y by angle as a script's quaternion argument.
std::string YawQuaternion(float angle) {
  return "0, " + std::to_string(std::sin(angle / 2)) + ", 0, " + std::to_string(std::cos(angle / 2));
}

// A repeating Timer whose keys lerp its parent on by a third of a turn.
void AddTurner(Object& mesh) {
  Object& timer = AddTimer(mesh, "Turn", kTurnSteps * kTurnSeconds, "this.TimerStart();");
  for (int step = 0; step < kTurnSteps; ++step) {
    const std::string key = "Step" + std::to_string(step + 1);
    const float angle = 2 * std::numbers::pi_v<float> * float(step + 1) / kTurnSteps;
    RunScript(timer, "this.AddTimerKey(); this.SetTimerKeyList(" + std::to_string(step) + "); this.SetTimerKeyTime(" +
                   std::to_string(step * kTurnSeconds) + "); this.SetTimerKeyName(" + key + ");");
    SetScriptText(timer, key,
                  "parent.LerpToRotation(" + YawQuaternion(angle) + ", " + std::to_string(kTurnSeconds) + ");");
  }
}

Object& AddCrate(Object& space, const std::string& name, const std::string& position) {
  return AddPlaced(space, kClassMesh, name,
             "this.SetPosition(" + position + "); this.AddMesh(" + kCrateMesh + ");");
}

// The camera, fog, lights and crates; Spaces are what the World draws.
void BuildStage(Object& world) {
  Object& stage = AddPlaced(world, kClassSpace, "Stage", "this.SetSpaceBoxMin(-40, -40, -40); this.SetSpaceBoxMax(40, 40, 40);");
  AddPlaced(stage, kClassCamera, "Eye",
      "this.SetPosition(0, 2.8, -7.5); this.SetRotationX(0.32); this.SetCameraFov(1.0); "
      "this.SetCameraAspect(1.3333); this.SetCameraNear(0.5); this.SetCameraFar(100);");
  AddPlaced(stage, kClassEnvironment, "Air",
      "this.SetEnvironmentFogColor(0.45, 0.55, 0.65, 1); this.SetEnvironmentFogNear(10); "
      "this.SetEnvironmentFogFar(42); this.SetEnvironmentFogEnable(1);");
  // The Environment keeps an ambient colour but lights nothing with it: the
  // sun's own ambient colour is what lights the faces turned away from it.
  AddPlaced(stage, kClassLight, "Sun",
      "this.SetLightType(0); this.SetRotationX(0.9); this.SetRotationY(0.6); "
      "this.SetLightColor(1, 0.95, 0.85, 1); this.SetLightColorMul(0.8); this.SetLightAmbient(0.25, 0.25, 0.3, 1);");
  AddPlaced(stage, kClassLight, "Lamp",
      "this.SetLightType(1); this.SetPosition(-1.8, 0.4, -1.6); this.SetLightColor(1, 0.45, 0.15, 1); "
      "this.SetLightRadius(3); this.SetLightFalloff0(1); this.SetLightFalloff1(1); this.SetLightFalloff2(1);");
  AddTurner(AddCrate(stage, "Crate", "0, 0, 0"));
  AddFigure(stage);
  AddParticleEffects(stage);
  AddDeviceEffects(stage);
  for (int i = 0; i < kRowCrates; ++i) {
    const std::string z = std::to_string(kRowFirstZ + float(i) * kRowSpacing);
    AddCrate(stage, "Left" + std::to_string(i + 1), std::to_string(-kRowX) + ", 0, " + z);
    AddCrate(stage, "Right" + std::to_string(i + 1), std::to_string(kRowX) + ", 0, " + z);
  }
  BuildDemoSoundAndInput(stage);
  AddDemoProps(world, stage);
}

}  // namespace

void BuildDemoScene(Object& root, const DemoOptions& options) {
  Object& world = *CreateObject(kClassWorld, nullptr, root, "DemoWorld");
  // The engine is the World's parent.
  AddScript(world, "OnInputExitToMenu", "parent.Exit();");
  AddTimer(world, "Heartbeat", kHeartbeatSeconds, "this.TimerStart();");
  BuildStage(world);
  if (options.exitAfterSeconds > 0) AddTimer(world, "ExitTimer", options.exitAfterSeconds, "parent/parent.Exit();");
  for (std::size_t i = 0; i < options.cues.size(); ++i) {
    AddTimer(world, "Cue" + std::to_string(i + 1), options.cues[i].seconds, options.cues[i].script);
  }
}

bool WriteDemoFiles(const fs::path& dataFolder, const DemoOptions& options, std::string& error) {
  SceneDescription scene;
  scene.libraryFile = options.libraryFile;
  scene.sceneFile = kSceneFile;
  scene.addResources = [](ResourceDatabase& resources, const fs::path& dataFolder) {
    return AddCrateResources(resources, dataFolder) && AddDemoSounds(resources, dataFolder);
  };
  scene.buildObjects = [&options](Object& root) { BuildDemoScene(root, options); };
  AddTitleMenu(scene, "DemoWorld");
  AddOptionsMenu(scene, "DemoWorld");
  AddDemoMotion(scene, "Stage", kCrateMesh);
  AddDemoTerrain(scene, "Stage", kTerrainFog);
  AddDemoWeather(scene, "Stage");
  AddDemoDoorway(scene, "DemoWorld");
  AddDemoFlare(scene, "Lamp");
  AddDemoWalk(scene, "DemoWorld");
  AddDemoChase(scene, "DemoWorld");
  AddDemoVehicle(scene, "Stage");
  AddDemoRange(scene, "Stage");
  AddDemoRiding(scene, "DemoWorld");
  return WriteSceneFiles(dataFolder, scene, error);
}

bool WriteDemoData(const fs::path& folder, const DemoOptions& options, std::string& error) {
  const fs::path staging = folder / ("demo-staging-" + std::to_string(::getpid()));
  std::error_code ignored;
  fs::remove_all(staging, ignored);
  bool written = WriteDemoFiles(staging / "Data", options, error);
  if (written) {
    const std::vector<PackSource> sources = CollectPackSources(staging, &error);
    written = !sources.empty() && WritePackFile(folder / "data.csa", sources, &error);
  }
  fs::remove_all(staging, ignored);
  return written;
}

}  // namespace tge

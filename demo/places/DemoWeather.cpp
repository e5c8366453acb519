#include "demo/places/DemoWeather.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "core/ClassIds.h"
#include "core/Object.h"
#include "demo/assets/DemoAssets.h"
#include "platform/image/BmpWriter.h"
#include "services/render/MaterialType.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/ResourceType.h"
#include "services/resources/TextureResource.h"

namespace tge {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kSide = 64;
constexpr float kFloorSize = 16.0f;
constexpr std::uint32_t kSetRain = 7752;
constexpr std::uint32_t kSetCollectorCapacity = 7516;

// A grey image, level(shape(x, y)) with x and y in -1 to 1 across each cell
// of a cells x cells atlas. The bitmaps keep no alpha: the materials add or
// multiply.
image::Image MakeShape(const std::function<float(float, float)>& shape, const std::function<float(float)>& level,
                       std::uint32_t cells = 1) {
  image::Image image;
  image.width = image.height = kSide;
  image.pixels.reserve(image.FaceBytes());
  const std::uint32_t cell = kSide / cells;
  for (std::uint32_t y = 0; y < kSide; ++y) {
    for (std::uint32_t x = 0; x < kSide; ++x) {
      const float u = (static_cast<float>(x % cell) + 0.5f) / static_cast<float>(cell) * 2 - 1;
      const float v = (static_cast<float>(y % cell) + 0.5f) / static_cast<float>(cell) * 2 - 1;
      const auto grey = static_cast<std::uint8_t>(255.0f * level(std::clamp(shape(u, v), 0.0f, 1.0f)));
      image.pixels.insert(image.pixels.end(), {grey, grey, grey, 255});
    }
  }
  return image;
}

MaterialResource* AddShapeMaterial(ResourceDatabase& resources, const fs::path& dataFolder, const std::string& name,
                                   const image::Image& image, std::uint32_t type) {
  if (!WriteDataFile(dataFolder / (name + ".bmp"), image::EncodeBmp(image))) return nullptr;
  auto& texture = RegisterResource<TextureResource>(resources, name + "Tex", name + ".bmp");
  texture.width = texture.height = kSide;
  texture.bitDepth = 32;
  texture.storageMode = kTextureKeepFileFormat;
  auto& material = RegisterResource<MaterialResource>(resources, name + "Mat", "");
  SetMaterialType(&material, type);
  SetMaterialTexture(&material, 0, &texture);
  return &material;
}

bool AddWeatherResources(ResourceDatabase& resources, const fs::path& dataFolder) {
  // A thin streak down the middle; a ring for the splash; a scorch darkening
  // the floor towards its middle; sparks and puffs one cell each of a 4 x 4
  // atlas.
  const auto streak = [](float u, float) { return 1.0f - std::fabs(u) * 3; };
  const auto ring = [](float u, float v) { return 1.0f - std::fabs(std::sqrt(u * u + v * v) - 0.6f) * 4; };
  const auto disc = [](float u, float v) { return 1.0f - std::sqrt(u * u + v * v); };
  const auto bright = [](float peak) { return [peak](float s) { return peak * s; }; };
  const auto dark = [](float s) { return 1.0f - 0.8f * std::min(1.0f, s * 2); };
  MaterialResource* rain = AddShapeMaterial(resources, dataFolder, "ParticleRain", MakeShape(streak, bright(0.8f)), kMaterialAdd);
  MaterialResource* hit = AddShapeMaterial(resources, dataFolder, "ParticleRainHit", MakeShape(ring, bright(0.9f)), kMaterialAdd);
  MaterialResource* mark = AddShapeMaterial(resources, dataFolder, "Scorch", MakeShape(disc, dark), kMaterialMul);
  MaterialResource* spark = AddShapeMaterial(resources, dataFolder, "Spark", MakeShape(disc, bright(1.0f), 4), kMaterialAdd);
  MaterialResource* puff = AddShapeMaterial(resources, dataFolder, "Puff", MakeShape(disc, bright(0.5f), 4), kMaterialAdd);
  if (rain == nullptr || hit == nullptr || mark == nullptr || spark == nullptr || puff == nullptr) return false;
  // The floor wears the terrain's ground texture when the scene has one; its
  // material makes the mesh's triangles collectable.
  auto& paving = RegisterResource<MaterialResource>(resources, "FloorMat", "");
  paving.flags = (paving.flags & ~std::uint32_t{kMaterialNoColors}) | kMaterialCollectable;
  SetMaterialTexture(&paving, 0, resources.LookupResource("GroundTex", kTextureResource));
  return AddBoxMesh(resources, dataFolder, "Floor", MakeTexturedBox(kFloorSize), kFloorSize, &paving) != nullptr;
}

void AddWeatherObjects(Object& stage) {
  RunScript(stage, "this.SetSpaceExterior(1);");
  // A cube sunk into the ground: only its top shows, just above the terrain.
  AddPlaced(stage, kClassMesh, "Floor",
            "this.SetPosition(0, " + std::to_string(0.01f - kFloorSize / 2) +
                ", 6); this.AddMesh(Floor); this.SetMeshCollectable(1);");
  Object& collector = AddPlaced(stage, kClassCollector, "Collector",
            "this.SetCollectorTriangle(1); this.SetCollectorGlobalCollector(1); this.SetCollectorTriangleRadius(20); "
            "this.SetCollectorHotRadius(4);");
  std::uint32_t capacity = 2000;
  collector.ExecuteCommand(kSetCollectorCapacity, &capacity);
  Object& weather = AddPlaced(stage, kClassWeatherDetail, "Rain", "");
  std::int32_t on = 1;
  weather.ExecuteCommand(kSetRain, &on);
  // Upright from the floor: the effect's Z axis is the surface normal.
  Object& impact = AddPlaced(stage, kClassHitEffect, "Impact",
      "this.SetPosition(2.4, 0.02, -1.2); this.SetRotationX(-1.5708); this.SetHitEffectDecalMaterial(ScorchMat); "
      "this.SetHitEffectDecalSize(0.9); this.SetHitEffectParticleMaterial(SparkMat); "
      "this.SetHitEffectParticleStartSize(0.06); this.SetHitEffectParticleEndSize(0.02); "
      "this.SetHitEffectParticleLifetime(0.9); this.SetHitEffectSmokeMaterial(PuffMat); "
      "this.SetHitEffectSmokeStartSize(0.2); this.SetHitEffectSmokeEndSize(0.9); "
      "this.SetUseAction(1); this.SetActionStopTime(2.5); this.SetActionStopPreOnStartPost(1);");
  AddTimer(impact, "Every", 3.0f, "parent.Start(); this.TimerStart();");
}

}  // namespace

void AddDemoWeather(SceneDescription& scene, const std::string& stageName) {
  scene.addResources = [add = scene.addResources](ResourceDatabase& resources, const fs::path& dataFolder) {
    return add(resources, dataFolder) && AddWeatherResources(resources, dataFolder);
  };
  scene.buildObjects = [build = scene.buildObjects, stageName](Object& root) {
    build(root);
    if (Object* stage = root.FindChildByName(stageName, kClassSpace)) AddWeatherObjects(*stage);
  };
}

}  // namespace tge

#include "demo/assets/DemoTerrain.h"

#include <algorithm>
#include <cmath>

#include "core/ClassIds.h"
#include "core/Object.h"
#include "platform/image/BmpWriter.h"
#include "services/render/TerrainResource.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/TextureResource.h"
#include "tools/SceneWriter.h"

namespace tge {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTerrainName = "Hills";
constexpr int kTileSamples = 257;
// Samples from the middle that stay flat; beyond, hills rise.
constexpr float kFlatRadius = 2.0f;
constexpr float kSampleSpacing = 8.0f;
// Squared units of distance per unit of height.
constexpr float kRiseDistance = 900.0f;
constexpr std::uint32_t kTextureSide = 64;
constexpr std::uint32_t kTextureBits = 32;
constexpr std::uint32_t kTextureAlphaType = 7;

struct Grey {
  std::uint8_t level, alpha;
};

// A square image whose pixels come from shade(x, y), green-tinted for grass.
template <class Shade>
image::Image MakeImage(Shade shade, bool grass = false) {
  image::Image image;
  image.width = image.height = kTextureSide;
  for (std::uint32_t y = 0; y < kTextureSide; ++y) {
    for (std::uint32_t x = 0; x < kTextureSide; ++x) {
      const Grey g = shade(float(x), float(y));
      const float blue = grass ? 0.7f : 1.0f, red = grass ? 0.8f : 1.0f;
      image.pixels.insert(image.pixels.end(),
                          {std::uint8_t(g.level * blue), g.level, std::uint8_t(g.level * red), g.alpha});
    }
  }
  return image;
}

// Gentle near the middle, so that the sky shows above the near hills, and
// rising steeply far out.
std::uint8_t HillHeight(int x, int z) {
  const float middle = float(kTileSamples - 1) / 2;
  const float r = std::hypot(float(x) - middle, float(z) - middle);
  if (r < kFlatRadius) return 0;
  const float distance = (r - kFlatRadius) * kSampleSpacing;
  const float swell = 1.0f + 0.5f * std::sin(float(x) * 0.21f) * std::cos(float(z) * 0.17f);
  return std::uint8_t(std::clamp(distance * distance / kRiseDistance * swell, 0.0f, 255.0f));
}

}  // namespace

MaterialResource* AddTexturedMaterial(ResourceDatabase& resources, const fs::path& dataFolder,
                                      const std::string& name, const image::Image& image) {
  if (!WriteDataFile(dataFolder / (name + ".bmp"), image::EncodeBmp(image))) return nullptr;
  auto& texture = RegisterResource<TextureResource>(resources, name + "Tex", name + ".bmp");
  texture.width = texture.height = kTextureSide;
  texture.bitDepth = kTextureBits;
  texture.storageMode = kTextureKeepFileFormat;
  auto& material = RegisterResource<MaterialResource>(resources, name + "Mat", "");
  material.flags &= ~std::uint32_t{kMaterialNoColors};
  SetMaterialTexture(&material, 0, &texture);
  return &material;
}

namespace {

bool AddTerrainResources(ResourceDatabase& resources, const fs::path& dataFolder) {
  MaterialResource* ground = AddTexturedMaterial(resources, dataFolder, "Ground", MakeImage([](float x, float y) {
    return Grey{std::uint8_t(150 + 40 * std::sin(x * 0.7f) * std::cos(y * 0.5f)), 255};
  }, true));
  MaterialResource* sky = AddTexturedMaterial(resources, dataFolder, "SkyBox", MakeImage([](float, float) {
    return Grey{255, 255};
  }));
  MaterialResource* clouds = AddTexturedMaterial(resources, dataFolder, "Clouds", MakeImage([](float x, float y) {
    const float puff = 0.5f + 0.25f * std::sin(x * 0.3f) + 0.25f * std::cos(y * 0.4f + x * 0.1f);
    return Grey{255, std::uint8_t(255 * std::clamp(puff, 0.0f, 1.0f))};
  }));
  if (!ground || !sky || !clouds) return false;
  // The sky stays clear of the fog and of the lights.
  for (MaterialResource* material : {sky, clouds}) SetMaterialFog(material, false);
  SetMaterialType(clouds, kTextureAlphaType);
  if (!WriteDataFile(dataFolder / (std::string(kTerrainName) + "_hm_00_00.fxi"), MakeDemoTerrainTile())) return false;
  auto& terrain = RegisterResource<TerrainResource>(resources, kTerrainName, "");
  terrain.tiles.resize(1);
  terrain.tiles[0].material = ground;
  return true;
}

void AddGroundAndSky(Object& stage, const std::string& fogScript) {
  // The flat middle is the tile's middle, at height 0.
  const std::string offset = std::to_string(kDemoStageOffset);
  RunScript(stage, "this.SetPosition(" + offset + ", 0, " + offset + ");");
  AddPlaced(stage, kClassTerrain, "Ground", std::string("this.SetTerrainTerrain(") + kTerrainName + "); " + fogScript);
  AddPlaced(stage, kClassSky, "Sky",
            "this.SetPosition(0, -12, 0); this.SetSkyLockedToCamera(1); this.SetSkyDimension(90); "
            "this.SetSkyHeight(45); this.SetSkyTopColor(0.25, 0.45, 0.85, 1); "
            "this.SetSkyBottomColor(0.75, 0.8, 0.85, 1); "
            "this.SetSkyCurrentData(0); this.SetSkyMaterial(SkyBoxMat); this.SetSkyCurrentData(1); "
            "this.SetSkyMaterial(SkyBoxMat); this.SetSkyCurrentData(2); this.SetSkyMaterial(SkyBoxMat); "
            "this.SetSkyCurrentData(3); this.SetSkyMaterial(SkyBoxMat); this.SetSkyCurrentData(4); "
            "this.SetSkyMaterial(SkyBoxMat); this.SetSkyCloudLayer(0); this.SetSkyCloudMaterial(CloudsMat); "
            "this.SetSkyCloudHeight(40); this.SetSkyCloudScaleU(0.25); this.SetSkyCloudScaleV(0.25); "
            "this.SetSkyCloudDeltaU(3); this.SetSkyCloudDeltaV(1); this.SetSkyCloudColor(1, 1, 1, 0.8);");
}

}  // namespace

// Ten header bytes (width, height, 8 bits) and one byte per sample.
std::vector<std::uint8_t> MakeDemoTerrainTile() {
  std::vector<std::uint8_t> bytes{0, 0, std::uint8_t(kTileSamples & 0xFF), std::uint8_t(kTileSamples >> 8),
                                  std::uint8_t(kTileSamples & 0xFF), std::uint8_t(kTileSamples >> 8), 8, 0, 0, 0};
  for (int z = 0; z < kTileSamples; ++z) {
    for (int x = 0; x < kTileSamples; ++x) bytes.push_back(HillHeight(x, z));
  }
  return bytes;
}

void AddDemoTerrain(SceneDescription& scene, const std::string& stageName, const std::string& fogScript) {
  scene.addResources = [add = scene.addResources](ResourceDatabase& resources, const fs::path& dataFolder) {
    return add(resources, dataFolder) && AddTerrainResources(resources, dataFolder);
  };
  scene.buildObjects = [build = scene.buildObjects, stageName, fogScript](Object& root) {
    build(root);
    if (Object* stage = root.FindChildByName(stageName, kClassSpace)) AddGroundAndSky(*stage, fogScript);
  };
}

}  // namespace tge

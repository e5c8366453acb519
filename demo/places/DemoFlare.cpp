#include "demo/places/DemoFlare.h"

#include <algorithm>
#include <cmath>

#include "core/ClassIds.h"
#include "core/Object.h"
#include "demo/assets/DemoTerrain.h"
#include "services/render/MaterialType.h"
#include "services/resources/MaterialResource.h"
#include "tools/SceneWriter.h"

namespace tge {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kGlowSide = 64;

// A warm glow, full at the middle and gone at the edge, with faint rays.
image::Image MakeGlowImage() {
  image::Image image;
  image.width = image.height = kGlowSide;
  const float middle = float(kGlowSide - 1) / 2;
  for (std::uint32_t y = 0; y < kGlowSide; ++y) {
    for (std::uint32_t x = 0; x < kGlowSide; ++x) {
      const float dx = float(x) - middle, dy = float(y) - middle;
      const float fall = std::max(1 - std::hypot(dx, dy) / middle, 0.0f);
      const float rays = 0.15f * std::pow(std::abs(std::cos(2 * std::atan2(dy, dx))), 8.0f);
      const float glow = std::min(fall * fall + rays * fall, 1.0f);
      const auto level = std::uint8_t(255 * glow);
      image.pixels.insert(image.pixels.end(), {std::uint8_t(level * 0.55f), std::uint8_t(level * 0.8f), level, 255});
    }
  }
  return image;
}

bool AddGlowResources(ResourceDatabase& resources, const fs::path& dataFolder) {
  MaterialResource* glow = AddTexturedMaterial(resources, dataFolder, "Glow", MakeGlowImage());
  if (glow == nullptr) return false;
  SetMaterialType(glow, kMaterialAdd);
  SetMaterialFog(glow, false);
  return true;
}

}  // namespace

void AddDemoFlare(SceneDescription& scene, const std::string& lampName) {
  scene.addResources = [add = scene.addResources](ResourceDatabase& resources, const fs::path& dataFolder) {
    return add(resources, dataFolder) && AddGlowResources(resources, dataFolder);
  };
  scene.buildObjects = [build = scene.buildObjects, lampName](Object& root) {
    build(root);
    if (Object* lamp = root.FindChildByName(lampName, kClassLight)) {
      AddPlaced(*lamp, kClassLightFlare, "Glare",
                "this.SetLightFlareMaterial(GlowMat); this.SetLightFlareSize(0.4); "
                "this.SetLightFlareFadeStartDistance(12); this.SetLightFlareFadeDistance(30); "
                "this.SetLightFlareHideFadeTime(0.5);");
    }
  };
}

}  // namespace tge

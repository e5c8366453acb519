#include "demo/assets/DemoParticles.h"

#include <algorithm>
#include <cmath>

#include "core/ClassIds.h"
#include "core/Object.h"
#include "platform/image/BmpWriter.h"
#include "services/render/MaterialType.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/TextureResource.h"
#include "tools/SceneWriter.h"

namespace tge {
namespace {

constexpr const char* kSmokeTexture = "SmokeTex";
constexpr const char* kSmokeMaterial = kDemoGlowMaterial;
constexpr const char* kRibbonMaterial = "RibbonMat";
constexpr std::uint32_t kSmokeSide = 32;

// Drawn added to the scene: bright at the centre, falling off smoothly to
// black at the rim.
image::Image MakeSoftDisc(std::uint32_t side) {
  image::Image image;
  image.width = image.height = side;
  image.pixels.reserve(image.FaceBytes());
  const float half = static_cast<float>(side) / 2;
  for (std::uint32_t y = 0; y < side; ++y) {
    for (std::uint32_t x = 0; x < side; ++x) {
      const float dx = (static_cast<float>(x) + 0.5f - half) / half;
      const float dy = (static_cast<float>(y) + 0.5f - half) / half;
      const float edge = std::clamp(1.0f - std::sqrt(dx * dx + dy * dy), 0.0f, 1.0f);
      const auto level = static_cast<std::uint8_t>(255.0f * edge * edge);
      image.pixels.insert(image.pixels.end(), {level, level, level, 255});
    }
  }
  return image;
}

}  // namespace

bool AddParticleResources(ResourceDatabase& resources, const std::filesystem::path& dataFolder) {
  if (!WriteDataFile(dataFolder / "Smoke.bmp", image::EncodeBmp(MakeSoftDisc(kSmokeSide)))) return false;
  auto& texture = RegisterResource<TextureResource>(resources, kSmokeTexture, "Smoke.bmp");
  texture.width = texture.height = kSmokeSide;
  texture.bitDepth = 32;
  texture.storageMode = kTextureKeepFileFormat;
  auto& material = RegisterResource<MaterialResource>(resources, kSmokeMaterial, "");
  SetMaterialType(&material, kMaterialAdd);
  SetMaterialTexture(&material, 0, &texture);
  auto& ribbon = RegisterResource<MaterialResource>(resources, kRibbonMaterial, "");
  SetMaterialType(&ribbon, kMaterialAdd);
  SetMaterialTexture(&ribbon, 0, &texture);
  return true;
}

void AddParticleEffects(Object& space) {
  Object& smoke = AddPlaced(space, kClassParticleSystem, "Smoke",
      std::string("this.SetPosition(1.7, -0.6, 1.4); this.SetMaterial(") + kSmokeMaterial +
          "); this.SetMapStyle(0); this.SetMaxParticles(200); this.SetParticlesPerSec(14); "
          "this.SetLife(3); this.SetLifeVar(0.3); this.SetSpeed(0); this.SetDirectionVar(0.2); "
          "this.SetGravityStart(-0.006); this.SetGravityEnd(-0.006); "
          "this.SetSizeStart(0.3); this.SetSizeEnd(1.1); this.SetAlphaStart(0.9); this.SetAlphaEnd(0); "
          "this.SetColorStart(0.35, 0.35, 0.4, 1); this.SetColorADDVar(0, 0, 0, 0); this.SetColorEnd(0.2, 0.2, 0.22, 1); "
          "this.SetSpinStart(0.01); this.SetSpinVar(0.02); this.SetUseAction(1); this.SetActionStartTime(2);");
  AddScript(smoke, "OnEngineStarted", "this.Start();");
  Object* crate = space.FindChildByName("Crate");
  if (crate == nullptr) return;
  // A corner of the turning crate; its sides stand upright as it sweeps round.
  Object& ribbon = AddPlaced(*crate, kClassTrail, "Ribbon",
      std::string("this.SetPosition(0.8, 0.8, 0.8); this.SetTrailMaterial(") + kRibbonMaterial +
          "); this.SetTrailAxis(0); this.SetTrailMinSampleDistance(0.05); this.SetTrailStartSize(0.25); "
          "this.SetTrailEndSize(0.05); this.SetTrailStartColor(1, 0.7, 0.3, 1); this.SetTrailEndColor(0.6, 0.2, 0.1, 0);");
  AddScript(ribbon, "OnEngineStarted", "this.Start();");
}

}  // namespace tge

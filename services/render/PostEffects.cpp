#include "services/render/PostEffects.h"

#include <algorithm>
#include <array>

#include "core/math/Color.h"
#include "services/render/MaterialType.h"
#include "services/render/ShadowTexture.h"

namespace tge {
namespace {

constexpr std::uint32_t kMinShaderVersion = 2;
constexpr std::uint32_t kBloomFirstMip = 6, kBloomSecondMip = 7;
constexpr std::uint32_t kStages = 4;

// One step when either action was pressed, the first one winning.
float Step(float amount, bool first, float firstSign, bool second) {
  const float sign = first ? firstSign : second ? -firstSign : 0.0f;
  return std::clamp(amount + sign * PostEffects::kAmountStep, 0.0f, 1.0f);
}

}  // namespace

void PostEffects::Start(RenderDevice& device) {
  Stop();
  const gfx::DeviceCaps& caps = device.GetCaps();
  const gfx::PresentParameters& parameters = device.Device().GetPresentParameters();
  if (caps.vertexShaderVersionMajor < kMinShaderVersion || caps.pixelShaderVersionMajor < kMinShaderVersion ||
      parameters.backBufferWidth < kWidth || parameters.backBufferHeight < kHeight ||
      !CreateTargets(device.Device())) {
    return;
  }
  device_ = &device;
  device.AddDefaultPoolUser(this);
}

void PostEffects::Stop() {
  if (device_) device_->RemoveDefaultPoolUser(this);
  device_ = nullptr;
  ReleaseDefaultPool();
}

bool PostEffects::CreateTargets(gfx::Device& device) {
  const bool made =
      gfx::Succeeded(device.CreateTexture(kWidth, kHeight, 0, gfx::kUsageRenderTarget | gfx::kUsageAutoGenMipMap,
                                          gfx::kFormatX8R8G8B8, gfx::kPoolDefault, &scene_)) &&
      gfx::Succeeded(device.CreateTexture(kWidth, kHeight, 1, gfx::kUsageRenderTarget, gfx::kFormatX8R8G8B8,
                                          gfx::kPoolDefault, &history_));
  if (!made) {
    ReleaseDefaultPool();
    return false;
  }
  // A new history holds no frame yet: black, not whatever the memory held.
  gfx::Texture* previous = device.GetRenderTarget();
  device.SetRenderTarget(history_.get());
  device.Clear(gfx::kClearTarget, 0xFF000000, 1.0f, 0);
  device.SetRenderTarget(previous);
  return true;
}

void PostEffects::ReleaseDefaultPool() {
  scene_.reset();
  history_.reset();
}

void PostEffects::RestoreDefaultPool(gfx::Device& device) {
  if (!device_ || CreateTargets(device)) return;
  Stop();
}

void PostEffects::BeginFrame() {
  if (!device_) return;
  device_->Device().SetRenderTarget(scene_.get());
}

void PostEffects::DrawQuad(std::uint32_t width, std::uint32_t height, float alpha) {
  const std::uint32_t colour = ColorToDword(Color{1, 1, 1, alpha});
  // Texel centres on pixel centres, which lie on whole coordinates.
  const float left = -0.5f, top = -0.5f, right = float(width) - 0.5f, bottom = float(height) - 0.5f;
  const std::array<BlurVertex, 4> quad = {{{left, top, 1, 1, colour, 0, 0, 0, 0},
                                           {right, top, 1, 1, colour, 1, 0, 1, 0},
                                           {left, bottom, 1, 1, colour, 0, 1, 0, 1},
                                           {right, bottom, 1, 1, colour, 1, 1, 1, 1}}};
  device_->SetRenderStateCached(gfx::kRsLighting, 0);
  device_->Device().SetFVF(kBlurVertexFormat);
  device_->Device().DrawPrimitiveUP(gfx::kPrimTriangleStrip, 2, quad.data(), sizeof(BlurVertex));
}

void PostEffects::BlurIntoHistory(float alpha) {
  RenderDevice& rd = *device_;
  rd.Device().SetRenderTarget(history_.get());
  ApplyMaterialTypeStates(rd, kMaterialTextureAlpha);
  rd.SetRenderStateCached(gfx::kRsZEnable, 0);
  rd.SetRenderStateCached(gfx::kRsFogEnable, 0);
  rd.SetSamplerStateCached(0, gfx::kSampAddressU, gfx::kAddressClamp);
  rd.SetSamplerStateCached(0, gfx::kSampAddressV, gfx::kAddressClamp);
  for (std::uint32_t s = 0; s < 3; ++s) rd.SetSamplerStateCached(s, gfx::kSampMagFilter, gfx::kFilterLinear);
  rd.SetTextureCached(0, scene_.get());
  rd.SetTextureCached(1, nullptr);
  DrawQuad(kWidth, kHeight, alpha);
}

void PostEffects::ShowHistory() {
  RenderDevice& rd = *device_;
  rd.Device().SetRenderTarget(nullptr);
  rd.Device().SetViewport(rd.GetViewport());
  rd.SetTextureCached(0, history_.get());
  DrawQuad(rd.GetViewport().width, rd.GetViewport().height, 1.0f);
}

void PostEffects::Bloom(float alpha) {
  RenderDevice& rd = *device_;
  rd.SetTextureCached(0, scene_.get());
  rd.SetTextureCached(1, scene_.get());
  ApplyMaterialTypeStates(rd, kMaterialTextureAlpha);
  rd.SetRenderStateCached(gfx::kRsZEnable, 0);
  for (std::uint32_t s = 0; s < 2; ++s) {
    rd.SetSamplerStateCached(s, gfx::kSampAddressU, gfx::kAddressClamp);
    rd.SetSamplerStateCached(s, gfx::kSampAddressV, gfx::kAddressClamp);
  }
  rd.SetSamplerStateCached(0, gfx::kSampMaxMipLevel, kBloomFirstMip);
  rd.SetSamplerStateCached(1, gfx::kSampMaxMipLevel, kBloomSecondMip);
  rd.SetTextureStageStateCached(0, gfx::kTssColorOp, gfx::kTopModulate2x);
  rd.SetTextureStageStateCached(0, gfx::kTssColorArg1, gfx::kTaTexture);
  rd.SetTextureStageStateCached(0, gfx::kTssColorArg2, gfx::kTaDiffuse);
  rd.SetTextureStageStateCached(1, gfx::kTssColorOp, gfx::kTopModulate2x);
  rd.SetTextureStageStateCached(1, gfx::kTssColorArg1, gfx::kTaTexture);
  rd.SetTextureStageStateCached(1, gfx::kTssColorArg2, gfx::kTaCurrent);
  for (std::uint32_t s = 0; s < 3; ++s) rd.SetTextureStageStateCached(s, gfx::kTssAlphaOp, gfx::kTopDisable);
  DrawQuad(rd.GetViewport().width, rd.GetViewport().height, alpha);
}

void PostEffects::RestoreStates() {
  RenderDevice& rd = *device_;
  rd.SetRenderStateCached(gfx::kRsZEnable, 1);
  for (std::uint32_t s = 0; s < kStages; ++s) {
    rd.SetSamplerStateCached(s, gfx::kSampMaxMipLevel, 0);
    rd.SetTextureCached(s, nullptr);
  }
  for (std::uint32_t s = 0; s < 3; ++s) rd.SetSamplerStateCached(s, gfx::kSampMagFilter, gfx::kFilterLinear);
  for (std::uint32_t s = 1; s < kStages; ++s) rd.SetTextureStageStateCached(s, gfx::kTssColorOp, gfx::kTopDisable);
  // The states above are not those of any material type.
  rd.Material().Forget();
}

void PostEffects::Compose(const PostEffectActions& actions) {
  if (!device_) return;
  scene_->GenerateMipSubLevels();
  blur_ = Step(blur_, actions.blurLess, -1.0f, actions.blurMore);
  BlurIntoHistory(1.0f - blur_);
  ShowHistory();
  bloom_ = Step(bloom_, actions.bloomMore, 1.0f, actions.bloomLess);
  // At 0 the bloom quad would blend nothing in.
  if (bloom_ > 0) Bloom(bloom_);
  RestoreStates();
}

}  // namespace tge


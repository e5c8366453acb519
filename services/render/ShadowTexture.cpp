#include "services/render/ShadowTexture.h"

#include "core/math/Color.h"
#include "services/RenderDevice.h"
#include "services/render/MaterialType.h"
#include "services/render/MeshDrawing.h"
#include "services/resources/MeshResource.h"
#include "services/resources/TextureResource.h"

namespace tge {
namespace {

using namespace gfx;

constexpr std::uint32_t kBlurMipLevels = 4;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr Color kShadowAmbient{0.1f, 0.1f, 0.1f, 1.0f};

int SizeClass(std::uint32_t size) {
  switch (size) {
    case 64: return 1;
    case 128: return 2;
    case 256: return 3;
    default: return 0;
  }
}

// Corners in strip order; the second set reaches a little past the edges so
// the blurred shadow spreads beyond the sharp one.
std::array<BlurVertex, 4> BlurQuad(float size) {
  return {{{0, 0, 0, 1, kWhite, 0, 0, -0.05f, -0.05f},
           {size, 0, 0, 1, kWhite, 1, 0, 1.1f, -0.05f},
           {0, size, 0, 1, kWhite, 0, 1, -0.05f, 1.05f},
           {size, size, 0, 1, kWhite, 1, 1, 1.1f, 1.05f}}};
}

void DrawSolidMesh(RenderDevice& rd, MeshResource* mesh) {
  rd.Device().Clear(kClearTarget | kClearZBuffer, 0, 1.0f, 0);
  ApplyMaterialTypeStates(rd, kMaterialSolidColor);
  rd.SetRenderStateCached(kRsAmbient, ColorToDword(kShadowAmbient));
  rd.SetTextureCached(0, nullptr);
  rd.SetTextureCached(1, nullptr);
  rd.SetTextureStageStateCached(0, kTssColorOp, kTopSelectArg1);
  rd.SetTextureStageStateCached(0, kTssColorArg1, kTaDiffuse);
  rd.SetTextureStageStateCached(0, kTssAlphaOp, kTopDisable);
  rd.SetRenderStateCached(kRsZEnable, 0);
  if (mesh == nullptr) return;
  for (std::uint32_t part = 0; part < mesh->parts.size(); ++part) DrawMeshPart(rd, mesh, part);
}

void BlurInto(RenderDevice& rd, Texture& blur, Texture& shadow, const std::array<BlurVertex, 4>& quad) {
  blur.GenerateMipSubLevels();
  rd.SetRenderStateCached(kRsFogEnable, 0);
  rd.SetRenderStateCached(kRsZEnable, 0);
  rd.SetRenderStateCached(kRsAlphaBlendEnable, 0);
  rd.SetSamplerStateCached(0, kSampMaxMipLevel, 1);
  rd.SetSamplerStateCached(1, kSampMaxMipLevel, 0);
  rd.SetTextureCached(0, &blur);
  rd.SetTextureCached(1, &blur);
  rd.SetTextureStageStateCached(0, kTssColorOp, kTopModulate);
  rd.SetTextureStageStateCached(0, kTssColorArg1, kTaTexture);
  rd.SetTextureStageStateCached(0, kTssColorArg2, kTaDiffuse);
  rd.SetTextureStageStateCached(0, kTssTexCoordIndex, 0);
  rd.SetTextureStageStateCached(1, kTssColorOp, kTopAddSmooth);
  rd.SetTextureStageStateCached(1, kTssColorArg1, kTaTexture);
  rd.SetTextureStageStateCached(1, kTssColorArg2, kTaCurrent);
  rd.SetTextureStageStateCached(1, kTssTexCoordIndex, 1);
  rd.Device().SetRenderTarget(&shadow);
  const bool opened = Succeeded(rd.Device().BeginScene());
  rd.Device().Clear(kClearTarget, kWhite, 1.0f, 0);
  rd.Device().SetFVF(kBlurVertexFormat);
  rd.Device().DrawPrimitiveUP(kPrimTriangleStrip, 2, quad.data(), sizeof(BlurVertex));
  if (opened) rd.Device().EndScene();
  rd.SetTextureCached(0, nullptr);
  rd.SetTextureCached(1, nullptr);
  rd.SetSamplerStateCached(0, kSampMaxMipLevel, 0);
  rd.SetSamplerStateCached(1, kSampMaxMipLevel, 0);
}

Texture* RenderableShadow(const RenderDevice& rd, tge::Resource* shadowTexture) {
  auto* resource = ResourceCast<TextureResource>(shadowTexture);
  Texture* shadow = resource ? resource->GetTexture() : nullptr;
  return rd.AllowsRenderTargets() && shadow && shadow->IsRenderTarget() ? shadow : nullptr;
}

// The blur target of the shadow's size class, made when missing; null when
// the device refuses it.
const ShadowTargets::Target* BlurTarget(RenderDevice& rd, Texture& shadow) {
  TextureDesc desc;
  shadow.GetLevelDesc(0, &desc);
  const int index = rd.GetShadowTargets().GetShadowTarget(rd, desc.width);
  return index < 0 ? nullptr : &rd.GetShadowTargets().Get(index);
}

// The mesh in solid colour into the blur target, or into the shadow itself
// when there is none, then the blur; the device's render target and
// viewport are restored. Without a mesh the pass only prepares the device:
// it draws nothing and its blur quad covers no pixel.
void DrawShadowPass(RenderDevice& rd, Texture& shadow, const ShadowTargets::Target* blurTarget, MeshResource* mesh) {
  Device& device = rd.Device();
  Texture* previousTarget = device.GetRenderTarget();
  const gfx::Viewport previousViewport = device.GetViewport();
  device.SetRenderTarget(blurTarget ? blurTarget->texture.get() : &shadow);
  // The frame's scene may already be open; then the shadow is drawn inside it.
  const bool opened = Succeeded(device.BeginScene());
  DrawSolidMesh(rd, mesh);
  if (opened) device.EndScene();
  if (blurTarget) BlurInto(rd, *blurTarget->texture, shadow, mesh ? blurTarget->quad : BlurQuad(0));
  device.SetRenderTarget(previousTarget);
  device.SetViewport(previousViewport);
}

}  // namespace

int ShadowTargets::GetShadowTarget(RenderDevice& rd, std::uint32_t size) {
  const int index = SizeClass(size);
  Target& target = targets_[std::size_t(index)];
  if (target.texture) return index;
  const bool automatic = rd.GetCaps().canAutoGenerateMipMaps;
  const std::uint32_t levels = automatic ? kBlurMipLevels : 1;
  const std::uint32_t usage = kUsageRenderTarget | (automatic ? std::uint32_t{kUsageAutoGenMipMap} : 0);
  if (!Succeeded(rd.Device().CreateTexture(size, size, levels, usage, kFormatX8R8G8B8, kPoolDefault,
                                           &target.texture))) {
    return -1;
  }
  target.quad = BlurQuad(float(size));
  return index;
}

bool ShadowTargets::HasShadowTarget(std::uint32_t size) const {
  return static_cast<bool>(targets_[std::size_t(SizeClass(size))].texture);
}

void ShadowTargets::Release() {
  for (Target& target : targets_) target.texture.reset();
}

int GetShadowQuality(const RenderDevice& rd) { return rd.IsOpen() && rd.GetCaps().canAutoGenerateMipMaps ? 2 : 1; }

int RenderShadowTexture(RenderDevice& rd, tge::Resource* shadowTexture, const Matrix4& shadowWorld,
                        const Matrix4& shadowView, const Matrix4& shadowProjection, MeshResource* mesh, bool blur) {
  Texture* shadow = RenderableShadow(rd, shadowTexture);
  if (!mesh || !shadow) return 0;
  blur = blur && rd.GetCaps().canAutoGenerateMipMaps;
  const ShadowTargets::Target* blurTarget = blur ? BlurTarget(rd, *shadow) : nullptr;
  if (blur && !blurTarget) return 0;
  rd.ApplyTransforms(shadowWorld, shadowView, shadowProjection);
  DrawShadowPass(rd, *shadow, blurTarget, mesh);
  rd.RestoreTransforms();
  return 1;
}

void PrepareShadowBlur(RenderDevice& rd, tge::Resource* shadowTexture) {
  Texture* shadow = RenderableShadow(rd, shadowTexture);
  if (!shadow || !rd.GetCaps().canAutoGenerateMipMaps) return;
  TextureDesc desc;
  shadow->GetLevelDesc(0, &desc);
  if (rd.GetShadowTargets().HasShadowTarget(desc.width)) return;
  if (const ShadowTargets::Target* blurTarget = BlurTarget(rd, *shadow)) DrawShadowPass(rd, *shadow, blurTarget, nullptr);
}

}  // namespace tge

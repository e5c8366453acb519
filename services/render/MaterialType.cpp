#include "services/render/MaterialType.h"

#include <array>

#include "services/RenderDevice.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/TextureResource.h"

namespace tge {
namespace {

using namespace gfx;

// Stages a material binds its texture layers to.
constexpr std::uint32_t kLayerStages = 4;
constexpr std::uint32_t kEnvironmentStage = 1;

enum class AlphaTest { kNotSet, kOff, kOn };
enum class Stages { kCommon, kStandard, kColourOnly, kEnvironment };

struct TypeStates {
  bool zWrite, zTest, blend;
  std::uint32_t source, destination;
  AlphaTest alphaTest;
  std::uint32_t alphaRef;
  Stages stages;
  bool clamp;
};

// Types 0 to 10; type 11 sets its states on its own.
constexpr std::array<TypeStates, kMaterialAlphaOverlay> kTypeStates = {{
    {true, true, false, 0, 0, AlphaTest::kOff, 0, Stages::kStandard, false},
    {false, true, true, kBlendSrcAlpha, kBlendOne, AlphaTest::kOff, 0, Stages::kCommon, false},
    {true, true, true, kBlendSrcAlpha, kBlendInvSrcAlpha, AlphaTest::kNotSet, 0, Stages::kColourOnly, false},
    {true, true, true, kBlendSrcAlpha, kBlendInvSrcAlpha, AlphaTest::kNotSet, 0, Stages::kColourOnly, false},
    {false, false, true, kBlendSrcAlpha, kBlendInvSrcAlpha, AlphaTest::kOn, 1, Stages::kCommon, true},
    {false, true, true, kBlendZero, kBlendSrcColor, AlphaTest::kOff, 0, Stages::kCommon, false},
    {false, true, true, kBlendZero, kBlendInvSrcColor, AlphaTest::kOff, 0, Stages::kCommon, true},
    {false, true, true, kBlendSrcAlpha, kBlendInvSrcAlpha, AlphaTest::kOn, 1, Stages::kCommon, false},
    {true, true, true, kBlendSrcAlpha, kBlendInvSrcAlpha, AlphaTest::kOn, 128, Stages::kCommon, false},
    {false, true, true, kBlendSrcAlpha, kBlendInvSrcAlpha, AlphaTest::kOn, 1, Stages::kEnvironment, false},
    {false, true, true, kBlendSrcAlpha, kBlendInvSrcAlpha, AlphaTest::kOn, 1, Stages::kCommon, true},
}};

// Projected textures are pushed towards the eye by the raw bias words the
// stored scenes were tuned with.
constexpr std::uint32_t kProjectedDepthBias = 8, kProjectedSlopeBias = 1;

// Reflection vectors map from -1..1 to texture space, v downwards.
Matrix EnvironmentMatrix() {
  Matrix m;
  m.m[0] = 0.5f;
  m.m[5] = -0.5f;
  m.m[12] = 0.5f;
  m.m[13] = 0.5f;
  return m;
}

void SetStage(RenderDevice& rd, std::uint32_t stage, std::uint32_t colourOp, std::uint32_t colourArg1,
              std::uint32_t colourArg2, std::uint32_t alphaOp, std::uint32_t alphaArg1, std::uint32_t alphaArg2) {
  rd.SetTextureStageStateCached(stage, kTssColorOp, colourOp);
  rd.SetTextureStageStateCached(stage, kTssColorArg1, colourArg1);
  rd.SetTextureStageStateCached(stage, kTssColorArg2, colourArg2);
  rd.SetTextureStageStateCached(stage, kTssAlphaOp, alphaOp);
  rd.SetTextureStageStateCached(stage, kTssAlphaArg1, alphaArg1);
  rd.SetTextureStageStateCached(stage, kTssAlphaArg2, alphaArg2);
}

void SetStageOff(RenderDevice& rd, std::uint32_t stage) {
  rd.SetTextureStageStateCached(stage, kTssColorOp, kTopDisable);
  rd.SetTextureStageStateCached(stage, kTssAlphaOp, kTopDisable);
}

void SetAddressing(RenderDevice& rd, std::uint32_t sampler, std::uint32_t mode) {
  rd.SetSamplerStateCached(sampler, kSampAddressU, mode);
  rd.SetSamplerStateCached(sampler, kSampAddressV, mode);
}

void SetBlending(RenderDevice& rd, bool blend, std::uint32_t source, std::uint32_t destination) {
  rd.SetRenderStateCached(kRsAlphaBlendEnable, blend);
  if (!blend) return;
  rd.SetRenderStateCached(kRsSrcBlend, source);
  rd.SetRenderStateCached(kRsDestBlend, destination);
}

void SetAlphaTest(RenderDevice& rd, AlphaTest test, std::uint32_t reference) {
  if (test == AlphaTest::kNotSet) return;
  rd.SetRenderStateCached(kRsAlphaTestEnable, test == AlphaTest::kOn);
  if (test != AlphaTest::kOn) return;
  rd.SetRenderStateCached(kRsAlphaFunc, kCmpGreaterEqual);
  rd.SetRenderStateCached(kRsAlphaRef, reference);
}

void LeaveEnvironment(RenderDevice& rd) {
  rd.Device().SetTransform(kTransformTexture0 + kEnvironmentStage, Matrix{});
  rd.SetTextureStageStateCached(kEnvironmentStage, kTssTexCoordIndex, kEnvironmentStage);
  rd.SetTextureStageStateCached(kEnvironmentStage, kTssTextureTransformFlags, kTtfDisable);
}

void SetStages(RenderDevice& rd, Stages stages, bool clamp) {
  const std::uint32_t stageZeroAlpha = stages == Stages::kStandard ? kTopDisable : kTopModulate;
  if (stages == Stages::kColourOnly) {
    // These types have no texture: the stage passes the diffuse colour on.
    SetStage(rd, 0, kTopSelectArg1, kTaDiffuse, kTaDiffuse, kTopSelectArg1, kTaDiffuse, kTaDiffuse);
  } else {
    SetStage(rd, 0, kTopModulate, kTaTexture, kTaDiffuse, stageZeroAlpha, kTaTexture, kTaDiffuse);
  }
  SetAddressing(rd, 0, clamp ? kAddressClamp : kAddressWrap);
  if (stages != Stages::kEnvironment) {
    SetStageOff(rd, 1);
    return;
  }
  SetStage(rd, 1, kTopAdd, kTaTexture, kTaCurrent, kTopDisable, kTaTexture, kTaCurrent);
  rd.SetTextureStageStateCached(1, kTssTexCoordIndex, kTciCameraSpaceReflectionVector | kEnvironmentStage);
  rd.SetTextureStageStateCached(1, kTssTextureTransformFlags, kTtfCount2);
  rd.Device().SetTransform(kTransformTexture0 + kEnvironmentStage, EnvironmentMatrix());
}

void ApplyTableType(RenderDevice& rd, std::uint32_t type) {
  const TypeStates& states = kTypeStates[type];
  rd.SetRenderStateCached(kRsFillMode, type == kMaterialWireframeColor ? kFillWireframe : kFillSolid);
  rd.SetRenderStateCached(kRsZEnable, states.zTest);
  const bool projected = type == kMaterialProjected;
  rd.SetRenderStateCached(kRsDepthBias, projected ? kProjectedDepthBias : 0);
  rd.SetRenderStateCached(kRsSlopeScaleDepthBias, projected ? kProjectedSlopeBias : 0);
  rd.SetRenderStateCached(kRsZWriteEnable, states.zWrite);
  SetBlending(rd, states.blend, states.source, states.destination);
  SetAlphaTest(rd, states.alphaTest, states.alphaRef);
  SetStages(rd, states.stages, states.clamp);
}

// The texture's alpha blends the layer over the lit base in stage 1.
void ApplyAlphaOverlay(RenderDevice& rd) {
  rd.SetRenderStateCached(kRsCullMode, kCullCounterClockwise);
  rd.SetRenderStateCached(kRsFillMode, kFillSolid);
  rd.SetRenderStateCached(kRsZWriteEnable, 1);
  rd.SetRenderStateCached(kRsZEnable, 1);
  SetBlending(rd, true, kBlendSrcAlpha, kBlendInvSrcAlpha);
  SetStage(rd, 0, kTopSelectArg1, kTaTexture, kTaDiffuse, kTopSelectArg1, kTaTexture, kTaDiffuse);
  SetStage(rd, 1, kTopBlendTextureAlpha, kTaTexture, kTaCurrent, kTopSelectArg1, kTaCurrent, kTaCurrent);
  rd.SetTextureStageStateCached(1, kTssTexCoordIndex, 0);
  SetStage(rd, 2, kTopModulate, kTaCurrent, kTaDiffuse, kTopModulate, kTaCurrent, kTaDiffuse);
  rd.SetTextureStageStateCached(2, kTssTexCoordIndex, 0);
  for (std::uint32_t sampler = 0; sampler < 3; ++sampler) SetAddressing(rd, sampler, kAddressWrap);
  SetStageOff(rd, 3);
}

ColorValue ToDevice(const Color& c) { return {c.r, c.g, c.b, c.a}; }

Material MaterialRecord(const MaterialResource& material, const MaterialState& state) {
  if (material.flags & kMaterialNoColors) {
    Material shared = state.shared;
    shared.diffuse.a = 1.0f;
    return shared;
  }
  const MaterialColors& c = material.colors;
  return {ToDevice(c.diffuse), ToDevice(c.ambient), ToDevice(c.specular), ToDevice(c.emissive), c.power};
}

void SetDeviceMaterial(RenderDevice& rd, const MaterialResource& material, const Material* colourOverride,
                       float alpha) {
  Material record = colourOverride ? *colourOverride : MaterialRecord(material, rd.Material());
  if (alpha < 1.0f) record.diffuse.a = alpha;
  rd.Device().SetMaterial(record);
}

void BindLayers(RenderDevice& rd, MaterialResource& material) {
  for (std::uint32_t stage = 0; stage < kLayerStages; ++stage) {
    auto* layer = stage < material.textures.size() ? ResourceCast<TextureResource>(material.textures[stage]) : nullptr;
    if (layer) layer->Load();
    rd.SetTextureCached(stage, layer ? layer->GetTexture() : nullptr);
  }
  if (MaterialTypeUsesStageOne(int(material.materialType))) rd.Material().stageOneBorrowed = false;
}

void BlendWithAlpha(RenderDevice& rd) {
  rd.SetRenderStateCached(kRsZWriteEnable, 0);
  rd.SetRenderStateCached(kRsZEnable, 1);
  rd.SetRenderStateCached(kRsAlphaTestEnable, 0);
  SetBlending(rd, true, kBlendSrcAlpha, kBlendInvSrcAlpha);
  rd.SetTextureStageStateCached(0, kTssAlphaOp, kTopModulate);
  rd.SetTextureStageStateCached(0, kTssAlphaArg1, kTaTexture);
  rd.SetTextureStageStateCached(0, kTssAlphaArg2, kTaDiffuse);
}

}  // namespace

std::vector<MaterialType> BuildMaterialTypes() {
  return {
      {"Standard", {"Diffuse"}, 0},
      {"Add", {"Add"}, 2},
      {"Wireframe Color", {}, 0},
      {"Solid Color", {}, 0},
      {"Texture Font", {"Diffuse"}, 0},
      {"Mul", {"Mul"}, 2},
      {"Shadow", {"Shadow"}, 2},
      {"Texture Alpha", {"Diffuse"}, 1},
      {"Texture Alpha Sort Independent", {"Diffuse"}, 1},
      {"Environment", {"Diffuse", "Environment"}, 0},
      {"Projected", {"Diffuse"}, 0},
      {"Alpha Overlay", {"Diffuse", "Diffuse Alpha"}, 0},
  };
}

bool MaterialTypeUsesStageOne(int type) { return type == kMaterialEnvironment || type == kMaterialAlphaOverlay; }

void ApplyMaterialTypeStates(RenderDevice& rd, std::uint32_t type) {
  MaterialState& state = rd.Material();
  if (state.currentType == kMaterialEnvironment) LeaveEnvironment(rd);
  if (type < kMaterialAlphaOverlay) {
    ApplyTableType(rd, type);
  } else if (type == kMaterialAlphaOverlay) {
    ApplyAlphaOverlay(rd);
  }
  state.currentType = int(type);
}

void ApplyMaterial(RenderDevice& rd, MaterialResource* material, const gfx::Material* colourOverride, float alpha) {
  if (!material) return;
  MaterialState& state = rd.Material();
  if (state.current == material && !colourOverride && alpha == 1.0f) return;
  SetDeviceMaterial(rd, *material, colourOverride, alpha);
  ApplyMaterialTypeStates(rd, material->materialType);
  BindLayers(rd, *material);
  const bool overrideBlends = colourOverride && colourOverride->diffuse.a < 1.0f;
  if ((material->materialType == kMaterialStandard && (material->flags & kMaterialKeepAlpha)) || overrideBlends ||
      alpha < 1.0f) {
    BlendWithAlpha(rd);
  }
  rd.SetRenderStateCached(kRsCullMode, (material->flags & kMaterialTwoSided) ? kCullNone : kCullCounterClockwise);
  rd.SetRenderStateCached(kRsSpecularEnable, (material->flags & kMaterialSpecular) != 0);
  rd.SetRenderStateCached(kRsFogEnable, rd.IsFogEnabled() && (material->flags & kMaterialFog));
  state.current = (colourOverride || alpha < 1.0f) ? nullptr : material;
}

}  // namespace tge

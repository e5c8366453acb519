#include "services/render/FrameRender.h"

#include <algorithm>

#include "platform/gfx/States.h"
#include "services/RenderDevice.h"
#include "services/render/MaterialType.h"
#include "services/render/MeshDrawing.h"
#include "services/render/MorphBlend.h"
#include "services/render/PostEffects.h"
#include "services/render/PrimitivePools.h"
#include "services/render/RenderQueue.h"
#include "services/render/TerrainResource.h"
#include "services/render/TextDrawing.h"
#include "services/render/ViewState.h"
#include "services/resources/FontResource.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MeshResource.h"
#include "services/resources/SkinMeshResource.h"

namespace tge {
namespace {

constexpr std::uint32_t kBlack = 0xFF000000;
// Fonts made smaller than this are drawn texel for pixel, without filtering.
constexpr float kFilteredFontSize = 16.0f;

gfx::Matrix ToDevice(const Matrix4& matrix) {
  gfx::Matrix out;
  std::copy(std::begin(matrix.m), std::end(matrix.m), out.m);
  return out;
}

void SetTextureTransform(RenderDevice& rd, const Matrix4& matrix, std::uint32_t flags, std::uint32_t coordinates) {
  rd.Device().SetTransform(gfx::kTransformTexture0, ToDevice(matrix));
  rd.SetTextureStageStateCached(0, gfx::kTssTextureTransformFlags, flags);
  rd.SetTextureStageStateCached(0, gfx::kTssTexCoordIndex, coordinates);
}

void ClearTextureTransform(RenderDevice& rd) { SetTextureTransform(rd, Matrix4{}, gfx::kTtfDisable, 0); }

void DrawMeshPartCommand(RenderDevice& rd, const MeshPartCommand& c) {
  ApplyMaterial(rd, c.material, c.colour, c.alpha);
  if (c.textureMatrix) SetTextureTransform(rd, *c.textureMatrix, gfx::kTtfCount2, 0);
  DrawMeshPart(rd, c.mesh, c.part);
  if (c.textureMatrix) ClearTextureTransform(rd);
}

void DrawSkinMeshPartCommand(RenderDevice& rd, const SkinMeshPartCommand& c) {
  SkinPart(c.skin, c.part, c.matrices, c.matrixCount);
  ApplyMaterial(rd, c.material, c.colour, 1.0f);
  DrawMeshPart(rd, c.mesh, c.part);
}

void DrawPrimitivesCommand(RenderDevice& rd, const PrimitivesCommand& c) {
  if (c.projection) {
    SetTextureTransform(rd, *c.projection, gfx::kTtfCount3 | gfx::kTtfProjected, gfx::kTciCameraSpacePosition);
  }
  ApplyMaterial(rd, c.material, c.colour, 1.0f);
  rd.GetPrimitivePools().Draw(rd, c.vertices, c.format, c.type, c.count, c.drawValue);
  if (c.projection) ClearTextureTransform(rd);
}

void SetTextFilter(RenderDevice& rd, std::uint32_t filter) {
  rd.SetSamplerStateCached(0, gfx::kSampMinFilter, filter);
  rd.SetSamplerStateCached(0, gfx::kSampMagFilter, filter);
}

void DrawTextCommand(RenderDevice& rd, const TextCommand& c) {
  if (!c.font->Load()) return;
  ApplyMaterial(rd, ResourceCast<MaterialResource>(c.font->material), nullptr, 1.0f);
  SetTextFilter(rd, c.font->GetMetrics().size < kFilteredFontSize ? gfx::kFilterPoint : gfx::kFilterLinear);
  rd.SetRenderStateCached(gfx::kRsZEnable, 0);
  const TextStyle style{c.lineSpacing, c.charSpacing, c.scaleX, c.scaleY, c.flags};
  DrawTextUtf8(rd, c.font, c.text, c.position, c.colour, style, &c.world);
  SetTextFilter(rd, gfx::kFilterLinear);
}

void DrawScreenQuadCommand(RenderDevice& rd, const ScreenQuadCommand& c) {
  ApplyMaterial(rd, c.material, nullptr, 1.0f);
  rd.SetRenderStateCached(gfx::kRsLighting, 0);
  rd.SetRenderStateCached(gfx::kRsFogEnable, 0);
  rd.SetRenderStateCached(gfx::kRsZEnable, 0);
  rd.GetPrimitivePools().Draw(rd, c.vertices.data(), kScreenVertexFormat, gfx::kPrimTriangleStrip, 2, 0.0f);
}

template <class Visit>
void ForEachDrawnList(const RenderQueue& queue, Visit visit) {
  for (std::size_t list = kListOpaque; list < kRenderListCount; ++list) {
    for (const RenderCommand* c = queue.GetList(list); c; c = c->next) visit(*c);
  }
}

}  // namespace

int FrameRender::BeginFrame(RenderDevice& rd) {
  if (!rd.HandleDeviceLost()) return 0;
  rd.Material().Forget();
  rd.SetFogEnabled(view_.IsFogEnabled());
  postEffects_.BeginFrame();
  rd.Device().BeginScene();
  const std::uint32_t colour = view_.IsFogEnabled() ? view_.GetFogColour() : kBlack;
  rd.Device().Clear(gfx::kClearTarget | gfx::kClearZBuffer | gfx::kClearStencil, colour, 1.0f, 0);
  return 1;
}

void FrameRender::SetFogStates(RenderDevice& rd) const {
  if (!view_.IsFogEnabled()) return;
  rd.SetRenderStateFloat(gfx::kRsFogStart, view_.GetFogStart());
  rd.SetRenderStateFloat(gfx::kRsFogEnd, view_.GetFogEnd());
  rd.SetRenderStateCached(gfx::kRsFogVertexMode, gfx::kFogLinear);
  rd.SetRenderStateCached(gfx::kRsFogColor, view_.GetFogColour());
  rd.SetRenderStateCached(gfx::kRsRangeFogEnable, 1);
}

std::uint32_t FrameRender::EnableLights(RenderDevice& rd) const {
  std::uint32_t count = 0;
  for (const RenderCommand* c = queue_.GetList(kListLights); c && count < gfx::kMaxLights; c = c->next) {
    rd.Device().SetLight(count, static_cast<const LightCommand*>(c)->light);
    rd.Device().LightEnable(count, true);
    ++count;
  }
  return count;
}

void FrameRender::DrawSceneCommand(RenderDevice& rd, const RenderCommand& c) const {
  switch (c.kind) {
    case RenderCommandKind::kMeshPart:
      DrawMeshPartCommand(rd, static_cast<const MeshPartCommand&>(c));
      break;
    case RenderCommandKind::kSkinMeshPart:
      DrawSkinMeshPartCommand(rd, static_cast<const SkinMeshPartCommand&>(c));
      break;
    case RenderCommandKind::kMorphBlend: {
      const auto& blend = static_cast<const MorphBlendCommand&>(c);
      BlendMorphMesh(blend.destination, blend.morph, blend.part, blend.count, blend.indices, blend.weights);
      ApplyMaterial(rd, blend.material, blend.colour, blend.alpha);
      break;
    }
    case RenderCommandKind::kPrimitives:
      DrawPrimitivesCommand(rd, static_cast<const PrimitivesCommand&>(c));
      break;
    case RenderCommandKind::kTerrain: {
      const auto& terrain = static_cast<const TerrainCommand&>(c);
      UpdateAndDrawTerrain(rd, view_, terrain.terrain, terrain.userValue, terrainWireframe_);
      break;
    }
    case RenderCommandKind::kCallback: {
      const auto& callback = static_cast<const CallbackCommand&>(c);
      callback.function(callback.object, callback.value);
      break;
    }
    default:
      break;
  }
}

void FrameRender::DrawScene(RenderDevice& rd) const {
  SetFogStates(rd);
  const std::uint32_t lights = EnableLights(rd);
  ForEachDrawnList(queue_, [&](const RenderCommand& c) {
    rd.SetWorldMatrix(c.world);
    DrawSceneCommand(rd, c);
  });
  for (std::uint32_t i = 0; i < lights; ++i) rd.Device().LightEnable(i, false);
}

void FrameRender::DrawOverlayCommand(RenderDevice& rd, const RenderCommand& c) const {
  if (c.kind == RenderCommandKind::kText) {
    rd.SetWorldMatrix(c.world);
    DrawTextCommand(rd, static_cast<const TextCommand&>(c));
  } else if (c.kind == RenderCommandKind::kScreenQuad) {
    rd.SetWorldMatrix(c.world);
    DrawScreenQuadCommand(rd, static_cast<const ScreenQuadCommand&>(c));
  }
}

void FrameRender::DrawOverlay(RenderDevice& rd) const {
  SetFogStates(rd);
  rd.SetRenderStateCached(gfx::kRsFogEnable, 0);
  // Text and screen quads are filed in the overlay list only.
  for (const RenderCommand* c = queue_.GetList(kListOverlay); c; c = c->next) DrawOverlayCommand(rd, *c);
}

int FrameRender::RenderFrame(RenderDevice& rd, const PostEffectActions& actions, bool terrainWireframe) {
  terrainWireframe_ = terrainWireframe;
  DrawScene(rd);
  postEffects_.Compose(actions);
  rd.Material().Forget();
  DrawOverlay(rd);
  return 1;
}

int FrameRender::EndFrame(RenderDevice* rd) {
  queue_.Reset();
  if (!rd) return 1;
  rd->Device().EndScene();
  rd->Device().Present();
  return 1;
}

}  // namespace tge

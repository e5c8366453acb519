#include "services/render/MeshDrawing.h"

#include <algorithm>

#include "platform/gfx/VertexFormat.h"
#include "services/RenderDevice.h"
#include "services/render/MaterialType.h"
#include "services/resources/MeshResource.h"
#include "services/resources/TextureResource.h"

namespace tge {
namespace {

constexpr std::uint32_t kSecondStage = 1;

void BindSecondTexture(RenderDevice& rd, TextureResource& texture) {
  texture.Load();
  rd.SetTextureCached(kSecondStage, texture.GetTexture());
  rd.SetTextureStageStateCached(kSecondStage, gfx::kTssColorOp, gfx::kTopModulate2x);
  rd.SetTextureStageStateCached(kSecondStage, gfx::kTssColorArg1, gfx::kTaTexture);
  rd.SetTextureStageStateCached(kSecondStage, gfx::kTssColorArg2, gfx::kTaCurrent);
  MaterialState& state = rd.Material();
  state.stageOneBorrowed = true;
  // The material's own stage 1 must come back with its next application.
  if (MaterialTypeUsesStageOne(state.currentType)) state.current = nullptr;
}

gfx::Result DrawGeometry(RenderDevice& rd, const MeshGeometry& g) {
  gfx::Device& device = rd.Device();
  if (g.indexBuffer) {
    device.SetIndices(g.indexBuffer.get());
    return device.DrawIndexedPrimitive(g.primitiveType, 0, 0, g.vertexCount, 0, g.triangleCount);
  }
  const bool points = g.primitiveType == gfx::kPrimPointList;
  if (points) SetPointSprites(rd, true, g.pointSize);
  const gfx::Result result = device.DrawPrimitive(g.primitiveType, 0, std::min(g.primitiveCount, g.secondCount));
  if (points) SetPointSprites(rd, false, g.pointSize);
  return result;
}

}  // namespace

void ReturnBorrowedStageOne(RenderDevice& rd) {
  MaterialState& state = rd.Material();
  if (!state.stageOneBorrowed || MaterialTypeUsesStageOne(state.currentType)) return;
  state.stageOneBorrowed = false;
  rd.SetTextureCached(kSecondStage, nullptr);
  rd.SetTextureStageStateCached(kSecondStage, gfx::kTssColorOp, gfx::kTopDisable);
  rd.SetTextureStageStateCached(kSecondStage, gfx::kTssAlphaOp, gfx::kTopDisable);
}

void SetPointSprites(RenderDevice& rd, bool on, float size) {
  rd.SetRenderStateCached(gfx::kRsPointSpriteEnable, on);
  rd.SetRenderStateCached(gfx::kRsPointScaleEnable, on);
  if (!on) return;
  rd.SetRenderStateFloat(gfx::kRsPointSize, size);
  rd.SetRenderStateFloat(gfx::kRsPointSizeMin, 0.0f);
  rd.SetRenderStateFloat(gfx::kRsPointScaleA, 0.0f);
  rd.SetRenderStateFloat(gfx::kRsPointScaleB, 0.0f);
  rd.SetRenderStateFloat(gfx::kRsPointScaleC, 1.0f);
}

int DrawMeshPart(RenderDevice& rd, MeshResource* mesh, std::uint32_t index) {
  if (!mesh || index >= mesh->parts.size()) return 0;
  MeshPart& part = mesh->parts[index];
  if (!part.active || !part.geometry || !part.geometry->vertexBuffer) return 0;
  if (auto* texture = ResourceCast<TextureResource>(part.secondTexture)) {
    BindSecondTexture(rd, *texture);
  } else {
    ReturnBorrowedStageOne(rd);
  }
  const MeshGeometry& g = *part.geometry;
  rd.Device().SetStreamSource(g.vertexBuffer.get(), 0, g.vertexSize);
  rd.Device().SetFVF(g.vertexFormat);
  rd.SetRenderStateCached(gfx::kRsLighting, (g.vertexFormat & gfx::kFvfNormal) != 0);
  return gfx::Succeeded(DrawGeometry(rd, g)) ? 1 : 0;
}

}  // namespace tge

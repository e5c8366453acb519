#include "services/render/PrimitivePools.h"

#include <algorithm>
#include <cstring>

#include "platform/gfx/VertexFormat.h"
#include "services/RenderDevice.h"
#include "services/render/MeshDrawing.h"

namespace tge {
namespace {

struct Batch {
  std::uint32_t deviceType = 0;
  std::uint32_t deviceCount = 0;
  std::uint64_t vertices = 0;  // written into the ring
};

Batch DescribeBatch(std::uint32_t type, std::uint32_t count) {
  const std::uint64_t n = count;
  switch (type) {
    case gfx::kPrimLineList: return {gfx::kPrimLineList, count, 2 * n};
    case gfx::kPrimTriangleList: return {gfx::kPrimTriangleList, count, 3 * n};
    case gfx::kPrimTriangleStrip: return {gfx::kPrimTriangleStrip, count, n + 2};
    case gfx::kPrimTriangleFan: return {gfx::kPrimTriangleFan, count, n + 2};
    case kEngineQuadList: return {gfx::kPrimTriangleList, 2 * count, 6 * n};
    case kEnginePointSprites: return {gfx::kPrimPointList, count, n};
    default: return {};
  }
}

std::ptrdiff_t FormatIndex(std::uint32_t format) {
  const auto& formats = PrimitivePools::kFormats;
  const auto it = std::find(formats.begin(), formats.end(), format);
  return it == formats.end() ? -1 : it - formats.begin();
}

// Every quad A, B, C, D becomes the triangles (A, B, C) and (C, D, A).
void CopyQuads(std::uint8_t* out, const std::uint8_t* in, std::uint32_t quads, std::uint32_t size) {
  constexpr int kCorners[6] = {0, 1, 2, 2, 3, 0};
  for (std::uint32_t q = 0; q < quads; ++q) {
    for (int corner : kCorners) {
      std::memcpy(out, in + (std::size_t{q} * 4 + corner) * size, size);
      out += size;
    }
  }
}

}  // namespace

const MeshGeometry* PrimitivePools::GetRing(std::uint32_t vertexFormat) const {
  const std::ptrdiff_t index = FormatIndex(vertexFormat);
  return index < 0 ? nullptr : rings_[std::size_t(index)].get();
}

void PrimitivePools::Release() {
  for (auto& ring : rings_) ring.reset();
}

MeshGeometry* PrimitivePools::EnsureRing(RenderDevice& device, std::size_t index) {
  if (!rings_[index]) {
    const std::uint32_t format = kFormats[index];
    rings_[index] = CreateGeometryBuffers(device.Device(), kRingVertices, 0, format, gfx::VertexSize(format),
                                          gfx::kUsageWriteOnly | gfx::kUsageDynamic, gfx::kPoolDefault);
  }
  return rings_[index].get();
}

int PrimitivePools::Draw(RenderDevice& device, const void* vertices, std::uint32_t vertexFormat,
                         std::uint32_t primitiveType, std::uint32_t primitiveCount, float drawValue) {
  const std::ptrdiff_t index = FormatIndex(vertexFormat);
  const Batch batch = DescribeBatch(primitiveType, primitiveCount);
  if (!vertices || index < 0 || batch.deviceType == 0 || primitiveCount == 0 || batch.vertices > kRingVertices) {
    return 0;
  }
  MeshGeometry* ring = EnsureRing(device, std::size_t(index));
  if (!ring) return 0;
  const auto count = std::uint32_t(batch.vertices);
  const std::uint32_t size = ring->vertexSize;
  std::uint32_t start = ring->secondCount;
  std::uint32_t flags = gfx::kLockNoOverwrite;
  if (start + count > kRingVertices) {
    start = 0;
    flags = gfx::kLockDiscard;
  }
  void* data = nullptr;
  if (!gfx::Succeeded(ring->vertexBuffer->Lock(start * size, count * size, flags, &data))) return 0;
  if (primitiveType == kEngineQuadList) {
    CopyQuads(static_cast<std::uint8_t*>(data), static_cast<const std::uint8_t*>(vertices), primitiveCount, size);
  } else {
    std::memcpy(data, vertices, std::size_t{count} * size);
  }
  ring->vertexBuffer->Unlock();

  ReturnBorrowedStageOne(device);
  const bool points = primitiveType == kEnginePointSprites;
  device.SetRenderStateCached(gfx::kRsLighting, (vertexFormat & gfx::kFvfNormal) != 0);
  if (points) SetPointSprites(device, true, drawValue);
  device.Device().SetStreamSource(ring->vertexBuffer.get(), 0, size);
  device.Device().SetFVF(vertexFormat);
  const gfx::Result result = device.Device().DrawPrimitive(batch.deviceType, start, batch.deviceCount);
  if (points) SetPointSprites(device, false, drawValue);
  device.SetRenderStateCached(gfx::kRsLighting, 1);
  ring->secondCount = start + count;
  return gfx::Succeeded(result) ? 1 : 0;
}

}  // namespace tge

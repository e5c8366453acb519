#include "services/resources/MeshGeometry.h"

#include <limits>

#include "services/ErrorMessage.h"

namespace tge {
namespace {

constexpr std::uint64_t kTriangleIndexBytes = 6;

bool FitsBuffer(std::uint64_t bytes) { return bytes <= std::numeric_limits<std::uint32_t>::max(); }

}  // namespace

std::unique_ptr<MeshGeometry> CreateGeometryBuffers(gfx::Device& device, std::uint32_t vertexCount,
                                                    std::uint32_t triangleCount, std::uint32_t vertexFormat,
                                                    std::uint32_t vertexSize, std::uint32_t usage,
                                                    std::uint32_t pool, std::uint32_t vertexSetCount) {
  const std::uint64_t indexBytes = triangleCount * kTriangleIndexBytes;
  const std::uint64_t vertexBytes = std::uint64_t{vertexSetCount} * vertexSize * vertexCount;
  if (!FitsBuffer(indexBytes) || !FitsBuffer(vertexBytes)) {
    FormatErrorMessage("Geometry of %u vertices and %u triangles is too large", vertexCount, triangleCount);
    return nullptr;
  }
  auto geometry = std::make_unique<MeshGeometry>();
  if (triangleCount > 0 &&
      !gfx::Succeeded(device.CreateIndexBuffer(std::uint32_t(indexBytes), usage, gfx::kFormatIndex16, pool,
                                               &geometry->indexBuffer))) {
    FormatErrorMessage("Error Creating Index Buffer");
    return nullptr;
  }
  if (vertexBytes > 0 && !gfx::Succeeded(device.CreateVertexBuffer(std::uint32_t(vertexBytes), usage,
                                                                  vertexFormat, pool, &geometry->vertexBuffer))) {
    FormatErrorMessage("Error Creating Vertex Buffer");
    return nullptr;
  }
  geometry->vertexFormat = vertexFormat;
  geometry->vertexSize = vertexSize;
  geometry->vertexCount = vertexCount;
  geometry->triangleCount = triangleCount;
  geometry->vertexSetCount = vertexSetCount;
  geometry->primitiveCount = triangleCount;
  return geometry;
}

}  // namespace tge

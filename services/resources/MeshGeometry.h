// The geometry behind one mesh part: its vertex buffer, its 16-bit index
// buffer (or none) and the counts that say how to draw them.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gfx/Device.h"

namespace tge {

struct MeshGeometry {
  std::unique_ptr<gfx::VertexBuffer> vertexBuffer;
  std::unique_ptr<gfx::IndexBuffer> indexBuffer;
  // One byte per triangle, or empty.
  std::vector<std::uint8_t> triangleBytes;
  std::uint32_t vertexFormat = 0;
  // The stride: at least the size of the vertex format.
  std::uint32_t vertexSize = 0;
  std::uint32_t vertexCount = 0;
  std::uint32_t triangleCount = 0;
  // The vertex buffer holds this many sets of vertexCount vertices.
  std::uint32_t vertexSetCount = 1;
  std::uint32_t primitiveType = gfx::kPrimTriangleList;
  std::uint32_t primitiveCount = 0;
  // Without indices at most this many primitives are drawn; for the
  // primitive pools, the next free vertex of the ring.
  std::uint32_t secondCount = 0;
  float pointSize = 1.0f;
};

// An index buffer of triangleCount x 6 bytes when there are triangles, then
// a vertex buffer of vertexSetCount x vertexSize x vertexCount bytes when
// there are vertices. Null, with the reason in the last-error text, when
// the device refuses either or a size passes 32 bits.
std::unique_ptr<MeshGeometry> CreateGeometryBuffers(gfx::Device& device, std::uint32_t vertexCount,
                                                    std::uint32_t triangleCount, std::uint32_t vertexFormat,
                                                    std::uint32_t vertexSize, std::uint32_t usage,
                                                    std::uint32_t pool, std::uint32_t vertexSetCount = 1);

}  // namespace tge

// The built-in box and sphere: centred on the origin, position and normal
// per vertex (vertex format 0x12), 16-bit indices of a triangle list whose
// front faces wind clockwise seen from outside.
#pragma once
#include <cstdint>
#include <vector>

namespace tge::gfx {

struct MeshData {
  std::uint32_t vertexFormat = 0;
  std::uint32_t vertexSize = 0;
  std::uint32_t vertexCount = 0;
  std::vector<float> vertices;  // vertexCount x (x, y, z, nx, ny, nz)
  std::vector<std::uint16_t> indices;  // three per triangle
  std::uint32_t TriangleCount() const { return std::uint32_t(indices.size() / 3); }
};

// Four vertices per face, so each face has its own flat normal.
MeshData CreateBoxMesh(float width, float height, float depth);
// Poles on the z axis; slices around it (at least 3), stacks from pole to
// pole (at least 2). Counts too large for 16-bit indices give an empty mesh.
MeshData CreateSphereMesh(float radius, std::uint32_t slices, std::uint32_t stacks);

}  // namespace tge::gfx

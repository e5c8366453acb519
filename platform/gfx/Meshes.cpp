#include "platform/gfx/Meshes.h"

#include <cmath>
#include <numbers>

#include "platform/gfx/VertexFormat.h"

namespace tge::gfx {
namespace {

constexpr std::uint32_t kFloatsPerVertex = 6;

struct MeshBuilder {
  MeshData mesh;

  MeshBuilder() {
    mesh.vertexFormat = kFvfXyz | kFvfNormal;
    mesh.vertexSize = VertexSize(mesh.vertexFormat);
  }

  std::uint16_t Vertex(float x, float y, float z, float nx, float ny, float nz) {
    mesh.vertices.insert(mesh.vertices.end(), {x, y, z, nx, ny, nz});
    return std::uint16_t(mesh.vertexCount++);
  }

  // Orders the corners so the triangle winds clockwise seen from where its
  // vertices' normals point.
  void Triangle(std::uint16_t a, std::uint16_t b, std::uint16_t c) {
    const float* pa = &mesh.vertices[a * kFloatsPerVertex];
    const float* pb = &mesh.vertices[b * kFloatsPerVertex];
    const float* pc = &mesh.vertices[c * kFloatsPerVertex];
    const float u[3] = {pb[0] - pa[0], pb[1] - pa[1], pb[2] - pa[2]};
    const float v[3] = {pc[0] - pa[0], pc[1] - pa[1], pc[2] - pa[2]};
    const float cross[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                            u[0] * v[1] - u[1] * v[0]};
    const float n[3] = {pa[3] + pb[3] + pc[3], pa[4] + pb[4] + pc[4], pa[5] + pb[5] + pc[5]};
    const bool clockwise = cross[0] * n[0] + cross[1] * n[1] + cross[2] * n[2] >= 0;
    mesh.indices.insert(mesh.indices.end(), {a, clockwise ? b : c, clockwise ? c : b});
  }
};

}  // namespace

MeshData CreateBoxMesh(float width, float height, float depth) {
  const float half[3] = {width / 2, height / 2, depth / 2};
  MeshBuilder builder;
  for (int axis = 0; axis < 3; ++axis) {
    for (float sign : {-1.0f, 1.0f}) {
      const int s = (axis + 1) % 3, t = (axis + 2) % 3;
      std::uint16_t corner[4];
      for (int k = 0; k < 4; ++k) {
        float p[3], n[3] = {0, 0, 0};
        p[axis] = sign * half[axis];
        p[s] = (k & 1 ? 1 : -1) * half[s];
        p[t] = (k & 2 ? 1 : -1) * half[t];
        n[axis] = sign;
        corner[k] = builder.Vertex(p[0], p[1], p[2], n[0], n[1], n[2]);
      }
      builder.Triangle(corner[0], corner[1], corner[3]);
      builder.Triangle(corner[0], corner[3], corner[2]);
    }
  }
  return builder.mesh;
}

MeshData CreateSphereMesh(float radius, std::uint32_t slices, std::uint32_t stacks) {
  if (slices < 3 || stacks < 2 || std::uint64_t(slices) * (stacks - 1) + 2 > 65535) return {};
  MeshBuilder builder;
  const std::uint16_t top = builder.Vertex(0, 0, radius, 0, 0, 1);
  for (std::uint32_t stack = 1; stack < stacks; ++stack) {
    const float polar = std::numbers::pi_v<float> * float(stack) / float(stacks);
    for (std::uint32_t slice = 0; slice < slices; ++slice) {
      const float azimuth = 2 * std::numbers::pi_v<float> * float(slice) / float(slices);
      const float n[3] = {std::sin(polar) * std::cos(azimuth), std::sin(polar) * std::sin(azimuth),
                          std::cos(polar)};
      builder.Vertex(radius * n[0], radius * n[1], radius * n[2], n[0], n[1], n[2]);
    }
  }
  const std::uint16_t bottom = builder.Vertex(0, 0, -radius, 0, 0, -1);
  auto ring = [slices](std::uint32_t stack, std::uint32_t slice) {
    return std::uint16_t(1 + (stack - 1) * slices + slice % slices);
  };
  for (std::uint32_t slice = 0; slice < slices; ++slice) {
    builder.Triangle(top, ring(1, slice), ring(1, slice + 1));
    for (std::uint32_t stack = 1; stack + 1 < stacks; ++stack) {
      builder.Triangle(ring(stack, slice), ring(stack + 1, slice), ring(stack + 1, slice + 1));
      builder.Triangle(ring(stack, slice), ring(stack + 1, slice + 1), ring(stack, slice + 1));
    }
    builder.Triangle(bottom, ring(stacks - 1, slice + 1), ring(stacks - 1, slice));
  }
  return builder.mesh;
}

}  // namespace tge::gfx

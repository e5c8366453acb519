#include "platform/gfx/Meshes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tge::gfx {
namespace {

// Every triangle must wind clockwise seen from outside: its face normal
// (b - a) x (c - a) points away from the centre.
void ExpectOutwardClockwise(const MeshData& mesh) {
  for (std::size_t t = 0; t < mesh.indices.size(); t += 3) {
    const float* p[3];
    for (int k = 0; k < 3; ++k) {
      ASSERT_LT(mesh.indices[t + k], mesh.vertexCount);
      p[k] = &mesh.vertices[mesh.indices[t + k] * 6];
    }
    const float u[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
    const float v[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
    const float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const float centre[3] = {(p[0][0] + p[1][0] + p[2][0]) / 3, (p[0][1] + p[1][1] + p[2][1]) / 3,
                             (p[0][2] + p[1][2] + p[2][2]) / 3};
    EXPECT_GT(n[0] * centre[0] + n[1] * centre[1] + n[2] * centre[2], 0) << "triangle " << t / 3;
  }
}

TEST(GfxMeshes, BoxHasSixFlatFacesOfTheGivenSize) {
  const MeshData box = CreateBoxMesh(100, 50, 20);
  EXPECT_EQ(box.vertexFormat, 0x12u);
  EXPECT_EQ(box.vertexSize, 24u);
  EXPECT_EQ(box.vertexCount, 24u);
  EXPECT_EQ(box.TriangleCount(), 12u);
  for (std::uint32_t i = 0; i < box.vertexCount; ++i) {
    const float* v = &box.vertices[i * 6];
    EXPECT_FLOAT_EQ(std::abs(v[0]), 50);
    EXPECT_FLOAT_EQ(std::abs(v[1]), 25);
    EXPECT_FLOAT_EQ(std::abs(v[2]), 10);
    EXPECT_FLOAT_EQ(std::abs(v[3]) + std::abs(v[4]) + std::abs(v[5]), 1);
  }
  ExpectOutwardClockwise(box);
}

TEST(GfxMeshes, SphereCountsRadiusAndUnitNormals) {
  const MeshData sphere = CreateSphereMesh(100, 8, 8);
  EXPECT_EQ(sphere.vertexCount, 8u * 7 + 2);
  EXPECT_EQ(sphere.TriangleCount(), 2u * 8 * 7);
  for (std::uint32_t i = 0; i < sphere.vertexCount; ++i) {
    const float* v = &sphere.vertices[i * 6];
    EXPECT_NEAR(std::hypot(v[0], v[1], v[2]), 100, 1e-3);
    EXPECT_NEAR(std::hypot(v[3], v[4], v[5]), 1, 1e-5);
  }
  ExpectOutwardClockwise(sphere);
}

TEST(GfxMeshes, SphereWithTooFewOrTooManyDivisionsIsEmpty) {
  EXPECT_EQ(CreateSphereMesh(1, 2, 8).vertexCount, 0u);
  EXPECT_EQ(CreateSphereMesh(1, 8, 1).vertexCount, 0u);
  EXPECT_EQ(CreateSphereMesh(1, 1000, 1000).vertexCount, 0u);
}

}  // namespace
}  // namespace tge::gfx

// Finding the triangle under a point through the grid gives exactly what
// scanning every triangle gives. The scan is what a mesh with a vertex that
// is not finite keeps, so the same triangles with one unused NaN vertex
// serve as the reference.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "core/math/Random.h"
#include "objects/gameplay/navigation/NavMesh.h"
#include "tools/NavMeshBuilder.h"

namespace tge::test {
namespace {

struct Pair {
  NavMesh indexed;
  NavMesh scanned;
};

void Make(Pair& pair, const NavMeshData& data) {
  ASSERT_TRUE(pair.indexed.SetMesh(data.vertices, data.triangles));
  std::vector<Vector3> withNaN = data.vertices;
  withNaN.push_back({std::numeric_limits<float>::quiet_NaN(), 0, 0});
  ASSERT_TRUE(pair.scanned.SetMesh(withNaN, data.triangles));
}

// Two floors of a walled grid, the upper one shifted by half a cell, and
// a fan of long thin triangles across both.
NavMeshData Layered() {
  const auto wall = [](int x, int z) { return z % 4 == 2 && x != 3; };
  NavMeshData lower = BuildGridNavMesh(9, 9, 1.0f, 0.0f, wall);
  NavMeshData upper = BuildGridNavMesh(6, 6, 1.5f, 3.0f);
  std::vector<Vector3> vertices = lower.vertices;
  std::vector<std::array<std::int32_t, 3>> faces;
  for (const NavTriangle& t : lower.triangles) faces.push_back({t.vertex[0], t.vertex[1], t.vertex[2]});
  const auto base = static_cast<std::int32_t>(vertices.size());
  for (Vector3 v : upper.vertices) vertices.push_back({v.x + 0.5f, v.y, v.z + 0.5f});
  for (const NavTriangle& t : upper.triangles) faces.push_back({t.vertex[0] + base, t.vertex[1] + base, t.vertex[2] + base});
  const auto hub = static_cast<std::int32_t>(vertices.size());
  vertices.push_back({-1, 1.5f, -1});
  for (int i = 0; i < 6; ++i) {
    vertices.push_back({10, 1.5f, static_cast<float>(i) * 2});
    if (i > 0) faces.push_back({hub, hub + i + 1, hub + i});
  }
  return BuildNavMesh(std::move(vertices), faces);
}

TEST(NavTriangleGridTest, FindsTheTriangleTheScanFinds) {
  Pair pair;
  Make(pair, Layered());
  std::vector<Vector3> points;
  // Every vertex, edge middle and cell boundary of both floors, at heights
  // on, between and beyond the floors (equal heights tie), and off the mesh.
  for (float y : {0.0f, 1.5f, 3.0f, -4.0f}) {
    for (int i = -4; i <= 44; ++i) {
      for (int k = -4; k <= 44; ++k) points.push_back({static_cast<float>(i) * 0.25f, y, static_cast<float>(k) * 0.25f});
    }
  }
  SeedRand(3);
  for (int i = 0; i < 2000; ++i) points.push_back({RandomSigned() * 12, RandomSigned() * 4, RandomSigned() * 12});
  for (const Vector3& p : points) {
    EXPECT_EQ(pair.indexed.FindTriangle(p), pair.scanned.FindTriangle(p)) << p.x << ", " << p.y << ", " << p.z;
  }
}

// A mesh of one row and of one point still gets cells; points that are not
// numbers fall back to the scan's answer.
TEST(NavTriangleGridTest, DegenerateMeshesAndPointsMatchTheScan) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  Pair strip, point;
  Make(strip, BuildGridNavMesh(40, 1, 0.5f, 0.0f));
  Make(point, BuildNavMesh({{1, 0, 1}, {1, 0, 1}, {1, 0, 1}}, {{0, 1, 2}}));
  for (const Vector3& p : std::vector<Vector3>{{3, 0, 0.25f}, {20, 0, 0.5f}, {-1, 2, 0}, {nan, 0, 0.2f}, {1, nan, 0.2f},
                                               {1, 0, 1}, {std::numeric_limits<float>::infinity(), 0, 0.25f}}) {
    EXPECT_EQ(strip.indexed.FindTriangle(p), strip.scanned.FindTriangle(p)) << p.x << ", " << p.z;
    EXPECT_EQ(point.indexed.FindTriangle(p), point.scanned.FindTriangle(p)) << p.x << ", " << p.z;
  }
}

}  // namespace
}  // namespace tge::test

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <vector>

#include "core/math/Random.h"
#include "objects/gameplay/navigation/NavMesh.h"
#include "tools/NavMeshBuilder.h"

namespace tge::test {
namespace {

bool Same(const Vector3& a, const Vector3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

NavMesh MakeMesh(const NavMeshData& data) {
  NavMesh mesh;
  EXPECT_TRUE(mesh.SetMesh(data.vertices, data.triangles));
  return mesh;
}

float DistanceToSegment(const Vector3& p, const Vector3& a, const Vector3& b) {
  Vector3 ab, ap, closest;
  Vector3Subtract(ab, b, a);
  Vector3Subtract(ap, p, a);
  const float t = std::clamp(Vector3Dot(ap, ab) / Vector3Dot(ab, ab), 0.0f, 1.0f);
  Vector3AddScaled(closest, a, ab, t);
  return Vector3Length(Vector3Subtract(closest, p, closest));
}

// The neighbour across the edge of triangle at that passes through the
// waypoint (lowered to the ground), or -1.
std::int32_t NeighbourAcross(const NavMesh& mesh, std::int32_t at, Vector3 waypoint) {
  waypoint.y -= 0.5f;
  const NavTriangle& triangle = mesh.GetTriangles()[static_cast<std::size_t>(at)];
  for (int edge = 0; edge < 3; ++edge) {
    const Vector3& a = mesh.GetWorldVertices()[static_cast<std::size_t>(triangle.vertex[edge])];
    const Vector3& b = mesh.GetWorldVertices()[static_cast<std::size_t>(triangle.vertex[(edge + 1) % 3])];
    if (triangle.neighbour[edge] >= 0 && DistanceToSegment(waypoint, a, b) < 1e-4f) return triangle.neighbour[edge];
  }
  return -1;
}

// Each waypoint lies on an edge of the triangle the previous one led into,
// starting from the start's triangle and ending in the goal's: the
// waypoints follow a chain of neighbours.
void ExpectChainOfNeighbours(const NavMesh& mesh, const PathRecord& path, const Vector3& start,
                             const Vector3& goal) {
  ASSERT_FALSE(path.waypoints.empty());
  std::int32_t at = mesh.FindTriangle(start);
  for (const PathWaypoint& waypoint : path.waypoints) {
    const std::int32_t next = NeighbourAcross(mesh, at, waypoint.position);
    ASSERT_GE(next, 0) << "no edge of triangle " << at << " at " << waypoint.position.x << ", "
                       << waypoint.position.z;
    at = next;
  }
  EXPECT_EQ(at, mesh.FindTriangle(goal));
}

TEST(PathSearchTest, TheSimpleCasesGiveTheGoalAlone) {
  // A strip of four cells along x; an island cell far away.
  const NavMesh strip = MakeMesh(BuildGridNavMesh(4, 1, 2.0f, 0.0f));
  const NavMesh islands = MakeMesh(BuildGridNavMesh(4, 1, 2.0f, 0.0f, [](int x, int) { return x == 1 || x == 2; }));
  struct Case {
    const char* what;
    const NavMesh* mesh;
    Vector3 start, goal;
    bool found;
  };
  const Case cases[] = {
      {"same triangle", &strip, {0.3f, 0, 0.5f}, {0.5f, 0, 0.3f}, true},
      {"straight ahead across triangles", &strip, {0.5f, 0, 1.0f}, {7.5f, 0, 1.2f}, true},
      {"not connected", &islands, {0.5f, 0, 1.0f}, {7.5f, 0, 1.0f}, false},
  };
  for (const Case& c : cases) {
    PathRecord path;
    path.waypoints.push_back({{9, 9, 9}, 0});
    EXPECT_EQ(c.mesh->FindPath(c.start, c.goal, path), c.found) << c.what;
    ASSERT_EQ(path.waypoints.size(), 1u) << c.what;
    EXPECT_TRUE(Same(path.waypoints.front().position, c.goal)) << c.what;
    EXPECT_EQ(path.waypoints.front().radius, 1.5f) << c.what;
  }
}

TEST(PathSearchTest, AGraphWithoutTrianglesFindsNothingAndLeavesTheQueue) {
  NavMesh empty;
  PathRecord path;
  path.waypoints.push_back({{1, 2, 3}, 1});
  EXPECT_FALSE(empty.FindPath({0, 0, 0}, {1, 0, 1}, path));
  EXPECT_EQ(path.waypoints.size(), 1u);
  Vector3 out{7, 7, 7};
  EXPECT_FALSE(empty.GetRandomPosition(&out));
  EXPECT_TRUE(Same(out, {7, 7, 7}));
  EXPECT_EQ(empty.FindTriangle({0, 0, 0}), -1);
}

TEST(PathSearchTest, APointOffTheMeshGoesToTheNearestBoundaryEdge) {
  const NavMesh strip = MakeMesh(BuildGridNavMesh(4, 1, 2.0f, 0.0f));
  // On flat ground every boundary edge scores 0: the nearest must win, not
  // the first.
  const std::int32_t right = strip.FindTriangle({20, 0, 1});
  const std::int32_t inside = strip.FindTriangle({7.9f, 0, 1.0f});
  ASSERT_GE(right, 0);
  EXPECT_EQ(right, inside);
  // Above the ground the height difference counts: an edge at the point's
  // own height scores 0 however far it is.
  NavMeshData steps = BuildGridNavMesh(4, 1, 2.0f, 0.0f);
  for (Vector3& vertex : steps.vertices) vertex.y = vertex.x >= 8.0f ? 5.0f : 0.0f;
  const NavMesh ramp = MakeMesh(steps);
  EXPECT_EQ(ramp.FindTriangle({-30, 5, 1}), ramp.FindTriangle({7.9f, 5, 1.0f}));
}

TEST(PathSearchTest, RandomPositionsAreTriangleCentres) {
  const NavMesh strip = MakeMesh(BuildGridNavMesh(4, 1, 2.0f, 0.0f));
  for (int i = 0; i < 20; ++i) {
    Vector3 at;
    ASSERT_TRUE(strip.GetRandomPosition(&at));
    const std::int32_t triangle = strip.FindTriangle(at);
    ASSERT_GE(triangle, 0);
    EXPECT_TRUE(Same(at, strip.GetTriangles()[static_cast<std::size_t>(triangle)].centre));
  }
}

// A U: the wall in the middle column blocks the straight line between the
// arms, so the search has to go round by the bottom.
TEST(PathSearchTest, AroundAWallTheWaypointsCrossTheEdgesOfAChainOfNeighbours) {
  const NavMesh u = MakeMesh(BuildGridNavMesh(5, 4, 2.0f, 0.0f, [](int x, int z) { return x == 2 && z >= 1; }));
  const Vector3 start{1, 0, 7};
  const Vector3 goal{9, 0, 7};
  SeedRand(7);
  PathRecord path;
  ASSERT_TRUE(u.FindPath(start, goal, path));
  EXPECT_GT(path.waypoints.size(), 6u);
  ExpectChainOfNeighbours(u, path, start, goal);
  for (const PathWaypoint& waypoint : path.waypoints) EXPECT_GT(waypoint.radius, 0.9f);
  // The record is reused: a second search gives a fresh queue.
  ASSERT_TRUE(u.FindPath(goal, start, path));
  ExpectChainOfNeighbours(u, path, goal, start);
}

TEST(PathSearchTest, ALargeMeshIsSearchedAcross) {
  // 50 x 55 cells less rows of wall with a gap at alternating ends.
  const NavMesh maze = MakeMesh(BuildGridNavMesh(50, 55, 1.0f, 0.0f, [](int x, int z) {
    return z % 10 == 5 && (z % 20 == 5 ? x < 48 : x > 1);
  }));
  ASSERT_GE(maze.GetTriangleCount(), 5000u);
  PathRecord path;
  const Vector3 start{0.5f, 0, 0.5f};
  const Vector3 goal{49.5f, 0, 54.5f};
  ASSERT_TRUE(maze.FindPath(start, goal, path));
  ExpectChainOfNeighbours(maze, path, start, goal);
}

// A record kept through many searches finds what a fresh one finds:
// nothing a search marked counts as reached in a later one, whatever the
// number of searches, here on a smaller mesh, that went between them.
TEST(PathSearchTest, AReusedRecordFindsWhatAFreshOneFinds) {
  const NavMesh maze = MakeMesh(BuildGridNavMesh(20, 20, 1.0f, 0.0f, [](int x, int z) {
    return z % 4 == 2 && x != (z * 7) % 20;
  }));
  const NavMesh cell = MakeMesh(BuildGridNavMesh(1, 1, 1.0f, 0.0f));
  const Vector3 start{0.5f, 0, 0.5f}, goal{19.5f, 0, 19.5f};
  PathRecord reused;
  SeedRand(1);
  ASSERT_TRUE(maze.FindPath(start, goal, reused));
  const std::deque<PathWaypoint> expected = reused.waypoints;
  for (int between = 245; between < 265; ++between) {
    // One straight step from triangle to triangle of the cell.
    for (int i = 0; i < between; ++i) ASSERT_TRUE(cell.FindPath({0.2f, 0, 0.5f}, {0.8f, 0, 0.5f}, reused));
    SeedRand(1);
    ASSERT_TRUE(maze.FindPath(start, goal, reused)) << between;
    ASSERT_EQ(reused.waypoints.size(), expected.size()) << between;
    for (std::size_t k = 0; k < expected.size(); ++k) {
      ASSERT_TRUE(Same(reused.waypoints[k].position, expected[k].position)) << between;
    }
  }
}

// Reversing every other triangle of a strip sends the straight-line walk
// back and forth between two triangles; the search still returns.
TEST(PathSearchTest, InconsistentWindingDoesNotTrapTheStraightWalk) {
  NavMeshData data = BuildGridNavMesh(4, 1, 2.0f, 0.0f);
  for (std::size_t t = 1; t < data.triangles.size(); t += 2) {
    NavTriangle& triangle = data.triangles[t];
    std::swap(triangle.vertex[1], triangle.vertex[2]);
    std::swap(triangle.neighbour[0], triangle.neighbour[2]);
  }
  const NavMesh mesh = MakeMesh(data);
  PathRecord path;
  for (float z : {0.3f, 1.0f, 1.7f}) {
    const std::int32_t from = mesh.FindTriangle({0.3f, 0, z});
    const std::int32_t to = mesh.FindTriangle({7.7f, 0, z});
    ASSERT_GE(from, 0);
    ASSERT_GE(to, 0);
    EXPECT_TRUE(mesh.FindPath({0.3f, 0, z}, {7.7f, 0, z}, path));
  }
}

}  // namespace
}  // namespace tge::test

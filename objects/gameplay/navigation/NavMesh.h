// The walkable ground of a vision graph: a triangle mesh with each
// triangle's neighbour across each edge, and the search over it that turns a
// start and a goal into waypoints on the edges between the triangles of a
// chain of neighbours (a breadth-first search, not a shortest path).
//
// The vertices keep the values they were loaded or made with, so saving or
// copying a placed mesh stores them unchanged; Place computes the world-space
// copy every query works on.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "core/math/Matrix4.h"
#include "core/math/Vector.h"
#include "objects/gameplay/navigation/NavTriangleGrid.h"
#include "objects/gameplay/navigation/PathRecord.h"

namespace tge {

class SerializeStream;

struct NavTriangle {
  // Edge i runs from vertex i to vertex (i + 1) mod 3; neighbour i is the
  // triangle across it, -1 on the boundary.
  std::int32_t vertex[3] = {0, 0, 0};
  std::int32_t neighbour[3] = {-1, -1, -1};
  // Kept for the file only.
  float spare[3] = {0, 0, 0};
  std::uint32_t word = 0;
  // The mean of the world-space vertices, set by Place.
  Vector3 centre;
};

class NavMesh {
 public:
  // Goal waypoints take this radius.
  static constexpr float kGoalRadius = 1.5f;

  // Takes a mesh as it stands; false (the mesh left empty) when an index is
  // out of range. Placed at the origin until Place.
  bool SetMesh(std::vector<Vector3> vertices, std::vector<NavTriangle> triangles);
  void Clear();
  // The counts and arrays; on load the counts are checked against the bytes
  // the stream still holds and every index against the counts, and a
  // refused mesh leaves this one empty with the stream failed.
  bool Serialize(SerializeStream& stream);
  // The world-space copy under a world matrix, the triangles' centres, the
  // boundary flags and the grid that finds triangles.
  void Place(const Matrix4& world);

  std::uint32_t GetVertexCount() const { return static_cast<std::uint32_t>(vertices_.size()); }
  std::uint32_t GetTriangleCount() const { return static_cast<std::uint32_t>(triangles_.size()); }
  const std::vector<Vector3>& GetVertices() const { return vertices_; }
  const std::vector<Vector3>& GetWorldVertices() const { return world_; }
  const std::vector<NavTriangle>& GetTriangles() const { return triangles_; }
  bool IsBoundaryVertex(std::int32_t vertex) const { return boundary_[static_cast<std::size_t>(vertex)] != 0; }

  // The triangle under p in the ground plane (the one nearest in height when
  // several are); off the mesh, the triangle of the boundary edge scoring
  // lowest (distance times height difference, the nearer edge among equal
  // scores); -1 without a boundary edge. Among triangles at equal heights
  // the first in the mesh wins.
  std::int32_t FindTriangle(const Vector3& p) const;
  // True with the waypoints in path when a chain of neighbours joins the
  // start's triangle to the goal's. Without triangles the path is left
  // untouched; with no chain it holds the goal alone.
  bool FindPath(const Vector3& start, const Vector3& goal, PathRecord& path) const;
  // The centre of a random triangle; false without triangles or out.
  bool GetRandomPosition(Vector3* out) const;

 private:
  bool IndicesValid() const;
  bool ContainsXZ(const NavTriangle& triangle, const Vector3& p) const;
  std::int32_t FindBoundaryTriangle(const Vector3& p) const;
  void BuildGrid();
  const Vector3& WorldVertex(const NavTriangle& triangle, int corner) const {
    return world_[static_cast<std::size_t>(triangle.vertex[corner % 3])];
  }
  // Empties the path's tables of the last pass, sized for this mesh.
  static void BeginPass(PathRecord& path, std::size_t triangles);
  // Lists a triangle not reached yet in this pass; false when it was.
  static bool Reach(PathRecord& path, std::int32_t triangle, std::int32_t from);
  // The straight line from the start, each triangle at most once: true when
  // it reaches the goal's triangle.
  bool WalkStraight(const Vector3& start, const Vector3& goal, std::int32_t from, std::int32_t to,
                    PathRecord& path) const;
  bool Search(std::int32_t from, std::int32_t to, PathRecord& path) const;
  static void PushChain(PathRecord& path);
  void PushCrossings(PathRecord& path) const;

  std::vector<Vector3> vertices_;
  std::vector<Vector3> world_;
  std::vector<std::int32_t> boundary_;
  std::vector<NavTriangle> triangles_;
  // The triangles' neighbours alone, set by Place: the search reads nothing
  // else of a triangle. A boundary edge leads back to its own triangle,
  // which the search has always reached.
  std::vector<std::array<std::int32_t, 3>> neighbours_;
  NavTriangleGrid grid_;
};

}  // namespace tge

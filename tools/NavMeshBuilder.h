// Builds navigation meshes for tests, benchmarks and the demo: triangles
// from corner lists with each neighbour found across a shared edge, and a
// grid of square cells (two triangles each) with some cells left out as
// walls.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/math/Vector.h"
#include "objects/gameplay/navigation/NavMesh.h"

namespace tge {

struct NavMeshData {
  std::vector<Vector3> vertices;
  std::vector<NavTriangle> triangles;
};

// Triangles over the vertices, each wound so that points inside it count as
// inside, with the neighbours across shared edges.
NavMeshData BuildNavMesh(std::vector<Vector3> vertices, const std::vector<std::array<std::int32_t, 3>>& faces);

// cellsX by cellsZ cells of side cell from the origin at height y; a cell
// for which wall(x, z) is true gets no triangles.
NavMeshData BuildGridNavMesh(int cellsX, int cellsZ, float cell, float y,
                             const std::function<bool(int x, int z)>& wall = {});

}  // namespace tge

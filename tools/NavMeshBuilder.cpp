#include "tools/NavMeshBuilder.h"

#include <algorithm>
#include <map>
#include <utility>

namespace tge {
namespace {

// Positive when the corners run the way the ground test counts as inside.
float Winding(const Vector3& a, const Vector3& b, const Vector3& c) {
  return (b.z - a.z) * (c.x - a.x) - (b.x - a.x) * (c.z - a.z);
}

}  // namespace

NavMeshData BuildNavMesh(std::vector<Vector3> vertices, const std::vector<std::array<std::int32_t, 3>>& faces) {
  NavMeshData mesh{std::move(vertices), {}};
  std::map<std::pair<std::int32_t, std::int32_t>, std::pair<std::int32_t, int>> openEdges;
  for (const auto& face : faces) {
    NavTriangle triangle;
    std::copy(face.begin(), face.end(), triangle.vertex);
    const auto& v = mesh.vertices;
    if (Winding(v[face[0]], v[face[1]], v[face[2]]) < 0) std::swap(triangle.vertex[1], triangle.vertex[2]);
    const auto index = static_cast<std::int32_t>(mesh.triangles.size());
    for (int edge = 0; edge < 3; ++edge) {
      const std::int32_t a = triangle.vertex[edge];
      const std::int32_t b = triangle.vertex[(edge + 1) % 3];
      const auto key = std::minmax(a, b);
      const auto open = openEdges.find(key);
      if (open == openEdges.end()) {
        openEdges.emplace(key, std::make_pair(index, edge));
        continue;
      }
      triangle.neighbour[edge] = open->second.first;
      mesh.triangles[static_cast<std::size_t>(open->second.first)].neighbour[open->second.second] = index;
      openEdges.erase(open);
    }
    mesh.triangles.push_back(triangle);
  }
  return mesh;
}

NavMeshData BuildGridNavMesh(int cellsX, int cellsZ, float cell, float y,
                             const std::function<bool(int x, int z)>& wall) {
  std::vector<Vector3> vertices;
  for (int z = 0; z <= cellsZ; ++z) {
    for (int x = 0; x <= cellsX; ++x) vertices.push_back({static_cast<float>(x) * cell, y, static_cast<float>(z) * cell});
  }
  const auto corner = [cellsX](int x, int z) { return static_cast<std::int32_t>(z * (cellsX + 1) + x); };
  std::vector<std::array<std::int32_t, 3>> faces;
  for (int z = 0; z < cellsZ; ++z) {
    for (int x = 0; x < cellsX; ++x) {
      if (wall && wall(x, z)) continue;
      faces.push_back({corner(x, z), corner(x, z + 1), corner(x + 1, z)});
      faces.push_back({corner(x, z + 1), corner(x + 1, z + 1), corner(x + 1, z)});
    }
  }
  return BuildNavMesh(std::move(vertices), faces);
}

}  // namespace tge

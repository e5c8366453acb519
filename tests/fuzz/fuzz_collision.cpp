// Feeds arbitrary bytes to the collision-geometry reader and checks that every
// mesh it accepts indexes only its own vertices.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "services/resources/CollisionGeometryResource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<tge::CollisionMesh> meshes;
  std::vector<tge::CollisionShape> shapes;
  std::string error;
  if (!tge::CollisionGeometryResource::Parse(data, size, meshes, shapes, error)) return 0;
  for (const tge::CollisionMesh& mesh : meshes) {
    if (mesh.indices.size() % 3 != 0) __builtin_trap();
    for (std::uint32_t index : mesh.indices) {
      if (index >= mesh.vertices.size()) __builtin_trap();
    }
  }
  return 0;
}

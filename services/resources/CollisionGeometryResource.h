// Collision geometry: triangle meshes and primitive shapes that the gameplay
// code turns into physics geometries. Read from its own file, which is
// checked whole before anything is kept: a bad file leaves both lists empty.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/math/Quaternion.h"
#include "core/math/Vector.h"
#include "services/resources/Resource.h"

namespace tge {

struct CollisionMesh {
  std::vector<Vector3> vertices;
  // Three per triangle, each below the vertex count.
  std::vector<std::uint32_t> indices;
  std::uint32_t collideBits = 0;
  std::uint32_t userValue = 0;
};

enum CollisionShapeKind : std::uint32_t {
  kCollisionSphere = 0,   // radius = size.x
  kCollisionBox = 1,
  kCollisionCapsule = 2,  // capped cylinder; radius and length from the size
  // Any other kind is the physics library's infinite plane.
};

struct CollisionShape {
  std::uint32_t kind = 0;
  Vector3 position;
  Quaternion rotation;
  Vector3 size;
  std::uint32_t collideBits = 0;
  std::uint32_t userValue = 0;
};

class CollisionGeometryResource : public Resource {
 public:
  static constexpr int kType = kCollisionGeometryResource;

  CollisionGeometryResource() : Resource(kType) {}

  // 1 at once when anything is loaded. 0, with the reason in the last-error
  // text, when the file is missing or bad.
  int Load() override;
  int Unload() override;

  // Parses a whole collision file; false, with the reason, when it is bad.
  static bool Parse(const std::uint8_t* data, std::size_t size, std::vector<CollisionMesh>& meshes,
                    std::vector<CollisionShape>& shapes, std::string& error);

  const std::vector<CollisionMesh>& GetMeshes() const { return meshes_; }
  const std::vector<CollisionShape>& GetShapes() const { return shapes_; }

 private:
  std::vector<CollisionMesh> meshes_;
  std::vector<CollisionShape> shapes_;
};

// Each loads the resource first; 0, null, a zero vector or the identity
// rotation for a null resource, another type or an index out of range.
std::size_t GetCollisionMeshCount(Resource* geometry);
std::size_t GetCollisionShapeCount(Resource* geometry);
std::size_t GetCollisionMeshVertexCount(Resource* geometry, std::size_t index);
std::size_t GetCollisionMeshIndexCount(Resource* geometry, std::size_t index);
const Vector3* GetCollisionMeshVertices(Resource* geometry, std::size_t index);
const std::uint32_t* GetCollisionMeshIndices(Resource* geometry, std::size_t index);
std::uint32_t GetCollisionMeshCollideBits(Resource* geometry, std::size_t index);
std::uint32_t GetCollisionMeshUserValue(Resource* geometry, std::size_t index);
std::uint32_t GetCollisionShapeKind(Resource* geometry, std::size_t index);
Vector3* GetCollisionShapePosition(Vector3* out, Resource* geometry, std::size_t index);
Quaternion* GetCollisionShapeRotation(Quaternion* out, Resource* geometry, std::size_t index);
Vector3* GetCollisionShapeSize(Vector3* out, Resource* geometry, std::size_t index);
std::uint32_t GetCollisionShapeCollideBits(Resource* geometry, std::size_t index);
std::uint32_t GetCollisionShapeUserValue(Resource* geometry, std::size_t index);

}  // namespace tge

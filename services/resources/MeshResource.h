// A mesh: a list of parts, each with its name, material, optional second
// texture (drawn on stage 1), bounds and flags from the library, and its
// geometry from the mesh file while loaded. Also the two built-in meshes
// and the triangle collection used for collision queries.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/math/Matrix4.h"
#include "core/math/Shapes.h"
#include "services/resources/MeshGeometry.h"
#include "services/resources/Resource.h"

namespace tge {

enum MeshPartFlags : std::uint32_t {
  kMeshPartCollectable = 0x100,  // triangles take part in collision queries
};

struct MeshPart {
  std::string name;
  std::unique_ptr<MeshGeometry> geometry;  // null while unloaded
  Resource* material = nullptr;
  Resource* secondTexture = nullptr;
  Vector3 centre;
  float radius = 0;
  AABox box;
  // 0: the part is not drawn.
  std::uint32_t active = 1;
  std::uint32_t flags = 0;
};

class MeshResource : public Resource {
 public:
  static constexpr int kType = kMeshResource;

  MeshResource() : Resource(kType) {}

  // 1 at once when the first part has geometry, 0 without parts; else the
  // mesh file is read onto the running render device and every part's
  // material and second texture are loaded.
  int Load() override;
  int Unload() override;
  // The part list takes the file's part count; parts already listed keep
  // their library data. Nothing changes when the file is bad.
  int ReadMeshFile(const std::string& path);

  void ForEachCountedReference(const Visitor& visit) override;
  void ForEachDependency(const Visitor& visit) override;

  std::vector<MeshPart> parts;

 protected:
  bool SerializeFields(SerializeStream& stream, const ResourceDatabase& database) override;
};

// One part holding the box or sphere of the platform's mesh builder, with a
// bounding sphere of the first argument as radius; null when the device
// refuses the buffers.
std::unique_ptr<MeshResource> CreateBoxMesh(gfx::Device& device, float width, float height, float depth);
std::unique_ptr<MeshResource> CreateSphereMesh(gfx::Device& device, float radius, std::uint32_t slices,
                                               std::uint32_t stacks);

// Accessors that answer 0, null or zeros for a null mesh, another type or
// a part index out of range.
std::size_t GetMeshPartCount(Resource* mesh);
Sphere GetMeshPartSphere(Resource* mesh, std::size_t part);
AABox GetMeshPartBox(Resource* mesh, std::size_t part);
Resource* GetMeshPartMaterial(Resource* mesh, std::size_t part);
// The only part's box, else the union of all (1e38 / -1e38 without parts).
AABox GetMeshBoundingBox(Resource* mesh);

// A collected triangle's material values and its byte from the file.
struct CollectedTriangle {
  std::uint32_t materialValues[2] = {0, 0};
  std::uint32_t triangleByte = 0;
};

// Triangles of the collectable parts with a vertex strictly inside the
// sphere (centre taken into mesh space by toMesh): nine floats of mesh-space
// positions each into vertices, and a record each into records when given.
// Returns how many were written, at most maximum.
int CollectMeshTriangles(Resource* mesh, const Matrix4& toMesh, const Vector3& centre, float radius,
                         float* vertices, CollectedTriangle* records, int maximum);

}  // namespace tge

#include "services/resources/CollisionGeometryResource.h"

#include <algorithm>

#include "core/files/SerializeStream.h"
#include "services/ErrorMessage.h"

namespace tge {
namespace {

// The fixed part of a stored mesh (five words) and of a stored shape.
constexpr std::uint64_t kMeshHeaderBytes = 20;
constexpr std::uint64_t kShapeBytes = 52;

bool ReadMeshArrays(SerializeStream& stream, CollisionMesh& mesh, std::uint32_t vertexCount,
                    std::uint32_t indexCount, std::string& error) {
  if (indexCount % 3 != 0) {
    error = "index count is not a whole number of triangles";
    return false;
  }
  if (!CountFitsStream(stream, std::uint64_t{vertexCount} * 3 + indexCount, 4)) {
    error = "mesh is larger than the file";
    return false;
  }
  mesh.vertices.resize(vertexCount);
  mesh.indices.resize(indexCount);
  stream.SerializeDwords(mesh.vertices.data(), std::size_t{vertexCount} * 3);
  stream.SerializeDwords(mesh.indices.data(), indexCount);
  const bool inRange = std::all_of(mesh.indices.begin(), mesh.indices.end(),
                                   [vertexCount](std::uint32_t i) { return i < vertexCount; });
  if (!inRange) error = "index beyond the vertices";
  return inRange;
}

bool ReadVersion1(SerializeStream& stream, std::vector<CollisionMesh>& meshes, std::string& error) {
  CollisionMesh mesh;
  std::uint32_t dropped = 0, vertexCount = 0, indexCount = 0;
  stream.SerializeDword(&mesh.userValue);
  stream.SerializeDword(&dropped);
  stream.SerializeDword(&vertexCount);
  stream.SerializeDword(&indexCount);
  mesh.collideBits = 1;
  if (stream.Failed() || !ReadMeshArrays(stream, mesh, vertexCount, indexCount, error)) return false;
  meshes.push_back(std::move(mesh));
  return true;
}

bool ReadMeshes(SerializeStream& stream, std::uint32_t count, std::vector<CollisionMesh>& meshes,
                std::string& error) {
  meshes.resize(count);
  for (CollisionMesh& mesh : meshes) {
    std::uint32_t dropped = 0, vertexCount = 0, indexCount = 0;
    stream.SerializeDword(&dropped);
    stream.SerializeDword(&vertexCount);
    stream.SerializeDword(&indexCount);
    stream.SerializeDword(&mesh.collideBits);
    stream.SerializeDword(&mesh.userValue);
    if (stream.Failed() || !ReadMeshArrays(stream, mesh, vertexCount, indexCount, error)) return false;
  }
  return true;
}

void ReadShapes(SerializeStream& stream, std::uint32_t count, std::vector<CollisionShape>& shapes) {
  shapes.resize(count);
  for (CollisionShape& shape : shapes) {
    stream.SerializeDword(&shape.kind);
    stream.Serialize(shape.position);
    stream.Serialize(shape.rotation);
    stream.Serialize(shape.size);
    stream.SerializeDword(&shape.collideBits);
    stream.SerializeDword(&shape.userValue);
  }
}

bool ReadVersion2(SerializeStream& stream, std::vector<CollisionMesh>& meshes,
                  std::vector<CollisionShape>& shapes, std::string& error) {
  std::uint32_t meshCount = 0, shapeCount = 0;
  stream.SerializeDword(&meshCount);
  stream.SerializeDword(&shapeCount);
  if (!CountFitsStream(stream, std::uint64_t{meshCount} * kMeshHeaderBytes + std::uint64_t{shapeCount} * kShapeBytes,
                       1)) {
    error = "counts beyond the end of the file";
    return false;
  }
  if (!ReadMeshes(stream, meshCount, meshes, error)) return false;
  ReadShapes(stream, shapeCount, shapes);
  return true;
}

}  // namespace

bool CollisionGeometryResource::Parse(const std::uint8_t* data, std::size_t size, std::vector<CollisionMesh>& meshes,
                                      std::vector<CollisionShape>& shapes, std::string& error) {
  SerializeStream stream;
  std::vector<std::uint8_t> copy(data, data + size);
  if (!stream.OpenMemoryBuffer(copy.size(), "rb", copy.data())) {
    error = "cannot read";
    return false;
  }
  std::uint32_t version = 0;
  stream.SerializeDword(&version);
  bool ok = !stream.Failed();
  if (ok && version == 1) ok = ReadVersion1(stream, meshes, error);
  if (ok && version >= 2) ok = ReadVersion2(stream, meshes, shapes, error);
  if (ok && stream.Failed()) ok = false;
  if (!ok && error.empty()) error = "file is truncated";
  return ok;
}

int CollisionGeometryResource::Load() {
  if (!meshes_.empty() || !shapes_.empty()) return 1;
  const std::string path = GetDataPath();
  SerializeStream stream;
  if (!stream.OpenAndLoad(path)) return FormatErrorMessage("Error Opening File: %s", path.c_str());
  std::vector<CollisionMesh> meshes;
  std::vector<CollisionShape> shapes;
  std::string error;
  const auto size = static_cast<std::size_t>(std::max<std::int64_t>(stream.GetSize(), 0));
  if (!Parse(stream.GetBuffer(), size, meshes, shapes, error)) {
    return FormatErrorMessage("Bad collision file %s: %s", path.c_str(), error.c_str());
  }
  meshes_ = std::move(meshes);
  shapes_ = std::move(shapes);
  return 1;
}

int CollisionGeometryResource::Unload() {
  meshes_.clear();
  shapes_.clear();
  return 1;
}

namespace {

const CollisionMesh* MeshAt(Resource* geometry, std::size_t index) {
  auto* g = ResourceCast<CollisionGeometryResource>(geometry);
  if (!g) return nullptr;
  g->Load();
  return index < g->GetMeshes().size() ? &g->GetMeshes()[index] : nullptr;
}

const CollisionShape* ShapeAt(Resource* geometry, std::size_t index) {
  auto* g = ResourceCast<CollisionGeometryResource>(geometry);
  if (!g) return nullptr;
  g->Load();
  return index < g->GetShapes().size() ? &g->GetShapes()[index] : nullptr;
}

}  // namespace

std::size_t GetCollisionMeshCount(Resource* geometry) {
  auto* g = ResourceCast<CollisionGeometryResource>(geometry);
  return g && g->Load() ? g->GetMeshes().size() : 0;
}

std::size_t GetCollisionShapeCount(Resource* geometry) {
  auto* g = ResourceCast<CollisionGeometryResource>(geometry);
  return g && g->Load() ? g->GetShapes().size() : 0;
}

std::size_t GetCollisionMeshVertexCount(Resource* geometry, std::size_t index) {
  const CollisionMesh* mesh = MeshAt(geometry, index);
  return mesh ? mesh->vertices.size() : 0;
}

std::size_t GetCollisionMeshIndexCount(Resource* geometry, std::size_t index) {
  const CollisionMesh* mesh = MeshAt(geometry, index);
  return mesh ? mesh->indices.size() : 0;
}

const Vector3* GetCollisionMeshVertices(Resource* geometry, std::size_t index) {
  const CollisionMesh* mesh = MeshAt(geometry, index);
  return mesh ? mesh->vertices.data() : nullptr;
}

const std::uint32_t* GetCollisionMeshIndices(Resource* geometry, std::size_t index) {
  const CollisionMesh* mesh = MeshAt(geometry, index);
  return mesh ? mesh->indices.data() : nullptr;
}

std::uint32_t GetCollisionMeshCollideBits(Resource* geometry, std::size_t index) {
  const CollisionMesh* mesh = MeshAt(geometry, index);
  return mesh ? mesh->collideBits : 0;
}

std::uint32_t GetCollisionMeshUserValue(Resource* geometry, std::size_t index) {
  const CollisionMesh* mesh = MeshAt(geometry, index);
  return mesh ? mesh->userValue : 0;
}

std::uint32_t GetCollisionShapeKind(Resource* geometry, std::size_t index) {
  const CollisionShape* shape = ShapeAt(geometry, index);
  return shape ? shape->kind : 0;
}

Vector3* GetCollisionShapePosition(Vector3* out, Resource* geometry, std::size_t index) {
  const CollisionShape* shape = ShapeAt(geometry, index);
  *out = shape ? shape->position : Vector3{};
  return out;
}

Quaternion* GetCollisionShapeRotation(Quaternion* out, Resource* geometry, std::size_t index) {
  const CollisionShape* shape = ShapeAt(geometry, index);
  *out = shape ? shape->rotation : Quaternion{};
  return out;
}

Vector3* GetCollisionShapeSize(Vector3* out, Resource* geometry, std::size_t index) {
  const CollisionShape* shape = ShapeAt(geometry, index);
  *out = shape ? shape->size : Vector3{};
  return out;
}

std::uint32_t GetCollisionShapeCollideBits(Resource* geometry, std::size_t index) {
  const CollisionShape* shape = ShapeAt(geometry, index);
  return shape ? shape->collideBits : 0;
}

std::uint32_t GetCollisionShapeUserValue(Resource* geometry, std::size_t index) {
  const CollisionShape* shape = ShapeAt(geometry, index);
  return shape ? shape->userValue : 0;
}

}  // namespace tge

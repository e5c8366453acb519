#include "services/resources/MeshResource.h"

#include <algorithm>
#include <cstring>

#include "core/files/SerializeStream.h"
#include "platform/gfx/Meshes.h"
#include "services/ErrorMessage.h"
#include "services/RenderDevice.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MeshFile.h"

namespace tge {
namespace {

// A stored part: two empty names' length words, the sphere and the box.
constexpr std::uint64_t kMinPartBytes = 48;
constexpr float kNoBound = 1e38f;

MeshPart* FindPart(Resource* mesh, std::size_t part) {
  auto* m = ResourceCast<MeshResource>(mesh);
  return m && part < m->parts.size() ? &m->parts[part] : nullptr;
}

void TakeCollectableFromMaterial(MeshPart& part) {
  const auto* material = ResourceCast<MaterialResource>(part.material);
  if (!material) return;
  part.flags &= ~std::uint32_t{kMeshPartCollectable};
  if (material->flags & kMaterialCollectable) part.flags |= kMeshPartCollectable;
}

AABox BoundsOf(const gfx::MeshData& data) {
  AABox box{{kNoBound, kNoBound, kNoBound}, {-kNoBound, -kNoBound, -kNoBound}};
  const std::size_t floats = data.vertexSize / sizeof(float);
  for (std::size_t i = 0; i + 2 < data.vertices.size(); i += floats) {
    const Vector3 p{data.vertices[i], data.vertices[i + 1], data.vertices[i + 2]};
    box = BoxUnion(box, {p, p});
  }
  return box;
}

bool CopyInto(gfx::Buffer* buffer, const void* source, std::size_t bytes) {
  void* data = nullptr;
  if (!buffer || !gfx::Succeeded(buffer->Lock(0, 0, 0, &data))) return false;
  std::memcpy(data, source, bytes);
  buffer->Unlock();
  return true;
}

std::unique_ptr<MeshResource> MeshFromData(gfx::Device& device, const gfx::MeshData& data, float radius) {
  std::unique_ptr<MeshGeometry> geometry = CreateGeometryBuffers(
      device, data.vertexCount, data.TriangleCount(), data.vertexFormat, data.vertexSize, 0, gfx::kPoolManaged);
  if (!geometry || !CopyInto(geometry->indexBuffer.get(), data.indices.data(), data.indices.size() * 2) ||
      !CopyInto(geometry->vertexBuffer.get(), data.vertices.data(), data.vertices.size() * sizeof(float))) {
    return nullptr;
  }
  auto mesh = std::make_unique<MeshResource>();
  MeshPart& part = mesh->parts.emplace_back();
  part.geometry = std::move(geometry);
  part.radius = radius;
  part.box = BoundsOf(data);
  return mesh;
}

Vector3 PositionOf(const MeshGeometry& geometry, std::uint32_t vertex) {
  Vector3 p;
  std::memcpy(&p, geometry.vertexBuffer->Bytes().data() + std::size_t{vertex} * geometry.vertexSize, sizeof(p));
  return p;
}

std::uint32_t CornerIndex(const MeshGeometry& geometry, std::uint32_t corner) {
  return geometry.indexBuffer ? geometry.indexBuffer->IndexAt(corner) : corner;
}

// The triangles of one part; false once the maximum is reached.
bool CollectPart(const MeshPart& part, const Vector3& centre, float radius, float* vertices,
                 CollectedTriangle* records, int maximum, int& written) {
  const MeshGeometry& g = *part.geometry;
  const std::uint32_t triangles = g.indexBuffer ? g.triangleCount : g.vertexCount / 3;
  const auto* material = ResourceCast<MaterialResource>(part.material);
  for (std::uint32_t t = 0; t < triangles; ++t) {
    Vector3 corners[3];
    for (std::uint32_t k = 0; k < 3; ++k) corners[k] = PositionOf(g, CornerIndex(g, t * 3 + k));
    if (std::none_of(corners, corners + 3, [&](const Vector3& p) { return IsWithinRadius(centre, radius, p); })) {
      continue;
    }
    if (written >= maximum) return false;
    std::memcpy(vertices + std::size_t(written) * 9, corners, sizeof(corners));
    if (records) {
      CollectedTriangle& record = records[written];
      record = CollectedTriangle{};
      if (material) std::copy(material->values, material->values + 2, record.materialValues);
      if (t < g.triangleBytes.size()) record.triangleByte = g.triangleBytes[t];
    }
    ++written;
  }
  return true;
}

}  // namespace

int MeshResource::Load() {
  if (parts.empty()) return 0;
  if (parts.front().geometry) return 1;
  if (!ReadMeshFile(GetDataPath())) return 0;
  for (MeshPart& part : parts) {
    if (part.material) part.material->Load();
    if (part.secondTexture) part.secondTexture->Load();
  }
  return 1;
}

int MeshResource::Unload() {
  for (MeshPart& part : parts) part.geometry.reset();
  return 1;
}

int MeshResource::ReadMeshFile(const std::string& path) {
  RenderDevice* device = GetRenderDevice();
  if (!device) return FormatErrorMessage("Mesh %s: no render device is open", path.c_str());
  SerializeStream stream;
  if (!stream.OpenAndLoad(path)) return FormatErrorMessage("Error Opening File");
  std::vector<std::unique_ptr<MeshGeometry>> geometries;
  if (!tge::ReadMeshFile(stream, path, device->Device(), geometries)) return 0;
  parts.resize(geometries.size());
  for (std::size_t i = 0; i < parts.size(); ++i) parts[i].geometry = std::move(geometries[i]);
  return 1;
}

void MeshResource::ForEachCountedReference(const Visitor& visit) {
  for (const MeshPart& part : parts) {
    if (part.material) visit(*part.material);
  }
}

void MeshResource::ForEachDependency(const Visitor& visit) {
  for (const MeshPart& part : parts) {
    if (part.material) visit(*part.material);
    if (part.secondTexture) visit(*part.secondTexture);
  }
}

bool MeshResource::SerializeFields(SerializeStream& stream, const ResourceDatabase& database) {
  auto count = static_cast<std::uint32_t>(parts.size());
  stream.SerializeDword(&count);
  if (!CountFitsStream(stream, count, kMinPartBytes)) return false;
  parts.resize(count);
  for (MeshPart& part : parts) {
    stream.SerializeString(part.name);
    SerializeResourceName(stream, database, part.material, kMaterialResource, "ReferenceMat");
    stream.Serialize(part.centre);
    stream.SerializeDword(&part.radius);
    stream.Serialize(part.box);
    if (stream.GetVersion() >= 2) stream.SerializeDword(&part.flags);
    if (stream.GetVersion() >= 4) SerializeResourceName(stream, database, part.secondTexture, kTextureResource);
    if (!stream.IsWriting()) TakeCollectableFromMaterial(part);
  }
  return true;
}

std::unique_ptr<MeshResource> CreateBoxMesh(gfx::Device& device, float width, float height, float depth) {
  return MeshFromData(device, gfx::CreateBoxMesh(width, height, depth), width);
}

std::unique_ptr<MeshResource> CreateSphereMesh(gfx::Device& device, float radius, std::uint32_t slices,
                                               std::uint32_t stacks) {
  return MeshFromData(device, gfx::CreateSphereMesh(radius, slices, stacks), radius);
}

std::size_t GetMeshPartCount(Resource* mesh) {
  auto* m = ResourceCast<MeshResource>(mesh);
  return m ? m->parts.size() : 0;
}

Sphere GetMeshPartSphere(Resource* mesh, std::size_t part) {
  const MeshPart* p = FindPart(mesh, part);
  return p ? Sphere{p->centre, p->radius} : Sphere{};
}

AABox GetMeshPartBox(Resource* mesh, std::size_t part) {
  const MeshPart* p = FindPart(mesh, part);
  return p ? p->box : AABox{};
}

Resource* GetMeshPartMaterial(Resource* mesh, std::size_t part) {
  const MeshPart* p = FindPart(mesh, part);
  return p ? p->material : nullptr;
}

AABox GetMeshBoundingBox(Resource* mesh) {
  AABox box{{kNoBound, kNoBound, kNoBound}, {-kNoBound, -kNoBound, -kNoBound}};
  auto* m = ResourceCast<MeshResource>(mesh);
  if (!m) return box;
  for (const MeshPart& part : m->parts) box = BoxUnion(box, part.box);
  return box;
}

int CollectMeshTriangles(Resource* mesh, const Matrix4& toMesh, const Vector3& centre, float radius,
                         float* vertices, CollectedTriangle* records, int maximum) {
  auto* m = ResourceCast<MeshResource>(mesh);
  if (!m || !vertices || maximum <= 0) return 0;
  Vector3 local;
  Vector3TransformCoord(local, centre, toMesh);
  int written = 0;
  for (const MeshPart& part : m->parts) {
    if (!(part.flags & kMeshPartCollectable) || !part.geometry || !part.geometry->vertexBuffer) continue;
    if (!IsWithinRadius(part.centre, part.radius + radius, local)) continue;
    if (!CollectPart(part, local, radius, vertices, records, maximum, written)) break;
  }
  return written;
}

}  // namespace tge

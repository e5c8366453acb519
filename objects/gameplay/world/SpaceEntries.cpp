// A Space's collision and mesh entries: resolving their resources by name,
// handing them to a resource pass, and the physics geometries of the
// collision entries. Entries are held by pointer so that the records the
// geometries point back at never move.
//
// Collision geometry is level geometry in world coordinates: its triangle
// meshes stay where the file puts them and its shapes are placed at their
// own positions. A geometry's collide bits come from the file; its category
// bits are all set, so a geometry meets the level when its collide bits ask
// for anything or its category meets the level's collide bits. The file's
// user value becomes the record's material id.
#include <algorithm>
#include <vector>

#include "objects/gameplay/physics/PhysicsGeometry.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/physics/PhysicsShape.h"
#include "objects/gameplay/world/Space.h"
#include "objects/scene/Mesh.h"
#include "services/EngineServices.h"
#include "services/resources/CollisionGeometryResource.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr std::uint32_t kAllCategories = ~0u;
constexpr int kMaterialShift = 16;

template <class Entry>
bool HasName(const std::vector<std::unique_ptr<Entry>>& entries, const std::string& name) {
  return std::any_of(entries.begin(), entries.end(), [&name](const auto& entry) { return entry->name == name; });
}

template <class Entry>
Entry* EntryAt(const std::vector<std::unique_ptr<Entry>>& entries, int index) {
  return static_cast<std::size_t>(index) < entries.size() ? entries[static_cast<std::size_t>(index)].get() : nullptr;
}

template <class Entry>
void Resolve(Entry& entry, int type) {
  EngineServices* services = GetEngineServices();
  if (!entry.resource && services != nullptr) entry.resource = services->GetResources().AcquireResource(entry.name, type);
}

std::unique_ptr<GeometryRecord> NewRecord(Object& owner, std::uint32_t collideBits, std::uint32_t userValue) {
  auto record = std::make_unique<GeometryRecord>();
  record->owner = &owner;
  record->info = userValue << kMaterialShift;
  record->collisionBits = collideBits;
  record->categoryBits = kAllCategories;
  return record;
}

dGeomID CreateMeshGeometry(dSpaceID space, Resource* resource, std::size_t mesh) {
  const Vector3* vertices = GetCollisionMeshVertices(resource, mesh);
  const std::uint32_t* indices = GetCollisionMeshIndices(resource, mesh);
  const std::size_t vertexCount = GetCollisionMeshVertexCount(resource, mesh);
  const std::size_t indexCount = GetCollisionMeshIndexCount(resource, mesh);
  std::vector<float> points;
  points.reserve(vertexCount * 3);
  for (std::size_t i = 0; i < vertexCount; ++i) points.insert(points.end(), {vertices[i].x, vertices[i].y, vertices[i].z});
  const std::vector<int> triangles(indices, indices + indexCount);
  return CreateTriMeshGeom(space, points.data(), static_cast<int>(vertexCount), triangles.data(),
                           static_cast<int>(indexCount));
}

// A shape's record describes it the way an object's geometry record does.
dGeomID CreateShapeGeometry(dSpaceID space, Resource* resource, std::size_t shape, GeometryRecord& record) {
  record.info |= std::min<std::uint32_t>(GetCollisionShapeKind(resource, shape), kGeometryCCylinder + 1);
  GetCollisionShapePosition(&record.position, resource, shape);
  GetCollisionShapeRotation(&record.rotation, resource, shape);
  GetCollisionShapeSize(&record.dimension, resource, shape);
  dGeomID geometry = CreateRecordShape(space, record);
  if (geometry != nullptr && !IsPlaneRecord(record)) {
    SetGeomPosition(geometry, record.position);
    SetGeomRotation(geometry, record.rotation);
  }
  return geometry;
}

}  // namespace

SpaceCollisionEntry* Space::GetCollisionEntry(int index) const { return EntryAt(collisionEntries_, index); }

SpaceMeshEntry* Space::GetMeshEntry(int index) const { return EntryAt(meshEntries_, index); }

bool Space::AddCollisionEntry(const std::string& name) {
  if (HasName(collisionEntries_, name)) return false;
  collisionEntries_.push_back(std::make_unique<SpaceCollisionEntry>());
  collisionEntries_.back()->name = name;
  return true;
}

bool Space::AddMeshEntry(const std::string& name) {
  if (HasName(meshEntries_, name)) return false;
  meshEntries_.push_back(std::make_unique<SpaceMeshEntry>());
  meshEntries_.back()->name = name;
  return true;
}

void Space::LinkMesh(Mesh& mesh) {
  if (!mesh.IsCollectable()) return;
  const bool linked = std::any_of(meshLinks_.begin(), meshLinks_.end(),
                                  [&mesh](const ObjectRef<Mesh>& link) { return link == &mesh; });
  if (!linked) meshLinks_.insert(meshLinks_.begin(), ObjectRef<Mesh>(&mesh));
}

void Space::ResolveCollisionEntries() {
  for (auto& entry : collisionEntries_) Resolve(*entry, kCollisionGeometryResource);
}

void Space::CollectResources(void* block) {
  auto* set = static_cast<ResourceSet*>(block);
  for (auto& entry : collisionEntries_) {
    Resolve(*entry, kCollisionGeometryResource);
    set->AddToResourceSet(entry->resource.Get());
  }
  for (auto& entry : meshEntries_) {
    Resolve(*entry, kMeshResource);
    set->AddToResourceSet(entry->resource.Get());
  }
}

bool Space::BuildCollisionGeometries() {
  if (collisionSpace_ == nullptr) return false;
  for (auto& entry : collisionEntries_) {
    if (entry->resource && entry->geometries.empty()) BuildEntryGeometries(*entry);
  }
  return true;
}

// A mesh or shape the physics wrapper refuses is left out; the rest of the
// entry still collides.
void Space::BuildEntryGeometries(SpaceCollisionEntry& entry) {
  Resource* resource = entry.resource.Get();
  dSpaceID space = ToOde(collisionSpace_);
  const auto keep = [&entry](dGeomID geometry, std::unique_ptr<GeometryRecord> record) {
    if (geometry == nullptr) return;
    record->geometry = ToPhysicsGeom(geometry);
    SetGeomData(geometry, record.get());
    SetGeomCollideBits(geometry, record->collisionBits);
    SetGeomCategoryBits(geometry, record->categoryBits);
    entry.geometries.push_back(std::move(record));
  };
  for (std::size_t mesh = 0; mesh < GetCollisionMeshCount(resource); ++mesh) {
    auto record = NewRecord(*this, GetCollisionMeshCollideBits(resource, mesh), GetCollisionMeshUserValue(resource, mesh));
    keep(CreateMeshGeometry(space, resource, mesh), std::move(record));
  }
  for (std::size_t shape = 0; shape < GetCollisionShapeCount(resource); ++shape) {
    auto record = NewRecord(*this, GetCollisionShapeCollideBits(resource, shape), GetCollisionShapeUserValue(resource, shape));
    dGeomID geometry = CreateShapeGeometry(space, resource, shape, *record);
    keep(geometry, std::move(record));
  }
}

void Space::ReleaseEntryGeometries(SpaceCollisionEntry& entry) {
  for (auto& record : entry.geometries) {
    if (record->geometry != nullptr) DestroyGeom(ToOde(record->geometry));
  }
  entry.geometries.clear();
}

void Space::ReleaseCollisionGeometries() {
  for (auto& entry : collisionEntries_) ReleaseEntryGeometries(*entry);
}

}  // namespace tge

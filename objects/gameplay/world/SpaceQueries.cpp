// Queries that walk the Space graph: the nearest hit of a ray, the objects a
// sphere touches, the triangles of the cell's meshes near a point, the
// connection between two cells and the cell's box from its meshes.
//
// The ray, its space and the query sphere are made on the first query and
// reused (ReleaseSpaceQueries frees them); all queries run on the main
// thread.
#include <algorithm>
#include <vector>

#include "core/ClassIds.h"
#include "core/World.h"
#include "core/math/Matrix4.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "objects/gameplay/physics/PhysicsConvert.h"
#include "objects/gameplay/physics/PhysicsGeometry.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/physics/PhysicsSpace.h"
#include "objects/gameplay/world/Space.h"
#include "objects/scene/Mesh.h"
#include "services/resources/MeshResource.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr float kFar = 1e38f;
constexpr float kBoxMargin = 0.025f;
// The mask of queries about the level alone: the World's own space, where
// moving objects live, is left out.
constexpr unsigned kLevelOnlyMask = 1;

struct RayQueryState {
  dSpaceID space = nullptr;
  dGeomID ray = nullptr;
  GeometryRecord record;
  dReal nearest = kFar;
  bool hit = false;
  int includeEventOnly = 0;
  // The querying object whose own geometries the ray passes through.
  const Object* skipped = nullptr;
  SpaceRayHit* out = nullptr;
};

struct SphereQueryState {
  dGeomID sphere = nullptr;
  std::vector<Object*>* result = nullptr;
};

RayQueryState& RayState() {
  static RayQueryState state;
  return state;
}

SphereQueryState& SphereState() {
  static SphereQueryState state;
  return state;
}

dGeomID AsGeom(PhysicsSpace* space) { return reinterpret_cast<dGeomID>(ToOde(space)); }

// An owner asked about the hit may turn it down; event-only geometries
// count only when the caller asked for them.
bool AcceptsRayHit(RayQueryState& state, GeometryRecord* target, ContactParameters& contact, int count) {
  if (target == nullptr || (target->info & (kGeometryCallback | kGeometryEventOnly)) == 0) return true;
  if (target->owner != nullptr && target->owner->HandleContact(target, &state.record, &contact, count) == kContactDrop) {
    return false;
  }
  return state.includeEventOnly != 0 || (target->info & kGeometryEventOnly) == 0;
}

// The hit names the geometry struck, whichever order the pair came in.
void RayQueryNearCallback(void* data, dGeomID a, dGeomID b) {
  if (IsGeomSpace(a) || IsGeomSpace(b)) {
    CollideSpaces(a, b, data, RayQueryNearCallback);
    return;
  }
  auto& state = *static_cast<RayQueryState*>(data);
  dGeomID target = a == state.ray ? b : a;
  ContactParameters contact{};
  const int count = CollideGeoms(target, state.ray, 1, &contact.geom, sizeof(ContactParameters));
  if (count <= 0) return;
  GeometryRecord* record = GetGeomData(target);
  if (record != nullptr && state.skipped != nullptr && record->owner == state.skipped) return;
  if (!AcceptsRayHit(state, record, contact, count) || !(contact.geom.depth < state.nearest)) return;
  state.nearest = contact.geom.depth;
  state.out->record = record;
  const Vector3 normal = physics::FromOde(contact.geom.normal);
  state.out->normal = {-normal.x, -normal.y, -normal.z};
  state.out->position = physics::FromOde(contact.geom.pos);
  state.hit = true;
}

void SphereQueryNearCallback(void* data, dGeomID a, dGeomID b) {
  if (IsGeomSpace(a) || IsGeomSpace(b)) {
    CollideSpaces(a, b, data, SphereQueryNearCallback);
    return;
  }
  auto& state = *static_cast<SphereQueryState*>(data);
  dContactGeom contact{};
  if (CollideGeoms(a, b, 1, &contact, sizeof(contact)) <= 0) return;
  GeometryRecord* record = GetGeomData(a == state.sphere ? b : a);
  if (record != nullptr && record->owner != nullptr) state.result->push_back(record->owner);
}

void CollideRay(PhysicsSpace* space) {
  if (space != nullptr) CollideSpaces(AsGeom(space), reinterpret_cast<dGeomID>(RayState().space), &RayState(), RayQueryNearCallback);
}

PhysicsSpace* WorldCollisionSpace(const Object& object) {
  World* world = object.GetWorld();
  return World::IsLive(world) ? world->GetCollisionSpace() : nullptr;
}

void Grow(AABox& box, const Vector3& point) {
  box.min = {std::min(box.min.x, point.x), std::min(box.min.y, point.y), std::min(box.min.z, point.z)};
  box.max = {std::max(box.max.x, point.x), std::max(box.max.y, point.y), std::max(box.max.z, point.z)};
}

AABox EmptyBox() { return {{kFar, kFar, kFar}, {-kFar, -kFar, -kFar}}; }

}  // namespace

void ReleaseSpaceQueries() {
  RayQueryState& ray = RayState();
  if (ray.ray != nullptr) DestroyGeom(ray.ray);
  DestroySpace(ray.space);
  ray = RayQueryState{};
  SphereQueryState& sphere = SphereState();
  if (sphere.sphere != nullptr) DestroyGeom(sphere.sphere);
  sphere = SphereQueryState{};
}

// The ray only tests geometries whose collide bits meet the mask: its own
// collide bits are 0 and its category bits are the mask.
int Space::RayQuery(Object* object, const Vector3& from, const Vector3& to, unsigned mask, SpaceRayHit* out,
                    int includeEventOnly, bool skipOwn) {
  const Space* space = this;
  while (space->IsInherit() && space->GetParentSpace() != nullptr) {
    space = space->GetParentSpace();
    includeEventOnly = 0;
  }
  if (space->collisionSpace_ == nullptr || out == nullptr) return 0;
  RayQueryState& state = RayState();
  if (state.space == nullptr) {
    state.space = CreateSimpleSpace(nullptr);
    state.ray = CreateRayGeom(state.space, 1);
    SetGeomData(state.ray, &state.record);
  }
  SetRayGeom(state.ray, from, to);
  SetGeomCategoryBits(state.ray, mask);
  SetGeomCollideBits(state.ray, 0);
  state.record.owner = object;
  state.record.categoryBits = mask;
  state.record.info = kGeometryEventOnly;
  state.hit = false;
  state.nearest = kFar;
  state.out = out;
  state.includeEventOnly = includeEventOnly;
  state.skipped = skipOwn ? object : nullptr;

  CollideRay(space->collisionSpace_);
  for (int i = 0; i < space->GetConnectedCount(); ++i) {
    const Space* neighbour = space->GetConnectedSpace(i);
    if (neighbour == nullptr) continue;
    CollideRay(neighbour->GetCollisionSpace());
    if (!neighbour->IsConnectionOpen()) continue;
    for (int j = 0; j < neighbour->GetConnectedCount(); ++j) {
      const Space* across = neighbour->GetConnectedSpace(j);
      if (across != nullptr && across != space) CollideRay(across->GetCollisionSpace());
    }
  }
  if (mask != kLevelOnlyMask) CollideRay(WorldCollisionSpace(*this));
  state.out = nullptr;
  return state.hit ? 1 : 0;
}

int Space::QuerySphere(const Vector3& centre, float radius, unsigned mask, std::vector<Object*>& result) {
  SphereQueryState& state = SphereState();
  if (state.sphere == nullptr) {
    state.sphere = CreateSphereGeom(nullptr, 1);
    SetGeomCollideBits(state.sphere, 0);
  }
  SetSphereGeomRadius(state.sphere, radius);
  SetGeomPosition(state.sphere, centre);
  SetGeomCategoryBits(state.sphere, mask);
  state.result = &result;
  if (PhysicsSpace* space = GetCollisionSpace()) CollideSpaces(AsGeom(space), state.sphere, &state, SphereQueryNearCallback);
  PhysicsSpace* worldSpace = WorldCollisionSpace(*this);
  if (mask != kLevelOnlyMask && worldSpace != nullptr) {
    CollideSpaces(AsGeom(worldSpace), state.sphere, &state, SphereQueryNearCallback);
  }
  state.result = nullptr;
  return static_cast<int>(result.size());
}

// Meshes in mesh space are collected with the sphere taken into it, then
// carried back out.
unsigned Space::CollectMeshSetTriangles(std::span<Resource* const> meshes, const Matrix4& world,
                                        const Vector3& centre, float radius, Vector3* points,
                                        CollectedTriangle* info, unsigned maxTriangles) {
  static std::vector<float> corners;
  Matrix4 toMesh;
  Matrix4Inverse(toMesh, nullptr, world);
  unsigned n = 0;
  for (Resource* mesh : meshes) {
    if (n >= maxTriangles) break;
    if (mesh == nullptr) continue;
    corners.resize(static_cast<std::size_t>(maxTriangles - n) * 9);
    const int k = CollectMeshTriangles(mesh, toMesh, centre, radius, corners.data(),
                                       info != nullptr ? info + n : nullptr, static_cast<int>(maxTriangles - n));
    for (int i = 0; i < k * 3; ++i) {
      const Vector3 corner{corners[static_cast<std::size_t>(i) * 3], corners[static_cast<std::size_t>(i) * 3 + 1],
                           corners[static_cast<std::size_t>(i) * 3 + 2]};
      Vector3TransformCoord(points[n * 3 + static_cast<unsigned>(i)], corner, world);
    }
    n += static_cast<unsigned>(std::max(k, 0));
  }
  return n;
}

// The linked Mesh objects first, newest link first, then the cell's own
// mesh entries. A mesh that has since moved to another cell is left out.
int Space::CollectOwnTriangles(const Vector3& centre, float radius, Vector3* points, CollectedTriangle* info,
                               unsigned maxTriangles) {
  std::vector<Resource*> meshes;
  unsigned n = 0;
  for (const ObjectRef<Mesh>& link : meshLinks_) {
    Mesh* mesh = link.Get();
    if (mesh == nullptr || mesh->GetSpace() != this) continue;
    meshes.clear();
    for (int i = 0; i < mesh->GetMeshCount(); ++i) meshes.push_back(mesh->GetMeshResource(i));
    n += CollectMeshSetTriangles(meshes, mesh->GetWorldMatrix(), centre, radius, points + n * 3,
                                 info != nullptr ? info + n : nullptr, maxTriangles - n);
  }
  meshes.clear();
  for (const auto& entry : meshEntries_) meshes.push_back(entry->resource.Get());
  n += CollectMeshSetTriangles(meshes, GetWorldMatrix(), centre, radius, points + n * 3,
                               info != nullptr ? info + n : nullptr, maxTriangles - n);
  return static_cast<int>(n);
}

int Space::CollectTriangles(const Vector3& centre, float radius, Vector3* points, Vector3* normals, AABox* boxes,
                            CollectedTriangle* info, std::uint32_t* orSecond, std::uint32_t* orFirst,
                            unsigned maxTriangles, int followConnections) {
  if (points == nullptr) return 0;
  unsigned n = 0;
  if (IsInherit() && GetParentSpace() != nullptr) {
    n = static_cast<unsigned>(GetParentSpace()->CollectTriangles(centre, radius, points, normals, boxes, info,
                                                                 orSecond, orFirst, maxTriangles, followConnections));
  } else {
    n = static_cast<unsigned>(CollectOwnTriangles(centre, radius, points, info, maxTriangles));
    for (unsigned t = 0; t < n; ++t) {
      const Vector3* p = points + t * 3;
      if (normals != nullptr) {
        Vector3 edge0, edge1, cross;
        Vector3Cross(cross, Vector3Subtract(edge0, p[1], p[0]), Vector3Subtract(edge1, p[2], p[1]));
        Vector3Normalize(normals[t], cross);
      }
      if (boxes != nullptr) {
        boxes[t] = EmptyBox();
        for (int c = 0; c < 3; ++c) Grow(boxes[t], p[c]);
      }
      if (info != nullptr && orFirst != nullptr) *orFirst |= info[t].materialValues[0];
      if (info != nullptr && orSecond != nullptr) *orSecond |= info[t].materialValues[1];
    }
  }
  if (followConnections == 0) return static_cast<int>(n);
  // Only a connection between exactly two rooms leads across; any other
  // connection the sphere touches ends the walk.
  for (int i = 0; i < GetConnectedCount() && n < maxTriangles; ++i) {
    Space* connection = GetConnectedSpace(i);
    if (connection == nullptr ||
        !SphereBoxCollide(connection->worldBox_.min, connection->worldBox_.max, centre, radius, nullptr, nullptr)) {
      continue;
    }
    if (connection->GetConnectedCount() != 2) break;
    Space* across = connection->GetConnectedSpace(0) != this ? connection->GetConnectedSpace(0)
                                                             : connection->GetConnectedSpace(1);
    if (across == nullptr || across == this) continue;
    n += static_cast<unsigned>(across->CollectTriangles(
        centre, radius, points + n * 3, normals ? normals + n : nullptr, boxes ? boxes + n : nullptr,
        info ? info + n : nullptr, orSecond, orFirst, maxTriangles - n, 0));
  }
  return static_cast<int>(n);
}

Space* Space::FindConnection(Space* other) {
  if (other == this) return nullptr;
  if (GetConnectedCount() == 1 && innerSpaces_.empty()) return GetConnectedSpace(0);
  return SearchConnection(other);
}

Space* Space::SearchConnection(const Space* other) const {
  for (int i = 0; i < GetConnectedCount(); ++i) {
    Space* connection = GetConnectedSpace(i);
    if (connection == nullptr || connection->GetConnectedCount() != 2) continue;
    const Space* first = connection->GetConnectedSpace(0);
    const Space* second = connection->GetConnectedSpace(1);
    if ((first == this && second == other) || (first == other && second == this)) return connection;
  }
  for (int i = 0; i < GetInnerSpaceCount(); ++i) {
    const Space* inner = GetInnerSpace(i);
    if (Space* found = inner != nullptr ? inner->SearchConnection(other) : nullptr) return found;
  }
  return nullptr;
}

namespace {

// Grows box by each mesh's box carried by world; false when none had parts.
bool GrowByMeshes(AABox& box, std::span<Resource* const> meshes, const Matrix4& world) {
  bool grown = false;
  for (Resource* mesh : meshes) {
    if (mesh == nullptr || GetMeshPartCount(mesh) == 0) continue;
    AABox meshBox = GetMeshBoundingBox(mesh);
    AABoxTransform(meshBox, meshBox, world);
    Grow(box, meshBox.min);
    Grow(box, meshBox.max);
    grown = true;
  }
  return grown;
}

}  // namespace

// The cell's own mesh entries and the Mesh objects below it, leaving out
// inner Spaces with everything under them.
void Space::CalculateSpaceBox() {
  const Matrix4 world = GetWorldMatrix();
  AABox box = EmptyBox();
  std::vector<Resource*> meshes;
  for (const auto& entry : meshEntries_) meshes.push_back(entry->resource.Get());
  bool grown = GrowByMeshes(box, meshes, world);
  std::vector<Object*> meshObjects;
  CollectDescendants(meshObjects, kClassMesh, kClassSpace);
  for (Object* object : meshObjects) {
    auto& mesh = static_cast<Mesh&>(*object);
    meshes.clear();
    for (int i = 0; i < mesh.GetMeshCount(); ++i) meshes.push_back(mesh.GetMeshResource(i));
    grown = GrowByMeshes(box, meshes, mesh.GetWorldMatrix()) || grown;
  }
  if (!grown) return;
  const Vector3 margin{kBoxMargin, kBoxMargin, kBoxMargin};
  Vector3Subtract(box.min, box.min, margin);
  Vector3Add(box.max, box.max, margin);
  Matrix4 toCell;
  Matrix4Inverse(toCell, nullptr, world);
  AABoxTransform(localBox_, box, toCell);
}

}  // namespace tge

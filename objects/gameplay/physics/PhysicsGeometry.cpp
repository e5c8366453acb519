#include "objects/gameplay/physics/PhysicsGeometry.h"

#include <memory>
#include <unordered_map>
#include <vector>

#include "objects/gameplay/physics/PhysicsConvert.h"
#include "objects/gameplay/physics/PhysicsLibrary.h"
#include "objects/gameplay/physics/PhysicsPlacement.h"

namespace tge {
namespace {

using physics::IsFinite;

// Sizes below zero (or not finite) abort the library; they become 0.
dReal Size(const char* operation, float value) {
  if (std::isfinite(value) && value >= 0) return value;
  ReportPhysicsError(operation, "a size is negative or not finite; 0 is used");
  return 0;
}

Vector3 Sizes(const char* operation, const Vector3& v) {
  return {static_cast<float>(Size(operation, v.x)), static_cast<float>(Size(operation, v.y)),
          static_cast<float>(Size(operation, v.z))};
}

// The library reads a triangle mesh's arrays for as long as the mesh lives.
struct TriMeshStore {
  std::vector<float> vertices;
  std::vector<dTriIndex> indices;
  dTriMeshDataID data = nullptr;
  ~TriMeshStore() { dGeomTriMeshDataDestroy(data); }
};

std::unordered_map<dGeomID, std::unique_ptr<TriMeshStore>>& TriMeshes() {
  static std::unordered_map<dGeomID, std::unique_ptr<TriMeshStore>> meshes;
  return meshes;
}

bool AreTriMeshArraysValid(const float* vertices, int vertexCount, const int* indices,
                           int indexCount) {
  if (!vertices || !indices || vertexCount <= 0 || indexCount <= 0 || indexCount % 3 != 0) {
    return false;
  }
  for (int i = 0; i < indexCount; ++i) {
    if (indices[i] < 0 || indices[i] >= vertexCount) return false;
  }
  return true;
}

}  // namespace

dGeomID CreateSphereGeom(dSpaceID space, float radius) {
  InitPhysics();
  return dCreateSphere(space, Size("CreateSphereGeom", radius));
}

dGeomID CreateBoxGeom(dSpaceID space, const Vector3& lengths) {
  InitPhysics();
  const Vector3 size = Sizes("CreateBoxGeom", lengths);
  return dCreateBox(space, size.x, size.y, size.z);
}

dGeomID CreateCCylinderGeom(dSpaceID space, float radius, float length) {
  InitPhysics();
  return dCreateCapsule(space, Size("CreateCCylinderGeom", radius),
                        Size("CreateCCylinderGeom", length));
}

dGeomID CreatePlaneGeom(dSpaceID space, float a, float b, float c, float d) {
  InitPhysics();
  if (!physics::IsUsableDirection({a, b, c}) || !std::isfinite(d)) {
    ReportPhysicsError("CreatePlaneGeom", "the normal is zero or not finite");
    return nullptr;
  }
  return dCreatePlane(space, a, b, c, d);
}

dGeomID CreateRayGeom(dSpaceID space, float length) {
  InitPhysics();
  dGeomID ray = dCreateRay(space, Size("CreateRayGeom", length));
  dGeomRaySetClosestHit(ray, 1);
  return ray;
}

dGeomID CreateTriMeshGeom(dSpaceID space, const float* vertices, int vertexCount,
                          const int* indices, int indexCount) {
  InitPhysics();
  if (!AreTriMeshArraysValid(vertices, vertexCount, indices, indexCount)) {
    ReportPhysicsError("CreateTriMeshGeom", "empty arrays, a partial triangle or an index "
                                            "outside the vertices");
    return nullptr;
  }
  auto store = std::make_unique<TriMeshStore>();
  store->vertices.assign(vertices, vertices + vertexCount * 3);
  store->indices.assign(indices, indices + indexCount);
  store->data = dGeomTriMeshDataCreate();
  dGeomTriMeshDataBuildSingle(store->data, store->vertices.data(), 3 * sizeof(float), vertexCount,
                              store->indices.data(), indexCount, 3 * sizeof(dTriIndex));
  dGeomID mesh = dCreateTriMesh(space, store->data, nullptr, nullptr, nullptr);
  TriMeshes().emplace(mesh, std::move(store));
  return mesh;
}

void DestroyGeom(dGeomID geometry) {
  if (!geometry) return;
  dGeomDestroy(geometry);
  TriMeshes().erase(geometry);
}

void SetGeomBody(dGeomID geometry, dBodyID body) {
  if (physics::IsPlaceable("SetGeomBody", geometry)) dGeomSetBody(geometry, body);
}

dBodyID GetGeomBody(dGeomID geometry) { return geometry ? dGeomGetBody(geometry) : nullptr; }

void EnableGeom(dGeomID geometry, int enable) {
  if (!geometry) return;
  if (enable) {
    dGeomEnable(geometry);
  } else {
    dGeomDisable(geometry);
  }
}

int IsGeomEnabled(dGeomID geometry) { return geometry ? dGeomIsEnabled(geometry) : 0; }

int IsGeomSpace(dGeomID geometry) { return geometry ? dGeomIsSpace(geometry) : 0; }

void SetSphereGeomRadius(dGeomID geometry, float radius) {
  if (physics::IsOfClass("SetSphereGeomRadius", geometry, dSphereClass)) {
    dGeomSphereSetRadius(geometry, Size("SetSphereGeomRadius", radius));
  }
}

void SetBoxGeomLengths(dGeomID geometry, const Vector3& lengths) {
  if (!physics::IsOfClass("SetBoxGeomLengths", geometry, dBoxClass)) return;
  const Vector3 size = Sizes("SetBoxGeomLengths", lengths);
  dGeomBoxSetLengths(geometry, size.x, size.y, size.z);
}

void SetCCylinderGeomParams(dGeomID geometry, float radius, float length) {
  if (physics::IsOfClass("SetCCylinderGeomParams", geometry, dCapsuleClass)) {
    dGeomCapsuleSetParams(geometry, Size("SetCCylinderGeomParams", radius),
                          Size("SetCCylinderGeomParams", length));
  }
}

// A ray from a point to the same point keeps its old direction with length 0,
// which the collide operation treats as hitting nothing.
void SetRayGeom(dGeomID ray, const Vector3& from, const Vector3& to) {
  if (!physics::IsOfClass("SetRayGeom", ray, dRayClass)) return;
  if (!IsFinite(from) || !IsFinite(to)) {
    ReportPhysicsError("SetRayGeom", "a point is not finite");
    return;
  }
  Vector3 direction;
  Vector3Subtract(direction, to, from);
  if (!physics::IsUsableDirection(direction)) {
    dGeomSetPosition(ray, from.x, from.y, from.z);
    dGeomRaySetLength(ray, 0);
    return;
  }
  dGeomRaySet(ray, from.x, from.y, from.z, direction.x, direction.y, direction.z);
  dGeomRaySetLength(ray, Vector3Length(direction));
}

void SetGeomPosition(dGeomID geometry, const Vector3& position) {
  if (!physics::IsPlaceable("SetGeomPosition", geometry)) return;
  if (!IsFinite(position)) {
    ReportPhysicsError("SetGeomPosition", "the position is not finite");
    return;
  }
  dGeomSetPosition(geometry, position.x, position.y, position.z);
}

void SetGeomRotation(dGeomID geometry, const Quaternion& rotation) {
  if (!physics::IsPlaceable("SetGeomRotation", geometry)) return;
  if (!physics::IsUsableRotation(rotation)) {
    ReportPhysicsError("SetGeomRotation", "the rotation is zero or not finite");
    return;
  }
  dQuaternion q;
  physics::ToOdeRotation(rotation, q);
  dGeomSetQuaternion(geometry, q);
}

void SetGeomData(dGeomID geometry, GeometryRecord* record) {
  if (geometry) dGeomSetData(geometry, record);
}

GeometryRecord* GetGeomData(dGeomID geometry) {
  return geometry ? static_cast<GeometryRecord*>(dGeomGetData(geometry)) : nullptr;
}

void SetGeomCollideBits(dGeomID geometry, unsigned bits) {
  if (geometry) dGeomSetCollideBits(geometry, bits);
}

void SetGeomCategoryBits(dGeomID geometry, unsigned bits) {
  if (geometry) dGeomSetCategoryBits(geometry, bits);
}

void GetGeomAABB(dGeomID geometry, Vector3* min, Vector3* max) {
  dReal box[6] = {};
  if (geometry) dGeomGetAABB(geometry, box);
  *min = {static_cast<float>(box[0]), static_cast<float>(box[2]), static_cast<float>(box[4])};
  *max = {static_cast<float>(box[1]), static_cast<float>(box[3]), static_cast<float>(box[5])};
}

int GeomAABBsOverlap(dGeomID a, dGeomID b) {
  Vector3 minA, maxA, minB, maxB;
  GetGeomAABB(a, &minA, &maxA);
  GetGeomAABB(b, &minB, &maxB);
  const bool apart = minA.x > maxB.x || maxA.x < minB.x || minA.y > maxB.y || maxA.y < minB.y ||
                     minA.z > maxB.z || maxA.z < minB.z;
  return apart ? 0 : 1;
}

}  // namespace tge

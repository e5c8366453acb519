#include "engine/ObjectPhysicsBuilder.h"

#include <algorithm>
#include <cmath>

#include "core/Object.h"
#include "core/World.h"
#include "objects/gameplay/physics/PhysicsBody.h"
#include "objects/gameplay/physics/PhysicsGeometry.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/physics/PhysicsMass.h"
#include "objects/gameplay/physics/PhysicsSpace.h"
#include "objects/gameplay/physics/PhysicsWorld.h"

namespace tge {
namespace {

constexpr float kAutoDisableThreshold = 0.5f;
constexpr float kAutoDisableSeconds = 1.0f;

bool IsPlane(const GeometryRecord& record) { return record.Shape() > kGeometryCCylinder; }

// A plane through the record's position with the record's dimension as its
// normal.
dGeomID CreatePlane(dSpaceID space, const GeometryRecord& record) {
  const Vector3& n = record.dimension;
  const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  if (!(length > 0)) return nullptr;
  const Vector3 unit{n.x / length, n.y / length, n.z / length};
  const Vector3& p = record.position;
  return CreatePlaneGeom(space, unit.x, unit.y, unit.z, unit.x * p.x + unit.y * p.y + unit.z * p.z);
}

dGeomID CreateShape(dSpaceID space, const GeometryRecord& record) {
  switch (record.Shape()) {
    case kGeometrySphere:
      return CreateSphereGeom(space, record.dimension.x);
    case kGeometryBox:
      return CreateBoxGeom(space, record.dimension);
    case kGeometryCCylinder:
      return CreateCCylinderGeom(space, record.dimension.x, record.dimension.y);
    default:
      return CreatePlane(space, record);
  }
}

// The geometry the rest of the world sees: the shape, or the transform
// holding it at the record's offset.
dGeomID BuildGeometry(dSpaceID space, GeometryRecord& record) {
  const bool wrapped = (record.info & kGeometryUseTransform) != 0 && !IsPlane(record);
  dGeomID shape = CreateShape(wrapped ? nullptr : space, record);
  if (shape == nullptr) return nullptr;
  record.geometry = ToPhysicsGeom(shape);
  SetGeomData(shape, &record);
  if (!wrapped) return shape;
  dGeomID transform = CreateGeomTransform(space);
  if (transform == nullptr) return nullptr;
  record.transformGeometry = ToPhysicsGeom(transform);
  SetGeomTransformGeom(transform, shape);
  SetGeomTransformInfo(transform, 1);
  SetGeomPosition(shape, record.position);
  SetGeomRotation(shape, record.rotation);
  SetGeomData(transform, &record);
  return transform;
}

dBodyID BuildBody(Object& object, PhysicsWorld* physicsWorld) {
  const Vector3 position = object.GetPositionWS();
  const Quaternion rotation = object.GetRotationWS();
  dBodyID body = CreateBody(physicsWorld);
  if (body == nullptr) return nullptr;
  SetBodyData(body, &object);
  SetBodyAutoDisable(body, 1);
  SetBodyAutoDisableLinearThreshold(body, kAutoDisableThreshold);
  SetBodyAutoDisableAngularThreshold(body, kAutoDisableThreshold);
  SetBodyAutoDisableTime(body, kAutoDisableSeconds);
  SetBodyAutoDisableSteps(body, 0);
  SetBodyPosition(body, position);
  SetBodyRotation(body, rotation);
  return body;
}

bool BuildGeometries(ObjectPhysics& physics) {
  dBodyID body = ToOde(physics.body);
  bool massSet = false;
  for (const auto& record : physics.geometries) {
    dGeomID geometry = BuildGeometry(ToOde(physics.space), *record);
    if (geometry == nullptr) return false;
    SetGeomCategoryBits(geometry, record->categoryBits);
    SetGeomCollideBits(geometry, record->collisionBits);
    if (body == nullptr || IsPlane(*record)) continue;
    SetGeomBody(geometry, body);
    const int byDensity = (record->info & kGeometryMassByDensity) != 0 ? 1 : 0;
    dGeomID shape = ToOde(record->geometry);
    if (massSet) AddBodyMassFromGeom(body, shape, record->mass, byDensity);
    else SetBodyMassFromGeom(body, shape, record->mass, byDensity);
    massSet = true;
  }
  return true;
}

// Objects of a World being destroyed outlive its list; they leave nothing
// to remove from it.
bool IsLiveWorld(const World* world) {
  const auto& worlds = World::GetWorldList();
  return world != nullptr && std::find(worlds.begin(), worlds.end(), world) != worlds.end();
}

}  // namespace

bool CreateObjectPhysics(Object& object) {
  ObjectPhysics* physics = object.GetPhysics();
  World* world = object.GetWorld();
  if (physics == nullptr || object.GetSpace() == nullptr || world == nullptr || world->GetPhysicsWorld() == nullptr) {
    return false;
  }
  if (physics->HasLiveHandles()) return true;
  if ((physics->flags & kPhysicsEnableRigidBody) != 0) {
    physics->body = ToPhysicsBody(BuildBody(object, world->GetPhysicsWorld()));
    if (physics->body == nullptr) return false;
  }
  if ((physics->flags & kPhysicsEnableLocalSpace) != 0) {
    physics->space = ToPhysicsSpace(CreateSimpleSpace(ToOde(world->GetCollisionSpace())));
  }
  if (!BuildGeometries(*physics)) {
    DestroyObjectPhysics(object);
    return false;
  }
  if (physics->body == nullptr) object.PlaceGeometries();
  world->AddPhysicsObject(object);
  return true;
}

bool DestroyObjectPhysics(Object& object) {
  ObjectPhysics* physics = object.GetPhysics();
  if (physics == nullptr) return false;
  for (const auto& record : physics->geometries) {
    for (PhysicsGeom** geometry : {&record->transformGeometry, &record->geometry}) {
      if (*geometry != nullptr) DestroyGeom(ToOde(*geometry));
      *geometry = nullptr;
    }
  }
  if (physics->space != nullptr) DestroySpace(ToOde(physics->space));
  physics->space = nullptr;
  if (physics->body != nullptr) DestroyBody(ToOde(physics->body));
  physics->body = nullptr;
  if (IsLiveWorld(object.GetWorld())) object.GetWorld()->RemovePhysicsObject(object);
  return true;
}

}  // namespace tge

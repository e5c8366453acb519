#include "engine/ObjectPhysicsBuilder.h"

#include "core/ClassIds.h"
#include "core/Object.h"
#include "core/World.h"
#include "objects/gameplay/physics/PhysicsBody.h"
#include "objects/gameplay/physics/PhysicsGeometry.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/physics/PhysicsMass.h"
#include "objects/gameplay/physics/PhysicsShape.h"
#include "objects/gameplay/physics/PhysicsSpace.h"
#include "objects/gameplay/physics/PhysicsWorld.h"
#include "objects/gameplay/world/Space.h"

namespace tge {
namespace {

constexpr float kAutoDisableThreshold = 0.5f;
constexpr float kAutoDisableSeconds = 1.0f;

// The geometry the rest of the world sees: the shape, or the transform
// holding it at the record's offset.
dGeomID BuildGeometry(dSpaceID space, GeometryRecord& record) {
  const bool wrapped = (record.info & kGeometryUseTransform) != 0 && !IsPlaneRecord(record);
  dGeomID shape = CreateRecordShape(wrapped ? nullptr : space, record);
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

bool BuildGeometries(ObjectPhysics& physics, dSpaceID container) {
  dBodyID body = ToOde(physics.body);
  bool massSet = false;
  for (const auto& record : physics.geometries) {
    dGeomID geometry = BuildGeometry(container, *record);
    if (geometry == nullptr) return false;
    SetGeomCategoryBits(geometry, record->categoryBits);
    SetGeomCollideBits(geometry, record->collisionBits);
    if (body == nullptr || IsPlaneRecord(*record)) continue;
    SetGeomBody(geometry, body);
    const int byDensity = (record->info & kGeometryMassByDensity) != 0 ? 1 : 0;
    dGeomID shape = ToOde(record->geometry);
    if (massSet) AddBodyMassFromGeom(body, shape, record->mass, byDensity);
    else SetBodyMassFromGeom(body, shape, record->mass, byDensity);
    massSet = true;
  }
  return true;
}

}  // namespace

// A Space builds its collision entries' geometries in its own collision
// space; a Space needs no physics record for that.
bool CreateObjectPhysics(Object& object) {
  ObjectPhysics* physics = object.GetPhysics();
  World* world = object.GetWorld();
  if (object.GetSpace() == nullptr || world == nullptr || world->GetPhysicsWorld() == nullptr) return false;
  const bool isSpace = object.GetClassId() == kClassSpace;
  if (isSpace) static_cast<Space&>(object).BuildCollisionGeometries();
  if (physics == nullptr) return isSpace;
  if (physics->HasLiveHandles()) return true;
  if ((physics->flags & kPhysicsEnableRigidBody) != 0) {
    physics->body = ToPhysicsBody(BuildBody(object, world->GetPhysicsWorld()));
    if (physics->body == nullptr) return false;
  }
  if ((physics->flags & kPhysicsEnableLocalSpace) != 0) {
    physics->space = ToPhysicsSpace(CreateSimpleSpace(ToOde(world->GetCollisionSpace())));
  }
  dSpaceID container = physics->space != nullptr ? ToOde(physics->space) : ToOde(world->GetCollisionSpace());
  if (!BuildGeometries(*physics, container)) {
    DestroyObjectPhysics(object);
    return false;
  }
  if (physics->body == nullptr) object.PlaceGeometries();
  world->AddPhysicsObject(object);
  return true;
}

bool DestroyObjectPhysics(Object& object) {
  if (object.GetClassId() == kClassSpace) static_cast<Space&>(object).ReleaseCollisionGeometries();
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
  if (World::IsLive(object.GetWorld())) object.GetWorld()->RemovePhysicsObject(object);
  return true;
}

}  // namespace tge

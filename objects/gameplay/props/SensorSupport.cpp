#include "objects/gameplay/props/SensorSupport.h"

#include <algorithm>
#include <cstdint>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandRegistry.h"
#include "core/Object.h"
#include "core/ObjectHooks.h"
#include "objects/gameplay/physics/PhysicsGeometry.h"
#include "objects/gameplay/physics/PhysicsHandles.h"

namespace tge {

void PassPhysicsStartToChildren(Object& object, void* args) {
  const DeletionHold hold;
  for (int i = 0; i < object.GetChildCount(); ++i) {
    Object* child = object.GetChild(i);
    if (!child->HasFlag(kFlagBlockStartPhysics)) child->ExecuteCommand(kCommandCreatePhysics, args);
  }
}

void AddEmptyEventScript(Object& object, const std::string& eventName) {
  std::int32_t on = 1;
  object.ExecuteCommand(kCommandSetUseScript, &on);
  object.GetScripts()->push_back(ObjectScript{eventName, "", FindCommandId(&object, eventName)});
}

void InitializeSensor(Object& object, float radius, unsigned collisionBits) {
  GeometryRecord& sensor = object.AddGeometry();
  sensor.info = (sensor.info & ~kGeometryShapeMask) | kGeometrySphere | kGeometryCallback | kGeometryEventOnly;
  sensor.dimension = {radius, 0, 0};
  sensor.collisionBits = collisionBits;
  object.SetInheritOrientation(false);
}

Object* ContactObject(const GeometryRecord* other) {
  Object* owner = other != nullptr ? other->owner : nullptr;
  if (owner == nullptr) return nullptr;
  const std::uint32_t classId = owner->GetClassId();
  return classId == kClassSpace || classId == kClassTerrainSector ? nullptr : owner;
}

Object* ContactBody(const GeometryRecord* other) {
  Object* owner = ContactObject(other);
  return owner != nullptr && owner->GetBody() != nullptr ? owner : nullptr;
}

GeometryRecord* GetSensor(const Object& object) {
  const ObjectPhysics* physics = object.GetPhysics();
  return physics != nullptr && !physics->geometries.empty() ? physics->geometries[0].get() : nullptr;
}

void ResizeSensor(Object& object, const Vector3& dimension) {
  GeometryRecord* sensor = GetSensor(object);
  if (sensor == nullptr) return;
  sensor->dimension = {std::max(dimension.x, 0.0f), std::max(dimension.y, 0.0f), std::max(dimension.z, 0.0f)};
  dGeomID live = ToOde(sensor->geometry);
  if (live == nullptr) return;
  const Vector3& size = sensor->dimension;
  switch (sensor->Shape()) {
    case kGeometrySphere: SetSphereGeomRadius(live, size.x); break;
    case kGeometryBox: SetBoxGeomLengths(live, size); break;
    case kGeometryCCylinder: SetCCylinderGeomParams(live, size.x, size.y); break;
    default: break;
  }
}

}  // namespace tge

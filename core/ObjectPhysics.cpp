// Object's physics description and the calls it makes on its body and
// geometries through the physics wrapper. Without a body the accessors give
// neutral values and the pushes do nothing.
#include <algorithm>

#include "core/Object.h"
#include "core/ObjectHooks.h"

namespace tge {

void Object::SetUsePhysics(bool on) {
  SetFlag(kFlagUsePhysics, on);
  if (on) {
    if (!physics_) physics_ = std::make_unique<ObjectPhysics>();
    return;
  }
  ReleasePhysics();
  physics_.reset();
}

GeometryRecord* Object::GetCurrentGeometry() const {
  if (!physics_) return nullptr;
  const std::int32_t index = physics_->currentGeometry;
  if (index < 0 || index >= static_cast<std::int32_t>(physics_->geometries.size())) return nullptr;
  return physics_->geometries[static_cast<std::size_t>(index)].get();
}

GeometryRecord& Object::AddGeometry() {
  SetUsePhysics(true);
  auto& geometries = physics_->geometries;
  geometries.push_back(std::make_unique<GeometryRecord>());
  geometries.back()->owner = this;
  physics_->currentGeometry = static_cast<std::int32_t>(geometries.size()) - 1;
  return *geometries.back();
}

// A live geometry points back at its record, so the record goes only after
// the physics side has let go of it.
bool Object::EraseGeometry(int index) {
  if (!physics_ || index < 0 || index >= static_cast<int>(physics_->geometries.size())) return false;
  auto it = physics_->geometries.begin() + index;
  if ((*it)->HasLiveGeometry()) {
    PhysicsHooks* hooks = GetPhysicsHooks();
    if (hooks == nullptr) return false;
    for (PhysicsGeom** geom : {&(*it)->transformGeometry, &(*it)->geometry}) {
      if (*geom) hooks->DestroyGeom(*geom);
      *geom = nullptr;
    }
  }
  physics_->geometries.erase(it);
  physics_->currentGeometry = physics_->geometries.empty() ? -1 : 0;
  return true;
}

float Object::GetMass() const {
  PhysicsHooks* hooks = GetPhysicsHooks();
  return GetBody() && hooks ? hooks->GetBodyMass(GetBody()) : 0.0f;
}

bool Object::IsBodyEnabled() const {
  PhysicsHooks* hooks = GetPhysicsHooks();
  return GetBody() && hooks && hooks->IsBodyEnabled(GetBody());
}

Vector3 Object::GetLinearVelocity() const {
  PhysicsHooks* hooks = GetPhysicsHooks();
  return GetBody() && hooks ? hooks->GetBodyLinearVelocity(GetBody()) : Vector3{};
}

Vector3 Object::GetAngularVelocity() const {
  PhysicsHooks* hooks = GetPhysicsHooks();
  return GetBody() && hooks ? hooks->GetBodyAngularVelocity(GetBody()) : Vector3{};
}

void Object::ApplyBodyVector(BodyVector what, const Vector3& value) {
  PhysicsHooks* hooks = GetPhysicsHooks();
  if (GetBody() && hooks) hooks->ApplyBodyVector(GetBody(), what, value);
}

void Object::AddForceAtPosition(const Vector3& force, const Vector3& position) {
  PhysicsHooks* hooks = GetPhysicsHooks();
  if (GetBody() && hooks) hooks->AddBodyForceAtPosition(GetBody(), force, position);
}

void Object::EnableGeometries() { SetGeometriesEnabled(true); }
void Object::DisableGeometries() { SetGeometriesEnabled(false); }

void Object::SetGeometriesEnabled(bool on) {
  PhysicsHooks* hooks = GetPhysicsHooks();
  if (!physics_ || hooks == nullptr) return;
  for (const auto& geometry : physics_->geometries) {
    if (geometry->geometry) hooks->EnableGeom(geometry->geometry, on);
    if (geometry->transformGeometry) hooks->EnableGeom(geometry->transformGeometry, on);
  }
}

}  // namespace tge

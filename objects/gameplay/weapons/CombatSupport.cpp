#include "objects/gameplay/weapons/CombatSupport.h"

#include "core/Object.h"
#include "core/ObjectHooks.h"
#include "core/math/Matrix4.h"
#include "core/math/Quaternion.h"
#include "objects/gameplay/physics/PhysicsBody.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/world/HitMessage.h"

namespace tge {

void SendHit(Object* target, Object* attacker, const Vector3& position, const Vector3& direction, float damage,
             std::uint32_t damageGroup, std::uint32_t kind) {
  if (target == nullptr) return;
  HitMessage hit{attacker, position, direction, damage, damageGroup, kind};
  target->ExecuteCommand(kApplyHit, &hit);
}

void Push(Object& object, const Vector3& force) {
  if (PhysicsBody* body = object.GetBody()) EnableBody(ToOde(body), 1);
  object.ApplyBodyVector(BodyVector::kAddForce, force);
}

void PushAt(Object& object, const Vector3& force, const Vector3& point) {
  if (PhysicsBody* body = object.GetBody()) EnableBody(ToOde(body), 1);
  object.AddForceAtPosition(force, point);
}

bool MoveKeepingPlacement(Object& object, Object& parent) {
  ObjectHooks* hooks = GetObjectHooks();
  if (hooks == nullptr) return false;
  const Matrix4 world = object.GetWorldMatrix();
  hooks->DestroyObjectPhysics(object);
  if (!hooks->MoveObject(object, parent)) return false;
  object.SetWSOrientation(false);
  Matrix4 inverse;
  parent.GetInverseWorldMatrix(inverse);
  Matrix4 local;
  Matrix4Multiply(local, world, inverse);
  Quaternion rotation;
  QuaternionFromMatrix4(rotation, local);
  object.SetPosition({local.m[12], local.m[13], local.m[14]}, true);
  object.SetRotation(rotation, true);
  return true;
}

}  // namespace tge

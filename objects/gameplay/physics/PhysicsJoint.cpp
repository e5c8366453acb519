#include "objects/gameplay/physics/PhysicsJoint.h"

#include "objects/gameplay/physics/PhysicsConvert.h"
#include "objects/gameplay/physics/PhysicsJointKind.h"
#include "objects/gameplay/physics/PhysicsLibrary.h"
#include "objects/gameplay/physics/PhysicsWorld.h"

namespace tge {
namespace {

using physics::IsJointOfKind;

// Joints point back to their record through their user data, so that
// DestroyJoint can count them off and a released world can be freed.
dJointID TrackJoint(PhysicsWorld* physics, dJointID (*create)(dWorldID, dJointGroupID)) {
  if (!physics || physics->released) return nullptr;
  dJointID joint = create(physics->world, nullptr);
  dJointSetData(joint, physics);
  ++physics->jointCount;
  return joint;
}

bool HasBothBodies(dJointID joint) { return dJointGetBody(joint, 0) && dJointGetBody(joint, 1); }

using VectorCall = void (*)(dJointID, dReal, dReal, dReal);

// Anchors may be anywhere finite; axes must also have a length.
void SetJointVector(const char* operation, dJointID joint, dJointType kind, VectorCall call,
                    const Vector3& v, bool isAxis) {
  if (!IsJointOfKind(operation, joint, kind)) return;
  if (isAxis ? !physics::IsUsableDirection(v) : !physics::IsFinite(v)) {
    ReportPhysicsError(operation, isAxis ? "the axis is zero or not finite"
                                         : "the anchor is not finite");
    return;
  }
  call(joint, v.x, v.y, v.z);
}

void SetAnchor(const char* operation, dJointID joint, dJointType kind, VectorCall call,
               const Vector3& anchor) {
  SetJointVector(operation, joint, kind, call, anchor, false);
}

void SetAxis(const char* operation, dJointID joint, dJointType kind, VectorCall call,
             const Vector3& axis) {
  SetJointVector(operation, joint, kind, call, axis, true);
}

bool IsHinge2Attached(const char* operation, dJointID joint) {
  if (!IsJointOfKind(operation, joint, dJointTypeHinge2)) return false;
  if (!HasBothBodies(joint)) {
    ReportPhysicsError(operation, "a hinge-2 needs both bodies attached first");
    return false;
  }
  return true;
}

float Reading(const char* operation, dJointID joint, dJointType kind, dReal (*read)(dJointID)) {
  return IsJointOfKind(operation, joint, kind) ? static_cast<float>(read(joint)) : 0.0f;
}

}  // namespace

dJointID CreateBallJoint(PhysicsWorld* physics) { return TrackJoint(physics, dJointCreateBall); }

dJointID CreateHingeJoint(PhysicsWorld* physics) { return TrackJoint(physics, dJointCreateHinge); }

dJointID CreateHinge2Joint(PhysicsWorld* physics) {
  return TrackJoint(physics, dJointCreateHinge2);
}

dJointID CreateSliderJoint(PhysicsWorld* physics) {
  return TrackJoint(physics, dJointCreateSlider);
}

dJointID CreateUniversalJoint(PhysicsWorld* physics) {
  return TrackJoint(physics, dJointCreateUniversal);
}

void AttachJoint(dJointID joint, dBodyID first, dBodyID second) {
  if (!joint) return;
  if (first && first == second) {
    ReportPhysicsError("AttachJoint", "a body cannot be joined to itself");
    return;
  }
  if (dJointGetType(joint) == dJointTypeHinge2 && (!first || !second)) {
    ReportPhysicsError("AttachJoint", "a hinge-2 joins two bodies");
    return;
  }
  dJointAttach(joint, first, second);
}

void DestroyJoint(dJointID joint) {
  if (!joint) return;
  auto* physics = static_cast<PhysicsWorld*>(dJointGetData(joint));
  dJointDestroy(joint);
  if (!physics) return;
  --physics->jointCount;
  FreePhysicsWorldWhenEmpty(physics);
}

int IsJointActive(dJointID joint) {
  if (!joint) return 0;
  dBodyID second = dJointGetBody(joint, 1);
  if (second && dBodyIsEnabled(second)) return 1;
  dBodyID first = dJointGetBody(joint, 0);
  return first ? dBodyIsEnabled(first) : 0;
}

void SetBallAnchor(dJointID joint, const Vector3& anchor) {
  SetAnchor(__func__, joint, dJointTypeBall, dJointSetBallAnchor, anchor);
}

void SetHingeAnchor(dJointID joint, const Vector3& anchor) {
  SetAnchor(__func__, joint, dJointTypeHinge, dJointSetHingeAnchor, anchor);
}

void SetHingeAxis(dJointID joint, const Vector3& axis) {
  SetAxis(__func__, joint, dJointTypeHinge, dJointSetHingeAxis, axis);
}

void SetSliderAxis(dJointID joint, const Vector3& axis) {
  SetAxis(__func__, joint, dJointTypeSlider, dJointSetSliderAxis, axis);
}

void SetHinge2Anchor(dJointID joint, const Vector3& anchor) {
  if (IsHinge2Attached(__func__, joint)) {
    SetAnchor(__func__, joint, dJointTypeHinge2, dJointSetHinge2Anchor, anchor);
  }
}

void SetHinge2Axes(dJointID joint, const Vector3& axis1, const Vector3& axis2) {
  if (!IsHinge2Attached(__func__, joint)) return;
  Vector3 normal;
  Vector3Cross(normal, axis1, axis2);
  if (!physics::IsUsableDirection(axis1) || !physics::IsUsableDirection(axis2) ||
      Vector3LengthSquared(normal) <=
          1e-6f * Vector3LengthSquared(axis1) * Vector3LengthSquared(axis2)) {
    ReportPhysicsError(__func__, "the axes are zero, not finite or parallel");
    return;
  }
  const dVector3 first = {axis1.x, axis1.y, axis1.z, 0};
  const dVector3 second = {axis2.x, axis2.y, axis2.z, 0};
  dJointSetHinge2Axes(joint, first, second);
}

void SetUniversalAnchor(dJointID joint, const Vector3& anchor) {
  SetAnchor(__func__, joint, dJointTypeUniversal, dJointSetUniversalAnchor, anchor);
}

void SetUniversalAxis1(dJointID joint, const Vector3& axis) {
  SetAxis(__func__, joint, dJointTypeUniversal, dJointSetUniversalAxis1, axis);
}

void SetUniversalAxis2(dJointID joint, const Vector3& axis) {
  SetAxis(__func__, joint, dJointTypeUniversal, dJointSetUniversalAxis2, axis);
}

float GetHingeAngleRate(dJointID joint) {
  return Reading(__func__, joint, dJointTypeHinge, dJointGetHingeAngleRate);
}

float GetHinge2Angle1(dJointID joint) {
  return Reading(__func__, joint, dJointTypeHinge2, dJointGetHinge2Angle1);
}

float GetUniversalAngleRate1(dJointID joint) {
  return Reading(__func__, joint, dJointTypeUniversal, dJointGetUniversalAngle1Rate);
}

float GetUniversalAngleRate2(dJointID joint) {
  return Reading(__func__, joint, dJointTypeUniversal, dJointGetUniversalAngle2Rate);
}

}  // namespace tge

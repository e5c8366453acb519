// Joints between bodies: ball, hinge, hinge-2, slider and universal, their
// anchors and axes, one setter per limit and motor parameter, and the few
// readings the engine takes back. Contact joints are AddContact's alone.
//
// Every joint is made in no joint group and lives until DestroyJoint (or
// until its world is freed, which waits for it). Each operation checks the
// joint's kind first: a joint handed to the operations of another kind, a
// zero axis, or a hinge-2 without both bodies is refused with a physics
// error instead of the library's abort.
#pragma once
#include <ode/ode.h>

#include "core/math/Vector.h"

namespace tge {

struct PhysicsWorld;

// Null for a null record.
dJointID CreateBallJoint(PhysicsWorld* physics);
dJointID CreateHingeJoint(PhysicsWorld* physics);
dJointID CreateHinge2Joint(PhysicsWorld* physics);
dJointID CreateSliderJoint(PhysicsWorld* physics);
dJointID CreateUniversalJoint(PhysicsWorld* physics);
// Either body may be null (the world), except for a hinge-2, which needs
// both; one body cannot be joined to itself.
void AttachJoint(dJointID joint, dBodyID first, dBodyID second);
void DestroyJoint(dJointID joint);
// 1 when the second body exists and is awake; otherwise whether the first
// body is awake (0 without one).
int IsJointActive(dJointID joint);

// Anchors and axes in world coordinates.
void SetBallAnchor(dJointID joint, const Vector3& anchor);
void SetHingeAnchor(dJointID joint, const Vector3& anchor);
void SetHingeAxis(dJointID joint, const Vector3& axis);
void SetSliderAxis(dJointID joint, const Vector3& axis);
void SetHinge2Anchor(dJointID joint, const Vector3& anchor);
// Both axes at once, so the joint never passes through a state with the two
// axes parallel; refused when they are parallel.
void SetHinge2Axes(dJointID joint, const Vector3& axis1, const Vector3& axis2);
void SetUniversalAnchor(dJointID joint, const Vector3& anchor);
void SetUniversalAxis1(dJointID joint, const Vector3& axis);
void SetUniversalAxis2(dJointID joint, const Vector3& axis);

// Readings; 0 for a joint of another kind.
float GetHingeAngleRate(dJointID joint);
float GetHinge2Angle1(dJointID joint);
float GetUniversalAngleRate1(dJointID joint);
float GetUniversalAngleRate2(dJointID joint);

// Limit and motor parameters, named Set + kind + parameter; a name ending
// in 2 is the parameter of the second axis.
void SetSliderCFM(dJointID joint, float value);
void SetSliderLoStop(dJointID joint, float value);
void SetSliderHiStop(dJointID joint, float value);
void SetSliderStopCFM(dJointID joint, float value);
void SetSliderStopERP(dJointID joint, float value);
void SetSliderBounce(dJointID joint, float value);
void SetSliderVel(dJointID joint, float value);
void SetSliderFMax(dJointID joint, float value);
void SetSliderFudgeFactor(dJointID joint, float value);

void SetHingeCFM(dJointID joint, float value);
void SetHingeLoStop(dJointID joint, float value);
void SetHingeHiStop(dJointID joint, float value);
void SetHingeStopCFM(dJointID joint, float value);
void SetHingeStopERP(dJointID joint, float value);
void SetHingeBounce(dJointID joint, float value);
void SetHingeVel(dJointID joint, float value);
void SetHingeFMax(dJointID joint, float value);
void SetHingeFudgeFactor(dJointID joint, float value);

void SetHinge2CFM(dJointID joint, float value);
void SetHinge2LoStop(dJointID joint, float value);
void SetHinge2HiStop(dJointID joint, float value);
void SetHinge2StopCFM(dJointID joint, float value);
void SetHinge2StopERP(dJointID joint, float value);
void SetHinge2Bounce(dJointID joint, float value);
void SetHinge2Vel(dJointID joint, float value);
void SetHinge2FMax(dJointID joint, float value);
void SetHinge2FudgeFactor(dJointID joint, float value);
void SetHinge2CFM2(dJointID joint, float value);
void SetHinge2Vel2(dJointID joint, float value);
void SetHinge2FMax2(dJointID joint, float value);
void SetHinge2SuspensionERP(dJointID joint, float value);
void SetHinge2SuspensionCFM(dJointID joint, float value);

void SetUniversalCFM(dJointID joint, float value);
void SetUniversalLoStop(dJointID joint, float value);
void SetUniversalHiStop(dJointID joint, float value);
void SetUniversalStopCFM(dJointID joint, float value);
void SetUniversalStopERP(dJointID joint, float value);
void SetUniversalBounce(dJointID joint, float value);
void SetUniversalVel(dJointID joint, float value);
void SetUniversalFMax(dJointID joint, float value);
void SetUniversalFudgeFactor(dJointID joint, float value);
void SetUniversalCFM2(dJointID joint, float value);
void SetUniversalLoStop2(dJointID joint, float value);
void SetUniversalHiStop2(dJointID joint, float value);
void SetUniversalStopCFM2(dJointID joint, float value);
void SetUniversalStopERP2(dJointID joint, float value);
void SetUniversalBounce2(dJointID joint, float value);
void SetUniversalVel2(dJointID joint, float value);
void SetUniversalFMax2(dJointID joint, float value);
void SetUniversalFudgeFactor2(dJointID joint, float value);

}  // namespace tge

// Rigid bodies: creation in a physics world, placement, velocities, forces
// and the switches the engine uses (enable, auto-disable, gravity, rotation).
//
// Vectors and rotations cross as the engine's floats; rotations are x, y, z, w
// here and reach the library as w, x, y, z. Values the library would abort on
// (not finite, a zero rotation) are refused with a physics error.
#pragma once
#include <ode/ode.h>

#include "core/math/Matrix4.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector.h"

namespace tge {

class Object;
struct PhysicsWorld;

// A body in the record's world with the mass of a unit sphere (radius 1,
// mass 1), appended to its body list; null for a null record.
dBodyID CreateBody(PhysicsWorld* physics);
// Takes the body off its record's list (when it has a record) and destroys it.
void DestroyBody(dBodyID body);

void EnableBody(dBodyID body, int enable);
int IsBodyEnabled(dBodyID body);
// 0 switches rotation off: the body keeps its orientation under any torque
// while it still moves; 1 switches it back on. Independent of EnableBody.
void EnableBodyRotation(dBodyID body, int enable);
void SetBodyAutoDisable(dBodyID body, int enable);
void SetBodyAutoDisableLinearThreshold(dBodyID body, float threshold);
void SetBodyAutoDisableAngularThreshold(dBodyID body, float threshold);
void SetBodyAutoDisableSteps(dBodyID body, int steps);
void SetBodyAutoDisableTime(dBodyID body, float seconds);
// 0: the world's gravity does not act on the body.
void SetBodyGravityMode(dBodyID body, int mode);

// The owning object.
void SetBodyData(dBodyID body, Object* owner);
Object* GetBodyData(dBodyID body);

void SetBodyPosition(dBodyID body, const Vector3& position);
Vector3 GetBodyPosition(dBodyID body);
void SetBodyRotation(dBodyID body, const Quaternion& rotation);
Quaternion GetBodyRotation(dBodyID body);
// Rotation and position of the body as one matrix; returns out.
Matrix4* GetBodyMatrix(dBodyID body, Matrix4* out);

void SetBodyLinearVel(dBodyID body, const Vector3& velocity);
void SetBodyAngularVel(dBodyID body, const Vector3& velocity);
Vector3* GetBodyLinearVel(Vector3* out, dBodyID body);
Vector3* GetBodyAngularVel(Vector3* out, dBodyID body);
void AddBodyLinearVel(dBodyID body, const Vector3& delta);
void AddBodyAngularVel(dBodyID body, const Vector3& delta);

// World-frame force and torque.
void AddBodyForce(dBodyID body, const Vector3& force);
void AddBodyTorque(dBodyID body, const Vector3& torque);
// Body-frame force and torque.
void AddBodyRelForce(dBodyID body, const Vector3& force);
void AddBodyRelTorque(dBodyID body, const Vector3& torque);
// Force and position both in world coordinates.
void AddBodyForceAtPos(dBodyID body, const Vector3& force, const Vector3& position);

}  // namespace tge

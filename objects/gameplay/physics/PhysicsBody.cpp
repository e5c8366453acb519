#include "objects/gameplay/physics/PhysicsBody.h"

#include <algorithm>

#include "objects/gameplay/physics/PhysicsConvert.h"
#include "objects/gameplay/physics/PhysicsLibrary.h"
#include "objects/gameplay/physics/PhysicsWorld.h"

namespace tge {
namespace {

using physics::FromOde;
using physics::IsFinite;

// Hands a finite vector to a library call of the form f(body, x, y, z).
void PassVector(const char* operation, void (*call)(dBodyID, dReal, dReal, dReal), dBodyID body,
                const Vector3& v) {
  if (!IsFinite(v)) {
    ReportPhysicsError(operation, "the vector is not finite");
    return;
  }
  call(body, v.x, v.y, v.z);
}

}  // namespace

dBodyID CreateBody(PhysicsWorld* physics) {
  if (!physics || physics->released) return nullptr;
  dBodyID body = dBodyCreate(physics->world);
  dMass unitSphere;
  dMassSetSphereTotal(&unitSphere, 1, 1);
  dBodySetMass(body, &unitSphere);
  physics->bodies.push_back(body);
  return body;
}

void DestroyBody(dBodyID body) {
  if (!body) return;
  PhysicsWorld* physics = GetPhysicsWorldOf(dBodyGetWorld(body));
  if (physics) {
    auto& bodies = physics->bodies;
    if (auto it = std::find(bodies.begin(), bodies.end(), body); it != bodies.end()) {
      bodies.erase(it);
    }
  }
  dBodyDestroy(body);
  FreePhysicsWorldWhenEmpty(physics);
}

void EnableBody(dBodyID body, int enable) {
  if (enable) {
    dBodyEnable(body);
  } else {
    dBodyDisable(body);
  }
}

int IsBodyEnabled(dBodyID body) { return dBodyIsEnabled(body); }

// The library clamps the angular speed of a body in every step before it
// turns the body; a limit of 0 keeps it from turning at all.
void EnableBodyRotation(dBodyID body, int enable) {
  dBodySetMaxAngularSpeed(body, enable ? dInfinity : 0);
}

void SetBodyAutoDisable(dBodyID body, int enable) { dBodySetAutoDisableFlag(body, enable); }

void SetBodyAutoDisableLinearThreshold(dBodyID body, float threshold) {
  dBodySetAutoDisableLinearThreshold(body, threshold);
}

void SetBodyAutoDisableAngularThreshold(dBodyID body, float threshold) {
  dBodySetAutoDisableAngularThreshold(body, threshold);
}

void SetBodyAutoDisableSteps(dBodyID body, int steps) { dBodySetAutoDisableSteps(body, steps); }

void SetBodyAutoDisableTime(dBodyID body, float seconds) {
  dBodySetAutoDisableTime(body, seconds);
}

void SetBodyGravityMode(dBodyID body, int mode) { dBodySetGravityMode(body, mode); }

void SetBodyData(dBodyID body, Object* owner) { dBodySetData(body, owner); }

Object* GetBodyData(dBodyID body) { return static_cast<Object*>(dBodyGetData(body)); }

void SetBodyPosition(dBodyID body, const Vector3& position) {
  PassVector("SetBodyPosition", dBodySetPosition, body, position);
}

Vector3 GetBodyPosition(dBodyID body) { return FromOde(dBodyGetPosition(body)); }

void SetBodyRotation(dBodyID body, const Quaternion& rotation) {
  if (!physics::IsUsableRotation(rotation)) {
    ReportPhysicsError("SetBodyRotation", "the rotation is zero or not finite");
    return;
  }
  dQuaternion q;
  physics::ToOdeRotation(rotation, q);
  dBodySetQuaternion(body, q);
}

Quaternion GetBodyRotation(dBodyID body) {
  return physics::FromOdeRotation(dBodyGetQuaternion(body));
}

Matrix4* GetBodyMatrix(dBodyID body, Matrix4* out) {
  Matrix4FromQuaternionPosition(*out, GetBodyRotation(body), GetBodyPosition(body));
  return out;
}

void SetBodyLinearVel(dBodyID body, const Vector3& velocity) {
  PassVector("SetBodyLinearVel", dBodySetLinearVel, body, velocity);
}

void SetBodyAngularVel(dBodyID body, const Vector3& velocity) {
  PassVector("SetBodyAngularVel", dBodySetAngularVel, body, velocity);
}

Vector3* GetBodyLinearVel(Vector3* out, dBodyID body) {
  *out = FromOde(dBodyGetLinearVel(body));
  return out;
}

Vector3* GetBodyAngularVel(Vector3* out, dBodyID body) {
  *out = FromOde(dBodyGetAngularVel(body));
  return out;
}

void AddBodyLinearVel(dBodyID body, const Vector3& delta) {
  Vector3 velocity;
  GetBodyLinearVel(&velocity, body);
  SetBodyLinearVel(body, Vector3Add(velocity, velocity, delta));
}

void AddBodyAngularVel(dBodyID body, const Vector3& delta) {
  Vector3 velocity;
  GetBodyAngularVel(&velocity, body);
  SetBodyAngularVel(body, Vector3Add(velocity, velocity, delta));
}

void AddBodyForce(dBodyID body, const Vector3& force) {
  PassVector("AddBodyForce", dBodyAddForce, body, force);
}

void AddBodyTorque(dBodyID body, const Vector3& torque) {
  PassVector("AddBodyTorque", dBodyAddTorque, body, torque);
}

void AddBodyRelForce(dBodyID body, const Vector3& force) {
  PassVector("AddBodyRelForce", dBodyAddRelForce, body, force);
}

void AddBodyRelTorque(dBodyID body, const Vector3& torque) {
  PassVector("AddBodyRelTorque", dBodyAddRelTorque, body, torque);
}

void AddBodyForceAtPos(dBodyID body, const Vector3& force, const Vector3& position) {
  if (!IsFinite(force) || !IsFinite(position)) {
    ReportPhysicsError("AddBodyForceAtPos", "the force or the position is not finite");
    return;
  }
  dBodyAddForceAtPos(body, force.x, force.y, force.z, position.x, position.y, position.z);
}

}  // namespace tge

// The calls the object model makes into the physics wrapper: placing bodies
// and geometries, reading a body's matrix and pushing on it. Bodies and
// geometries exist only once the physics wrapper is installed, so an object
// that holds a handle always finds these hooks set.
#pragma once
#include "core/math/Matrix4.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector.h"

namespace tge {

struct PhysicsBody;
struct PhysicsGeom;
struct PhysicsJoint;
struct PhysicsWorld;

// What a vector does to a body.
enum class BodyVector {
  kSetLinearVelocity,
  kSetAngularVelocity,
  kAddLinearVelocity,
  kAddAngularVelocity,
  kAddForce,
  kAddTorque,
  kAddRelativeForce,
  kAddRelativeTorque,
};

// A hinge (one axis) or universal joint (two axes) with stops on its axes,
// as a skeleton's bones are held together. A null body is the static world.
struct LimitedJoint {
  enum class Kind { kHinge, kUniversal };
  Kind kind = Kind::kHinge;
  PhysicsBody* first = nullptr;
  PhysicsBody* second = nullptr;
  Vector3 anchor;
  Vector3 axis1;
  Vector3 axis2;  // universal only
  float loStop = 0, hiStop = 0;
  float loStop2 = 0, hiStop2 = 0;  // universal only
  // A universal joint takes the same three for its second axis.
  float cfm = 0, stopCfm = 0, stopErp = 0;
};

class PhysicsHooks {
 public:
  virtual ~PhysicsHooks() = default;

  virtual void SetBodyPosition(PhysicsBody* body, const Vector3& position) = 0;
  virtual void SetBodyRotation(PhysicsBody* body, const Quaternion& rotation) = 0;
  virtual Matrix4 GetBodyMatrix(PhysicsBody* body) = 0;
  virtual Vector3 GetBodyLinearVelocity(PhysicsBody* body) = 0;
  virtual Vector3 GetBodyAngularVelocity(PhysicsBody* body) = 0;
  virtual void ApplyBodyVector(PhysicsBody* body, BodyVector what, const Vector3& value) = 0;
  virtual void AddBodyForceAtPosition(PhysicsBody* body, const Vector3& force, const Vector3& position) = 0;
  virtual float GetBodyMass(PhysicsBody* body) = 0;
  virtual bool IsBodyEnabled(PhysicsBody* body) = 0;

  virtual void SetGeomPosition(PhysicsGeom* geom, const Vector3& position) = 0;
  virtual void SetGeomRotation(PhysicsGeom* geom, const Quaternion& rotation) = 0;
  virtual void EnableGeom(PhysicsGeom* geom, bool on) = 0;
  virtual void DestroyGeom(PhysicsGeom* geom) = 0;
  // Null when the world is null or the joint cannot be made (a zero axis,
  // a body joined to itself).
  virtual PhysicsJoint* CreateLimitedJoint(PhysicsWorld* world, const LimitedJoint& joint) = 0;
  virtual void DestroyJoint(PhysicsJoint* joint) = 0;
};

// Null until the physics wrapper installs its hooks.
PhysicsHooks* GetPhysicsHooks();
void SetPhysicsHooks(PhysicsHooks* hooks);

}  // namespace tge

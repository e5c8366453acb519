#include "objects/gameplay/physics/PhysicsWrapperHooks.h"

#include "core/PhysicsHooks.h"
#include "objects/gameplay/physics/PhysicsBody.h"
#include "objects/gameplay/physics/PhysicsGeometry.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/physics/PhysicsMass.h"

namespace tge {
namespace {

// Stateless: each call converts the object model's handle and passes it on.
class PhysicsWrapperHooks final : public PhysicsHooks {
 public:
  void SetBodyPosition(PhysicsBody* body, const Vector3& position) override {
    tge::SetBodyPosition(ToOde(body), position);
  }

  void SetBodyRotation(PhysicsBody* body, const Quaternion& rotation) override {
    tge::SetBodyRotation(ToOde(body), rotation);
  }

  Matrix4 GetBodyMatrix(PhysicsBody* body) override {
    Matrix4 matrix;
    return *tge::GetBodyMatrix(ToOde(body), &matrix);
  }

  Vector3 GetBodyLinearVelocity(PhysicsBody* body) override {
    Vector3 velocity;
    return *GetBodyLinearVel(&velocity, ToOde(body));
  }

  Vector3 GetBodyAngularVelocity(PhysicsBody* body) override {
    Vector3 velocity;
    return *GetBodyAngularVel(&velocity, ToOde(body));
  }

  void ApplyBodyVector(PhysicsBody* body, BodyVector what, const Vector3& value) override {
    VectorOperation(what)(ToOde(body), value);
  }

  void AddBodyForceAtPosition(PhysicsBody* body, const Vector3& force,
                              const Vector3& position) override {
    AddBodyForceAtPos(ToOde(body), force, position);
  }

  float GetBodyMass(PhysicsBody* body) override { return tge::GetBodyMass(ToOde(body)); }

  bool IsBodyEnabled(PhysicsBody* body) override { return tge::IsBodyEnabled(ToOde(body)) != 0; }

  void SetGeomPosition(PhysicsGeom* geometry, const Vector3& position) override {
    tge::SetGeomPosition(ToOde(geometry), position);
  }

  void SetGeomRotation(PhysicsGeom* geometry, const Quaternion& rotation) override {
    tge::SetGeomRotation(ToOde(geometry), rotation);
  }

  void EnableGeom(PhysicsGeom* geometry, bool on) override { tge::EnableGeom(ToOde(geometry), on); }

  void DestroyGeom(PhysicsGeom* geometry) override { tge::DestroyGeom(ToOde(geometry)); }

 private:
  using BodyVectorOperation = void (*)(dBodyID, const Vector3&);

  static BodyVectorOperation VectorOperation(BodyVector what) {
    switch (what) {
      case BodyVector::kSetLinearVelocity: return SetBodyLinearVel;
      case BodyVector::kSetAngularVelocity: return SetBodyAngularVel;
      case BodyVector::kAddLinearVelocity: return AddBodyLinearVel;
      case BodyVector::kAddAngularVelocity: return AddBodyAngularVel;
      case BodyVector::kAddForce: return AddBodyForce;
      case BodyVector::kAddTorque: return AddBodyTorque;
      case BodyVector::kAddRelativeForce: return AddBodyRelForce;
      case BodyVector::kAddRelativeTorque: return AddBodyRelTorque;
    }
    return IgnoreVector;
  }

  // An out-of-range BodyVector (a corrupt value cast to the enum) does nothing.
  static void IgnoreVector(dBodyID, const Vector3&) {}
};

PhysicsWrapperHooks& Hooks() {
  static PhysicsWrapperHooks hooks;
  return hooks;
}

}  // namespace

void InstallPhysicsHooks() { SetPhysicsHooks(&Hooks()); }

void UninstallPhysicsHooks() {
  if (GetPhysicsHooks() == &Hooks()) SetPhysicsHooks(nullptr);
}

}  // namespace tge

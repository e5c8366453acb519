#include "objects/gameplay/physics/PhysicsWrapperHooks.h"

#include "core/PhysicsHooks.h"
#include "objects/gameplay/physics/PhysicsBody.h"
#include "objects/gameplay/physics/PhysicsGeometry.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/physics/PhysicsJoint.h"
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

  PhysicsJoint* CreateLimitedJoint(PhysicsWorld* world, const LimitedJoint& description) override {
    const bool universal = description.kind == LimitedJoint::Kind::kUniversal;
    dJointID joint = universal ? CreateUniversalJoint(world) : CreateHingeJoint(world);
    if (!joint) return nullptr;
    AttachJoint(joint, ToOde(description.first), ToOde(description.second));
    if (universal) {
      SetUniversalLimits(joint, description);
    } else {
      SetHingeLimits(joint, description);
    }
    return ToPhysicsJoint(joint);
  }

  void DestroyJoint(PhysicsJoint* joint) override { tge::DestroyJoint(ToOde(joint)); }

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

  static void SetHingeLimits(dJointID joint, const LimitedJoint& d) {
    SetHingeAnchor(joint, d.anchor);
    SetHingeAxis(joint, d.axis1);
    SetHingeLoStop(joint, d.loStop);
    SetHingeHiStop(joint, d.hiStop);
    SetHingeCFM(joint, d.cfm);
    SetHingeStopCFM(joint, d.stopCfm);
    SetHingeStopERP(joint, d.stopErp);
  }

  static void SetUniversalLimits(dJointID joint, const LimitedJoint& d) {
    SetUniversalAnchor(joint, d.anchor);
    SetUniversalAxis1(joint, d.axis1);
    SetUniversalAxis2(joint, d.axis2);
    SetUniversalLoStop(joint, d.loStop);
    SetUniversalHiStop(joint, d.hiStop);
    SetUniversalLoStop2(joint, d.loStop2);
    SetUniversalHiStop2(joint, d.hiStop2);
    SetUniversalStopERP(joint, d.stopErp);
    SetUniversalStopERP2(joint, d.stopErp);
    SetUniversalStopCFM(joint, d.stopCfm);
    SetUniversalStopCFM2(joint, d.stopCfm);
    SetUniversalCFM(joint, d.cfm);
    SetUniversalCFM2(joint, d.cfm);
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

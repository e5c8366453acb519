// JointHinge2 (class 18): the wheel-suspension joint, steering about the
// object's world Y axis and turning about its X axis, with a suspension
// along the first axis. It joins two bodies or none: without both it makes
// no joint. Its Set and Get commands are registered one by one.
#pragma once
#include <span>

#include "core/CommandTable.h"
#include "objects/gameplay/props/JointObject.h"

namespace tge {

enum Hinge2Parameter : std::uint8_t {
  kHinge2CFM,
  kHinge2LoStop,
  kHinge2HiStop,
  kHinge2StopCFM,
  kHinge2StopERP,
  kHinge2Bounce,
  kHinge2Velocity,
  kHinge2MaxVelocityForce,
  kHinge2FudgeFactor,
  kHinge2CFM2,
  kHinge2Velocity2,
  kHinge2MaxVelocityForce2,
  kHinge2SuspensionCFM,
  kHinge2SuspensionERP,
  kHinge2ParameterCount
};

class JointHinge2 : public JointObject {
 public:
  static std::span<const CommandEntry<JointHinge2>> Commands();
  static const CommandEntry<JointHinge2> kCommands[];

  JointHinge2();

  int ExecuteCommand(std::uint32_t id, void* args) override;

  float GetLoStop() const { return GetParameter(kHinge2LoStop); }
  float GetHiStop() const { return GetParameter(kHinge2HiStop); }
  // The motor's target speed about the first axis.
  void SetVelocity(float velocity) { SetParameter(kHinge2Velocity, velocity); }

 private:
  dJointID BuildJoint(PhysicsWorld* physics, const JointBodies& bodies) override;
};

void RegisterJointHinge2Commands();

}  // namespace tge

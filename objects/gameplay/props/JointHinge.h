// JointHinge (class 20): a hinge about one of the object's world axes, with
// stops and a motor. Its bodies are put to sleep together when it is made
// and wake together when something touches them.
#pragma once
#include <span>

#include "core/CommandTable.h"
#include "objects/gameplay/props/JointObject.h"

namespace tge {

// The parameter block of a hinge or a slider, in declaration order.
enum HingeParameter : std::uint8_t {
  kHingeCFM,
  kHingeLoStop,
  kHingeHiStop,
  kHingeStopCFM,
  kHingeStopERP,
  kHingeBounce,
  kHingeVelocity,
  kHingeMaxForce,
  kHingeFudgeFactor,
  kHingeParameterCount
};

// The hinge's parameter setters, in block order.
std::span<const JointParameterSetter> HingeParameterSetters();

class JointHinge : public JointObject {
 public:
  static std::span<const CommandEntry<JointHinge>> Commands();
  static const CommandEntry<JointHinge> kCommands[];

  JointHinge();

  int ExecuteCommand(std::uint32_t id, void* args) override;

 private:
  dJointID BuildJoint(PhysicsWorld* physics, const JointBodies& bodies) override;
};

void RegisterJointHingeCommands();

}  // namespace tge

// JointUniversal (class 19): two perpendicular axes from the object's world
// axes, each with its own stops and motor. Its bodies are put to sleep
// together when it is made.
#pragma once
#include <span>

#include "core/CommandTable.h"
#include "objects/gameplay/props/JointObject.h"

namespace tge {

// The first axis's nine parameters, then the second's in the same order.
inline constexpr std::uint8_t kUniversalAxisParameters = 9;

// The universal joint's parameter setters, first axis then second, each in
// block order.
std::span<const JointParameterSetter> UniversalParameterSetters();

class JointUniversal : public JointObject {
 public:
  static std::span<const CommandEntry<JointUniversal>> Commands();
  static const CommandEntry<JointUniversal> kCommands[];

  JointUniversal();

  int ExecuteCommand(std::uint32_t id, void* args) override;

 private:
  dJointID BuildJoint(PhysicsWorld* physics, const JointBodies& bodies) override;
};

void RegisterJointUniversalCommands();

}  // namespace tge

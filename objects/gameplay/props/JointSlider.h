// JointSlider (class 21): a slider along one of the object's world axes,
// with stops and a motor; its parameter block is the hinge's.
#pragma once
#include <span>

#include "core/CommandTable.h"
#include "objects/gameplay/props/JointObject.h"

namespace tge {

class JointSlider : public JointObject {
 public:
  static std::span<const CommandEntry<JointSlider>> Commands();
  static const CommandEntry<JointSlider> kCommands[];

  JointSlider();

  int ExecuteCommand(std::uint32_t id, void* args) override;

 private:
  dJointID BuildJoint(PhysicsWorld* physics, const JointBodies& bodies) override;
  // Registered for scripts; pushes nothing.
  int AddForceCommand(CommandArgs args);
};

void RegisterJointSliderCommands();

}  // namespace tge

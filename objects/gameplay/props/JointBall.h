// JointBall (class 17): a ball-and-socket joint at the object's world
// position. Its nine per-axis values are stored, answered and saved only:
// the ball joint takes no parameters.
#pragma once
#include <array>
#include <span>

#include "core/CommandTable.h"
#include "objects/gameplay/props/JointObject.h"

namespace tge {

class JointBall : public JointObject {
 public:
  static std::span<const CommandEntry<JointBall>> Commands();
  static const CommandEntry<JointBall> kCommands[];
  static std::span<const CommandEntry<JointBall>> HiddenCommands();
  static const CommandEntry<JointBall> kHiddenCommands[];

  JointBall();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;

  // In command order: CFM, LoStop, HiStop, StopCFM, StopERP, StopBounce,
  // Velocity, MaxValocityForce, FudgeFactor.
  const Vector3& GetValue(std::size_t index) const { return values_[index]; }

 private:
  dJointID BuildJoint(PhysicsWorld* physics, const JointBodies& bodies) override;
  template <std::size_t Index>
  int SetValueCommand(CommandArgs args) {
    values_[Index] = args.Get<Vector3>();
    return 1;
  }
  template <std::size_t Index>
  int GetValueCommand(CommandArgs args) {
    args.Set(values_[Index]);
    return 1;
  }

  std::array<Vector3, 9> values_{};
};

void RegisterJointBallCommands();

}  // namespace tge

// The common ground of the joint object types: an object placed in the tree
// between two rigid bodies (its parent's, and its own or else its first
// child's) that owns one library joint, anchored at its own world position
// with axes from its own world axes. The joint comes and goes with the
// physics start and release messages or, with insert-on-action, with
// ActionStart and ActionStop.
//
// The four types with float parameters keep them here as one block with a
// setter per parameter; a parameter set while the joint exists reaches it at
// once, and every value reaches a new joint in the type's own order.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include <ode/ode.h>

#include "core/CommandArgs.h"
#include "core/Object.h"

namespace tge {

struct PhysicsWorld;

// jointFlags: the low byte is the axis source.
inline constexpr std::uint32_t kJointAxisSourceMask = 0xFF;
inline constexpr std::uint32_t kJointInsertOnAction = 0x100;

// The two bodies a joint object joins; null joins that side to the world.
struct JointBodies {
  dBodyID first = nullptr;
  dBodyID second = nullptr;
};
JointBodies FindJointBodies(const Object& joint);

struct AutoDisableSettings {
  float linearThreshold;
  float angularThreshold;
  float seconds;
  int steps;
};
void ApplyAutoDisable(dBodyID body, const AutoDisableSettings& settings);

using JointParameterSetter = void (*)(dJointID, float);

class JointObject : public Object {
 public:
  ~JointObject() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;

  dJointID GetJoint() const { return joint_; }
  bool HasJoint() const { return joint_ != nullptr; }
  std::uint32_t GetJointFlags() const { return jointFlags_; }
  float GetParameter(std::size_t index) const { return parameters_[index]; }
  // Stores the value and hands it to the live joint.
  void SetParameter(std::size_t index, float value);
  void CreateJoint();
  void ReleaseJoint();

 protected:
  // setters[i] applies parameter i; applyOrder and fileOrder list the
  // parameter indices in the order a new joint takes them and the object
  // file holds them. Types without insert-on-action ignore ActionStart and
  // ActionStop for their joint.
  JointObject(int classId, std::span<const JointParameterSetter> setters, std::vector<float> defaults,
              std::span<const std::uint8_t> applyOrder, std::span<const std::uint8_t> fileOrder,
              bool hasInsertOnAction);
  JointObject(const JointObject& source) = default;

  // Makes, sets up, attaches and anchors the type's joint; null when it
  // cannot be made. The parameters are applied afterwards.
  virtual dJointID BuildJoint(PhysicsWorld* physics, const JointBodies& bodies) = 0;
  // The object's world axis the axis source picks: 1 X, 2 Y, 3 Z, and the
  // world's up axis for any other value.
  Vector3 SourceAxis();
  std::uint32_t GetAxisSource() const { return jointFlags_ & kJointAxisSourceMask; }

  template <std::size_t Index>
  int SetParameterCommand(CommandArgs args) {
    SetParameter(Index, args.Get<float>());
    return 1;
  }
  template <std::size_t Index>
  int GetParameterCommand(CommandArgs args) {
    args.Set(parameters_[Index]);
    return 1;
  }
  int SetAxisCommand(CommandArgs args);
  int GetAxisCommand(CommandArgs args);
  int SetInsertOnActionCommand(CommandArgs args);
  int GetInsertOnActionCommand(CommandArgs args);
  int ReleaseJointCommand(CommandArgs args);

  std::uint32_t jointFlags_ = 0;

 private:
  // Messages 162, 164, 75 and 76; false when the base handler is not to run.
  bool HandleLifecycle(std::uint32_t id, void* args);

  std::span<const JointParameterSetter> setters_;
  std::vector<float> parameters_;
  std::span<const std::uint8_t> applyOrder_;
  std::span<const std::uint8_t> fileOrder_;
  bool hasInsertOnAction_;
  dJointID joint_ = nullptr;
};

}  // namespace tge

// SimJoint (class 45): a breakable hinge or universal joint with a voice.
// It is placed in the tree like the plain joint objects; weapons and
// projectiles wear its health down through ApplyHit, it may break when the
// health is gone, and a looping creak follows how fast the joint turns.
// Its parameters hold both axes at once (x the first, y the second) and
// reach the library only when the joint is made.
//
// Releasing the joint (a break, death, or the physics release) also stops
// the creak: with no joint there is nothing left to drive it.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include <ode/ode.h>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/math/Vector.h"
#include "services/resources/ResourceRef.h"

namespace tge {

struct HitMessage;

// simJointFlags: the low byte is the axis choice, the third byte the type.
inline constexpr std::uint32_t kSimJointAxisMask = 0xFF;
inline constexpr std::uint32_t kSimJointBreakOnDie = 0x100;
inline constexpr std::uint32_t kSimJointTypeShift = 16;
inline constexpr std::uint32_t kSimJointTypeMask = 0xFF0000;

enum SimJointParameter : std::uint8_t {
  kSimJointCFM,
  kSimJointLoStop,
  kSimJointHiStop,
  kSimJointStopCFM,
  kSimJointStopERP,
  kSimJointStopBounce,
  kSimJointVelocity,
  kSimJointMaxForce,
  kSimJointFudgeFactor,
  kSimJointParameterCount
};

class SimJoint : public Object {
 public:
  static std::span<const CommandEntry<SimJoint>> Commands();
  static const CommandEntry<SimJoint> kCommands[];

  SimJoint();
  ~SimJoint() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override;

  void CreateJoint();
  void ReleaseJoint();
  dJointID GetJoint() const { return joint_; }
  float GetHealth() const { return health_; }
  Resource* GetSound() const { return sound_.Get(); }

 private:
  template <std::size_t Index>
  int SetParameterCommand(CommandArgs args);
  template <std::size_t Index>
  int GetParameterCommand(CommandArgs args);
  template <std::uint32_t Mask, std::uint32_t Shift>
  int SetByteCommand(CommandArgs args);
  template <std::uint32_t Mask, std::uint32_t Shift>
  int GetByteCommand(CommandArgs args);
  int SetBreakOnDieCommand(CommandArgs args);
  int GetBreakOnDieCommand(CommandArgs args);
  int SetSoundCommand(CommandArgs args);
  int SetStopSoundCommand(CommandArgs args);
  int BreakCommand(CommandArgs args);

  std::uint32_t GetType() const { return (flags_ & kSimJointTypeMask) >> kSimJointTypeShift; }
  void CollectResources(void* set);
  void ApplyHit(const HitMessage& hit);
  // The two axes of the axis choice; false for a choice past 5.
  bool ChooseAxes(Vector3& axis1, Vector3& axis2);
  dJointID BuildHinge(dBodyID first, dBodyID second);
  dJointID BuildUniversal(dBodyID first, dBodyID second);
  void UpdateSound();
  float TurnRate() const;
  bool AnyBodyAwake() const;

  std::array<Vector3, kSimJointParameterCount> parameters_;
  dJointID joint_ = nullptr;
  std::string soundName_;
  ResourceRef sound_;
  std::string stopSoundName_;
  ResourceRef stopSound_;
  float soundMinRange_ = 3.0f;
  float soundMaxRange_ = 10.0f;
  float soundTimer_ = 0;
  float health_ = 100.0f;
  std::uint32_t damageMask_ = 0xFFFFFFFFu;
  std::uint32_t flags_ = 0;
};

void RegisterSimJointCommands();

}  // namespace tge

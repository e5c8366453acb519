// Trigger (class 16): an invisible sensor volume that raises script events
// for what touches it: an enter when something comes in, an exit once the
// volume is empty again (enter and exit at least 0.1 s apart), a repeated
// collision event while something stays, and an enter and exit per
// collision group whose events have scripts.
//
// Its sensor is geometry 0, an event-only sphere with the Callback flag:
// HandleContact, inside the physics step, only records the owner of what
// touched it; Update, in the same frame's tick, turns that into events.
// Everything remembered across frames is held weakly, so an object deleted
// while inside leaves with its exit raised without a sender.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"

namespace tge {

// One collision group's occupants: seen in the previous and the current
// frame, and the sender of the group's events.
struct TriggerGroup {
  ObjectRef<> previousOccupant;
  ObjectRef<> currentOccupant;
  ObjectRef<> enteredObject;
  bool hasScript = false;
};

class Trigger : public Object {
 public:
  static constexpr std::uint32_t kEnable = 1;
  static constexpr std::uint32_t kInside = 2;
  static constexpr std::uint32_t kGroupEvents = 4;
  static constexpr std::uint32_t kHasEnterScript = 0x100;
  static constexpr std::uint32_t kHasExitScript = 0x200;
  static constexpr std::uint32_t kHasCollisionScript = 0x400;
  static constexpr int kGroupCount = 32;
  static constexpr int kEventEnter = 4008;
  static constexpr int kEventExit = 4009;
  static constexpr int kEventCollision = 4010;
  static constexpr int kEventGroupEnter = 4011;
  static constexpr int kEventGroupExit = 4043;

  static std::span<const CommandEntry<Trigger>> Commands();
  static const CommandEntry<Trigger> kCommands[];

  Trigger();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override;
  void Precalculate() override;
  int HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts, int count) override;

  std::uint32_t GetTriggerFlags() const { return triggerFlags_; }
  bool HasGroups() const { return !groups_.empty(); }
  // The object that entered and is still inside; null when none.
  Object* GetObjectInside() const { return (triggerFlags_ & kInside) != 0 ? enteredObject_.Get() : nullptr; }

 private:
  int SetRadiusCommand(CommandArgs args);
  int GetRadiusCommand(CommandArgs args);
  int SetEnableCommand(CommandArgs args);
  int GetEnableCommand(CommandArgs args);
  int SetGroupEventsCommand(CommandArgs args);
  int GetGroupEventsCommand(CommandArgs args);

  void ActionStart();
  void ActionStop();
  void ActionKill();
  // Raises the exit of every group still occupied and forgets them all.
  void FlushGroups();
  // Raises the exit with sender, forgets the contacts and the groups and
  // releases the physics.
  void Leave(Object* sender);
  void UpdateGroups();
  void UpdateEnterAndExit();
  bool HasScriptFor(int eventId) const;

  float collisionRepeatTime_ = 0;
  float collisionTimer_ = 0;
  float stateTimer_ = 10000.0f;
  ObjectRef<> lastContact_;
  ObjectRef<> currentContact_;
  ObjectRef<> enteredObject_;
  // Empty until Precalculate builds them with group events on.
  std::vector<TriggerGroup> groups_;
  std::uint32_t triggerFlags_ = kEnable;
};

void RegisterTriggerCommands();

}  // namespace tge

// Trigger's command table, contact recording, events and file record.
#include "objects/gameplay/props/Trigger.h"

#include <algorithm>
#include <string>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandAccessors.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/files/SerializeStream.h"
#include "objects/gameplay/props/SensorSupport.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto E = CommandKind::kEvent;
// Enter and exit at least this far apart.
constexpr float kStateMinTime = 0.1f;
constexpr float kStateTimerStart = 10000.0f;
// Files before this version knew no disabled trigger.
constexpr int kEnableSavedVersion = 17;

// "OnTriggerEnter%d" and "OnTriggerExit%d" for groups 1 to 32, enter and exit
// of one group together.
std::span<const CommandEntry<Trigger>> GroupEvents() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> made;
    for (int n = 1; n <= Trigger::kGroupCount; ++n) {
      made.push_back("OnTriggerEnter" + std::to_string(n));
      made.push_back("OnTriggerExit" + std::to_string(n));
    }
    return made;
  }();
  static const std::vector<CommandEntry<Trigger>> table = [] {
    std::vector<CommandEntry<Trigger>> made;
    for (int i = 0; i < Trigger::kGroupCount; ++i) {
      made.push_back({Trigger::kEventGroupEnter + i, names[static_cast<std::size_t>(i * 2)].c_str(), E, 0, {}});
      made.push_back({Trigger::kEventGroupExit + i, names[static_cast<std::size_t>(i * 2 + 1)].c_str(), E, 0, {}});
    }
    return made;
  }();
  return table;
}

}  // namespace

// clang-format off
constexpr CommandEntry<Trigger> Trigger::kCommands[] = {
    {4000, "CollisionRepeatTime", P, 0, {kValueFloat}, FieldSetter<&Trigger::collisionRepeatTime_>, FieldGetter<&Trigger::collisionRepeatTime_>},
    {4002, "TriggerRadius", P, 0, {kValueFloat}, Member<&Trigger::SetRadiusCommand>, Member<&Trigger::GetRadiusCommand>},
    {4004, "TriggerEnable", P, 0, {kValueBool}, Member<&Trigger::SetEnableCommand>, Member<&Trigger::GetEnableCommand>},
    {4006, "TriggerEnableGroupEvent", P, 0, {kValueBool}, Member<&Trigger::SetGroupEventsCommand>, Member<&Trigger::GetGroupEventsCommand>},
    {kEventEnter, "OnTriggerEnter", E, 0, {}},
    {kEventExit, "OnTriggerExit", E, 0, {}},
    {kEventCollision, "OnTriggerCollision", E, 0, {}},
};

std::span<const CommandEntry<Trigger>> Trigger::Commands() { return kCommands; }
// clang-format on

Trigger::Trigger() : Object(kClassTrigger) {}

int Trigger::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Trigger> handlers(kClassTrigger, {kCommands});
  handlers.Run(*this, id, args);
  switch (id) {
    case kCommandActionStartStep: ActionStart(); break;
    case kCommandActionStopStep: ActionStop(); break;
    case kCommandActionKillStep: ActionKill(); break;
    case kCommandCreatePhysics:
      if (!GetActive()) return 1;
      if ((triggerFlags_ & kEnable) == 0) {
        PassPhysicsStartToChildren(*this, args);
        return 1;
      }
      collisionTimer_ = collisionRepeatTime_;
      break;
    case kCommandInitializeNewObject:
      AddEmptyEventScript(*this, "OnTriggerEnter");
      InitializeSensor(*this, 1.0f, 2);
      break;
    default: break;
  }
  return Object::ExecuteCommand(id, args);
}

int Trigger::SetRadiusCommand(CommandArgs args) {
  ResizeSensor(*this, {args.Get<float>(), 0, 0});
  return 1;
}

int Trigger::GetRadiusCommand(CommandArgs args) {
  const GeometryRecord* sensor = GetSensor(*this);
  args.Set<float>(sensor != nullptr ? sensor->dimension.x : 0.0f);
  return 1;
}

// Switching off raises no exit; switching on starts outside.
int Trigger::SetEnableCommand(CommandArgs args) {
  StoreFlagArgument(triggerFlags_, kEnable, args);
  if ((triggerFlags_ & kEnable) != 0) {
    triggerFlags_ &= ~kInside;
    stateTimer_ = kStateTimerStart;
    EnableGeometries();
  } else {
    DisableGeometries();
  }
  return 1;
}

int Trigger::GetEnableCommand(CommandArgs args) { return LoadFlagArgument(triggerFlags_, kEnable, args); }

int Trigger::SetGroupEventsCommand(CommandArgs args) { return StoreFlagArgument(triggerFlags_, kGroupEvents, args); }

int Trigger::GetGroupEventsCommand(CommandArgs args) { return LoadFlagArgument(triggerFlags_, kGroupEvents, args); }

void Trigger::ActionStart() {
  ObjectHooks* hooks = GetObjectHooks();
  if ((triggerFlags_ & kEnable) == 0 && hooks != nullptr) hooks->CreateObjectPhysics(*this);
  stateTimer_ = kStateTimerStart;
  triggerFlags_ = (triggerFlags_ | kEnable) & ~kInside;
  currentContact_.Reset();
  lastContact_.Reset();
  collisionTimer_ = collisionRepeatTime_;
}

void Trigger::ActionStop() {
  if ((triggerFlags_ & kEnable) != 0) Leave(lastContact_.Get());
  triggerFlags_ &= ~kEnable;
}

// A kill raises the exit with what was reported since the last update.
void Trigger::ActionKill() {
  if ((triggerFlags_ & kEnable) == 0) return;
  triggerFlags_ &= ~kEnable;
  Leave(currentContact_.Get());
}

void Trigger::Leave(Object* sender) {
  const DeletionHold hold;
  if (sender != nullptr) FireEvent(kEventExit, sender);
  currentContact_.Reset();
  lastContact_.Reset();
  FlushGroups();
  if (ObjectHooks* hooks = GetObjectHooks()) hooks->DestroyObjectPhysics(*this);
}

void Trigger::FlushGroups() {
  if ((triggerFlags_ & kGroupEvents) == 0) return;
  for (int i = 0; i < static_cast<int>(groups_.size()); ++i) {
    TriggerGroup& group = groups_[static_cast<std::size_t>(i)];
    if (!group.hasScript) continue;
    if (group.previousOccupant) FireEvent(kEventGroupExit + i, group.enteredObject.Get());
    group.enteredObject.Reset();
    group.previousOccupant.Reset();
    group.currentOccupant.Reset();
  }
}

// Called inside the physics step: records only.
// The level's geometry never enters: a sphere reaching into the floor would
// otherwise stay inside for good.
int Trigger::HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters*, int) {
  Object* owner = ContactObject(other);
  if ((triggerFlags_ & kEnable) == 0 || owner == nullptr) return 0;
  currentContact_.Set(owner);
  if ((triggerFlags_ & kGroupEvents) != 0 && !groups_.empty()) {
    const std::uint32_t bits = own->collisionBits & other->categoryBits;
    for (int i = 0; i < kGroupCount; ++i) {
      TriggerGroup& group = groups_[static_cast<std::size_t>(i)];
      if (group.hasScript && (bits & (1u << i)) != 0) group.currentOccupant.Set(owner);
    }
  }
  EnableUpdate();
  return 0;
}

void Trigger::Update() {
  if (!GetActive() || (triggerFlags_ & kEnable) == 0 || HasFlag(kFlagKilled)) return;
  const DeletionHold hold;
  const float dt = GetFrameTime();
  stateTimer_ += dt;
  if ((triggerFlags_ & kHasCollisionScript) != 0 && collisionRepeatTime_ > 0 && currentContact_) {
    collisionTimer_ += dt;
    if (collisionTimer_ > collisionRepeatTime_) {
      FireEvent(kEventCollision, currentContact_.Get());
      collisionTimer_ = 0;
    }
  }
  if ((triggerFlags_ & kGroupEvents) != 0) UpdateGroups();
  UpdateEnterAndExit();
  lastContact_ = currentContact_;
  currentContact_.Reset();
}

// Group events follow presence from frame to frame, without the 0.1 s rule.
void Trigger::UpdateGroups() {
  for (int i = 0; i < static_cast<int>(groups_.size()); ++i) {
    TriggerGroup& group = groups_[static_cast<std::size_t>(i)];
    if (!group.hasScript) continue;
    if (group.currentOccupant && !group.previousOccupant) {
      group.enteredObject = group.currentOccupant;
      FireEvent(kEventGroupEnter + i, group.enteredObject.Get());
    } else if (!group.currentOccupant && group.previousOccupant) {
      group.previousOccupant.Reset();
      FireEvent(kEventGroupExit + i, group.enteredObject.Get());
      group.enteredObject.Reset();
    }
    group.previousOccupant = group.currentOccupant;
    group.currentOccupant.Reset();
  }
}

void Trigger::UpdateEnterAndExit() {
  const bool inside = (triggerFlags_ & kInside) != 0;
  if (currentContact_ && !inside && stateTimer_ > kStateMinTime) {
    triggerFlags_ |= kInside;
    stateTimer_ = 0;
    enteredObject_ = currentContact_;
    FireEvent(kEventEnter, currentContact_.Get());
  } else if (!currentContact_ && inside && stateTimer_ > kStateMinTime) {
    lastContact_.Reset();
    FireEvent(kEventExit, enteredObject_.Get());
    stateTimer_ = 0;
    triggerFlags_ &= ~kInside;
  }
}

bool Trigger::HasScriptFor(int eventId) const {
  const std::vector<ObjectScript>* scripts = GetScripts();
  return scripts != nullptr && std::any_of(scripts->begin(), scripts->end(),
                                           [eventId](const ObjectScript& script) { return script.eventId == eventId; });
}

void Trigger::Precalculate() {
  Object::Precalculate();
  triggerFlags_ &= ~(kHasEnterScript | kHasExitScript | kHasCollisionScript);
  if (HasScriptFor(kEventEnter)) triggerFlags_ |= kHasEnterScript;
  if (HasScriptFor(kEventExit)) triggerFlags_ |= kHasExitScript;
  if (HasScriptFor(kEventCollision)) triggerFlags_ |= kHasCollisionScript;
  collisionTimer_ = collisionRepeatTime_;
  groups_.clear();
  if ((triggerFlags_ & kGroupEvents) == 0) return;
  groups_.resize(kGroupCount);
  for (int i = 0; i < kGroupCount; ++i) {
    groups_[static_cast<std::size_t>(i)].hasScript = HasScriptFor(kEventGroupEnter + i) || HasScriptFor(kEventGroupExit + i);
  }
}

void Trigger::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  lastContact_.Reset();
  currentContact_.Reset();
  groups_.clear();
}

bool Trigger::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() >= 1) {
    stream.Serialize(triggerFlags_);
    stream.Serialize(collisionRepeatTime_);
  }
  if (!stream.IsWriting() && stream.GetVersion() < kEnableSavedVersion) triggerFlags_ |= kEnable;
  return !stream.Failed();
}

void RegisterTriggerCommands() {
  RegisterCommandTable<Trigger>(BuildCommandRegistry(), kClassTrigger, Trigger::Commands());
  RegisterCommandTable<Trigger>(BuildCommandRegistry(), kClassTrigger, GroupEvents());
  GetObjectFactory().RegisterType<Trigger>(kClassTrigger);
}

}  // namespace tge

// The Action system: every object's three-phase life of start, stop and
// kill. Each phase has a pre step, an optional delay, the phase itself with
// an optional timed fade of the action value, and a post step; the phases
// pass down the tree unless blocked, every step raises the event of its own
// id, and a kill ends in deletion. Delays and fades run on the World's
// scheduler in the action group, so cancelling general calls leaves them.
#include "core/BaseCommandIds.h"
#include "core/CommandScheduler.h"
#include "core/World.h"
#include "core/commands/BaseCommandTable.h"

namespace tge {
namespace {

enum ActionStep : std::uint32_t {
  kStartValue = 69,
  kStopValue = 70,
  kKillValue = 71,
  kStartPre = 72,
  kStopPre = 73,
  kKillPre = 74,
  kStartStep = 75,
  kStopStep = 76,
  kKillStep = 77,
  kStartPost = 78,
  kStopPost = 79,
  kKillPost = 80,
};

// The post step follows the end of a fade a little later, so the fade's
// final value is in before it.
constexpr float kPostMargin = 0.05f;

}  // namespace

// clang-format off
std::span<const CommandEntry<Object>> Object::ActionCommands() {
  using namespace table_terms;
  static const CommandEntry<Object> table[] = {
    {55, "UseAction", Kind::kProperty, 0, {kBool}, Member<&Object::SetUseActionCommand>, Member<&Object::GetFlagCommand<kFlagUseAction>>},
    {57, "ActionStartDelay", Kind::kProperty, 0, {kFloat}, Member<&Object::SetActionFieldCommand<&ActionRecord::startDelay>>, Member<&Object::GetActionFieldCommand<&ActionRecord::startDelay>>},
    {59, "ActionStartTime", Kind::kProperty, 0, {kFloat}, Member<&Object::SetActionFieldCommand<&ActionRecord::startTime>>, Member<&Object::GetActionFieldCommand<&ActionRecord::startTime>>},
    {61, "ActionStopDelay", Kind::kProperty, 0, {kFloat}, Member<&Object::SetActionFieldCommand<&ActionRecord::stopDelay>>, Member<&Object::GetActionFieldCommand<&ActionRecord::stopDelay>>},
    {63, "ActionStopTime", Kind::kProperty, 0, {kFloat}, Member<&Object::SetActionFieldCommand<&ActionRecord::stopTime>>, Member<&Object::GetActionFieldCommand<&ActionRecord::stopTime>>},
    {65, "ActionKillDelay", Kind::kProperty, 0, {kFloat}, Member<&Object::SetActionFieldCommand<&ActionRecord::killDelay>>, Member<&Object::GetActionFieldCommand<&ActionRecord::killDelay>>},
    {67, "ActionKillTime", Kind::kProperty, 0, {kFloat}, Member<&Object::SetActionFieldCommand<&ActionRecord::killTime>>, Member<&Object::GetActionFieldCommand<&ActionRecord::killTime>>},
    {69, "ActionStartValue", Kind::kCommand, S, {kFloat}, Member<&Object::SetActionValueCommand>},
    {70, "ActionStopValue", Kind::kCommand, S, {kFloat}, Member<&Object::SetActionValueCommand>},
    {71, "ActionKillValue", Kind::kCommand, S, {kFloat}, Member<&Object::SetActionValueCommand>},
    {72, "ActionStartPre", Kind::kEvent, 0, {}, Member<&Object::ActionStartPre>},
    {73, "ActionStopPre", Kind::kEvent, 0, {}, Member<&Object::ActionStopPre>},
    {74, "ActionKillPre", Kind::kEvent, 0, {}, Member<&Object::ActionKillPre>},
    {75, "ActionStart", Kind::kEvent, 0, {}, Member<&Object::ActionStartStep>},
    {76, "ActionStop", Kind::kEvent, 0, {}, Member<&Object::ActionStopStep>},
    {77, "ActionKill", Kind::kEvent, 0, {}, Member<&Object::ActionKillStep>},
    {78, "ActionStartPost", Kind::kEvent, 0, {}, Member<&Object::ActionStartPost>},
    {79, "ActionStopPost", Kind::kEvent, 0, {}, Member<&Object::ActionStopPost>},
    {80, "ActionKillPost", Kind::kEvent, 0, {}, Member<&Object::ActionKillPost>},
    {81, "Start", Kind::kCommand, P, {}, Member<&Object::StartCommand>},
    {82, "Stop", Kind::kCommand, P, {}, Member<&Object::StopCommand>},
    {83, "Kill", Kind::kCommand, P, {}, Member<&Object::KillCommand>},
    {84, "ActionBlockStartFromParent", Kind::kProperty, 0, {kBool}, Member<&Object::SetFlagCommand<kFlagActionBlockStartFromParent>>, Member<&Object::GetFlagCommand<kFlagActionBlockStartFromParent>>},
    {86, "ActionBlockStopFromParent", Kind::kProperty, 0, {kBool}, Member<&Object::SetFlagCommand<kFlagActionBlockStopFromParent>>, Member<&Object::GetFlagCommand<kFlagActionBlockStopFromParent>>},
    {88, "ActionBlockKillFromParent", Kind::kProperty, 0, {kBool}, Member<&Object::SetFlagCommand<kFlagActionBlockKillFromParent>>, Member<&Object::GetFlagCommand<kFlagActionBlockKillFromParent>>},
    {90, "ActionBlockStartToChildren", Kind::kProperty, 0, {kBool}, Member<&Object::SetFlagCommand<kFlagActionBlockStartToChildren>>, Member<&Object::GetFlagCommand<kFlagActionBlockStartToChildren>>},
    {92, "ActionBlockStopToChildren", Kind::kProperty, 0, {kBool}, Member<&Object::SetFlagCommand<kFlagActionBlockStopToChildren>>, Member<&Object::GetFlagCommand<kFlagActionBlockStopToChildren>>},
    {94, "ActionBlockKillToChildren", Kind::kProperty, 0, {kBool}, Member<&Object::SetFlagCommand<kFlagActionBlockKillToChildren>>, Member<&Object::GetFlagCommand<kFlagActionBlockKillToChildren>>},
    {96, "ActionStopPreOnStartPost", Kind::kProperty, 0, {kBool}, Member<&Object::SetFlagCommand<kFlagActionStopPreOnStartPost>>, Member<&Object::GetFlagCommand<kFlagActionStopPreOnStartPost>>},
    {98, "ActionStartPreOnStopPost", Kind::kProperty, 0, {kBool}, Member<&Object::SetFlagCommand<kFlagActionStartPreOnStopPost>>, Member<&Object::GetFlagCommand<kFlagActionStartPreOnStopPost>>},
    {102, "ActionForceDeleteOnKillPost", Kind::kProperty, 0, {kBool}, Member<&Object::SetFlagCommand<kFlagActionForceDeleteOnKillPost>>, Member<&Object::GetFlagCommand<kFlagActionForceDeleteOnKillPost>>},
    {104, "GetActionStarted", Kind::kCommand, G, {kBool}, Member<&Object::GetFlagCommand<kFlagActionStarted>>},
  };
  return table;
}
// clang-format on

float Object::GetActionValue() const {
  if (action_) return action_->value;
  return HasFlag(kFlagActionStarted) ? 1.0f : 0.0f;
}

void Object::ResetAction() {
  if (action_) action_->value = 0;
  SetFlag(kFlagActionStarted, false);
}

void Object::SetActionValueRecursive(float value) {
  if (action_) {
    action_->value = value;
    if (value != 0) SetFlag(kFlagActionStarted, true);
  }
  for (int i = 0; i < GetChildCount(); ++i) GetChild(i)->SetActionValueRecursive(value);
}

int Object::SetUseActionCommand(CommandArgs args) {
  SetUseAction(args.Get<std::int32_t>() != 0);
  return 1;
}

template <float ActionRecord::*Field>
int Object::SetActionFieldCommand(CommandArgs args) {
  if (action_) action_.get()->*Field = args.Get<float>();
  return 1;
}

template <float ActionRecord::*Field>
int Object::GetActionFieldCommand(CommandArgs args) {
  args.Set(action_ ? action_.get()->*Field : 0.0f);
  return 1;
}

int Object::SetActionValueCommand(CommandArgs args) {
  if (action_) action_->value = args.Get<float>();
  return 1;
}

// Without a World the step runs at once, so callers set the phase first.
void Object::PostActionStep(std::uint32_t step, float delay) {
  if (GetWorld() != nullptr) GetWorld()->DelayCommand(*this, static_cast<int>(step), nullptr, delay, kScheduleAction);
  else ExecuteCommand(step, nullptr);
}

void Object::FadeActionValue(std::uint32_t command, float from, float to, float time) {
  if (GetWorld() != nullptr) GetWorld()->InterpolateCommand(*this, static_cast<int>(command), nullptr, time, from, to, kScheduleAction);
  else action_->value = to;
}

void Object::PassActionStep(std::uint32_t step, std::uint32_t blockToChildren, std::uint32_t blockFromParent) {
  if (!HasFlag(blockToChildren)) SendToChildren(step, nullptr, blockFromParent);
}

// A step's event may run a script that deletes this object: the Action of
// an object that left the tree stops where it is.
int Object::ActionStartPre(CommandArgs) {
  if (IsRetired()) return 1;
  if (action_ && action_->startDelay > 0) {
    action_->phase = kStartPre;
    PostActionStep(kStartStep, action_->startDelay);
  } else {
    ExecuteCommand(kStartStep, nullptr);
  }
  FireEvent(kStartPre, nullptr);
  return 1;
}

int Object::ActionStopPre(CommandArgs) {
  if (!FireEventStillHere(kStopPre, nullptr)) return 1;
  if (action_ && action_->stopDelay > 0) {
    action_->phase = kStopPre;
    PostActionStep(kStopStep, action_->stopDelay);
  } else {
    ExecuteCommand(kStopStep, nullptr);
  }
  return 1;
}

int Object::ActionKillPre(CommandArgs) {
  if (!FireEventStillHere(kKillPre, nullptr)) return 1;
  if (action_ && action_->killDelay > 0) {
    action_->phase = kKillPre;
    PostActionStep(kKillStep, action_->killDelay);
  } else {
    ExecuteCommand(kKillStep, nullptr);
  }
  return 1;
}

// A fresh or finished value fades in from 0; a value caught mid-fade goes on
// from where it is.
int Object::ActionStartStep(CommandArgs) {
  PassActionStep(kStartPre, kFlagActionBlockStartToChildren, kFlagActionBlockStartFromParent);
  if (action_ && action_->startTime > 0) {
    if (action_->value == 0 || action_->value == 1.0f) action_->value = 0;
    action_->phase = kStartStep;
    FadeActionValue(kStartValue, action_->value, 1.0f, action_->startTime);
    PostActionStep(kStartPost, action_->startTime + kPostMargin);
  } else {
    ExecuteCommand(kStartPost, nullptr);
  }
  SetFlag(kFlagActionStarted, true);
  FireEvent(kStartStep, nullptr);
  return 1;
}

int Object::ActionStopStep(CommandArgs) {
  if (!FireEventStillHere(kStopStep, nullptr)) return 1;
  PassActionStep(kStopPre, kFlagActionBlockStopToChildren, kFlagActionBlockStopFromParent);
  if (action_ && action_->stopTime > 0) {
    if (action_->value == 0 || action_->value == 1.0f) action_->value = 1.0f;
    action_->phase = kStopStep;
    FadeActionValue(kStopValue, action_->value, 0, action_->stopTime);
    PostActionStep(kStopPost, action_->stopTime + kPostMargin);
  } else {
    ExecuteCommand(kStopPost, nullptr);
  }
  return 1;
}

int Object::ActionKillStep(CommandArgs) {
  if (!FireEventStillHere(kKillStep, nullptr)) return 1;
  PassActionStep(kKillPre, kFlagActionBlockKillToChildren, kFlagActionBlockKillFromParent);
  if (action_ && action_->killTime > 0) {
    action_->phase = kKillStep;
    FadeActionValue(kKillValue, action_->value, 0, action_->killTime);
    PostActionStep(kKillPost, action_->killTime + kPostMargin);
  } else {
    if (action_) action_->value = 0;
    ExecuteCommand(kKillPost, nullptr);
  }
  SetFlag(kFlagActionStarted, false);
  SetFlag(kFlagKilled, true);
  return 1;
}

int Object::ActionStartPost(CommandArgs) {
  if (action_) {
    action_->value = 1.0f;
    action_->phase = kStartPost;
  }
  if (HasFlag(kFlagActionKillPreOnStartPost)) ExecuteCommand(kKillPre, nullptr);
  if (HasFlag(kFlagActionStopPreOnStartPost)) ExecuteCommand(kStopPre, nullptr);
  FireEvent(kStartPost, nullptr);
  return 1;
}

// With both cycle flags set the restart goes through the scheduler: without
// delays it would otherwise recurse without end.
int Object::ActionStopPost(CommandArgs) {
  if (!FireEventStillHere(kStopPost, nullptr)) return 1;
  if (action_) {
    action_->value = 0;
    action_->phase = kStopPost;
  }
  SetFlag(kFlagActionStarted, false);
  if (!HasFlag(kFlagActionStartPreOnStopPost)) return 1;
  if (!HasFlag(kFlagActionStopPreOnStartPost)) ExecuteCommand(kStartPre, nullptr);
  else if (GetWorld() != nullptr) GetWorld()->DelayCommand(*this, kStartPre, nullptr, 0, kScheduleAction);
  return 1;
}

int Object::ActionKillPost(CommandArgs) {
  if (!FireEventStillHere(kKillPost, nullptr)) return 1;
  if (action_) action_->phase = kKillPost;
  if (GetChildCount() == 0 || HasFlag(kFlagActionForceDeleteOnKillPost)) Delete(true);
  SetFlag(kFlagKilled, true);
  return 1;
}

int Object::StartCommand(CommandArgs) {
  ExecuteCommand(kStartPre, nullptr);
  return 1;
}

int Object::StopCommand(CommandArgs) {
  ExecuteCommand(kStopPre, nullptr);
  return 1;
}

int Object::KillCommand(CommandArgs) {
  if (!HasFlag(kFlagKilled)) ExecuteCommand(kKillPre, nullptr);
  return 1;
}

}  // namespace tge

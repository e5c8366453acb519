#include "core/CommandScheduler.h"

#include <algorithm>
#include <cstring>

#include "core/CommandRegistry.h"
#include "core/Object.h"
#include "core/ObjectHooks.h"

namespace tge {
namespace {

constexpr float kEveryFramePeriod = 0.001f;

void DetachAll(ScheduleLink& list) {
  ScheduleLink* link = list.next;
  while (link != nullptr) {
    ScheduleLink* next = link->next;
    link->prev = link->next = nullptr;
    link = next;
  }
  list.next = nullptr;
}

// Copies what the caller's block really holds; the registered size may count
// more (a TreePath counts its path text), and that rest stays zero.
void CopyArguments(const CommandRecord& record, const void* args, ScheduledCall& call) {
  const auto& types = record.argumentTypes;
  if (std::find(types.begin(), types.end(), kValueString) != types.end()) {
    call.text = *static_cast<const std::string*>(args);
    call.hasText = true;
    return;
  }
  const std::size_t bytes = std::min(call.argumentBytes.size(), static_cast<std::size_t>(record.blockBytes));
  std::memcpy(call.argumentBytes.data(), args, bytes);
}

}  // namespace

CommandScheduler::CommandScheduler(Object& owner) {
  for (ScheduleLink* list : {&everyFrame_, &delay_, &interpolation_, &repeat_, &update_}) list->owner = &owner;
}

CommandScheduler::~CommandScheduler() {
  for (ScheduleLink* list : {&everyFrame_, &delay_, &interpolation_, &repeat_, &update_}) DetachAll(*list);
}

ScheduledCall& CommandScheduler::Post(ScheduleLink& list, Object& target, int commandId, void* args, int group) {
  const CommandRecord* record = args ? FindCommand(commandId) : nullptr;
  const int bytes = record ? record->argumentBytes : 0;
  ScheduleLink* link = target.AddScheduleLink(list, kScheduledCallHeaderBytes + bytes, group);
  ScheduledCall& call = *link->payload;
  call.commandId = commandId;
  if (bytes > 0) CopyArguments(*record, args, call);
  return call;
}

void CommandScheduler::Delay(Object& target, int commandId, void* args, float delay, int group,
                             float initialElapsed) {
  ScheduledCall& call = Post(delay_, target, commandId, args, group);
  call.elapsed = initialElapsed;
  call.limit = delay;
}

void CommandScheduler::Repeat(Object& target, int commandId, void* args, float period, float initialElapsed) {
  ScheduleLink& list = period <= kEveryFramePeriod ? everyFrame_ : repeat_;
  ScheduledCall& call = Post(list, target, commandId, args, kScheduleGeneral);
  call.elapsed = initialElapsed;
  call.limit = period;
}

void CommandScheduler::Interpolate(Object& target, int commandId, void* args, float duration, float from,
                                   float to, int group, float initialElapsed) {
  ScheduledCall& call = Post(interpolation_, target, commandId, args, group);
  call.elapsed = initialElapsed;
  call.limit = duration;
  call.from = from;
  call.to = to;
}

void CommandScheduler::Cancel(Object& target, int commandId, int groupMask) {
  for (int i = 0; i < target.GetScheduleLinkCount(); ++i) {
    ScheduleLink* link = target.GetScheduleLink(i);
    if ((link->group & groupMask) == 0 || !link->payload) continue;
    if (commandId == -1 || link->payload->commandId == commandId) link->dead = true;
  }
}

void CommandScheduler::AddUpdate(Object& object) {
  for (int i = 0; i < object.GetScheduleLinkCount(); ++i) {
    const ScheduleLink* link = object.GetScheduleLink(i);
    if ((link->group & kScheduleUpdate) != 0 && !link->payload && !link->dead) return;
  }
  ScheduleLink* last = &update_;
  while (last->next != nullptr) last = last->next;
  object.AddScheduleLink(*last, 0, kScheduleUpdate);
}

void CommandScheduler::RemoveUpdate(Object& object) {
  for (int i = 0; i < object.GetScheduleLinkCount(); ++i) {
    ScheduleLink* link = object.GetScheduleLink(i);
    if ((link->group & kScheduleUpdate) != 0 && !link->payload && !link->dead) {
      link->dead = true;
      return;
    }
  }
}

// The successor is taken before the call; nothing the call does can take it
// away (see the file comment).
template <class Fire>
void CommandScheduler::Walk(ScheduleLink& list, Fire fire) {
  ScheduleLink* link = list.next;
  while (link != nullptr) {
    ScheduleLink* next = link->next;
    if (link->dead || (fire(*link) == Fired::kKept && link->dead)) link->owner->RemoveScheduleLink(link);
    link = next;
  }
}

ScheduledCall& CommandScheduler::TakeLastCall(ScheduleLink& link) {
  lastCall_ = *link.payload;
  link.owner->RemoveScheduleLink(&link);
  return lastCall_;
}

CommandScheduler::Fired CommandScheduler::FireDelay(ScheduleLink& link, float frameTime) {
  link.payload->elapsed += frameTime;
  if (!(link.payload->elapsed > link.payload->limit)) return Fired::kKept;
  Object& owner = *link.owner;
  ScheduledCall& call = TakeLastCall(link);
  ExecuteDataCommand(owner, static_cast<std::uint32_t>(call.commandId), call.Args());
  return Fired::kHandedBack;
}

CommandScheduler::Fired CommandScheduler::FireInterpolation(ScheduleLink& link, float frameTime) {
  ScheduledCall& posted = *link.payload;
  posted.elapsed += frameTime;
  const bool final = !(posted.limit > 0) || posted.elapsed > posted.limit;
  float value = final ? posted.to : posted.from + (posted.to - posted.from) * (posted.elapsed / posted.limit);
  Object& owner = *link.owner;
  ScheduledCall& call = final ? TakeLastCall(link) : posted;
  void* block = &value;
  if (!call.hasText && call.argumentBytes.size() >= sizeof(float)) {
    std::memcpy(call.argumentBytes.data(), &value, sizeof(float));
    block = call.argumentBytes.data();
  }
  ExecuteDataCommand(owner, static_cast<std::uint32_t>(call.commandId), block);
  return final ? Fired::kHandedBack : Fired::kKept;
}

void CommandScheduler::Run(float frameTime) {
  DeletionHold hold;
  Walk(everyFrame_, [](ScheduleLink& link) {
    ExecuteDataCommand(*link.owner, static_cast<std::uint32_t>(link.payload->commandId), link.payload->Args());
    return Fired::kKept;
  });
  Walk(delay_, [this, frameTime](ScheduleLink& link) { return FireDelay(link, frameTime); });
  Walk(interpolation_, [this, frameTime](ScheduleLink& link) { return FireInterpolation(link, frameTime); });
  Walk(repeat_, [frameTime](ScheduleLink& link) {
    ScheduledCall& call = *link.payload;
    call.elapsed += frameTime;
    if (call.elapsed > call.limit) {
      ExecuteDataCommand(*link.owner, static_cast<std::uint32_t>(call.commandId), call.Args());
      call.elapsed -= call.limit;
    }
    return Fired::kKept;
  });
  Walk(update_, [](ScheduleLink& link) {
    link.owner->Update();
    return Fired::kKept;
  });
}

}  // namespace tge

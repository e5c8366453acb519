// Animation's command tables, entry list and queue, and the file record.
// The playback itself is in AnimationPlayback.cpp.
#include "objects/scene/animation/Animation.h"

#include <algorithm>
#include <cstdio>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/files/SerializeStream.h"
#include "core/math/Random.h"
#include "services/resources/AnimationResource.h"
#include "services/resources/Resource.h"
#include "services/resources/ResourceSet.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr auto E = CommandKind::kEvent;
// A stored entry: its name's length, the style word and the speed.
constexpr std::uint64_t kMinEntryBytes = 12;
constexpr std::uint32_t kReversedShift = 8;
constexpr std::uint32_t kPauseOnStopShift = 16;

// Drops an index from a list of entry indices and moves the later ones down.
template <class List>
void DropIndex(List& indices, int gone) {
  indices.erase(std::remove(indices.begin(), indices.end(), gone), indices.end());
  for (int& index : indices) {
    if (index > gone) --index;
  }
}

}  // namespace

// clang-format off
using A = Animation;
constexpr CommandEntry<Animation> Animation::kCommands[] = {
    {5500, "AddAnimation", C, 0, {kValueString}, Member<&A::AddAnimationCommand>},
    {5501, "SetAnimationList", C, 0, {kValueDword}, Member<&A::SetListCommand>},
    {5502, "GetAnimationList", C, 0, {kValuePointer}, Member<&A::GetListCommand>},
    {5503, "DeleteAnimation", C, 0, {}, Member<&A::DeleteAnimationCommand>},
    {5506, "AnimationSpeed", P, 0, {kValueFloat}, Member<&A::SetSpeedCommand>, Member<&A::GetSpeedCommand>},
    {5508, "AnimationTime", P, 0, {kValueFloat}, Member<&A::SetTimeCommand>, Member<&A::GetTimeCommand>},
    {5510, "AnimationPlay", C, 0, {kValueString}, Member<&A::AnimationPlayCommand>},
    {5511, "PlayAnimation", C, kCommandSetter, {}, Member<&A::PlayCommand>},
    {5512, "StopAnimation", C, kCommandSetter, {}, Member<&A::StopCommand>},
    {5513, "PauseAnimation", C, kCommandSetter, {}, Member<&A::PauseCommand>},
    {5514, "CreateAnimationObjects", C, 0, {}, Member<&A::CreateObjectsCommand>},
    {5515, "ResetAnimation", C, kCommandSetter, {}, Member<&A::ResetCommand>},
    {5516, "AnimationStyle", P, 0, {kValueDword}, Member<&A::SetStyleCommand>, Member<&A::GetStyleCommand>},
    {5518, "AnimationSpeedMul", P, 0, {kValueFloat}, Member<&A::SetSpeedMulCommand>, Member<&A::GetSpeedMulCommand>},
    {5520, "AnimationPauseOnStop", P, 0, {kValueBool}, Member<&A::SetPauseOnStopCommand>, Member<&A::GetPauseOnStopCommand>},
    {5522, "AnimationSyncFirstChild", P, 0, {kValueBool}, FlagSetter<&A::animationFlags_, kAnimationSyncFirstChild>, FlagGetter<&A::animationFlags_, kAnimationSyncFirstChild>},
    {5524, "AnimationQueuePushBack", C, 0, {kValueString}, Member<&A::QueuePushCommand<true>>},
    {5525, "AnimationQueuePushFront", C, 0, {kValueString}, Member<&A::QueuePushCommand<false>>},
    {5526, "AnimationQueuePushRandomBack", C, 0, {}, Member<&A::QueuePushRandomCommand<true>>},
    {5527, "AnimationQueuePushRandomFront", C, 0, {}, Member<&A::QueuePushRandomCommand<false>>},
    {5528, "AnimationQueueClear", C, 0, {}, Member<&A::QueueClearCommand>},
    {5529, "AnimationQueueForceNext", C, 0, {}, Member<&A::QueueForceNextCommand>},
    {kEventQueueEmpty, "OnAnimationQueueEmpty", E, 0, {}},
    {kEventEnd, "OnAnimationEnd", E, 0, {}},
    {kEventLoop, "OnAnimationLoop", E, 0, {}},
    {kEventReverse, "OnAnimationReverse", E, 0, {}},
};

std::span<const CommandEntry<Animation>> Animation::Commands() { return kCommands; }

constexpr CommandEntry<Animation> Animation::kHidden[] = {
    {5504, "", P, 0, {kValueBool}, FlagSetter<&Animation::animationFlags_, kAnimationHasNamePrefix>, FlagGetter<&Animation::animationFlags_, kAnimationHasNamePrefix>},
};

std::span<const CommandEntry<Animation>> Animation::Hidden() { return kHidden; }
// clang-format on

Animation::Animation() : Object(kClassAnimation) {}

void Animation::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  time_ = 0;
  playing_ = false;
  paused_ = false;
  targets_.clear();
}

// Every id goes on to the base handler, whose result is the answer.
int Animation::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Animation> handlers(kClassAnimation, {kCommands, kHidden});
  handlers.Run(*this, id, args);
  if (id == kCommandActionStartStep) {
    PlayCommand(CommandArgs(nullptr));
  } else if (id == kCommandActionStopStep) {
    Stop();
  } else if (id == kCommandCollectResources && args != nullptr) {
    CollectResources(args);
  } else if (id == kCommandChildDeleted || id == kCommandChildMoved) {
    for (ObjectRef<Object>& target : targets_) {
      if (target == static_cast<Object*>(args)) target.Reset();
    }
  } else if (id == kCommandChildAdded && (animationFlags_ & kAnimationSyncFirstChild) != 0) {
    targets_.clear();
    for (int i = 0; i < GetChildCount(); ++i) targets_.emplace_back(GetChild(i));
  }
  return Object::ExecuteCommand(id, args);
}

AnimationListEntry* Animation::EntryAt(int index) {
  return index >= 0 && index < static_cast<int>(entries_.size()) ? &entries_[static_cast<std::size_t>(index)] : nullptr;
}

int Animation::AddAnimation(const std::string& name) {
  if (std::any_of(entries_.begin(), entries_.end(), [&](const AnimationListEntry& e) { return e.name == name; })) {
    return -1;
  }
  AnimationListEntry entry;
  entry.name = name;
  entries_.push_back(std::move(entry));
  return static_cast<int>(entries_.size()) - 1;
}

// A prefix measured on the first entry is skipped only as far as each name goes.
int Animation::FindEntry(const std::string& name) const {
  const bool prefixed = (animationFlags_ & kAnimationHasNamePrefix) != 0;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const std::string& full = entries_[i].name;
    const std::size_t skip = prefixed ? std::min(prefixLength_, full.size()) : 0;
    if (full.compare(skip, std::string::npos, name) == 0) return static_cast<int>(i);
  }
  return -1;
}

void Animation::AnimationPlay(const std::string& name) {
  const int index = FindEntry(name);
  if (index >= 0) PlayIndex(index);
}

float Animation::GetEntryLength(int index) const {
  if (index < 0 || index >= static_cast<int>(entries_.size())) return 0;
  const AnimationListEntry& entry = entries_[static_cast<std::size_t>(index)];
  return GetAnimationLength(entry.animation.Get()) * entry.speed * speed_;
}

void Animation::SetHasNamePrefix(bool on) {
  animationFlags_ = on ? (animationFlags_ | kAnimationHasNamePrefix) : (animationFlags_ & ~kAnimationHasNamePrefix);
}

void Animation::SetUseChildrenAsTargets(bool on) {
  animationFlags_ = on ? (animationFlags_ | kAnimationSyncFirstChild) : (animationFlags_ & ~kAnimationSyncFirstChild);
}

void Animation::Stop() {
  playing_ = false;
  const AnimationListEntry* entry = EntryAt(currentIndex_);
  paused_ = entry != nullptr && entry->pauseOnStop;
}

void Animation::Enqueue(int index, bool back) {
  if (back) {
    queue_.push_back(index);
  } else {
    queue_.push_front(index);
  }
}

bool Animation::PlayQueued() {
  const int next = queue_.front();
  queue_.pop_front();
  PlayIndex(next);
  return !queue_.empty() || FireEventStillHere(kEventQueueEmpty, nullptr);
}

void Animation::CollectResources(void* block) {
  AcquireAnimations();
  auto* set = static_cast<ResourceSet*>(block);
  for (const AnimationListEntry& entry : entries_) set->AddToResourceSet(entry.animation.Get());
}

void Animation::RebuildAlternatives() {
  for (AnimationListEntry& entry : entries_) {
    entry.alternatives.clear();
    for (int k = 1; k <= kMaxAlternatives; ++k) {
      char suffix[8];
      std::snprintf(suffix, sizeof suffix, "_%02d", k);
      const std::string wanted = entry.name + suffix;
      const auto found = std::find_if(entries_.begin(), entries_.end(),
                                       [&](const AnimationListEntry& e) { return e.name == wanted; });
      if (found == entries_.end()) break;
      entry.alternatives.push_back(static_cast<int>(found - entries_.begin()));
    }
  }
}

void Animation::Precalculate() {
  if ((animationFlags_ & kAnimationHasNamePrefix) != 0 && !entries_.empty()) {
    const std::size_t underscore = entries_[0].name.find('_');
    prefixLength_ = underscore == std::string::npos ? 0 : underscore + 1;
  }
  RebuildAlternatives();
  Object::Precalculate();
}

// Loading replaces the list, so nothing may keep an index into the old one.
bool Animation::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() < 1) return !stream.Failed();
  stream.Serialize(animationFlags_);
  stream.Serialize(speed_);
  auto count = static_cast<std::uint32_t>(entries_.size());
  stream.Serialize(count);
  if (!stream.IsWriting()) {
    if (stream.Failed() || !CountFitsStream(stream, count, kMinEntryBytes)) {
      stream.MarkFailed();
      return false;
    }
    entries_.clear();
    entries_.resize(count);
    queue_.clear();
    currentIndex_ = playingEntry_ = -1;
    playing_ = paused_ = false;
  }
  for (AnimationListEntry& entry : entries_) {
    stream.SerializeString(entry.name);
    std::uint32_t word = entry.style | (std::uint32_t{entry.reversed} << kReversedShift) |
                         (std::uint32_t{entry.pauseOnStop} << kPauseOnStopShift);
    stream.Serialize(word);
    entry.style = static_cast<std::uint8_t>(word);
    entry.reversed = ((word >> kReversedShift) & 0xff) != 0;
    entry.pauseOnStop = ((word >> kPauseOnStopShift) & 1) != 0;
    stream.Serialize(entry.speed);
  }
  return !stream.Failed();
}

int Animation::AddAnimationCommand(CommandArgs args) {
  AddAnimation(args.AsString());
  return 1;
}

int Animation::SetListCommand(CommandArgs args) {
  currentIndex_ = args.Get<std::int32_t>();
  return 1;
}

int Animation::GetListCommand(CommandArgs args) {
  auto& names = *static_cast<std::vector<std::string>*>(args.Data());
  for (const AnimationListEntry& entry : entries_) names.push_back(entry.name);
  return 1;
}

int Animation::DeleteAnimationCommand(CommandArgs) {
  if (EntryAt(currentIndex_) != nullptr) {
    const int gone = currentIndex_;
    entries_.erase(entries_.begin() + gone);
    if (playingEntry_ == gone) {
      playingEntry_ = -1;
      playing_ = false;
    } else if (playingEntry_ > gone) {
      --playingEntry_;
    }
    DropIndex(queue_, gone);
    for (AnimationListEntry& entry : entries_) DropIndex(entry.alternatives, gone);
  }
  currentIndex_ = entries_.empty() ? -1 : 0;
  return 1;
}

int Animation::SetSpeedCommand(CommandArgs args) {
  speed_ = std::max(args.Get<float>(), 0.0f);
  return 1;
}

int Animation::GetSpeedCommand(CommandArgs args) {
  args.Set(speed_);
  return 1;
}

int Animation::SetTimeCommand(CommandArgs args) {
  time_ = args.Get<float>();
  return 1;
}

int Animation::GetTimeCommand(CommandArgs args) {
  args.Set(time_);
  return 1;
}

int Animation::AnimationPlayCommand(CommandArgs args) {
  AnimationPlay(args.AsString());
  return 1;
}

int Animation::PlayCommand(CommandArgs) {
  PlayIndex(currentIndex_ < 0 ? 0 : currentIndex_);
  return 1;
}

int Animation::StopCommand(CommandArgs) {
  Stop();
  return 1;
}

int Animation::PauseCommand(CommandArgs) {
  paused_ = true;
  playing_ = false;
  return 1;
}

int Animation::CreateObjectsCommand(CommandArgs) {
  CreateTargets();
  return 1;
}

// The pose at the start time, then stopped as StopAnimation stops. A paused
// entry starts over rather than resuming.
int Animation::ResetCommand(CommandArgs) {
  paused_ = false;
  PlayIndex(currentIndex_ < 0 ? 0 : currentIndex_);
  ApplyPose();
  Stop();
  return 1;
}

int Animation::SetStyleCommand(CommandArgs args) {
  if (AnimationListEntry* entry = EntryAt(currentIndex_)) entry->style = static_cast<std::uint8_t>(args.Get<std::uint32_t>());
  return 1;
}

int Animation::GetStyleCommand(CommandArgs args) {
  const AnimationListEntry* entry = EntryAt(currentIndex_);
  args.Set<std::uint32_t>(entry != nullptr ? entry->style : 0);
  return 1;
}

int Animation::SetSpeedMulCommand(CommandArgs args) {
  if (AnimationListEntry* entry = EntryAt(currentIndex_)) entry->speed = std::max(args.Get<float>(), 0.0f);
  return 1;
}

int Animation::GetSpeedMulCommand(CommandArgs args) {
  const AnimationListEntry* entry = EntryAt(currentIndex_);
  args.Set(entry != nullptr ? entry->speed : 1.0f);
  return 1;
}

int Animation::SetPauseOnStopCommand(CommandArgs args) {
  if (AnimationListEntry* entry = EntryAt(currentIndex_)) entry->pauseOnStop = args.Get<std::int32_t>() != 0;
  return 1;
}

int Animation::GetPauseOnStopCommand(CommandArgs args) {
  const AnimationListEntry* entry = EntryAt(currentIndex_);
  args.Set<std::int32_t>(entry != nullptr && entry->pauseOnStop ? 1 : 0);
  return 1;
}

template <bool Back>
int Animation::QueuePushCommand(CommandArgs args) {
  const int index = FindEntry(args.AsString());
  if (index >= 0) Enqueue(index, Back);
  return 1;
}

template <bool Back>
int Animation::QueuePushRandomCommand(CommandArgs) {
  if (!entries_.empty()) Enqueue(Rand() % static_cast<int>(entries_.size()), Back);
  return 1;
}

int Animation::QueueClearCommand(CommandArgs) {
  queue_.clear();
  return 1;
}

int Animation::QueueForceNextCommand(CommandArgs) {
  if (!queue_.empty()) PlayQueued();
  return 1;
}

void RegisterAnimationCommands() {
  RegisterCommandTable<Animation>(BuildCommandRegistry(), kClassAnimation, Animation::Commands());
  GetObjectFactory().RegisterType<Animation>(kClassAnimation);
}

}  // namespace tge

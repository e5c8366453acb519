// Animation (class 22): plays keyframe animation resources on other objects.
// Each track drives one target's position, scale and rotation. It holds a
// list of named entries, each with a play style (once forwards or
// backwards, ping-pong once, loop, loop backwards, ping-pong loop), plays
// one at a time, raises events at the ends and keeps a queue of entries to
// play next. Entries may have numbered alternatives ("Walk_01" ...) of
// which a start picks one at random. It can make its own targets: meshes
// and cameras named after the tracks.
//
// Entries are addressed by index everywhere (the one played, the one the
// per-entry commands address, the queue, the alternatives), so growing the
// list or copying the object leaves nothing pointing into it; deleting an
// entry drops it from the queue and the alternatives and renumbers the rest.
#pragma once
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "services/resources/ResourceRef.h"

namespace tge {

enum AnimationStyle : std::uint8_t {
  kStyleOnce = 0,
  kStyleOnceBackwards = 1,
  kStylePingPong = 2,
  kStyleLoop = 3,
  kStyleLoopBackwards = 4,
  kStylePingPongLoop = 5,
};

// Bits of the animation flags.
inline constexpr std::uint32_t kAnimationHasNamePrefix = 0x1;
inline constexpr std::uint32_t kAnimationSyncFirstChild = 0x2;

struct AnimationListEntry {
  ResourceRef animation;  // acquired by name when first needed
  std::string name;
  float speed = 1.0f;
  std::vector<int> alternatives;
  std::uint8_t style = kStyleOnce;
  bool reversed = false;
  bool pauseOnStop = false;
};

class Animation : public Object {
 public:
  static constexpr int kEventQueueEmpty = 5530;
  static constexpr int kEventEnd = 5531;
  static constexpr int kEventLoop = 5532;
  static constexpr int kEventReverse = 5533;
  static constexpr int kMaxAlternatives = 20;

  // The registered commands; Hidden() holds the ids only code sends.
  static std::span<const CommandEntry<Animation>> Commands();
  static const CommandEntry<Animation> kCommands[];
  static std::span<const CommandEntry<Animation>> Hidden();
  static const CommandEntry<Animation> kHidden[];

  Animation();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  // The copy starts stopped at time 0 and binds its own targets.
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  void Precalculate() override;

  // The new entry's index; -1 when an entry has exactly that name.
  int AddAnimation(const std::string& name);
  // Plays the first entry of that name (prefix skipped); nothing when none.
  void AnimationPlay(const std::string& name);
  void PlayIndex(int row);
  // Animation length x entry speed x AnimationSpeed; 0 out of range.
  float GetEntryLength(int index) const;
  void SetHasNamePrefix(bool on);
  void SetUseChildrenAsTargets(bool on);
  // The index of the first entry of that name, prefix skipped; -1 for none.
  int FindEntry(const std::string& name) const;
  // Advances the entry played by the frame, raises the end events, starts
  // the next queued entry and poses the targets; false when an event's
  // script deleted this object (it must not be touched then).
  bool UpdateAnimation();

  const std::vector<AnimationListEntry>& GetEntries() const { return entries_; }
  const std::deque<int>& GetQueue() const { return queue_; }
  int GetCurrentIndex() const { return currentIndex_; }
  int GetPlayingEntry() const { return playingEntry_; }
  bool IsPlaying() const { return playing_; }
  bool IsPaused() const { return paused_; }
  float GetTime() const { return time_; }
  std::size_t GetTargetCount() const { return targets_.size(); }
  Object* GetTarget(std::size_t index) const { return index < targets_.size() ? targets_[index].Get() : nullptr; }
  std::size_t GetPrefixLength() const { return prefixLength_; }

 private:
  int AddAnimationCommand(CommandArgs args);
  int SetListCommand(CommandArgs args);
  int GetListCommand(CommandArgs args);
  int DeleteAnimationCommand(CommandArgs args);
  int SetSpeedCommand(CommandArgs args);
  int GetSpeedCommand(CommandArgs args);
  int SetTimeCommand(CommandArgs args);
  int GetTimeCommand(CommandArgs args);
  int AnimationPlayCommand(CommandArgs args);
  int PlayCommand(CommandArgs args);
  int StopCommand(CommandArgs args);
  int PauseCommand(CommandArgs args);
  int CreateObjectsCommand(CommandArgs args);
  int ResetCommand(CommandArgs args);
  int SetStyleCommand(CommandArgs args);
  int GetStyleCommand(CommandArgs args);
  int SetSpeedMulCommand(CommandArgs args);
  int GetSpeedMulCommand(CommandArgs args);
  int SetPauseOnStopCommand(CommandArgs args);
  int GetPauseOnStopCommand(CommandArgs args);
  template <bool Back>
  int QueuePushCommand(CommandArgs args);
  template <bool Back>
  int QueuePushRandomCommand(CommandArgs args);
  int QueueClearCommand(CommandArgs args);
  int QueueForceNextCommand(CommandArgs args);

  AnimationListEntry* EntryAt(int index);
  Resource* PlayingAnimation();
  void AcquireAnimations();
  void BindTargets();
  void Stop();
  void Enqueue(int index, bool back);
  // Plays the queue's front entry and removes it; raises the empty event
  // when that emptied the queue.
  // False when the QueueEmpty event's script deleted this object.
  bool PlayQueued();
  // The end of the entry's time range, by its style; the event to raise.
  int HandleEnd(AnimationListEntry& entry, float length);
  int HandleStart(AnimationListEntry& entry, float length);
  void ApplyPose();
  void CreateTargets();
  void RebuildAlternatives();
  void CollectResources(void* set);

  std::vector<ObjectRef<Object>> targets_;
  std::vector<AnimationListEntry> entries_;
  std::deque<int> queue_;
  int currentIndex_ = -1;
  int playingEntry_ = -1;
  bool playing_ = false;
  bool paused_ = false;
  float time_ = 0;
  float speed_ = 1.0f;
  bool backwards_ = false;
  float startFactor_ = 1.0f;
  std::uint32_t animationFlags_ = 0;
  std::size_t prefixLength_ = 0;
};

void RegisterAnimationCommands();

}  // namespace tge

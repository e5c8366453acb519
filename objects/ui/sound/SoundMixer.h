// SoundMixer (class 38): plays non-positional sounds (music, ambience,
// speech) on numbered channels, eight by default, with fades. A sound
// started on a busy channel cross-fades with the one it replaces, which
// moves to a fade-out record after the real channels until it has faded;
// stopping and pausing can fade out, resuming can fade in; a channel whose
// sound ends raises its end event ("OnSoundMixerChannelEnd1" to 8).
// Channels can count their users, so the last of several stops stop it.
//
// The sounds are counted handles: a mixer that is deleted, loaded, copied
// or given fewer channels stops the sounds it lets go of.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "objects/ui/sound/SoundHandle.h"

namespace tge {

enum class MixerState : std::int32_t {
  kFree = 0,
  kPaused = 1,
  kPlaying = 2,
  kFadingIn = 3,
  kFadingOutToStop = 4,
  kFadingOutToPause = 5,
};

struct MixerChannel {
  SoundHandle sound;
  std::string name;
  float fade = 0;
  float volume = 1.0f;
  float fadeRate = 0;
  float frequency = 1.0f;
  float pan = 0;
  MixerState state = MixerState::kFree;
  std::int32_t loop = 0;
  std::int32_t refCount = 0;
  std::int32_t useRefcount = 0;
  std::int32_t enabled = 1;
  std::int32_t hasScript = 0;
  std::int32_t channelIndex = 0;
};

class SoundMixer : public Object {
 public:
  static constexpr std::uint32_t kDefaultChannelCount = 8;
  static constexpr std::uint32_t kMaxChannelCount = 1024;

  static std::span<const CommandEntry<SoundMixer>> Commands();
  static const CommandEntry<SoundMixer> kCommands[];
  // Answered by id only, never registered.
  static std::span<const CommandEntry<SoundMixer>> InternalCommands();
  static const CommandEntry<SoundMixer> kInternalCommands[];

  SoundMixer();
  ~SoundMixer() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override;
  void Draw() override;
  void Precalculate() override;

  // Channel numbers are 1-based; a fade time of 0 acts at once.
  void PlayOnChannel(const std::string& name, std::uint32_t channel, float fadeTime, bool loop);
  void StopChannel(std::uint32_t channel, float fadeTime);
  void PauseChannel(std::uint32_t channel, float fadeTime);
  void ResumeChannel(std::uint32_t channel, float fadeTime);

  std::uint32_t GetChannelCount() const { return channelCount_; }
  // The channels, then the fade-out records.
  const std::vector<MixerChannel>& GetRecords() const { return channels_; }

 private:
  int PlayCommand(CommandArgs args);
  int PlayLoopingCommand(CommandArgs args);
  int PlayRandomCommand(CommandArgs args);
  int PlayRandomLoopingCommand(CommandArgs args);
  int StopCommand(CommandArgs args);
  int PauseCommand(CommandArgs args);
  int ResumeCommand(CommandArgs args);
  int SetVolumeCommand(CommandArgs args);
  int SetPanCommand(CommandArgs args);
  int SetFrequencyCommand(CommandArgs args);
  int SetChannelCountCommand(CommandArgs args);
  int GetChannelCountCommand(CommandArgs args);
  int SetChannelListCommand(CommandArgs args);
  int GetChannelListCommand(CommandArgs args);
  template <auto Field>
  int SetSelectedFieldCommand(CommandArgs args);
  template <auto Field>
  int GetSelectedFieldCommand(CommandArgs args);

  // Null unless 1 <= channel <= channelCount.
  MixerChannel* Channel(std::uint32_t channel);
  MixerChannel* SelectedRecord();
  // channelCount, or fewer while the records fall short of it.
  std::uint32_t RealChannelCount() const;
  bool FadeOutRecordHolds(const Resource* sound) const;
  void MoveToFadeOutRecord(MixerChannel& channel, float fadeTime);
  void PlayRandom(CommandArgs args, bool loop);
  void Apply(MixerChannel& channel);
  void UpdateVolume(MixerChannel& channel);
  bool EndRecord(std::size_t index);
  void FreeRecord(MixerChannel& record);
  void EndFadeOutRecords();
  // Advances record index by elapsed seconds; true when it was erased.
  bool FadeRecord(std::size_t index, float elapsed);
  void ApplyGroupVolumes();
  void SetChannelCount(std::uint32_t count);

  std::vector<MixerChannel> channels_;
  std::uint32_t channelCount_ = kDefaultChannelCount;
  std::uint32_t selectedChannel_ = 0;
  float updateTimer_ = 0;
  std::uint32_t reserved_ = 0;
};

}  // namespace tge

// Sound (class 4): a 3D speaker placed in the scene, holding an ordered
// list of named sound entries. Scripts and other types play an entry by
// name; an entry Step with further entries Step_01, Step_02 ... plays one
// of them at random. An auto-play speaker starts a random entry when the
// camera comes within its range and stops when the camera leaves. While
// entries play, the speaker keeps their position, distances and cone
// direction up to date about 15 times a second (in its Draw pass).
//
// Sounds are acquired on first play and held as counted handles; a release
// stops the sound, so deleting the speaker or an entry silences it.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "objects/ui/sound/SoundHandle.h"

namespace tge {

class EngineServices;

inline constexpr std::uint32_t kSoundHasNamePrefix = 0x1;
inline constexpr std::uint32_t kSoundAutoPlay = 0x2;
inline constexpr std::uint32_t kSoundAutoPlaying = 0x4;

inline constexpr std::uint32_t kSoundEntryLoop = 0x1;
inline constexpr std::uint32_t kSoundEntryPlaying = 0x1;
inline constexpr std::uint32_t kSoundEntryLooping = 0x2;

struct SoundEntry {
  SoundHandle sound;
  std::string name;
  float volume = 1.0f;
  float pan = 0.0f;
  float frequency = 1.0f;
  // Indices of the entries name_01, name_02 ..., built by Precalculate.
  std::vector<std::int32_t> alternatives;
  // Bits 0-7: Loop; bits 8-15: the length of the name prefix, up to and
  // including the first '_'.
  std::uint32_t entryFlags = 0;
  std::uint32_t stateFlags = 0;
  // The entry (this one or an alternative) its last PlayEntry started, so
  // stopping it by name stops that one too; -1 = none.
  std::int32_t startedVariant = -1;

  std::size_t PrefixLength() const { return (entryFlags >> 8) & 0xFF; }
  bool IsPlaying() const { return (stateFlags & kSoundEntryPlaying) != 0; }
};

class Sound : public Object {
 public:
  static std::span<const CommandEntry<Sound>> Commands();
  static const CommandEntry<Sound> kCommands[];

  Sound();
  ~Sound() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  void Precalculate() override;

  // By name (after the prefix when HasNamePrefix is set); nothing when no
  // entry matches.
  void PlaySoundEntry(const std::string& name);
  void PlaySoundEntryEx(const std::string& name, int loop);
  void StopSoundEntry(const std::string& name);
  // By index; nothing for an index out of range.
  void PlayEntry(int index);
  void PlayEntryEx(int index, int loop);
  void SetEntryVolume(int index, float volume);
  void SetEntryFrequency(int index, float frequency);
  bool IsEntryPlaying(int index) const;
  unsigned GetEntryCount() const { return static_cast<unsigned>(entries_.size()); }
  std::string GetEntryName(int index) const;
  void SetSpeakerMaxRange(float range) { maxRange_ = range; }

  // The index of the new entry, or -1 when one of that name exists.
  int AddSoundEntry(const std::string& name);
  void DeleteEntry(int index);
  const SoundEntry* GetEntry(int index) const;
  std::uint32_t GetSoundFlags() const { return soundFlags_; }

 private:
  template <float SoundEntry::*Field, void (EngineServices::*Apply)(Resource*, float)>
  int SetEntryFieldCommand(CommandArgs args);
  template <float SoundEntry::*Field>
  int GetEntryFieldCommand(CommandArgs args);
  int SetSoundCommand(CommandArgs args);
  int GetSoundCommand(CommandArgs args);
  int SoundPlayCommand(CommandArgs args);
  int SoundStopCommand(CommandArgs args);
  int AddSoundCommand(CommandArgs args);
  int SetSoundListCommand(CommandArgs args);
  int GetSoundListCommand(CommandArgs args);
  int DeleteSoundCommand(CommandArgs args);

  SoundEntry* Entry(int index);
  int FindEntry(const std::string& name) const;
  void SetEntryField(int index, float SoundEntry::*field, void (EngineServices::*apply)(Resource*, float),
                     float value);
  void SetEntrySound(int index, const std::string& name);
  void ComputePrefixLengths();
  void LoadEntrySounds();
  void StartEntry(SoundEntry& entry, int loop);
  void StopEntry(SoundEntry& entry);
  void PlayRandomEntry(int loop);
  void StopAllEntries();
  void CollectResources(void* set);
  void ApplyGroupVolumes();
  void UpdateAutoPlay();
  void UpdatePlayingEntries();

  float minRange_ = 5.0f;
  float maxRange_ = 10.0f;
  float coneInsideAngle_ = 0;
  float coneOutsideAngle_ = 0;
  float coneOutsideVolume_ = 0;
  std::vector<SoundEntry> entries_;
  std::int32_t selectedEntry_ = -1;
  float updateTimer_ = 0;
  std::uint32_t soundFlags_ = 0;
};

}  // namespace tge

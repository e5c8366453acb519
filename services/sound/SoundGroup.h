// The sixteen volume groups every sound belongs to ("Normal", "Ambient",
// "Music", "Effect", "Voice", then "Group_5" to "Group_15"). A group scales
// the volume of its sounds; a changed group volume reaches a playing sound at
// its next volume update, which the Sound and SoundMixer objects make when
// the engine tells them a group changed.
#pragma once
#include <array>
#include <string>

namespace tge {

struct SoundGroup {
  std::string name;
  // Kept beside the volume as the group record has it; nothing reads it.
  float reserved = 1.0f;
  float volume = 1.0f;
};

class SoundGroupTable {
 public:
  static constexpr int kGroupCount = 16;

  SoundGroupTable();

  // Ignored for a group outside 0 to 15.
  void SetVolume(int group, float volume);
  // A sound whose group is outside 0 to 15 (a bad library record) takes the
  // "Normal" group's volume.
  float GetVolume(int group) const;
  const SoundGroup& Get(int group) const;

 private:
  static bool IsGroup(int group) { return group >= 0 && group < kGroupCount; }

  std::array<SoundGroup, kGroupCount> groups_;
};

}  // namespace tge

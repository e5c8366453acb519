#include "services/sound/SoundGroup.h"

namespace tge {

SoundGroupTable::SoundGroupTable() {
  static constexpr const char* kNamed[] = {"Normal", "Ambient", "Music", "Effect", "Voice"};
  for (int group = 0; group < kGroupCount; ++group) {
    groups_[group].name = group < 5 ? kNamed[group] : "Group_" + std::to_string(group);
  }
}

void SoundGroupTable::SetVolume(int group, float volume) {
  if (IsGroup(group)) groups_[group].volume = volume;
}

float SoundGroupTable::GetVolume(int group) const { return Get(group).volume; }

const SoundGroup& SoundGroupTable::Get(int group) const { return groups_[IsGroup(group) ? group : 0]; }

}  // namespace tge

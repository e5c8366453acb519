#include "services/sound/SoundGroup.h"

#include <gtest/gtest.h>

#include "tests/services/sound/SoundTestRig.h"

namespace tge {
namespace {

TEST(SoundGroup, SixteenNamedGroupsAtFullVolumeAndBadIndicesAreIgnored) {
  SoundGroupTable groups;
  const char* expected[] = {"Normal", "Ambient", "Music", "Effect", "Voice", "Group_5", "Group_15"};
  const int index[] = {0, 1, 2, 3, 4, 5, 15};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(groups.Get(index[i]).name, expected[i]);
  for (int group = 0; group < SoundGroupTable::kGroupCount; ++group) EXPECT_EQ(groups.GetVolume(group), 1.0f);

  groups.SetVolume(2, 0.25f);
  groups.SetVolume(16, 0.5f);
  groups.SetVolume(-1, 0.5f);
  EXPECT_EQ(groups.GetVolume(2), 0.25f);
  for (int group : {0, 15}) EXPECT_EQ(groups.GetVolume(group), 1.0f);
  // A sound with a group beyond the table plays in the Normal group.
  groups.SetVolume(0, 0.75f);
  EXPECT_EQ(groups.GetVolume(16), 0.75f);
  EXPECT_EQ(groups.GetVolume(-3), 0.75f);
}

using SoundGroupVolume = test::SoundTestRig;

TEST_F(SoundGroupVolume, GroupSoundAndScaleMakeTheVoiceVolume) {
  SoundResource* shot = AddSound("Shot", test::PcmWave(1, 8000, 16, 0.2));
  shot->group = 3;
  struct Case {
    float group, own, scale;
    std::int32_t volume;
  };
  for (const Case& c : {Case{0.5f, 1.0f, 1.0f, -1250}, Case{1.0f, 0.5f, 1.0f, -1250}, Case{1.0f, 1.0f, 0.0f, -5000},
                        Case{0.5f, 0.5f, 2.0f, -1250}, Case{1.0f, 1.0f, 1.0f, 0}}) {
    services.SetSoundGroupVolume(3, c.group);
    shot->volume = c.own;
    services.UpdateSoundVolume(shot, c.scale);
    EXPECT_EQ(VoiceOf(shot).Volume(), c.volume) << c.group << " " << c.own << " " << c.scale;
  }

  // A new group volume waits for the next volume update; starting makes one.
  services.SetSoundGroupVolume(3, 0.5f);
  EXPECT_EQ(VoiceOf(shot).Volume(), 0);
  services.StartSound(shot, 0);
  EXPECT_EQ(VoiceOf(shot).Volume(), -1250);
  services.SetSoundGroupVolume(16, 0.0f);
  services.UpdateSoundVolume(shot, 1.0f);
  EXPECT_EQ(VoiceOf(shot).Volume(), -1250);
}

}  // namespace
}  // namespace tge

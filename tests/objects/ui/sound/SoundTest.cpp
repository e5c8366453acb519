// Sound speakers: entries played by name, with their numbered variants and
// name prefixes; the sound update of the Draw pass (auto-play by camera
// distance, ended entries); group volumes; silence on deletion and copy.
#include <gtest/gtest.h>

#include <map>

#include "core/ObjectRef.h"
#include "core/math/Random.h"
#include "objects/ui/sound/Sound.h"
#include "tests/objects/ui/UiObjectFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kSetSound = 1016;
constexpr std::uint32_t kSetSoundHasNamePrefix = 1018;
constexpr std::uint32_t kSetSoundAutoPlay = 1020;
constexpr std::uint32_t kSoundPlay = 1022;
constexpr std::uint32_t kSoundStop = 1023;
constexpr std::uint32_t kAddSound = 1024;
constexpr std::uint32_t kSetSoundList = 1025;
constexpr std::uint32_t kDeleteSound = 1027;
constexpr std::uint32_t kSetSoundGroupNormalVolume = 263;

void SendText(Object& object, std::uint32_t id, const std::string& text) {
  std::string value = text;
  object.ExecuteCommand(id, &value);
}
void SendDword(Object& object, std::uint32_t id, std::int32_t value) { object.ExecuteCommand(id, &value); }

class SoundTest : public UiObjectTest {
 protected:
  Sound& AddSpeaker(std::initializer_list<const char*> entries, double seconds = 2.0) {
    Sound& speaker = Add<Sound>(kClassSound, "Speaker");
    speaker.SetInheritOrientation(false);
    speaker.SetPosition({0, 0, 0}, false);
    for (const char* name : entries) {
      AddSound(name, seconds);
      SendText(speaker, kAddSound, name);
    }
    speaker.Precalculate();
    return speaker;
  }
  // The entries playing, by name.
  static std::vector<std::string> Playing(const Sound& speaker) {
    std::vector<std::string> names;
    for (unsigned i = 0; i < speaker.GetEntryCount(); ++i) {
      if (speaker.IsEntryPlaying(static_cast<int>(i))) names.push_back(speaker.GetEntryName(static_cast<int>(i)));
    }
    return names;
  }
  // Frames of a sixtieth of a second, each with the speaker's Draw pass.
  void DrawFrames(Sound& speaker, int count) {
    for (int i = 0; i < count; ++i) {
      Frame();
      speaker.Draw();
    }
  }
  SoundResource& Resource(const std::string& name) {
    return *static_cast<SoundResource*>(Services().GetResources().LookupResource(name, kSoundResource));
  }
};

// Shot_04 is not consecutive with Shot_02, so it is no variant.
TEST_F(SoundTest, PlayingAnEntryChoosesItOrAVariantByTheSeededGenerator) {
  Sound& speaker = AddSpeaker({"Shot", "Shot_01", "Shot_02", "Shot_04"});
  EXPECT_EQ(speaker.GetEntry(0)->alternatives, (std::vector<std::int32_t>{1, 2}));
  const struct {
    std::uint32_t seed;
    const char* played;
  } cases[] = {{2, "Shot"}, {6, "Shot_01"}, {0, "Shot_02"}};
  for (const auto& c : cases) {
    SeedRand(c.seed);
    SendText(speaker, kSoundPlay, "Shot");
    EXPECT_EQ(Playing(speaker), std::vector<std::string>{c.played}) << c.seed;
    EXPECT_TRUE(IsPlaying(Resource(c.played)));
    SendText(speaker, kSoundStop, "Shot");
    EXPECT_TRUE(Playing(speaker).empty());
    EXPECT_FALSE(IsPlaying(Resource(c.played)));
  }
  std::map<std::string, int> counts;
  SeedRand(1);
  for (int i = 0; i < 300; ++i) {
    speaker.PlaySoundEntry("Shot");
    ++counts[Playing(speaker).at(0)];
    speaker.StopSoundEntry("Shot");
  }
  EXPECT_EQ(counts.size(), 3u);
  for (const auto& [name, count] : counts) EXPECT_NEAR(count, 100, 30) << name;
}

TEST_F(SoundTest, NamePrefixesAreSkippedWhenMatching) {
  Sound& speaker = Add<Sound>(kClassSound);
  SendDword(speaker, kSetSoundHasNamePrefix, 1);
  AddSound("Metal_Hit");
  SendText(speaker, kAddSound, "Metal_Hit");
  SendText(speaker, kSoundPlay, "Metal_Hit");
  EXPECT_FALSE(speaker.IsEntryPlaying(0));
  SendText(speaker, kSoundPlay, "Hit");
  EXPECT_TRUE(speaker.IsEntryPlaying(0));
  EXPECT_TRUE(IsPlaying(Resource("Metal_Hit")));
  // A shorter name keeps the old prefix length: the whole name is skipped.
  SendDword(speaker, kSetSoundList, 0);
  SendText(speaker, kSetSound, "Ab");
  EXPECT_FALSE(IsPlaying(Resource("Metal_Hit")));
  speaker.StopSoundEntry("");
  SendText(speaker, kAddSound, "Metal_Hit");
  EXPECT_EQ(speaker.GetEntryCount(), 2u);
  SendText(speaker, kAddSound, "Metal_Hit");
  EXPECT_EQ(speaker.GetEntryCount(), 2u);
}

// Deleting Shot_01 moves Shot_02 down to index 1 in Shot's variants.
TEST_F(SoundTest, DeletingAnEntryKeepsTheOtherEntriesVariantsInTheList) {
  Sound& speaker = AddSpeaker({"Shot", "Shot_01", "Shot_02"});
  SendDword(speaker, kSetSoundList, 1);
  speaker.ExecuteCommand(kDeleteSound, nullptr);
  EXPECT_EQ(speaker.GetEntry(0)->alternatives, (std::vector<std::int32_t>{1}));
  for (std::uint32_t seed : {2u, 6u, 0u}) {
    SeedRand(seed);
    speaker.PlaySoundEntry("Shot");
    EXPECT_EQ(Playing(speaker).size(), 1u);
    speaker.StopSoundEntry("Shot");
  }
  speaker.DeleteEntry(0);
  speaker.DeleteEntry(5);
  EXPECT_EQ(speaker.GetEntryCount(), 1u);
  SendDword(speaker, kSetSoundList, 0);
  speaker.ExecuteCommand(kDeleteSound, nullptr);
  EXPECT_EQ(speaker.GetEntryCount(), 0u);
}

TEST_F(SoundTest, AutoPlayStartsWithinRangePlusTwoAndStopsBeyondRangePlusFour) {
  Sound& speaker = AddSpeaker({"Hum"});
  SendDword(speaker, kSetSoundAutoPlay, 1);
  const struct {
    float distance;
    bool playing;
  } steps[] = {{12.5f, false}, {11.5f, true}, {13.5f, true}, {14.5f, false}, {13.0f, false}};
  for (const auto& step : steps) {
    Services().GetView().SetCameraLookAt({0, 0, step.distance}, {0, 0, 0});
    DrawFrames(speaker, 5);
    EXPECT_EQ(speaker.IsEntryPlaying(0), step.playing) << step.distance;
    EXPECT_EQ(IsPlaying(Resource("Hum")), step.playing) << step.distance;
  }
}

// The entry reads as playing until the update after its sound ended.
TEST_F(SoundTest, AnEndedEntryStopsPlayingAtTheNextUpdate) {
  Sound& speaker = AddSpeaker({"Knock"}, 0.05);
  speaker.PlaySoundEntry("Knock");
  ASSERT_TRUE(WaitFor([&] { return !IsPlaying(Resource("Knock")); }));
  EXPECT_TRUE(speaker.IsEntryPlaying(0));
  DrawFrames(speaker, 5);
  EXPECT_FALSE(speaker.IsEntryPlaying(0));
}

TEST_F(SoundTest, AGroupVolumeChangeReachesAPlayingSound) {
  Sound& speaker = AddSpeaker({"Hum"});
  speaker.PlaySoundEntry("Hum");
  const std::int32_t before = VolumeOf(Resource("Hum"));
  float half = 0.5f;
  engine->ExecuteCommand(kSetSoundGroupNormalVolume, &half);
  EXPECT_LT(VolumeOf(Resource("Hum")), before);
}

// A streamed sound is shared: the copy must not hold it, or deleting the
// copy would stop the original's sound.
TEST_F(SoundTest, DeletingASpeakerSilencesItAndACopyStartsSilent) {
  Sound& speaker = Add<Sound>(kClassSound);
  AddSound("Music", 2.0, SoundResource::kStreamed);
  SendText(speaker, kAddSound, "Music");
  speaker.PlayEntryEx(0, 1);
  ASSERT_TRUE(IsPlaying(Resource("Music")));
  {
    std::unique_ptr<Object> copy = CreateObject(kClassSound, &speaker, "Copy");
    EXPECT_FALSE(static_cast<Sound&>(*copy).IsEntryPlaying(0));
    EXPECT_EQ(static_cast<Sound&>(*copy).GetEntry(0)->sound.Get(), nullptr);
  }
  EXPECT_TRUE(IsPlaying(Resource("Music")));
  ObjectRef<Object> watched(&speaker);
  speaker.Delete(false);
  ASSERT_FALSE(watched);
  EXPECT_FALSE(IsPlaying(Resource("Music")));
}

TEST_F(SoundTest, SaveLoadSaveGivesTheSameBytesAndTheLoadRecomputesPrefixes) {
  Sound& speaker = Add<Sound>(kClassSound);
  SendDword(speaker, kSetSoundHasNamePrefix, 1);
  for (const char* name : {"Wood_Step", "Wood_Step_01"}) {
    AddSound(name);
    SendText(speaker, kAddSound, name);
  }
  speaker.SetEntryVolume(1, 0.25f);
  speaker.SetSpeakerMaxRange(30);
  const std::vector<std::uint8_t> bytes = SaveRecord(speaker);
  std::unique_ptr<Sound> loaded = LoadRecord<Sound>(kClassSound, bytes);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(SaveRecord(*loaded), bytes);
  EXPECT_EQ(loaded->GetEntry(1)->volume, 0.25f);
  EXPECT_EQ(loaded->GetEntry(0)->PrefixLength(), 5u);
  loaded->PlaySoundEntry("Step");
  EXPECT_TRUE(loaded->IsEntryPlaying(0));
  loaded.reset();
  std::vector<std::uint8_t> cut(bytes.begin(), bytes.end() - 2);
  EXPECT_EQ(LoadRecord<Sound>(kClassSound, cut), nullptr);
}

}  // namespace
}  // namespace tge::test

// SoundMixer channels: plays, fades and cross-fades driven by the World's
// update with fed frame times, reference counts, end events, and the
// mixer letting go of its sounds whenever it drops their records.
#include <gtest/gtest.h>

#include <cmath>

#include "core/ObjectRef.h"
#include "core/math/Random.h"
#include "objects/ui/sound/SoundMixer.h"
#include "tests/objects/ui/UiObjectFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kPlay = 9500;
constexpr std::uint32_t kPlayLooping = 9501;
constexpr std::uint32_t kPlayRandom = 9502;
constexpr std::uint32_t kStop = 9504;
constexpr std::uint32_t kPause = 9505;
constexpr std::uint32_t kResume = 9506;
constexpr std::uint32_t kSetVolume = 9507;
constexpr std::uint32_t kSetChannelCount = 9515;
constexpr std::uint32_t kGetChannelCount = 9516;
constexpr std::uint32_t kSetChannelList = 9517;
constexpr std::uint32_t kGetChannelList = 9518;
constexpr std::uint32_t kSetChannelUseRefcount = 9525;
constexpr std::uint32_t kSetChannelEnable = 9527;

class SoundMixerTest : public UiObjectTest {
 protected:
  SoundMixer& AddMixer() {
    SoundMixer& mixer = Add<SoundMixer>(kClassSoundMixer, "Mixer");
    mixer.Precalculate();
    return mixer;
  }
  void Play(SoundMixer& mixer, const std::string& name, std::uint32_t channel, float fade, bool loop = true) {
    ArgumentBlock block;
    block.PushText128(name).Push(channel).Push(fade);
    mixer.ExecuteCommand(loop ? kPlayLooping : kPlay, block.Data());
  }
  void PlayRandom(SoundMixer& mixer, const std::string& name, std::uint32_t count) {
    ArgumentBlock block;
    block.PushText128(name).Push(std::uint32_t{1}).Push(0.0f).Push(count);
    mixer.ExecuteCommand(kPlayRandom, block.Data());
  }
  void Channel(SoundMixer& mixer, std::uint32_t id, std::uint32_t channel, float time) {
    ArgumentBlock block;
    block.Push(channel).Push(time);
    mixer.ExecuteCommand(id, block.Data());
  }
  void Select(SoundMixer& mixer, std::uint32_t selected, std::uint32_t id, std::int32_t value) {
    mixer.ExecuteCommand(kSetChannelList, &selected);
    mixer.ExecuteCommand(id, &value);
  }
  SoundResource& Resource(const std::string& name) {
    return *static_cast<SoundResource*>(Services().GetResources().LookupResource(name, kSoundResource));
  }
  // Frames of a sixtieth of a second.
  void Seconds(double seconds) {
    for (long frame = std::lround(seconds * 60); frame > 0; --frame) Frame();
  }
  static const MixerChannel& Record(const SoundMixer& mixer, std::size_t index) {
    return mixer.GetRecords().at(index);
  }
};

TEST_F(SoundMixerTest, APlayFadesInAndANewSoundCrossFadesTheOldOneOut) {
  SoundMixer& mixer = AddMixer();
  AddSound("A");
  AddSound("B");
  Play(mixer, "a", 1, 2);
  EXPECT_EQ(Record(mixer, 0).state, MixerState::kFadingIn);
  EXPECT_EQ(Record(mixer, 0).fade, 0.0f);
  Seconds(1);
  EXPECT_GT(Record(mixer, 0).fade, 0.3f);
  EXPECT_LT(Record(mixer, 0).fade, 1.0f);
  Seconds(1.5);
  EXPECT_EQ(Record(mixer, 0).state, MixerState::kPlaying);
  EXPECT_EQ(Record(mixer, 0).fade, 1.0f);

  Play(mixer, "B", 1, 1);
  ASSERT_EQ(mixer.GetRecords().size(), 9u);
  EXPECT_EQ(Record(mixer, 8).sound.Registered(), &Resource("A"));
  EXPECT_EQ(Record(mixer, 8).state, MixerState::kFadingOutToStop);
  EXPECT_EQ(Record(mixer, 0).state, MixerState::kFadingIn);
  EXPECT_EQ(Record(mixer, 0).name, "B");
  Seconds(0.5);
  EXPECT_TRUE(IsPlaying(Resource("A")));
  Seconds(1);
  EXPECT_EQ(mixer.GetRecords().size(), 8u);
  EXPECT_FALSE(IsPlaying(Resource("A")));
  EXPECT_TRUE(IsPlaying(Resource("B")));
}

TEST_F(SoundMixerTest, ReferenceCountedChannelsStopAtTheLastUser) {
  SoundMixer& mixer = AddMixer();
  AddSound("Music");
  Select(mixer, 1, kSetChannelUseRefcount, 1);
  Play(mixer, "Music", 2, 0);
  Play(mixer, "Music", 2, 0);
  EXPECT_EQ(Record(mixer, 1).refCount, 2);
  EXPECT_EQ(mixer.GetRecords().size(), 8u);
  Channel(mixer, kStop, 2, 0);
  EXPECT_TRUE(IsPlaying(Resource("Music")));
  Channel(mixer, kStop, 2, 0);
  EXPECT_FALSE(IsPlaying(Resource("Music")));
  EXPECT_EQ(Record(mixer, 1).state, MixerState::kFree);
}

// N = 3 plays name, name_02 or name_03; N = 0 plays the name itself.
TEST_F(SoundMixerTest, PlayRandomChoosesAmongTheNameAndItsNumberedVariants) {
  SoundMixer& mixer = AddMixer();
  for (const char* name : {"Bird", "Bird_01", "Bird_02", "Bird_03"}) AddSound(name);
  const struct {
    std::uint32_t seed;
    std::uint32_t count;
    const char* played;
  } cases[] = {{2, 3, "Bird"}, {6, 3, "Bird_02"}, {0, 3, "Bird_03"}, {0, 0, "Bird"}};
  for (const auto& c : cases) {
    SeedRand(c.seed);
    PlayRandom(mixer, "Bird", c.count);
    EXPECT_EQ(Record(mixer, 0).name, c.played) << c.seed;
    EXPECT_EQ(Record(mixer, 0).sound.Registered(), &Resource(c.played));
    Channel(mixer, kStop, 1, 0);
  }
}

TEST_F(SoundMixerTest, ChannelSettingsChangeOnlyAtOnceAndOnlyOnRealChannels) {
  SoundMixer& mixer = AddMixer();
  AddSound("Hum");
  Play(mixer, "Hum", 1, 0);
  const std::int32_t full = VolumeOf(Resource("Hum"));
  const auto setVolume = [&](std::uint32_t channel, float value, float time) {
    ArgumentBlock block;
    block.Push(channel).Push(value).Push(time);
    mixer.ExecuteCommand(kSetVolume, block.Data());
  };
  setVolume(1, 0.5f, 0.5f);
  EXPECT_EQ(Record(mixer, 0).volume, 1.0f);
  setVolume(0, 0.5f, 0);
  setVolume(9, 0.5f, 0);
  EXPECT_EQ(VolumeOf(Resource("Hum")), full);
  setVolume(1, 0.5f, 0);
  EXPECT_EQ(Record(mixer, 0).volume, 0.5f);
  EXPECT_LT(VolumeOf(Resource("Hum")), full);
}

TEST_F(SoundMixerTest, AnEndedSoundRaisesItsChannelsEndEventAtTheNextPass) {
  Object& counter = AddPlaced("Counter");
  SoundMixer& mixer = Add<SoundMixer>(kClassSoundMixer, "Mixer");
  mixer.SetUseScript(true);
  mixer.GetScripts()->push_back({"OnSoundMixerChannelEnd3", "/Counter.AddPosition(1, 0, 0);",
                                 FindCommandId(&mixer, "OnSoundMixerChannelEnd3"), 0});
  mixer.Precalculate();
  AddSound("Knock", 0.05);
  Play(mixer, "Knock", 3, 0, false);
  ASSERT_TRUE(WaitFor([&] { return !IsPlaying(Resource("Knock")); }));
  EXPECT_EQ(Record(mixer, 2).state, MixerState::kPlaying);
  Seconds(0.1);
  EXPECT_EQ(Record(mixer, 2).state, MixerState::kFree);
  EXPECT_EQ(counter.GetPosition().x, 1.0f);
  Play(mixer, "Knock", 3, 0, false);
  Channel(mixer, kStop, 3, 0);
  EXPECT_EQ(counter.GetPosition().x, 2.0f);
}

// The mixer lets go of, and so stops, every sound whose record it drops.
TEST_F(SoundMixerTest, DroppedRecordsStopTheirSounds) {
  AddSound("A");
  AddSound("B");
  AddSound("C");
  SoundMixer& mixer = AddMixer();
  Play(mixer, "A", 1, 0);
  Play(mixer, "B", 1, 5);
  Play(mixer, "C", 2, 0);
  ASSERT_EQ(mixer.GetRecords().size(), 9u);
  std::uint32_t count = 1;
  mixer.ExecuteCommand(kSetChannelCount, &count);
  EXPECT_EQ(mixer.GetRecords().size(), 1u);
  EXPECT_FALSE(IsPlaying(Resource("A")));
  EXPECT_TRUE(IsPlaying(Resource("B")));
  EXPECT_FALSE(IsPlaying(Resource("C")));
  count = 1025;
  mixer.ExecuteCommand(kSetChannelCount, &count);
  mixer.ExecuteCommand(kGetChannelCount, &count);
  EXPECT_EQ(count, 1u);

  Select(mixer, 0, kSetChannelEnable, 0);
  Channel(mixer, kResume, 1, 0);
  EXPECT_FALSE(IsPlaying(Resource("B")));
  EXPECT_EQ(Record(mixer, 0).state, MixerState::kFree);

  Select(mixer, 0, kSetChannelEnable, 1);
  Play(mixer, "C", 1, 0);
  ObjectRef<Object> watched(&mixer);
  mixer.Delete(false);
  ASSERT_FALSE(watched);
  EXPECT_FALSE(IsPlaying(Resource("C")));
}

TEST_F(SoundMixerTest, NegativeFadeTimesActAtOnce) {
  SoundMixer& mixer = AddMixer();
  AddSound("Hum");
  Play(mixer, "Hum", 1, 0);
  Channel(mixer, kPause, 1, -1);
  EXPECT_EQ(Record(mixer, 0).state, MixerState::kPaused);
  Channel(mixer, kResume, 1, -1);
  EXPECT_EQ(Record(mixer, 0).state, MixerState::kPlaying);
  Channel(mixer, kStop, 1, -1);
  EXPECT_EQ(Record(mixer, 0).state, MixerState::kFree);
  EXPECT_FALSE(IsPlaying(Resource("Hum")));
}

TEST_F(SoundMixerTest, PauseAndResumeFade) {
  SoundMixer& mixer = AddMixer();
  AddSound("Hum");
  Play(mixer, "Hum", 1, 0);
  Channel(mixer, kPause, 1, 0.5f);
  EXPECT_EQ(Record(mixer, 0).state, MixerState::kFadingOutToPause);
  Seconds(0.7);
  EXPECT_EQ(Record(mixer, 0).state, MixerState::kPaused);
  EXPECT_FALSE(IsPlaying(Resource("Hum")));
  Channel(mixer, kResume, 1, 0.5f);
  EXPECT_EQ(Record(mixer, 0).state, MixerState::kFadingIn);
  EXPECT_TRUE(IsPlaying(Resource("Hum")));
  Seconds(0.7);
  EXPECT_EQ(Record(mixer, 0).state, MixerState::kPlaying);
}

// A copy and a loaded mixer are silent; a save mid-cross-fade writes the
// real channels only and leaves the live mixer fading.
TEST_F(SoundMixerTest, CopiesAndSavesKeepSettingsOnlyAndLeaveTheLiveMixerAlone) {
  SoundMixer& mixer = AddMixer();
  AddSound("Music", 2.0, SoundResource::kStreamed);
  AddSound("Rain");
  Select(mixer, 3, kSetChannelUseRefcount, 1);
  Play(mixer, "Rain", 1, 0);
  Play(mixer, "Music", 1, 2);
  ASSERT_EQ(mixer.GetRecords().size(), 9u);
  {
    std::unique_ptr<Object> copy = CreateObject(kClassSoundMixer, &mixer, "Copy");
    const auto& copied = static_cast<SoundMixer&>(*copy);
    EXPECT_EQ(copied.GetRecords().size(), 8u);
    EXPECT_EQ(Record(copied, 0).state, MixerState::kFree);
    EXPECT_EQ(Record(copied, 3).useRefcount, 1);
  }
  EXPECT_TRUE(IsPlaying(Resource("Music")));
  const std::vector<std::uint8_t> bytes = SaveRecord(mixer);
  EXPECT_EQ(mixer.GetRecords().size(), 9u);
  EXPECT_EQ(mixer.GetChannelCount(), 8u);
  std::unique_ptr<SoundMixer> loaded = LoadRecord<SoundMixer>(kClassSoundMixer, bytes);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetChannelCount(), 8u);
  EXPECT_EQ(Record(*loaded, 3).useRefcount, 1);
  EXPECT_EQ(SaveRecord(*loaded), bytes);
  std::vector<std::string> names;
  loaded->ExecuteCommand(kGetChannelList, &names);
  EXPECT_EQ(names.back(), "Channel 8");

  std::vector<std::uint8_t> cut(bytes.begin(), bytes.end() - 4);
  EXPECT_EQ(LoadRecord<SoundMixer>(kClassSoundMixer, cut), nullptr);
  std::unique_ptr<SoundMixer> old = LoadRecord<SoundMixer>(kClassSoundMixer, SaveRecord(mixer, 23), 23);
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(old->GetChannelCount(), 8u);
}

TEST_F(SoundMixerTest, PlaysNothingOnABadOrDisabledChannelOrForAnUnknownName) {
  SoundMixer& mixer = AddMixer();
  AddSound("Hum");
  Play(mixer, "Hum", 0, 0);
  Play(mixer, "Hum", 9, 0);
  Play(mixer, "Nothing", 1, 0);
  Select(mixer, 1, kSetChannelEnable, 0);
  Play(mixer, "Hum", 2, 0);
  EXPECT_FALSE(IsPlaying(Resource("Hum")));
  for (const MixerChannel& record : mixer.GetRecords()) EXPECT_EQ(record.state, MixerState::kFree);
}

}  // namespace
}  // namespace tge::test

#include "services/sound/SoundResource.h"
#include <gtest/gtest.h>

#include "services/EngineServices.h"
#include "services/ErrorMessage.h"
#include "services/sound/SoundResource.h"
#include "tests/platform/audio/LoopWait.h"
#include "tests/services/sound/SoundTestRig.h"

namespace tge {
namespace {

using test::Bytes;
using test::TempDataFolder;

Bytes SoundLibrary(std::uint32_t version, std::uint16_t flags, std::uint16_t group, float length) {
  Bytes bytes;
  bytes.U32(version).U32(1).F32(1.0f).U32(0).U32(0);
  bytes.I32(kSoundResource).I32(0).U32(0).Str("Rain").Str("Rain.wav").Str("");
  return bytes.U16(flags).U16(group).F32(length);
}

TEST(SoundResourceRecord, FieldsRoundTripAndVersionTwoKeepsFullVolume) {
  TempDataFolder folder;
  {
    EngineServices services;
    std::unique_ptr<Resource> created = services.GetResources().CreateResource(kSoundResource);
    auto* rain = static_cast<SoundResource*>(created.get());
    EXPECT_EQ(rain->flags, SoundResource::k3D);
    EXPECT_EQ(rain->volume, 1.0f);
    rain->SetName("Rain");
    rain->flags = SoundResource::kStreamed;
    rain->group = 2;
    rain->length = 12.5f;
    rain->volume = 0.75f;
    services.GetResources().RegisterResource(std::move(created));
    ASSERT_EQ(services.SerializeLibrary(folder.Folder() + "Data/Sounds.sli", 0), 1) << GetErrorMessage();
  }
  folder.Write("Data/Old.sli", SoundLibrary(2, SoundResource::k3D, 4, 3.0f).data);

  struct Case {
    const char* file;
    std::uint16_t flags, group;
    float length, volume;
  };
  for (const Case& c : {Case{"Sounds.sli", SoundResource::kStreamed, 2, 12.5f, 0.75f},
                        Case{"Old.sli", SoundResource::k3D, 4, 3.0f, 1.0f}}) {
    SCOPED_TRACE(c.file);
    EngineServices services;
    ASSERT_EQ(services.SerializeLibrary(folder.Folder() + "Data/" + c.file, 1), 1) << GetErrorMessage();
    auto* rain = ResourceCast<SoundResource>(services.GetResources().LookupResource("rain", kSoundResource));
    ASSERT_NE(rain, nullptr);
    EXPECT_EQ(rain->flags, c.flags);
    EXPECT_EQ(rain->group, c.group);
    EXPECT_EQ(rain->length, c.length);
    EXPECT_EQ(rain->volume, c.volume);
  }
}

TEST(SoundResourceWithoutSound, LoadsNothingAndPlaysNothing) {
  TempDataFolder folder;
  folder.Write("Data/Shot.wav", test::PcmWave(1, 8000, 16, 0.2));
  EngineServices services;
  services.SetDataFolder(folder.Folder());
  StartupSettings settings;
  settings.soundEnabled = 1;  // but no sound system was handed over
  ASSERT_EQ(services.Initialize(&settings), 1);
  std::unique_ptr<Resource> created = services.GetResources().CreateResource(kSoundResource);
  created->SetName("Shot");
  created->SetFileName("Shot.wav");
  auto* shot = static_cast<SoundResource*>(created.get());
  services.GetResources().RegisterResource(std::move(created));

  EXPECT_EQ(shot->Load(), 1);
  EXPECT_FALSE(shot->IsLoaded());
  services.StartSound(shot, 1);
  services.UpdateSoundVolume(shot, 1.0f);
  EXPECT_EQ(services.IsSoundPlaying(shot), 0);
  services.UpdateSoundListener(nullptr, nullptr, nullptr);
  // Instances are still handed out; they load nothing either.
  ResourceRef first = services.GetResources().AcquireResource("Shot", kSoundResource);
  ResourceRef second = services.GetResources().AcquireResource("Shot", kSoundResource);
  EXPECT_NE(first.Get(), second.Get());
  EXPECT_EQ(second->Load(), 1);
}

using SoundResourceLoad = test::SoundTestRig;

TEST_F(SoundResourceLoad, BadFilesAreRefusedWithAMessageAndPlayNothing) {
  test::WaveBytes truncated = test::PcmWave(1, 8000, 16, 0.5);
  truncated.resize(truncated.size() / 2);
  test::WaveBytes noFormat = audio::test::RiffWave({{"data", test::WaveBytes(100, 0)}});
  struct Case {
    const char* name;
    test::WaveBytes file;
    std::uint16_t flags;
    const char* message;
  };
  const Case cases[] = {{"Garbage", test::WaveBytes(64, 'x'), 0, "WAVE: not a RIFF/WAVE file"},
                        {"Truncated", truncated, 0, "WAVE: data chunk runs past the end of the file"},
                        {"NoFormat", noFormat, SoundResource::kStreamed, "WAVE: data chunk before the format chunk"},
                        {"Empty", {}, SoundResource::kStreamed, "empty file"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SoundResource* sound = AddSound(c.name, c.file, c.flags);
    EXPECT_EQ(sound->Load(), 0);
    EXPECT_NE(std::string(GetErrorMessage()).find(c.message), std::string::npos) << GetErrorMessage();
    EXPECT_FALSE(sound->IsLoaded());
    services.StartSound(sound, 0);
    EXPECT_EQ(services.IsSoundPlaying(sound), 0);
  }
  for (std::uint16_t flags : {std::uint16_t{0}, SoundResource::kStreamed}) {
    SoundResource* missing = AddSound("Missing", {}, flags);
    missing->SetFileName("Nowhere.wav");
    EXPECT_EQ(missing->Load(), 0);
    EXPECT_STREQ(GetErrorMessage(), "File Open");
  }
}

TEST_F(SoundResourceLoad, SecondHolderGetsAnInstanceThatPlaysBesideTheSource) {
  SoundResource* shot = AddSound("Shot", test::PcmWave(1, 8000, 16, 0.5));
  ResourceRef first = services.GetResources().AcquireResource("Shot", kSoundResource);
  ResourceRef second = services.GetResources().AcquireResource("Shot", kSoundResource);
  ASSERT_EQ(first.Get(), shot);
  ASSERT_TRUE(second);
  ASSERT_NE(second.Get(), shot);
  EXPECT_EQ(shot->GetReferenceCount(), 2);

  services.StartSound(first.Get(), 1);
  services.StartSound(second.Get(), 1);
  EXPECT_EQ(services.IsSoundPlaying(first.Get()), 1);
  EXPECT_EQ(services.IsSoundPlaying(second.Get()), 1);
  EXPECT_NE(&VoiceOf(shot), &VoiceOf(static_cast<SoundResource*>(second.Get())));
  EXPECT_FLOAT_EQ(static_cast<SoundResource*>(second.Get())->length, 0.5f);

  // Releasing the instance deletes it; the source plays on until its own
  // release stops it.
  second.Reset();
  EXPECT_EQ(services.GetResources().GetUnregisteredCount(), 0u);
  EXPECT_EQ(services.IsSoundPlaying(shot), 1);
  first.Reset();
  EXPECT_EQ(services.IsSoundPlaying(shot), 0);
  EXPECT_TRUE(shot->IsLoaded());
}

TEST_F(SoundResourceLoad, StaticSoundPlaysOnceLoopsPausesInPlaceAndStops) {
  SoundResource* shot = AddSound("Shot", test::PcmWave(2, 8000, 8, 0.3));
  services.StartSound(shot, 0);
  EXPECT_EQ(services.IsSoundPlaying(shot), 1);
  EXPECT_TRUE(test::WaitFor([&] { return !services.IsSoundPlaying(shot); }));

  services.StartSound(shot, 1);
  EXPECT_TRUE(test::WaitForWrapAround(static_cast<audio::StaticVoice&>(VoiceOf(shot))));
  EXPECT_EQ(services.IsSoundPlaying(shot), 1);
  services.PauseSound(shot);
  EXPECT_EQ(services.IsSoundPlaying(shot), 0);
  services.ResumeSound(shot);
  services.ResumeSound(shot);  // a second resume changes nothing
  EXPECT_EQ(services.IsSoundPlaying(shot), 1);
  services.StopSound(shot);
  EXPECT_EQ(services.IsSoundPlaying(shot), 0);
  EXPECT_EQ(shot->Unload(), 1);
  EXPECT_FALSE(shot->IsLoaded());
}

TEST_F(SoundResourceLoad, PanFrequencyAndThreeDSettingsReachTheVoice) {
  SoundResource* plain = AddSound("Plain", test::PcmWave(1, 11025, 16, 0.2));
  services.SetSoundPan(plain, 0.5f);
  services.SetSoundFrequency(plain, 2.0f);
  EXPECT_EQ(VoiceOf(plain).Pan(), 2500);
  EXPECT_EQ(VoiceOf(plain).Frequency(), 22050u);
  EXPECT_FALSE(VoiceOf(plain).IsPositional());

  // 3D settings wait for the listener update, which commits them.
  SoundResource* engine = AddSound("Engine", test::PcmWave(1, 11025, 16, 0.2), SoundResource::k3D);
  services.StartSound(engine, 1);
  const Vector3 far{50, 0, 0};
  services.SetSoundDistances(engine, 1.0f, 10.0f);
  services.SetSoundPosition(engine, &far);
  EXPECT_FALSE(VoiceOf(engine).IsMutedByDistance());
  services.UpdateSoundListener(nullptr, nullptr, nullptr);
  EXPECT_TRUE(VoiceOf(engine).IsMutedByDistance());
  const Vector3 eye{45, 0, 0}, forward{0, 0, 1}, up{0, 1, 0};
  services.UpdateSoundListener(&eye, &forward, &up);
  EXPECT_FALSE(VoiceOf(engine).IsMutedByDistance());

  // Stereo data is never placed: a stereo sound asked for in 3D plays plain.
  SoundResource* music = AddSound("Stereo", test::PcmWave(2, 11025, 16, 0.2), SoundResource::k3D);
  EXPECT_FALSE(VoiceOf(music).IsPositional());
}

}  // namespace
}  // namespace tge

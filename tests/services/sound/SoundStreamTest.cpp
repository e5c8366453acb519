#include <AL/al.h>
#include <gtest/gtest.h>

#include "services/sound/SoundStream.h"
#include "tests/services/sound/SoundTestRig.h"

namespace tge {
namespace {

using test::PcmWave;
using test::WaveBytes;

// The header of a file whose data chunk says `dataBytes`, parsed as if the
// whole file were there.
audio::WaveFile Header(const audio::test::FormatFields& format, std::uint32_t dataBytes) {
  WaveBytes head = audio::test::RiffWave({{"fmt ", audio::test::FormatBody(format)}});
  head.insert(head.end(), {'d', 'a', 't', 'a'});
  audio::test::PutU32(head, dataBytes);
  audio::WaveFile wave;
  EXPECT_TRUE(wave.Parse(head, head.size() + dataBytes)) << wave.Error();
  return wave;
}

TEST(SoundStreamPieces, PiecesDivideTheDataAndShortSoundsPlayStatically) {
  struct Case {
    const char* name;
    audio::test::FormatFields format;
    std::uint32_t dataBytes;
    std::uint32_t piece;
    bool streams;
  };
  const Case cases[] = {
      // 176400 + 52920 / 10: ten whole pieces.
      {"10.3 s stereo", {1, 2, 44100, 4, 16}, 1816920, 181692, true},
      // 22050 + 6615 / 3 = 24255, cut to whole frames.
      {"3.3 s mono 16-bit", {1, 1, 11025, 2, 16}, 72765, 24254, true},
      // Odd pieces of 8-bit mono are made even.
      {"2.5 s mono 8-bit", {1, 1, 8001, 1, 8}, 20003, 10000, true},
      {"1.5 s: one piece", {1, 1, 8000, 1, 8}, 12000, 12000, false},
      {"0.5 s", {1, 1, 8000, 2, 16}, 8000, 16000, false},
      // Eight blocks of 500 frames; 18 blocks are 1.125 s.
      {"ADPCM 18 blocks", {2, 1, 8000, 256, 4}, 18 * 256, 8000, true},
      {"ADPCM 15 blocks", {2, 1, 8000, 256, 4}, 15 * 256, 8000, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const audio::WaveFile wave = Header(c.format, c.dataBytes);
    EXPECT_EQ(SoundStream::PieceBytes(wave), c.piece);
    EXPECT_EQ(SoundStream::IsLongEnough(wave), c.streams);
  }
}

class SoundStreaming : public test::SoundTestRig {
 protected:
  SoundResource* AddStream(const std::string& name, const WaveBytes& file) {
    return AddSound(name, file, SoundResource::kStreamed);
  }
};

TEST_F(SoundStreaming, StreamsPlayToTheirEndThenStandRewoundAndReady) {
  SoundResource* pcm = AddStream("Pcm", PcmWave(1, 8000, 8, 2.2));
  SoundResource* adpcm = AddStream("Adpcm", test::AdpcmWave(8000, 18, 100));
  ASSERT_EQ(pcm->Load(), 1) << GetErrorMessage();
  ASSERT_EQ(adpcm->Load(), 1) << GetErrorMessage();
  EXPECT_EQ(pcm->flags & SoundResource::kStreamed, SoundResource::kStreamed);
  EXPECT_FLOAT_EQ(pcm->length, 2.2f);
  EXPECT_FLOAT_EQ(adpcm->length, (18 * 500 + 188) / 8000.0f);
  // Streams are shared, never instanced.
  ResourceRef first = services.GetResources().AcquireResource("Pcm", kSoundResource);
  ResourceRef second = services.GetResources().AcquireResource("Pcm", kSoundResource);
  EXPECT_EQ(first.Get(), second.Get());

  // Each stream ends once every frame of its data has played out.
  services.StartSound(pcm, 0);
  services.StartSound(adpcm, 0);
  EXPECT_EQ(PlayingStreams(), 2);
  EXPECT_EQ(services.IsSoundPlaying(pcm), 1);
  EXPECT_TRUE(test::WaitFor([&] { return !services.IsSoundPlaying(adpcm); }));
  EXPECT_TRUE(test::WaitFor([&] { return !services.IsSoundPlaying(pcm); }));
  auto voice = [&](SoundResource* s) -> audio::StreamVoice& { return static_cast<audio::StreamVoice&>(VoiceOf(s)); };
  EXPECT_EQ(voice(pcm).PlayedFrames(), 17600u);
  EXPECT_EQ(voice(adpcm).PlayedFrames(), 18u * 500 + 188);
  EXPECT_EQ(PlayingStreams(), 0);

  // Rewound with both buffers filled from the start, ready to play again;
  // a stop rewinds it the same way.
  auto queued = [&](SoundResource* s) { return voice(s).QueuedBuffers(); };
  EXPECT_EQ(queued(pcm), 2u);
  EXPECT_EQ(queued(adpcm), 2u);
  services.StartSound(pcm, 0);
  EXPECT_EQ(services.IsSoundPlaying(pcm), 1);
  // Into its second piece, whose buffer the thread refilled.
  EXPECT_TRUE(test::WaitFor([&] { return queued(pcm) < 2; }));
  EXPECT_TRUE(test::WaitFor([&] { return queued(pcm) == 2; }));
  services.StopSound(pcm);
  EXPECT_EQ(services.IsSoundPlaying(pcm), 0);
  EXPECT_EQ(PlayingStreams(), 0);
  EXPECT_EQ(queued(pcm), 2u);
}

TEST_F(SoundStreaming, LoopingStreamGoesOnPausesAndResumes) {
  SoundResource* music = AddStream("Music", PcmWave(1, 8000, 16, 2.0));
  services.StartSound(music, 1);
  // Past its end: the first piece has played out three times.
  auto& voice = static_cast<audio::StreamVoice&>(VoiceOf(music));
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(test::WaitFor([&] { return voice.QueuedBuffers() < 2; }));
    EXPECT_TRUE(test::WaitFor([&] { return voice.QueuedBuffers() == 2; }));
  }
  EXPECT_EQ(services.IsSoundPlaying(music), 1);

  services.PauseSound(music);
  EXPECT_EQ(services.IsSoundPlaying(music), 0);
  EXPECT_EQ(PlayingStreams(), 0);
  services.ResumeSound(music);
  EXPECT_EQ(services.IsSoundPlaying(music), 1);
  EXPECT_EQ(PlayingStreams(), 1);
}

class LimitedStreams : public SoundStreaming {
 protected:
  LimitedStreams() { voiceLimit = 1; }
};

TEST_F(LimitedStreams, StartingBeyondTheLimitDoesNothing) {
  SoundResource* a = AddStream("A", PcmWave(1, 8000, 8, 2.0));
  SoundResource* b = AddStream("B", PcmWave(1, 8000, 8, 2.0));
  services.StartSound(a, 1);
  services.StartSound(b, 1);
  EXPECT_EQ(services.IsSoundPlaying(a), 1);
  EXPECT_EQ(services.IsSoundPlaying(b), 0);
  EXPECT_EQ(PlayingStreams(), 1);
  services.StopSound(a);
  services.StartSound(b, 1);
  EXPECT_EQ(services.IsSoundPlaying(b), 1);
}

TEST_F(SoundStreaming, ShutdownWithStreamsPlayingEndsTheThreadCleanly) {
  SoundResource* a = AddStream("A", PcmWave(2, 22050, 16, 2.5));
  SoundResource* b = AddStream("B", test::AdpcmWave(8000, 40, 0));
  services.StartSound(a, 1);
  services.StartSound(b, 0);
  services.StartSound(AddSound("Shot", PcmWave(1, 8000, 16, 0.5)), 1);
  const std::shared_ptr<SoundStreamThread> thread = sound->GetStreamThread();
  EXPECT_EQ(thread->GetCount(), 2);
  // Until the thread has refilled a buffer of the looping stream.
  auto& voice = static_cast<audio::StreamVoice&>(VoiceOf(a));
  EXPECT_TRUE(test::WaitFor([&] { return voice.QueuedBuffers() < 2; }));
  EXPECT_TRUE(test::WaitFor([&] { return voice.QueuedBuffers() == 2; }));
  EXPECT_EQ(services.Shutdown(), 1);
  EXPECT_FALSE(thread->IsRunning());
  EXPECT_EQ(thread->GetCount(), 0);
  EXPECT_EQ(GetRunningSoundSystem(), nullptr);
}

TEST_F(SoundStreaming, StoppingTheSystemFirstLeavesLoadedSoundsSafe) {
  SoundResource* a = AddStream("A", PcmWave(1, 8000, 8, 2.0));
  services.StartSound(a, 1);
  sound->Stop();
  services.StopSound(a);
  EXPECT_EQ(a->Unload(), 1);
}

TEST_F(SoundStreaming, ListenerFollowsTheCameraWithItsDisplacementAsVelocity) {
  auto listener = [](ALenum what) {
    ALfloat v[6] = {};
    alGetListenerfv(what, v);
    return std::vector<float>(v, v + (what == AL_ORIENTATION ? 6 : 3));
  };
  const Vector3 forward{0, 0, 1}, up{0, 1, 0};
  const Vector3 first{1, 2, 3}, second{4, 2, 1};
  services.UpdateSoundListener(&first, &forward, &up);
  EXPECT_EQ(listener(AL_POSITION), (std::vector<float>{1, 2, -3}));
  EXPECT_EQ(listener(AL_VELOCITY), (std::vector<float>{0, 0, 0}));
  services.UpdateSoundListener(&second, &forward, &up);
  EXPECT_EQ(listener(AL_POSITION), (std::vector<float>{4, 2, -1}));
  EXPECT_EQ(listener(AL_VELOCITY), (std::vector<float>{3, 0, 2}));
  EXPECT_EQ(listener(AL_ORIENTATION), (std::vector<float>{0, 0, -1, 0, 1, 0}));
  // Without a camera only the commit is made.
  services.UpdateSoundListener(nullptr, nullptr, nullptr);
  EXPECT_EQ(listener(AL_POSITION), (std::vector<float>{4, 2, -1}));
}

}  // namespace
}  // namespace tge

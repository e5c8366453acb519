#include <AL/al.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/audio/AudioDevice.h"
#include "platform/audio/CaptureDevice.h"
#include "tests/platform/audio/LoopWait.h"
#include "tests/support/WaitFor.h"

namespace tge::audio {
namespace {

using namespace std::chrono_literals;
using ::tge::test::WaitFor;

constexpr PcmFormat kMono{1, 22050, 16};
constexpr PcmFormat kStereo{2, 22050, 16};

// Silence lasting `seconds` in `format`.
std::vector<std::uint8_t> Pcm(const PcmFormat& format, double seconds) {
  return std::vector<std::uint8_t>(
      static_cast<std::size_t>(format.sampleRate * seconds) * format.FrameBytes(), 0);
}

// Every test plays on OpenAL Soft's null output, which mixes in real time
// without a sound card.
class AudioDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("ALSOFT_DRIVERS", "null", 1);
    ASSERT_TRUE(device.Open()) << "OpenAL's null output could not be opened ("
                               << device.Error() << "); is OpenAL Soft installed?";
  }

  std::shared_ptr<SoundBuffer> Buffer(const PcmFormat& format, double seconds) {
    auto buffer = device.CreateBuffer(format, Pcm(format, seconds));
    EXPECT_TRUE(buffer) << device.Error();
    return buffer;
  }

  AudioDevice device;
};

TEST_F(AudioDeviceTest, StaticVoicePlaysOnceOrLoopsAndStopKeepsItsPlace) {
  auto buffer = Buffer(kMono, 0.1);  // 4410 bytes
  auto voice = device.CreateVoice(buffer, VoiceMode::Plain);
  ASSERT_TRUE(voice) << device.Error();
  EXPECT_FALSE(voice->IsPlaying());
  EXPECT_EQ(voice->BaseFrequency(), 22050u);

  voice->Play(false);
  EXPECT_TRUE(voice->IsPlaying());
  EXPECT_TRUE(WaitFor([&] { return !voice->IsPlaying(); })) << "a one-shot voice never ended";

  // A looping voice comes round to its start and plays on.
  voice->Play(true);
  EXPECT_TRUE(::tge::test::WaitForWrapAround(*voice));
  EXPECT_TRUE(voice->IsPlaying());
  voice->Stop();
  EXPECT_FALSE(voice->IsPlaying());
  EXPECT_LT(voice->PlayPosition(), buffer->Bytes());
  voice->SetPlayPosition(4000);
  EXPECT_EQ(voice->PlayPosition(), 4000u);
  voice->SetPlayPosition(3);  // not a whole frame
  EXPECT_EQ(voice->PlayPosition(), 2u);
  voice->SetPlayPosition(100000);  // beyond the data: its last frame
  EXPECT_EQ(voice->PlayPosition(), 4408u);

  // The voice holds the last reference: its buffer goes once it is off the source.
  buffer.reset();
  voice.reset();
  EXPECT_EQ(alGetError(), AL_NO_ERROR);
}

TEST_F(AudioDeviceTest, DuplicateVoicesShareABufferAndOutliveTheDevice) {
  // Long enough that the one-shot voice still plays however slowly the test runs.
  auto buffer = Buffer(kMono, 60);
  auto first = device.CreateVoice(buffer, VoiceMode::Plain);
  auto second = device.CreateVoice(buffer, VoiceMode::Positional);
  ASSERT_TRUE(first && second);
  buffer.reset();
  first->Play(true);
  second->Play(false);
  EXPECT_TRUE(first->IsPlaying() && second->IsPlaying());
  first.reset();
  EXPECT_TRUE(second->IsPlaying());
  device.Close();
  EXPECT_TRUE(second->IsPlaying());
  second->Stop();
}

TEST_F(AudioDeviceTest, FrequencyAndVolumeStayInRange) {
  auto voice = device.CreateVoice(Buffer(kMono, 0.05), VoiceMode::Plain);
  struct Case {
    std::uint32_t asked;
    std::uint32_t got;
  };
  for (const Case& c : {Case{44100, 44100}, Case{50, 100}, Case{500000, 200000}, Case{0, 22050}}) {
    voice->SetFrequency(c.asked);
    EXPECT_EQ(voice->Frequency(), c.got) << c.asked;
  }
  voice->SetVolume(300);
  EXPECT_EQ(voice->Volume(), 0);
  voice->SetPan(-20000);
  EXPECT_EQ(voice->Pan(), -10000);
}

Vec3 ListenerVector(ALenum parameter) {
  Vec3 v;
  alGetListener3f(parameter, &v.x, &v.y, &v.z);
  return v;
}

TEST_F(AudioDeviceTest, ListenerIsConvertedToOpenAlSpaceAtTheCommit) {
  Listener& listener = device.GetListener();
  listener.SetPosition({1, 2, 3});
  listener.SetVelocity({0, 0, 4});
  listener.SetOrientation({0, 0, 1}, {0, 1, 0});
  EXPECT_EQ(ListenerVector(AL_POSITION), (Vec3{0, 0, 0})) << "applied before the commit";

  device.CommitDeferredSettings();
  EXPECT_EQ(ListenerVector(AL_POSITION), (Vec3{1, 2, -3}));
  EXPECT_EQ(ListenerVector(AL_VELOCITY), (Vec3{0, 0, -4}));
  ALfloat orientation[6] = {};
  alGetListenerfv(AL_ORIENTATION, orientation);
  // The engine's forward (+z) is OpenAL's -z.
  EXPECT_EQ((Vec3{orientation[0], orientation[1], orientation[2]}), (Vec3{0, 0, -1}));
  EXPECT_EQ((Vec3{orientation[3], orientation[4], orientation[5]}), (Vec3{0, 1, 0}));

  listener.SetPosition({NAN, 0, 0});  // ignored
  listener.SetOrientation({0, 0, 0}, {0, 1, 0});
  device.CommitDeferredSettings();
  EXPECT_EQ(ListenerVector(AL_POSITION), (Vec3{1, 2, -3}));
}

TEST_F(AudioDeviceTest, PositionalVoicesFallSilentBeyondTheirMaximumDistance) {
  auto voice = device.CreateVoice(Buffer(kMono, 0.05), VoiceMode::Positional);
  ASSERT_TRUE(voice->IsPositional());
  voice->SetDistances(2, 10);
  voice->SetPosition({0, 0, 12});
  EXPECT_FALSE(voice->IsMutedByDistance()) << "applied before the commit";
  device.CommitDeferredSettings();
  EXPECT_TRUE(voice->IsMutedByDistance());

  device.GetListener().SetPosition({0, 0, 3});
  device.CommitDeferredSettings();
  EXPECT_FALSE(voice->IsMutedByDistance());

  // Stereo data is never positioned, so it is never muted by distance.
  auto stereo = device.CreateVoice(Buffer(kStereo, 0.05), VoiceMode::Positional);
  EXPECT_FALSE(stereo->IsPositional());
  stereo->SetDistances(1, 2);
  stereo->SetPosition({0, 0, 100});
  device.CommitDeferredSettings();
  EXPECT_FALSE(stereo->IsMutedByDistance());
}

TEST_F(AudioDeviceTest, StreamVoiceConsumesItsQueueAndAsksForRefills) {
  auto stream = device.CreateStreamVoice(kMono, VoiceMode::Plain);
  ASSERT_TRUE(stream) << device.Error();
  const auto piece = Pcm(kMono, 0.04);
  EXPECT_EQ(stream->FreeBuffers(), 2u);
  EXPECT_TRUE(stream->Queue(piece));
  EXPECT_TRUE(stream->Queue(piece));
  EXPECT_FALSE(stream->Queue(piece)) << "queued beyond its buffers";
  EXPECT_FALSE(stream->Queue(std::span(piece).first(3))) << "took a partial frame";
  EXPECT_EQ(stream->QueuedBuffers(), 2u);

  stream->Play();
  int refills = 0;
  while (refills < 4) {
    ASSERT_TRUE(WaitFor([&] { return stream->FreeBuffers() > 0; })) << "the queue never moved";
    EXPECT_TRUE(stream->Queue(piece));
    ++refills;
  }
  // Left without pieces, the voice runs dry but still counts as playing; the
  // next piece starts it again.
  ASSERT_TRUE(WaitFor([&] { return stream->FreeBuffers() == 2; }));
  EXPECT_TRUE(stream->IsPlaying());
  const std::uint64_t pieceFrames = piece.size() / kMono.FrameBytes();
  EXPECT_EQ(stream->PlayedFrames(), 6 * pieceFrames);
  const std::uint32_t starvations = stream->Starvations();
  EXPECT_TRUE(stream->Queue(piece));
  EXPECT_EQ(stream->Starvations(), starvations + 1);
  EXPECT_TRUE(WaitFor([&] { return stream->FreeBuffers() == 2; }));

  // Paused after running dry, it keeps a piece queued meanwhile for the next
  // Play; a piece stopped before it played out is not counted.
  stream->Pause();
  EXPECT_TRUE(stream->Queue(piece));
  EXPECT_EQ(stream->QueuedBuffers(), 1u);
  stream->Play();
  EXPECT_TRUE(WaitFor([&] { return stream->FreeBuffers() == 2; }));
  EXPECT_EQ(stream->PlayedFrames(), 8 * pieceFrames);
  stream->Pause();
  EXPECT_TRUE(stream->Queue(piece));
  stream->Stop();
  EXPECT_EQ(stream->PlayedFrames(), 8 * pieceFrames);
  EXPECT_FALSE(stream->IsPlaying());
  EXPECT_EQ(stream->FreeBuffers(), 2u);
  EXPECT_EQ(stream->QueuedBuffers(), 0u);
}

TEST_F(AudioDeviceTest, StreamIsRefilledByAThreadWhileTheMainThreadControlsIt) {
  auto stream = device.CreateStreamVoice(kStereo, VoiceMode::Plain, 3);
  ASSERT_TRUE(stream);
  const auto piece = Pcm(kStereo, 0.02);
  std::atomic<int> queued = 0;
  std::atomic<bool> done = false;
  std::thread feeder([&] {
    while (queued < 20 && !done) {
      if (stream->FreeBuffers() > 0 && stream->Queue(piece)) ++queued;
      std::this_thread::sleep_for(2ms);
    }
  });
  stream->Play();
  int i = 0;
  WaitFor([&] {
    stream->SetVolume(-(i % 10) * 100);
    if (i % 50 == 25) stream->Pause();
    if (i % 50 == 30) stream->Play();
    ++i;
    return queued == 20;
  });
  done = true;
  feeder.join();
  EXPECT_EQ(queued, 20);
  stream->Stop();
}

TEST(AudioDeviceDisabled, EveryCallIsHarmless) {
  AudioDevice device;
  ASSERT_FALSE(device.IsOpen());
  auto buffer = device.CreateBuffer(kMono, Pcm(kMono, 0.01));
  ASSERT_TRUE(buffer);
  auto voice = device.CreateVoice(buffer, VoiceMode::Positional);
  ASSERT_TRUE(voice);
  voice->Play(true);
  voice->SetVolume(-100);
  voice->SetPosition({1, 2, 3});
  EXPECT_FALSE(voice->IsPlaying());
  auto stream = device.CreateStreamVoice(kMono, VoiceMode::Plain);
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->FreeBuffers(), 0u);
  EXPECT_FALSE(stream->Queue(Pcm(kMono, 0.01)));
  device.GetListener().SetPosition({1, 1, 1});
  device.CommitDeferredSettings();
}

TEST(AudioDeviceErrors, BadDataIsRefusedWithAMessage) {
  AudioDevice device;
  struct Case {
    PcmFormat format;
    std::size_t bytes;
  };
  for (const Case& c : {Case{{3, 8000, 16}, 6}, Case{{1, 0, 16}, 2}, Case{{1, 8000, 24}, 3},
                        Case{kStereo, 0}, Case{kStereo, 6}}) {
    EXPECT_FALSE(device.CreateBuffer(c.format, std::vector<std::uint8_t>(c.bytes)));
    EXPECT_EQ(device.Error().rfind("Audio: ", 0), 0u);
  }
  EXPECT_FALSE(device.CreateVoice(nullptr, VoiceMode::Plain));
  EXPECT_FALSE(device.CreateStreamVoice(kMono, VoiceMode::Plain, 1));
}

TEST(AudioCapture, WithoutAnInputDeviceOpenFailsCleanly) {
  // OpenAL Soft's null driver has no capture side.
  setenv("ALSOFT_DRIVERS", "null", 1);
  CaptureDevice capture;
  EXPECT_FALSE(capture.Open(kMono, 22050));
  EXPECT_NE(capture.Error().find("no sound input"), std::string::npos) << capture.Error();
  capture.Start();
  std::vector<std::uint8_t> out(64);
  EXPECT_EQ(capture.AvailableFrames(), 0u);
  EXPECT_EQ(capture.Read(out), 0u);
  capture.Stop();
  EXPECT_FALSE(capture.Open({1, 22050, 12}, 100));
}

}  // namespace
}  // namespace tge::audio

// The movie decoder and the threaded player on the one-second test movie:
// picture size, colours and orientation, the swap at half time, looping by
// a clock stepped by hand, the collected sound, and files that are refused.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/video/MediaFile.h"
#include "platform/video/VideoPlayer.h"
#include "tests/support/GlTestWindow.h"
#include "tests/support/ManualClock.h"
#include "tests/support/TestMovieFile.h"
#include "tests/support/WaitFor.h"

namespace tge::video {
namespace {

using test::kMovieBlue;
using test::kMovieRed;
using test::kMovieTolerance;

std::uint32_t Pixel(const VideoFrame& frame, int x, int y) {
  const std::size_t at = (std::size_t(y) * std::size_t(frame.width) + std::size_t(x)) * 4;
  return std::uint32_t(frame.bgra[at]) | std::uint32_t(frame.bgra[at + 1]) << 8 |
         std::uint32_t(frame.bgra[at + 2]) << 16 | std::uint32_t(frame.bgra[at + 3]) << 24;
}

// Top rows one colour, bottom rows the other, alpha opaque, near every edge.
void ExpectHalves(const VideoFrame& frame, std::uint32_t top, std::uint32_t bottom) {
  for (int x : {1, frame.width / 2, frame.width - 2}) {
    EXPECT_TRUE(test::NearArgb(Pixel(frame, x, 1), top, kMovieTolerance)) << "x " << x;
    EXPECT_TRUE(test::NearArgb(Pixel(frame, x, frame.height - 2), bottom, kMovieTolerance)) << "x " << x;
  }
}

std::unique_ptr<MediaFile> OpenMovie(bool withAudio) {
  std::string error;
  auto file = MediaFile::Open(test::TestMoviePath(), withAudio, error);
  EXPECT_NE(file, nullptr) << error;
  return file;
}

// Waits for the player's next picture; false only when the player hangs.
bool WaitForFrame(VideoPlayer& player, VideoFrame& frame) {
  return test::WaitFor([&] { return player.TakeFrame(frame); });
}

TEST(MediaFileTest, DecodesEveryPictureUprightAndSwapsAtHalfTime) {
  auto file = OpenMovie(false);
  ASSERT_NE(file, nullptr);
  const MediaInfo& info = file->Info();
  EXPECT_EQ(info.width, 64);
  EXPECT_EQ(info.height, 48);
  EXPECT_NEAR(info.duration, 1.0, 0.04);
  EXPECT_NEAR(info.frameInterval, 0.04, 1e-6);
  EXPECT_FALSE(info.audioFormat.IsPlayable());
  VideoFrame frame;
  int count = 0;
  while (file->NextFrame(frame)) {
    ASSERT_EQ(frame.bgra.size(), 64u * 48u * 4u);
    EXPECT_NEAR(frame.time, count * 0.04, 0.001);
    if (frame.time < 0.45) ExpectHalves(frame, kMovieRed, kMovieBlue);
    if (frame.time > 0.55) ExpectHalves(frame, kMovieBlue, kMovieRed);
    ++count;
  }
  EXPECT_EQ(count, 25);
  ASSERT_TRUE(file->Rewind());
  ASSERT_TRUE(file->NextFrame(frame));
  EXPECT_NEAR(frame.time, 0.0, 0.001);
  ExpectHalves(frame, kMovieRed, kMovieBlue);
}

TEST(MediaFileTest, SoundComesResampledToSixteenBitStereo) {
  auto file = OpenMovie(true);
  ASSERT_NE(file, nullptr);
  const audio::PcmFormat expected{2, 44100, 16};
  EXPECT_EQ(file->Info().audioFormat, expected);
  VideoFrame frame;
  std::vector<std::uint8_t> sound;
  while (file->NextFrame(frame)) file->TakeAudio(sound);
  file->TakeAudio(sound);
  // One second, give or take the encoder's last partial frame and delay.
  EXPECT_NEAR(double(sound.size()) / expected.BytesPerSecond(), 1.0, 0.06);
}

TEST(MediaFileTest, RefusesWhatHoldsNoVideo) {
  const std::filesystem::path folder = std::filesystem::path(test::TestMoviePath()).parent_path();
  const std::string wave = (folder / "tone.wav").string(), noise = (folder / "noise.bin").string();
  {
    const unsigned char header[] = {'R', 'I', 'F', 'F', 40, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                                    16, 0, 0, 0, 1, 0, 1, 0, 0x44, 0xAC, 0, 0, 0x88, 0x58, 1, 0,
                                    2, 0, 16, 0, 'd', 'a', 't', 'a', 4, 0, 0, 0, 0, 0, 0, 0};
    std::ofstream(wave, std::ios::binary).write(reinterpret_cast<const char*>(header), sizeof header);
    std::ofstream out(noise, std::ios::binary);
    for (int i = 0; i < 4096; ++i) out.put(char((i * 7919 + 13) % 251));
  }
  for (const std::string& path : {(folder / "missing.mpg").string(), wave, noise}) {
    std::string error;
    EXPECT_EQ(MediaFile::Open(path, true, error), nullptr) << path;
    EXPECT_FALSE(error.empty()) << path;
  }
}

TEST(VideoPlayerTest, HandsOutTheDuePictureAndLoopsByTheClock) {
  auto clock = std::make_shared<test::ManualClock>();
  auto file = OpenMovie(false);
  ASSERT_NE(file, nullptr);
  VideoPlayer player(std::move(file), clock, true);
  VideoFrame frame;
  ASSERT_TRUE(WaitForFrame(player, frame));
  EXPECT_NEAR(frame.time, 0.0, 0.001);
  ExpectHalves(frame, kMovieRed, kMovieBlue);
  // Once the thread has read the clock for the next picture, it has found
  // that picture not due yet.
  const long reads = clock->Reads();
  ASSERT_TRUE(test::WaitFor([&] { return clock->Reads() > reads; }));
  EXPECT_FALSE(player.TakeFrame(frame)) << "a picture came before its time";

  clock->Set(0.61);
  ASSERT_TRUE(WaitForFrame(player, frame));
  // The slot keeps only the newest due picture.
  while (frame.time < 0.59) ASSERT_TRUE(WaitForFrame(player, frame));
  EXPECT_NEAR(frame.time, 0.6, 0.001);
  ExpectHalves(frame, kMovieBlue, kMovieRed);

  clock->Set(1.01);
  ASSERT_TRUE(WaitForFrame(player, frame));
  while (frame.time > 0.5) ASSERT_TRUE(WaitForFrame(player, frame));
  EXPECT_NEAR(frame.time, 0.0, 0.001);
  ExpectHalves(frame, kMovieRed, kMovieBlue);
  EXPECT_FALSE(player.Ended());
}

TEST(VideoPlayerTest, EndsAfterTheLastPictureAndKeepsTheSound) {
  auto clock = std::make_shared<test::ManualClock>();
  auto file = OpenMovie(true);
  ASSERT_NE(file, nullptr);
  VideoPlayer player(std::move(file), clock, false);
  clock->Set(5.0);
  VideoFrame frame;
  EXPECT_TRUE(test::WaitFor([&] {
    player.TakeFrame(frame);
    return player.Ended();
  }));
  EXPECT_NEAR(frame.time, 0.96, 0.001);
  std::vector<std::uint8_t> sound;
  player.TakeAudio(sound);
  EXPECT_NEAR(double(sound.size()) / player.Info().audioFormat.BytesPerSecond(), 1.0, 0.06);
}

TEST(VideoPlayerTest, StopsItsThreadWhileAPictureWaits) {
  auto clock = std::make_shared<test::ManualClock>();
  auto file = OpenMovie(false);
  ASSERT_NE(file, nullptr);
  auto player = std::make_unique<VideoPlayer>(std::move(file), clock, true);
  VideoFrame frame;
  ASSERT_TRUE(WaitForFrame(*player, frame));
  player.reset();
}

}  // namespace
}  // namespace tge::video

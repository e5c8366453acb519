// The blocking full-window movie on the GL device (SDL offscreen, OpenAL's
// null output): its length, the picture stretched over the back buffer,
// and the ways it ends early: the skip test, a key the skip test reads, a
// quit request. A missing movie returns at once. The movie's clock is the
// test's: each call of the skip test moves it on by the 50 ms the calls
// stand apart.
#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "platform/gfx/GlDevice.h"
#include "platform/window/EventPump.h"
#include "platform/window/Window.h"
#include "services/EngineServices.h"
#include "services/ErrorMessage.h"
#include "services/RenderDevice.h"
#include "services/input/InputService.h"
#include "services/sound/SoundSystem.h"
#include "services/sound/SoundSystem.h"
#include "services/video/VideoTextures.h"
#include "tests/platform/window/SdlTestEvents.h"
#include "tests/services/TestBytes.h"
#include "tests/support/GlRenderDeviceBackend.h"
#include "tests/support/GlTestWindow.h"
#include "tests/support/ManualClock.h"
#include "tests/support/TestMovieFile.h"

namespace tge {
namespace {

constexpr int kMovieWindowSize = 64;
constexpr int kActionOk = 46;
constexpr double kSkipTestStep = 0.05;
// The time of the movie's last picture.
constexpr double kLastPictureTime = 0.96;

class OverlayMovieTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("ALSOFT_DRIVERS", "null", 1);
    SDL_Window* glWindow = test::SharedGlTestWindow(kMovieWindowSize, kMovieWindowSize);
    ASSERT_NE(glWindow, nullptr) << SDL_GetError();
    std::string error;
    platform::WindowSettings windowSettings;
    windowSettings.title = "Movie test";
    windowSettings.openGl = false;
    window_ = platform::Window::Create(windowSettings, error);
    ASSERT_NE(window_, nullptr) << error;
    pump_ = std::make_unique<platform::EventPump>(*window_);
    pump_->PumpEvents();
    auto input = std::make_unique<InputService>();
    pump_->AddListener(*input);
    services_.SetInputService(std::move(input));
    services_.SetSoundSystem(std::make_unique<SoundSystem>());
    services_.SetSubsystem(ServiceSlot::kRenderDevice,
                           std::make_unique<RenderDevice>(test::WindowRenderDeviceBackend(glWindow)));
    StartupSettings settings;
    settings.fullScreen = 0;
    settings.width = settings.height = kMovieWindowSize;
    settings.renderDeviceEnabled = settings.inputEnabled = settings.soundEnabled = 1;
    ASSERT_EQ(services_.Initialize(&settings), 1) << GetErrorMessage();
    services_.SetEventPump(pump_.get());
    services_.SetDataFolder(folder_.Folder());
    services_.GetVideoTextures().SetClock(clock_);
    ASSERT_FALSE(test::TestMoviePath().empty());
    std::filesystem::copy_file(test::TestMoviePath(), folder_.Path("Data/Intro.mpg"));
  }

  void TearDown() override {
    services_.Shutdown();
    if (pump_) pump_->RemoveListener(*static_cast<InputService*>(services_.GetSubsystem(ServiceSlot::kInput)));
  }

  // Plays the movie with a skip test that moves the clock on after `answer`.
  int Play(const std::string& name, const std::function<int()>& answer) {
    return services_.PlayOverlayMovie(name, [&] {
      const int result = answer();
      clock_->Set(clock_->Now() + kSkipTestStep);
      return result;
    });
  }

  std::uint32_t Probe(int x, int y) {
    auto& gl = static_cast<gfx::GlDevice&>(GetRenderDevice()->Device());
    return gl.ReadPixels().at(std::size_t(y) * kMovieWindowSize + std::size_t(x));
  }

  // One of the movie's pictures on the back buffer, near every edge: red
  // over blue in its first half, blue over red in its second.
  void ExpectMoviePicture() {
    const bool firstHalf = test::NearColour(Probe(kMovieWindowSize / 2, 1), test::kMovieRed, test::kMovieTolerance);
    const std::uint32_t top = firstHalf ? test::kMovieRed : test::kMovieBlue;
    const std::uint32_t bottom = firstHalf ? test::kMovieBlue : test::kMovieRed;
    for (int x : {1, kMovieWindowSize / 2, kMovieWindowSize - 2}) {
      EXPECT_TRUE(test::NearColour(Probe(x, 1), top, test::kMovieTolerance)) << "x " << x;
      EXPECT_TRUE(test::NearColour(Probe(x, kMovieWindowSize - 2), bottom, test::kMovieTolerance)) << "x " << x;
    }
  }

  test::TempDataFolder folder_;
  std::unique_ptr<platform::Window> window_;
  std::unique_ptr<platform::EventPump> pump_;
  EngineServices services_;
  std::shared_ptr<test::ManualClock> clock_ = std::make_shared<test::ManualClock>();
};

TEST_F(OverlayMovieTest, PlaysToItsEndStretchedOverTheWindow) {
  int calls = 0, probes = 0;
  const int result = Play("Intro", [&] {
    ++calls;
    // Every picture on the back buffer while the movie plays.
    if (Probe(kMovieWindowSize / 2, 1) != 0xFF000000) {
      ExpectMoviePicture();
      ++probes;
    }
    return 0;
  });
  EXPECT_EQ(result, 1);
  EXPECT_GT(probes, 0);
  EXPECT_GE(clock_->Now(), kLastPictureTime) << "ended before its last picture was due";
  EXPECT_GE(calls, int(kLastPictureTime / kSkipTestStep));
  EXPECT_TRUE(test::NearColour(Probe(kMovieWindowSize / 2, 1), 0xFF000000, 0)) << "the movie ends on black";
  EXPECT_FALSE(pump_->QuitRequested());
}

TEST_F(OverlayMovieTest, SkipTestEndsItAtItsThirdCall) {
  int calls = 0;
  EXPECT_EQ(Play("Intro", [&] { return ++calls == 3 ? 1 : 0; }), 1);
  EXPECT_EQ(calls, 3);
  EXPECT_LT(clock_->Now(), kLastPictureTime);
}

TEST_F(OverlayMovieTest, ReturnKeyEndsItThroughASkipTestThatPollsInput) {
  int calls = 0;
  const int result = Play("Intro", [&] {
    if (++calls == 2) platform::PushKey(SDL_SCANCODE_RETURN, true);
    services_.PollInput(0.033f);
    return services_.IsInputActionPressed(0, kActionOk);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(calls, 3) << "the key is pumped after the call that pushed it";
}

TEST_F(OverlayMovieTest, QuitRequestEndsItAndStaysRequested) {
  int calls = 0;
  const int result = Play("Intro", [&] {
    if (++calls == 2) platform::EventPump::PostQuit();
    return 0;
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(calls, 2);
  EXPECT_TRUE(pump_->QuitRequested());
}

TEST_F(OverlayMovieTest, MissingMovieReturnsZeroAtOnce) {
  int calls = 0;
  EXPECT_EQ(Play("Outro", [&] { return ++calls; }), 0);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(clock_->Now(), 0.0);
  EXPECT_FALSE(pump_->QuitRequested());
}

}  // namespace
}  // namespace tge

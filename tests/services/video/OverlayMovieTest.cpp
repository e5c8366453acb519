// The blocking full-window movie on the GL device (SDL offscreen, OpenAL's
// null output): its length, the picture stretched over the back buffer,
// and the ways it ends early: the skip test, a key the skip test reads, a
// quit request. A missing movie returns at once.
#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <filesystem>

#include "platform/gfx/GlDevice.h"
#include "platform/window/EventPump.h"
#include "platform/window/Window.h"
#include "services/EngineServices.h"
#include "services/ErrorMessage.h"
#include "services/RenderDevice.h"
#include "services/input/InputService.h"
#include "services/sound/SoundSystem.h"
#include "tests/platform/window/SdlTestEvents.h"
#include "tests/services/TestBytes.h"
#include "tests/support/GlRenderDeviceBackend.h"
#include "tests/support/GlTestWindow.h"
#include "tests/support/TestMovieFile.h"

namespace tge {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSize = 64;
constexpr int kActionOk = 46;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

class OverlayMovieTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("ALSOFT_DRIVERS", "null", 1);
    SDL_Window* glWindow = test::SharedGlTestWindow(kSize, kSize);
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
    settings.width = settings.height = kSize;
    settings.renderDeviceEnabled = settings.inputEnabled = settings.soundEnabled = 1;
    ASSERT_EQ(services_.Initialize(&settings), 1) << GetErrorMessage();
    services_.SetEventPump(pump_.get());
    services_.SetDataFolder(folder_.Folder());
    ASSERT_FALSE(test::TestMoviePath().empty());
    std::filesystem::copy_file(test::TestMoviePath(), folder_.Path("Data/Intro.mpg"));
  }

  void TearDown() override {
    services_.Shutdown();
    if (pump_) pump_->RemoveListener(*static_cast<InputService*>(services_.GetSubsystem(ServiceSlot::kInput)));
  }

  std::uint32_t Probe(int x, int y) {
    auto& gl = static_cast<gfx::GlDevice&>(GetRenderDevice()->Device());
    return gl.ReadPixels().at(std::size_t(y) * kSize + std::size_t(x));
  }

  // One of the movie's pictures on the back buffer, near every edge: red
  // over blue in its first half, blue over red in its second.
  void ExpectMoviePicture() {
    const bool firstHalf = test::NearColour(Probe(kSize / 2, 1), test::kMovieRed, test::kMovieTolerance);
    const std::uint32_t top = firstHalf ? test::kMovieRed : test::kMovieBlue;
    const std::uint32_t bottom = firstHalf ? test::kMovieBlue : test::kMovieRed;
    for (int x : {1, kSize / 2, kSize - 2}) {
      EXPECT_TRUE(test::NearColour(Probe(x, 1), top, test::kMovieTolerance)) << "x " << x;
      EXPECT_TRUE(test::NearColour(Probe(x, kSize - 2), bottom, test::kMovieTolerance)) << "x " << x;
    }
  }

  test::TempDataFolder folder_;
  std::unique_ptr<platform::Window> window_;
  std::unique_ptr<platform::EventPump> pump_;
  EngineServices services_;
};

// Times run from the skip test's first call, when the movie has started:
// the set-up before it is slow on a loaded machine.
TEST_F(OverlayMovieTest, PlaysToItsEndStretchedOverTheWindow) {
  int calls = 0, probes = 0;
  Clock::time_point first;
  const int result = services_.PlayOverlayMovie("Intro", [&] {
    if (calls++ == 0) first = Clock::now();
    // Every picture on the back buffer while the movie plays; a loaded
    // machine may call too rarely to see one of each half.
    if (Probe(kSize / 2, 1) != 0xFF000000) {
      ExpectMoviePicture();
      ++probes;
    }
    return 0;
  });
  const double seconds = SecondsSince(first);
  EXPECT_EQ(result, 1);
  EXPECT_GT(probes, 0);
  EXPECT_GT(seconds, 0.85);
  EXPECT_LT(seconds, 2.0);
  EXPECT_TRUE(test::NearColour(Probe(kSize / 2, 1), 0xFF000000, 0)) << "the movie ends on black";
  EXPECT_FALSE(pump_->QuitRequested());
}

// The skip test's calls come 50 ms apart at least; the movie ends within
// 200 ms of the call that ended it.
TEST_F(OverlayMovieTest, SkipTestEndsItAtItsThirdCall) {
  int calls = 0;
  Clock::time_point first, third;
  EXPECT_EQ(services_.PlayOverlayMovie("Intro", [&] {
    if (++calls == 1) first = Clock::now();
    if (calls == 3) third = Clock::now();
    return calls == 3 ? 1 : 0;
  }), 1);
  EXPECT_EQ(calls, 3);
  EXPECT_GE(std::chrono::duration<double>(third - first).count(), 0.1);
  EXPECT_LT(SecondsSince(third), 0.2);
}

TEST_F(OverlayMovieTest, ReturnKeyEndsItThroughASkipTestThatPollsInput) {
  int calls = 0;
  Clock::time_point answered;
  const int result = services_.PlayOverlayMovie("Intro", [&] {
    if (++calls == 2) platform::PushKey(SDL_SCANCODE_RETURN, true);
    services_.PollInput(0.033f);
    answered = Clock::now();
    return services_.IsInputActionPressed(0, kActionOk);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(calls, 3) << "the key is pumped after the call that pushed it";
  EXPECT_LT(SecondsSince(answered), 0.2);
}

TEST_F(OverlayMovieTest, QuitRequestEndsItAndStaysRequested) {
  int calls = 0;
  Clock::time_point posted;
  const int result = services_.PlayOverlayMovie("Intro", [&] {
    if (++calls == 2) {
      platform::EventPump::PostQuit();
      posted = Clock::now();
    }
    return 0;
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(calls, 2);
  EXPECT_LT(SecondsSince(posted), 0.2);
  EXPECT_TRUE(pump_->QuitRequested());
}

TEST_F(OverlayMovieTest, MissingMovieReturnsZeroAtOnce) {
  int calls = 0;
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(services_.PlayOverlayMovie("Outro", [&] { return ++calls; }), 0);
  EXPECT_LT(SecondsSince(start), 0.1);
  EXPECT_EQ(calls, 0);
  EXPECT_FALSE(pump_->QuitRequested());
}

}  // namespace
}  // namespace tge

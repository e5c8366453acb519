#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/window/EventPump.h"
#include "platform/window/SystemCursor.h"
#include "platform/window/Window.h"
#include "tests/platform/window/SdlTestEnvironment.h"

namespace tge::platform {
namespace {

class PlatformWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    UseHeadlessSdl();
    std::string error;
    WindowSettings settings;
    settings.title = "Window test";
    settings.width = 320;
    settings.height = 200;
    // The graphics suites open GL contexts; here no GL library is loaded.
    settings.openGl = false;
    window_ = Window::Create(settings, error);
    ASSERT_NE(window_, nullptr) << error;
  }

  void PushWindowEvent(Uint8 kind) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = window_->Id();
    event.window.event = kind;
    SDL_PushEvent(&event);
  }

  std::unique_ptr<Window> window_;
};

TEST_F(PlatformWindow, CreatesCentredWindowWithTitleSizeAndHandle) {
  ASSERT_NE(window_->NativeHandle(), nullptr);
  EXPECT_STREQ(SDL_GetWindowTitle(window_->NativeHandle()), "Window test");
  int width = 0, height = 0;
  SDL_GetWindowSize(window_->NativeHandle(), &width, &height);
  EXPECT_EQ(width, 320);
  EXPECT_EQ(height, 200);
  SDL_Rect display{};
  ASSERT_EQ(SDL_GetDisplayBounds(0, &display), 0) << SDL_GetError();
  int x = 0, y = 0;
  SDL_GetWindowPosition(window_->NativeHandle(), &x, &y);
  EXPECT_EQ(x, display.x + display.w / 2 - 160);
  EXPECT_EQ(y, display.y + display.h / 2 - 100);
  window_->SetTitle("Renamed");
  EXPECT_EQ(window_->Title(), "Renamed");
  EXPECT_STREQ(SDL_GetWindowTitle(window_->NativeHandle()), "Renamed");
}

TEST_F(PlatformWindow, RefusesUnusableSizeWithReason) {
  std::string error;
  WindowSettings settings;
  settings.width = 0;
  EXPECT_EQ(Window::Create(settings, error), nullptr);
  EXPECT_NE(error.find("size"), std::string::npos);
}

TEST_F(PlatformWindow, IconAndCursorImagesMustCoverEveryPixel) {
  const std::vector<std::uint8_t> pixels(4 * 4 * 4, 0xFF);
  EXPECT_TRUE(window_->SetIcon({4, 4, pixels}));
  const std::vector<std::uint8_t> tooShort(4 * 4 * 4 - 1, 0xFF);
  EXPECT_FALSE(window_->SetIcon({4, 4, tooShort}));
  EXPECT_FALSE(window_->SetIcon({-4, 4, pixels}));
  EXPECT_FALSE(window_->SetIcon({RgbaPixels::kMaxSide + 1, 1, pixels}));
  SystemCursor cursor;
  EXPECT_FALSE(cursor.SetImage({4, 4, tooShort}, 0, 0));
  cursor.Show(false);
  EXPECT_FALSE(cursor.IsShown());
  cursor.Show(true);
  EXPECT_TRUE(cursor.IsShown());
  window_.reset();  // the cursor may outlive the window
  cursor.Show(false);
  EXPECT_FALSE(cursor.IsShown());
}

TEST_F(PlatformWindow, PumpFollowsMinimisedFocusAndClose) {
  EventPump pump(*window_);
  pump.PumpEvents();
  PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  pump.PumpEvents();
  EXPECT_TRUE(window_->IsMinimised());
  EXPECT_FALSE(window_->HasFocus());
  PushWindowEvent(SDL_WINDOWEVENT_RESTORED);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  pump.PumpEvents();
  EXPECT_FALSE(window_->IsMinimised());
  EXPECT_TRUE(window_->HasFocus());
  EXPECT_FALSE(pump.QuitRequested());
  PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
  pump.PumpEvents();
  EXPECT_TRUE(pump.QuitRequested());
}

TEST_F(PlatformWindow, PostedQuitWakesBlockingWait) {
  EventPump pump(*window_);
  pump.PumpEvents();
  EXPECT_EQ(pump.WaitForEvents(0), 0);
  EventPump::PostQuit();
  EXPECT_GE(pump.WaitForEvents(), 1);
  EXPECT_TRUE(pump.QuitRequested());
}

class RecordingListener : public EventListener {
 public:
  RecordingListener(std::vector<int>& log, int id) : log_(log), id_(id) {}
  void OnEvent(const SDL_Event& event) override {
    if (event.type != SDL_USEREVENT) return;
    log_.push_back(id_);
    if (onEvent) onEvent();
  }
  std::function<void()> onEvent;

 private:
  std::vector<int>& log_;
  int id_;
};

TEST_F(PlatformWindow, ListenersGetEventsInOrderAndMayUnregisterMidway) {
  EventPump pump(*window_);
  std::vector<int> log;
  RecordingListener first(log, 1), second(log, 2);
  pump.AddListener(first);
  pump.AddListener(second);
  pump.AddListener(first);  // a second registration changes nothing
  first.onEvent = [&] { pump.RemoveListener(second); };
  SDL_Event event{};
  event.type = SDL_USEREVENT;
  SDL_PushEvent(&event);
  SDL_PushEvent(&event);
  pump.PumpEvents();
  EXPECT_EQ(log, (std::vector<int>{1, 1}));
}

}  // namespace
}  // namespace tge::platform

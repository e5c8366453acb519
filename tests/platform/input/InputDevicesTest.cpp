#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>

#include "platform/input/InputDevices.h"
#include "platform/window/EventPump.h"
#include "platform/window/Window.h"
#include "tests/platform/window/SdlTestEnvironment.h"

namespace tge::platform {
namespace {

// A headless window whose pump feeds the input devices, and helpers that
// push events as SDL would deliver them.
class PlatformInputDevices : public testing::Test {
 protected:
  void SetUp() override {
    UseHeadlessSdl();
    std::string error;
    WindowSettings settings;
    settings.title = "Input test";
    settings.openGl = false;
    window_ = Window::Create(settings, error);
    ASSERT_NE(window_, nullptr) << error;
    pump_ = std::make_unique<EventPump>(*window_);
    pump_->PumpEvents();
    pump_->AddListener(devices_);
  }

  void Push(SDL_Event event) {
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
  }
  void Key(SDL_Scancode scancode, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.keysym.scancode = scancode;
    Push(event);
  }
  void Button(Uint8 button, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = button;
    Push(event);
  }
  void Wheel(int steps, Uint32 direction = SDL_MOUSEWHEEL_NORMAL) {
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.y = steps;
    event.wheel.direction = direction;
    Push(event);
  }
  void Motion(int x, int y, int dx, int dy) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = x;
    event.motion.y = y;
    event.motion.xrel = dx;
    event.motion.yrel = dy;
    Push(event);
  }
  void Focus(bool gained) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = window_->Id();
    event.window.event =
        gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
    Push(event);
  }

  std::unique_ptr<Window> window_;
  std::unique_ptr<EventPump> pump_;
  InputDevices devices_;
};

TEST_F(PlatformInputDevices, KeyEventsSetStateBySetOneCode) {
  Key(SDL_SCANCODE_UP, true);
  Key(SDL_SCANCODE_RCTRL, true);
  Key(SDL_SCANCODE_RETURN, true);
  pump_->PumpEvents();
  KeyboardState& keys = devices_.Keyboard();
  EXPECT_TRUE(keys.IsDown(0xC8));
  EXPECT_TRUE(keys.IsDown(0x9D));
  EXPECT_TRUE(keys.IsDown(0x1C));
  EXPECT_FALSE(keys.IsDown(0x1D));  // left control is another key
  EXPECT_FALSE(keys.IsDown(-1));
  EXPECT_FALSE(keys.IsDown(256));
  Key(SDL_SCANCODE_UP, false);
  pump_->PumpEvents();
  EXPECT_FALSE(keys.IsDown(0xC8));
  EXPECT_TRUE(keys.IsDown(0x9D));
}

TEST_F(PlatformInputDevices, MouseButtonsWheelAndMotion) {
  Button(SDL_BUTTON_LEFT, true);
  Button(SDL_BUTTON_MIDDLE, true);
  Button(SDL_BUTTON_X1, true);
  Wheel(2);
  Wheel(-3);
  Wheel(1, SDL_MOUSEWHEEL_FLIPPED);
  Motion(50, 60, 40, -5);
  Motion(55, 58, 5, -2);
  pump_->PumpEvents();
  MouseState& mouse = devices_.Mouse();
  EXPECT_TRUE(mouse.IsDown(MouseButton::kLeft));
  EXPECT_FALSE(mouse.IsDown(MouseButton::kRight));
  EXPECT_TRUE(mouse.IsDown(MouseButton::kMiddle));
  EXPECT_FALSE(mouse.IsDown(MouseButton::kCount));
  EXPECT_EQ(mouse.TakeWheelSteps(), -2);
  EXPECT_EQ(mouse.TakeWheelSteps(), 0);
  const MouseMotion motion = mouse.TakeMotion();
  EXPECT_EQ(motion.dx, 45);
  EXPECT_EQ(motion.dy, -7);
  EXPECT_EQ(mouse.X(), 55);
  EXPECT_EQ(mouse.Y(), 58);
  EXPECT_EQ(mouse.TakeMotion().dx, 0);
  Button(SDL_BUTTON_LEFT, false);
  pump_->PumpEvents();
  EXPECT_FALSE(mouse.IsDown(MouseButton::kLeft));
}

TEST_F(PlatformInputDevices, TextEventsBecomeEightBitCharacters) {
  SDL_Event event{};
  event.type = SDL_TEXTINPUT;
  std::strcpy(event.text.text, "a\xC3\xA9");
  Push(event);
  Key(SDL_SCANCODE_BACKSPACE, true);
  pump_->PumpEvents();
  for (const int expected : {int{'a'}, 0xE9, 8, 0})
    EXPECT_EQ(devices_.Typed().Take(), expected);
}

TEST_F(PlatformInputDevices, LosingFocusLetsGoOfKeysAndButtons) {
  Key(SDL_SCANCODE_W, true);
  Button(SDL_BUTTON_RIGHT, true);
  Focus(false);
  pump_->PumpEvents();
  EXPECT_FALSE(devices_.HasFocus());
  EXPECT_FALSE(devices_.Keyboard().IsDown(0x11));
  EXPECT_FALSE(devices_.Mouse().IsDown(MouseButton::kRight));
  Focus(true);
  pump_->PumpEvents();
  EXPECT_TRUE(devices_.HasFocus());
}

}  // namespace
}  // namespace tge::platform

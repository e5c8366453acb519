#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>

#include "platform/input/InputDevices.h"
#include "platform/window/EventPump.h"
#include "platform/window/Window.h"
#include "tests/platform/window/SdlTestEnvironment.h"
#include "tests/platform/window/SdlTestEvents.h"

namespace tge::platform {
namespace {

// A headless window whose pump feeds the input devices, and helpers that
// push events as SDL would deliver them.
class PlatformInputDevices : public ::testing::Test {
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

  void Focus(bool gained) { PushFocus(window_->Id(), gained); }

  std::unique_ptr<Window> window_;
  std::unique_ptr<EventPump> pump_;
  InputDevices devices_;
};

TEST_F(PlatformInputDevices, KeyEventsSetStateBySetOneCode) {
  PushKey(SDL_SCANCODE_UP, true);
  PushKey(SDL_SCANCODE_RCTRL, true);
  PushKey(SDL_SCANCODE_RETURN, true);
  pump_->PumpEvents();
  KeyboardState& keys = devices_.Keyboard();
  EXPECT_TRUE(keys.IsDown(0xC8));
  EXPECT_TRUE(keys.IsDown(0x9D));
  EXPECT_TRUE(keys.IsDown(0x1C));
  EXPECT_FALSE(keys.IsDown(0x1D));  // left control is another key
  EXPECT_FALSE(keys.IsDown(-1));
  EXPECT_FALSE(keys.IsDown(256));
  PushKey(SDL_SCANCODE_UP, false);
  pump_->PumpEvents();
  EXPECT_FALSE(keys.IsDown(0xC8));
  EXPECT_TRUE(keys.IsDown(0x9D));
}

TEST_F(PlatformInputDevices, MouseButtonsWheelAndMotion) {
  PushButton(SDL_BUTTON_LEFT, true);
  PushButton(SDL_BUTTON_MIDDLE, true);
  PushButton(SDL_BUTTON_X1, true);
  PushWheel(2);
  PushWheel(-3);
  PushWheel(1, SDL_MOUSEWHEEL_FLIPPED);
  PushMotion(50, 60, 40, -5);
  PushMotion(55, 58, 5, -2);
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
  PushButton(SDL_BUTTON_LEFT, false);
  pump_->PumpEvents();
  EXPECT_FALSE(mouse.IsDown(MouseButton::kLeft));
}

TEST_F(PlatformInputDevices, TextEventsBecomeEightBitCharacters) {
  SDL_Event event{};
  event.type = SDL_TEXTINPUT;
  std::strcpy(event.text.text, "a\xC3\xA9");
  PushSdlEvent(event);
  PushKey(SDL_SCANCODE_BACKSPACE, true);
  pump_->PumpEvents();
  for (const int expected : {int{'a'}, 0xE9, 8, 0})
    EXPECT_EQ(devices_.Typed().Take(), expected);
}

TEST_F(PlatformInputDevices, LosingFocusLetsGoOfKeysAndButtons) {
  PushKey(SDL_SCANCODE_W, true);
  PushButton(SDL_BUTTON_RIGHT, true);
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

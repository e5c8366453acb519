#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>

#include "platform/window/EventPump.h"
#include "platform/window/Window.h"
#include "services/EngineServices.h"
#include "services/input/InputService.h"
#include "tests/platform/window/SdlTestEnvironment.h"
#include "tests/platform/window/SdlTestEvents.h"
#include "tests/platform/window/VirtualPad.h"

namespace tge {
namespace {

constexpr int kKeyW = 272;
constexpr int kActionForward = 1;  // secondary: W
constexpr int kActionLook = 2;     // secondary: MouseX

// A headless window whose pump feeds the input service of a services object
// started with input on; events are pushed as SDL would deliver them and a
// frame is pump plus poll.
class InputServiceFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::UseHeadlessSdl();
    std::string error;
    platform::WindowSettings settings;
    settings.title = "Input service test";
    settings.openGl = false;
    window_ = platform::Window::Create(settings, error);
    ASSERT_NE(window_, nullptr) << error;
    pump_ = std::make_unique<platform::EventPump>(*window_);
    pump_->PumpEvents();
    auto input = std::make_unique<InputService>();
    input_ = input.get();
    pump_->AddListener(*input_);
    services_.SetInputService(std::move(input));
    StartupSettings startup;
    startup.inputEnabled = 1;
    ASSERT_EQ(services_.Initialize(&startup), 1);
  }

  void Focus(bool gained) { platform::PushFocus(window_->Id(), gained); }
  int Frame() {
    pump_->PumpEvents();
    return services_.PollInput(0.016f);
  }
  // Pressed, released and value of one action of player 0.
  std::tuple<int, int, float> Read(int action) const {
    return {services_.IsInputActionPressed(0, action), services_.IsInputActionReleased(0, action),
            services_.GetInputActionValue(0, action)};
  }

  std::unique_ptr<platform::Window> window_;
  std::unique_ptr<platform::EventPump> pump_;
  EngineServices services_;
  InputService* input_ = nullptr;
};

using Edges = std::tuple<int, int, float>;

TEST_F(InputServiceFixture, AHeldKeyIsPressedInItsFirstFrameAndReleasedInTheFirstFrameAfter) {
  platform::PushKey(SDL_SCANCODE_W, true);
  EXPECT_EQ(Frame(), 1);
  // The key's own id is bound on both maps, so it counts twice.
  EXPECT_EQ(Read(kKeyW), Edges(1, 0, 2.0f));
  EXPECT_EQ(Read(kActionForward), Edges(1, 0, 1.0f));
  platform::PushKey(SDL_SCANCODE_W, true, true);  // a repeat changes nothing
  Frame();
  EXPECT_EQ(Read(kActionForward), Edges(0, 0, 1.0f));
  Frame();
  EXPECT_EQ(Read(kActionForward), Edges(0, 0, 1.0f));
  platform::PushKey(SDL_SCANCODE_W, false);
  Frame();
  EXPECT_EQ(Read(kActionForward), Edges(0, 1, 0.0f));
  Frame();
  EXPECT_EQ(Read(kActionForward), Edges(0, 0, 0.0f));
}

// Frames can come slower than a tap: a press and release between two polls
// reads as pressed in the first and released in the next, and a held key let
// go and pressed again between two polls as released, then pressed.
TEST_F(InputServiceFixture, ATapBetweenTwoFramesIsPressedInOneAndReleasedInTheNext) {
  platform::PushKey(SDL_SCANCODE_RETURN, true);
  platform::PushKey(SDL_SCANCODE_RETURN, false);
  platform::PushButton(SDL_BUTTON_LEFT, true);
  platform::PushButton(SDL_BUTTON_LEFT, false);
  Frame();
  EXPECT_EQ(Read(46), Edges(1, 0, 1.0f));  // Return
  EXPECT_EQ(Read(13), Edges(1, 0, 1.0f));  // the left button
  Frame();
  EXPECT_EQ(Read(46), Edges(0, 1, 0.0f));
  EXPECT_EQ(Read(13), Edges(0, 1, 0.0f));
  Frame();
  EXPECT_EQ(Read(46), Edges(0, 0, 0.0f));

  platform::PushKey(SDL_SCANCODE_W, true);
  Frame();
  platform::PushKey(SDL_SCANCODE_W, false);
  platform::PushKey(SDL_SCANCODE_W, true);
  Frame();
  EXPECT_EQ(Read(kActionForward), Edges(0, 1, 0.0f));
  Frame();
  EXPECT_EQ(Read(kActionForward), Edges(1, 0, 1.0f));
}

// A pad's button events keep a tap between two polls, as the keys do.
TEST_F(InputServiceFixture, APadButtonTappedBetweenTwoFramesIsPressedInOneAndReleasedInTheNext) {
  test::VirtualPad pad;
  Frame();
  ASSERT_EQ(services_.GetInputDeviceFlags(0), kInputDeviceKeyboardMouse | kInputDeviceGamePad);
  SDL_Event button{};
  button.cbutton.which = pad.Instance();
  button.cbutton.button = SDL_CONTROLLER_BUTTON_A;
  for (const Uint32 type : {SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLERBUTTONUP}) {
    button.type = type;
    platform::PushSdlEvent(button);
  }
  Frame();
  EXPECT_EQ(Read(16), Edges(1, 0, 2.0f));  // ButtonCross
  Frame();
  EXPECT_EQ(Read(16), Edges(0, 1, 0.0f));
}

TEST_F(InputServiceFixture, PrimaryAndSecondaryMapsBothFeedAnAction) {
  // Action 5 is pad down on the primary map and S on the secondary; the
  // arrows that once sat there went to W, A, S, D and to actions 48 to 51.
  const std::tuple<SDL_Scancode, int, int> cases[] = {
      {SDL_SCANCODE_S, 5, 286},        {SDL_SCANCODE_A, 6, 285},        {SDL_SCANCODE_D, 7, 287},
      {SDL_SCANCODE_ESCAPE, 8, 256},   {SDL_SCANCODE_ESCAPE, 60, 256},  {SDL_SCANCODE_C, 11, 301},
      {SDL_SCANCODE_RETURN, 46, 283},  {SDL_SCANCODE_UP, 4, 455},       {SDL_SCANCODE_UP, 48, 455},
      {SDL_SCANCODE_DOWN, 49, 463},    {SDL_SCANCODE_LEFT, 50, 458},    {SDL_SCANCODE_RIGHT, 51, 460},
      {SDL_SCANCODE_TAB, 52, 270},
  };
  for (const auto& [scancode, action, input] : cases) {
    platform::PushKey(scancode, true);
    Frame();
    EXPECT_EQ(Read(action), Edges(1, 0, 1.0f)) << "action " << action;
    EXPECT_EQ(Read(input), Edges(1, 0, 2.0f)) << "input " << input;
    platform::PushKey(scancode, false);
    Frame();
    EXPECT_EQ(Read(action), Edges(0, 1, 0.0f)) << "action " << action;
  }
  // Arrows no longer reach 6 and 7 (A and D replaced them): one press of Left
  // leaves action 6 at 0.
  platform::PushKey(SDL_SCANCODE_LEFT, true);
  Frame();
  EXPECT_EQ(Read(6), Edges(0, 0, 0.0f));
}

TEST_F(InputServiceFixture, BothBoundInputsAddUpAndEitherCrossingCounts) {
  // Action 12: R1 on the primary map, the left mouse button on the secondary;
  // action 13 the same button; the button's own id reads it too.
  platform::PushButton(SDL_BUTTON_LEFT, true);
  Frame();
  EXPECT_EQ(Read(12), Edges(1, 0, 1.0f));
  EXPECT_EQ(Read(13), Edges(1, 0, 1.0f));
  EXPECT_EQ(Read(128), Edges(1, 0, 2.0f));
  platform::PushButton(SDL_BUTTON_RIGHT, true);
  platform::PushButton(SDL_BUTTON_MIDDLE, true);
  Frame();
  EXPECT_EQ(Read(10), Edges(1, 0, 1.0f));
  EXPECT_EQ(Read(130), Edges(1, 0, 2.0f));
  EXPECT_EQ(Read(12), Edges(0, 0, 1.0f));
  // Action 140 is MouseX on both maps, so it reads the motion twice;
  // 40 pixels read 2.0 on action 2.
  platform::PushMotion(70, 80, 40, -10);
  Frame();
  EXPECT_FLOAT_EQ(services_.GetInputActionValue(0, kActionLook), 2.0f);
  EXPECT_FLOAT_EQ(services_.GetInputActionValue(0, 3), -0.5f);
  EXPECT_FLOAT_EQ(services_.GetInputActionValue(0, 140), 4.0f);
  EXPECT_FLOAT_EQ(services_.GetInputActionValue(0, 150), 2 * 70.0f);  // named ...Y, holds x
  EXPECT_FLOAT_EQ(services_.GetInputActionValue(0, 151), 2 * 80.0f);
  Frame();
  EXPECT_FLOAT_EQ(services_.GetInputActionValue(0, kActionLook), 0.0f);
}

TEST_F(InputServiceFixture, EventsHandedToTheServicesObjectReachTheDevices) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.keysym.scancode = SDL_SCANCODE_W;
  services_.HandleInputMessage(event);
  EXPECT_EQ(services_.PollInput(0.0f), 1);
  EXPECT_EQ(Read(kActionForward), Edges(1, 0, 1.0f));
}

TEST_F(InputServiceFixture, EachFrameWithAWheelTurnIsAPressOfItsDirection) {
  platform::PushWheel(2);
  Frame();
  EXPECT_EQ(Read(160), Edges(1, 0, 2.0f));
  EXPECT_EQ(Read(161), Edges(0, 0, 0.0f));
  platform::PushWheel(1);
  Frame();
  EXPECT_EQ(Read(160), Edges(1, 0, 2.0f));
  platform::PushWheel(-1);
  Frame();
  EXPECT_EQ(Read(160), Edges(0, 0, 0.0f));
  EXPECT_EQ(Read(161), Edges(1, 0, 2.0f));
  Frame();
  EXPECT_EQ(Read(161), Edges(0, 0, 0.0f));
}

TEST_F(InputServiceFixture, WithoutFocusNothingIsPolledAndOtherWindowsMotionIsDropped) {
  platform::PushKey(SDL_SCANCODE_W, true);
  Frame();
  Focus(false);
  platform::PushMotion(0, 0, 300, 300);
  EXPECT_EQ(Frame(), 0);
  EXPECT_EQ(Read(kActionForward), Edges(1, 0, 1.0f));
  Focus(true);
  Frame();
  // The key's release went to another window: it reads as let go.
  EXPECT_EQ(Read(kActionForward), Edges(0, 1, 0.0f));
  EXPECT_FLOAT_EQ(services_.GetInputActionValue(0, kActionLook), 0.0f);
}

TEST_F(InputServiceFixture, TypedCharactersComeFromTextAndFromControlKeys) {
  SDL_Event text{};
  text.type = SDL_TEXTINPUT;
  std::strcpy(text.text.text, "h\xC3\xA9");
  platform::PushSdlEvent(text);
  platform::PushKey(SDL_SCANCODE_RETURN, true);
  platform::PushKey(SDL_SCANCODE_RETURN, true, true);
  platform::PushKey(SDL_SCANCODE_ESCAPE, true);
  pump_->PumpEvents();
  for (const int expected : {int{'h'}, 0xE9, 13, 27, 0}) EXPECT_EQ(services_.GetTypedCharacter(), expected);
}

TEST_F(InputServiceFixture, PlayerZeroHasKeyboardAndMouseAndStrayIdsReadZero) {
  EXPECT_EQ(services_.GetInputDeviceFlags(0), kInputDeviceKeyboardMouse);
  EXPECT_EQ(input_->GetPlayerCount(), 1);
  platform::PushKey(SDL_SCANCODE_W, true);
  Frame();
  for (const auto& [player, action] :
       {std::pair{0, -1}, {0, 512}, {0, 1 << 20}, {1, kActionForward}, {-1, kActionForward}, {7, -3}}) {
    EXPECT_EQ(services_.IsInputActionPressed(player, action), 0) << player << " " << action;
    EXPECT_EQ(services_.IsInputActionReleased(player, action), 0) << player << " " << action;
    EXPECT_EQ(services_.GetInputActionValue(player, action), 0.0f) << player << " " << action;
  }
  EXPECT_EQ(services_.GetInputDeviceFlags(1), 0u);
  EXPECT_STREQ(services_.GetInputName(-1), "");
  EXPECT_STREQ(services_.GetInputName(512), "");
  EXPECT_EQ(services_.Vibrate(0, 0, 0), 0);
}

TEST_F(InputServiceFixture, StoppedServiceAnswersNeutrallyAndPollsNothing) {
  platform::PushKey(SDL_SCANCODE_W, true);
  Frame();
  services_.Shutdown();
  EXPECT_EQ(Frame(), 0);
  EXPECT_EQ(services_.GetInputName(0), nullptr);
  EXPECT_EQ(Read(kActionForward), Edges(0, 0, 0.0f));
  EXPECT_EQ(services_.GetInputDeviceFlags(0), 0u);
}

// A pad plugged in while the game runs: SDL's virtual game controller stands
// in for a real one. The headless window never holds the keyboard focus, and
// SDL drops pad changes of unfocused programs unless told otherwise.
TEST_F(InputServiceFixture, APadPluggedInWhilePlayingJoinsPlayerZeroAndLeavesWithoutEdges) {
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  const int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                               SDL_CONTROLLER_BUTTON_MAX, 0);
  ASSERT_GE(device, 0) << SDL_GetError();
  Frame();
  ASSERT_EQ(services_.GetInputDeviceFlags(0), kInputDeviceKeyboardMouse | kInputDeviceGamePad);
  SDL_Joystick* stick = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(device));
  ASSERT_NE(stick, nullptr);
  SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTX, 32767);
  SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_RIGHTX, 4915);  // 0.15: dead
  SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_A, 1);
  Frame();
  // Action 0 is the left stick's X on both maps.
  EXPECT_NEAR(services_.GetInputActionValue(0, 0), 2 * 0.9945f, 1e-5f);
  EXPECT_FLOAT_EQ(services_.GetInputActionValue(0, 2), 0.0f);
  EXPECT_EQ(Read(16), Edges(1, 0, 2.0f));  // ButtonCross
  EXPECT_EQ(services_.IsInputActionPressed(0, 64), 1);
  // A second pad is a second player, with the pad alone.
  const int second = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                               SDL_CONTROLLER_BUTTON_MAX, 0);
  ASSERT_GE(second, 0) << SDL_GetError();
  Frame();
  EXPECT_EQ(input_->GetPlayerCount(), 2);
  EXPECT_EQ(services_.GetInputDeviceFlags(1), kInputDeviceGamePad);
  EXPECT_FLOAT_EQ(services_.GetInputActionValue(1, 0), 0.0f);
  SDL_JoystickDetachVirtual(second);
  SDL_JoystickDetachVirtual(device);
  Frame();
  EXPECT_EQ(services_.GetInputDeviceFlags(0), kInputDeviceKeyboardMouse);
  EXPECT_EQ(services_.GetInputDeviceFlags(1), 0u);
  EXPECT_EQ(Read(16), Edges(0, 0, 0.0f));
  EXPECT_FLOAT_EQ(services_.GetInputActionValue(0, 0), 0.0f);
}

TEST(InputService, WithoutAServiceEveryQueryIsNeutral) {
  EngineServices services;
  StartupSettings startup;
  startup.inputEnabled = 1;
  ASSERT_EQ(services.Initialize(&startup), 1);
  EXPECT_EQ(services.GetSettings().inputEnabled, 0);
  EXPECT_EQ(services.PollInput(0.0f), 0);
  EXPECT_EQ(services.GetInputName(1), nullptr);
  EXPECT_EQ(services.GetInputActionValue(0, 1), 0.0f);
  EXPECT_EQ(services.GetTypedCharacter(), 0);
}

}  // namespace
}  // namespace tge

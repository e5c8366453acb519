#include <SDL_events.h>
#include <gtest/gtest.h>

#include "platform/input/GamePads.h"
#include "platform/input/PadMapping.h"

namespace tge::platform {
namespace {

TEST(PlatformPadMapping, StickScalingAndDeadZone) {
  const std::pair<int, float> cases[] = {
      {0, 0.0f},          {4915, 0.0f},
      {-4915, 0.0f},      {5243, 0.01f * 1.17f},
      {32767, 0.9945f},   {-32767, -0.9945f},
      {-32768, -0.9945f}, {16384, 0.35f * 1.17f},
  };
  for (const auto& [raw, expected] : cases)
    EXPECT_NEAR(StickValue(raw), expected, 1e-5f) << raw;
  EXPECT_FLOAT_EQ(TriggerValue(0), 0.0f);
  EXPECT_FLOAT_EQ(TriggerValue(32767), 1.0f);
  EXPECT_FLOAT_EQ(TriggerValue(-5), 0.0f);
}

TEST(PlatformPadMapping, SticksDirectionsAndNamedButtonsLandOnTheirInputs) {
  PadReading reading;
  auto axis = [&](PadAxis a) -> std::int16_t& {
    return reading.axes[static_cast<int>(a)];
  };
  axis(PadAxis::kLeftX) = 32767;
  axis(PadAxis::kLeftY) = -32768;  // pushed up
  axis(PadAxis::kRightX) = -32767;
  axis(PadAxis::kRightY) = 32767;  // pushed down
  axis(PadAxis::kTriggerLeft) = 32767;
  const PadInputs sticks = MapPadReading(reading);
  EXPECT_NEAR(sticks[0], 0.9945f, 1e-5f);
  EXPECT_NEAR(sticks[1], 0.9945f, 1e-5f);
  EXPECT_NEAR(sticks[2], -0.9945f, 1e-5f);
  EXPECT_NEAR(sticks[3], 0.9945f, 1e-5f);
  EXPECT_FLOAT_EQ(sticks[11], 1.0f);
  EXPECT_FLOAT_EQ(sticks[13], 0.0f);

  const std::pair<PadButton, int> buttons[] = {
      {PadButton::kDpadUp, 4},
      {PadButton::kDpadDown, 5},
      {PadButton::kDpadLeft, 6},
      {PadButton::kDpadRight, 7},
      {PadButton::kStart, 8},
      {PadButton::kBack, 9},
      {PadButton::kLeftShoulder, 10},
      {PadButton::kRightShoulder, 12},
      {PadButton::kY, 14},
      {PadButton::kB, 15},
      {PadButton::kA, 16},
      {PadButton::kX, 17},
  };
  for (const auto& [button, input] : buttons) {
    PadReading pressed;
    pressed.buttons[static_cast<int>(button)] = true;
    const PadInputs inputs = MapPadReading(pressed);
    const int raw = kFirstRawPadButtonInput + static_cast<int>(button);
    for (int i = 0; i < kPadInputCount; ++i) {
      const bool expected = i == input || i == raw;
      EXPECT_FLOAT_EQ(inputs[i], expected ? 1.0f : 0.0f)
          << "button " << static_cast<int>(button) << " input " << i;
    }
  }
}

TEST(PlatformPadMapping, NoPadsWithoutDevicesAndBogusEventsChangeNothing) {
  GamePads pads;
  SDL_Event event{};
  event.type = SDL_CONTROLLERDEVICEADDED;
  event.cdevice.which = 99;
  pads.HandleEvent(event);
  event.cdevice.which = -1;
  pads.HandleEvent(event);
  event.type = SDL_CONTROLLERDEVICEREMOVED;
  event.cdevice.which = 42;
  pads.HandleEvent(event);
  event.type = SDL_CONTROLLERBUTTONDOWN;
  event.cbutton.which = 42;
  pads.HandleEvent(event);
  EXPECT_EQ(pads.ConnectedCount(), 0);
  EXPECT_FALSE(pads.Read(0).has_value());
  EXPECT_FALSE(pads.TakeInputs(-1).has_value());
  EXPECT_EQ(pads.Name(3), "");
}

}  // namespace
}  // namespace tge::platform

// The vehicle's input schemes over a table of held actions.
#include <gtest/gtest.h>

#include <initializer_list>
#include <set>

#include "objects/gameplay/vehicles/VehicleInput.h"

namespace tge {
namespace {

constexpr int kW = 272, kA = 285, kS = 286, kD = 287, kSpace = 312;
constexpr int kUp = 455, kLeft = 458, kRight = 460, kDown = 463;

std::set<int>& Held() {
  static std::set<int> held;
  return held;
}

float ReadHeld(int action) { return Held().contains(action) ? 1.0f : 0.0f; }

void Hold(std::initializer_list<int> actions) { Held() = actions; }

struct Case {
  std::uint32_t device;
  std::initializer_list<int> held;
  float steering, throttle, brake;
};

// Digital schemes start from nothing each frame, a later key winning; the
// brake is left as it was (here 5).
TEST(VehicleInputTest, DigitalSchemesSetFullValuesAndNeverBrake) {
  const Case cases[] = {
      {256, {}, 0, 0, 5},          {256, {kD, kW}, 1, 1, 5},     {256, {kA, kD, kS, kSpace}, -1, -0.5f, 5},
      {256, {kUp, kRight}, 0, 0, 5}, {257, {kRight, kUp}, 1, 1, 5}, {257, {kLeft, kRight, kDown}, -1, -0.5f, 5},
      {258, {kD, kRight, kW}, 0, 0, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.device);
    Hold(c.held);
    VehicleControls controls{0.3f, 0.3f, 5};
    ApplyDigitalScheme(controls, c.device, &ReadHeld);
    EXPECT_EQ(controls.steering, c.steering);
    EXPECT_EQ(controls.throttle, c.throttle);
    EXPECT_EQ(controls.brake, c.brake);
  }
}

// W gives 20 dt (at most 1) for the frame it is held; A wins over D; the
// space bar clears the throttle and brakes with 1000, for that frame only.
TEST(VehicleInputTest, TheAnalogSchemeRampsSteeringAndGivesThrottleByFrameTime) {
  struct Frame {
    std::initializer_list<int> held;
    float dt, steering, throttle, brake;
  };
  const Frame frames[] = {
      {{kW}, 0.02f, 0, 0.4f, 0},         {{kW, kD}, 0.05f, 0.2f, 1, 0},   {{kA, kD, kS}, 0.025f, 0.1f, -0.5f, 0},
      {{kW, kSpace}, 0.02f, 0.06f, 0, 1000}, {{}, 0.02f, 0.036f, 0, 0},      {{}, 0.1f, 0, 0, 0},
  };
  VehicleControls controls;
  for (const Frame& f : frames) {
    SCOPED_TRACE(f.dt);
    Hold(f.held);
    ApplyAnalogScheme(controls, f.dt, &ReadHeld);
    EXPECT_NEAR(controls.steering, f.steering, 1e-6f);
    EXPECT_NEAR(controls.throttle, f.throttle, 1e-6f);
    EXPECT_EQ(controls.brake, f.brake);
  }
}

// The steering returns by 1 - 20 dt a frame; a frame of 0.1 s would flip it
// to the other side, so it stops at 0 instead.
TEST(VehicleInputTest, LongFramesReturnTheSteeringToZeroWithoutFlippingIt) {
  Hold({});
  for (float dt : {0.05f, 0.1f, 0.5f}) {
    VehicleControls controls{0.8f, 0, 0};
    ApplyAnalogScheme(controls, dt, &ReadHeld);
    EXPECT_EQ(controls.steering, 0) << dt;
  }
}

}  // namespace
}  // namespace tge

// How a game pad lands on the engine's input ids, which its names table and
// default action maps expect: sticks on 0 to 3, the pad directions on 4 to 7,
// the ten named buttons on 8 to 17 (Start, Select, L1, L2, R1, R2, Triangle,
// Circle, Cross, Square, by position: Cross is the bottom face button), and
// every raw button on 64 and up. The left stick's Y is positive pushed up
// (forward, like the W key on the same action); the right stick's Y is
// positive pushed down, like the mouse's Y on the action it shares. L2 and R2
// are the analogue triggers, 0 to 1.
#pragma once
#include <array>
#include <cstdint>

namespace tge::platform {

// In SDL's game-controller order (checked against SDL where it is used).
enum class PadAxis {
  kLeftX,
  kLeftY,
  kRightX,
  kRightY,
  kTriggerLeft,
  kTriggerRight,
  kCount
};
enum class PadButton {
  kA,
  kB,
  kX,
  kY,
  kBack,
  kGuide,
  kStart,
  kLeftStick,
  kRightStick,
  kLeftShoulder,
  kRightShoulder,
  kDpadUp,
  kDpadDown,
  kDpadLeft,
  kDpadRight,
  kMisc1,
  kPaddle1,
  kPaddle2,
  kPaddle3,
  kPaddle4,
  kTouchpad,
  kCount
};

struct PadReading {
  std::array<std::int16_t, static_cast<int>(PadAxis::kCount)> axes{};
  std::array<bool, static_cast<int>(PadButton::kCount)> buttons{};
};

constexpr int kFirstRawPadButtonInput = 64;
// Inputs 0 to 95 come from a pad; 18 to 63 and unused raw buttons stay 0.
constexpr int kPadInputCount = 96;
using PadInputs = std::array<float, kPadInputCount>;

// A stick axis as an input value: SDL's -32768..32767 scaled to -1000..1000
// and read with the engine's dead zone: |v| < 0.16 gives 0, otherwise
// (v - 0.15 towards zero) x 1.17, so full travel reads 0.9945.
float StickValue(int raw);
// A trigger (0..32767) as 0 to 1.
float TriggerValue(int raw);

PadInputs MapPadReading(const PadReading& reading);

}  // namespace tge::platform

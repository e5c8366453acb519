#include "platform/input/PadMapping.h"

#include <algorithm>
#include <cmath>

namespace tge::platform {
namespace {

enum class Source { kStick, kInvertedStick, kTrigger, kButton };

struct Route {
  int input;
  Source source;
  int index;  // a PadAxis or PadButton, by the source
};

constexpr int Axis(PadAxis axis) { return static_cast<int>(axis); }
constexpr int Button(PadButton button) { return static_cast<int>(button); }

constexpr Route kRoutes[] = {
    {0, Source::kStick, Axis(PadAxis::kLeftX)},
    {1, Source::kInvertedStick, Axis(PadAxis::kLeftY)},
    {2, Source::kStick, Axis(PadAxis::kRightX)},
    {3, Source::kStick, Axis(PadAxis::kRightY)},
    {4, Source::kButton, Button(PadButton::kDpadUp)},
    {5, Source::kButton, Button(PadButton::kDpadDown)},
    {6, Source::kButton, Button(PadButton::kDpadLeft)},
    {7, Source::kButton, Button(PadButton::kDpadRight)},
    {8, Source::kButton, Button(PadButton::kStart)},
    {9, Source::kButton, Button(PadButton::kBack)},
    {10, Source::kButton, Button(PadButton::kLeftShoulder)},
    {11, Source::kTrigger, Axis(PadAxis::kTriggerLeft)},
    {12, Source::kButton, Button(PadButton::kRightShoulder)},
    {13, Source::kTrigger, Axis(PadAxis::kTriggerRight)},
    {14, Source::kButton, Button(PadButton::kY)},
    {15, Source::kButton, Button(PadButton::kB)},
    {16, Source::kButton, Button(PadButton::kA)},
    {17, Source::kButton, Button(PadButton::kX)},
};

constexpr float kDeadZone = 0.16f;
constexpr float kDeadZoneShift = 0.15f;
constexpr float kStickGain = 1.17f;

float RouteValue(const Route& route, const PadReading& reading) {
  const auto axis = [&] {
    return reading.axes[static_cast<std::size_t>(route.index)];
  };
  switch (route.source) {
    case Source::kStick:
      return StickValue(axis());
    case Source::kInvertedStick:
      return -StickValue(axis());
    case Source::kTrigger:
      return TriggerValue(axis());
    case Source::kButton:
      return reading.buttons[static_cast<std::size_t>(route.index)] ? 1.0f
                                                                    : 0.0f;
  }
  return 0.0f;
}

}  // namespace

float StickValue(int raw) {
  // Whole thousandths, as the dead zone and gain were tuned on that range.
  const long thousandths =
      std::clamp(std::lround(raw * 1000.0 / 32767.0), -1000L, 1000L);
  const float v = static_cast<float>(thousandths) * 0.001f;
  if (v > -kDeadZone && v < kDeadZone) return 0.0f;
  return (v > 0.0f ? v - kDeadZoneShift : v + kDeadZoneShift) * kStickGain;
}

float TriggerValue(int raw) {
  return std::clamp(static_cast<float>(raw) / 32767.0f, 0.0f, 1.0f);
}

PadInputs MapPadReading(const PadReading& reading) {
  PadInputs inputs{};
  for (const Route& route : kRoutes)
    inputs[static_cast<std::size_t>(route.input)] = RouteValue(route, reading);
  static_assert(kFirstRawPadButtonInput + static_cast<int>(PadButton::kCount) <=
                kPadInputCount);
  for (std::size_t b = 0; b < reading.buttons.size(); ++b) {
    if (reading.buttons[b]) inputs[kFirstRawPadButtonInput + b] = 1.0f;
  }
  return inputs;
}

}  // namespace tge::platform

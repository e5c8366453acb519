#include "platform/audio/VolumeConversion.h"

#include <algorithm>
#include <cmath>

namespace tge::audio {

float GainFromVolume(std::int32_t volume) {
  const std::int32_t v = std::clamp(volume, kMinVolume, kMaxVolume);
  return static_cast<float>(std::pow(10.0, v / 2000.0));
}

Vec3 PanDirection(std::int32_t pan) {
  const std::int32_t p = std::clamp(pan, kPanLeft, kPanRight);
  // The near side keeps full gain, the far side loses |pan| hundredths of a
  // decibel; the balance between the two sets the sideways offset.
  const float farGain = GainFromVolume(-std::abs(p));
  const float side = (1.0f - farGain) * (p < 0 ? -1.0f : 1.0f);
  return {side, 0.0f, -std::sqrt(1.0f - side * side)};
}

}  // namespace tge::audio

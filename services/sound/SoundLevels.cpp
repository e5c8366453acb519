#include "services/sound/SoundLevels.h"

#include <algorithm>
#include <cmath>

#include "platform/audio/VolumeConversion.h"

namespace tge {
namespace {

std::int32_t Clamped(double value, std::int32_t low, std::int32_t high, std::int32_t otherwise) {
  if (std::isnan(value)) return otherwise;
  return static_cast<std::int32_t>(std::round(std::clamp(value, static_cast<double>(low), static_cast<double>(high))));
}

constexpr double kScale = 5000.0;

}  // namespace

std::int32_t AttenuationFromVolume(float volume) {
  const double off = 1.0 - volume;
  return Clamped(-off * off * kScale, audio::kMinVolume, audio::kMaxVolume, audio::kMinVolume);
}

std::int32_t ConeAttenuationFromVolume(float volume) {
  return Clamped(-(1.0 - volume) * kScale, audio::kMinVolume, audio::kMaxVolume, audio::kMinVolume);
}

std::int32_t PanFromBalance(float pan) {
  return Clamped(double{pan} * kScale, audio::kPanLeft, audio::kPanRight, 0);
}

std::uint32_t FrequencyFromRatio(float ratio, std::uint32_t baseFrequency) {
  const double hertz = double{ratio} * baseFrequency;
  if (!(hertz > 0)) return 0;
  return static_cast<std::uint32_t>(std::min(std::round(hertz), 4.0e9));
}

}  // namespace tge

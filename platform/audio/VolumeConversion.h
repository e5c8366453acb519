// Conversions from the engine's volume units to OpenAL's. Volumes and pans
// are in hundredths of a decibel: a volume runs from -10000 (-100 dB) to 0
// (full), a pan from -10000 (right side silent) to 10000 (left side silent).
#pragma once
#include <cstdint>

#include "platform/audio/Vec3.h"

namespace tge::audio {

constexpr std::int32_t kMinVolume = -10000;
constexpr std::int32_t kMaxVolume = 0;
constexpr std::int32_t kPanLeft = -10000;
constexpr std::int32_t kPanRight = 10000;

// Linear gain 10^(v / 2000) of a volume, clamped to the volume range first.
float GainFromVolume(std::int32_t volume);

// Where a mono voice is placed, relative to the listener and in OpenAL's own
// space, so that panning attenuates the far side by the pan's decibels: a
// point on the unit circle in front of the listener.
Vec3 PanDirection(std::int32_t pan);

}  // namespace tge::audio

// The engine's sound levels in the audio layer's units. Scripts and objects
// speak of volumes from 0 (silent) to 1 (full), pans from -1 to 1 and
// frequencies as ratios to a sound's own rate; the voices take hundredths of
// a decibel and hertz. Every result is kept within the layer's range, and a
// level that is not a number gives the quietest or the neutral value instead
// of an undefined conversion.
#pragma once
#include <cstdint>

#include "core/math/Vector.h"
#include "platform/audio/Vec3.h"

namespace tge {

// -(1 - v)^2 x 5000: 1 is full volume, 0 is -50 dB, values above 1 attenuate
// again.
std::int32_t AttenuationFromVolume(float volume);
// -(1 - v) x 5000, for the volume outside a sound's cone.
std::int32_t ConeAttenuationFromVolume(float volume);
// pan x 5000.
std::int32_t PanFromBalance(float pan);
// ratio x the sound's own rate; 0 (the sound's own rate) for a ratio that is
// not positive.
std::uint32_t FrequencyFromRatio(float ratio, std::uint32_t baseFrequency);
// Both spaces are the engine's; the layer flips z for its own.
inline audio::Vec3 ToAudioVector(const Vector3& v) { return {v.x, v.y, v.z}; }

}  // namespace tge

// The 3D listener: where the engine's camera hears from. Its settings, like a
// positional voice's, wait for AudioDevice::CommitDeferredSettings. Vectors
// are in the engine's left-handed space; the layer flips z for OpenAL.
#pragma once
#include <memory>

#include "platform/audio/Vec3.h"

namespace tge::audio {

class AudioContext;

class Listener {
 public:
  // `context` null (a disabled device) makes a listener that does nothing.
  explicit Listener(std::shared_ptr<AudioContext> context) : context_(std::move(context)) {}

  void SetPosition(const Vec3& position);
  // Units per second, used for the Doppler shift.
  void SetVelocity(const Vec3& velocity);
  void SetOrientation(const Vec3& front, const Vec3& top);
  // Metres per engine unit (> 0): scales the speed of sound for Doppler.
  void SetDistanceFactor(float metresPerUnit);
  // Scales every positional voice's distance attenuation (>= 0).
  void SetRolloffFactor(float factor);
  void SetDopplerFactor(float factor);

 private:
  template <typename Change>
  void Defer(Change change);

  std::shared_ptr<AudioContext> context_;
};

}  // namespace tge::audio

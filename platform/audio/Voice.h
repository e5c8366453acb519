// What every playing sound has, static or streamed: one OpenAL source with a
// volume, a pan, a playback frequency and, for positional voices, 3D settings.
// Volume, pan and frequency act at once; 3D settings wait for the device's
// CommitDeferredSettings, which applies them together with the listener.
// Positional voices use the inverse-distance-clamped model between their
// minimum and maximum distance and fall silent beyond the maximum; pan applies
// to mono voices that are not positional. Stereo data is never positioned: a
// stereo voice asked for in 3D plays as a plain one.
// A voice made by a disabled device does nothing and reports itself stopped.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/audio/Vec3.h"

namespace tge::audio {

class AudioContext;
struct ListenerSettings;

enum class VoiceMode { Plain, Positional };

class Voice {
 public:
  virtual ~Voice();
  Voice(const Voice&) = delete;
  Voice& operator=(const Voice&) = delete;

  // Holds what it needs to play: always false on a disabled device.
  virtual bool IsReady() const { return source_ != 0; }

  // Hundredths of a decibel, see VolumeConversion.h.
  void SetVolume(std::int32_t volume);
  std::int32_t Volume() const { return volume_; }
  void SetPan(std::int32_t pan);
  std::int32_t Pan() const { return pan_; }
  // Playback rate in Hz, kept within 100 to 200000; 0 restores the data's own rate.
  void SetFrequency(std::uint32_t hertz);
  std::uint32_t Frequency() const { return frequency_; }
  std::uint32_t BaseFrequency() const { return baseFrequency_; }

  bool IsPositional() const { return positional_; }
  // Deferred 3D settings; ignored on plain voices and for non-finite values.
  void SetPosition(const Vec3& position);
  void SetVelocity(const Vec3& velocity);
  void SetDistances(float minimum, float maximum);
  void SetConeOrientation(const Vec3& direction);
  void SetConeAngles(float insideDegrees, float outsideDegrees);
  void SetConeOutsideVolume(std::int32_t volume);
  // True while the last commit found the voice beyond its maximum distance.
  bool IsMutedByDistance() const;

  // Called by the device's commit, with the layer's lock held.
  void CommitDeferred(const ListenerSettings& listener);

 protected:
  // `context` null makes a voice that does nothing.
  Voice(std::shared_ptr<AudioContext> context, VoiceMode mode, std::uint16_t channels,
        std::uint32_t baseFrequency);
  bool HasSource() const { return source_ != 0; }
  // Stops the source and takes its buffers off it, so that they can be
  // deleted; the derived voices call it first thing when they are destroyed.
  void DetachBuffers() const;
  unsigned Source() const { return source_; }
  std::unique_lock<std::mutex> Lock() const;

 private:
  struct Settings3D {
    Vec3 position;
    Vec3 velocity;
    float minDistance = 1.0f;
    float maxDistance = 1.0e9f;
    Vec3 coneDirection{0, 0, 1};
    float coneInside = 360.0f;
    float coneOutside = 360.0f;
    std::int32_t coneOutsideVolume = 0;
  };

  template <typename Change>
  void Defer(Change change);
  void ApplyGain() const;
  void ApplyPan() const;

  std::shared_ptr<AudioContext> context_;
  unsigned source_ = 0;
  bool positional_ = false;
  bool mono_ = false;
  std::uint32_t baseFrequency_;
  std::uint32_t frequency_;
  std::int32_t volume_ = 0;
  std::int32_t pan_ = 0;
  bool muted_ = false;
  Settings3D pending_;
};

}  // namespace tge::audio

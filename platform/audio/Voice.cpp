#include "platform/audio/Voice.h"

#include <AL/al.h>

#include <algorithm>
#include <cmath>

#include "platform/audio/AudioContext.h"
#include "platform/audio/VolumeConversion.h"

namespace tge::audio {
namespace {

constexpr std::uint32_t kMinFrequency = 100;
constexpr std::uint32_t kMaxFrequency = 200000;

float Distance(const Vec3& a, const Vec3& b) {
  return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
}

void SetSourceVector(unsigned source, ALenum parameter, const Vec3& v) {
  alSource3f(source, parameter, v.x, v.y, v.z);
}

}  // namespace

Voice::Voice(std::shared_ptr<AudioContext> context, VoiceMode mode, std::uint16_t channels,
             std::uint32_t baseFrequency)
    : context_(std::move(context)),
      positional_(mode == VoiceMode::Positional && channels == 1),
      mono_(channels == 1),
      baseFrequency_(baseFrequency),
      frequency_(baseFrequency) {
  if (!context_) return;
  auto lock = context_->Lock();
  alGetError();
  ALuint source = 0;
  alGenSources(1, &source);
  if (alGetError() != AL_NO_ERROR) return;
  source_ = source;
  // Plain voices sit on the listener (or at their pan direction) and ignore distance.
  alSourcei(source_, AL_SOURCE_RELATIVE, positional_ ? AL_FALSE : AL_TRUE);
  alSourcef(source_, AL_ROLLOFF_FACTOR, positional_ ? 1.0f : 0.0f);
  if (positional_) {
    context_->Register(this);
    CommitDeferred(context_->CommittedListener());
  }
}

Voice::~Voice() {
  if (!source_) return;
  auto lock = context_->Lock();
  context_->Unregister(this);
  alDeleteSources(1, &source_);
}

void Voice::DetachBuffers() const {
  alSourceStop(source_);
  alSourcei(source_, AL_BUFFER, 0);
}

std::unique_lock<std::mutex> Voice::Lock() const {
  return source_ ? context_->Lock() : std::unique_lock<std::mutex>();
}

void Voice::ApplyGain() const {
  alSourcef(source_, AL_GAIN, muted_ ? 0.0f : GainFromVolume(volume_));
}

void Voice::ApplyPan() const {
  if (mono_ && !positional_) SetSourceVector(source_, AL_POSITION, PanDirection(pan_));
}

void Voice::SetVolume(std::int32_t volume) {
  auto lock = Lock();
  volume_ = std::clamp(volume, kMinVolume, kMaxVolume);
  if (source_) ApplyGain();
}

void Voice::SetPan(std::int32_t pan) {
  auto lock = Lock();
  pan_ = std::clamp(pan, kPanLeft, kPanRight);
  if (source_) ApplyPan();
}

void Voice::SetFrequency(std::uint32_t hertz) {
  auto lock = Lock();
  frequency_ = hertz == 0 ? baseFrequency_ : std::clamp(hertz, kMinFrequency, kMaxFrequency);
  if (source_ && baseFrequency_ > 0)
    alSourcef(source_, AL_PITCH, static_cast<float>(frequency_) / baseFrequency_);
}

template <typename Change>
void Voice::Defer(Change change) {
  if (!positional_) return;
  auto lock = Lock();
  change(pending_);
}

void Voice::SetPosition(const Vec3& position) {
  if (IsFinite(position)) Defer([&](Settings3D& s) { s.position = position; });
}

void Voice::SetVelocity(const Vec3& velocity) {
  if (IsFinite(velocity)) Defer([&](Settings3D& s) { s.velocity = velocity; });
}

void Voice::SetDistances(float minimum, float maximum) {
  if (!std::isfinite(minimum) || !std::isfinite(maximum)) return;
  Defer([&](Settings3D& s) {
    s.minDistance = std::max(minimum, 0.0f);
    s.maxDistance = std::max(maximum, s.minDistance);
  });
}

void Voice::SetConeOrientation(const Vec3& direction) {
  if (IsFinite(direction)) Defer([&](Settings3D& s) { s.coneDirection = direction; });
}

void Voice::SetConeAngles(float insideDegrees, float outsideDegrees) {
  if (!std::isfinite(insideDegrees) || !std::isfinite(outsideDegrees)) return;
  Defer([&](Settings3D& s) {
    s.coneInside = std::clamp(insideDegrees, 0.0f, 360.0f);
    s.coneOutside = std::clamp(outsideDegrees, s.coneInside, 360.0f);
  });
}

void Voice::SetConeOutsideVolume(std::int32_t volume) {
  Defer([&](Settings3D& s) { s.coneOutsideVolume = volume; });
}

bool Voice::IsMutedByDistance() const {
  auto lock = Lock();
  return muted_;
}

void Voice::CommitDeferred(const ListenerSettings& listener) {
  if (!source_ || !positional_) return;
  const Settings3D& s = pending_;
  SetSourceVector(source_, AL_POSITION, ToOpenAl(s.position));
  SetSourceVector(source_, AL_VELOCITY, ToOpenAl(s.velocity));
  SetSourceVector(source_, AL_DIRECTION, ToOpenAl(s.coneDirection));
  alSourcef(source_, AL_REFERENCE_DISTANCE, s.minDistance);
  alSourcef(source_, AL_MAX_DISTANCE, s.maxDistance);
  alSourcef(source_, AL_ROLLOFF_FACTOR, listener.rolloffFactor);
  alSourcef(source_, AL_CONE_INNER_ANGLE, s.coneInside);
  alSourcef(source_, AL_CONE_OUTER_ANGLE, s.coneOutside);
  alSourcef(source_, AL_CONE_OUTER_GAIN, GainFromVolume(s.coneOutsideVolume));
  // OpenAL's clamped model holds the gain at the maximum distance; the
  // engine's sounds fall silent beyond it instead.
  muted_ = Distance(s.position, listener.position) > s.maxDistance;
  ApplyGain();
}

}  // namespace tge::audio

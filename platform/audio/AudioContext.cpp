#define AL_ALEXT_PROTOTYPES
#include "platform/audio/AudioContext.h"

#include <AL/al.h>
#include <AL/alext.h>

#include <algorithm>

#include "platform/audio/Voice.h"

namespace tge::audio {
namespace {

constexpr float kSpeedOfSoundMetres = 343.3f;

void SetVector(ALenum parameter, const Vec3& v) {
  const Vec3 al = ToOpenAl(v);
  alListener3f(parameter, al.x, al.y, al.z);
}

}  // namespace

AudioContext::AudioContext(ALCdevice* device, ALCcontext* context)
    : device_(device), context_(context) {
  auto lock = Lock();
  alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
  ApplyListener();
}

AudioContext::~AudioContext() {
  if (alcGetCurrentContext() == context_) alcMakeContextCurrent(nullptr);
  alcDestroyContext(context_);
  alcCloseDevice(device_);
}

std::unique_lock<std::mutex> AudioContext::Lock() {
  std::unique_lock lock(mutex_);
  if (alcGetCurrentContext() != context_) alcMakeContextCurrent(context_);
  return lock;
}

void AudioContext::Register(Voice* voice) { voices_.push_back(voice); }

void AudioContext::Unregister(Voice* voice) { std::erase(voices_, voice); }

void AudioContext::ApplyListener() const {
  SetVector(AL_POSITION, listener_.position);
  SetVector(AL_VELOCITY, listener_.velocity);
  const Vec3 front = ToOpenAl(listener_.front);
  const Vec3 top = ToOpenAl(listener_.top);
  const ALfloat orientation[6] = {front.x, front.y, front.z, top.x, top.y, top.z};
  alListenerfv(AL_ORIENTATION, orientation);
  alSpeedOfSound(kSpeedOfSoundMetres / listener_.distanceFactor);
  alDopplerFactor(listener_.dopplerFactor);
}

void AudioContext::Commit() {
  // Applied as one batch, so the mixer never hears the listener moved and
  // the voices not yet.
  alDeferUpdatesSOFT();
  listener_ = pendingListener_;
  ApplyListener();
  for (Voice* voice : voices_) voice->CommitDeferred(listener_);
  alProcessUpdatesSOFT();
}

}  // namespace tge::audio

// The state an open audio device shares with its buffers, voices and listener:
// the OpenAL device and context, the one lock of the layer, the voices that
// take part in 3D commits and the listener's settings. Everything that reaches
// OpenAL does so holding Lock(), so the streaming thread and the main thread
// may use the layer at once. Internal to the audio layer.
#pragma once
#include <AL/alc.h>

#include <mutex>
#include <vector>

#include "platform/audio/Vec3.h"

namespace tge::audio {

class Voice;

struct ListenerSettings {
  Vec3 position;
  Vec3 velocity;
  Vec3 front{0, 0, 1};
  Vec3 top{0, 1, 0};
  float distanceFactor = 1.0f;  // metres per engine unit
  float rolloffFactor = 1.0f;
  float dopplerFactor = 1.0f;
};

class AudioContext {
 public:
  AudioContext(ALCdevice* device, ALCcontext* context);
  ~AudioContext();
  AudioContext(const AudioContext&) = delete;
  AudioContext& operator=(const AudioContext&) = delete;

  // Holds the layer's lock with this context current on the calling thread.
  std::unique_lock<std::mutex> Lock();

  // Called with the lock held.
  void Register(Voice* voice);
  void Unregister(Voice* voice);
  ListenerSettings& PendingListener() { return pendingListener_; }
  const ListenerSettings& CommittedListener() const { return listener_; }
  void Commit();

 private:
  void ApplyListener() const;

  ALCdevice* device_;
  ALCcontext* context_;
  std::mutex mutex_;
  std::vector<Voice*> voices_;
  ListenerSettings pendingListener_;
  ListenerSettings listener_;
};

// OpenAL's right-handed space has z pointing out of the screen.
inline Vec3 ToOpenAl(const Vec3& v) { return {v.x, v.y, -v.z}; }

}  // namespace tge::audio

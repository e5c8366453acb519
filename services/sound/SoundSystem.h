// The sound subsystem of the services object: the audio device, the 3D
// listener, the streaming thread with its list of playing streams, and the
// optional capture device. One runs per process (the audio layer's context
// is process-wide); sound resources find it through GetRunningSoundSystem()
// when they load, and load nothing while none runs, so the engine plays
// silent with sound disabled.
#pragma once
#include <memory>
#include <optional>

#include "core/math/Vector.h"
#include "platform/audio/AudioDevice.h"
#include "platform/audio/CaptureDevice.h"
#include "services/ServiceSubsystem.h"
#include "services/sound/SoundStreamThread.h"

namespace tge {

class SoundSystem : public ServiceSubsystem {
 public:
  SoundSystem() = default;
  ~SoundSystem() override;

  const char* GetName() const override { return "Sound"; }
  // Opens the output at the settings' frequency, starts the streaming thread
  // with the settings' limit of playing streams, and opens capture when it
  // is enabled (a capture failure is ignored).
  bool Start(EngineServices& services) override;
  // Ends the thread and waits for it, then closes capture and the output.
  // Voices still held play nothing more but stay valid.
  void Stop() override;

  audio::AudioDevice& GetDevice() { return device_; }
  const std::shared_ptr<SoundStreamThread>& GetStreamThread() const { return streams_; }
  bool IsCaptureOpen() const { return capture_.IsOpen(); }

  // Places the listener at the camera (eye, forward and up direction) with
  // the eye's displacement since the last update as its velocity (none at
  // the first update), then commits every deferred 3D setting. Without a
  // camera only the commit is made.
  void UpdateListener(const Vector3* eye, const Vector3* forward, const Vector3* up);

 private:
  audio::AudioDevice device_;
  audio::CaptureDevice capture_;
  std::shared_ptr<SoundStreamThread> streams_;
  std::optional<Vector3> previousEye_;
};

// The running sound system; null while none runs.
SoundSystem* GetRunningSoundSystem();

}  // namespace tge

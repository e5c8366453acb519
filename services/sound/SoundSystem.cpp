#include "services/sound/SoundSystem.h"

#include <algorithm>

#include "services/EngineServices.h"
#include "services/ErrorMessage.h"
#include "services/sound/SoundLevels.h"

namespace tge {
namespace {

SoundSystem* gRunning = nullptr;

}  // namespace

SoundSystem* GetRunningSoundSystem() { return gRunning; }

SoundSystem::~SoundSystem() { Stop(); }

bool SoundSystem::Start(EngineServices& services) {
  const StartupSettings& settings = services.GetSettings();
  if (!device_.Open(static_cast<std::uint32_t>(std::max(settings.soundFrequency, 0)))) {
    return FormatErrorMessage("Error - Creating DirectX 8 Sound");
  }
  streams_ = std::make_shared<SoundStreamThread>(settings.soundVoiceLimit);
  streams_->Start();
  if (settings.soundCaptureEnabled) {
    // One second of mono sound; nothing reads it yet.
    const audio::PcmFormat format{1, static_cast<std::uint32_t>(std::max(settings.soundFrequency, 0)),
                                  static_cast<std::uint16_t>(settings.soundBitsPerSample)};
    capture_.Open(format, format.sampleRate);
  }
  previousEye_.reset();
  gRunning = this;
  return true;
}

void SoundSystem::Stop() {
  if (gRunning == this) gRunning = nullptr;
  if (streams_) streams_->Stop();
  capture_.Close();
  device_.Close();
}

void SoundSystem::UpdateListener(const Vector3* eye, const Vector3* forward, const Vector3* up) {
  if (eye && forward && up) {
    audio::Listener& listener = device_.GetListener();
    const Vector3 from = previousEye_.value_or(*eye);
    listener.SetPosition(ToAudioVector(*eye));
    listener.SetOrientation(ToAudioVector(*forward), ToAudioVector(*up));
    listener.SetVelocity({eye->x - from.x, eye->y - from.y, eye->z - from.z});
    previousEye_ = *eye;
  }
  device_.CommitDeferredSettings();
}

}  // namespace tge

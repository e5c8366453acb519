// The playback record of a static sound: the whole sound decoded into one
// buffer, played by one voice. A duplicate (the instance a second holder of
// the sound gets) has a voice of its own on its source's buffer, so both can
// play at once.
#pragma once
#include <memory>

#include "platform/audio/StaticVoice.h"
#include "services/sound/SoundPlayback.h"

namespace tge {

class SoundBuffer : public SoundPlayback {
 public:
  explicit SoundBuffer(std::unique_ptr<audio::StaticVoice> voice);

  void Start(bool loop) override;
  void Stop() override;
  void Pause() override;
  void Resume() override;
  bool IsPlaying() const override { return voice_->IsPlaying(); }
  audio::Voice& GetVoice() override { return *voice_; }

  const std::shared_ptr<const audio::SoundBuffer>& GetData() const { return voice_->Buffer(); }

 private:
  std::unique_ptr<audio::StaticVoice> voice_;
  bool loop_ = false;
};

}  // namespace tge

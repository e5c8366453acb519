#include "services/sound/SoundBuffer.h"

namespace tge {

SoundBuffer::SoundBuffer(std::unique_ptr<audio::StaticVoice> voice) : voice_(std::move(voice)) {}

void SoundBuffer::Start(bool loop) {
  loop_ = loop;
  voice_->SetPlayPosition(0);
  voice_->Play(loop);
}

void SoundBuffer::Stop() {
  if (!voice_->IsPlaying()) return;
  voice_->Stop();
  voice_->SetPlayPosition(0);
}

void SoundBuffer::Pause() {
  if (voice_->IsPlaying()) voice_->Stop();
}

// Playing a voice that already plays would send it back to the start.
void SoundBuffer::Resume() {
  if (!voice_->IsPlaying()) voice_->Play(loop_);
}

}  // namespace tge

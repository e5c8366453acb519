#include "platform/audio/StaticVoice.h"

#include <AL/al.h>

#include <algorithm>

namespace tge::audio {

StaticVoice::StaticVoice(std::shared_ptr<const SoundBuffer> buffer, VoiceMode mode)
    : Voice(buffer->Id() ? buffer->Context() : nullptr, mode, buffer->Format().channels,
            buffer->Format().sampleRate),
      buffer_(std::move(buffer)) {
  auto lock = Lock();
  if (HasSource()) alSourcei(Source(), AL_BUFFER, static_cast<ALint>(buffer_->Id()));
}

StaticVoice::~StaticVoice() {
  auto lock = Lock();
  if (HasSource()) DetachBuffers();
}

void StaticVoice::Play(bool looping) {
  auto lock = Lock();
  looping_ = looping;
  if (!HasSource()) return;
  alSourcei(Source(), AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
  alSourcePlay(Source());
}

void StaticVoice::Stop() {
  auto lock = Lock();
  if (IsPlayingLocked()) alSourcePause(Source());
}

bool StaticVoice::IsPlaying() const {
  auto lock = Lock();
  return IsPlayingLocked();
}

bool StaticVoice::IsPlayingLocked() const {
  if (!HasSource()) return false;
  ALint state = AL_STOPPED;
  alGetSourcei(Source(), AL_SOURCE_STATE, &state);
  return state == AL_PLAYING;
}

void StaticVoice::SetPlayPosition(std::uint32_t byteOffset) {
  auto lock = Lock();
  const std::uint32_t frame = std::max(buffer_->Format().FrameBytes(), 1u);
  const std::uint32_t last = buffer_->Bytes() > 0 ? buffer_->Bytes() - frame : 0;
  const std::uint32_t offset = std::min(byteOffset - byteOffset % frame, last);
  if (HasSource()) alSourcei(Source(), AL_BYTE_OFFSET, static_cast<ALint>(offset));
}

std::uint32_t StaticVoice::PlayPosition() const {
  auto lock = Lock();
  ALint offset = 0;
  if (HasSource()) alGetSourcei(Source(), AL_BYTE_OFFSET, &offset);
  return static_cast<std::uint32_t>(std::max(offset, 0));
}

}  // namespace tge::audio

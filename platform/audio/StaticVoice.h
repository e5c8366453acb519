// A voice that plays a SoundBuffer, once or looping. Stop keeps the play
// position, as a pause does; SetPlayPosition(0) rewinds. Several static voices
// on one buffer are how a sound is played by more than one owner at once.
#pragma once
#include <memory>

#include "platform/audio/SoundBuffer.h"
#include "platform/audio/Voice.h"

namespace tge::audio {

class StaticVoice : public Voice {
 public:
  StaticVoice(std::shared_ptr<const SoundBuffer> buffer, VoiceMode mode);
  ~StaticVoice() override;

  const std::shared_ptr<const SoundBuffer>& Buffer() const { return buffer_; }

  // Plays from the current position; a voice that has run to its end starts again.
  void Play(bool looping);
  void Stop();
  bool IsPlaying() const;
  bool IsLooping() const { return looping_; }
  // Byte offset into the buffer's data, kept on whole frames.
  void SetPlayPosition(std::uint32_t byteOffset);
  std::uint32_t PlayPosition() const;

 private:
  bool IsPlayingLocked() const;

  std::shared_ptr<const SoundBuffer> buffer_;
  bool looping_ = false;
};

}  // namespace tge::audio

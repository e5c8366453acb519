// What a loaded sound plays through: a static sound's buffer or a streamed
// sound's stream. The sound operations of the services object reach both the
// same way; volume, pan, frequency and 3D settings go to the voice itself.
#pragma once

namespace tge {

namespace audio {
class Voice;
}

class SoundPlayback {
 public:
  virtual ~SoundPlayback() = default;

  // Plays from the start, once or looping.
  virtual void Start(bool loop) = 0;
  // Only while playing: stops and goes back to the start.
  virtual void Stop() = 0;
  // Only while playing: stops where it is.
  virtual void Pause() = 0;
  // Plays on from where Pause left it, looping as Start was told.
  virtual void Resume() = 0;
  virtual bool IsPlaying() const = 0;
  virtual audio::Voice& GetVoice() = 0;
};

}  // namespace tge

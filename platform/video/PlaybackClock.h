// The time that paces video playback, in seconds. Decoding threads read it,
// so every clock must be safe to read from any thread. The real one reads
// the high-resolution counter; tests hand in one they step by hand.
#pragma once
#include <memory>

namespace tge::video {

class PlaybackClock {
 public:
  virtual ~PlaybackClock() = default;
  virtual double Now() const = 0;
};

std::shared_ptr<const PlaybackClock> RealTimeClock();

}  // namespace tge::video

// A playback clock the test moves by hand, read safely by decoding threads.
#pragma once
#include <atomic>

#include "platform/video/PlaybackClock.h"

namespace tge::test {

class ManualClock : public video::PlaybackClock {
 public:
  double Now() const override { return now_.load(); }
  void Set(double seconds) { now_.store(seconds); }

 private:
  std::atomic<double> now_{0.0};
};

}  // namespace tge::test

// A playback clock the test moves by hand, read safely by decoding threads.
// It counts its reads, so a test can wait until a thread has looked at the
// time and found that nothing is due yet.
#pragma once
#include <atomic>

#include "platform/video/PlaybackClock.h"

namespace tge::test {

class ManualClock : public video::PlaybackClock {
 public:
  double Now() const override {
    ++reads_;
    return now_.load();
  }
  void Set(double seconds) { now_.store(seconds); }
  long Reads() const { return reads_.load(); }

 private:
  std::atomic<double> now_{0.0};
  mutable std::atomic<long> reads_{0};
};

}  // namespace tge::test

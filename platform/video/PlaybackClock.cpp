#include "platform/video/PlaybackClock.h"

#include "platform/Clock.h"

namespace tge::video {
namespace {

class CounterClock : public PlaybackClock {
 public:
  double Now() const override {
    return double(platform::ReadCounter()) / double(platform::CounterFrequency());
  }
};

}  // namespace

std::shared_ptr<const PlaybackClock> RealTimeClock() {
  static const auto clock = std::make_shared<const CounterClock>();
  return clock;
}

}  // namespace tge::video

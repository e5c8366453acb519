#include "platform/Clock.h"

#include <chrono>

namespace tge::platform {

using Counter = std::chrono::steady_clock;

std::int64_t ReadCounter() { return Counter::now().time_since_epoch().count(); }

std::int64_t CounterFrequency() {
  return Counter::period::den / Counter::period::num;
}

}  // namespace tge::platform

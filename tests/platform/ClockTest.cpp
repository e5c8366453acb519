#include "platform/Clock.h"

#include <gtest/gtest.h>

namespace tge::platform {
namespace {

TEST(PlatformClock, CounterIsMonotonicWithNanosecondFrequency) {
  EXPECT_GE(CounterFrequency(), 1000000);
  const std::int64_t first = ReadCounter();
  EXPECT_GE(ReadCounter(), first);
}

}  // namespace
}  // namespace tge::platform

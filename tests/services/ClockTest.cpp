#include "services/Clock.h"

#include <gtest/gtest.h>

#include <thread>

namespace tge {
namespace {

TEST(Clock, FirstReadStartsAtZeroThenAdvances) {
  EXPECT_EQ(GetElapsedSeconds(), 0.0);
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const double later = GetElapsedSeconds();
  EXPECT_GE(later, 0.004);
  EXPECT_GE(GetElapsedSeconds(), later);
}

}  // namespace
}  // namespace tge

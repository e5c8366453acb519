#include <gtest/gtest.h>

#include "services/Clock.h"
#include "tests/support/WaitFor.h"

namespace tge {
namespace {

TEST(Clock, FirstReadStartsAtZeroThenAdvances) {
  EXPECT_EQ(GetElapsedSeconds(), 0.0);
  double later = 0;
  EXPECT_TRUE(test::WaitFor([&] { return (later = GetElapsedSeconds()) > 0.0; }));
  EXPECT_GE(GetElapsedSeconds(), later);
}

}  // namespace
}  // namespace tge

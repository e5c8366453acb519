#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "core/math/Random.h"

namespace tge {
namespace {

// An independent copy of the generator the data expects.
struct ReferenceRand {
  std::uint32_t state;
  int operator()() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7fff);
  }
};

// A seed whose first draw is `value`.
std::uint32_t SeedGiving(int value) {
  for (std::uint32_t seed = 0;; ++seed) {
    ReferenceRand r{seed};
    if (r() == value) return seed;
  }
}

TEST(RandomTest, KnownSequenceFromSeedOne) {
  SeedRand(1);
  EXPECT_EQ(Rand(), 41);
  EXPECT_EQ(Rand(), 18467);
  EXPECT_EQ(Rand(), 6334);
  EXPECT_EQ(Rand(), 26500);
  EXPECT_EQ(Rand(), 19169);
}

TEST(RandomTest, FifteenBitsAndMatchesTheReference) {
  SeedRand(0xdeadbeef);
  ReferenceRand reference{0xdeadbeef};
  int highest = 0;
  for (int i = 0; i < 100000; ++i) {
    const int value = Rand();
    ASSERT_EQ(value, reference()) << i;
    ASSERT_GE(value, 0);
    ASSERT_LE(value, 0x7fff);
    highest = std::max(highest, value);
  }
  EXPECT_EQ(highest, 0x7fff);
}

TEST(RandomTest, RandomSignedUsesTheOneOver16383Factor) {
  SeedRand(SeedGiving(32767));
  const float top = RandomSigned();
  EXPECT_NEAR(top, 1.00006f, 1e-5);
  EXPECT_NEAR(top, 32767.0 / 16383.0 - 1.0, 1e-6);
  EXPECT_GT(top, 1.0f);
  SeedRand(SeedGiving(0));
  EXPECT_EQ(RandomSigned(), -1.0f);
  SeedRand(SeedGiving(16383));
  EXPECT_NEAR(RandomSigned(), 0.0f, 1e-4);
}

TEST(RandomTest, RandomUnitSpansZeroToOne) {
  SeedRand(SeedGiving(0));
  EXPECT_EQ(RandomUnit(), 0.0f);
  SeedRand(SeedGiving(32767));
  EXPECT_NEAR(RandomUnit(), 1.0f, 1e-6);
  SeedRand(99);
  for (int i = 0; i < 1000; ++i) {
    const float u = RandomUnit();
    ASSERT_GE(u, 0.0f);
    ASSERT_LE(u, 1.0f);
  }
}

TEST(RandomTest, EachHelperDrawsOnce) {
  SeedRand(5);
  ReferenceRand reference{5};
  EXPECT_EQ(RandomUnit(), static_cast<float>(reference()) * 0.00003051851f);
  EXPECT_EQ(RandomSigned(), static_cast<float>(reference()) * 0.00006103888f - 1.0f);
  EXPECT_EQ(Rand(), reference());
}

// The table is filled once per process, so the test that checks how it is
// filled runs in a fresh process (a re-executed death test).
TEST(ValueNoise1DDeathTest, TableIsFilledOnFirstUseWith4097Draws) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        SeedRand(1234);
        ReferenceRand reference{1234};
        float table[4097];
        for (float& entry : table) entry = static_cast<float>(reference() & 0x7ff) / 1024.0f - 1.0f;
        table[4096] = table[0];
        bool ok = true;
        for (int n = 0; n < 4096; ++n) ok = ok && ValueNoise1D(static_cast<float>(n)) == table[n];
        // Exactly 4097 draws were taken, and no more afterwards.
        ok = ok && Rand() == reference();
        // 4095.5 interpolates towards entry 0 (entry 4096 is a copy of it).
        ok = ok && ValueNoise1D(4095.5f) == table[4095] + 0.5f * (table[0] - table[4095]);
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(ValueNoise1DTest, IntegersReturnTableEntries) {
  for (int n = 0; n < 4096; ++n) {
    const float value = ValueNoise1D(static_cast<float>(n));
    // (k & 0x7ff) / 1024 - 1 for some k.
    const float k = (value + 1.0f) * 1024.0f;
    ASSERT_EQ(k, static_cast<float>(static_cast<int>(k))) << n;
    ASSERT_GE(value, -1.0f);
    ASSERT_LT(value, 1.0f);
    // The table repeats every 4096.
    ASSERT_EQ(ValueNoise1D(static_cast<float>(n + 4096)), value) << n;
  }
}

TEST(ValueNoise1DTest, InterpolatesLinearlyBetweenEntries) {
  const float t0 = ValueNoise1D(10.0f), t1 = ValueNoise1D(11.0f);
  EXPECT_FLOAT_EQ(ValueNoise1D(10.25f), t0 + 0.25f * (t1 - t0));
  const float last = ValueNoise1D(4095.0f), first = ValueNoise1D(0.0f);
  EXPECT_FLOAT_EQ(ValueNoise1D(4095.5f), last + 0.5f * (first - last));
}

TEST(ValueNoise1DTest, NegativeInputsFollowThePartsIndexing) {
  // -1.5: i = -1 (toward zero), index 4095, frac = -0.5 + 1 = 0.5.
  const float last = ValueNoise1D(4095.0f), first = ValueNoise1D(0.0f);
  EXPECT_FLOAT_EQ(ValueNoise1D(-1.5f), last + 0.5f * (first - last));
  // -0.5: i = 0, frac = -0.5 (no correction).
  const float second = ValueNoise1D(1.0f);
  EXPECT_FLOAT_EQ(ValueNoise1D(-0.5f), first - 0.5f * (second - first));
  // Far outside the int range, and NaN: defined (no undefined conversion).
  EXPECT_FALSE(std::isnan(ValueNoise1D(1e12f)));
  EXPECT_FALSE(std::isnan(ValueNoise1D(-1e12f)));
  EXPECT_TRUE(std::isnan(ValueNoise1D(std::nanf(""))));
}

}  // namespace
}  // namespace tge

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "core/math/Angles.h"

namespace tge {
namespace {

TEST(AnglesTest, WrapAngleKeepsAnglesInRangeUnchanged) {
  for (float a : {0.0f, 1.0f, -2.5f, 3.1415927f, -3.1415927f}) EXPECT_EQ(WrapAngle(a), a);
}

TEST(AnglesTest, WrapAngleWithThePartsConstants) {
  EXPECT_NEAR(WrapAngle(3.2f), -3.0831853f, 1e-6);
  EXPECT_NEAR(WrapAngle(-3.2f), 3.0831853f, 1e-6);
  EXPECT_NEAR(WrapAngle(6.2831855f + 1.0f), 1.0f, 1e-5);
  EXPECT_NEAR(WrapAngle(-6.2831855f - 1.0f), -1.0f, 1e-5);
  EXPECT_NEAR(WrapAngle(10 * 3.1415927f + 0.5f), 0.5f, 1e-4);
  EXPECT_NEAR(WrapAngle(-9 * 3.1415927f), -3.1415927f, 1e-4);
  for (float a = -50; a < 50; a += 0.37f) {
    const float w = WrapAngle(a);
    EXPECT_LE(std::fabs(w), 3.1415930f) << a;
    EXPECT_NEAR(std::remainder(a - w, 6.2831855f), 0.0f, 1e-4) << a;
  }
}

TEST(AnglesTest, WrapAngleInPlace) {
  float a = 3.2f;
  float& returned = WrapAngleInPlace(a);
  EXPECT_EQ(&returned, &a);
  EXPECT_EQ(a, WrapAngle(3.2f));
  float b = -7.0f;
  EXPECT_EQ(WrapAngleInPlace(&b), &b);
  EXPECT_EQ(b, WrapAngle(-7.0f));
}

TEST(AnglesTest, TurnAngleTowardsDoesNothingWithoutAPositiveStep) {
  float angle = 7.0f, step = 99;
  TurnAngleTowards(angle, 1.0f, 0.0f, &step);
  EXPECT_EQ(angle, 7.0f);  // not even wrapped
  TurnAngleTowards(angle, 1.0f, -0.5f, &step);
  EXPECT_EQ(angle, 7.0f);
  EXPECT_EQ(step, 99);
}

TEST(AnglesTest, TurnAngleTowardsStepsAndReportsTheStep) {
  float angle = 0.0f, step = 0;
  TurnAngleTowards(angle, 1.0f, 0.25f, &step);
  EXPECT_FLOAT_EQ(angle, 0.25f);
  EXPECT_EQ(step, 0.25f);
  TurnAngleTowards(angle, -1.0f, 0.5f, &step);
  EXPECT_FLOAT_EQ(angle, -0.25f);
  EXPECT_EQ(step, -0.5f);
  TurnAngleTowards(angle, -1.0f, 0.5f, nullptr);
  EXPECT_FLOAT_EQ(angle, -0.75f);
}

TEST(AnglesTest, TurnAngleTowardsSetsTheTargetExactlyWhenWithinReach) {
  float angle = 0.9f, step = 42;
  TurnAngleTowards(angle, 1.0f, 0.25f, &step);
  EXPECT_EQ(angle, 1.0f);
  EXPECT_EQ(step, 42);  // left alone
  // The target is wrapped first.
  angle = 0.9f;
  TurnAngleTowards(&angle, 1.0f + 6.2831855f, 0.25f, nullptr);
  EXPECT_EQ(angle, WrapAngle(1.0f + 6.2831855f));
}

TEST(AnglesTest, TurnAngleTowardsCrossesTheWrap) {
  float angle = 3.0f, step = 0;
  TurnAngleTowards(angle, -3.0f, 0.1f, &step);
  EXPECT_NEAR(angle, 3.1f, 1e-6);
  EXPECT_EQ(step, 0.1f);
  TurnAngleTowards(angle, -3.0f, 0.1f, &step);  // crosses pi and is wrapped again
  EXPECT_NEAR(angle, 3.2f - 6.2831855f, 1e-5);
  TurnAngleTowards(angle, -3.0f, 0.5f, &step);
  EXPECT_EQ(angle, -3.0f);

  angle = -3.0f;
  TurnAngleTowards(angle, 3.0f, 0.1f, &step);
  EXPECT_NEAR(angle, -3.1f, 1e-6);
  EXPECT_EQ(step, -0.1f);

  // Just under the threshold the way across the wrap is not taken.
  angle = -1.57f;
  TurnAngleTowards(angle, 1.57f, 0.1f, &step);
  EXPECT_NEAR(angle, -1.47f, 1e-6);
  EXPECT_EQ(step, 0.1f);
}

TEST(AnglesTest, TurnAngleTowardsWrapsItsInput) {
  float angle = 6.2831855f + 0.5f;
  TurnAngleTowards(angle, 0.0f, 0.1f, nullptr);
  EXPECT_NEAR(angle, 0.4f, 1e-5);
}

TEST(AnglesTest, ScalarHelpers) {
  EXPECT_FLOAT_EQ(FloatSin(0.5f), std::sin(0.5f));
  EXPECT_FLOAT_EQ(FloatCos(0.5f), std::cos(0.5f));
  EXPECT_FLOAT_EQ(FloatSqrt(2.0f), std::sqrt(2.0f));
  EXPECT_EQ(FloatSqrt(16.0f), 4.0f);
}

TEST(AnglesTest, TruncateFloatTowardZero) {
  EXPECT_EQ(TruncateFloat(0.99f), 0);
  EXPECT_EQ(TruncateFloat(-0.99f), 0);
  EXPECT_EQ(TruncateFloat(2.7f), 2);
  EXPECT_EQ(TruncateFloat(-2.7f), -2);
  const float x = -123456.9f;
  EXPECT_EQ(TruncateFloat(&x), -123456);
  EXPECT_EQ(TruncateFloat(-2147483648.0f), INT32_MIN);
  // Out of range and NaN behave as the x86 conversion, without undefined behaviour.
  EXPECT_EQ(TruncateFloat(3e9f), INT32_MIN);
  EXPECT_EQ(TruncateFloat(-3e9f), INT32_MIN);
  EXPECT_EQ(TruncateFloat(std::nanf("")), INT32_MIN);
}

}  // namespace
}  // namespace tge

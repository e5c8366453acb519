// Comparison helpers shared by the maths tests.
#pragma once
#include <gtest/gtest.h>

#include <numbers>

#include "core/math/Matrix4.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector.h"

namespace tge::test {

inline constexpr float kPi = std::numbers::pi_v<float>;

inline void ExpectVectorNear(const Vector3& expected, const Vector3& actual, float tolerance = 1e-5f) {
  EXPECT_NEAR(expected.x, actual.x, tolerance);
  EXPECT_NEAR(expected.y, actual.y, tolerance);
  EXPECT_NEAR(expected.z, actual.z, tolerance);
}

inline void ExpectQuaternionNear(const Quaternion& expected, const Quaternion& actual,
                                 float tolerance = 1e-5f) {
  EXPECT_NEAR(expected.x, actual.x, tolerance);
  EXPECT_NEAR(expected.y, actual.y, tolerance);
  EXPECT_NEAR(expected.z, actual.z, tolerance);
  EXPECT_NEAR(expected.w, actual.w, tolerance);
}

// q and -q are the same rotation.
inline void ExpectSameRotation(const Quaternion& expected, const Quaternion& actual,
                               float tolerance = 1e-5f) {
  const float dot = expected.x * actual.x + expected.y * actual.y + expected.z * actual.z +
                    expected.w * actual.w;
  const float sign = dot < 0 ? -1.0f : 1.0f;
  ExpectQuaternionNear(expected, Quaternion{sign * actual.x, sign * actual.y, sign * actual.z,
                                            sign * actual.w},
                       tolerance);
}

inline void ExpectMatrixNear(const Matrix4& expected, const Matrix4& actual, float tolerance = 1e-5f) {
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(expected.m[i], actual.m[i], tolerance) << "element " << i;
}

}  // namespace tge::test

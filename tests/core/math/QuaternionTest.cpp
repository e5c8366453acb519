#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "core/math/Matrix4.h"
#include "core/math/Quaternion.h"
#include "tests/core/math/MathTestUtil.h"

namespace tge {
namespace {

using test::ExpectMatrixNear;
using test::ExpectQuaternionNear;
using test::ExpectSameRotation;
using test::ExpectVectorNear;
using test::kPi;

TEST(QuaternionTest, IdentityInverseNormalize) {
  Quaternion q{1, 2, 3, 4};
  Quaternion& returned = QuaternionIdentity(q);
  EXPECT_EQ(&returned, &q);
  ExpectQuaternionNear(Quaternion{0, 0, 0, 1}, q, 0);

  const Quaternion p{1, 2, 3, 4};  // |p|² = 30
  Quaternion inverse;
  QuaternionInverse(inverse, p);
  ExpectQuaternionNear(Quaternion{-1.0f / 30, -2.0f / 30, -3.0f / 30, 4.0f / 30}, inverse);
  Quaternion product;
  ExpectQuaternionNear(Quaternion{}, QuaternionMultiply(product, p, inverse));

  Quaternion n = p;
  QuaternionNormalize(n, n);
  const float length = std::sqrt(30.0f);
  ExpectQuaternionNear(Quaternion{1 / length, 2 / length, 3 / length, 4 / length}, n);
}

TEST(QuaternionTest, FromAxisAngleNormalisesTheAxisAndDefaultsATinyOneToX) {
  const Quaternion q = AxisAngle(Vector3{0, 0, 10}, kPi / 2);
  const float h = std::sqrt(0.5f);
  ExpectQuaternionNear(Quaternion{0, 0, h, h}, q);
  ExpectQuaternionNear(Quaternion{1, 0, 0, 0}, AxisAngle(Vector3{0, 0, 1e-10f}, kPi));
  ExpectQuaternionNear(Quaternion{1, 0, 0, 0}, AxisAngle(Vector3{0, 0, 0}, kPi));
  // 5e-10 itself is long enough to keep its direction.
  ExpectQuaternionNear(Quaternion{0, 1, 0, 0}, AxisAngle(Vector3{0, 6e-10f, 0}, kPi));
}

TEST(QuaternionTest, MultiplyAppliesTheFirstRotationFirst) {
  const Quaternion a = AxisAngle(Vector3{1, 0, 0}, kPi / 2);
  const Quaternion b = AxisAngle(Vector3{0, 1, 0}, kPi / 2);
  Quaternion ab;
  QuaternionMultiply(ab, a, b);
  // Matrix of the product = matrix of a, then matrix of b.
  Matrix4 ma, mb, expected, actual;
  Matrix4Multiply(expected, Matrix4FromQuaternion(ma, a), Matrix4FromQuaternion(mb, b));
  ExpectMatrixNear(expected, Matrix4FromQuaternion(actual, ab));
  // +Y: about X by 90° goes to +Z, then about Y by 90° to +X.
  Vector3 v;
  ExpectVectorNear(Vector3{1, 0, 0}, Vector3TransformNormal(v, Vector3{0, 1, 0}, actual));

  // The Hamilton product b * a written out.
  const Quaternion p{1, 2, 3, 4}, r{-2, 0.5f, 1, 3};
  Quaternion out;
  QuaternionMultiply(out, p, r);
  ExpectQuaternionNear(
      Quaternion{r.w * p.x + r.x * p.w + r.y * p.z - r.z * p.y,
                 r.w * p.y - r.x * p.z + r.y * p.w + r.z * p.x,
                 r.w * p.z + r.x * p.y - r.y * p.x + r.z * p.w,
                 r.w * p.w - r.x * p.x - r.y * p.y - r.z * p.z},
      out);

  // Aliasing either input.
  Quaternion aliasA = p;
  ExpectQuaternionNear(out, QuaternionMultiply(aliasA, aliasA, r), 0);
  Quaternion aliasB = r;
  ExpectQuaternionNear(out, QuaternionMultiply(aliasB, p, aliasB), 0);
  Quaternion both = p;
  Quaternion square;
  QuaternionMultiply(square, p, p);
  ExpectQuaternionNear(square, QuaternionMultiply(both, both, both), 0);
}

TEST(QuaternionTest, MatrixRoundTrip) {
  const Quaternion samples[] = {
      Quaternion{},
      AxisAngle(Vector3{1, 2, 3}, 0.9f),
      AxisAngle(Vector3{-1, 0.5f, 0}, 2.5f),
      AxisAngle(Vector3{1, 0, 0}, kPi),          // trace + 1 = 0: x branch
      AxisAngle(Vector3{0, 1, 0}, kPi),          // y branch
      AxisAngle(Vector3{0, 0, 1}, kPi),          // z branch
      AxisAngle(Vector3{1, 1, 0}, kPi),          // off-axis half turn
      AxisAngle(Vector3{0.2f, -1, 3}, 3.1f),     // trace + 1 small but positive
      AxisAngle(Vector3{0, 0, 1}, kPi - 0.01f),  // normalised branch of the trace formula
  };
  for (const Quaternion& q : samples) {
    Matrix4 m;
    Matrix4FromQuaternion(m, q);
    Quaternion back;
    QuaternionFromMatrix4(back, m);
    ExpectSameRotation(q, back, 1e-4f);
    Matrix4 again;
    ExpectMatrixNear(m, Matrix4FromQuaternion(again, back), 1e-4f);
  }
}

TEST(QuaternionTest, FromMatrixIgnoresTranslationAndKeepsWPositiveOnTheTraceBranch) {
  Matrix4 m;
  Matrix4FromQuaternionPosition(m, Quaternion{0, 0, -0.6f, -0.8f}, Vector3{5, 6, 7});
  Quaternion q;
  QuaternionFromMatrix4(q, m);
  ExpectQuaternionNear(Quaternion{0, 0, 0.6f, 0.8f}, q);
}

TEST(QuaternionTest, FromMatrixNearAHalfTurnIsAccurateAndKeepsWNonNegative) {
  for (float angle : {kPi - 1e-2f, kPi - 2e-3f, kPi - 1e-3f, kPi - 1e-4f, kPi}) {
    for (const Vector3 axis : {Vector3{1, 1, 0}, Vector3{0, 1, 1}, Vector3{1, -2, 3}}) {
      const Quaternion q = AxisAngle(axis, angle);
      Matrix4 m;
      Matrix4FromQuaternion(m, q);
      Quaternion back;
      QuaternionFromMatrix4(back, m);
      ExpectSameRotation(q, back, 1e-4f);
      if (m.m[0] + m.m[5] + m.m[10] + 1 > 1e-8f) {
        EXPECT_GE(back.w, 0) << angle;
      }
    }
  }
}

TEST(QuaternionTest, FromYawPitchRollMatchesTheMatrix) {
  const float angles[][3] = {{0.3f, 0.2f, 0.1f}, {-2.0f, 1.0f, 2.5f}, {3.0f, -1.5f, -0.4f}};
  for (const auto& a : angles) {
    Quaternion q;
    QuaternionFromYawPitchRoll(q, a[0], a[1], a[2]);
    Matrix4 fromQ, expected;
    Matrix4FromQuaternion(fromQ, q);
    ExpectMatrixNear(Matrix4FromYawPitchRoll(expected, a[0], a[1], a[2]), fromQ);
  }
}

TEST(QuaternionTest, FromDirectionTurnsPlusZTowardsTheDirection) {
  // Looking back towards -Z and up or down is a half turn about a slanted
  // axis (trace + 1 = 0 up to rounding): (0, -1, -1) once gave the identity.
  const Vector3 directions[] = {Vector3{0, 0, 1},   Vector3{3, 0, 4},     Vector3{-1, 2, -3},
                                Vector3{0, 0, -5},  Vector3{1, -1, 0},    Vector3{0, -1, -1},
                                Vector3{0, 1, -1},  Vector3{0, -0.5f, -1}, Vector3{1e-3f, -1, -1}};
  for (const Vector3& d : directions) {
    Quaternion q;
    QuaternionFromDirection(q, d, Vector3{0, 1, 0});
    EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0f, 1e-4);
    Matrix4 m;
    Matrix4FromQuaternion(m, q);
    Vector3 turned, expected;
    Vector3TransformNormal(turned, Vector3{0, 0, 1}, m);
    ExpectVectorNear(Vector3Normalize(expected, d), turned, 1e-4f);
    // No roll: +X stays horizontal.
    Vector3TransformNormal(turned, Vector3{1, 0, 0}, m);
    EXPECT_NEAR(turned.y, 0, 1e-4);
  }
}

TEST(QuaternionTest, SlerpEndpointsAndMidpoint) {
  const Quaternion a{};
  const Quaternion b = AxisAngle(Vector3{0, 1, 0}, kPi / 2);
  Quaternion out;
  ExpectQuaternionNear(a, QuaternionSlerp(out, a, b, 0));
  ExpectQuaternionNear(b, QuaternionSlerp(out, a, b, 1));
  ExpectQuaternionNear(AxisAngle(Vector3{0, 1, 0}, kPi / 4), QuaternionSlerp(out, a, b, 0.5f));
  ExpectQuaternionNear(AxisAngle(Vector3{0, 1, 0}, kPi / 8), QuaternionSlerp(out, a, b, 0.25f));
  // Aliasing.
  Quaternion alias = a;
  ExpectQuaternionNear(AxisAngle(Vector3{0, 1, 0}, kPi / 4),
                       QuaternionSlerp(alias, alias, b, 0.5f));
}

TEST(QuaternionTest, SlerpOfQAndMinusQGivesMinusQ) {
  const Quaternion q = AxisAngle(Vector3{1, 2, -2}, 1.3f);
  const Quaternion minusQ{-q.x, -q.y, -q.z, -q.w};
  for (float t : {0.0f, 0.25f, 0.5f, 0.9f, 1.0f}) {
    Quaternion out;
    QuaternionSlerp(out, q, minusQ, t);
    ExpectQuaternionNear(minusQ, out, 1e-6f);
  }
}

TEST(QuaternionTest, SlerpTakesTheShortWayWhenTheDotIsNegative) {
  const Quaternion a = AxisAngle(Vector3{0, 1, 0}, 0.2f);
  const Quaternion b = AxisAngle(Vector3{0, 1, 0}, 1.0f);
  const Quaternion minusB{-b.x, -b.y, -b.z, -b.w};
  Quaternion direct, flipped;
  QuaternionSlerp(direct, a, b, 0.3f);
  QuaternionSlerp(flipped, a, minusB, 0.3f);
  ExpectQuaternionNear(Quaternion{-direct.x, -direct.y, -direct.z, -direct.w}, flipped);
  ExpectSameRotation(AxisAngle(Vector3{0, 1, 0}, 0.44f), flipped);
}

TEST(QuaternionTest, SlerpOfCloseQuaternionsIsLinearAndNotRenormalised) {
  const Quaternion a{0, 0, 0, 1};
  const Quaternion b = AxisAngle(Vector3{1, 0, 0}, 0.2f);  // 1 - dot < 0.01
  Quaternion out;
  QuaternionSlerp(out, a, b, 0.5f);
  ExpectQuaternionNear(Quaternion{(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2,
                                  (a.w + b.w) / 2},
                       out, 1e-7f);
  EXPECT_LT(out.x * out.x + out.w * out.w, 1.0f);
}

}  // namespace
}  // namespace tge

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "core/math/Matrix4.h"
#include "tests/core/math/MathTestUtil.h"

namespace tge {
namespace {

using test::ExpectMatrixNear;
using test::ExpectVectorNear;
using test::kPi;

// A general affine matrix: scale, rotation about a slanted axis, translation.
Matrix4 SampleMatrix() {
  Matrix4 scale, rotation, translation, out;
  Matrix4Scaling(scale, 2, 0.5f, 3);
  Quaternion q;
  Matrix4FromQuaternion(rotation, QuaternionFromAxisAngle(q, Vector3{1, 2, -1}, 0.7f));
  Matrix4Translation(translation, 4, -5, 6);
  Matrix4Multiply(out, scale, rotation);
  return Matrix4Multiply(out, out, translation);
}

TEST(Matrix4Test, DefaultAndIdentity) {
  Matrix4 m;
  for (float& e : m.m) e = 7;
  Matrix4& returned = Matrix4Identity(m);
  EXPECT_EQ(&returned, &m);
  ExpectMatrixNear(Matrix4{}, m, 0);
  EXPECT_EQ(Matrix4{}.m[0], 1);
  EXPECT_EQ(Matrix4{}.m[15], 1);
  EXPECT_EQ(Matrix4{}.m[1], 0);
}

TEST(Matrix4Test, ScalingTranslationAndRotationElements) {
  Matrix4 m;
  Matrix4Scaling(m, 2, 3, 4);
  EXPECT_EQ(m.m[0], 2);
  EXPECT_EQ(m.m[5], 3);
  EXPECT_EQ(m.m[10], 4);
  EXPECT_EQ(m.m[15], 1);

  Matrix4Translation(m, 7, 8, 9);
  EXPECT_EQ(m.m[12], 7);
  EXPECT_EQ(m.m[13], 8);
  EXPECT_EQ(m.m[14], 9);
  EXPECT_EQ(m.m[0], 1);

  const float a = 0.3f, c = std::cos(a), s = std::sin(a);
  Matrix4RotationX(m, a);
  Matrix4 expected;
  expected.m[5] = c;
  expected.m[6] = s;
  expected.m[9] = -s;
  expected.m[10] = c;
  ExpectMatrixNear(expected, m, 0);

  Matrix4RotationY(m, a);
  expected = Matrix4{};
  expected.m[0] = c;
  expected.m[2] = -s;
  expected.m[8] = s;
  expected.m[10] = c;
  ExpectMatrixNear(expected, m, 0);

  // Row vectors: +X turned by 90° about Y goes to -Z, +Z to +X.
  Vector3 v;
  Matrix4RotationY(m, kPi / 2);
  ExpectVectorNear(Vector3{0, 0, -1}, Vector3TransformCoord(v, Vector3{1, 0, 0}, m));
  ExpectVectorNear(Vector3{1, 0, 0}, Vector3TransformCoord(v, Vector3{0, 0, 1}, m));
}

TEST(Matrix4Test, MultiplyIsRowTimesColumnAndMayAlias) {
  Matrix4 a, b;
  for (int i = 0; i < 16; ++i) {
    a.m[i] = static_cast<float>(i + 1);
    b.m[i] = static_cast<float>((i * 7) % 5 - 2);
  }
  Matrix4 expected;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += a.m[i * 4 + k] * b.m[k * 4 + j];
      expected.m[i * 4 + j] = sum;
    }
  Matrix4 out;
  ExpectMatrixNear(expected, Matrix4Multiply(out, a, b), 0);

  Matrix4 aliasA = a;
  ExpectMatrixNear(expected, Matrix4Multiply(aliasA, aliasA, b), 0);
  Matrix4 aliasB = b;
  ExpectMatrixNear(expected, Matrix4Multiply(aliasB, a, aliasB), 0);

  // Translation last: a point is scaled, then moved.
  Matrix4 scale, move;
  Matrix4Multiply(out, Matrix4Scaling(scale, 2, 2, 2), Matrix4Translation(move, 1, 0, 0));
  Vector3 v;
  ExpectVectorNear(Vector3{3, 2, 2}, Vector3TransformCoord(v, Vector3{1, 1, 1}, out));
}

TEST(Matrix4Test, DeterminantAndAdjoint) {
  Matrix4 m;
  Matrix4Scaling(m, 2, 3, 4);
  EXPECT_FLOAT_EQ(Matrix4Determinant(m), 24.0f);
  m.m[12] = 5;  // translation does not change it
  EXPECT_FLOAT_EQ(Matrix4Determinant(m), 24.0f);
  m.m[1] = 1;
  m.m[4] = 1;  // rows 0 and 1: (2,1,0,0), (1,3,0,0) -> 5 * 4
  EXPECT_FLOAT_EQ(Matrix4Determinant(m), 20.0f);
  // Swapping two rows negates it.
  Matrix4 swapped = m;
  for (int j = 0; j < 4; ++j) std::swap(swapped.m[j], swapped.m[8 + j]);
  EXPECT_FLOAT_EQ(Matrix4Determinant(swapped), -20.0f);

  // m x adjoint(m) = det x identity.
  const Matrix4 sample = SampleMatrix();
  Matrix4 adjoint = sample;
  Matrix4& returned = Matrix4Adjoint(adjoint);
  EXPECT_EQ(&returned, &adjoint);
  Matrix4 product;
  Matrix4Multiply(product, sample, adjoint);
  const float det = Matrix4Determinant(sample);
  EXPECT_NEAR(det, 3.0f, 1e-4);  // 2 * 0.5 * 3, rotations and moves keep it
  Matrix4 expected;
  Matrix4Scaling(expected, det, det, det);
  expected.m[15] = det;
  ExpectMatrixNear(expected, product, 1e-4f);
}

TEST(Matrix4Test, InverseTimesMatrixIsIdentity) {
  const Matrix4 m = SampleMatrix();
  Matrix4 inverse;
  Matrix4Inverse(inverse, nullptr, m);
  Matrix4 product;
  ExpectMatrixNear(Matrix4{}, Matrix4Multiply(product, inverse, m), 1e-5f);
  ExpectMatrixNear(Matrix4{}, Matrix4Multiply(product, m, inverse), 1e-5f);

  // In place, and with a determinant pointer that is left alone.
  Matrix4 alias = m;
  float ignored = 123;
  Matrix4& returned = Matrix4Inverse(alias, &ignored, alias);
  EXPECT_EQ(&returned, &alias);
  EXPECT_EQ(ignored, 123);
  ExpectMatrixNear(inverse, alias, 0);
}

TEST(Matrix4Test, InverseOfANearlySingularMatrixReturnsTheInput) {
  Matrix4 m;
  Matrix4Scaling(m, 0.000009f, 1, 1);
  m.m[12] = 3;
  ASSERT_LT(std::fabs(Matrix4Determinant(m)), 0.00001f);
  Matrix4 out;
  for (float& e : out.m) e = 42;
  Matrix4Inverse(out, nullptr, m);
  ExpectMatrixNear(m, out, 0);

  Matrix4 zero;
  for (float& e : zero.m) e = 0;
  Matrix4Inverse(out, nullptr, zero);
  ExpectMatrixNear(zero, out, 0);

  // Just above the threshold it is inverted.
  Matrix4Scaling(m, 0.00002f, 1, 1);
  Matrix4Inverse(out, nullptr, m);
  EXPECT_NEAR(out.m[0], 50000.0f, 1.0f);
}

TEST(Matrix4Test, FromQuaternionFollowsTheFormulaForNonUnitQuaternions) {
  const Quaternion q{1, 2, 3, 4};
  Matrix4 m;
  for (float& e : m.m) e = 9;
  Matrix4FromQuaternion(m, q);
  const float expected[16] = {16 + 1 - 4 - 9, 2 * (2 + 12), 2 * (3 - 8),  0,
                              2 * (2 - 12),   16 - 1 + 4 - 9, 2 * (6 + 4),  0,
                              2 * (3 + 8),    2 * (6 - 4),  16 - 1 - 4 + 9, 0,
                              0,              0,            0,            1};
  for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(m.m[i], expected[i]) << i;

  Matrix4FromQuaternionPosition(m, Quaternion{}, Vector3{1, 2, 3});
  Matrix4 translation;
  ExpectMatrixNear(Matrix4Translation(translation, 1, 2, 3), m, 0);
}

TEST(Matrix4Test, FromQuaternionMatchesTheAxisRotations) {
  Quaternion q;
  Matrix4 fromQ, expected;
  Matrix4FromQuaternion(fromQ, QuaternionFromAxisAngle(q, Vector3{1, 0, 0}, 0.4f));
  ExpectMatrixNear(Matrix4RotationX(expected, 0.4f), fromQ);
  Matrix4FromQuaternion(fromQ, QuaternionFromAxisAngle(q, Vector3{0, 1, 0}, -1.1f));
  ExpectMatrixNear(Matrix4RotationY(expected, -1.1f), fromQ);
  Matrix4FromQuaternion(fromQ, QuaternionFromAxisAngle(q, Vector3{0, 0, 1}, 2.0f));
  ExpectMatrixNear(Matrix4RotationZ(expected, 2.0f), fromQ);
}

TEST(Matrix4Test, FromYawPitchRollAppliesRollThenPitchThenYaw) {
  const float yaw = 0.8f, pitch = -0.3f, roll = 1.2f;
  Matrix4 z, x, y, expected;
  Matrix4RotationZ(z, roll);
  Matrix4RotationX(x, pitch);
  Matrix4RotationY(y, yaw);
  Matrix4Multiply(expected, z, x);
  Matrix4Multiply(expected, expected, y);
  Matrix4 m;
  ExpectMatrixNear(expected, Matrix4FromYawPitchRoll(m, yaw, pitch, roll));

  // +Z is turned by pitch then yaw only.
  Vector3 v;
  Vector3TransformNormal(v, Vector3{0, 0, 1}, m);
  EXPECT_NEAR(Vector3Yaw(v), yaw, 1e-5);
  EXPECT_NEAR(Vector3Pitch(v), -pitch, 1e-5);  // positive pitch turns +Z down
}

TEST(Matrix4Test, YawPitchRollRoundTrip) {
  const float angles[][3] = {{0, 0, 0},        {0.5f, 0.3f, 0.2f},    {-2.5f, 1.2f, -3.0f},
                             {3.0f, -1.4f, 2.9f}, {-0.1f, 0.0f, 1.5f}, {1.7f, -0.7f, -1.7f}};
  for (const auto& a : angles) {
    Matrix4 m;
    Matrix4FromYawPitchRoll(m, a[0], a[1], a[2]);
    Vector3 out{9, 9, 9};
    Vector3& returned = Matrix4ToYawPitchRoll(m, out);
    EXPECT_EQ(&returned, &out);
    EXPECT_NEAR(out.x, a[1], 1e-4) << "pitch";
    EXPECT_NEAR(out.y, a[0], 1e-4) << "yaw";
    EXPECT_NEAR(out.z, a[2], 1e-4) << "roll";
  }
}

TEST(Matrix4Test, ToYawPitchRollAtGimbalLockStillRebuildsTheMatrix) {
  Matrix4 m;
  Matrix4FromYawPitchRoll(m, 0.6f, kPi / 2, 0.2f);
  Vector3 angles;
  Matrix4ToYawPitchRoll(m, angles);
  EXPECT_FALSE(std::isnan(angles.x) || std::isnan(angles.y) || std::isnan(angles.z));
  Matrix4 rebuilt;
  ExpectMatrixNear(m, Matrix4FromYawPitchRoll(rebuilt, angles.y, angles.x, angles.z), 1e-3f);
}

TEST(Matrix4Test, FaceTowardsAndLookAt) {
  const Vector3 eye{1, 2, 3}, target{4, 2, 7}, up{0, 1, 0};
  Matrix4 face;
  Matrix4FaceTowards(face, eye, target, up);
  // Row 2 is the direction, row 0 is up x direction, row 1 is up-ish.
  ExpectVectorNear(Vector3{0.6f, 0, 0.8f}, Vector3{face.m[8], face.m[9], face.m[10]});
  ExpectVectorNear(Vector3{0.8f, 0, -0.6f}, Vector3{face.m[0], face.m[1], face.m[2]});
  ExpectVectorNear(Vector3{0, 1, 0}, Vector3{face.m[4], face.m[5], face.m[6]});
  ExpectVectorNear(eye, Vector3{face.m[12], face.m[13], face.m[14]}, 0);
  EXPECT_EQ(face.m[3], 0);
  EXPECT_EQ(face.m[15], 1);

  Matrix4 view;
  Matrix4LookAt(view, eye, target, up);
  Vector3 v;
  // The target sits on the view's +Z axis at its distance; the eye at the origin.
  ExpectVectorNear(Vector3{0, 0, 5}, Vector3TransformCoord(v, target, view));
  ExpectVectorNear(Vector3{0, 0, 0}, Vector3TransformCoord(v, eye, view));
  Matrix4 product;
  ExpectMatrixNear(Matrix4{}, Matrix4Multiply(product, face, view));
}

TEST(Matrix4Test, PerspectiveFovElements) {
  Matrix4 m;
  Matrix4PerspectiveFov(m, kPi / 2, 2.0f, 1.0f, 101.0f);
  const float expected[16] = {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 101.0f / 100.0f, 1,
                              0,    0, -101.0f / 100.0f, 0};
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(m.m[i], expected[i], 1e-6) << i;
}

TEST(Matrix4Test, RotatePointAround) {
  Vector3 out;
  // About Y by 90°: (1, 0, 0) relative goes to (0, 0, -1).
  RotatePointAround(out, Vector3{2, 5, 0}, Vector3{1, 5, 0}, 0, kPi / 2, 0);
  ExpectVectorNear(Vector3{1, 5, -1}, out);
  // About X by 90°: (0, 1, 0) relative goes to (0, 0, 1).
  RotatePointAround(out, Vector3{0, 1, 0}, Vector3{0, 0, 0}, kPi / 2, 0, 0);
  ExpectVectorNear(Vector3{0, 0, 1}, out);
  // About Z by 90°: (1, 0, 0) goes to (0, 1, 0).
  RotatePointAround(out, Vector3{1, 0, 0}, Vector3{0, 0, 0}, 0, 0, kPi / 2);
  ExpectVectorNear(Vector3{0, 1, 0}, out);
  // Aliasing the point and the centre.
  Vector3 p{3, 0, 0};
  RotatePointAround(p, p, Vector3{1, 0, 0}, 0, kPi, 0);
  ExpectVectorNear(Vector3{-1, 0, 0}, p);
  Vector3 c{1, 1, 1};
  RotatePointAround(c, Vector3{2, 1, 1}, c, 0, 0, kPi / 2);
  ExpectVectorNear(Vector3{1, 2, 1}, c);
}

}  // namespace
}  // namespace tge

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "core/math/Matrix4.h"
#include "core/math/Vector.h"
#include "tests/core/math/MathTestUtil.h"

namespace tge {
namespace {

using test::ExpectVectorNear;
using test::kPi;

TEST(VectorTest, LengthDotCross) {
  EXPECT_FLOAT_EQ(Vector3Length(Vector3{3, 4, 12}), 13.0f);
  EXPECT_FLOAT_EQ(Vector3Dot(Vector3{1, 2, 3}, Vector3{4, -5, 6}), 12.0f);
  Vector3 out;
  Vector3& returned = Vector3Cross(out, Vector3{1, 0, 0}, Vector3{0, 1, 0});
  EXPECT_EQ(&returned, &out);
  ExpectVectorNear(Vector3{0, 0, 1}, out, 0);
}

TEST(VectorTest, CrossLerpAddScaledMayAliasTheirInputs) {
  Vector3 a{1, 2, 3};
  const Vector3 b{-2, 0.5f, 4};
  Vector3 expected;
  Vector3Cross(expected, a, b);
  Vector3Cross(a, a, b);
  ExpectVectorNear(expected, a, 0);

  Vector3 c{1, 2, 3};
  Vector3Cross(expected, b, c);
  Vector3Cross(c, b, c);
  ExpectVectorNear(expected, c, 0);

  Vector3 l{0, 0, 0};
  Vector3Lerp(l, l, Vector3{2, 4, 6}, 0.25f);
  ExpectVectorNear(Vector3{0.5f, 1, 1.5f}, l, 0);

  Vector3 s{1, 1, 1};
  Vector3AddScaled(s, s, s, 2);
  ExpectVectorNear(Vector3{3, 3, 3}, s, 0);
}

TEST(VectorTest, LerpExtrapolatesUnclamped) {
  Vector3 out;
  Vector3Lerp(out, Vector3{0, 0, 0}, Vector3{1, 2, 3}, 2.0f);
  ExpectVectorNear(Vector3{2, 4, 6}, out, 0);
}

TEST(VectorTest, NormalizeScalesToUnitLength) {
  Vector3 v{3, 0, 4};
  Vector3Normalize(v, v);
  ExpectVectorNear(Vector3{0.6f, 0, 0.8f}, v);
}

TEST(VectorTest, NormalizeOfZeroOrHugeOrTinyReturnsTheInputUnchanged) {
  for (const Vector3 in : {Vector3{0, 0, 0}, Vector3{2e14f, 0, 0}, Vector3{1e-13f, 0, 0},
                           Vector3{1e20f, -1e20f, 3}}) {
    Vector3 out{9, 9, 9};
    Vector3Normalize(out, in);
    EXPECT_EQ(in.x, out.x);
    EXPECT_EQ(in.y, out.y);
    EXPECT_EQ(in.z, out.z);
  }
  // The bounds themselves are inside the range.
  Vector3 out;
  Vector3Normalize(out, Vector3{1e14f, 0, 0});
  EXPECT_FLOAT_EQ(out.x, 1.0f);
}

TEST(VectorTest, TransformCoordAddsTranslationWithoutDividingByW) {
  Matrix4 m;
  Matrix4Translation(m, 10, 20, 30);
  m.m[3] = 5;  // would change w
  m.m[15] = 2;
  Vector3 v{1, 2, 3};
  Vector3TransformCoord(v, v, m);
  ExpectVectorNear(Vector3{11, 22, 33}, v, 0);

  Vector3 n{1, 2, 3};
  Vector3TransformNormal(n, n, m);
  ExpectVectorNear(Vector3{1, 2, 3}, n, 0);
}

TEST(VectorTest, TransformUsesRowVectorConvention) {
  Matrix4 m;
  for (int i = 0; i < 16; ++i) m.m[i] = static_cast<float>(i + 1);
  Vector3 out;
  Vector3TransformCoord(out, Vector3{1, 2, 3}, m);
  // x = 1*m0 + 2*m4 + 3*m8 + m12 = 1 + 10 + 27 + 13.
  ExpectVectorNear(Vector3{51, 58, 65}, out, 0);

  Vector4 v4{1, 2, 3, 7};
  Vector4TransformCoord(v4, v4, m);
  EXPECT_EQ(v4.x, 51);
  EXPECT_EQ(v4.y, 58);
  EXPECT_EQ(v4.z, 65);
  EXPECT_EQ(v4.w, 7);

  Vector4 full{1, 2, 3, 2};
  Vector4Transform(full, full, m);
  EXPECT_EQ(full.x, 1 + 10 + 27 + 26);
  EXPECT_EQ(full.y, 2 + 12 + 30 + 28);
  EXPECT_EQ(full.z, 3 + 14 + 33 + 30);
  EXPECT_EQ(full.w, 4 + 16 + 36 + 32);
}

TEST(VectorTest, YawIsHeadingFromPlusZ) {
  EXPECT_FLOAT_EQ(Vector3Yaw(Vector3{0, 0, 1}), 0.0f);
  EXPECT_FLOAT_EQ(Vector3Yaw(Vector3{1, 0, 0}), kPi / 2);
  EXPECT_FLOAT_EQ(Vector3Yaw(Vector3{-1, 7, 0}), -kPi / 2);
  EXPECT_FLOAT_EQ(Vector3Yaw(Vector3{0, 0, -3}), kPi);
  EXPECT_FLOAT_EQ(Vector3Yaw(Vector3{-2, 0, 2}), -kPi / 4);
  // Degenerate: straight up, or too long.
  EXPECT_EQ(Vector3Yaw(Vector3{0, 5, 0}), 0.0f);
  EXPECT_EQ(Vector3Yaw(Vector3{2e14f, 0, 0}), 0.0f);
}

TEST(VectorTest, YawFlatPitchAndYawBetween) {
  EXPECT_FLOAT_EQ(Vector3YawFlat(Vector3{1, 10, 1}), kPi / 4);
  EXPECT_FLOAT_EQ(Vector3YawFlat(Vector3{-1, -3, 0}), -kPi / 2);
  // Straight up: the flattened vector stays (0, 0, 0) and acos(0) is returned.
  EXPECT_FLOAT_EQ(Vector3YawFlat(Vector3{0, 1, 0}), kPi / 2);

  EXPECT_FLOAT_EQ(Vector3Pitch(Vector3{0, 1, 1}), kPi / 4);
  EXPECT_FLOAT_EQ(Vector3Pitch(Vector3{0, -3, 0}), -kPi / 2);
  EXPECT_FLOAT_EQ(Vector3Pitch(Vector3{5, 0, 0}), 0.0f);

  EXPECT_FLOAT_EQ(Vector3YawBetween(Vector3{5, 0, 3}, Vector3{4, 0, 3}), kPi / 2);
}

TEST(VectorTest, ProjectMapsIntoTheViewportWithoutItsOrigin) {
  const Viewport viewport{100, 50, 640, 480, 0.25f, 0.75f};
  const Matrix4 identity;
  Vector3 out;
  Vector3Project(out, Vector3{0, 0, 0.5f}, viewport, identity, identity, identity);
  ExpectVectorNear(Vector3{320, 240, 0.5f}, out);
  Vector3Project(out, Vector3{-1, 1, 0}, viewport, identity, identity, identity);
  ExpectVectorNear(Vector3{0, 0, 0.25f}, out);
  Vector3Project(out, Vector3{1, -1, 1}, viewport, identity, identity, identity);
  ExpectVectorNear(Vector3{640, 480, 0.75f}, out);
}

TEST(VectorTest, ProjectAppliesWorldViewProjectionAndDividesByW) {
  const Viewport viewport{0, 0, 800, 600, 0, 1};
  Matrix4 world, view, projection;
  Matrix4Translation(world, 0, 0, 5);
  Matrix4LookAt(view, Vector3{0, 0, -5}, Vector3{0, 0, 0}, Vector3{0, 1, 0});
  Matrix4PerspectiveFov(projection, kPi / 2, 800.0f / 600.0f, 1, 100);
  Vector3 out;
  // The origin moved to z = 5 lies 10 in front of the eye, on the axis.
  Vector3Project(out, Vector3{0, 0, 0}, viewport, projection, view, world);
  EXPECT_NEAR(out.x, 400, 1e-3);
  EXPECT_NEAR(out.y, 300, 1e-3);
  // z = (far/(far-near)) * (1 - near/d) at distance d = 10.
  EXPECT_NEAR(out.z, 100.0f / 99.0f * (1 - 1.0f / 10), 1e-5);
  // A point at y = d (45° up, the top edge of the view) lands on row 0.
  Vector3Project(out, Vector3{0, 10, 0}, viewport, projection, view, world);
  EXPECT_NEAR(out.y, 0, 1e-3);
}

}  // namespace
}  // namespace tge

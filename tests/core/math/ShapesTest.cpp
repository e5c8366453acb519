#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/math/Matrix4.h"
#include "core/math/Shapes.h"
#include "tests/core/math/MathTestUtil.h"

namespace tge {
namespace {

using test::ExpectVectorNear;
using test::kPi;

float DistanceToBox(const Vector3& min, const Vector3& max, const Vector3& p) {
  const float dx = std::max({min.x - p.x, 0.0f, p.x - max.x});
  const float dy = std::max({min.y - p.y, 0.0f, p.y - max.y});
  const float dz = std::max({min.z - p.z, 0.0f, p.z - max.z});
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

TEST(ShapesTest, AABoxOverlapCountsTouching) {
  const Vector3 aMin{0, 0, 0}, aMax{1, 1, 1};
  EXPECT_TRUE(AABoxOverlap(aMin, aMax, Vector3{0.5f, 0.5f, 0.5f}, Vector3{2, 2, 2}));
  EXPECT_TRUE(AABoxOverlap(aMin, aMax, Vector3{1, 0, 0}, Vector3{2, 1, 1}));  // touching
  EXPECT_TRUE(AABoxOverlap(aMin, aMax, Vector3{0.2f, 0.2f, 0.2f}, Vector3{0.3f, 0.3f, 0.3f}));
  EXPECT_TRUE(AABoxOverlap(Vector3{-5, -5, -5}, Vector3{5, 5, 5}, aMin, aMax));
  EXPECT_FALSE(AABoxOverlap(aMin, aMax, Vector3{1.01f, 0, 0}, Vector3{2, 1, 1}));
  EXPECT_FALSE(AABoxOverlap(aMin, aMax, Vector3{0, -2, 0}, Vector3{1, -0.01f, 1}));
  EXPECT_FALSE(AABoxOverlap(aMin, aMax, Vector3{0, 0, 1.5f}, Vector3{1, 1, 2}));
}

TEST(ShapesTest, ContainsPointIsStrictAndTheMarginVersionInclusive) {
  const Vector3 min{0, 0, 0}, max{2, 2, 2};
  EXPECT_TRUE(AABoxContainsPoint(min, max, Vector3{1, 1, 1}));
  EXPECT_FALSE(AABoxContainsPoint(min, max, Vector3{2, 1, 1}));
  EXPECT_FALSE(AABoxContainsPoint(min, max, Vector3{1, 0, 1}));
  EXPECT_FALSE(AABoxContainsPoint(min, max, Vector3{1, 1, 3}));

  EXPECT_TRUE(AABoxContainsPointMargin(min, max, Vector3{2, 1, 1}, 0));
  EXPECT_TRUE(AABoxContainsPointMargin(min, max, Vector3{2.5f, -0.5f, 1}, 0.5f));
  EXPECT_FALSE(AABoxContainsPointMargin(min, max, Vector3{2.6f, 1, 1}, 0.5f));
  EXPECT_FALSE(AABoxContainsPointMargin(min, max, Vector3{1, 1, 1}, -1.5f));
}

TEST(ShapesTest, AABoxTransformBoundsTheTransformedCorners) {
  Matrix4 rotation, translation, m;
  Matrix4RotationY(rotation, kPi / 2);
  Matrix4Translation(translation, 10, 0, 0);
  Matrix4Multiply(m, rotation, translation);
  Vector3 outMin, outMax;
  AABoxTransform(outMin, outMax, Vector3{0, 0, 0}, Vector3{1, 2, 3}, m);
  // (x, y, z) -> (z, y, -x) + (10, 0, 0).
  ExpectVectorNear(Vector3{10, 0, -1}, outMin);
  ExpectVectorNear(Vector3{13, 2, 0}, outMax);

  // The record overload, in place.
  AABox box{Vector3{0, 0, 0}, Vector3{1, 2, 3}};
  AABox& returned = AABoxTransform(box, box, m);
  EXPECT_EQ(&returned, &box);
  ExpectVectorNear(Vector3{10, 0, -1}, box.min);
  ExpectVectorNear(Vector3{13, 2, 0}, box.max);

  // 45° grows the box to hold the turned corners.
  Matrix4RotationY(m, kPi / 4);
  AABoxTransform(outMin, outMax, Vector3{-1, -1, -1}, Vector3{1, 1, 1}, m);
  const float r = std::sqrt(2.0f);
  ExpectVectorNear(Vector3{-r, -1, -r}, outMin);
  ExpectVectorNear(Vector3{r, 1, r}, outMax);
}

TEST(ShapesTest, WithinRadiusIsStrict) {
  const Vector3 centre{1, 1, 1};
  EXPECT_TRUE(IsWithinRadius(centre, 2, Vector3{2, 2, 1}));
  EXPECT_FALSE(IsWithinRadius(centre, 2, Vector3{3, 1, 1}));  // exactly r
  EXPECT_FALSE(IsWithinRadius(centre, 2, Vector3{4, 1, 1}));
  EXPECT_TRUE(IsWithinScaledRadius(centre, 2, Vector3{4, 1, 1}, 2));
  EXPECT_FALSE(IsWithinScaledRadius(centre, 2, Vector3{5, 1, 1}, 2));
  EXPECT_FALSE(IsWithinScaledRadius(centre, 2, Vector3{2, 1, 1}, 0.5f));
}

TEST(ShapesTest, SphereBoxCollideMissesWhenApartAndLeavesTheOutputs) {
  Vector3 push{7, 7, 7}, face{8, 8, 8};
  EXPECT_FALSE(SphereBoxCollide(Vector3{0, 0, 0}, Vector3{1, 1, 1}, Vector3{3, 0.5f, 0.5f}, 1.5f,
                                &push, &face));
  ExpectVectorNear(Vector3{7, 7, 7}, push, 0);
  ExpectVectorNear(Vector3{8, 8, 8}, face, 0);
  // Exactly the radius away is not a hit.
  EXPECT_FALSE(SphereBoxCollide(Vector3{0, 0, 0}, Vector3{1, 1, 1}, Vector3{3, 0.5f, 0.5f}, 2.0f,
                                nullptr, nullptr));
}

TEST(ShapesTest, SphereBoxCollideFromOutside) {
  const Vector3 min{0, 0, 0}, max{1, 1, 1}, centre{1.5f, 0.5f, 0.5f};
  Vector3 push, face;
  ASSERT_TRUE(SphereBoxCollide(min, max, centre, 1.0f, &push, &face));
  // Towards the box along -X by (1 - 0.5) * 1.002.
  ExpectVectorNear(Vector3{-0.5f * 1.002f, 0, 0}, push);
  ExpectVectorNear(Vector3{1, 0.5f, 0.5f}, face);
  Vector3 moved;
  Vector3Subtract(moved, centre, push);
  EXPECT_GT(DistanceToBox(min, max, moved), 1.0f);
  // Null outputs are fine.
  EXPECT_TRUE(SphereBoxCollide(min, max, centre, 1.0f, nullptr, nullptr));

  // Off a corner: the push is along the diagonal.
  const Vector3 corner{1.3f, 1.4f, -0.2f};
  ASSERT_TRUE(SphereBoxCollide(min, max, corner, 1.0f, &push, nullptr));
  const float distance = DistanceToBox(min, max, corner);
  EXPECT_NEAR(Vector3Length(push), (1.0f - distance) * 1.002f, 1e-6);
  Vector3Subtract(moved, corner, push);
  EXPECT_GT(DistanceToBox(min, max, moved), 1.0f);
}

TEST(ShapesTest, SphereBoxCollideFromInsidePushesOutThroughTheNearestFace) {
  const Vector3 min{0, 0, 0}, max{4, 2, 6};
  Vector3 push, face;
  // Nearest face: max y (0.5 away).
  const Vector3 centre{2, 1.5f, 3};
  ASSERT_TRUE(SphereBoxCollide(min, max, centre, 1.0f, &push, &face));
  ExpectVectorNear(Vector3{0, -(1.0f + 0.5f) * 1.001f, 0}, push);
  ExpectVectorNear(Vector3{2, 2, 3}, face);
  Vector3 moved;
  Vector3Subtract(moved, centre, push);
  EXPECT_GT(DistanceToBox(min, max, moved), 1.0f);

  // Nearest face: min x (0.25 away).
  const Vector3 nearMinX{0.25f, 1, 3};
  ASSERT_TRUE(SphereBoxCollide(min, max, nearMinX, 0.5f, &push, &face));
  ExpectVectorNear(Vector3{(0.5f + 0.25f) * 1.001f, 0, 0}, push);
  ExpectVectorNear(Vector3{0, 1, 3}, face);
  Vector3Subtract(moved, nearMinX, push);
  EXPECT_GT(DistanceToBox(min, max, moved), 0.5f);

  // On a face counts as inside: pushed out by the radius.
  ASSERT_TRUE(SphereBoxCollide(min, max, Vector3{2, 1, 6}, 1.0f, &push, &face));
  ExpectVectorNear(Vector3{0, 0, -1.001f}, push);
}

TEST(ShapesTest, SphereBoxCollidePushOutAlwaysSeparates) {
  const Vector3 min{-1, -2, -0.5f}, max{3, 1, 2.5f};
  const float radius = 0.8f;
  int hits = 0;
  for (float x = -2.5f; x <= 4.5f; x += 0.35f)
    for (float y = -3.5f; y <= 2.5f; y += 0.3f)
      for (float z = -2.0f; z <= 4.0f; z += 0.45f) {
        const Vector3 centre{x, y, z};
        Vector3 push;
        if (!SphereBoxCollide(min, max, centre, radius, &push, nullptr)) {
          EXPECT_GE(DistanceToBox(min, max, centre), radius);
          continue;
        }
        ++hits;
        Vector3 moved;
        Vector3Subtract(moved, centre, push);
        // Just inside the radius the push is tiny: allow the float rounding.
        EXPECT_GE(DistanceToBox(min, max, moved), radius - 1e-6f) << x << " " << y << " " << z;
      }
  EXPECT_GT(hits, 100);
}

TEST(ShapesTest, PlaneFromPointNormal) {
  Plane plane;
  Plane& returned = PlaneFromPointNormal(plane, Vector3{1, 2, 3}, Vector3{0, 1, 0});
  EXPECT_EQ(&returned, &plane);
  EXPECT_EQ(plane.a, 0);
  EXPECT_EQ(plane.b, 1);
  EXPECT_EQ(plane.c, 0);
  EXPECT_EQ(plane.d, -2);
  PlaneFromPointNormal(plane, Vector3{1, 1, 1}, Vector3{1, 2, 2});
  EXPECT_EQ(plane.d, -5);
}

}  // namespace
}  // namespace tge

#include "objects/gameplay/physics/PhysicsGeometry.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/core/math/MathTestUtil.h"
#include "tests/objects/gameplay/physics/PhysicsTestScene.h"

namespace tge::test {
namespace {

class PhysicsGeometryTest : public PhysicsScene {
 protected:
  int CountHits(dGeomID a, dGeomID b) {
    ContactParameters contacts[kMaxContactsPerPair] = {};
    return CollideGeoms(a, b, kMaxContactsPerPair, &contacts[0].geom, sizeof(ContactParameters));
  }
};

// The library aborts on every one of these; the wrapper leaves the plane as it is.
TEST_F(PhysicsGeometryTest, PlaneIsNeverPlacedAttachedOrWrapped) {
  dGeomID plane = AddGroundPlane();
  dBodyID body = AddBox({0, 5, 0});
  dGeomID transform = Keep(CreateGeomTransform(nullptr));
  SetGeomPosition(plane, {1, 2, 3});
  SetGeomRotation(plane, {0, 0, 0.7071f, 0.7071f});
  SetGeomBody(plane, body);
  SetGeomTransformGeom(transform, plane);
  EXPECT_STRNE(GetLastPhysicsError(), "");
  EXPECT_EQ(GetGeomBody(plane), nullptr);
  dVector4 params;
  dGeomPlaneGetParams(plane, params);
  EXPECT_DOUBLE_EQ(params[1], 1);
  EXPECT_DOUBLE_EQ(params[3], 0);
  EXPECT_EQ(CreatePlaneGeom(nullptr, 0, 0, 0, 1), nullptr);
}

TEST_F(PhysicsGeometryTest, RayHitsBetweenItsEndsAndNothingWhenTheyMeet) {
  dGeomID box = Keep(CreateBoxGeom(nullptr, {2, 2, 2}));
  dGeomID ray = Keep(CreateRayGeom(nullptr, 1));
  SetRayGeom(ray, {0, 5, 0}, {0, -5, 0});
  ContactParameters hit[1] = {};
  ASSERT_EQ(CollideGeoms(ray, box, 1, &hit[0].geom, sizeof(ContactParameters)), 1);
  EXPECT_NEAR(hit[0].geom.pos[1], 1, 1e-6);
  EXPECT_NEAR(hit[0].geom.depth, 4, 1e-6);

  SetRayGeom(ray, {0, 5, 0}, {0, 2, 0});
  EXPECT_EQ(CountHits(ray, box), 0);
  for (const Vector3& point : {Vector3{0, 1, 0}, Vector3{0, 0, 0}}) {
    SetRayGeom(ray, point, point);
    EXPECT_EQ(CountHits(ray, box), 0);
  }
  EXPECT_EQ(CountHits(Keep(CreateRayGeom(nullptr, 0)), box), 0);
}

// Two stacked floors: the ray must report the upper one, the nearest hit.
TEST_F(PhysicsGeometryTest, TriangleMeshOwnsItsArraysAndGivesTheNearestRayHit) {
  auto vertices = std::make_unique<float[]>(24);
  const float corners[8][3] = {{-5, 0, -5}, {5, 0, -5}, {5, 0, 5}, {-5, 0, 5},
                               {-5, 2, -5}, {5, 2, -5}, {5, 2, 5}, {-5, 2, 5}};
  for (int i = 0; i < 24; ++i) vertices[i] = corners[i / 3][i % 3];
  auto indices = std::make_unique<int[]>(12);
  const int triangles[12] = {0, 2, 1, 0, 3, 2, 4, 6, 5, 4, 7, 6};
  for (int i = 0; i < 12; ++i) indices[i] = triangles[i];
  dGeomID mesh = Keep(CreateTriMeshGeom(nullptr, vertices.get(), 8, indices.get(), 12));
  ASSERT_NE(mesh, nullptr);
  vertices.reset();
  indices.reset();

  dGeomID ray = Keep(CreateRayGeom(nullptr, 1));
  SetRayGeom(ray, {0.3f, 10, 0.2f}, {0.3f, -10, 0.2f});
  ContactParameters hit[1] = {};
  ASSERT_EQ(CollideGeoms(ray, mesh, 1, &hit[0].geom, sizeof(ContactParameters)), 1);
  EXPECT_NEAR(hit[0].geom.pos[1], 2, 1e-5);
}

TEST_F(PhysicsGeometryTest, TriangleMeshWithBadArraysIsRefused) {
  const float vertices[9] = {0, 0, 0, 1, 0, 0, 0, 0, 1};
  const int outside[3] = {0, 1, 3};
  const int negative[3] = {0, -1, 2};
  const int good[3] = {0, 1, 2};
  EXPECT_EQ(CreateTriMeshGeom(nullptr, vertices, 3, outside, 3), nullptr);
  EXPECT_EQ(CreateTriMeshGeom(nullptr, vertices, 3, negative, 3), nullptr);
  EXPECT_EQ(CreateTriMeshGeom(nullptr, vertices, 3, good, 2), nullptr);
  EXPECT_EQ(CreateTriMeshGeom(nullptr, vertices, 0, good, 3), nullptr);
  EXPECT_EQ(CreateTriMeshGeom(nullptr, nullptr, 3, good, 3), nullptr);
}

TEST_F(PhysicsGeometryTest, SizesFollowTheSettersAndNegativeOnesBecomeZero) {
  dGeomID sphere = Keep(CreateSphereGeom(nullptr, 1));
  dGeomID box = Keep(CreateBoxGeom(nullptr, {1, 1, 1}));
  dGeomID capsule = Keep(CreateCCylinderGeom(nullptr, 1, 1));
  SetSphereGeomRadius(sphere, 2);
  SetBoxGeomLengths(box, {1, -2, 3});
  SetCCylinderGeomParams(capsule, 0.5f, 4);
  SetSphereGeomRadius(box, 5);
  EXPECT_DOUBLE_EQ(dGeomSphereGetRadius(sphere), 2);
  dVector3 lengths;
  dGeomBoxGetLengths(box, lengths);
  EXPECT_DOUBLE_EQ(lengths[1], 0);
  EXPECT_DOUBLE_EQ(lengths[2], 3);
  dReal radius, length;
  dGeomCapsuleGetParams(capsule, &radius, &length);
  EXPECT_DOUBLE_EQ(radius, 0.5);
  EXPECT_DOUBLE_EQ(length, 4);
}

TEST_F(PhysicsGeometryTest, BoundingBoxesSplitIntoCornersAndTouchingOnesOverlap) {
  dGeomID a = Keep(CreateBoxGeom(nullptr, {2, 2, 2}));
  dGeomID b = Keep(CreateBoxGeom(nullptr, {2, 2, 2}));
  SetGeomPosition(a, {1, 2, 3});
  Vector3 min, max;
  GetGeomAABB(a, &min, &max);
  ExpectVectorNear({0, 1, 2}, min);
  ExpectVectorNear({2, 3, 4}, max);
  SetGeomPosition(b, {3, 2, 3});
  EXPECT_EQ(GeomAABBsOverlap(a, b), 1);
  SetGeomPosition(b, {3.01f, 2, 3});
  EXPECT_EQ(GeomAABBsOverlap(a, b), 0);
}

TEST_F(PhysicsGeometryTest, TransformPlacesItsGeometryAndContactsNameTheTransform) {
  dGeomID transform = Keep(CreateGeomTransform(space));
  dGeomID inner = Keep(CreateSphereGeom(nullptr, 0.5f));
  SetGeomTransformGeom(transform, inner);
  SetGeomTransformInfo(transform, 1);
  SetGeomPosition(inner, {2, 0, 0});
  SetGeomPosition(transform, {0, 0.4f, 0});
  dGeomID plane = AddGroundPlane();
  ContactParameters contacts[4] = {};
  ASSERT_GE(CollideGeoms(transform, plane, 4, &contacts[0].geom, sizeof(ContactParameters)), 1);
  EXPECT_EQ(contacts[0].geom.g1, transform);
  EXPECT_NEAR(contacts[0].geom.pos[0], 2, 1e-5);

  dGeomID inSpace = Keep(CreateSphereGeom(space, 1));
  dGeomID other = Keep(CreateGeomTransform(nullptr));
  SetGeomTransformGeom(other, inSpace);
  EXPECT_STRNE(GetLastPhysicsError(), "");
}

TEST_F(PhysicsGeometryTest, DestroyingASpaceLeavesItsGeometriesAlive) {
  dSpaceID inner = CreateSimpleSpace(nullptr);
  dGeomID sphere = Keep(CreateSphereGeom(inner, 1));
  AddGeomToSpace(space, sphere);
  EXPECT_STRNE(GetLastPhysicsError(), "");
  DestroySpace(inner);
  SetSphereGeomRadius(sphere, 3);
  EXPECT_DOUBLE_EQ(dGeomSphereGetRadius(sphere), 3);
  EXPECT_EQ(dGeomGetSpace(sphere), nullptr);
  AddGeomToSpace(space, sphere);
  EXPECT_EQ(dGeomGetSpace(sphere), space);
}

}  // namespace
}  // namespace tge::test

#include "objects/gameplay/physics/PhysicsBody.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/core/math/MathTestUtil.h"
#include "tests/objects/gameplay/physics/PhysicsTestScene.h"

namespace tge::test {
namespace {

class PhysicsBodyTest : public PhysicsScene {};

// A point one unit along x from the body's centre.
Vector3 OffCentre(dBodyID body) {
  Vector3 position = GetBodyPosition(body);
  position.x += 1;
  return position;
}

TEST_F(PhysicsBodyTest, RotationCrossesInEngineOrderAndBuildsTheMatrix) {
  dBodyID body = AddBox({0, 0, 0});
  Quaternion rotation;
  QuaternionFromAxisAngle(rotation, {0, 1, 0}, 0.7f);
  SetBodyRotation(body, rotation);
  SetBodyPosition(body, {1, 2, 3});
  ExpectSameRotation(rotation, GetBodyRotation(body));
  EXPECT_NEAR(dBodyGetQuaternion(body)[0], rotation.w, 1e-6);

  Matrix4 expected, actual;
  Matrix4FromQuaternionPosition(expected, rotation, {1, 2, 3});
  EXPECT_EQ(GetBodyMatrix(body, &actual), &actual);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual.m[i], expected.m[i], 1e-6f) << i;
}

TEST_F(PhysicsBodyTest, VelocitiesAddToWhatTheBodyHas) {
  dBodyID body = AddBox({0, 0, 0});
  SetBodyLinearVel(body, {1, 2, 3});
  AddBodyLinearVel(body, {1, 1, 1});
  SetBodyAngularVel(body, {0, 1, 0});
  AddBodyAngularVel(body, {0, 1, 0});
  Vector3 velocity;
  EXPECT_EQ(GetBodyLinearVel(&velocity, body), &velocity);
  ExpectVectorNear({2, 3, 4}, velocity);
  ExpectVectorNear({0, 2, 0}, *GetBodyAngularVel(&velocity, body));
}

TEST_F(PhysicsBodyTest, BodyWithRotationOffKeepsItsOrientationUnderOffCentreForce) {
  dBodyID body = AddBox({0, 10, 0});
  Quaternion tilted;
  QuaternionFromAxisAngle(tilted, {1, 0, 1}, 0.3f);
  SetBodyRotation(body, tilted);
  EnableBodyRotation(body, 0);
  for (int i = 0; i < 60; ++i) {
    AddBodyForceAtPos(body, {0, 0, 50}, OffCentre(body));
    AddBodyTorque(body, {5, 5, 5});
    StepPhysicsWorld(physics, kStep);
  }
  ExpectSameRotation(tilted, GetBodyRotation(body), 1e-5f);
  EXPECT_LT(GetBodyPosition(body).y, 8.5f);
  EXPECT_GT(GetBodyPosition(body).z, 10.0f);

  EnableBodyRotation(body, 1);
  AddBodyForceAtPos(body, {0, 0, 50}, OffCentre(body));
  StepPhysicsWorld(physics, kStep);
  Vector3 spin;
  EXPECT_GT(Vector3Length(*GetBodyAngularVel(&spin, body)), 0.1f);
}

TEST_F(PhysicsBodyTest, UnusableValuesAreRefusedAndTheBodyKeepsItsState) {
  dBodyID body = AddBox({1, 2, 3});
  const float nan = std::numeric_limits<float>::quiet_NaN();
  SetBodyRotation(body, {0, 0, 0, 0});
  EXPECT_STRNE(GetLastPhysicsError(), "");
  SetBodyPosition(body, {nan, 0, 0});
  SetBodyLinearVel(body, {0, nan, 0});
  AddBodyForce(body, {0, 0, INFINITY});
  AddBodyForceAtPos(body, {1, 0, 0}, {nan, 0, 0});
  ExpectQuaternionNear({0, 0, 0, 1}, GetBodyRotation(body));
  ExpectVectorNear({1, 2, 3}, GetBodyPosition(body));
  StepPhysicsWorld(physics, kStep);
  EXPECT_TRUE(std::isfinite(GetBodyPosition(body).y));
}

TEST_F(PhysicsBodyTest, OwnerAndSwitchesReachTheBody) {
  dBodyID body = AddBox({0, 0, 0});
  auto* owner = reinterpret_cast<Object*>(&body);
  SetBodyData(body, owner);
  EXPECT_EQ(GetBodyData(body), owner);
  EnableBody(body, 0);
  EXPECT_EQ(IsBodyEnabled(body), 0);
  EnableBody(body, 1);
  EXPECT_EQ(IsBodyEnabled(body), 1);
  SetBodyGravityMode(body, 0);
  StepPhysicsWorld(physics, kStep);
  EXPECT_FLOAT_EQ(GetBodyPosition(body).y, 0);
}

TEST_F(PhysicsBodyTest, AutoDisabledBodyFallsAsleepAtRest) {
  AddGroundPlane();
  dBodyID body = AddBox({0, 0.5f, 0});
  SetBodyAutoDisable(body, 1);
  SetBodyAutoDisableLinearThreshold(body, 0.5f);
  SetBodyAutoDisableAngularThreshold(body, 0.5f);
  SetBodyAutoDisableSteps(body, 0);
  SetBodyAutoDisableTime(body, 1.0f);
  Run(90);
  EXPECT_EQ(IsBodyEnabled(body), 0);
}

}  // namespace
}  // namespace tge::test

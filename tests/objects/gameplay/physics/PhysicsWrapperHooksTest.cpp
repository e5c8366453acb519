#include "objects/gameplay/physics/PhysicsWrapperHooks.h"

#include <gtest/gtest.h>

#include <memory>
#include <numbers>

#include "core/Object.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "tests/objects/gameplay/physics/PhysicsTestScene.h"

namespace tge::test {
namespace {

void ExpectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-4f) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// A quarter turn about y: the body's x axis points along world -z.
Quaternion QuarterTurnAboutY() {
  Quaternion q;
  return QuaternionFromAxisAngle(q, Vector3{0, 1, 0}, std::numbers::pi_v<float> / 2);
}

// An object with a transform and a physics description, driven only through
// Object's own setters and getters.
class PhysicsHooksTest : public PhysicsScene {
 protected:
  void SetUp() override {
    PhysicsScene::SetUp();
    SetPhysicsWorldGravity(physics, {0, 0, 0});
    object->SetInheritOrientation(false);
    object->SetUsePhysics(true);
  }

  void TearDown() override {
    object->GetPhysics()->body = nullptr;
    PhysicsScene::TearDown();
  }

  dBodyID GiveBody() {
    dBodyID body = CreateBody(physics);
    bodies.push_back(body);
    object->GetPhysics()->body = ToPhysicsBody(body);
    return body;
  }

  std::unique_ptr<Object> object = std::make_unique<Object>();
};

TEST_F(PhysicsHooksTest, InitPhysicsInstallsTheHooksOnce) {
  PhysicsHooks* installed = GetPhysicsHooks();
  ASSERT_NE(installed, nullptr);
  InstallPhysicsHooks();
  InitPhysics();
  EXPECT_EQ(GetPhysicsHooks(), installed);
}

TEST_F(PhysicsHooksTest, ObjectMovesItsBodyAndReadsItsMatrixBack) {
  dBodyID body = GiveBody();
  object->SetPosition({1, 2, 3}, true);
  object->SetRotation(QuarterTurnAboutY(), true);
  ExpectNear(GetBodyPosition(body), {1, 2, 3});
  ExpectNear(object->GetAxisXWS(), {0, 0, -1});

  SetBodyPosition(body, {4, 5, 6});
  const Matrix4& world = object->GetWorldMatrix();
  ExpectNear({world.m[12], world.m[13], world.m[14]}, {4, 5, 6});
  ExpectNear(object->GetPositionWS(), {4, 5, 6});
  EXPECT_FLOAT_EQ(object->GetMass(), 1.0f);
  EXPECT_TRUE(object->IsBodyEnabled());
  EnableBody(body, 0);
  EXPECT_FALSE(object->IsBodyEnabled());
}

// Each kind of push, one step later, on a body turned a quarter about y that
// already moves and spins along y. The unit sphere's inertia is 0.4, so a
// torque of 60 for a sixtieth of a second adds 2.5 to the spin.
TEST_F(PhysicsHooksTest, EachBodyVectorReachesTheBodyAsItsKindSays) {
  struct Case {
    BodyVector what;
    float amount;  // along x
    Vector3 linear;
    Vector3 angular;
  };
  const Case cases[] = {
      {BodyVector::kSetLinearVelocity, 1, {1, 0, 0}, {0, 1, 0}},
      {BodyVector::kSetAngularVelocity, 1, {0, 1, 0}, {1, 0, 0}},
      {BodyVector::kAddLinearVelocity, 1, {1, 1, 0}, {0, 1, 0}},
      {BodyVector::kAddAngularVelocity, 1, {0, 1, 0}, {1, 1, 0}},
      {BodyVector::kAddForce, 60, {1, 1, 0}, {0, 1, 0}},
      {BodyVector::kAddTorque, 60, {0, 1, 0}, {2.5f, 1, 0}},
      {BodyVector::kAddRelativeForce, 60, {0, 1, -1}, {0, 1, 0}},
      {BodyVector::kAddRelativeTorque, 60, {0, 1, 0}, {0, 1, -2.5f}},
  };
  dBodyID body = GiveBody();
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.what));
    SetBodyPosition(body, {0, 0, 0});
    SetBodyRotation(body, QuarterTurnAboutY());
    SetBodyLinearVel(body, {0, 1, 0});
    SetBodyAngularVel(body, {0, 1, 0});
    object->ApplyBodyVector(c.what, {c.amount, 0, 0});
    StepPhysicsWorld(physics, kStep);
    ExpectNear(object->GetLinearVelocity(), c.linear, 1e-3f);
    ExpectNear(object->GetAngularVelocity(), c.angular, 1e-3f);
  }
}

TEST_F(PhysicsHooksTest, ForceAtAPositionOffTheCentreAlsoTurnsTheBody) {
  GiveBody();
  object->AddForceAtPosition({0, 60, 0}, {1, 0, 0});
  StepPhysicsWorld(physics, kStep);
  ExpectNear(object->GetLinearVelocity(), {0, 1, 0}, 1e-3f);
  ExpectNear(object->GetAngularVelocity(), {0, 0, 2.5f}, 1e-3f);
}

// Without a body the geometries follow the object; erasing one destroys its
// geometry through the hooks (a leak would show under the sanitizer).
TEST_F(PhysicsHooksTest, BodylessObjectPlacesEnablesAndDestroysItsGeometries) {
  GeometryRecord& record = object->AddGeometry();
  record.position = {0, 1, 0};
  dGeomID box = CreateBoxGeom(space, {1, 1, 1});
  record.geometry = ToPhysicsGeom(box);

  object->SetPosition({1, 2, 3}, true);
  const dReal* placed = dGeomGetPosition(box);
  ExpectNear({float(placed[0]), float(placed[1]), float(placed[2])}, {1, 3, 3});
  object->DisableGeometries();
  EXPECT_EQ(IsGeomEnabled(box), 0);
  object->EnableGeometries();
  EXPECT_EQ(IsGeomEnabled(box), 1);

  EXPECT_TRUE(object->EraseGeometry(0));
  EXPECT_EQ(dSpaceGetNumGeoms(space), 0);
}

}  // namespace
}  // namespace tge::test

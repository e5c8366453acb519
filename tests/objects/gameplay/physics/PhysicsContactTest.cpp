#include "objects/gameplay/physics/PhysicsContact.h"

#include <gtest/gtest.h>

#include "objects/gameplay/physics/PhysicsJoint.h"
#include "tests/objects/gameplay/physics/PhysicsTestScene.h"

namespace tge::test {
namespace {

class PhysicsContactTest : public PhysicsScene {};

TEST_F(PhysicsContactTest, BoxDroppedOnAPlaneComesToRestOnIt) {
  AddGroundPlane();
  dBodyID box = AddBox({0, 3, 0});
  Run(240);
  EXPECT_NEAR(GetBodyPosition(box).y, 0.5f, 0.02f);
  Vector3 velocity;
  EXPECT_LT(Vector3Length(*GetBodyLinearVel(&velocity, box)), 0.05f);
}

TEST_F(PhysicsContactTest, JoinedBodiesNeverCollideAndTouchingOnesDo) {
  dBodyID first = AddBox({0, 0, 0});
  dBodyID second = AddBox({0.9f, 0, 0});
  Collide();
  EXPECT_GE(ContactJointCount(first), 1);
  StepPhysicsWorld(physics, kStep);

  SetBodyPosition(first, {0, 0, 0});
  SetBodyPosition(second, {0.9f, 0, 0});
  dJointID hinge = CreateHingeJoint(physics);
  AttachJoint(hinge, first, second);
  Collide();
  EXPECT_EQ(ContactJointCount(first), 0);
  StepPhysicsWorld(physics, kStep);
  DestroyJoint(hinge);
}

TEST_F(PhysicsContactTest, SleepingPairsMakeNoContactsUntilOneMoves) {
  dBodyID first = AddBox({0, 0, 0});
  dBodyID second = AddBox({0.9f, 0, 0});
  EnableBody(first, 0);
  EnableBody(second, 0);
  Collide();
  EXPECT_EQ(ContactJointCount(first), 0);
  EnableBody(second, 1);
  Collide();
  EXPECT_GE(ContactJointCount(first), 1);
  StepPhysicsWorld(physics, kStep);
}

TEST_F(PhysicsContactTest, DisabledGeometriesMakeNoContacts) {
  AddGroundPlane();
  dBodyID box = AddBox({0, 0.45f, 0});
  EnableGeom(geometries.back(), 0);
  EXPECT_EQ(IsGeomEnabled(geometries.back()), 0);
  Collide();
  EXPECT_EQ(ContactJointCount(box), 0);
}

// Two overlapping shapes on one body would ask the library to join a body to
// itself, which it aborts on.
TEST_F(PhysicsContactTest, ShapesOfOneBodyNeverTouchEachOther) {
  dBodyID body = AddBox({0, 0, 0});
  dGeomID second = Keep(CreateSphereGeom(space, 1));
  SetGeomBody(second, body);
  Collide();
  EXPECT_EQ(ContactJointCount(body), 0);
}

TEST_F(PhysicsContactTest, NestedSpacesAreOpenedPairByPair) {
  dSpaceID inner = CreateSimpleSpace(space);
  Keep(reinterpret_cast<dGeomID>(inner));
  dBodyID body = CreateBody(physics);
  bodies.push_back(body);
  dGeomID sphere = Keep(CreateSphereGeom(inner, 0.5f));
  SetGeomBody(sphere, body);
  SetBodyPosition(body, {0, 0.45f, 0});
  AddGroundPlane();
  Collide();
  EXPECT_EQ(ContactJointCount(body), 1);
  StepPhysicsWorld(physics, kStep);
}

TEST_F(PhysicsContactTest, ContactWithANullRecordOrOnOneBodyIsNotMade) {
  dBodyID body = AddBox({0, 0, 0});
  ContactParameters contact = {};
  contact.geom.g1 = geometries.back();
  contact.geom.g2 = geometries.back();
  AddContact(physics, contact);
  contact.geom.g2 = nullptr;
  AddContact(nullptr, contact);
  EXPECT_EQ(ContactJointCount(body), 0);
  AddContact(physics, contact);
  EXPECT_EQ(ContactJointCount(body), 1);
  StepPhysicsWorld(physics, kStep);
}

}  // namespace
}  // namespace tge::test

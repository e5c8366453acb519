// A small physics scene shared by the physics tests: one world with gravity,
// one collision space, and the geometries and bodies a test makes in it,
// all released again at the end of the test.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "objects/gameplay/physics/PhysicsBody.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "objects/gameplay/physics/PhysicsGeometry.h"
#include "objects/gameplay/physics/PhysicsLibrary.h"
#include "objects/gameplay/physics/PhysicsMass.h"
#include "objects/gameplay/physics/PhysicsSpace.h"
#include "objects/gameplay/physics/PhysicsWorld.h"

namespace tge::test {

class PhysicsScene : public ::testing::Test {
 protected:
  static constexpr float kStep = 1.0f / 60;

  void SetUp() override {
    SeedPhysicsRandom(1);
    ClearLastPhysicsError();
    physics = CreatePhysicsWorld();
    SetPhysicsWorldGravity(physics, {0, -9.81f, 0});
    space = CreateSimpleSpace(nullptr);
  }

  void TearDown() override {
    for (dGeomID geometry : geometries) DestroyGeom(geometry);
    DestroySpace(space);
    for (dBodyID body : bodies) DestroyBody(body);
    DestroyPhysicsWorld(physics);
  }

  dGeomID Keep(dGeomID geometry) {
    geometries.push_back(geometry);
    return geometry;
  }

  // A body with a box of the given lengths and mass 1, at position.
  dBodyID AddBox(const Vector3& position, const Vector3& lengths = {1, 1, 1}) {
    dBodyID body = CreateBody(physics);
    bodies.push_back(body);
    dGeomID box = Keep(CreateBoxGeom(space, lengths));
    SetGeomBody(box, body);
    SetBodyMassFromGeom(body, box, 1, 0);
    SetBodyPosition(body, position);
    return body;
  }

  dGeomID AddGroundPlane() { return Keep(CreatePlaneGeom(space, 0, 1, 0, 0)); }

  // The collision pass of one tick: the space with itself, contacts made.
  void Collide() { CollideSpace(space, physics, PhysicsNearCallback); }

  void Run(int steps) {
    for (int i = 0; i < steps; ++i) {
      Collide();
      StepPhysicsWorld(physics, kStep);
    }
  }

  static int ContactJointCount(dBodyID body) {
    int count = 0;
    for (int i = 0; i < dBodyGetNumJoints(body); ++i) {
      count += dJointGetType(dBodyGetJoint(body, i)) == dJointTypeContact;
    }
    return count;
  }

  PhysicsWorld* physics = nullptr;
  dSpaceID space = nullptr;
  std::vector<dGeomID> geometries;
  std::vector<dBodyID> bodies;
};

}  // namespace tge::test

// The physics record behind a World: the library world, the contact joints
// of one step, the bodies made in it, and how it steps.
//
// A World creates one record when it starts and destroys it when it goes.
// Objects may still hold bodies and joints of the world at that moment, so
// the library world outlives the record's destruction until the last of them
// is released: handles that objects keep never point into freed memory.
#pragma once
#include <ode/ode.h>

#include <vector>

#include "core/math/Vector.h"

namespace tge {

struct PhysicsWorld {
  dWorldID world = nullptr;  // its user data points back to this record
  dJointGroupID contactGroup = nullptr;  // the contact joints of one step
  std::vector<dBodyID> bodies;           // made by CreateBody, in creation order
  int useQuickStep = 1;                  // 1: dWorldQuickStep, 0: dWorldStep
  int jointCount = 0;      // joints made by the joint layer and not yet destroyed
  bool released = false;   // DestroyPhysicsWorld has run; freed with the last body or joint
};

// A null record makes every world operation do nothing and return null or 0.
PhysicsWorld* CreatePhysicsWorld();
void DestroyPhysicsWorld(PhysicsWorld* physics);
// Steps by seconds (a step that is not positive becomes 0.000001, the library
// needs one), then empties the contact group: contact joints live one step.
void StepPhysicsWorld(PhysicsWorld* physics, float seconds);
void SetPhysicsWorldERP(PhysicsWorld* physics, float erp);
void SetPhysicsWorldCFM(PhysicsWorld* physics, float cfm);
void SetPhysicsWorldGravity(PhysicsWorld* physics, const Vector3& gravity);
void SetPhysicsWorldQuickStep(PhysicsWorld* physics, int useQuickStep);
// Counts below 1 are refused.
void SetPhysicsWorldQuickStepIterations(PhysicsWorld* physics, int iterations);
void SetPhysicsWorldMaxContactVelocity(PhysicsWorld* physics, float velocity);
void SetPhysicsWorldSurfaceLayerDepth(PhysicsWorld* physics, float depth);
int GetPhysicsWorldBodyCount(const PhysicsWorld* physics);
// Null for a null record or an index outside 0 .. count - 1.
dBodyID GetPhysicsWorldBody(const PhysicsWorld* physics, int index);

// Every live record, in creation order.
const std::vector<PhysicsWorld*>& GetPhysicsWorlds();

// For the body and joint operations: the record a library world belongs to,
// and the final release of a destroyed record once nothing is left in it.
PhysicsWorld* GetPhysicsWorldOf(dWorldID world);
void FreePhysicsWorldWhenEmpty(PhysicsWorld* physics);

}  // namespace tge

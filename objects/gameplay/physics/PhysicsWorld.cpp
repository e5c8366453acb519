#include "objects/gameplay/physics/PhysicsWorld.h"

#include <algorithm>

#include "objects/gameplay/physics/PhysicsLibrary.h"

namespace tge {
namespace {

constexpr float kMinimumStep = 0.000001f;

std::vector<PhysicsWorld*>& LivePhysicsWorlds() {
  static std::vector<PhysicsWorld*> worlds;
  return worlds;
}

}  // namespace

PhysicsWorld* CreatePhysicsWorld() {
  InitPhysics();
  auto* physics = new PhysicsWorld;
  physics->world = dWorldCreate();
  physics->contactGroup = dJointGroupCreate(0);
  dWorldSetData(physics->world, physics);
  LivePhysicsWorlds().push_back(physics);
  return physics;
}

void DestroyPhysicsWorld(PhysicsWorld* physics) {
  if (!physics || physics->released) return;
  auto& worlds = LivePhysicsWorlds();
  if (auto it = std::find(worlds.begin(), worlds.end(), physics); it != worlds.end()) {
    worlds.erase(it);
  }
  dJointGroupDestroy(physics->contactGroup);
  physics->contactGroup = nullptr;
  physics->released = true;
  FreePhysicsWorldWhenEmpty(physics);
}

void FreePhysicsWorldWhenEmpty(PhysicsWorld* physics) {
  if (!physics || !physics->released || !physics->bodies.empty() || physics->jointCount > 0) {
    return;
  }
  dWorldDestroy(physics->world);
  delete physics;
}

PhysicsWorld* GetPhysicsWorldOf(dWorldID world) {
  return world ? static_cast<PhysicsWorld*>(dWorldGetData(world)) : nullptr;
}

void StepPhysicsWorld(PhysicsWorld* physics, float seconds) {
  if (!physics || physics->released) return;
  const dReal step = seconds > 0 ? seconds : kMinimumStep;
  if (physics->useQuickStep) {
    dWorldQuickStep(physics->world, step);
  } else {
    dWorldStep(physics->world, step);
  }
  dJointGroupEmpty(physics->contactGroup);
}

void SetPhysicsWorldERP(PhysicsWorld* physics, float erp) {
  if (physics) dWorldSetERP(physics->world, erp);
}

void SetPhysicsWorldCFM(PhysicsWorld* physics, float cfm) {
  if (physics) dWorldSetCFM(physics->world, cfm);
}

void SetPhysicsWorldGravity(PhysicsWorld* physics, const Vector3& gravity) {
  if (physics) dWorldSetGravity(physics->world, gravity.x, gravity.y, gravity.z);
}

void SetPhysicsWorldQuickStep(PhysicsWorld* physics, int useQuickStep) {
  if (physics) physics->useQuickStep = useQuickStep;
}

void SetPhysicsWorldQuickStepIterations(PhysicsWorld* physics, int iterations) {
  if (!physics) return;
  if (iterations < 1) {
    ReportPhysicsError("SetPhysicsWorldQuickStepIterations", "the count must be at least 1");
    return;
  }
  dWorldSetQuickStepNumIterations(physics->world, iterations);
}

void SetPhysicsWorldMaxContactVelocity(PhysicsWorld* physics, float velocity) {
  if (physics) dWorldSetContactMaxCorrectingVel(physics->world, velocity);
}

void SetPhysicsWorldSurfaceLayerDepth(PhysicsWorld* physics, float depth) {
  if (physics) dWorldSetContactSurfaceLayer(physics->world, depth);
}

int GetPhysicsWorldBodyCount(const PhysicsWorld* physics) {
  return physics ? static_cast<int>(physics->bodies.size()) : 0;
}

dBodyID GetPhysicsWorldBody(const PhysicsWorld* physics, int index) {
  if (!physics || index < 0 || index >= GetPhysicsWorldBodyCount(physics)) return nullptr;
  return physics->bodies[index];
}

const std::vector<PhysicsWorld*>& GetPhysicsWorlds() { return LivePhysicsWorlds(); }

}  // namespace tge

// The cost of the physics wrapper: 1,000 boxes falling onto a plane for 300
// steps, once through the wrapper and once written directly against ODE
// with the same near-callback rules, so the two timings differ only by what
// the wrapper adds.
#include <benchmark/benchmark.h>

#include <ode/ode.h>

#include <vector>

#include "objects/gameplay/physics/PhysicsBody.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "objects/gameplay/physics/PhysicsGeometry.h"
#include "objects/gameplay/physics/PhysicsLibrary.h"
#include "objects/gameplay/physics/PhysicsMass.h"
#include "objects/gameplay/physics/PhysicsSpace.h"
#include "objects/gameplay/physics/PhysicsWorld.h"

namespace tge {
namespace {

constexpr int kColumns = 40;
constexpr int kRows = 25;
constexpr int kSteps = 300;
constexpr float kStep = 1.0f / 60;

// Staggered heights so the boxes land at different times.
Vector3 BoxStart(int index) {
  return {(index % kColumns) * 1.5f, 1.0f + (index % 7) * 0.4f, (index / kColumns) * 1.5f};
}

void WrapperScene(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    SeedPhysicsRandom(1);
    PhysicsWorld* physics = CreatePhysicsWorld();
    SetPhysicsWorldGravity(physics, {0, -9.81f, 0});
    dSpaceID space = CreateSimpleSpace(nullptr);
    std::vector<dGeomID> geometries = {CreatePlaneGeom(space, 0, 1, 0, 0)};
    std::vector<dBodyID> bodies;
    for (int i = 0; i < kColumns * kRows; ++i) {
      dBodyID body = CreateBody(physics);
      dGeomID box = CreateBoxGeom(space, {1, 1, 1});
      SetGeomBody(box, body);
      SetBodyMassFromGeom(body, box, 1, 0);
      SetBodyPosition(body, BoxStart(i));
      bodies.push_back(body);
      geometries.push_back(box);
    }
    state.ResumeTiming();

    for (int step = 0; step < kSteps; ++step) {
      CollideSpace(space, physics, PhysicsNearCallback);
      StepPhysicsWorld(physics, kStep);
    }

    state.PauseTiming();
    benchmark::DoNotOptimize(GetBodyPosition(bodies.front()));
    for (dGeomID geometry : geometries) DestroyGeom(geometry);
    DestroySpace(space);
    for (dBodyID body : bodies) DestroyBody(body);
    DestroyPhysicsWorld(physics);
    state.ResumeTiming();
  }
}

struct RawScene {
  dWorldID world;
  dJointGroupID contacts;
};

void RawNearCallback(void* data, dGeomID a, dGeomID b) {
  auto* scene = static_cast<RawScene*>(data);
  if (dGeomIsSpace(a) || dGeomIsSpace(b)) {
    dSpaceCollide2(a, b, data, RawNearCallback);
    return;
  }
  if (!dGeomIsEnabled(a) || !dGeomIsEnabled(b)) return;
  dBodyID first = dGeomGetBody(a);
  dBodyID second = dGeomGetBody(b);
  if (first && second) {
    if (first == second || (!dBodyIsEnabled(first) && !dBodyIsEnabled(second))) return;
    if (dAreConnectedExcluding(first, second, dJointTypeContact)) return;
  }
  dContact contact[kMaxContactsPerPair] = {};
  const int count = dCollide(a, b, kMaxContactsPerPair, &contact[0].geom, sizeof(dContact));
  for (int i = 0; i < count; ++i) {
    contact[i].surface.mu = kDefaultContactFriction;
    dJointID joint = dJointCreateContact(scene->world, scene->contacts, &contact[i]);
    dJointAttach(joint, first, second);
  }
}

void RawOdeScene(benchmark::State& state) {
  InitPhysics();
  for (auto _ : state) {
    state.PauseTiming();
    dRandSetSeed(1);
    RawScene scene = {dWorldCreate(), dJointGroupCreate(0)};
    dWorldSetGravity(scene.world, 0, -9.81, 0);
    dSpaceID space = dSimpleSpaceCreate(nullptr);
    dSpaceSetCleanup(space, 0);
    std::vector<dGeomID> geometries = {dCreatePlane(space, 0, 1, 0, 0)};
    std::vector<dBodyID> bodies;
    for (int i = 0; i < kColumns * kRows; ++i) {
      dBodyID body = dBodyCreate(scene.world);
      dGeomID box = dCreateBox(space, 1, 1, 1);
      dGeomSetBody(box, body);
      dMass mass;
      dMassSetBoxTotal(&mass, 1, 1, 1, 1);
      dBodySetMass(body, &mass);
      const Vector3 start = BoxStart(i);
      dBodySetPosition(body, start.x, start.y, start.z);
      bodies.push_back(body);
      geometries.push_back(box);
    }
    state.ResumeTiming();

    for (int step = 0; step < kSteps; ++step) {
      dSpaceCollide(space, &scene, RawNearCallback);
      dWorldQuickStep(scene.world, kStep);
      dJointGroupEmpty(scene.contacts);
    }

    state.PauseTiming();
    benchmark::DoNotOptimize(dBodyGetPosition(bodies.front())[1]);
    for (dGeomID geometry : geometries) dGeomDestroy(geometry);
    dSpaceDestroy(space);
    dJointGroupDestroy(scene.contacts);
    dWorldDestroy(scene.world);
    state.ResumeTiming();
  }
}

BENCHMARK(WrapperScene)->Unit(benchmark::kMillisecond);
BENCHMARK(RawOdeScene)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tge

BENCHMARK_MAIN();

// The engine's World with physics and one collision Space, and helpers to
// hang bodies and other objects in it, start their physics the way start-up
// does and run frames on a clock the test drives. Base is the fixture that
// makes the engine (and the services, when it makes them).
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "core/World.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/physics/PhysicsWorld.h"
#include "objects/gameplay/world/Space.h"
#include "tests/engine/EngineTestFixture.h"

namespace tge::test {

template <class Base>
class WorldTestSceneOn : public Base {
 protected:
  static constexpr double kStep = 1.0 / 60;

  static double& Now() {
    static double now = 0;
    return now;
  }
  static double ReadNow() { return Now(); }

  void SetUp() override {
    Base::SetUp();
    Now() = 0;
    World::SetClock(&ReadNow);
    Engine& engine = *GetEngine();
    world = &engine.GetEngineWorld();
    std::int32_t on = 1;
    world->ExecuteCommand(14250, &on);
    world->Precalculate();
    ASSERT_NE(world->GetPhysicsWorld(), nullptr);
    cell = static_cast<Space*>(CreateObject(kClassSpace, nullptr, engine, "Cell"));
    cell->SetWorld(world);
    cell->Precalculate();
  }

  // A unit box of mass 1 at a world position.
  Object& Body(Object& parent, const std::string& name, const Vector3& at) {
    Object& object = Placed(parent, kClassObject, name, at);
    object.SetUsePhysics(true);
    object.GetPhysics()->flags = kPhysicsEnableRigidBody;
    GeometryRecord& box = object.AddGeometry();
    box.info = kGeometryBox | kGeometryMassByDensity;
    box.dimension = {1, 1, 1};
    return object;
  }

  // An object of the class at a world position, in the World and the cell.
  Object& Placed(Object& parent, int classId, const std::string& name, const Vector3& at) {
    Object& object = *CreateObject(classId, nullptr, parent, name.c_str());
    object.SetWorld(world);
    object.SetSpace(cell);
    object.SetInheritOrientation(false);
    object.SetWSOrientation(true);
    object.SetPosition(at, true);
    return object;
  }

  // Bodies, then joints, as the engine's physics start sends them.
  static void StartPhysics(Object& root) {
    root.ExecuteCommand(161, nullptr);
    root.ExecuteCommand(162, nullptr);
  }

  void RunFrames(int frames) {
    for (int i = 0; i < frames; ++i) {
      world->PhysicsStep();
      Now() += kStep;
      world->WorldTick();
      world->PostPass();
    }
  }

  // One tick of the World's updates, dt seconds after the last.
  void Tick(double dt) {
    Now() += dt;
    world->WorldTick();
  }

  World* world = nullptr;
  Space* cell = nullptr;
};

using WorldTestScene = WorldTestSceneOn<EngineTest>;

}  // namespace tge::test

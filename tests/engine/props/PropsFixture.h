// The engine's World with physics over one room whose floor is a collision
// mesh at y = 0, a clock the test advances, and props and sensors that log
// the events of their own types they raise, with their senders. RoomTest
// serves other engine fixtures the same room.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/ObjectHooks.h"
#include "core/World.h"
#include "objects/gameplay/world/Space.h"
#include "services/EngineServices.h"
#include "tests/engine/EngineTestFixture.h"
#include "tests/engine/FloorCollision.h"

namespace tge::test {

struct RaisedEvent {
  int id;
  Object* sender;
  bool operator==(const RaisedEvent&) const = default;
};
using RaisedEvents = std::vector<RaisedEvent>;

template <class Base>
class Recorded : public Base {
 public:
  explicit Recorded(RaisedEvents& events) : events_(events) {}
  int FireEvent(int eventId, Object* sender) override {
    if (eventId >= kCommandsPerClass) events_.push_back({eventId, sender});
    return Base::FireEvent(eventId, sender);
  }

 private:
  RaisedEvents& events_;
};

inline double& PropsClock() {
  static double now = 0;
  return now;
}

// The engine's World with physics on and a room whose floor is a collision
// mesh at y = 0 reaching `half` from the origin each way, over the engine
// fixture Base. MakeRoom runs once the engine is made; the data folder is
// the derived fixture's to set.
template <class Base>
class RoomTest : public Base {
 protected:
  void MakeRoom(float half, float bottom) {
    AddFloorCollision(data, -half, half, -half, half);
    PropsClock() = 0;
    World::SetClock([] { return PropsClock(); });
    world = &this->engine->GetEngineWorld();
    std::int32_t on = 1;
    world->ExecuteCommand(14250, &on);
    room = static_cast<Space*>(CreateObject(kClassSpace, nullptr, *this->engine, "Room"));
    room->SetWorld(world);
    room->SetInheritOrientation(false);
    room->SetLocalBox({{-half, bottom, -half}, {half, 40, half}});
    room->AddCollisionEntry("Floor");
  }

  int Count(int id) const {
    int n = 0;
    for (const RaisedEvent& e : events) n += e.id == id ? 1 : 0;
    return n;
  }

  TempDataFolder data;
  World* world = nullptr;
  Space* room = nullptr;
  RaisedEvents events;
};

class PropsTest : public RoomTest<EngineTest> {
 protected:
  static constexpr double kStep = 1.0 / 60;

  void SetUp() override {
    ASSERT_TRUE(CreateEngineServices());
    GetEngineServices()->SetDataFolder(data.Folder());
    EngineTest::SetUp();
    MakeRoom(20, -1);
  }

  void TearDown() override {
    EngineTest::TearDown();
    DestroyEngineServices();
  }

  // A recorded object of type T under parent, given the editor's default
  // set-up, at a world position.
  template <class T>
  T& Place(Object& parent, const std::string& name, const Vector3& at) {
    auto made = std::make_unique<Recorded<T>>(events);
    T& placed = static_cast<T&>(*parent.AddChild(std::move(made)));
    placed.SetWorld(world);
    placed.SetName(name);
    placed.ExecuteCommand(177, nullptr);
    placed.SetInheritOrientation(false);
    placed.SetPosition(at, false);
    return placed;
  }

  // A body-less object with one box geometry of the given category.
  Object& AddBlock(Object& parent, const std::string& name, const Vector3& at, std::uint32_t category) {
    Object& block = Add(parent, name);
    block.SetPosition(at, false);
    GeometryRecord& box = block.AddGeometry();
    box.info = kGeometryBox;
    box.dimension = {1, 1, 1};
    box.collisionBits = category;
    box.categoryBits = category;
    return block;
  }

  // Start-up as the engine does it: the World makes its physics, the room
  // and its objects are started, then their physics is built.
  void Start() {
    world->Precalculate();
    room->Precalculate();
    world->ExecuteCommand(14272, nullptr);
    room->Start();
    room->ExecuteCommand(161, nullptr);
  }

  // One frame: the physics step, then the tick with the clock advanced.
  void Step() { world->PhysicsStep(); }
  void Tick(double seconds = kStep) {
    PropsClock() += seconds;
    world->WorldTick();
    world->PostPass();
  }
  void RunFrames(int frames) {
    for (int i = 0; i < frames; ++i) {
      Step();
      Tick();
    }
  }

  RaisedEvents Take() {
    RaisedEvents taken;
    taken.swap(events);
    return taken;
  }
};

}  // namespace tge::test

// A World on a clock the test turns, with the object services installed, and
// a probe object that logs the commands and events it receives.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "core/CommandRegistry.h"
#include "core/World.h"
#include "core/trees/ObjectServices.h"

namespace tge::test {

// Test commands in a block no type owns.
inline constexpr int kProbeFloat = 17600;   // Float
inline constexpr int kProbeVector = 17601;  // Float, Vector3
inline constexpr int kProbeText = 17602;    // String
inline constexpr int kProbeNone = 17603;    // no arguments

inline double& FakeNow() {
  static double now = 0;
  return now;
}

inline double ReadFakeClock() { return FakeNow(); }

struct ProbeCall {
  int id;
  float value;  // the first float of the block; NaN without one
  std::string text;
};

class Probe : public Object {
 public:
  int ExecuteCommand(std::uint32_t id, void* args) override {
    const int probeId = static_cast<int>(id);
    if (probeId >= kProbeFloat && probeId <= kProbeNone) {
      ProbeCall call{probeId, std::nanf(""), {}};
      if (args != nullptr && probeId == kProbeText) call.text = *static_cast<std::string*>(args);
      else if (args != nullptr) call.value = CommandArgs(args).Get<float>();
      if (args != nullptr && probeId == kProbeVector) lastVector = CommandArgs(args).Get<Vector3>(4);
      calls.push_back(call);
      if (onCall) onCall(*this, call);
      return 1;
    }
    return Object::ExecuteCommand(id, args);
  }
  int FireEvent(int eventId, Object* sender) override {
    events.push_back(eventId);
    senders.push_back(sender);
    return Object::FireEvent(eventId, sender);
  }
  void Update() override { ++updates; if (onUpdate) onUpdate(*this); }

  int CountCalls(int id) const {
    int count = 0;
    for (const ProbeCall& call : calls) count += call.id == id ? 1 : 0;
    return count;
  }

  std::vector<ProbeCall> calls;
  std::vector<int> events;
  std::vector<Object*> senders;
  Vector3 lastVector;
  int updates = 0;
  std::function<void(Probe&, const ProbeCall&)> onCall;
  std::function<void(Probe&)> onUpdate;
};

class WorldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterBaseCommands();
    RegisterFileCommands();
    RegisterWorldCommands();
    RegisterCommand(kProbeFloat, "ProbeFloat", 0, kCommandSetter, {kValueFloat});
    RegisterCommand(kProbeVector, "ProbeVector", 0, kCommandSetter, {kValueFloat, kValueVector3});
    RegisterCommand(kProbeText, "ProbeText", 0, kCommandSetter, {kValueString});
    RegisterCommand(kProbeNone, "ProbeNone", 0, kCommandPlain, {});
    SetObjectHooks(&services);
    FakeNow() = 0;
    World::SetClock(&ReadFakeClock);
    world = std::make_unique<World>();
  }

  void TearDown() override {
    world.reset();
    World::SetClock(nullptr);
    SetObjectHooks(nullptr);
  }

  void Tick(double seconds) {
    FakeNow() += seconds;
    world->WorldTick();
  }

  Probe& AddProbe(Object& parent, const std::string& name = "probe") {
    auto probe = std::make_unique<Probe>();
    probe->SetName(name);
    probe->SetWorld(parent.GetWorld());
    return static_cast<Probe&>(*parent.AddChild(std::move(probe)));
  }
  Probe& AddProbe(const std::string& name = "probe") { return AddProbe(*world, name); }

  ObjectServices services;
  std::unique_ptr<World> world;
};

}  // namespace tge::test

// What one World tick costs with 10,000 pending scheduled calls of mixed
// kinds on 1,000 objects: per object three every-frame calls, two delayed
// calls not yet due, two running interpolations (driving SetPositionX), two
// repeating calls (one due every few frames) and an update registration.
// The clock advances 1/60 s per tick.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "core/CommandScheduler.h"
#include "core/ObjectFactory.h"
#include "core/World.h"
#include "core/trees/ObjectServices.h"

namespace tge {
namespace {

constexpr int kObjects = 1000;
constexpr int kSetPositionX = 31;
constexpr int kInitializeNewObject = 177;
constexpr int kGetPosition = 18;

double& Now() {
  static double now = 0;
  return now;
}

double ReadClock() { return Now(); }

class Ticking : public Object {
 public:
  void Update() override { ++updates; }
  int updates = 0;
};

void PostMixedCalls(World& world, Object& object) {
  float x = 0;
  for (int i = 0; i < 2; ++i) {
    world.RepeatCommand(object, kInitializeNewObject, nullptr, 0);
    world.DelayCommand(object, kSetPositionX, &x, 1e9f, kScheduleGeneral);
    world.InterpolateCommand(object, kSetPositionX, &x, 1e9f, 0, 1, kScheduleGeneral);
    world.RepeatCommand(object, kGetPosition, nullptr, i == 0 ? 0.05f : 1e9f);
  }
  world.RepeatCommand(object, kInitializeNewObject, nullptr, 0);
}

void BM_WorldTickWithTenThousandCalls(benchmark::State& state) {
  RegisterBaseCommands();
  RegisterWorldCommands();
  ObjectServices services;
  SetObjectHooks(&services);
  World::SetClock(&ReadClock);
  auto world = std::make_unique<World>();
  for (int i = 0; i < kObjects; ++i) {
    auto made = std::make_unique<Ticking>();
    made->SetWorld(world.get());
    Object* object = world->AddChild(std::move(made));
    object->SetInheritOrientation(false);
    PostMixedCalls(*world, *object);
    object->EnableUpdate();
  }
  for (auto _ : state) {
    Now() += 1.0 / 60.0;
    world->WorldTick();
  }
  state.counters["calls"] = 10 * kObjects;
  world.reset();
  World::SetClock(nullptr);
  SetObjectHooks(nullptr);
}
BENCHMARK(BM_WorldTickWithTenThousandCalls)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tge

BENCHMARK_MAIN();

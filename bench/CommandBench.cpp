// What a command costs: sending one by id through ExecuteCommand and its
// type's command table against calling the same member as a plain virtual
// function, and turning a command name into an id as the interpreter does
// for every statement (own block, base block, then every id).
#include <benchmark/benchmark.h>

#include <string>

#include "core/CommandTable.h"
#include "core/Object.h"

namespace tge {

constexpr int kGaugeClass = 70;
constexpr int kFirstGaugeId = kGaugeClass * kCommandsPerClass;

// Outside the anonymous namespace, as an engine type is: a class the compiler
// knows every subclass of would have its virtual calls made direct.
class Gauge : public Object {
 public:
  static const CommandEntry<Gauge> kCommands[];

  Gauge() : Object(kGaugeClass) {}
  int ExecuteCommand(std::uint32_t id, void* args) override;
  virtual void SetLevel(float level) { level_ = level; }
  // The same member kept out of line: a virtual call the compiler cannot
  // turn into an inlined store behind a type check.
  [[gnu::noinline]] virtual void SetLevelOutOfLine(float level) { level_ = level; }

  // Does the setter's work itself: the figures then differ only by the way
  // the store is reached, not by a further virtual call behind the command.
  int SetLevelCommand(CommandArgs args) {
    level_ = args.Get<float>();
    return 1;
  }
  int GetLevelCommand(CommandArgs args) {
    args.Set(level_);
    return 1;
  }

 private:
  float level_ = 0;
};

constexpr CommandEntry<Gauge> Gauge::kCommands[] = {
    {kFirstGaugeId, "GaugeLevel", CommandKind::kProperty, 0, {kValueFloat}, Member<&Gauge::SetLevelCommand>,
     Member<&Gauge::GetLevelCommand>},
};

int Gauge::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Gauge> handlers(kGaugeClass, {kCommands});
  if (const auto handler = handlers.Find(id, args)) return handler(*this, CommandArgs(args));
  return Object::ExecuteCommand(id, args);
}

namespace {

// Every way of setting the level runs the same loop, so the figures differ
// only by the call. The values take turns and are not written in the loop: a
// value changed every iteration would make each call wait for the last one's
// store to reach its load, a cost of the benchmark rather than of the call.
template <class Call>
void SetLevels(benchmark::State& state, Call call) {
  Gauge gauge;
  Gauge* target = &gauge;
  benchmark::DoNotOptimize(target);
  float levels[2] = {0.5f, 1.5f};
  std::size_t turn = 0;
  for (auto _ : state) {
    call(*target, &levels[turn]);
    benchmark::ClobberMemory();
    turn ^= 1;
  }
}

// Sent as callers send it, through an Object of unknown type.
void BM_ExecuteCommandById(benchmark::State& state) {
  SetLevels(state, [](Object& object, float* level) {
    benchmark::DoNotOptimize(object.ExecuteCommand(kFirstGaugeId, level));
  });
}
BENCHMARK(BM_ExecuteCommandById);

void BM_DirectVirtualCall(benchmark::State& state) {
  SetLevels(state, [](Gauge& gauge, const float* level) { gauge.SetLevel(*level); });
}
BENCHMARK(BM_DirectVirtualCall);

void BM_DirectVirtualCallOutOfLine(benchmark::State& state) {
  SetLevels(state, [](Gauge& gauge, const float* level) { gauge.SetLevelOutOfLine(*level); });
}
BENCHMARK(BM_DirectVirtualCallOutOfLine);

// A registry filled as at start-up: the base block and 80 types of about
// 120 commands each.
CommandRegistry& FilledRegistry() {
  static CommandRegistry registry = [] {
    CommandRegistry filled;
    for (int classId = 0; classId < 82; ++classId) {
      if (classId == 1) continue;
      const int count = classId == 0 ? 220 : 120;
      for (int i = 0; i < count; ++i) {
        const int id = classId * kCommandsPerClass + i;
        const std::string name = "Type" + std::to_string(classId) + "Command" + std::to_string(i);
        filled.RegisterCommand(id, name, classId, 0, {});
      }
    }
    filled.RegisterCommand(17, "SetPosition", 0, kCommandSetter, {});
    filled.RegisterCommand(60 * kCommandsPerClass + 40, "AIPlayerRun", 60, 0, {});
    return filled;
  }();
  return registry;
}

void FindCommandIdBench(benchmark::State& state, int classId, const char* name) {
  const CommandRegistry& registry = FilledRegistry();
  const std::string text = name;
  for (auto _ : state) benchmark::DoNotOptimize(registry.FindCommandId(classId, text));
}

void BM_FindCommandIdBase(benchmark::State& state) { FindCommandIdBench(state, 60, "SetPosition"); }
BENCHMARK(BM_FindCommandIdBase);

void BM_FindCommandIdOwnType(benchmark::State& state) { FindCommandIdBench(state, 60, "AIPlayerRun"); }
BENCHMARK(BM_FindCommandIdOwnType);

void BM_FindCommandIdMissing(benchmark::State& state) { FindCommandIdBench(state, 60, "NoSuchCommand"); }
BENCHMARK(BM_FindCommandIdMissing);

}  // namespace
}  // namespace tge

BENCHMARK_MAIN();

// What a script statement costs: "this.SetPosition(1, 2, 3);" and the same
// command through a three-level path, on a tree of 1,000 objects (the last
// child at every level, the longest walk). A stored script runs its compiled
// steps: its path resolves and its command is sent at every run, with the
// arguments packed once. A text run reads the text every time. The counter
// allocs_per_statement counts calls of the global operator new during the
// timed loop; a warm stored run must show 0.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>

#include "bench/AllocationCount.h"
#include "bench/BenchTree.h"
#include "core/CommandRegistry.h"
#include "core/Object.h"
#include "core/script/ScriptInterpreter.h"


namespace tge {
namespace {

constexpr int kBenchEvent = 1;

void RunStatements(benchmark::State& state, const char* text, bool stored) {
  FreeCommandRegistry();
  RegisterBaseCommands();
  Object* deepest = nullptr;
  auto root = BuildBenchTree(deepest);
  Object& context = *deepest;
  context.SetUseScript(true);
  context.GetScripts()->push_back({"Bench", text, kBenchEvent});
  const auto run = [&] { stored ? context.FireEvent(kBenchEvent, nullptr) : RunScriptText(context, text, nullptr); };
  run();  // warm
  const long before = AllocationCount();
  for (auto _ : state) run();
  const long allocations = AllocationCount() - before;
  state.SetItemsProcessed(state.iterations());
  state.counters["allocs_per_statement"] =
      static_cast<double>(allocations) / static_cast<double>(std::max<std::int64_t>(1, state.iterations()));
  benchmark::DoNotOptimize(context.GetPosition());
  FreeCommandRegistry();
}

constexpr const char* kOnThis = "this.SetPosition(1, 2, 3);";
constexpr const char* kThreeLevels = "/A8/B9/C9.SetPosition(1, 2, 3);";

void BM_StatementOnThis(benchmark::State& state) { RunStatements(state, kOnThis, true); }
BENCHMARK(BM_StatementOnThis);

void BM_StatementThreeLevelPath(benchmark::State& state) { RunStatements(state, kThreeLevels, true); }
BENCHMARK(BM_StatementThreeLevelPath);

void BM_TextStatementOnThis(benchmark::State& state) { RunStatements(state, kOnThis, false); }
BENCHMARK(BM_TextStatementOnThis);

void BM_TextStatementThreeLevelPath(benchmark::State& state) { RunStatements(state, kThreeLevels, false); }
BENCHMARK(BM_TextStatementThreeLevelPath);

}  // namespace
}  // namespace tge

BENCHMARK_MAIN();

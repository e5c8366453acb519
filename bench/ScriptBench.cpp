// What a script statement costs: "this.SetPosition(1, 2, 3);" and the same
// command through a three-level path, run by the interpreter on a tree of
// 1,000 objects (the last child at every level, the longest walk). Every
// statement is read from the text, its name looked up, its arguments packed
// and the command sent. The counter allocs_per_statement counts calls of the
// global operator new during the timed loop; a warm run must show 0.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "bench/AllocationCount.h"
#include "core/CommandRegistry.h"
#include "core/Object.h"
#include "core/ScriptInterpreter.h"


namespace tge {
namespace {

class Node : public Object {};

// root, 9 children, 10 grandchildren each, 10 great-grandchildren each:
// 1 + 9 + 90 + 900 = 1,000 objects.
std::unique_ptr<Object> BuildTree(Object*& deepest) {
  auto root = std::make_unique<Node>();
  root->SetName("root");
  const int widths[] = {9, 10, 10};
  std::vector<Object*> level{root.get()};
  for (int depth = 0; depth < 3; ++depth) {
    std::vector<Object*> next;
    for (Object* parent : level) {
      for (int i = 0; i < widths[depth]; ++i) {
        auto child = std::make_unique<Node>();
        child->SetName(std::string(1, static_cast<char>('A' + depth)) + std::to_string(i));
        child->SetInheritOrientation(false);
        next.push_back(parent->AddChild(std::move(child)));
      }
    }
    level = std::move(next);
  }
  deepest = level.back();
  return root;
}

void RunStatements(benchmark::State& state, const char* text) {
  FreeCommandRegistry();
  RegisterBaseCommands();
  Object* deepest = nullptr;
  auto root = BuildTree(deepest);
  Object& context = *deepest;
  RunScriptText(context, text, nullptr);  // warm
  const long before = bench::allocationCount.load();
  for (auto _ : state) RunScriptText(context, text, nullptr);
  const long allocations = bench::allocationCount.load() - before;
  state.SetItemsProcessed(state.iterations());
  state.counters["allocs_per_statement"] =
      static_cast<double>(allocations) / static_cast<double>(std::max<std::int64_t>(1, state.iterations()));
  benchmark::DoNotOptimize(context.GetPosition());
  FreeCommandRegistry();
}

void BM_StatementOnThis(benchmark::State& state) { RunStatements(state, "this.SetPosition(1, 2, 3);"); }
BENCHMARK(BM_StatementOnThis);

void BM_StatementThreeLevelPath(benchmark::State& state) {
  RunStatements(state, "/A8/B9/C9.SetPosition(1, 2, 3);");
}
BENCHMARK(BM_StatementThreeLevelPath);

}  // namespace
}  // namespace tge

BENCHMARK_MAIN();

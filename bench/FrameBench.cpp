// A whole frame at scale: a Space holding 19,600 Mesh objects on a 140 x 140
// grid (one box mesh, one material) seen whole by a fixed camera, drawn by
// Engine::RunFrame on the null device. Reported: time per frame, meshes
// drawn per frame (all of them, or the benchmark fails), heap bytes per Mesh
// object and allocations per frame once warm. The rows are made nearest
// first or farthest first; the order must not matter.
//
// BM_FrameOfSize runs grids of 32 to 283 a side (1,024 to 80,089 meshes) over
// the same ground, nearest rows first, and reports the time per mesh, which
// should stay about the same.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>

#include "bench/AllocationCount.h"
#include "engine/Engine.h"
#include "platform/gfx/NullDevice.h"
#include "tests/support/NullScene.h"

namespace tge {
namespace {

constexpr int kGrid = 140;
// The side of the ground every grid covers.
constexpr float kGround = 70.0f;
constexpr float kBoxSize = 0.2f;

void BuildGrid(NullScene& scene, int grid, bool nearFirst) {
  const float spacing = kGround / static_cast<float>(grid);
  for (int row = 0; row < grid; ++row) {
    const int depth = nearFirst ? row : grid - 1 - row;
    for (int column = 0; column < grid; ++column) {
      const float x = (static_cast<float>(column) - static_cast<float>(grid) / 2.0f) * spacing;
      AddBoxMesh(scene, {x, 0, static_cast<float>(depth) * spacing});
    }
  }
}

void RunFrames(benchmark::State& state, int grid, bool nearFirst) {
  NullScene scene;
  if (!StartNullScene(scene, kBoxSize)) {
    state.SkipWithError("the engine did not start");
    ShutdownNullScene();
    return;
  }
  const std::size_t heapBefore = mallinfo2().uordblks;
  BuildGrid(scene, grid, nearFirst);
  const double meshes = static_cast<double>(grid) * grid;
  const double heapPerMesh = static_cast<double>(mallinfo2().uordblks - heapBefore) / meshes;
  PrepareNullSceneFrames(scene);
  for (int i = 0; i < 3; ++i) scene.engine->RunFrame();  // warm
  scene.device->ClearCounts();
  const long before = AllocationCount();
  for (auto _ : state) scene.engine->RunFrame();
  const double frames = static_cast<double>(std::max<std::int64_t>(1, state.iterations()));
  const double drawn = static_cast<double>(scene.device->Draws()) / frames;
  state.counters["drawn_per_frame"] = drawn;
  state.counters["heap_bytes_per_mesh"] = heapPerMesh;
  state.counters["allocs_per_frame"] = static_cast<double>(AllocationCount() - before) / frames;
  state.counters["per_mesh"] =
      benchmark::Counter(meshes, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  if (drawn != meshes) state.SkipWithError("not every mesh was drawn");
  ShutdownNullScene();
}

void BM_FrameNearRowsFirst(benchmark::State& state) { RunFrames(state, kGrid, true); }
BENCHMARK(BM_FrameNearRowsFirst)->Unit(benchmark::kMillisecond);

void BM_FrameFarRowsFirst(benchmark::State& state) { RunFrames(state, kGrid, false); }
BENCHMARK(BM_FrameFarRowsFirst)->Unit(benchmark::kMillisecond);

void BM_FrameOfSize(benchmark::State& state) { RunFrames(state, static_cast<int>(state.range(0)), true); }
BENCHMARK(BM_FrameOfSize)->Arg(32)->Arg(71)->Arg(140)->Arg(200)->Arg(283)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tge

BENCHMARK_MAIN();

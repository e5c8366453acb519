// Path search: FindPath between random points of a grid of about 10,000
// triangles whose rows of wall (each with two gaps) block most straight
// lines, against a plain breadth-first walk between the same triangles
// (the limit), in searches per second. The target is 2,000 searches a
// second or more.
#include <benchmark/benchmark.h>

#include <utility>
#include <vector>

#include "core/math/Random.h"
#include "objects/gameplay/navigation/NavMesh.h"
#include "tools/NavMeshBuilder.h"

namespace tge {
namespace {

constexpr int kCells = 76;
constexpr int kPairs = 1024;

bool Wall(int x, int z) {
  if (z % 6 != 3) return false;
  const int gap = (z * 37) % (kCells - 4);
  return x != gap && x != gap + 1 && x != kCells - 1 - gap;
}

struct Maze {
  NavMesh mesh;
  std::vector<std::pair<Vector3, Vector3>> pairs;

  Maze() {
    const NavMeshData data = BuildGridNavMesh(kCells, kCells, 1.0f, 0.0f, Wall);
    mesh.SetMesh(data.vertices, data.triangles);
    SeedRand(11);
    for (int i = 0; i < kPairs; ++i) {
      Vector3 start, goal;
      mesh.GetRandomPosition(&start);
      mesh.GetRandomPosition(&goal);
      pairs.emplace_back(start, goal);
    }
  }
};

const Maze& GetMaze() {
  static const Maze maze;
  return maze;
}

void BM_FindPath(benchmark::State& state) {
  const Maze& maze = GetMaze();
  PathRecord path;
  std::size_t i = 0;
  std::size_t waypoints = 0;
  for (auto _ : state) {
    const auto& [start, goal] = maze.pairs[i++ % maze.pairs.size()];
    benchmark::DoNotOptimize(maze.mesh.FindPath(start, goal, path));
    waypoints += path.waypoints.size();
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["triangles"] = maze.mesh.GetTriangleCount();
  state.counters["waypoints_per_search"] = static_cast<double>(waypoints) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_FindPath);

// The same triangles found once, then only the breadth-first walk over the
// neighbours with a cleared table per search.
void BM_PlainBreadthFirst(benchmark::State& state) {
  const Maze& maze = GetMaze();
  const auto& triangles = maze.mesh.GetTriangles();
  std::vector<std::pair<std::int32_t, std::int32_t>> ends;
  for (const auto& [start, goal] : maze.pairs) ends.emplace_back(maze.mesh.FindTriangle(start), maze.mesh.FindTriangle(goal));
  std::vector<std::int32_t> from(triangles.size());
  std::vector<std::int32_t> queue;
  queue.reserve(triangles.size());
  std::size_t i = 0;
  for (auto _ : state) {
    const auto [start, goal] = ends[i++ % ends.size()];
    std::fill(from.begin(), from.end(), -2);
    queue.clear();
    queue.push_back(start);
    from[static_cast<std::size_t>(start)] = -1;
    for (std::size_t head = 0; head < queue.size() && from[static_cast<std::size_t>(goal)] == -2; ++head) {
      for (const std::int32_t next : triangles[static_cast<std::size_t>(queue[head])].neighbour) {
        if (next < 0 || from[static_cast<std::size_t>(next)] != -2) continue;
        from[static_cast<std::size_t>(next)] = queue[head];
        queue.push_back(next);
      }
    }
    benchmark::DoNotOptimize(from.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlainBreadthFirst);

}  // namespace
}  // namespace tge

BENCHMARK_MAIN();

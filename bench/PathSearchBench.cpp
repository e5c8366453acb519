// Path search over grid mazes of about 2,500, 10,000, 40,000 and 150,000
// triangles (38, 76, 155 and 304 cells a side) whose rows of wall (each
// with two gaps) block most straight lines, in searches per second:
// - BM_FindPath: random points anywhere in the maze, so the search explores
//   an area that grows with the maze; the target is 2,000 searches a second
//   or more at 10,000 triangles.
// - BM_FindPathNearby: goals within 8 cells of their start, so the area
//   explored is about the same at every size and so should the cost be.
// - BM_PlainBreadthFirst: a plain breadth-first walk between the triangles
//   of BM_FindPath's pairs, the limit of the search itself.
#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "core/math/Random.h"
#include "objects/gameplay/navigation/NavMesh.h"
#include "tools/NavMeshBuilder.h"

namespace tge {
namespace {

constexpr int kPairs = 1024;
constexpr float kNearby = 8.0f;

struct Maze {
  NavMesh mesh;
  std::vector<std::pair<Vector3, Vector3>> pairs;
  std::vector<std::pair<Vector3, Vector3>> nearbyPairs;

  explicit Maze(int cells) {
    const auto wall = [cells](int x, int z) {
      if (z % 6 != 3) return false;
      const int gap = (z * 37) % (cells - 4);
      return x != gap && x != gap + 1 && x != cells - 1 - gap;
    };
    const NavMeshData data = BuildGridNavMesh(cells, cells, 1.0f, 0.0f, wall);
    mesh.SetMesh(data.vertices, data.triangles);
    SeedRand(11);
    for (int i = 0; i < kPairs; ++i) {
      Vector3 start, goal;
      mesh.GetRandomPosition(&start);
      mesh.GetRandomPosition(&goal);
      pairs.emplace_back(start, goal);
    }
    for (int i = 0; i < kPairs; ++i) {
      Vector3 start, goal;
      mesh.GetRandomPosition(&start);
      do {
        mesh.GetRandomPosition(&goal);
      } while (std::fabs(goal.x - start.x) > kNearby || std::fabs(goal.z - start.z) > kNearby);
      nearbyPairs.emplace_back(start, goal);
    }
  }
};

const Maze& GetMaze(int cells) {
  static std::map<int, std::unique_ptr<Maze>> mazes;
  auto& maze = mazes[cells];
  if (!maze) maze = std::make_unique<Maze>(cells);
  return *maze;
}

void MazeSizes(benchmark::internal::Benchmark* bench) {
  for (const int cells : {38, 76, 155, 304}) bench->Arg(cells);
}

void FindPaths(benchmark::State& state, const Maze& maze, const std::vector<std::pair<Vector3, Vector3>>& pairs) {
  PathRecord path;
  std::size_t i = 0;
  std::size_t waypoints = 0;
  for (auto _ : state) {
    const auto& [start, goal] = pairs[i++ % pairs.size()];
    benchmark::DoNotOptimize(maze.mesh.FindPath(start, goal, path));
    waypoints += path.waypoints.size();
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["triangles"] = maze.mesh.GetTriangleCount();
  state.counters["waypoints_per_search"] = static_cast<double>(waypoints) / static_cast<double>(state.iterations());
}

void BM_FindPath(benchmark::State& state) {
  const Maze& maze = GetMaze(static_cast<int>(state.range(0)));
  FindPaths(state, maze, maze.pairs);
}
BENCHMARK(BM_FindPath)->Apply(MazeSizes)->Unit(benchmark::kMicrosecond);

void BM_FindPathNearby(benchmark::State& state) {
  const Maze& maze = GetMaze(static_cast<int>(state.range(0)));
  FindPaths(state, maze, maze.nearbyPairs);
}
BENCHMARK(BM_FindPathNearby)->Apply(MazeSizes)->Unit(benchmark::kMicrosecond);

// The same triangles found once, then only the breadth-first walk over the
// neighbours with a cleared table per search.
void BM_PlainBreadthFirst(benchmark::State& state) {
  const Maze& maze = GetMaze(static_cast<int>(state.range(0)));
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
BENCHMARK(BM_PlainBreadthFirst)->Apply(MazeSizes)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tge

BENCHMARK_MAIN();

// What a path search hands its caller: the waypoints to walk, front first,
// and the search's own working tables, kept between searches so a search
// allocates nothing once the tables have grown to the mesh's size.
#pragma once
#include <cstdint>
#include <deque>
#include <vector>

#include "core/math/Vector.h"

namespace tge {

struct PathWaypoint {
  Vector3 position;
  // How close counts as reached: 1.5 at a goal, half the crossed edge's
  // length at an edge.
  float radius = 0;
};

struct PathRecord {
  std::deque<PathWaypoint> waypoints;
  // The triangles the last pass reached, in order, each with the index of
  // the entry it was reached from (-1 for the first); the first
  // reachedCount entries are in use.
  struct Reached {
    std::int32_t triangle = 0;
    std::int32_t from = -1;
  };
  std::vector<Reached> reached;
  std::size_t reachedCount = 0;
  // Per triangle, the stamp of the pass that last reached it: a new stamp
  // per pass stands in for clearing the table.
  std::vector<std::uint8_t> marks;
  std::uint8_t stamp = 0;
  // The winning chain of triangles.
  std::vector<std::int32_t> chain;
};

}  // namespace tge

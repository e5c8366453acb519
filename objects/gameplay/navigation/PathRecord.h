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
  // Per triangle: the stamp of the search that last reached it, and the
  // triangle it was reached from, side by side so a visit touches one
  // place. A new stamp per search stands in for clearing the table.
  struct Visit {
    std::uint32_t stamp = 0;
    std::int32_t from = -1;
  };
  std::vector<Visit> visits;
  // The breadth-first frontier, and the winning chain of triangles.
  std::vector<std::int32_t> frontier;
  std::vector<std::int32_t> chain;
  std::uint32_t stamp = 0;
};

}  // namespace tge

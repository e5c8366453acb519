#include "objects/gameplay/navigation/NavMesh.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/files/SerializeStream.h"
#include "core/math/Random.h"

namespace tge {
namespace {

constexpr float kThird = 0.33333334f;
// Waypoints float this far above the edge they cross.
constexpr float kWaypointLift = 0.5f;
// A short edge between two boundary vertices is a gap: its crossing point
// may stray further from the middle.
constexpr float kNarrowEdge = 3.0f;
constexpr std::uint64_t kVertexBytes = 12;
constexpr std::uint64_t kTriangleBytes = 40;

// Strictly inside: points on an edge are outside.
bool InsideXZ(const Vector3& a, const Vector3& b, const Vector3& c, const Vector3& p) {
  if ((p.x < a.x && p.x < b.x && p.x < c.x) || (p.x > a.x && p.x > b.x && p.x > c.x)) return false;
  if ((p.z < a.z && p.z < b.z && p.z < c.z) || (p.z > a.z && p.z > b.z && p.z > c.z)) return false;
  const Vector3* corners[3] = {&a, &b, &c};
  for (int i = 0; i < 3; ++i) {
    const Vector3& from = *corners[i];
    const Vector3& to = *corners[(i + 1) % 3];
    if ((to.x - p.x) * (from.z - p.z) - (from.x - p.x) * (to.z - p.z) <= 0) return false;
  }
  return true;
}

void SerializeTriangle(SerializeStream& stream, NavTriangle& triangle) {
  stream.Serialize(triangle.word);
  stream.Serialize(triangle.spare);
  for (int i = 0; i < 3; ++i) {
    stream.Serialize(triangle.vertex[i]);
    stream.Serialize(triangle.neighbour[i]);
  }
}

}  // namespace

bool NavMesh::SetMesh(std::vector<Vector3> vertices, std::vector<NavTriangle> triangles) {
  vertices_ = std::move(vertices);
  triangles_ = std::move(triangles);
  if (!IndicesValid()) {
    Clear();
    return false;
  }
  Place(Matrix4{});
  return true;
}

void NavMesh::Clear() {
  vertices_.clear();
  world_.clear();
  boundary_.clear();
  triangles_.clear();
  neighbours_.clear();
  grid_.Clear();
}

bool NavMesh::IndicesValid() const {
  const auto vertexCount = static_cast<std::int32_t>(vertices_.size());
  const auto triangleCount = static_cast<std::int32_t>(triangles_.size());
  return std::all_of(triangles_.begin(), triangles_.end(), [&](const NavTriangle& triangle) {
    for (int i = 0; i < 3; ++i) {
      if (triangle.vertex[i] < 0 || triangle.vertex[i] >= vertexCount) return false;
      if (triangle.neighbour[i] < -1 || triangle.neighbour[i] >= triangleCount) return false;
    }
    return true;
  });
}

bool NavMesh::Serialize(SerializeStream& stream) {
  auto vertexCount = GetVertexCount();
  auto triangleCount = GetTriangleCount();
  stream.Serialize(vertexCount);
  stream.Serialize(triangleCount);
  if (!stream.IsWriting()) {
    Clear();
    const std::uint64_t bytes = vertexCount * kVertexBytes + triangleCount * kTriangleBytes;
    if (stream.Failed() || static_cast<std::int64_t>(bytes) > stream.GetSize() - stream.Tell()) {
      stream.MarkFailed();
      return false;
    }
    vertices_.resize(vertexCount);
    triangles_.resize(triangleCount);
  }
  for (Vector3& vertex : vertices_) stream.Serialize(vertex);
  for (NavTriangle& triangle : triangles_) SerializeTriangle(stream, triangle);
  if (stream.IsWriting()) return !stream.Failed();
  if (stream.Failed() || !IndicesValid()) {
    Clear();
    stream.MarkFailed();
    return false;
  }
  Place(Matrix4{});
  return true;
}

void NavMesh::Place(const Matrix4& world) {
  world_.resize(vertices_.size());
  for (std::size_t i = 0; i < vertices_.size(); ++i) Vector3TransformCoord(world_[i], vertices_[i], world);
  boundary_.assign(vertices_.size(), 0);
  neighbours_.clear();
  for (NavTriangle& triangle : triangles_) {
    const auto self = static_cast<std::int32_t>(neighbours_.size());
    auto& across = neighbours_.emplace_back();
    for (std::size_t i = 0; i < 3; ++i) across[i] = triangle.neighbour[i] >= 0 ? triangle.neighbour[i] : self;
    Vector3 sum;
    Vector3Add(sum, WorldVertex(triangle, 0), WorldVertex(triangle, 1));
    Vector3Add(sum, sum, WorldVertex(triangle, 2));
    Vector3Scale(triangle.centre, sum, kThird);
    for (int i = 0; i < 3; ++i) {
      if (triangle.neighbour[i] == -1) boundary_[static_cast<std::size_t>(triangle.vertex[i])] = 1;
    }
  }
  BuildGrid();
}

// A vertex that is not finite makes the containment test answer in ways no
// box describes, so such a mesh keeps the scan.
void NavMesh::BuildGrid() {
  const auto finite = [](const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); };
  if (!std::all_of(world_.begin(), world_.end(), finite)) {
    grid_.Clear();
    return;
  }
  std::vector<NavBox> boxes(triangles_.size());
  for (std::size_t i = 0; i < triangles_.size(); ++i) {
    const Vector3 &a = WorldVertex(triangles_[i], 0), &b = WorldVertex(triangles_[i], 1),
                  &c = WorldVertex(triangles_[i], 2);
    boxes[i] = {std::min({a.x, b.x, c.x}), std::min({a.z, b.z, c.z}), std::max({a.x, b.x, c.x}),
                std::max({a.z, b.z, c.z})};
  }
  grid_.Build(boxes);
}

bool NavMesh::ContainsXZ(const NavTriangle& triangle, const Vector3& p) const {
  return InsideXZ(WorldVertex(triangle, 0), WorldVertex(triangle, 1), WorldVertex(triangle, 2), p);
}

// The grid lists a cell's triangles in mesh order, so it picks the triangle
// the scan of every triangle would; the scan remains for what the grid does
// not cover (a NaN, a mesh with a vertex that is not finite).
std::int32_t NavMesh::FindTriangle(const Vector3& p) const {
  std::int32_t best = -1;
  float bestHeight = std::numeric_limits<float>::infinity();
  const auto consider = [&](std::int32_t i) {
    const NavTriangle& triangle = triangles_[static_cast<std::size_t>(i)];
    if (!ContainsXZ(triangle, p)) return;
    const float height = std::fabs(triangle.centre.y - p.y);
    if (height < bestHeight) {
      bestHeight = height;
      best = i;
    }
  };
  if (grid_.Covers(p.x, p.z)) {
    for (const std::int32_t i : grid_.Candidates(p.x, p.z)) consider(i);
  } else {
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(triangles_.size()); ++i) consider(i);
  }
  return best >= 0 ? best : FindBoundaryTriangle(p);
}

// On flat ground every edge scores 0, so the distance decides among equal
// scores.
std::int32_t NavMesh::FindBoundaryTriangle(const Vector3& p) const {
  std::int32_t best = -1;
  float bestScore = 1e38f;
  float bestDistance = std::numeric_limits<float>::infinity();
  for (std::size_t i = 0; i < triangles_.size(); ++i) {
    for (int edge = 0; edge < 3; ++edge) {
      if (triangles_[i].neighbour[edge] != -1) continue;
      Vector3 middle, offset;
      Vector3Lerp(middle, WorldVertex(triangles_[i], edge), WorldVertex(triangles_[i], edge + 1), 0.5f);
      const float distance = Vector3Length(Vector3Subtract(offset, p, middle));
      const float score = distance * std::fabs(p.y - middle.y) * 100.0f;
      if (score < bestScore || (score == bestScore && distance < bestDistance)) {
        bestScore = score;
        bestDistance = distance;
        best = static_cast<std::int32_t>(i);
      }
    }
  }
  return best;
}

bool NavMesh::FindPath(const Vector3& start, const Vector3& goal, PathRecord& path) const {
  if (triangles_.empty()) return false;
  path.waypoints.clear();
  const std::int32_t from = FindTriangle(start);
  const std::int32_t to = FindTriangle(goal);
  if (from < 0 || to < 0) return false;
  if (from == to || WalkStraight(start, goal, from, to, path)) {
    path.waypoints.push_back({goal, kGoalRadius});
    return true;
  }
  if (!Search(from, to, path)) {
    path.waypoints.push_back({goal, kGoalRadius});
    return false;
  }
  PushCrossings(path);
  return true;
}

void NavMesh::BeginPass(PathRecord& path, std::size_t triangles) {
  if (path.marks.size() < triangles) path.marks.resize(triangles, 0);
  if (path.reached.size() < triangles) path.reached.resize(triangles);
  path.reachedCount = 0;
  if (++path.stamp == 0) {
    std::fill(path.marks.begin(), path.marks.end(), std::uint8_t{0});
    path.stamp = 1;
  }
}

bool NavMesh::Reach(PathRecord& path, std::int32_t triangle, std::int32_t from) {
  std::uint8_t& mark = path.marks[static_cast<std::size_t>(triangle)];
  if (mark == path.stamp) return false;
  mark = path.stamp;
  path.reached[path.reachedCount++] = {triangle, from};
  return true;
}

// Follows the edges the line from the start crosses in its direction; a
// mesh of inconsistent winding could lead it round in a circle, so a
// triangle met again ends the walk.
bool NavMesh::WalkStraight(const Vector3& start, const Vector3& goal, std::int32_t from, std::int32_t to,
                           PathRecord& path) const {
  BeginPass(path, triangles_.size());
  Vector3 direction{goal.x - start.x, 0, goal.z - start.z};
  Vector3 normal;
  Vector3Normalize(normal, Vector3Cross(normal, direction, {0, 1, 0}));
  std::int32_t at = from;
  Reach(path, at, -1);
  for (;;) {
    const NavTriangle& triangle = triangles_[static_cast<std::size_t>(at)];
    float side[3];
    for (int k = 0; k < 3; ++k) {
      Vector3 toStart;
      Vector3Normalize(toStart, Vector3Subtract(toStart, start, WorldVertex(triangle, k)));
      side[k] = Vector3Dot(normal, toStart);
    }
    std::int32_t next = -1;
    for (int i = 0; i < 3 && next < 0; ++i) {
      if (triangle.neighbour[i] >= 0 && side[i] < 0 && side[(i + 1) % 3] > 0) next = triangle.neighbour[i];
    }
    if (next == to) return true;
    if (next < 0 || !Reach(path, next, -1)) return false;
    at = next;
  }
}

// Breadth first over the neighbours; every triangle is reached once, so a
// search costs at most one visit per triangle. The reached list is the
// queue, and a byte per triangle says what is reached, so a search touches
// little memory beyond the area it explores. The tables are read through
// locals, which the list's stores cannot change.
bool NavMesh::Search(std::int32_t from, std::int32_t to, PathRecord& path) const {
  BeginPass(path, triangles_.size());
  Reach(path, from, -1);
  PathRecord::Reached* const reached = path.reached.data();
  std::uint8_t* const marks = path.marks.data();
  const std::uint8_t stamp = path.stamp;
  const std::array<std::int32_t, 3>* const neighbours = neighbours_.data();
  std::size_t count = 1;
  for (std::size_t head = 0; head < count; ++head) {
    for (const std::int32_t next : neighbours[reached[head].triangle]) {
      if (marks[next] == stamp) continue;
      marks[next] = stamp;
      reached[count++] = {next, static_cast<std::int32_t>(head)};
      if (next == to) {
        path.reachedCount = count;
        PushChain(path);
        return true;
      }
    }
  }
  path.reachedCount = count;
  return false;
}

// The chain runs back from the last reached triangle.
void NavMesh::PushChain(PathRecord& path) {
  path.chain.clear();
  for (auto i = static_cast<std::int32_t>(path.reachedCount) - 1; i >= 0;) {
    const PathRecord::Reached& entry = path.reached[static_cast<std::size_t>(i)];
    path.chain.push_back(entry.triangle);
    i = entry.from;
  }
  std::reverse(path.chain.begin(), path.chain.end());
}

// One waypoint on the shared edge of each consecutive pair of the chain,
// near the edge's middle.
void NavMesh::PushCrossings(PathRecord& path) const {
  for (std::size_t k = 0; k + 1 < path.chain.size(); ++k) {
    const NavTriangle& triangle = triangles_[static_cast<std::size_t>(path.chain[k])];
    int edge = 0;
    while (edge < 3 && triangle.neighbour[edge] != path.chain[k + 1]) ++edge;
    if (edge == 3) edge = 0;
    const Vector3& v = WorldVertex(triangle, edge);
    const Vector3& w = WorldVertex(triangle, edge + 1);
    Vector3 along;
    const float length = Vector3Length(Vector3Subtract(along, w, v));
    const bool gap = IsBoundaryVertex(triangle.vertex[edge]) && IsBoundaryVertex(triangle.vertex[(edge + 1) % 3]) &&
                     length < kNarrowEdge;
    Vector3 crossing;
    Vector3Lerp(crossing, v, w, 0.5f + (gap ? 0.25f : 0.1f) * RandomSigned());
    crossing.y += kWaypointLift;
    path.waypoints.push_back({crossing, length * 0.5f});
  }
}

bool NavMesh::GetRandomPosition(Vector3* out) const {
  if (triangles_.empty() || out == nullptr) return false;
  *out = triangles_[static_cast<std::size_t>(Rand()) % triangles_.size()].centre;
  return true;
}

}  // namespace tge

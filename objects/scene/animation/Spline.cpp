// Spline's command table, evaluation by arc length, the "Animate" child, the
// links to following splines and the file record.
#include "objects/scene/animation/Spline.h"

#include <algorithm>
#include <cstdio>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "core/math/Matrix4.h"
#include "core/math/Quaternion.h"
#include "services/resources/Resource.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr int kFirstVersionWithControlPoints = 70;
constexpr int kFirstVersionWithConnectionFlags = 72;
constexpr int kFirstVersionWithTotalLength = 75;
constexpr int kFirstVersionInOwnSpace = 80;
// A stored point: tag and position; from version 70 also in and out.
constexpr std::uint64_t kMinPointBytes = 16;
// A following spline starts within this distance of the last point.
constexpr float kJoinDistance = 0.25f;
// How far a following spline must turn to count as turning off.
constexpr float kJoinTurn = 0.2f;
const char* const kAnimatedChildName = "Animate";
const Vector3 kUp{0, 1, 0};

}  // namespace

std::vector<Spline*>& SplineRegistry() {
  static std::vector<Spline*> splines;
  return splines;
}

bool SetRotationAlong(Object& object, const Vector3& tangent) {
  Vector3 side;
  Vector3Cross(side, kUp, tangent);
  if (Vector3LengthSquared(side) < 1e-12f) return false;
  Quaternion rotation;
  object.SetRotation(QuaternionFromDirection(rotation, tangent, kUp), true);
  return true;
}

// clang-format off
constexpr CommandEntry<Spline> Spline::kCommands[] = {
    {8500, "SplineClosed", P, 0, {kValueBool}, LowBitFlagSetter<&Spline::splineFlags_, kSplineClosed>, FlagGetter<&Spline::splineFlags_, kSplineClosed>},
    {8502, "SplinePointsWS", P, 0, {kValueBool}, LowBitFlagSetter<&Spline::splineFlags_, kSplinePointsWS>, FlagGetter<&Spline::splineFlags_, kSplinePointsWS>},
    {8504, "AddSplinePoint", C, 0, {}, Member<&Spline::AddPointCommand>},
    {8505, "DeleteSplinePoint", C, 0, {}, Member<&Spline::DeletePointCommand>},
    {8506, "SetSplinePointList", C, 0, {kValueDword}, Member<&Spline::SetPointListCommand>},
    {8507, "GetSplinePointList", C, 0, {kValuePointer}, Member<&Spline::GetPointListCommand>},
    {8508, "SplinePoint", P, 0, {kValueVector3}, Member<&Spline::SetPointCommand>, Member<&Spline::GetPointFieldCommand<&SplinePoint::position>>},
    {8510, "SplineInVector", P, 0, {kValueVector3}, Member<&Spline::SetControlCommand<&SplinePoint::in>>, Member<&Spline::GetPointFieldCommand<&SplinePoint::in>>},
    {8512, "SplineOutVector", P, 0, {kValueVector3}, Member<&Spline::SetControlCommand<&SplinePoint::out>>, Member<&Spline::GetPointFieldCommand<&SplinePoint::out>>},
    {8514, "SplineAnimationSpeed", P, 0, {kValueFloat}, Member<&Spline::SetSpeedCommand>, Member<&Spline::GetSpeedCommand>},
};

std::span<const CommandEntry<Spline>> Spline::Commands() { return kCommands; }
// clang-format on

Spline::Spline() : Object(kClassSpline) { SplineRegistry().push_back(this); }

Spline::~Spline() { LeaveRegistry(); }

void Spline::Retire() {
  LeaveRegistry();
  Object::Retire();
}

void Spline::LeaveRegistry() {
  std::vector<Spline*>& splines = SplineRegistry();
  const auto it = std::find(splines.begin(), splines.end(), this);
  if (it != splines.end()) splines.erase(it);
}

void Spline::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  SplineRegistry().push_back(this);
  animated_.Reset();
  linked_.Reset();
  following_.clear();
}

// Every id goes on to the base handler, whose result is the answer.
int Spline::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Spline> handlers(kClassSpline, {kCommands});
  handlers.Run(*this, id, args);
  return Object::ExecuteCommand(id, args);
}

int Spline::AddPointCommand(CommandArgs) {
  points_.push_back(SplinePoint{});
  BuildLengthTable();
  return 1;
}

int Spline::DeletePointCommand(CommandArgs) {
  if (currentPoint_ < points_.size()) {
    points_.erase(points_.begin() + currentPoint_);
    BuildLengthTable();
  }
  return 1;
}

int Spline::SetPointListCommand(CommandArgs args) {
  currentPoint_ = args.Get<std::uint32_t>();
  return 1;
}

int Spline::GetPointListCommand(CommandArgs args) {
  auto& names = *static_cast<std::vector<std::string>*>(args.Data());
  for (std::size_t i = 0; i < points_.size(); ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "Point %02zu", i);
    names.push_back(name);
  }
  return 1;
}

// The control points keep their offsets from the point.
int Spline::SetPointCommand(CommandArgs args) {
  SplinePoint* point = CurrentPoint();
  if (point == nullptr) return 1;
  const Vector3 position = args.Get<Vector3>();
  const Vector3 offset = position - point->position;
  Vector3Add(point->in, point->in, offset);
  Vector3Add(point->out, point->out, offset);
  point->position = position;
  BuildLengthTable();
  return 1;
}

template <Vector3 SplinePoint::*Field>
int Spline::SetControlCommand(CommandArgs args) {
  SplinePoint* point = CurrentPoint();
  if (point == nullptr) return 1;
  point->*Field = args.Get<Vector3>();
  BuildLengthTable();
  return 1;
}

template <Vector3 SplinePoint::*Field>
int Spline::GetPointFieldCommand(CommandArgs args) {
  const SplinePoint* point = CurrentPoint();
  args.Set(point != nullptr ? point->*Field : Vector3{});
  return 1;
}

int Spline::SetSpeedCommand(CommandArgs args) {
  animationSpeed_ = args.Get<float>();
  return 1;
}

int Spline::GetSpeedCommand(CommandArgs args) {
  args.Set(animationSpeed_);
  return 1;
}

SplinePoint* Spline::CurrentPoint() { return currentPoint_ < points_.size() ? &points_[currentPoint_] : nullptr; }

int Spline::GetSegmentCount() const {
  const int n = static_cast<int>(points_.size());
  const int count = (splineFlags_ & kSplineBSpline) != 0 ? n - 3 : n - 1;
  return std::max(count, 0);
}

Vector3 Spline::FirstPoint() {
  if (points_.empty()) return GetPositionWS();
  Vector3 point = points_[0].position;
  if ((splineFlags_ & (kSplinePointsWS | kSplineBSpline)) == 0) Vector3TransformCoord(point, point, GetWorldMatrix());
  return point;
}

void Spline::EvaluateSegment(int segment, float t, Vector3& position, Vector3* direction) {
  const auto i = static_cast<std::size_t>(segment);
  if ((splineFlags_ & kSplineBSpline) != 0) {
    const float t2 = t * t, t3 = t2 * t, u = 1 - t;
    const float w[4] = {u * u * u, 3 * t3 - 6 * t2 + 4, -3 * t3 + 3 * t2 + 3 * t + 1, t3};
    position = {};
    for (std::size_t k = 0; k < 4; ++k) Vector3AddScaled(position, position, points_[i + k].position, w[k] / 6);
    return;
  }
  const SplinePoint& from = points_[i];
  const SplinePoint& to = points_[i + 1];
  const Vector3 a = Lerp(from.position, from.out, t);
  const Vector3 b = Lerp(from.out, to.in, t);
  const Vector3 c = Lerp(to.in, to.position, t);
  position = Lerp(Lerp(a, b, t), Lerp(b, c, t), t);
  Vector3 tangent = Lerp(b - a, c - b, t);
  Vector3Normalize(tangent, tangent);
  if ((splineFlags_ & kSplinePointsWS) == 0) {
    const Matrix4& world = GetWorldMatrix();
    Vector3TransformCoord(position, position, world);
    Vector3TransformNormal(tangent, tangent, world);
  }
  if (direction != nullptr) *direction = tangent;
}

void Spline::BuildLengthTable() {
  const int segments = GetSegmentCount();
  lengthTable_.clear();
  totalLength_ = 0;
  if (segments == 0) return;
  lengthTable_.reserve(static_cast<std::size_t>(segments) * kEntriesPerSegment);
  Vector3 previous;
  EvaluateSegment(0, 0, previous, nullptr);
  for (int segment = 0; segment < segments; ++segment) {
    for (int k = 1; k <= kEntriesPerSegment; ++k) {
      Vector3 sample;
      EvaluateSegment(segment, static_cast<float>(k) / kEntriesPerSegment, sample, nullptr);
      totalLength_ += Vector3Length(sample - previous);
      lengthTable_.push_back(totalLength_);
      previous = sample;
    }
  }
}

Vector3 Spline::GetPositionAt(float distance) {
  Vector3 position;
  GetPointAt(distance, &position, nullptr);
  return position;
}

// A sample of zero length gives its start rather than dividing by zero.
void Spline::GetPointAt(float distance, Vector3* position, Vector3* direction) {
  if (lengthTable_.empty()) BuildLengthTable();
  if (lengthTable_.empty()) {
    *position = FirstPoint();
    if (direction != nullptr) *direction = {};
    return;
  }
  const auto above = std::upper_bound(lengthTable_.begin(), lengthTable_.end(), distance);
  const auto m = static_cast<int>(above == lengthTable_.end() ? lengthTable_.size() - 1 : above - lengthTable_.begin());
  const float start = m > 0 ? lengthTable_[static_cast<std::size_t>(m - 1)] : 0.0f;
  const float span = lengthTable_[static_cast<std::size_t>(m)] - start;
  const float within = span > 0 ? (distance - start) / span : 0.0f;
  const float t = (static_cast<float>(m % kEntriesPerSegment) + within) / kEntriesPerSegment;
  EvaluateSegment(m / kEntriesPerSegment, t, *position, direction);
}

void Spline::MoveAnimatedChild() {
  Object* child = animated_.Get();
  if (child == nullptr) return;
  animationDistance_ += GetFrameTime() * animationSpeed_;
  if (animationDistance_ > totalLength_) animationDistance_ -= totalLength_;
  Vector3 position, tangent;
  GetPointAt(animationDistance_, &position, &tangent);
  child->SetPosition(position, true);
  SetRotationAlong(*child, tangent);
}

void Spline::Draw() {
  if (!GetActive()) return;
  MoveAnimatedChild();
  Object::Draw();
}

// Each kind of join goes to the first spline that makes it; the rest count
// as straight on.
void Spline::LinkFollowingSplines() {
  following_.clear();
  if (points_.empty()) return;
  const SplinePoint& last = points_.back();
  const Vector3 along = FlatDirection(last.in, last.position);
  Vector3 left;
  Vector3Cross(left, along, kUp);
  std::uint32_t given = 0;
  for (Spline* other : SplineRegistry()) {
    if (other->points_.size() < 2 ||
        Vector3Length(other->points_[0].position - last.position) > kJoinDistance) {
      continue;
    }
    const float turn = Vector3Dot(left, FlatDirection(other->points_[0].position, other->points_[1].position));
    const std::uint32_t join = turn > kJoinTurn    ? kSplineJoinsLeft
                               : turn < -kJoinTurn ? kSplineJoinsRight
                                                   : kSplineJoinsStraight;
    if ((given & join) == 0) {
      other->connectionFlags_ |= join;
      given |= join;
    } else if ((given & kSplineJoinsStraight) == 0) {
      other->connectionFlags_ |= kSplineJoinsStraight;
      given |= kSplineJoinsStraight;
    }
    following_.emplace_back(other);
  }
}

void Spline::Precalculate() {
  LinkFollowingSplines();
  linked_.Set(linkPath_.empty() ? nullptr : ResolveObjectPath(this, linkPath_, nullptr, nullptr));
  animated_.Set(FindChildByName(kAnimatedChildName, -1));
  BuildLengthTable();
  Object::Precalculate();
}

// The join bits are worked out anew by every Precalculate: they are neither
// written nor kept from a file.
bool Spline::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  const bool reading = !stream.IsWriting();
  if (version >= 1) {
    stream.Serialize(splineFlags_);
    if (reading && version < kFirstVersionInOwnSpace) splineFlags_ |= kSplinePointsWS;
  }
  auto count = static_cast<std::uint32_t>(points_.size());
  stream.Serialize(count);
  if (reading) {
    if (stream.Failed() || !CountFitsStream(stream, count, kMinPointBytes)) {
      stream.MarkFailed();
      return false;
    }
    points_.assign(count, SplinePoint{0, {}, {}, {}});
    currentPoint_ = 0;
  }
  for (SplinePoint& point : points_) {
    if (version >= 1) {
      stream.Serialize(point.tag);
      stream.Serialize(point.position);
    }
    if (version >= kFirstVersionWithControlPoints) {
      stream.Serialize(point.in);
      stream.Serialize(point.out);
    }
  }
  if (version >= 1) stream.SerializeString(linkPath_);
  if (version >= kFirstVersionWithConnectionFlags) {
    std::uint32_t flags = connectionFlags_ & ~kSplineJoinBits;
    stream.Serialize(flags);
    if (reading) connectionFlags_ = flags & ~kSplineJoinBits;
  }
  if (version >= kFirstVersionWithTotalLength) stream.Serialize(totalLength_);
  if (reading) lengthTable_.clear();
  return !stream.Failed();
}

void RegisterSplineCommands() {
  RegisterCommandTable<Spline>(BuildCommandRegistry(), kClassSpline, Spline::Commands());
  GetObjectFactory().RegisterType<Spline>(kClassSpline);
}

}  // namespace tge

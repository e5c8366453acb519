// Spline (class 34): a curve through points with in and out control points,
// measured by arc length. Segment i is a cubic Bezier curve from point i to
// point i + 1 (through point i's out and point i + 1's in control point),
// or, in B-spline mode, the uniform cubic B-spline over points i to i + 3.
// A length table of 32 samples per segment turns a distance along the curve
// into a segment and a parameter.
//
// Bezier points are in the spline's own space unless SplinePointsWS is set;
// B-spline points are always used as they stand. A child named "Animate"
// travels the curve, and SplineObjects below the spline ride it. Every
// spline is listed in SplineRegistry(), where Precalculate finds the splines
// that continue this one.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"

namespace tge {

// Bits of the spline flags.
inline constexpr std::uint32_t kSplineClosed = 0x1;
inline constexpr std::uint32_t kSplinePointsWS = 0x2;
inline constexpr std::uint32_t kSplineBSpline = 0x4;

// Bits 29 to 31 of the connection flags: how a spline continues another,
// seen from above along the other's last stretch (left-handed, y up):
// turning left, straight on, turning right.
inline constexpr std::uint32_t kSplineJoinsLeft = 1u << 29;
inline constexpr std::uint32_t kSplineJoinsStraight = 1u << 30;
inline constexpr std::uint32_t kSplineJoinsRight = 1u << 31;
inline constexpr std::uint32_t kSplineJoinBits = kSplineJoinsLeft | kSplineJoinsStraight | kSplineJoinsRight;

struct SplinePoint {
  std::uint32_t tag = 1;
  Vector3 position;
  Vector3 in;
  Vector3 out;
};

static_assert(sizeof(SplinePoint) == 40);

class Spline : public Object {
 public:
  static constexpr int kEntriesPerSegment = 32;

  static std::span<const CommandEntry<Spline>> Commands();
  static const CommandEntry<Spline> kCommands[];

  Spline();
  ~Spline() override;
  // A retired Spline leaves the registry other Splines link to.
  void Retire() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  // The copy joins the registry; it finds its own links at its Precalculate.
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  void Precalculate() override;

  // The point at a distance along the curve. Without a segment: the first
  // point, or the spline's own position when it has no points.
  Vector3 GetPositionAt(float distance);
  // The same with the unit tangent; a B-spline leaves direction as it was,
  // and without a segment the direction is zero.
  void GetPointAt(float distance, Vector3* position, Vector3* direction);
  float GetTotalLength() const { return totalLength_; }
  int GetSegmentCount() const;
  const std::vector<float>& GetLengthTable() const { return lengthTable_; }
  std::uint32_t GetSplineFlags() const { return splineFlags_; }
  std::uint32_t GetConnectionFlags() const { return connectionFlags_; }
  const std::vector<SplinePoint>& GetPoints() const { return points_; }
  const std::vector<ObjectRef<Spline>>& GetFollowingSplines() const { return following_; }
  Object* GetLinkedObject() const { return linked_.Get(); }
  float GetAnimationDistance() const { return animationDistance_; }

  // Rebuilds the length table from the points as they are now.
  void BuildLengthTable();

 private:
  void LeaveRegistry();
  int AddPointCommand(CommandArgs args);
  int DeletePointCommand(CommandArgs args);
  int SetPointListCommand(CommandArgs args);
  int GetPointListCommand(CommandArgs args);
  int SetPointCommand(CommandArgs args);
  template <Vector3 SplinePoint::*Field>
  int SetControlCommand(CommandArgs args);
  template <Vector3 SplinePoint::*Field>
  int GetPointFieldCommand(CommandArgs args);
  int SetSpeedCommand(CommandArgs args);
  int GetSpeedCommand(CommandArgs args);

  SplinePoint* CurrentPoint();
  Vector3 FirstPoint();
  // Segment at parameter t (0 to 1); the tangent only in Bezier mode.
  void EvaluateSegment(int segment, float t, Vector3& position, Vector3* direction);
  // Marks the splines whose first point meets this one's last point.
  void LinkFollowingSplines();
  void MoveAnimatedChild();

  std::vector<float> lengthTable_;
  float totalLength_ = 0;
  float animationSpeed_ = 4.0f;
  float animationDistance_ = 0;
  ObjectRef<Object> animated_;
  std::vector<SplinePoint> points_;
  std::uint32_t currentPoint_ = 0;
  std::string linkPath_;
  ObjectRef<Object> linked_;
  std::vector<ObjectRef<Spline>> following_;
  std::uint32_t connectionFlags_ = 1;
  std::uint32_t splineFlags_ = 0;
};

// Every spline that exists, in the order they were made.
std::vector<Spline*>& SplineRegistry();

// Turns object along a tangent with world up; false, and the rotation left
// as it was, for a zero tangent or one along the up axis.
bool SetRotationAlong(Object& object, const Vector3& tangent);

void RegisterSplineCommands();

}  // namespace tge

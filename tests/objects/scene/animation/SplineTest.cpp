// Spline: arc length and evaluation in both modes, the commands that edit
// points, the joins found at Precalculate, the "Animate" child, and the
// file record's version gates.
#include <cmath>
#include <numbers>

#include "objects/scene/animation/Spline.h"
#include "tests/objects/scene/animation/MotionFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kSplineClosedSet = 8500, kSplinePointsWSSet = 8502, kAddPoint = 8504, kDeletePoint = 8505,
                        kSetPointList = 8506, kGetPointList = 8507, kSetPoint = 8508, kGetPoint = 8509, kSetIn = 8510,
                        kGetIn = 8511, kSetOut = 8512, kSetKeySpeed = 8514;

Vector3 Get(Object& object, std::uint32_t id) {
  Vector3 value{9, 9, 9};
  object.ExecuteCommand(id, &value);
  return value;
}

struct Point {
  Vector3 position, in, out;
};

// A point whose control points sit on it.
Point On(const Vector3& position) { return {position, position, position}; }

void ExpectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-4f) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

class SplineTest : public MotionFixture {
 protected:
  Spline& AddSpline(Object& parent, const std::vector<Point>& points, const std::string& name = "Path") {
    Spline& spline = Add<Spline>(parent, kClassSpline, name);
    for (std::uint32_t i = 0; i < points.size(); ++i) {
      spline.ExecuteCommand(kAddPoint, nullptr);
      Send(spline, kSetPointList, i);
      Send(spline, kSetPoint, points[i].position);
      Send(spline, kSetIn, points[i].in);
      Send(spline, kSetOut, points[i].out);
    }
    return spline;
  }
  Spline& AddSpline(const std::vector<Point>& points, const std::string& name = "Path") {
    return AddSpline(*engine, points, name);
  }
  // From (0, 0, 0) to (10, 0, 0), control points at the thirds: distance
  // along it is x.
  Spline& AddStraight(Object& parent) {
    return AddSpline(parent, {{{0, 0, 0}, {0, 0, 0}, {10.0f / 3, 0, 0}}, {{10, 0, 0}, {20.0f / 3, 0, 0}, {10, 0, 0}}});
  }
};

// The quarter circle of radius 10 as one Bezier segment, and the Bezier
// point of the same control points evaluated directly.
const Point kArcStart{{10, 0, 0}, {10, 0, 0}, {10, 0, 5.5228f}};
const Point kArcEnd{{0, 0, 10}, {5.5228f, 0, 10}, {0, 0, 10}};

Vector3 Bezier(float t) {
  const Vector3 p[4] = {kArcStart.position, kArcStart.out, kArcEnd.in, kArcEnd.position};
  const float u = 1 - t;
  const float w[4] = {u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t};
  Vector3 out;
  for (int i = 0; i < 4; ++i) Vector3AddScaled(out, out, p[i], w[i]);
  return out;
}

TEST_F(SplineTest, LengthsMatchDenseSamplingAndTablesHold32EntriesPerSegment) {
  Spline& straight = AddStraight(*engine);
  EXPECT_NEAR(straight.GetTotalLength(), 10.0f, 1e-4f);
  EXPECT_EQ(straight.GetLengthTable().size(), 32u);
  EXPECT_EQ(straight.GetSegmentCount(), 1);

  Spline& arc = AddSpline({kArcStart, kArcEnd});
  double dense = 0;
  Vector3 previous = Bezier(0);
  for (int i = 1; i <= 100000; ++i) {
    const Vector3 next = Bezier(static_cast<float>(i) / 100000);
    Vector3 step;
    dense += Vector3Length(Vector3Subtract(step, next, previous));
    previous = next;
  }
  EXPECT_NEAR(arc.GetTotalLength(), dense, dense * 2e-4);
  EXPECT_NEAR(dense, 10 * std::numbers::pi / 2, 0.01);

  // A third point adds a segment of 32 more entries.
  arc.ExecuteCommand(kAddPoint, nullptr);
  EXPECT_EQ(arc.GetSegmentCount(), 2);
  EXPECT_EQ(arc.GetLengthTable().size(), 64u);
}

TEST_F(SplineTest, PositionsAndTangentsAtDistances) {
  Spline& straight = AddStraight(*engine);
  Vector3 position, tangent;
  straight.GetPointAt(2.5f, &position, &tangent);
  ExpectNear(position, {2.5f, 0, 0});
  ExpectNear(tangent, {1, 0, 0});
  ExpectNear(straight.GetPositionAt(10), {10, 0, 0});

  Spline& arc = AddSpline({kArcStart, kArcEnd});
  arc.GetPointAt(arc.GetTotalLength() / 2, &position, &tangent);
  const float half = 10 * std::numbers::sqrt2_v<float> / 2;
  ExpectNear(position, {half, 0, half}, 0.02f);
  ExpectNear(tangent, {-std::numbers::sqrt2_v<float> / 2, 0, std::numbers::sqrt2_v<float> / 2}, 0.01f);

  // Points in the spline's own space follow it; world-space points do not.
  straight.SetPosition({0, 5, 0}, true);
  straight.SetRotation({0, std::sin(std::numbers::pi_v<float> / 4), 0, std::cos(std::numbers::pi_v<float> / 4)}, true);
  straight.BuildLengthTable();
  straight.GetPointAt(2.5f, &position, &tangent);
  ExpectNear(position, {0, 5, -2.5f});
  ExpectNear(tangent, {0, 0, -1});
  Send(straight, kSplinePointsWSSet, 1);
  straight.BuildLengthTable();
  ExpectNear(straight.GetPositionAt(2.5f), {2.5f, 0, 0});
}

TEST_F(SplineTest, SplinesWithoutASegmentEvaluateToTheirFirstPoint) {
  Spline& empty = AddSpline({});
  empty.SetPosition({1, 2, 3}, true);
  ExpectNear(empty.GetPositionAt(4), {1, 2, 3});
  Spline& single = AddSpline({{{4, 0, 0}, {}, {}}});
  Vector3 position, tangent{7, 7, 7};
  single.GetPointAt(1, &position, &tangent);
  ExpectNear(position, {4, 0, 0});
  ExpectNear(tangent, {0, 0, 0});
  EXPECT_EQ(single.GetTotalLength(), 0.0f);
  EXPECT_TRUE(single.GetLengthTable().empty());

  // A closed spline is only flagged: no segment joins its ends.
  Spline& curve = AddSpline({On({0, 0, 0}), On({3, 0, 0}), On({6, 0, 0})});
  Send(curve, kSplineClosedSet, 1);
  EXPECT_TRUE(curve.GetSplineFlags() & kSplineClosed);
  EXPECT_EQ(curve.GetSegmentCount(), 2);
  EXPECT_NEAR(curve.GetTotalLength(), 6.0f, 1e-4f);
}

TEST_F(SplineTest, BSplineModeCountsSegmentsAndAveragesPoints) {
  std::vector<Point> points;
  for (int i = 0; i < 5; ++i) points.push_back({{3.0f * static_cast<float>(i), 0, 0}, {}, {}});
  Spline& curve = AddSpline(points);
  std::vector<std::uint8_t> bytes = Save(curve);
  // The mode bit has no command: set it in the file record.
  const std::size_t flagsAt = bytes.size() - (5 * 40 + 4 + 4 + 4 + 4 + 4);
  bytes[flagsAt] |= kSplineBSpline;
  std::unique_ptr<Spline> loaded = Load<Spline>(kClassSpline, bytes, SerializeStream::kLatestVersion);
  ASSERT_NE(loaded, nullptr);
  ASSERT_TRUE(loaded->GetSplineFlags() & kSplineBSpline);
  EXPECT_EQ(loaded->GetSegmentCount(), 2);
  // Evenly spaced points: the curve starts at the average (P0 + 4 P1 + P2) / 6.
  ExpectNear(loaded->GetPositionAt(0), {3, 0, 0});
  EXPECT_NEAR(loaded->GetTotalLength(), 6.0f, 1e-4f);
  Vector3 position, direction{5, 5, 5};
  loaded->GetPointAt(1.5f, &position, &direction);
  ExpectNear(position, {4.5f, 0, 0});
  ExpectNear(direction, {5, 5, 5});
}

TEST_F(SplineTest, PointCommandsKeepControlOffsetsAndRebuildTheTable) {
  Spline& spline = AddStraight(*engine);
  Send(spline, kSetPointList, 1u);
  Send(spline, kSetPoint, Vector3{10, 0, 10});
  ExpectNear(Get(spline, kGetIn), {20.0f / 3, 0, 10});
  ExpectNear(Get(spline, kGetPoint), {10, 0, 10});
  EXPECT_GT(spline.GetTotalLength(), 14.0f);
  spline.ExecuteCommand(kAddPoint, nullptr);
  EXPECT_EQ(spline.GetLengthTable().size(), 64u);
  Send(spline, kSetPointList, 2u);
  spline.ExecuteCommand(kDeletePoint, nullptr);
  EXPECT_EQ(spline.GetLengthTable().size(), 32u);
  // Out of range: nothing deleted, getters give zero.
  Send(spline, kSetPointList, 7u);
  spline.ExecuteCommand(kDeletePoint, nullptr);
  EXPECT_EQ(spline.GetPoints().size(), 2u);
  ExpectNear(Get(spline, kGetPoint), {0, 0, 0});
  std::vector<std::string> names;
  spline.ExecuteCommand(kGetPointList, &names);
  EXPECT_EQ(names, (std::vector<std::string>{"Point 00", "Point 01"}));
}

TEST_F(SplineTest, FollowingSplinesGetTheirJoinBits) {
  // The road runs along +x into (10, 0, 0); looking along it (left-handed,
  // y up) +z is to the left.
  Spline& road = AddSpline({{{0, 0, 0}, {}, {}}, {{10, 0, 0}, {9, 0, 0}, {10, 0, 0}}}, "Road");
  auto branch = [&](const std::string& name, const Vector3& towards) -> Spline& {
    return AddSpline({{{10, 0, 0.1f}, {}, {}}, {towards, {}, {}}}, name);
  };
  Spline& left = branch("Left", {10, 0, 10});
  Spline& secondLeft = branch("SecondLeft", {12, 0, 10});
  Spline& right = branch("Right", {10, 0, -10});
  Spline& straight = branch("Straight", {20, 0, 0});
  Spline& away = AddSpline({{{10, 0, 1}, {}, {}}, {{20, 0, 1}, {}, {}}}, "Away");
  road.Precalculate();
  EXPECT_EQ(left.GetConnectionFlags(), 1u | kSplineJoinsLeft);
  EXPECT_EQ(secondLeft.GetConnectionFlags(), 1u | kSplineJoinsStraight);
  EXPECT_EQ(right.GetConnectionFlags(), 1u | kSplineJoinsRight);
  EXPECT_EQ(straight.GetConnectionFlags(), 1u);
  EXPECT_EQ(away.GetConnectionFlags(), 1u);
  EXPECT_EQ(road.GetFollowingSplines().size(), 4u);
  // The bits are worked out anew: a loaded spline has none.
  std::unique_ptr<Spline> loaded = RoundTrip(left);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetConnectionFlags(), 1u);
}

TEST_F(SplineTest, AnimateChildTravelsAndWrapsOnce) {
  Spline& spline = AddStraight(*engine);
  Object& rider = Add<Object>(spline, kClassObject, "Animate");
  rider.SetWSOrientation(true);
  Send(spline, kSetKeySpeed, 4.0f);
  spline.Precalculate();
  Frames(spline, 5);
  ExpectNear(rider.GetPosition(), {2, 0, 0}, 1e-3f);
  // Turned from +z to +x: a quarter turn about y.
  EXPECT_NEAR(rider.GetRotation().y, std::numbers::sqrt2_v<float> / 2, 1e-4f);
  EXPECT_NEAR(rider.GetRotation().w, std::numbers::sqrt2_v<float> / 2, 1e-4f);
  Send(spline, kSetKeySpeed, 30.0f);
  Frames(spline, 3);
  EXPECT_NEAR(spline.GetAnimationDistance(), 1.0f, 1e-3f);
  ExpectNear(rider.GetPosition(), {1, 0, 0}, 1e-3f);
  // Past twice the length in one frame: one length comes off.
  Send(spline, kSetKeySpeed, 250.0f);
  Frame(spline);
  EXPECT_NEAR(spline.GetAnimationDistance(), 16.0f, 1e-3f);
}

TEST_F(SplineTest, RotationAlongAZeroOrUpwardTangentStaysAsItWas) {
  Object& object = Add<Object>(kClassObject, "Rider");
  const Quaternion turned{0, 0.6f, 0, 0.8f};
  object.SetRotation(turned, true);
  for (const Vector3& tangent : {Vector3{0, 0, 0}, Vector3{0, 1, 0}, Vector3{0, -2, 0}}) {
    EXPECT_FALSE(SetRotationAlong(object, tangent));
    EXPECT_EQ(object.GetRotation().y, 0.6f);
    EXPECT_EQ(object.GetRotation().w, 0.8f);
  }
  EXPECT_TRUE(SetRotationAlong(object, {0, 0, 3}));
  EXPECT_NEAR(object.GetRotation().w, 1.0f, 1e-6f);
}

TEST_F(SplineTest, FileRecordRoundTripsAndOldVersionsLoadAsThenStored) {
  Spline& spline = AddSpline({kArcStart, kArcEnd});
  Send(spline, kSplineClosedSet, 1);
  spline.Precalculate();
  ExpectStableRecord(spline);
  const std::vector<std::uint8_t> saved = Save(spline);
  std::unique_ptr<Spline> loaded = RoundTrip(spline);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetSplineFlags(), kSplineClosed);
  EXPECT_NEAR(loaded->GetTotalLength(), spline.GetTotalLength(), 1e-5f);

  // Before version 80 points were world-space; before 70 there were no
  // control points.
  std::unique_ptr<Spline> v79 = RoundTrip(spline, 79);
  ASSERT_NE(v79, nullptr);
  EXPECT_EQ(v79->GetSplineFlags(), kSplineClosed | kSplinePointsWS);
  ExpectNear(v79->GetPoints()[0].out, kArcStart.out);
  std::unique_ptr<Spline> v69 = RoundTrip(spline, 69);
  ASSERT_NE(v69, nullptr);
  ExpectNear(v69->GetPoints()[0].position, kArcStart.position);
  ExpectNear(v69->GetPoints()[0].out, {0, 0, 0});
  ExpectNear(v69->GetPoints()[1].in, {0, 0, 0});

  // A count beyond the bytes is refused.
  std::vector<std::uint8_t> bad = saved;
  bad.resize(bad.size() - 60);
  EXPECT_EQ((Load<Spline>(kClassSpline, bad, SerializeStream::kLatestVersion)), nullptr);
}

}  // namespace
}  // namespace tge::test

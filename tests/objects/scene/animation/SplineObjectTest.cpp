// SplineObject: where the position setter and re-placing put it, travel
// with its end event, the camera fade, and the file record.
#include <cmath>

#include "core/BaseCommandIds.h"
#include "objects/scene/Mesh.h"
#include "objects/scene/animation/Spline.h"
#include "objects/scene/animation/SplineObject.h"
#include "tests/objects/scene/animation/MotionFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kAddPoint = 8504, kSetPointList = 8506, kSetPoint = 8508, kSetIn = 8510, kSetOut = 8512;
constexpr std::uint32_t kSetPosition = 22000, kGetPosition = 22001, kSetPercentage = SplineObject::kSetPercentage,
                        kSetRiderSpeed = SplineObject::kSetSpeed, kSetOrient = SplineObject::kSetOrient,
                        kSetFade = SplineObject::kSetCameraFade, kSetFadeStart = SplineObject::kSetFadeStart;

float GetFloat(Object& object, std::uint32_t id) {
  float value = -1;
  object.ExecuteCommand(id, &value);
  return value;
}

class SplineObjectTest : public MotionFixture {
 protected:
  // Along +x from (0, 0, z) for length units, so distance is x.
  Spline& AddTrack(float length, float z = 0) {
    Spline& spline = Add<Spline>(kClassSpline, "Track");
    const Vector3 ends[2] = {{0, 0, z}, {length, 0, z}};
    const Vector3 controls[2][2] = {{{0, 0, z}, {length / 3, 0, z}}, {{2 * length / 3, 0, z}, {length, 0, z}}};
    for (std::uint32_t i = 0; i < 2; ++i) {
      spline.ExecuteCommand(kAddPoint, nullptr);
      Send(spline, kSetPointList, i);
      Send(spline, kSetPoint, ends[i]);
      Send(spline, kSetIn, controls[i][0]);
      Send(spline, kSetOut, controls[i][1]);
    }
    return spline;
  }

  template <class T = SplineObject>
  T& AddRider(Spline& spline) {
    T& rider = AddOwn<T>(spline, "Rider");
    rider.ExecuteCommand(kCommandInitializeNewObject, nullptr);
    return rider;
  }
};

TEST_F(SplineObjectTest, PositionSetterClampsAndPlacesOnTheCurve) {
  Spline& spline = AddTrack(100);
  SplineObject& rider = AddRider(spline);
  spline.Precalculate();
  EXPECT_EQ(rider.GetSpline(), &spline);
  Send(rider, kSetPosition, 150.0f);
  EXPECT_FLOAT_EQ(GetFloat(rider, kGetPosition), 100.0f);
  EXPECT_NEAR(rider.GetPosition().x, 100.0f, 1e-3f);
  Send(rider, kSetPosition, 25.0f);
  EXPECT_NEAR(rider.GetPositionWS().x, 25.0f, 1e-3f);

  // A percentage stops at 100, not at the length.
  Spline& shorter = AddTrack(50, 5);
  SplineObject& share = AddRider(shorter);
  shorter.Precalculate();
  Send(share, kSetPercentage, 1);
  Send(share, kSetPosition, 80.0f);
  EXPECT_NEAR(share.GetPosition().x, 40.0f, 1e-3f);
  EXPECT_NEAR(share.GetPosition().z, 5.0f, 1e-5f);
  Send(share, kSetPosition, 150.0f);
  EXPECT_FLOAT_EQ(GetFloat(share, kGetPosition), 100.0f);
  EXPECT_NEAR(share.GetDistance(), 50.0f, 1e-3f);
}

// A loaded value past the end stays on the curve.
TEST_F(SplineObjectTest, LoadedPositionBeyondTheEndIsClampedWhenPlaced) {
  Spline& spline = AddTrack(10);
  SplineObject& rider = AddRider(spline);
  Send(rider, kSetPosition, 40.0f);
  std::vector<std::uint8_t> bytes = Save(rider);
  std::unique_ptr<Object> loaded = Load<Object>(kClassSplineObject, bytes, SerializeStream::kLatestVersion);
  ASSERT_NE(loaded, nullptr);
  auto& placed = static_cast<SplineObject&>(*spline.AddChild(std::move(loaded)));
  spline.Precalculate();
  EXPECT_FLOAT_EQ(placed.GetStartPosition(), 40.0f);
  EXPECT_NEAR(placed.GetDistance(), 10.0f, 1e-4f);
  EXPECT_NEAR(placed.GetPosition().x, 10.0f, 1e-3f);
}

TEST_F(SplineObjectTest, TravelsWhileStartedAndRestartsAtTheEndOnce) {
  Spline& spline = AddTrack(10);
  auto& rider = AddRider<Logged<SplineObject>>(spline);
  Send(rider, kSetOrient, 1);
  Send(rider, kSetRiderSpeed, 5.0f);
  spline.Precalculate();
  Frames(spline, 4);
  EXPECT_NEAR(rider.GetDistance(), 2.0f, 1e-4f);
  EXPECT_NEAR(rider.GetPosition().x, 2.0f, 1e-3f);
  EXPECT_NEAR(rider.GetRotation().y, 0.70710677f, 1e-4f);
  Send(rider, kSetRiderSpeed, 30.0f);
  Frames(spline, 2);
  EXPECT_NEAR(rider.GetDistance(), 8.0f, 1e-4f);
  EXPECT_EQ(rider.Count(SplineObject::kEventSplineEnd), 0);
  Frame(spline);
  EXPECT_EQ(rider.Count(SplineObject::kEventSplineEnd), 1);
  EXPECT_EQ(rider.GetDistance(), 0.0f);
  EXPECT_NEAR(rider.GetPosition().x, 0.0f, 1e-4f);
  Frame(spline);
  EXPECT_EQ(rider.Count(SplineObject::kEventSplineEnd), 1);
  EXPECT_NEAR(rider.GetDistance(), 3.0f, 1e-4f);
  // Stopped Actions and a zero Action value hold it.
  rider.SetFlag(kFlagActionStarted, false);
  Frame(spline);
  EXPECT_NEAR(rider.GetDistance(), 3.0f, 1e-4f);
}

TEST_F(SplineObjectTest, CameraFadeScalesTheActionValueAndHidesWhatIsBehind) {
  View().SetCameraLookAt({0, 0, 0}, {0, 0, 1});
  Spline& ahead = AddTrack(40, 20);
  SplineObject& near = AddRider(ahead);
  Send(near, kSetFade, 1);
  near.SetUseAction(true);
  Mesh& crate = Add<Mesh>(near, kClassMesh, "Crate");
  crate.SetUseAction(true);
  ahead.Precalculate();
  // At z = 20 along x: the camera distance runs from 20 (half faded) past
  // the fade end of 25, where the value is left as it was.
  const struct {
    float x;
    float value;
  } cases[] = {{0, 0.5f}, {12, (25 - std::sqrt(544.0f)) / 10}, {16, 1.0f}};
  for (const auto& c : cases) {
    Send(near, kSetPosition, c.x);
    near.SetActionValueRecursive(1);
    ahead.Draw();
    EXPECT_NEAR(near.GetActionValue(), c.value, 1e-4f) << c.x;
    EXPECT_NEAR(crate.GetActionValue(), c.value, 1e-4f) << c.x;
  }

  // Behind the camera: neither it nor its children queue anything.
  AddCubeMesh("Cube");
  Spline& behind = AddTrack(10, -10);
  SplineObject& hidden = AddRider(behind);
  Send(hidden, kSetFade, 1);
  Mesh& box = Add<Mesh>(hidden, kClassMesh, "Box");
  box.AddMesh("Cube");
  behind.Precalculate();
  Queue().Reset();
  behind.Draw();
  EXPECT_TRUE(NothingQueued());
  // Turned round, the camera sees it.
  View().SetCameraLookAt({0, 0, 0}, {0, 0, -1});
  behind.Draw();
  EXPECT_FALSE(NothingQueued());
}

TEST_F(SplineObjectTest, FileRecordKeepsItsFieldsFromTheirVersions) {
  Spline& spline = AddTrack(10);
  SplineObject& rider = AddRider(spline);
  Send(rider, kSetPercentage, 1);
  Send(rider, kSetPosition, 30.0f);
  Send(rider, kSetRiderSpeed, 2.5f);
  Send(rider, kSetFadeStart, 3.0f);
  ExpectStableRecord(rider);
  std::unique_ptr<SplineObject> loaded = RoundTrip(rider);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetSplineObjectFlags(), kSplineObjectPercentage);
  EXPECT_FLOAT_EQ(loaded->GetStartPosition(), 30.0f);
  EXPECT_FLOAT_EQ(GetFloat(*loaded, kSetRiderSpeed + 1), 2.5f);
  EXPECT_FLOAT_EQ(GetFloat(*loaded, kSetFadeStart + 1), 3.0f);
  // Before version 73 there was no speed, before 77 no fade distances.
  std::unique_ptr<SplineObject> v72 = RoundTrip(rider, 72);
  ASSERT_NE(v72, nullptr);
  EXPECT_FLOAT_EQ(GetFloat(*v72, kSetRiderSpeed + 1), 0.0f);
  EXPECT_FLOAT_EQ(GetFloat(*v72, kSetFadeStart + 1), 15.0f);
}

}  // namespace
}  // namespace tge::test

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>

#include "core/BaseCommandIds.h"
#include "core/math/Quaternion.h"
#include "objects/gameplay/props/JointBall.h"
#include "objects/gameplay/props/JointHinge.h"
#include "objects/gameplay/props/JointHinge2.h"
#include "objects/gameplay/props/JointSlider.h"
#include "objects/gameplay/props/JointUniversal.h"
#include "tests/engine/WorldTestScene.h"
#include "tests/support/ObjectRecordBytes.h"

namespace tge::test {
namespace {

using Axis = std::optional<Vector3>;

// The joint object is turned a quarter about Z: its X axis is the world's
// up axis, its Y axis the world's -X and its Z axis the world's Z.
constexpr Vector3 kObjectX{0, 1, 0}, kObjectY{-1, 0, 0}, kObjectZ{0, 0, 1};
constexpr Vector3 kAnchor{0, 1, 0};

struct KindCase {
  int classId;
  dJointType type;
  std::uint32_t axisCommand;  // 0: none
  std::uint32_t axisSource;
  Axis axis1, axis2;
};

const KindCase kKinds[] = {
    {kClassJointBall, dJointTypeBall, 4250, 1, {}, {}},
    {kClassJointHinge2, dJointTypeHinge2, 0, 0, kObjectY, kObjectX},
    {kClassJointUniversal, dJointTypeUniversal, 4750, 1, kObjectX, kObjectY},
    {kClassJointHinge, dJointTypeHinge, 5000, 2, kObjectY, {}},
    {kClassJointSlider, dJointTypeSlider, 5250, 3, kObjectZ, {}},
};

Vector3 Read(void (*get)(dJointID, dVector3), dJointID joint) {
  dVector3 v;
  get(joint, v);
  return {static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2])};
}

void ExpectNear(const Vector3& actual, const Vector3& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-4f);
  EXPECT_NEAR(actual.y, expected.y, 1e-4f);
  EXPECT_NEAR(actual.z, expected.z, 1e-4f);
}

// What ODE holds of a joint of each kind: anchor, first and second axis.
struct Readings {
  std::optional<Vector3> anchor, axis1, axis2;
};
Readings ReadJoint(dJointID joint) {
  switch (dJointGetType(joint)) {
    case dJointTypeBall:
      return {Read(dJointGetBallAnchor, joint), {}, {}};
    case dJointTypeHinge:
      return {Read(dJointGetHingeAnchor, joint), Read(dJointGetHingeAxis, joint), {}};
    case dJointTypeHinge2:
      return {Read(dJointGetHinge2Anchor, joint), Read(dJointGetHinge2Axis1, joint), Read(dJointGetHinge2Axis2, joint)};
    case dJointTypeUniversal:
      return {Read(dJointGetUniversalAnchor, joint), Read(dJointGetUniversalAxis1, joint),
              Read(dJointGetUniversalAxis2, joint)};
    case dJointTypeSlider:
      return {{}, Read(dJointGetSliderAxis, joint), {}};
    default:
      return {};
  }
}

enum class Second { kOwn, kFirstChild, kWorld };

class JointObjectsTest : public WorldTestScene {
 protected:
  // A parent body (a plain parent for kWorld), the joint object with its
  // own body or, for kFirstChild, three children of which the second is
  // the first to hold a body.
  JointObject& Build(const KindCase& kind, Second second) {
    Object& parent = second != Second::kWorld ? Body(*cell, "Parent", {0, 2, 0}) : Placed(*cell, kClassObject, "Parent", {0, 2, 0});
    auto& joint = static_cast<JointObject&>(Placed(parent, kind.classId, "Joint", kAnchor));
    Quaternion turn;
    joint.SetRotation(QuaternionFromAxisAngle(turn, {0, 0, 1}, std::numbers::pi_v<float> / 2), true);
    if (kind.axisCommand != 0) {
      std::uint32_t source = kind.axisSource;
      joint.ExecuteCommand(kind.axisCommand, &source);
    }
    if (second != Second::kFirstChild) {
      joint.SetUsePhysics(true);
      joint.GetPhysics()->flags = kPhysicsEnableRigidBody;
      GeometryRecord& box = joint.AddGeometry();
      box.info = kGeometryBox | kGeometryMassByDensity;
      box.dimension = {1, 1, 1};
    } else if (second == Second::kFirstChild) {
      Placed(joint, kClassObject, "Plain", {0, 0, 0});
      Body(joint, "First", {0, 0, 0});
      Body(joint, "Second", {0, -1, 0});
    }
    return joint;
  }
};

TEST_F(JointObjectsTest, StartPhysicsJoinsTheRightBodiesWithAnchorAndAxes) {
  for (const KindCase& kind : kKinds) {
    for (Second second : {Second::kOwn, Second::kFirstChild, Second::kWorld}) {
      SCOPED_TRACE(::testing::Message() << "class " << kind.classId << " layout " << static_cast<int>(second));
      JointObject& joint = Build(kind, second);
      Object& parent = *joint.GetParent();
      StartPhysics(parent);
      const bool needsBoth = kind.classId == kClassJointHinge2 && second == Second::kWorld;
      if (needsBoth) {
        EXPECT_FALSE(joint.HasJoint());
      } else {
        ASSERT_TRUE(joint.HasJoint());
        dJointID ode = joint.GetJoint();
        EXPECT_EQ(dJointGetType(ode), kind.type);
        const dBodyID expectedSecond =
            second == Second::kFirstChild ? ToOde(joint.GetChild(1)->GetBody()) : ToOde(joint.GetBody());
        EXPECT_EQ(dJointGetBody(ode, 0), ToOde(parent.GetBody()));
        EXPECT_EQ(dJointGetBody(ode, 1), expectedSecond);
        const Readings readings = ReadJoint(ode);
        if (readings.anchor) ExpectNear(*readings.anchor, kAnchor);
        if (kind.axis1) ExpectNear(*readings.axis1, *kind.axis1);
        if (kind.axis2) ExpectNear(*readings.axis2, *kind.axis2);
      }
      parent.ExecuteCommand(163, nullptr);
      parent.ExecuteCommand(164, nullptr);
      EXPECT_FALSE(joint.HasJoint());
      parent.Delete(false);
    }
  }
  EXPECT_EQ(world->GetPhysicsWorld()->jointCount, 0);
}

TEST_F(JointObjectsTest, AHingeWithTheDefaultAxisTurnsAboutTheWorldUpAxis) {
  JointObject& joint = Build(kKinds[3], Second::kOwn);
  std::uint32_t source = 0;
  joint.ExecuteCommand(5000, &source);
  StartPhysics(*joint.GetParent());
  ExpectNear(Read(dJointGetHingeAxis, joint.GetJoint()), {0, 1, 0});
}

// Each property against the library's named parameter, set before the joint
// exists and changed on the live joint.
struct ParameterCase {
  int kindIndex;
  std::uint32_t setId;
  int odeParameter;
};

const ParameterCase kParameters[] = {
    {3, 5002, dParamCFM}, {3, 5004, dParamLoStop}, {3, 5006, dParamHiStop}, {3, 5008, dParamStopCFM},
    {3, 5010, dParamStopERP}, {3, 5012, dParamBounce}, {3, 5014, dParamVel}, {3, 5016, dParamFMax},
    {3, 5018, dParamFudgeFactor},
    {4, 5252, dParamCFM}, {4, 5254, dParamLoStop}, {4, 5256, dParamHiStop}, {4, 5258, dParamStopCFM},
    {4, 5260, dParamStopERP}, {4, 5262, dParamBounce}, {4, 5264, dParamVel}, {4, 5266, dParamFMax},
    {4, 5268, dParamFudgeFactor},
    {1, 4500, dParamCFM}, {1, 4502, dParamLoStop}, {1, 4504, dParamHiStop}, {1, 4506, dParamStopCFM},
    {1, 4508, dParamStopERP}, {1, 4510, dParamBounce}, {1, 4512, dParamVel}, {1, 4514, dParamFMax},
    {1, 4516, dParamFudgeFactor}, {1, 4518, dParamCFM2}, {1, 4520, dParamVel2}, {1, 4522, dParamFMax2},
    {1, 4524, dParamSuspensionCFM}, {1, 4526, dParamSuspensionERP},
    {2, 4752, dParamCFM}, {2, 4754, dParamLoStop}, {2, 4756, dParamHiStop}, {2, 4758, dParamStopCFM},
    {2, 4760, dParamStopERP}, {2, 4762, dParamBounce}, {2, 4764, dParamVel}, {2, 4766, dParamFMax},
    {2, 4768, dParamFudgeFactor},
    {2, 4770, dParamCFM2}, {2, 4772, dParamLoStop2}, {2, 4774, dParamHiStop2}, {2, 4776, dParamStopCFM2},
    {2, 4778, dParamStopERP2}, {2, 4780, dParamBounce2}, {2, 4782, dParamVel2}, {2, 4784, dParamFMax2},
    {2, 4786, dParamFudgeFactor2},
};

float ReadParameter(dJointID joint, int parameter) {
  switch (dJointGetType(joint)) {
    case dJointTypeHinge:
      return static_cast<float>(dJointGetHingeParam(joint, parameter));
    case dJointTypeSlider:
      return static_cast<float>(dJointGetSliderParam(joint, parameter));
    case dJointTypeHinge2:
      return static_cast<float>(dJointGetHinge2Param(joint, parameter));
    default:
      return static_cast<float>(dJointGetUniversalParam(joint, parameter));
  }
}

TEST_F(JointObjectsTest, EachParameterReachesTheLibrarysNamedParameter) {
  for (const ParameterCase& c : kParameters) {
    SCOPED_TRACE(c.setId);
    JointObject& joint = Build(kKinds[c.kindIndex], Second::kOwn);
    // Stops stay ordered: a low stop above the high stop is not kept.
    float value = c.odeParameter % dParamGroup == dParamLoStop ? -0.25f : 0.25f;
    joint.ExecuteCommand(c.setId, &value);
    float read = 0;
    joint.ExecuteCommand(c.setId + 1, &read);
    EXPECT_FLOAT_EQ(read, value);
    StartPhysics(*joint.GetParent());
    ASSERT_TRUE(joint.HasJoint());
    EXPECT_FLOAT_EQ(ReadParameter(joint.GetJoint(), c.odeParameter), value);
    value *= 2;
    joint.ExecuteCommand(c.setId, &value);
    EXPECT_FLOAT_EQ(ReadParameter(joint.GetJoint(), c.odeParameter), value);
    joint.GetParent()->Delete(false);
  }
  EXPECT_EQ(world->GetPhysicsWorld()->jointCount, 0);
}

TEST_F(JointObjectsTest, StopERPChangesOnlyStopERP) {
  JointObject& joint = Build(kKinds[3], Second::kOwn);
  float erp = 0.7f;
  joint.ExecuteCommand(5010, &erp);
  float cfm = 0;
  joint.ExecuteCommand(5009, &cfm);
  EXPECT_FLOAT_EQ(cfm, 0.00001f);
}

TEST_F(JointObjectsTest, AnInactiveJointIgnoresStartPhysicsAndPassesNothingOn) {
  JointObject& joint = Build(kKinds[3], Second::kFirstChild);
  joint.ExecuteCommand(161, nullptr);
  joint.GetParent()->ExecuteCommand(161, nullptr);
  joint.SetActive(false);
  joint.ExecuteCommand(162, nullptr);
  EXPECT_FALSE(joint.HasJoint());
  joint.SetActive(true);
  joint.ExecuteCommand(162, nullptr);
  EXPECT_TRUE(joint.HasJoint());
}

TEST_F(JointObjectsTest, InsertOnActionMakesTheJointFromActionStartToActionStop) {
  struct Case {
    int kindIndex;
    std::uint32_t insertId;
  };
  for (const Case& c : {Case{0, 4270}, Case{2, 4788}, Case{3, 5020}, Case{4, 5271}}) {
    SCOPED_TRACE(c.insertId);
    JointObject& joint = Build(kKinds[c.kindIndex], Second::kOwn);
    std::int32_t on = 1;
    joint.ExecuteCommand(c.insertId, &on);
    StartPhysics(*joint.GetParent());
    EXPECT_FALSE(joint.HasJoint());
    joint.ExecuteCommand(kCommandActionStartStep, nullptr);
    EXPECT_TRUE(joint.HasJoint());
    joint.ExecuteCommand(kCommandActionStopStep, nullptr);
    EXPECT_FALSE(joint.HasJoint());
    joint.GetParent()->Delete(false);
  }
  // A hinge-2 keeps its joint through both.
  JointObject& wheel = Build(kKinds[1], Second::kOwn);
  StartPhysics(*wheel.GetParent());
  wheel.ExecuteCommand(kCommandActionStopStep, nullptr);
  EXPECT_TRUE(wheel.HasJoint());
}

TEST_F(JointObjectsTest, TheUniversalBreakReleasesItsJoint) {
  JointObject& joint = Build(kKinds[2], Second::kOwn);
  StartPhysics(*joint.GetParent());
  ASSERT_TRUE(joint.HasJoint());
  joint.ExecuteCommand(4790, nullptr);
  EXPECT_FALSE(joint.HasJoint());
}

// A crate hung off-centre swings under gravity and stays between the stops.
TEST_F(JointObjectsTest, AHingeUnderGravityKeepsWithinItsStops) {
  Object& frame = Placed(*cell, kClassObject, "Frame", {0, 5, 0});
  auto& hinge = static_cast<JointObject&>(Placed(frame, kClassJointHinge, "Hinge", {0, 5, 0}));
  std::uint32_t z = 3;
  hinge.ExecuteCommand(5000, &z);
  float lo = -0.5f, hi = 0.5f;
  hinge.ExecuteCommand(5004, &lo);
  hinge.ExecuteCommand(5006, &hi);
  Body(hinge, "Crate", {1.5f, 5, 0});
  StartPhysics(frame);
  ASSERT_TRUE(hinge.HasJoint());
  dBodyID crate = hinge.GetJoint() != nullptr ? dJointGetBody(hinge.GetJoint(), 1) : nullptr;
  dBodyEnable(crate);
  float widest = 0;
  for (int i = 0; i < 120; ++i) {
    RunFrames(1);
    const float angle = static_cast<float>(dJointGetHingeAngle(hinge.GetJoint()));
    widest = std::max(widest, std::abs(angle));
    EXPECT_GT(angle, lo - 0.1f);
    EXPECT_LT(angle, hi + 0.1f);
  }
  EXPECT_GT(widest, 0.4f);
}

TEST_F(JointObjectsTest, InitializeNewObjectGivesTheJointItsOwnTransform) {
  for (const KindCase& kind : kKinds) {
    Object& joint = *CreateObject(kind.classId, nullptr, *cell, "Joint");
    joint.ExecuteCommand(kCommandInitializeNewObject, nullptr);
    EXPECT_FALSE(joint.HasFlag(kFlagInheritOrientation));
    EXPECT_EQ(joint.HasFlag(kFlagWSOrientation), kind.classId == kClassJointBall);
  }
}

TEST_F(JointObjectsTest, SaveLoadSaveGivesIdenticalBytes) {
  struct Case {
    int classId;
    std::uint32_t setId;
    std::uint32_t getId;
    std::uint32_t axisId;  // 0: none
  };
  // One value each, set to something other than its default.
  for (const Case& c : {Case{kClassJointBall, 4266, 4267, 4250}, Case{kClassJointHinge2, 4526, 4527, 0},
                        Case{kClassJointUniversal, 4786, 4787, 4750}, Case{kClassJointHinge, 5016, 5017, 5000},
                        Case{kClassJointSlider, 5268, 5269, 5250}}) {
    SCOPED_TRACE(c.classId);
    Object& source = *CreateObject(c.classId, nullptr, *cell, "Source");
    Vector3 value{0.5f, 1.5f, 2.5f};
    source.ExecuteCommand(c.setId, &value);
    std::uint32_t axis = 2;
    if (c.axisId != 0) source.ExecuteCommand(c.axisId, &axis);
    const std::vector<std::uint8_t> first = SaveRecord(source);
    const std::unique_ptr<Object> copy = LoadRecord<Object>(c.classId, first);
    ASSERT_NE(copy, nullptr);
    Vector3 read{};
    copy->ExecuteCommand(c.getId, &read);
    EXPECT_FLOAT_EQ(read.x, 0.5f);
    EXPECT_EQ(SaveRecord(*copy), first);
  }
}

}  // namespace
}  // namespace tge::test

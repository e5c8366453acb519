#include "objects/gameplay/physics/PhysicsJoint.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "tests/core/math/MathTestUtil.h"
#include "tests/objects/gameplay/physics/PhysicsTestScene.h"

namespace tge::test {
namespace {

class PhysicsJointTest : public PhysicsScene {
 protected:
  void TearDown() override {
    for (dJointID joint : joints) DestroyJoint(joint);
    PhysicsScene::TearDown();
  }

  dJointID Make(dJointID (*create)(PhysicsWorld*), dBodyID first, dBodyID second) {
    dJointID joint = create(physics);
    joints.push_back(joint);
    AttachJoint(joint, first, second);
    return joint;
  }

  std::vector<dJointID> joints;
};

using ParameterSetter = void (*)(dJointID, float);

// The parameters every limited axis has, in the order of the setters below.
struct AxisParameter {
  int parameter;
  const char* name;
};
constexpr AxisParameter kAxisParameters[] = {
    {dParamCFM, "CFM"},         {dParamLoStop, "LoStop"},   {dParamHiStop, "HiStop"},
    {dParamStopCFM, "StopCFM"}, {dParamStopERP, "StopERP"}, {dParamBounce, "Bounce"},
    {dParamVel, "Vel"},         {dParamFMax, "FMax"},       {dParamFudgeFactor, "FudgeFactor"},
};
constexpr std::size_t kAxisParameterCount = std::size(kAxisParameters);

struct AxisCase {
  const char* name;
  dJointID (*create)(PhysicsWorld*);
  dReal (*get)(dJointID, int);
  int group;  // added to each parameter: dParamGroup1 or dParamGroup2
  ParameterSetter setters[kAxisParameterCount];
};

// Read back by the library's own names: a wrapper that passed the old
// numbering would land on another parameter.
const AxisCase kAxisCases[] = {
    {"Slider", CreateSliderJoint, dJointGetSliderParam, dParamGroup1,
     {SetSliderCFM, SetSliderLoStop, SetSliderHiStop, SetSliderStopCFM, SetSliderStopERP, SetSliderBounce,
      SetSliderVel, SetSliderFMax, SetSliderFudgeFactor}},
    {"Hinge", CreateHingeJoint, dJointGetHingeParam, dParamGroup1,
     {SetHingeCFM, SetHingeLoStop, SetHingeHiStop, SetHingeStopCFM, SetHingeStopERP, SetHingeBounce, SetHingeVel,
      SetHingeFMax, SetHingeFudgeFactor}},
    {"Hinge2", CreateHinge2Joint, dJointGetHinge2Param, dParamGroup1,
     {SetHinge2CFM, SetHinge2LoStop, SetHinge2HiStop, SetHinge2StopCFM, SetHinge2StopERP, SetHinge2Bounce,
      SetHinge2Vel, SetHinge2FMax, SetHinge2FudgeFactor}},
    {"Universal", CreateUniversalJoint, dJointGetUniversalParam, dParamGroup1,
     {SetUniversalCFM, SetUniversalLoStop, SetUniversalHiStop, SetUniversalStopCFM, SetUniversalStopERP,
      SetUniversalBounce, SetUniversalVel, SetUniversalFMax, SetUniversalFudgeFactor}},
    {"Universal axis 2", CreateUniversalJoint, dJointGetUniversalParam, dParamGroup2,
     {SetUniversalCFM2, SetUniversalLoStop2, SetUniversalHiStop2, SetUniversalStopCFM2, SetUniversalStopERP2,
      SetUniversalBounce2, SetUniversalVel2, SetUniversalFMax2, SetUniversalFudgeFactor2}},
};

// The hinge-2 joint's own: the wheel axis's motor and the suspension.
struct Hinge2Case {
  const char* name;
  ParameterSetter set;
  int parameter;
};
const Hinge2Case kHinge2Cases[] = {
    {"CFM2", SetHinge2CFM2, dParamCFM2},
    {"Vel2", SetHinge2Vel2, dParamVel2},
    {"FMax2", SetHinge2FMax2, dParamFMax2},
    {"SuspensionERP", SetHinge2SuspensionERP, dParamSuspensionERP},
    {"SuspensionCFM", SetHinge2SuspensionCFM, dParamSuspensionCFM},
};

TEST_F(PhysicsJointTest, EveryParameterSetterReachesTheLibraryParameterOfItsName) {
  dBodyID first = AddBox({0, 0, 0});
  dBodyID second = AddBox({2, 0, 0});
  float value = 0.01f;  // fudge factors only take values from 0 to 1
  const auto expect = [&](dJointID (*create)(PhysicsWorld*), ParameterSetter set, dReal (*get)(dJointID, int),
                          int parameter, const std::string& name) {
    dJointID joint = Make(create, first, second);
    set(joint, value);
    EXPECT_FLOAT_EQ(static_cast<float>(get(joint, parameter)), value) << name;
    value += 0.0185f;
  };
  for (const AxisCase& c : kAxisCases) {
    for (std::size_t i = 0; i < kAxisParameterCount; ++i) {
      const AxisParameter& p = kAxisParameters[i];
      expect(c.create, c.setters[i], c.get, c.group + p.parameter, std::string(c.name) + " " + p.name);
    }
  }
  for (const Hinge2Case& c : kHinge2Cases) {
    expect(CreateHinge2Joint, c.set, dJointGetHinge2Param, c.parameter, std::string("Hinge2") + c.name);
  }
}

TEST_F(PhysicsJointTest, HingeStaysWithinItsStops) {
  dBodyID arm = AddBox({1, 0, 0}, {1.8f, 0.2f, 0.2f});
  dJointID hinge = Make(CreateHingeJoint, arm, nullptr);
  SetHingeAnchor(hinge, {0, 0, 0});
  SetHingeAxis(hinge, {0, 0, 1});
  SetHingeLoStop(hinge, -0.5f);
  SetHingeHiStop(hinge, 0.5f);
  float lowest = 0;
  for (int i = 0; i < 180; ++i) {
    StepPhysicsWorld(physics, kStep);
    const float angle = static_cast<float>(dJointGetHingeAngle(hinge));
    ASSERT_GE(angle, -0.55f) << "step " << i;
    lowest = std::min(lowest, angle);
  }
  EXPECT_LT(lowest, -0.45f);
}

TEST_F(PhysicsJointTest, MotorRatesAreReadBack) {
  dBodyID wheel = AddBox({0, 0, 0});
  SetBodyGravityMode(wheel, 0);
  dJointID hinge = Make(CreateHingeJoint, wheel, nullptr);
  SetHingeAxis(hinge, {0, 1, 0});
  SetHingeVel(hinge, 2);
  SetHingeFMax(hinge, 100);
  dBodyID cross = AddBox({5, 0, 0});
  SetBodyGravityMode(cross, 0);
  dJointID universal = Make(CreateUniversalJoint, cross, nullptr);
  SetUniversalAnchor(universal, {5, 0, 0});
  SetUniversalAxis1(universal, {1, 0, 0});
  SetUniversalAxis2(universal, {0, 1, 0});
  SetUniversalVel2(universal, -1);
  SetUniversalFMax2(universal, 100);
  for (int i = 0; i < 10; ++i) StepPhysicsWorld(physics, kStep);
  EXPECT_NEAR(GetHingeAngleRate(hinge), 2, 0.01f);
  EXPECT_NEAR(GetUniversalAngleRate2(universal), -1, 0.01f);
  EXPECT_NEAR(GetUniversalAngleRate1(universal), 0, 0.01f);
  EXPECT_EQ(GetHinge2Angle1(hinge), 0);
}

TEST_F(PhysicsJointTest, ActiveWhileTheSecondBodyOrElseTheFirstIsAwake) {
  dBodyID first = AddBox({0, 0, 0});
  dBodyID second = AddBox({2, 0, 0});
  struct Case {
    bool firstAwake, secondAwake, hasSecond;
    int active;
  };
  const Case cases[] = {
      {false, true, true, 1}, {false, false, true, 0}, {true, false, true, 1},
      {false, false, false, 0}, {true, false, false, 1},
  };
  for (const Case& c : cases) {
    dJointID ball = Make(CreateBallJoint, first, c.hasSecond ? second : nullptr);
    EnableBody(first, c.firstAwake);
    EnableBody(second, c.secondAwake);
    EXPECT_EQ(IsJointActive(ball), c.active)
        << c.firstAwake << c.secondAwake << c.hasSecond;
  }
  EXPECT_EQ(IsJointActive(Make(CreateBallJoint, nullptr, nullptr)), 0);
}

// Each of these aborts inside the library.
TEST_F(PhysicsJointTest, Hinge2NeedsBothBodiesAndTwoCrossingAxes) {
  dBodyID chassis = AddBox({0, 0, 0});
  dBodyID wheel = AddBox({2, 0, 0});
  dJointID lone = Make(CreateHinge2Joint, chassis, nullptr);
  EXPECT_EQ(dJointGetBody(lone, 0), nullptr);
  SetHinge2Anchor(lone, {2, 0, 0});
  SetHinge2Axes(lone, {0, 1, 0}, {0, 0, 1});
  EXPECT_STRNE(GetLastPhysicsError(), "");

  dJointID joint = Make(CreateHinge2Joint, chassis, wheel);
  SetHinge2Anchor(joint, {2, 0, 0});
  SetHinge2Axes(joint, {0, 1, 0}, {0, 0, 1});
  SetHinge2Axes(joint, {0, 1, 0}, {0, 2, 0});
  SetHinge2Axes(joint, {0, 0, 0}, {1, 0, 0});
  dVector3 axis;
  dJointGetHinge2Axis1(joint, axis);
  EXPECT_DOUBLE_EQ(axis[1], 1);
  dJointGetHinge2Axis2(joint, axis);
  EXPECT_DOUBLE_EQ(axis[2], 1);
  StepPhysicsWorld(physics, kStep);
}

TEST_F(PhysicsJointTest, WrongKindZeroAxisAndSelfJoinAreRefused) {
  dBodyID body = AddBox({0, 0, 0});
  dJointID slider = Make(CreateSliderJoint, body, nullptr);
  SetSliderAxis(slider, {1, 0, 0});
  SetSliderAxis(slider, {0, 0, 0});
  SetHingeFMax(slider, 5);
  SetHingeAxis(slider, {0, 1, 0});
  EXPECT_EQ(GetHingeAngleRate(slider), 0);
  dVector3 axis;
  dJointGetSliderAxis(slider, axis);
  EXPECT_DOUBLE_EQ(axis[0], 1);
  EXPECT_DOUBLE_EQ(dJointGetSliderParam(slider, dParamFMax), 0);

  dJointID ball = Make(CreateBallJoint, nullptr, nullptr);
  AttachJoint(ball, body, body);
  EXPECT_EQ(dJointGetBody(ball, 0), nullptr);
  EXPECT_EQ(CreateBallJoint(nullptr), nullptr);
}

}  // namespace
}  // namespace tge::test

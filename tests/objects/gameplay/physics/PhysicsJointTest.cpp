#include "objects/gameplay/physics/PhysicsJoint.h"

#include <gtest/gtest.h>

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

struct ParameterCase {
  const char* name;
  dJointID (*create)(PhysicsWorld*);
  void (*set)(dJointID, float);
  dReal (*get)(dJointID, int);
  int parameter;
};

// Read back by the library's own names: a wrapper that passed the old
// numbering would land on another parameter.
const ParameterCase kParameterCases[] = {
    {"SliderCFM", CreateSliderJoint, SetSliderCFM, dJointGetSliderParam, dParamCFM},
    {"SliderLoStop", CreateSliderJoint, SetSliderLoStop, dJointGetSliderParam, dParamLoStop},
    {"SliderHiStop", CreateSliderJoint, SetSliderHiStop, dJointGetSliderParam, dParamHiStop},
    {"SliderStopCFM", CreateSliderJoint, SetSliderStopCFM, dJointGetSliderParam, dParamStopCFM},
    {"SliderStopERP", CreateSliderJoint, SetSliderStopERP, dJointGetSliderParam, dParamStopERP},
    {"SliderBounce", CreateSliderJoint, SetSliderBounce, dJointGetSliderParam, dParamBounce},
    {"SliderVel", CreateSliderJoint, SetSliderVel, dJointGetSliderParam, dParamVel},
    {"SliderFMax", CreateSliderJoint, SetSliderFMax, dJointGetSliderParam, dParamFMax},
    {"SliderFudgeFactor", CreateSliderJoint, SetSliderFudgeFactor, dJointGetSliderParam,
     dParamFudgeFactor},
    {"HingeCFM", CreateHingeJoint, SetHingeCFM, dJointGetHingeParam, dParamCFM},
    {"HingeLoStop", CreateHingeJoint, SetHingeLoStop, dJointGetHingeParam, dParamLoStop},
    {"HingeHiStop", CreateHingeJoint, SetHingeHiStop, dJointGetHingeParam, dParamHiStop},
    {"HingeStopCFM", CreateHingeJoint, SetHingeStopCFM, dJointGetHingeParam, dParamStopCFM},
    {"HingeStopERP", CreateHingeJoint, SetHingeStopERP, dJointGetHingeParam, dParamStopERP},
    {"HingeBounce", CreateHingeJoint, SetHingeBounce, dJointGetHingeParam, dParamBounce},
    {"HingeVel", CreateHingeJoint, SetHingeVel, dJointGetHingeParam, dParamVel},
    {"HingeFMax", CreateHingeJoint, SetHingeFMax, dJointGetHingeParam, dParamFMax},
    {"HingeFudgeFactor", CreateHingeJoint, SetHingeFudgeFactor, dJointGetHingeParam,
     dParamFudgeFactor},
    {"Hinge2CFM", CreateHinge2Joint, SetHinge2CFM, dJointGetHinge2Param, dParamCFM},
    {"Hinge2LoStop", CreateHinge2Joint, SetHinge2LoStop, dJointGetHinge2Param, dParamLoStop},
    {"Hinge2HiStop", CreateHinge2Joint, SetHinge2HiStop, dJointGetHinge2Param, dParamHiStop},
    {"Hinge2StopCFM", CreateHinge2Joint, SetHinge2StopCFM, dJointGetHinge2Param, dParamStopCFM},
    {"Hinge2StopERP", CreateHinge2Joint, SetHinge2StopERP, dJointGetHinge2Param, dParamStopERP},
    {"Hinge2Bounce", CreateHinge2Joint, SetHinge2Bounce, dJointGetHinge2Param, dParamBounce},
    {"Hinge2Vel", CreateHinge2Joint, SetHinge2Vel, dJointGetHinge2Param, dParamVel},
    {"Hinge2FMax", CreateHinge2Joint, SetHinge2FMax, dJointGetHinge2Param, dParamFMax},
    {"Hinge2FudgeFactor", CreateHinge2Joint, SetHinge2FudgeFactor, dJointGetHinge2Param,
     dParamFudgeFactor},
    {"Hinge2CFM2", CreateHinge2Joint, SetHinge2CFM2, dJointGetHinge2Param, dParamCFM2},
    {"Hinge2Vel2", CreateHinge2Joint, SetHinge2Vel2, dJointGetHinge2Param, dParamVel2},
    {"Hinge2FMax2", CreateHinge2Joint, SetHinge2FMax2, dJointGetHinge2Param, dParamFMax2},
    {"Hinge2SuspensionERP", CreateHinge2Joint, SetHinge2SuspensionERP, dJointGetHinge2Param,
     dParamSuspensionERP},
    {"Hinge2SuspensionCFM", CreateHinge2Joint, SetHinge2SuspensionCFM, dJointGetHinge2Param,
     dParamSuspensionCFM},
    {"UniversalCFM", CreateUniversalJoint, SetUniversalCFM, dJointGetUniversalParam, dParamCFM},
    {"UniversalLoStop", CreateUniversalJoint, SetUniversalLoStop, dJointGetUniversalParam,
     dParamLoStop},
    {"UniversalHiStop", CreateUniversalJoint, SetUniversalHiStop, dJointGetUniversalParam,
     dParamHiStop},
    {"UniversalStopCFM", CreateUniversalJoint, SetUniversalStopCFM, dJointGetUniversalParam,
     dParamStopCFM},
    {"UniversalStopERP", CreateUniversalJoint, SetUniversalStopERP, dJointGetUniversalParam,
     dParamStopERP},
    {"UniversalBounce", CreateUniversalJoint, SetUniversalBounce, dJointGetUniversalParam,
     dParamBounce},
    {"UniversalVel", CreateUniversalJoint, SetUniversalVel, dJointGetUniversalParam, dParamVel},
    {"UniversalFMax", CreateUniversalJoint, SetUniversalFMax, dJointGetUniversalParam,
     dParamFMax},
    {"UniversalFudgeFactor", CreateUniversalJoint, SetUniversalFudgeFactor,
     dJointGetUniversalParam, dParamFudgeFactor},
    {"UniversalCFM2", CreateUniversalJoint, SetUniversalCFM2, dJointGetUniversalParam,
     dParamCFM2},
    {"UniversalLoStop2", CreateUniversalJoint, SetUniversalLoStop2, dJointGetUniversalParam,
     dParamLoStop2},
    {"UniversalHiStop2", CreateUniversalJoint, SetUniversalHiStop2, dJointGetUniversalParam,
     dParamHiStop2},
    {"UniversalStopCFM2", CreateUniversalJoint, SetUniversalStopCFM2, dJointGetUniversalParam,
     dParamStopCFM2},
    {"UniversalStopERP2", CreateUniversalJoint, SetUniversalStopERP2, dJointGetUniversalParam,
     dParamStopERP2},
    {"UniversalBounce2", CreateUniversalJoint, SetUniversalBounce2, dJointGetUniversalParam,
     dParamBounce2},
    {"UniversalVel2", CreateUniversalJoint, SetUniversalVel2, dJointGetUniversalParam,
     dParamVel2},
    {"UniversalFMax2", CreateUniversalJoint, SetUniversalFMax2, dJointGetUniversalParam,
     dParamFMax2},
    {"UniversalFudgeFactor2", CreateUniversalJoint, SetUniversalFudgeFactor2,
     dJointGetUniversalParam, dParamFudgeFactor2},
};

TEST_F(PhysicsJointTest, EveryParameterSetterReachesTheLibraryParameterOfItsName) {
  dBodyID first = AddBox({0, 0, 0});
  dBodyID second = AddBox({2, 0, 0});
  float value = 0.01f;  // fudge factors only take values from 0 to 1
  for (const ParameterCase& c : kParameterCases) {
    dJointID joint = Make(c.create, first, second);
    c.set(joint, value);
    EXPECT_FLOAT_EQ(static_cast<float>(c.get(joint, c.parameter)), value) << c.name;
    value += 0.0185f;
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

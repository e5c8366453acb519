// The limit and motor parameter setters: each passes one of the library's
// named parameters, so they follow the library's numbering whatever it is.
#include <cmath>

#include "objects/gameplay/physics/PhysicsJoint.h"
#include "objects/gameplay/physics/PhysicsJointKind.h"
#include "objects/gameplay/physics/PhysicsLibrary.h"

namespace tge {
namespace {

using ParameterCall = void (*)(dJointID, int, dReal);

struct JointKind {
  dJointType type;
  ParameterCall set;
};

constexpr JointKind kSlider = {dJointTypeSlider, dJointSetSliderParam};
constexpr JointKind kHinge = {dJointTypeHinge, dJointSetHingeParam};
constexpr JointKind kHinge2 = {dJointTypeHinge2, dJointSetHinge2Param};
constexpr JointKind kUniversal = {dJointTypeUniversal, dJointSetUniversalParam};

void SetParameter(const char* operation, const JointKind& kind, dJointID joint, int parameter,
                  float value) {
  if (!physics::IsJointOfKind(operation, joint, kind.type)) return;
  if (!std::isfinite(value)) {
    ReportPhysicsError(operation, "the value is not finite");
    return;
  }
  kind.set(joint, parameter, value);
}

}  // namespace

#define TGE_JOINT_PARAMETER(kindName, kind, name, parameter)      \
  void Set##kindName##name(dJointID joint, float value) {         \
    SetParameter("Set" #kindName #name, kind, joint, parameter, value); \
  }

TGE_JOINT_PARAMETER(Slider, kSlider, CFM, dParamCFM)
TGE_JOINT_PARAMETER(Slider, kSlider, LoStop, dParamLoStop)
TGE_JOINT_PARAMETER(Slider, kSlider, HiStop, dParamHiStop)
TGE_JOINT_PARAMETER(Slider, kSlider, StopCFM, dParamStopCFM)
TGE_JOINT_PARAMETER(Slider, kSlider, StopERP, dParamStopERP)
TGE_JOINT_PARAMETER(Slider, kSlider, Bounce, dParamBounce)
TGE_JOINT_PARAMETER(Slider, kSlider, Vel, dParamVel)
TGE_JOINT_PARAMETER(Slider, kSlider, FMax, dParamFMax)
TGE_JOINT_PARAMETER(Slider, kSlider, FudgeFactor, dParamFudgeFactor)

TGE_JOINT_PARAMETER(Hinge, kHinge, CFM, dParamCFM)
TGE_JOINT_PARAMETER(Hinge, kHinge, LoStop, dParamLoStop)
TGE_JOINT_PARAMETER(Hinge, kHinge, HiStop, dParamHiStop)
TGE_JOINT_PARAMETER(Hinge, kHinge, StopCFM, dParamStopCFM)
TGE_JOINT_PARAMETER(Hinge, kHinge, StopERP, dParamStopERP)
TGE_JOINT_PARAMETER(Hinge, kHinge, Bounce, dParamBounce)
TGE_JOINT_PARAMETER(Hinge, kHinge, Vel, dParamVel)
TGE_JOINT_PARAMETER(Hinge, kHinge, FMax, dParamFMax)
TGE_JOINT_PARAMETER(Hinge, kHinge, FudgeFactor, dParamFudgeFactor)

TGE_JOINT_PARAMETER(Hinge2, kHinge2, CFM, dParamCFM)
TGE_JOINT_PARAMETER(Hinge2, kHinge2, LoStop, dParamLoStop)
TGE_JOINT_PARAMETER(Hinge2, kHinge2, HiStop, dParamHiStop)
TGE_JOINT_PARAMETER(Hinge2, kHinge2, StopCFM, dParamStopCFM)
TGE_JOINT_PARAMETER(Hinge2, kHinge2, StopERP, dParamStopERP)
TGE_JOINT_PARAMETER(Hinge2, kHinge2, Bounce, dParamBounce)
TGE_JOINT_PARAMETER(Hinge2, kHinge2, Vel, dParamVel)
TGE_JOINT_PARAMETER(Hinge2, kHinge2, FMax, dParamFMax)
TGE_JOINT_PARAMETER(Hinge2, kHinge2, FudgeFactor, dParamFudgeFactor)
TGE_JOINT_PARAMETER(Hinge2, kHinge2, CFM2, dParamCFM2)
TGE_JOINT_PARAMETER(Hinge2, kHinge2, Vel2, dParamVel2)
TGE_JOINT_PARAMETER(Hinge2, kHinge2, FMax2, dParamFMax2)
TGE_JOINT_PARAMETER(Hinge2, kHinge2, SuspensionERP, dParamSuspensionERP)
TGE_JOINT_PARAMETER(Hinge2, kHinge2, SuspensionCFM, dParamSuspensionCFM)

TGE_JOINT_PARAMETER(Universal, kUniversal, CFM, dParamCFM)
TGE_JOINT_PARAMETER(Universal, kUniversal, LoStop, dParamLoStop)
TGE_JOINT_PARAMETER(Universal, kUniversal, HiStop, dParamHiStop)
TGE_JOINT_PARAMETER(Universal, kUniversal, StopCFM, dParamStopCFM)
TGE_JOINT_PARAMETER(Universal, kUniversal, StopERP, dParamStopERP)
TGE_JOINT_PARAMETER(Universal, kUniversal, Bounce, dParamBounce)
TGE_JOINT_PARAMETER(Universal, kUniversal, Vel, dParamVel)
TGE_JOINT_PARAMETER(Universal, kUniversal, FMax, dParamFMax)
TGE_JOINT_PARAMETER(Universal, kUniversal, FudgeFactor, dParamFudgeFactor)
TGE_JOINT_PARAMETER(Universal, kUniversal, CFM2, dParamCFM2)
TGE_JOINT_PARAMETER(Universal, kUniversal, LoStop2, dParamLoStop2)
TGE_JOINT_PARAMETER(Universal, kUniversal, HiStop2, dParamHiStop2)
TGE_JOINT_PARAMETER(Universal, kUniversal, StopCFM2, dParamStopCFM2)
TGE_JOINT_PARAMETER(Universal, kUniversal, StopERP2, dParamStopERP2)
TGE_JOINT_PARAMETER(Universal, kUniversal, Bounce2, dParamBounce2)
TGE_JOINT_PARAMETER(Universal, kUniversal, Vel2, dParamVel2)
TGE_JOINT_PARAMETER(Universal, kUniversal, FMax2, dParamFMax2)
TGE_JOINT_PARAMETER(Universal, kUniversal, FudgeFactor2, dParamFudgeFactor2)

#undef TGE_JOINT_PARAMETER

}  // namespace tge

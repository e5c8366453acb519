// JointSlider's command table and joint.
#include "objects/gameplay/props/JointSlider.h"

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "objects/gameplay/physics/PhysicsJoint.h"
#include "objects/gameplay/props/JointHinge.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;

constexpr JointParameterSetter kSetters[] = {
    &SetSliderCFM,    &SetSliderLoStop, &SetSliderHiStop, &SetSliderStopCFM,     &SetSliderStopERP,
    &SetSliderBounce, &SetSliderVel,    &SetSliderFMax,   &SetSliderFudgeFactor,
};
static_assert(std::size(kSetters) == kHingeParameterCount);
constexpr std::uint8_t kOrder[] = {0, 1, 2, 3, 4, 5, 6, 7, 8};

}  // namespace

// clang-format off
using J = JointSlider;
constexpr CommandEntry<JointSlider> JointSlider::kCommands[] = {
    {5250, "JointSliderAxis", P, 0, {kValueDword}, Member<&J::SetAxisCommand>, Member<&J::GetAxisCommand>},
    {5252, "JointSliderCFM", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHingeCFM>>, Member<&J::GetParameterCommand<kHingeCFM>>},
    {5254, "JointSliderLoStop", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHingeLoStop>>, Member<&J::GetParameterCommand<kHingeLoStop>>},
    {5256, "JointSliderHiStop", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHingeHiStop>>, Member<&J::GetParameterCommand<kHingeHiStop>>},
    {5258, "JointSliderStopCFM", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHingeStopCFM>>, Member<&J::GetParameterCommand<kHingeStopCFM>>},
    {5260, "JointSliderStopERP", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHingeStopERP>>, Member<&J::GetParameterCommand<kHingeStopERP>>},
    {5262, "JointSliderStopBounce", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHingeBounce>>, Member<&J::GetParameterCommand<kHingeBounce>>},
    {5264, "JointSliderVelocity", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHingeVelocity>>, Member<&J::GetParameterCommand<kHingeVelocity>>},
    {5266, "JointSliderMaxForce", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHingeMaxForce>>, Member<&J::GetParameterCommand<kHingeMaxForce>>},
    {5268, "JointSliderFudgeFactor", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHingeFudgeFactor>>, Member<&J::GetParameterCommand<kHingeFudgeFactor>>},
    {5270, "AddJointSliderForce", C, 0, {kValueFloat}, Member<&J::AddForceCommand>},
    {5271, "JointSliderInsertOnAction", P, 0, {kValueBool}, Member<&J::SetInsertOnActionCommand>, Member<&J::GetInsertOnActionCommand>},
};

std::span<const CommandEntry<JointSlider>> JointSlider::Commands() { return kCommands; }
// clang-format on

JointSlider::JointSlider()
    : JointObject(kClassJointSlider, kSetters, {0.00001f, 0, 0, 0.00001f, 0, 0, 0, 0, 1.0f}, kOrder, kOrder, true) {}

int JointSlider::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<JointSlider> handlers(kClassJointSlider, {kCommands});
  handlers.Run(*this, id, args);
  return JointObject::ExecuteCommand(id, args);
}

int JointSlider::AddForceCommand(CommandArgs) { return 1; }

// The slider has no anchor: it keeps the bodies' placement when attached.
dJointID JointSlider::BuildJoint(PhysicsWorld* physics, const JointBodies& bodies) {
  dJointID joint = CreateSliderJoint(physics);
  if (joint == nullptr) return nullptr;
  AttachJoint(joint, bodies.first, bodies.second);
  SetSliderAxis(joint, SourceAxis());
  return joint;
}

void RegisterJointSliderCommands() {
  RegisterCommandTable<JointSlider>(BuildCommandRegistry(), kClassJointSlider, JointSlider::Commands());
  GetObjectFactory().RegisterType<JointSlider>(kClassJointSlider);
}

}  // namespace tge

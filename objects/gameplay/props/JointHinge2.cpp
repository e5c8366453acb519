// JointHinge2's command table and joint.
#include "objects/gameplay/props/JointHinge2.h"

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "objects/gameplay/physics/PhysicsBody.h"
#include "objects/gameplay/physics/PhysicsJoint.h"

namespace tge {
namespace {

constexpr auto C = CommandKind::kCommand;

constexpr JointParameterSetter kSetters[] = {
    &SetHinge2CFM,  &SetHinge2LoStop, &SetHinge2HiStop,          &SetHinge2StopCFM,     &SetHinge2StopERP,
    &SetHinge2Bounce, &SetHinge2Vel,  &SetHinge2FMax,            &SetHinge2FudgeFactor, &SetHinge2CFM2,
    &SetHinge2Vel2, &SetHinge2FMax2,  &SetHinge2SuspensionCFM,   &SetHinge2SuspensionERP,
};
static_assert(std::size(kSetters) == kHinge2ParameterCount);
constexpr std::uint8_t kApplyOrder[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
constexpr std::uint8_t kFileOrder[] = {13, 12, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};

}  // namespace

// clang-format off
using J = JointHinge2;
constexpr CommandEntry<JointHinge2> JointHinge2::kCommands[] = {
    {4500, "SetJointHinge2CFM", C, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHinge2CFM>>},
    {4501, "GetJointHinge2CFM", C, 0, {kValueFloat}, Member<&J::GetParameterCommand<kHinge2CFM>>},
    {4502, "SetJointHinge2LoStop", C, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHinge2LoStop>>},
    {4503, "GetJointHinge2LoStop", C, 0, {kValueFloat}, Member<&J::GetParameterCommand<kHinge2LoStop>>},
    {4504, "SetJointHinge2HiStop", C, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHinge2HiStop>>},
    {4505, "GetJointHinge2HiStop", C, 0, {kValueFloat}, Member<&J::GetParameterCommand<kHinge2HiStop>>},
    {4506, "SetJointHinge2StopCFM", C, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHinge2StopCFM>>},
    {4507, "GetJointHinge2StopCFM", C, 0, {kValueFloat}, Member<&J::GetParameterCommand<kHinge2StopCFM>>},
    {4508, "SetJointHinge2StopERP", C, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHinge2StopERP>>},
    {4509, "GetJointHinge2StopERP", C, 0, {kValueFloat}, Member<&J::GetParameterCommand<kHinge2StopERP>>},
    {4510, "SetJointHinge2StopBounce", C, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHinge2Bounce>>},
    {4511, "GetJointHinge2StopBounce", C, 0, {kValueFloat}, Member<&J::GetParameterCommand<kHinge2Bounce>>},
    {4512, "SetJointHinge2Velocity", C, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHinge2Velocity>>},
    {4513, "GetJointHinge2Velocity", C, 0, {kValueFloat}, Member<&J::GetParameterCommand<kHinge2Velocity>>},
    {4514, "SetJointHinge2MaxVelocityForce", C, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHinge2MaxVelocityForce>>},
    {4515, "GetJointHinge2MaxVelocityForce", C, 0, {kValueFloat}, Member<&J::GetParameterCommand<kHinge2MaxVelocityForce>>},
    {4516, "SetJointHinge2FudgeFactor", C, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHinge2FudgeFactor>>},
    {4517, "GetJointHinge2FudgeFactor", C, 0, {kValueFloat}, Member<&J::GetParameterCommand<kHinge2FudgeFactor>>},
    {4518, "SetJointHinge2CFM2", C, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHinge2CFM2>>},
    {4519, "GetJointHinge2CFM2", C, 0, {kValueFloat}, Member<&J::GetParameterCommand<kHinge2CFM2>>},
    {4520, "SetJointHinge2Velocity2", C, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHinge2Velocity2>>},
    {4521, "GetJointHinge2Velocity2", C, 0, {kValueFloat}, Member<&J::GetParameterCommand<kHinge2Velocity2>>},
    {4522, "SetJointHinge2MaxVelocityForce2", C, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHinge2MaxVelocityForce2>>},
    {4523, "GetJointHinge2MaxVelocityForce2", C, 0, {kValueFloat}, Member<&J::GetParameterCommand<kHinge2MaxVelocityForce2>>},
    {4526, "SetJointHinge2SuspensionERP", C, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHinge2SuspensionERP>>},
    {4527, "GetJointHinge2SuspensionERP", C, 0, {kValueFloat}, Member<&J::GetParameterCommand<kHinge2SuspensionERP>>},
    {4524, "SetJointHinge2SuspensionCFM", C, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHinge2SuspensionCFM>>},
    {4525, "GetJointHinge2SuspensionCFM", C, 0, {kValueFloat}, Member<&J::GetParameterCommand<kHinge2SuspensionCFM>>},
};

std::span<const CommandEntry<JointHinge2>> JointHinge2::Commands() { return kCommands; }
// clang-format on

JointHinge2::JointHinge2()
    : JointObject(kClassJointHinge2, kSetters,
                  {0.00001f, 0, 0, 0.00001f, 0.4f, 0, 0, 0, 1.0f, 0.00001f, 0, 0, 2.0f, 0.2f}, kApplyOrder,
                  kFileOrder, false) {}

int JointHinge2::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<JointHinge2> handlers(kClassJointHinge2, {kCommands});
  handlers.Run(*this, id, args);
  return JointObject::ExecuteCommand(id, args);
}

dJointID JointHinge2::BuildJoint(PhysicsWorld* physics, const JointBodies& bodies) {
  if (bodies.first == nullptr || bodies.second == nullptr) return nullptr;
  SetBodyAutoDisable(bodies.first, 0);
  SetBodyAutoDisable(bodies.second, 0);
  dJointID joint = CreateHinge2Joint(physics);
  if (joint == nullptr) return nullptr;
  AttachJoint(joint, bodies.first, bodies.second);
  SetHinge2Anchor(joint, GetPositionWS());
  SetHinge2Axes(joint, GetAxisYWS(), GetAxisXWS());
  return joint;
}

void RegisterJointHinge2Commands() {
  RegisterCommandTable<JointHinge2>(BuildCommandRegistry(), kClassJointHinge2, JointHinge2::Commands());
  GetObjectFactory().RegisterType<JointHinge2>(kClassJointHinge2);
}

}  // namespace tge

// JointHinge's command table and joint.
#include "objects/gameplay/props/JointHinge.h"

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "objects/gameplay/physics/PhysicsBody.h"
#include "objects/gameplay/physics/PhysicsJoint.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;

constexpr JointParameterSetter kSetters[] = {
    &SetHingeCFM,    &SetHingeLoStop, &SetHingeHiStop, &SetHingeStopCFM,     &SetHingeStopERP,
    &SetHingeBounce, &SetHingeVel,    &SetHingeFMax,   &SetHingeFudgeFactor,
};
static_assert(std::size(kSetters) == kHingeParameterCount);
constexpr std::uint8_t kOrder[] = {0, 1, 2, 3, 4, 5, 6, 7, 8};
constexpr AutoDisableSettings kSleep{1.0f, 0.1f, 1.0f, 3};

}  // namespace

std::span<const JointParameterSetter> HingeParameterSetters() { return kSetters; }

// clang-format off
using J = JointHinge;
constexpr CommandEntry<JointHinge> JointHinge::kCommands[] = {
    {5000, "JointHingeAxis", P, 0, {kValueDword}, Member<&J::SetAxisCommand>, Member<&J::GetAxisCommand>},
    {5002, "JointHingeCFM", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHingeCFM>>, Member<&J::GetParameterCommand<kHingeCFM>>},
    {5004, "JointHingeLoStop", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHingeLoStop>>, Member<&J::GetParameterCommand<kHingeLoStop>>},
    {5006, "JointHingeHiStop", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHingeHiStop>>, Member<&J::GetParameterCommand<kHingeHiStop>>},
    {5008, "JointHingeStopCFM", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHingeStopCFM>>, Member<&J::GetParameterCommand<kHingeStopCFM>>},
    {5010, "JointHingeStopERP", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHingeStopERP>>, Member<&J::GetParameterCommand<kHingeStopERP>>},
    {5012, "JointHingeStopBounce", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHingeBounce>>, Member<&J::GetParameterCommand<kHingeBounce>>},
    {5014, "JointHingeVelocity", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHingeVelocity>>, Member<&J::GetParameterCommand<kHingeVelocity>>},
    {5016, "JointHingeMaxValocityForce", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHingeMaxForce>>, Member<&J::GetParameterCommand<kHingeMaxForce>>},
    {5018, "JointHingeFudgeFactor", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<kHingeFudgeFactor>>, Member<&J::GetParameterCommand<kHingeFudgeFactor>>},
    {5020, "JointHingeInsertOnAction", P, 0, {kValueBool}, Member<&J::SetInsertOnActionCommand>, Member<&J::GetInsertOnActionCommand>},
};

std::span<const CommandEntry<JointHinge>> JointHinge::Commands() { return kCommands; }
// clang-format on

JointHinge::JointHinge()
    : JointObject(kClassJointHinge, kSetters, {0.00001f, 0, 0, 0.00001f, 0.2f, 0, 0, 0, 1.0f}, kOrder, kOrder,
                  true) {}

int JointHinge::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<JointHinge> handlers(kClassJointHinge, {kCommands});
  handlers.Run(*this, id, args);
  return JointObject::ExecuteCommand(id, args);
}

dJointID JointHinge::BuildJoint(PhysicsWorld* physics, const JointBodies& bodies) {
  for (dBodyID body : {bodies.first, bodies.second}) {
    if (body == nullptr) continue;
    ApplyAutoDisable(body, kSleep);
    EnableBody(body, 0);
  }
  dJointID joint = CreateHingeJoint(physics);
  if (joint == nullptr) return nullptr;
  AttachJoint(joint, bodies.first, bodies.second);
  SetHingeAnchor(joint, GetPositionWS());
  SetHingeAxis(joint, SourceAxis());
  return joint;
}

void RegisterJointHingeCommands() {
  RegisterCommandTable<JointHinge>(BuildCommandRegistry(), kClassJointHinge, JointHinge::Commands());
  GetObjectFactory().RegisterType<JointHinge>(kClassJointHinge);
}

}  // namespace tge

// JointUniversal's command table and joint.
#include "objects/gameplay/props/JointUniversal.h"

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "objects/gameplay/physics/PhysicsBody.h"
#include "objects/gameplay/physics/PhysicsJoint.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;

constexpr JointParameterSetter kSetters[] = {
    &SetUniversalCFM,     &SetUniversalLoStop,   &SetUniversalHiStop,   &SetUniversalStopCFM,
    &SetUniversalStopERP, &SetUniversalBounce,   &SetUniversalVel,      &SetUniversalFMax,
    &SetUniversalFudgeFactor,
    &SetUniversalCFM2,    &SetUniversalLoStop2,  &SetUniversalHiStop2,  &SetUniversalStopCFM2,
    &SetUniversalStopERP2, &SetUniversalBounce2, &SetUniversalVel2,     &SetUniversalFMax2,
    &SetUniversalFudgeFactor2,
};
static_assert(std::size(kSetters) == 2 * kUniversalAxisParameters);
constexpr std::uint8_t kApplyOrder[] = {9, 10, 11, 12, 13, 14, 15, 16, 17, 0, 1, 2, 3, 4, 5, 6, 7, 8};
constexpr std::uint8_t kFileOrder[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
constexpr AutoDisableSettings kSleep{0.5f, 0.1f, 2.0f, 1};
constexpr float kAxisDefaults[] = {0.00001f, 0, 0, 0.00001f, 0.2f, 0, 0, 0, 1.0f};

std::vector<float> Defaults() {
  std::vector<float> values(std::begin(kAxisDefaults), std::end(kAxisDefaults));
  values.insert(values.end(), std::begin(kAxisDefaults), std::end(kAxisDefaults));
  return values;
}

}  // namespace

std::span<const JointParameterSetter> UniversalParameterSetters() { return kSetters; }

// clang-format off
using J = JointUniversal;
constexpr CommandEntry<JointUniversal> JointUniversal::kCommands[] = {
    {4750, "JointUniversalAxis", P, 0, {kValueDword}, Member<&J::SetAxisCommand>, Member<&J::GetAxisCommand>},
    {4752, "JointUniversalCFM1", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<0>>, Member<&J::GetParameterCommand<0>>},
    {4754, "JointUniversalLoStop1", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<1>>, Member<&J::GetParameterCommand<1>>},
    {4756, "JointUniversalHiStop1", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<2>>, Member<&J::GetParameterCommand<2>>},
    {4758, "JointUniversalStopCFM1", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<3>>, Member<&J::GetParameterCommand<3>>},
    {4760, "JointUniversalStopERP1", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<4>>, Member<&J::GetParameterCommand<4>>},
    {4762, "JointUniversalStopBounce1", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<5>>, Member<&J::GetParameterCommand<5>>},
    {4764, "JointUniversalVelocity1", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<6>>, Member<&J::GetParameterCommand<6>>},
    {4766, "JointUniversalMaxForce1", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<7>>, Member<&J::GetParameterCommand<7>>},
    {4768, "JointUniversalFudgeFactor1", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<8>>, Member<&J::GetParameterCommand<8>>},
    {4770, "JointUniversalCFM2", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<9>>, Member<&J::GetParameterCommand<9>>},
    {4772, "JointUniversalLoStop", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<10>>, Member<&J::GetParameterCommand<10>>},
    {4774, "JointUniversalHiStop", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<11>>, Member<&J::GetParameterCommand<11>>},
    {4776, "JointUniversalStopCFM2", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<12>>, Member<&J::GetParameterCommand<12>>},
    {4778, "JointUniversalStopERP2", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<13>>, Member<&J::GetParameterCommand<13>>},
    {4780, "JointUniversalStopBounce2", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<14>>, Member<&J::GetParameterCommand<14>>},
    {4782, "JointUniversalVelocity2", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<15>>, Member<&J::GetParameterCommand<15>>},
    {4784, "JointUniversalMaxForce2", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<16>>, Member<&J::GetParameterCommand<16>>},
    {4786, "JointUniversalFudgeFactor2", P, 0, {kValueFloat}, Member<&J::SetParameterCommand<17>>, Member<&J::GetParameterCommand<17>>},
    {4788, "JointUniversalInsertOnAction", P, 0, {kValueBool}, Member<&J::SetInsertOnActionCommand>, Member<&J::GetInsertOnActionCommand>},
    {4790, "JointUniversalBreak", C, 0, {}, Member<&J::ReleaseJointCommand>},
};

std::span<const CommandEntry<JointUniversal>> JointUniversal::Commands() { return kCommands; }
// clang-format on

JointUniversal::JointUniversal()
    : JointObject(kClassJointUniversal, kSetters, Defaults(), kApplyOrder, kFileOrder, true) {}

int JointUniversal::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<JointUniversal> handlers(kClassJointUniversal, {kCommands});
  handlers.Run(*this, id, args);
  return JointObject::ExecuteCommand(id, args);
}

// Axis sources past 2 leave both axes as the library starts them.
dJointID JointUniversal::BuildJoint(PhysicsWorld* physics, const JointBodies& bodies) {
  for (dBodyID body : {bodies.first, bodies.second}) {
    if (body == nullptr) continue;
    ApplyAutoDisable(body, kSleep);
    EnableBody(body, 0);
  }
  dJointID joint = CreateUniversalJoint(physics);
  if (joint == nullptr) return nullptr;
  AttachJoint(joint, bodies.first, bodies.second);
  SetUniversalAnchor(joint, GetPositionWS());
  const Vector3 x = GetAxisXWS(), y = GetAxisYWS(), z = GetAxisZWS();
  const Vector3 axes[3][2] = {{x, z}, {x, y}, {z, y}};
  if (GetAxisSource() < 3) {
    SetUniversalAxis2(joint, axes[GetAxisSource()][1]);
    SetUniversalAxis1(joint, axes[GetAxisSource()][0]);
  }
  return joint;
}

void RegisterJointUniversalCommands() {
  RegisterCommandTable<JointUniversal>(BuildCommandRegistry(), kClassJointUniversal, JointUniversal::Commands());
  GetObjectFactory().RegisterType<JointUniversal>(kClassJointUniversal);
}

}  // namespace tge

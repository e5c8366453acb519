// JointBall's command tables, joint and file record.
#include "objects/gameplay/props/JointBall.h"

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "objects/gameplay/physics/PhysicsJoint.h"

namespace tge {
namespace {

constexpr auto C = CommandKind::kCommand;
constexpr auto P = CommandKind::kProperty;
// The file holds the motor values before the stop values.
constexpr std::size_t kFileOrder[] = {0, 1, 2, 6, 7, 8, 5, 4, 3};

}  // namespace

// clang-format off
using J = JointBall;
constexpr CommandEntry<JointBall> JointBall::kCommands[] = {
    {4252, "SetJointBallCFM", C, 0, {kValueVector3}, Member<&J::SetValueCommand<0>>},
    {4253, "GetJointBallCFM", C, 0, {kValueVector3}, Member<&J::GetValueCommand<0>>},
    {4254, "SetJointBallLoStop", C, 0, {kValueVector3}, Member<&J::SetValueCommand<1>>},
    {4255, "GetJointBallLoStop", C, 0, {kValueVector3}, Member<&J::GetValueCommand<1>>},
    {4256, "SetJointBallHiStop", C, 0, {kValueVector3}, Member<&J::SetValueCommand<2>>},
    {4257, "GetJointBallHiStop", C, 0, {kValueVector3}, Member<&J::GetValueCommand<2>>},
    {4258, "SetJointBallStopCFM", C, 0, {kValueVector3}, Member<&J::SetValueCommand<3>>},
    {4259, "GetJointBallStopCFM", C, 0, {kValueVector3}, Member<&J::GetValueCommand<3>>},
    {4260, "SetJointBallStopERP", C, 0, {kValueVector3}, Member<&J::SetValueCommand<4>>},
    {4261, "GetJointBallStopERP", C, 0, {kValueVector3}, Member<&J::GetValueCommand<4>>},
    {4262, "SetJointBallStopBounce", C, 0, {kValueVector3}, Member<&J::SetValueCommand<5>>},
    {4263, "GetJointBallStopBounce", C, 0, {kValueVector3}, Member<&J::GetValueCommand<5>>},
    {4264, "SetJointBallVelocity", C, 0, {kValueVector3}, Member<&J::SetValueCommand<6>>},
    {4265, "GetJointBallVelocity", C, 0, {kValueVector3}, Member<&J::GetValueCommand<6>>},
    {4266, "SetJointBallMaxValocityForce", C, 0, {kValueVector3}, Member<&J::SetValueCommand<7>>},
    {4267, "GetJointBallMaxValocityForce", C, 0, {kValueVector3}, Member<&J::GetValueCommand<7>>},
    {4268, "SetJointBallFudgeFactor", C, 0, {kValueVector3}, Member<&J::SetValueCommand<8>>},
    {4269, "GetJointBallFudgeFactor", C, 0, {kValueVector3}, Member<&J::GetValueCommand<8>>},
};

std::span<const CommandEntry<JointBall>> JointBall::Commands() { return kCommands; }

// The axis source and insert-on-action: answered but never registered.
using J = JointBall;
constexpr CommandEntry<JointBall> JointBall::kHiddenCommands[] = {
    {4250, "", P, 0, {kValueDword}, Member<&J::SetAxisCommand>, Member<&J::GetAxisCommand>},
    {4270, "", P, 0, {kValueBool}, Member<&J::SetInsertOnActionCommand>, Member<&J::GetInsertOnActionCommand>},
};

std::span<const CommandEntry<JointBall>> JointBall::HiddenCommands() { return kHiddenCommands; }
// clang-format on

JointBall::JointBall() : JointObject(kClassJointBall, {}, {}, {}, {}, true) {}

int JointBall::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<JointBall> handlers(kClassJointBall, {kCommands, kHiddenCommands});
  handlers.Run(*this, id, args);
  const int result = JointObject::ExecuteCommand(id, args);
  if (id == kCommandInitializeNewObject) SetWSOrientation(true);
  return result;
}

dJointID JointBall::BuildJoint(PhysicsWorld* physics, const JointBodies& bodies) {
  dJointID joint = CreateBallJoint(physics);
  if (joint == nullptr) return nullptr;
  AttachJoint(joint, bodies.first, bodies.second);
  SetBallAnchor(joint, GetPositionWS());
  return joint;
}

bool JointBall::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() < 1) return !stream.Failed();
  stream.Serialize(jointFlags_);
  for (std::size_t index : kFileOrder) stream.Serialize(values_[index]);
  return !stream.Failed();
}

void RegisterJointBallCommands() {
  RegisterCommandTable<JointBall>(BuildCommandRegistry(), kClassJointBall, JointBall::Commands());
  GetObjectFactory().RegisterType<JointBall>(kClassJointBall);
}

}  // namespace tge

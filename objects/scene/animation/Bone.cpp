// Bone's command table, joint and file record.
#include "objects/scene/animation/Bone.h"

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/PhysicsHooks.h"
#include "core/World.h"
#include "core/files/SerializeStream.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
// Internal: the skeleton bone id, set and read by the skin mesh.
constexpr std::uint32_t kCommandSetBoneIndex = 1796;
constexpr std::uint32_t kCommandGetBoneIndex = 1797;
constexpr int kFirstVersionWithJointVectors = 18;
constexpr int kFirstVersionWithDamageMul = 22;
constexpr std::uint32_t kAxisChoices = 6;
// The rag doll's own universal-joint limits; a hinge takes its stop values
// from the Bone.
constexpr float kJointCfm = 0.005f;
constexpr float kUniversalStopErp = 0.05f;

}  // namespace

// clang-format off
constexpr CommandEntry<Bone> Bone::kCommands[] = {
    {1750, "BoneRotationType", P, 0, {kValueDword}, FieldSetter<&Bone::rotationType_>, FieldGetter<&Bone::rotationType_>},
    {1752, "BoneRotation", P, 0, {kValueQuaternion}, FieldSetter<&Bone::rotation_>, FieldGetter<&Bone::rotation_>},
    {1754, "BoneRotationBlend", P, 0, {kValueFloat}, FieldSetter<&Bone::rotationBlend_>, FieldGetter<&Bone::rotationBlend_>},
    {1756, "BonePositionType", P, 0, {kValueDword}, FieldSetter<&Bone::positionType_>, FieldGetter<&Bone::positionType_>},
    {1758, "BonePosition", P, 0, {kValueVector3}, FieldSetter<&Bone::position_>, FieldGetter<&Bone::position_>},
    {1760, "BonePositionBlend", P, 0, {kValueFloat}, FieldSetter<&Bone::positionBlend_>, FieldGetter<&Bone::positionBlend_>},
    {1762, "BoneScaleType", P, 0, {kValueDword}, FieldSetter<&Bone::scaleType_>, FieldGetter<&Bone::scaleType_>},
    {1764, "BoneScale", P, 0, {kValueVector3}, FieldSetter<&Bone::scale_>, FieldGetter<&Bone::scale_>},
    {1766, "BoneScaleBlend", P, 0, {kValueFloat}, FieldSetter<&Bone::scaleBlend_>, FieldGetter<&Bone::scaleBlend_>},
    {1768, "BoneEnableJoint", P, 0, {kValueBool}, FlagSetter<&Bone::boneWord_, kBoneEnableJoint>, FlagGetter<&Bone::boneWord_, kBoneEnableJoint>},
    {1770, "BoneJointType", P, 0, {kValueDword}, Member<&Bone::SetWordByteCommand<kBoneJointTypeShift>>, Member<&Bone::GetWordByteCommand<kBoneJointTypeShift>>},
    {1772, "BoneJointAxis", P, 0, {kValueDword}, Member<&Bone::SetWordByteCommand<kBoneJointAxisShift>>, Member<&Bone::GetWordByteCommand<kBoneJointAxisShift>>},
    {1774, "BoneJointCFM", P, 0, {kValueVector3}, FieldSetter<&Bone::jointCfm_>, FieldGetter<&Bone::jointCfm_>},
    {1776, "BoneJointLoStop", P, 0, {kValueVector3}, FieldSetter<&Bone::jointLoStop_>, FieldGetter<&Bone::jointLoStop_>},
    {1778, "BoneJointHiStop", P, 0, {kValueVector3}, FieldSetter<&Bone::jointHiStop_>, FieldGetter<&Bone::jointHiStop_>},
    {1780, "BoneJointStopCFM", P, 0, {kValueVector3}, FieldSetter<&Bone::jointStopCfm_>, FieldGetter<&Bone::jointStopCfm_>},
    {1782, "BoneJointStopERP", P, 0, {kValueVector3}, FieldSetter<&Bone::jointStopErp_>, FieldGetter<&Bone::jointStopErp_>},
    {1784, "BoneJointStopBounce", P, 0, {kValueVector3}, FieldSetter<&Bone::jointStopBounce_>, FieldGetter<&Bone::jointStopBounce_>},
    {1786, "BoneJointVelocity", P, 0, {kValueVector3}, FieldSetter<&Bone::jointVelocity_>, FieldGetter<&Bone::jointVelocity_>},
    {1788, "BoneJointMaxForce", P, 0, {kValueVector3}, FieldSetter<&Bone::jointMaxForce_>, FieldGetter<&Bone::jointMaxForce_>},
    {1790, "BoneJointFudgeFactor", P, 0, {kValueVector3}, FieldSetter<&Bone::jointFudgeFactor_>, FieldGetter<&Bone::jointFudgeFactor_>},
    {1792, "BoneDamageMul", P, 0, {kValueFloat}, FieldSetter<&Bone::damageMul_>, FieldGetter<&Bone::damageMul_>},
    {1794, "BoneEnableDamage", P, 0, {kValueBool}, FlagSetter<&Bone::boneWord_, kBoneEnableDamage>, FlagGetter<&Bone::boneWord_, kBoneEnableDamage>},
};

std::span<const CommandEntry<Bone>> Bone::Commands() { return kCommands; }
// clang-format on

Bone::Bone() : Object(kClassBone) {}

Bone::~Bone() { DestroyJoint(); }

void Bone::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  joint_ = nullptr;
}

int Bone::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Bone> handlers(kClassBone, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandSetBoneIndex && args != nullptr) {
    boneIndex_ = CommandArgs(args).Get<std::int32_t>();
  } else if (id == kCommandGetBoneIndex && args != nullptr) {
    CommandArgs(args).Set(boneIndex_);
  } else if (id == kCommandStartPhysics && GetActive() && (boneWord_ & kBoneEnableJoint) && GetBody()) {
    CreateJoint();
  } else if (id == kCommandStopPhysics && (boneWord_ & kBoneEnableJoint)) {
    DestroyJoint();
  }
  return Object::ExecuteCommand(id, args);
}

void Bone::CreateJoint() {
  DestroyJoint();
  PhysicsHooks* hooks = GetPhysicsHooks();
  World* world = GetWorld();
  const std::uint32_t type = GetJointType();
  const std::uint32_t axis = GetJointAxis();
  if (!hooks || !world || (type != kBoneJointHinge && type != kBoneJointUniversal) || axis >= kAxisChoices) return;
  LimitedJoint joint;
  for (Object* ancestor = GetParent(); ancestor && !joint.first; ancestor = ancestor->GetParent()) {
    joint.first = ancestor->GetBody();
  }
  joint.second = GetBody();
  joint.anchor = GetPositionWS();
  const Vector3 x = GetAxisXWS(), y = GetAxisYWS(), z = GetAxisZWS();
  const Vector3 axes[kAxisChoices][2] = {{x, z}, {y, x}, {z, y}, {-x, -z}, {-y, -z}, {-z, -x}};
  joint.axis1 = axes[axis][0];
  joint.axis2 = axes[axis][1];
  joint.loStop = jointLoStop_.x;
  joint.hiStop = jointHiStop_.x;
  joint.cfm = kJointCfm;
  if (type == kBoneJointUniversal) {
    joint.kind = LimitedJoint::Kind::kUniversal;
    joint.loStop2 = jointLoStop_.y;
    joint.hiStop2 = jointHiStop_.y;
    joint.stopErp = kUniversalStopErp;
    joint.stopCfm = kJointCfm;
  } else {
    joint.stopErp = jointStopErp_.x;
    joint.stopCfm = jointStopCfm_.x;
  }
  joint_ = hooks->CreateLimitedJoint(world->GetPhysicsWorld(), joint);
}

void Bone::DestroyJoint() {
  if (joint_ == nullptr) return;
  if (PhysicsHooks* hooks = GetPhysicsHooks()) hooks->DestroyJoint(joint_);
  joint_ = nullptr;
}

bool Bone::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version < 1) return !stream.Failed();
  stream.SerializeDword(&boneWord_);
  std::uint32_t spare = 0;
  stream.SerializeDword(&spare);
  if (version >= kFirstVersionWithJointVectors) {
    for (Vector3* v : {&jointCfm_, &jointLoStop_, &jointHiStop_, &jointVelocity_, &jointMaxForce_,
                       &jointFudgeFactor_, &jointStopBounce_, &jointStopErp_, &jointStopCfm_}) {
      stream.Serialize(*v);
    }
  }
  if (version >= kFirstVersionWithDamageMul) stream.SerializeDword(&damageMul_);
  return !stream.Failed();
}

void RegisterBoneCommands() {
  RegisterCommandTable<Bone>(BuildCommandRegistry(), kClassBone, Bone::Commands());
  GetObjectFactory().RegisterType<Bone>(kClassBone);
}

}  // namespace tge

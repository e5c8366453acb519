// SkinMesh's skeleton side: the map from skeleton bones to Bone children,
// exposing bones, the rest pose, and the rag doll with its built-in joint
// limits and the explosion push.
#include <algorithm>
#include <array>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/trees/ObjectServices.h"
#include "objects/scene/animation/Bone.h"
#include "objects/scene/animation/SkinMesh.h"
#include "services/resources/SkinMeshResource.h"

namespace tge {
namespace {

// Internal: the setter of "LinearVelocity", broadcast to the subtree.
constexpr std::uint32_t kCommandSetLinearVelocity = 151;
// A rag doll started again takes the new time only while its own is short.
constexpr float kRagDollRestartLimit = 4.0f;
constexpr std::uint32_t kDefaultJointAxis = 4;

struct RagDollJoint {
  int boneId;
  std::uint32_t type;
  Vector3 low;
  Vector3 high;
};

constexpr std::array<RagDollJoint, 11> kRagDollJoints = {{
    {1, kBoneJointHinge, {-1.2f, 0, 0}, {0.3f, 0, 0}},
    {2, kBoneJointHinge, {0, 0, 0}, {1.8f, 0, 0}},
    {19, kBoneJointHinge, {-1.2f, 0, 0}, {0.3f, 0, 0}},
    {20, kBoneJointHinge, {0, 0, 0}, {1.8f, 0, 0}},
    {38, kBoneJointUniversal, {-0.5f, -0.5f, 0}, {0.5f, 0.5f, 0}},
    {42, kBoneJointUniversal, {-0.5f, -0.5f, 0}, {0.5f, 0.5f, 0}},
    {47, kBoneJointUniversal, {-0.5f, -0.5f, 0}, {0.5f, 0.5f, 0}},
    {49, kBoneJointUniversal, {-0.1f, -1.0f, 0}, {0.1f, 0, 0}},
    {50, kBoneJointHinge, {0, 0, 0}, {1.4f, 0, 0}},
    {68, kBoneJointUniversal, {-0.1f, 0, 0}, {0.1f, 1.0f, 0}},
    {69, kBoneJointHinge, {0, 0, 0}, {1.4f, 0, 0}},
}};

// Force x mass x the share of the radius left (none beyond it).
void PushBody(Object& object, const Vector3& centre, float radius, const Vector3& force) {
  Vector3 away;
  const float distance = Vector3Length(Vector3Subtract(away, object.GetPositionWS(), centre));
  const float factor = std::max(0.0f, (radius - distance) / radius);
  Vector3 push;
  object.ApplyBodyVector(BodyVector::kAddForce, Vector3Scale(push, force, object.GetMass() * factor));
}

}  // namespace

const std::vector<SkinBone>& SkinMesh::Skeleton() const { return GetSkinBones(skin_.Get()); }

// Loads the skin so its skeleton is there; nothing when it has no bones.
void SkinMesh::BuildBoneMap() {
  AcquireSkinMesh();
  if (skin_) skin_->Load();
  const std::vector<SkinBone>& bones = GetSkinBones(skin_.Get());
  if (bones.empty()) return;
  boneMapBuilt_ = true;
  boneMap_.fill(kNoBone);
  boneObjects_.assign(bones.size() - 1, ObjectRef<Bone>());
  boneMatrices_.assign(bones.size(), Matrix4{});
  for (std::size_t a = 0; a < bones.size(); ++a) {
    boneMap_[bones[a].boneId] = static_cast<std::uint8_t>(a);
    if (a == 0) continue;
    auto* bone = static_cast<Bone*>(FindChildByName(bones[a].name, kClassBone));
    boneObjects_[a - 1].Set(bone);
    if (bone) bone->SetBoneIndex(static_cast<std::int32_t>(bones[a].boneId));
  }
}

void SkinMesh::SetRestPose() {
  const std::vector<SkinBone>& skeleton = Skeleton();
  for (std::size_t i = 1; i < skeleton.size() && i - 1 < boneObjects_.size(); ++i) {
    Bone* bone = boneObjects_[i - 1].Get();
    if (!bone) continue;
    bone->SetPosition(skeleton[i].position, false);
    bone->SetRotation(skeleton[i].rotation, false);
  }
}

void SkinMesh::ExposeBones(bool on) {
  AcquireSkinMesh();
  auto* skin = ResourceCast<SkinMeshResource>(skin_.Get());
  if (!skin || !skin->IsLoaded()) return;
  exposeBones_ = on ? 1 : 0;
  if (!on) {
    for (int i = GetChildCount() - 1; i >= 0; --i) {
      if (GetChild(i)->GetClassId() == kClassBone) GetChild(i)->Delete(true);
    }
    boneObjects_.clear();
    return;
  }
  const std::vector<SkinBone>& bones = GetSkinBones(skin);
  if (bones.empty()) return;
  SetName(bones[0].name);
  BuildBoneMap();
  SetRestPose();
}

Bone* SkinMesh::GetBoneObject(int boneId) {
  if (!boneMapBuilt_) BuildBoneMap();
  if (boneId < 0 || boneId >= static_cast<int>(kMaxBones)) return nullptr;
  const std::uint8_t index = boneMap_[static_cast<std::size_t>(boneId)];
  if (index == kNoBone || index == 0 || index > boneObjects_.size()) return nullptr;
  return boneObjects_[index - 1].Get();
}

// Strictly nearer replaces, so the first of equals wins.
Bone* SkinMesh::FindNearestBone(const Vector3& position, bool bodiesOnly, bool damageOnly) {
  if (!boneMapBuilt_) BuildBoneMap();
  Bone* nearest = nullptr;
  float best = 0;
  for (const ObjectRef<Bone>& ref : boneObjects_) {
    Bone* bone = ref.Get();
    if (!bone || (bodiesOnly && !bone->GetBody()) || (!bodiesOnly && damageOnly && !bone->IsDamageEnabled())) continue;
    Vector3 away;
    const float distance = Vector3Length(Vector3Subtract(away, bone->GetPositionWS(), position));
    if (!nearest || distance < best) {
      nearest = bone;
      best = distance;
    }
  }
  return nearest;
}

void SkinMesh::StartRagDoll(float time) {
  if (IsRagDollActive()) {
    if (ragDollTime_ < kRagDollRestartLimit) ragDollTime_ = time;
    return;
  }
  SetRestPose();
  ExecuteCommand(kCommandCreatePhysics, nullptr);
  ExecuteCommand(kCommandStartPhysics, nullptr);
  SetAnimate(false);
  Vector3 velocity = GetLinearVelocity();
  BroadcastCommand(*this, kCommandSetLinearVelocity, &velocity);
  SetSkinFlag(kSkinMeshRagDoll, true);
  ragDollTime_ = time;
}

void SkinMesh::StopRagDoll() {
  if (!IsRagDollActive()) return;
  SetSkinFlag(kSkinMeshRagDoll, false);
  SetAnimate(true);
  ragDollTime_ = 0;
  ExecuteCommand(kCommandStopPhysics, nullptr);
  ExecuteCommand(kCommandReleasePhysics, nullptr);
}

void SkinMesh::SetDefaultRagDollValues() {
  BuildBoneMap();
  for (const RagDollJoint& joint : kRagDollJoints) {
    Bone* bone = GetBoneObject(joint.boneId);
    if (!bone) continue;
    bone->SetJointType(joint.type);
    bone->SetJointAxis(kDefaultJointAxis);
    bone->SetJointStops(joint.low, joint.high);
  }
}

void SkinMesh::ApplyExplosionForce(const Vector3& centre, float radius, const Vector3& force) {
  if (!IsRagDollActive() || radius <= 0) return;
  for (const ObjectRef<Bone>& ref : boneObjects_) {
    Bone* bone = ref.Get();
    if (bone && bone->GetBody()) PushBody(*bone, centre, radius, force);
  }
  if (GetBody()) PushBody(*this, centre, radius, force);
}

}  // namespace tge

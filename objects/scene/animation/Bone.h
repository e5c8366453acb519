// Bone (class 7): a child of a SkinMesh that stands for one skeleton bone,
// found by name when the skin mesh exposes its bones. It lets scripts and
// gameplay code override or blend the animated rotation and position of its
// bone (the skin mesh's pose step reads the types and blends), carries the
// hinge or universal joint that ties its body to the nearest ancestor body
// while the skin mesh is a rag doll, and holds a damage multiplier for hits.
//
// The joint is made through the physics hooks when physics starts (with
// "BoneEnableJoint" set) and destroyed when physics stops or the Bone goes.
#pragma once
#include <cstdint>
#include <span>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector.h"

namespace tge {

struct PhysicsJoint;

// Bits of the bone word: the joint axis in the low byte, the joint type in
// bits 16 to 23.
inline constexpr std::uint32_t kBoneEnableJoint = 0x100;
inline constexpr std::uint32_t kBoneEnableDamage = 0x200;
inline constexpr int kBoneJointAxisShift = 0;
inline constexpr int kBoneJointTypeShift = 16;
inline constexpr std::uint32_t kBoneJointHinge = 0;
inline constexpr std::uint32_t kBoneJointUniversal = 1;

class Bone : public Object {
 public:
  static std::span<const CommandEntry<Bone>> Commands();
  static const CommandEntry<Bone> kCommands[];

  Bone();
  ~Bone() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  // The copy has no joint.
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;

  std::int32_t GetBoneIndex() const { return boneIndex_; }
  void SetBoneIndex(std::int32_t index) { boneIndex_ = index; }
  std::int32_t GetRotationType() const { return rotationType_; }
  const Quaternion& GetBoneRotation() const { return rotation_; }
  void SetBoneRotation(const Quaternion& rotation) { rotation_ = rotation; }
  float GetRotationBlend() const { return rotationBlend_; }
  void SetRotationBlend(float blend) { rotationBlend_ = blend; }
  std::int32_t GetPositionType() const { return positionType_; }
  const Vector3& GetBonePosition() const { return position_; }
  float GetPositionBlend() const { return positionBlend_; }
  const Vector3& GetBoneScale() const { return scale_; }
  float GetDamageMul() const { return damageMul_; }
  bool IsDamageEnabled() const { return (boneWord_ & kBoneEnableDamage) != 0; }
  std::uint32_t GetJointType() const { return WordByte(kBoneJointTypeShift); }
  std::uint32_t GetJointAxis() const { return WordByte(kBoneJointAxisShift); }
  void SetJointType(std::uint32_t type) { SetWordByte(kBoneJointTypeShift, type); }
  void SetJointAxis(std::uint32_t axis) { SetWordByte(kBoneJointAxisShift, axis); }
  void SetJointStops(const Vector3& low, const Vector3& high) {
    jointLoStop_ = low;
    jointHiStop_ = high;
  }
  void SetJointStopERP(const Vector3& erp) { jointStopErp_ = erp; }
  PhysicsJoint* GetJoint() const { return joint_; }

  // Replaces the joint by one made from the current settings; none for a
  // joint type other than hinge or universal, or an axis value above 5.
  void CreateJoint();
  void DestroyJoint();

 private:
  template <int Shift>
  int SetWordByteCommand(CommandArgs args) {
    SetWordByte(Shift, args.Get<std::uint32_t>());
    return 1;
  }
  template <int Shift>
  int GetWordByteCommand(CommandArgs args) {
    args.Set<std::uint32_t>(WordByte(Shift));
    return 1;
  }

  std::uint32_t WordByte(int shift) const { return (boneWord_ >> shift) & 0xFF; }
  void SetWordByte(int shift, std::uint32_t value) {
    boneWord_ = (boneWord_ & ~(0xFFu << shift)) | ((value & 0xFF) << shift);
  }

  std::int32_t rotationType_ = 0;
  Quaternion rotation_;
  float rotationBlend_ = 0;
  std::int32_t positionType_ = 0;
  Vector3 position_;
  float positionBlend_ = 0;
  std::int32_t scaleType_ = 0;
  Vector3 scale_{1, 1, 1};
  float scaleBlend_ = 0;
  Vector3 jointCfm_{1e-5f, 1e-5f, 1e-5f};
  Vector3 jointLoStop_;
  Vector3 jointHiStop_;
  Vector3 jointVelocity_;
  Vector3 jointMaxForce_;
  Vector3 jointFudgeFactor_{1, 1, 1};
  Vector3 jointStopBounce_;
  Vector3 jointStopErp_{0.4f, 0.4f, 0.4f};
  Vector3 jointStopCfm_{1e-5f, 1e-5f, 1e-5f};
  PhysicsJoint* joint_ = nullptr;
  float damageMul_ = 1.0f;
  std::int32_t boneIndex_ = -1;
  std::uint32_t boneWord_ = 0;
};

void RegisterBoneCommands();

}  // namespace tge

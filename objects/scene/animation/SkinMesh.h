// SkinMesh (class 10): draws a skinned mesh resource posed by keyframe
// animations. It keeps a list of named animation entries and plays them on
// channels of two states each (the current one and the one fading out),
// cross-fading on a switch, looping, moving on to a queued next animation or
// a random alternative at the end, and extracting the root's motion. Its
// skeleton's bones map to Bone children, which can override the pose and
// carry the joints of the rag doll it switches to.
//
// The implementation is split by responsibility: SkinMesh.cpp (commands,
// entries, file record), SkinMeshAnimation.cpp (starting entries, the
// per-frame pose, the bone matrices and the draw) and SkinMeshBones.cpp
// (the bone map, exposing bones, the rest pose and the rag doll).
//
// Resources are held by counted handles, Bones and the listener by weak
// references; channel states name their entry by index.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "core/math/Matrix4.h"
#include "core/math/Quaternion.h"
#include "core/math/Shapes.h"
#include "core/math/Vector.h"
#include "services/resources/ResourceRef.h"

namespace tge {

class Bone;
struct SkinBone;

// Bits of the skin flags.
inline constexpr std::uint32_t kSkinMeshAnimate = 0x1;
inline constexpr std::uint32_t kSkinMeshRagDoll = 0x2;
inline constexpr std::uint32_t kSkinMeshShowKeyPosition = 0x4;
inline constexpr std::uint32_t kSkinMeshPoseParent = 0x8;
inline constexpr std::uint32_t kSkinMeshEnablePositionKeys = 0x10000;
inline constexpr std::uint32_t kSkinMeshFarSkinCache = 0x20000;

// Bits of an entry's flags.
inline constexpr std::uint32_t kSkinEntryBreakCurrent = 0x1;
inline constexpr std::uint32_t kSkinEntryNoAITurning = 0x2;
inline constexpr std::uint32_t kSkinEntryAttackLeftHand = 0x4;
inline constexpr std::uint32_t kSkinEntryAttackRightHand = 0x8;
inline constexpr std::uint32_t kSkinEntryAttackLeftFoot = 0x10;
inline constexpr std::uint32_t kSkinEntryAttackRightFoot = 0x20;
inline constexpr std::uint32_t kSkinEntryAttackHead = 0x40;
inline constexpr std::uint32_t kSkinEntryUseAlternative = 0x80;

// Sent to the animation listener with the int32 entry index.
inline constexpr std::uint32_t kCommandSkinMeshAnimationStarted = 2552;

struct SkinMeshAnimationEntry {
  std::string name;
  ResourceRef animation;  // acquired when first needed
  float fadeIn = 0.2f;
  float fadeOut = 0;
  std::uint32_t channel = 0;
  std::vector<std::int32_t> alternatives;
  std::int32_t baseIndex = -1;
  std::int32_t ownIndex = 0;
  std::uint32_t flags = kSkinEntryUseAlternative;
};

struct SkinMeshChannelState {
  Resource* animation = nullptr;  // null: idle; held by its entry
  std::int32_t entry = -1;
  // One cursor per track of the animation.
  std::vector<std::int32_t> rotationCursors;
  std::vector<std::int32_t> positionCursors;
  float time = 0;
  float speed = 1.0f;
  float length = 0;
  float weight = 1.0f;
  float fadeRate = 0;
  float blendScale = 1.0f;
  Vector3 rootPosition;

  void Idle() {
    animation = nullptr;
    entry = -1;
  }
  void ClearCursors();
};

class SkinMesh : public Object {
 public:
  static constexpr std::size_t kMaxBones = 256;
  static constexpr std::uint8_t kNoBone = 255;
  // Starting a channel beyond this many is refused.
  static constexpr int kMaxChannels = 16;
  static constexpr int kMaxAlternatives = 20;

  static std::span<const CommandEntry<SkinMesh>> Commands();
  static const CommandEntry<SkinMesh> kCommands[];

  SkinMesh();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  void Precalculate() override;

  // Animation operations the character types call.
  int SetSkinMeshAnimation(const std::string& name, int channel);
  int SetSkinMeshNextAnimation(const std::string& name);
  int HasAnimation(const std::string& name) const;
  // The new entry's index; -1 when an entry has exactly that name.
  int AddAnimation(const std::string& name);
  const SkinMeshAnimationEntry* GetAnimationEntry(int index) const;
  int GetAnimationCount() const { return static_cast<int>(entries_.size()); }
  std::string GetAnimationName(int index) const;
  std::string GetAlternativeAnimationName(int index) const;
  float GetAnimationLength(int index) const;
  void SetAnimationSpeed(float speed) { animationSpeed_ = speed; }
  void SetAnimationSpeedMul(float mul) { speedMul_ = mul; }
  float GetAnimationSpeedMul() const { return speedMul_; }
  void SetAnimate(bool on) { SetSkinFlag(kSkinMeshAnimate, on); }
  void SetFarSkinCache(bool on) { SetSkinFlag(kSkinMeshFarSkinCache, on); }
  void SetApplyRootMotion(bool on) { applyRootMotion_ = on ? 1 : 0; }
  void SetAnimationListener(Object* listener) { listener_.Set(listener); }
  const Vector3& GetRootMotion() const { return rootMotion_; }
  Resource* GetResourceMesh() const { return innerMesh_; }
  Resource* GetSkinMeshResource() const { return skin_.Get(); }
  // The per-frame update; runs once until the draw clears its mark.
  void UpdateAnimation(float dt);

  // Bones and rag doll (SkinMeshBones.cpp).
  Bone* GetBoneObject(int boneId);
  Bone* FindNearestBone(const Vector3& position, bool bodiesOnly, bool damageOnly);
  void StartRagDoll(float time);
  void StopRagDoll();
  void SetDefaultRagDollValues();
  void ApplyExplosionForce(const Vector3& centre, float radius, const Vector3& force);
  bool IsRagDollActive() const { return (skinFlags_ & kSkinMeshRagDoll) != 0; }
  float GetRagDollTime() const { return ragDollTime_; }

  std::uint32_t GetSkinFlags() const { return skinFlags_; }
  int GetCurrentEntryIndex() const { return currentEntry_; }
  const std::string& GetCurrentAnimationName() const { return currentName_; }
  const std::string& GetNextAnimationName() const { return nextName_; }
  const SkinMeshChannelState& GetChannelState(std::size_t index) const { return states_[index]; }
  std::size_t GetChannelStateCount() const { return states_.size(); }
  std::span<const Matrix4> GetBoneMatrices() const { return boneMatrices_; }
  const Sphere& GetBoundingSphere() const { return boundingSphere_; }
  float GetRecordedRootHeight() const { return recordedRootHeight_; }

 private:
  // Commands (SkinMesh.cpp).
  int SetSkinMeshCommand(CommandArgs args);
  int GetSkinMeshCommand(CommandArgs args);
  int SetMaterialCommand(CommandArgs args);
  int SetExposeBonesCommand(CommandArgs args);
  int GetExposeBonesCommand(CommandArgs args);
  template <std::uint32_t Bit>
  int SetSkinFlagCommand(CommandArgs args);
  int SetAnimationSpeedCommand(CommandArgs args);
  int GetAnimationSpeedCommand(CommandArgs args);
  int AddAnimationCommand(CommandArgs args);
  int SetAnimationListCommand(CommandArgs args);
  int GetAnimationListCommand(CommandArgs args);
  int DeleteAnimationCommand(CommandArgs args);
  template <auto Field>
  int SetEntryFieldCommand(CommandArgs args);
  template <auto Field>
  int GetEntryFieldCommand(CommandArgs args);
  template <std::uint32_t Bit>
  int SetEntryFlagCommand(CommandArgs args);
  template <std::uint32_t Bit>
  int GetEntryFlagCommand(CommandArgs args);
  int SetApplyRootMotionCommand(CommandArgs args);
  int GetApplyRootMotionCommand(CommandArgs args);
  int SetHasNamePrefixCommand(CommandArgs args);
  int GetHasNamePrefixCommand(CommandArgs args);
  int SetAnimationCommand(CommandArgs args);
  int SetNextAnimationCommand(CommandArgs args);
  int SetSubsetActiveCommand(CommandArgs args);
  int StartRagDollCommand(CommandArgs args);
  int StopRagDollCommand(CommandArgs args);
  int SetDefaultRagDollValuesCommand(CommandArgs args);

  void SetSkinFlag(std::uint32_t bit, bool on) { skinFlags_ = on ? (skinFlags_ | bit) : (skinFlags_ & ~bit); }
  SkinMeshAnimationEntry* SelectedEntry();
  // The entry named name with the prefix skipped (any case); -1 for none.
  int FindEntry(const std::string& name) const;
  std::size_t PrefixSkip(const std::string& name) const;
  void RebuildAlternatives();
  void AcquireSkinMesh();
  // The entry's animation, acquired and loaded when missing.
  Resource* AcquireAnimation(SkinMeshAnimationEntry& entry);
  void CollectResources(void* set);
  void ResetStates();

  // Animation (SkinMeshAnimation.cpp).
  void StartEntry(int index, int channel);
  void AdvanceStates(float step);
  void BlendStates(float step);
  void SampleState(SkinMeshChannelState& state, bool first, bool rootTrack);
  void PoseSkeleton();
  void PoseBone(std::size_t index, Bone& bone);
  void UpdateBoneMatrices();
  // The channel's first state's entry has ended: what comes next.
  void OnChannelZeroWrapped(int entryIndex);
  // False when the listener's answer deleted this object.
  bool TellListener(std::int32_t entryIndex);

  // Bones (SkinMeshBones.cpp).
  const std::vector<SkinBone>& Skeleton() const;
  void BuildBoneMap();
  void SetRestPose();
  void ExposeBones(bool on);

  std::vector<SkinMeshAnimationEntry> entries_;
  std::string currentName_;
  std::string nextName_;
  ResourceRef skin_;
  std::string skinName_;
  Resource* innerMesh_ = nullptr;  // the skin's mesh; held through the skin
  ResourceRef material_;
  std::int32_t exposeBones_ = 0;
  std::array<std::uint8_t, kMaxBones> boneMap_{};
  std::vector<Matrix4> boneMatrices_;
  // Set once the map is built; the skeleton itself is always read from the
  // skin, so an unloaded skin leaves nothing dangling.
  bool boneMapBuilt_ = false;
  std::vector<SkinMeshChannelState> states_;
  std::array<Vector3, kMaxBones> posePositions_{};
  std::array<Quaternion, kMaxBones> poseRotations_{};
  std::vector<ObjectRef<Bone>> boneObjects_;
  std::int32_t selected_ = -1;
  std::int32_t applyRootMotion_ = 0;
  Vector3 rootMotion_;
  std::int32_t recordRootHeight_ = 1;
  float recordedRootHeight_ = 0;
  std::string neutralName_ = "N_Neural";
  std::int32_t currentEntry_ = -1;
  float ragDollTime_ = 0;
  float animationSpeed_ = 1.0f;
  float speedMul_ = 1.0f;
  bool updatedThisFrame_ = false;
  bool skinReusable_ = false;
  std::int32_t hasNamePrefix_ = 1;
  ObjectRef<Object> listener_;
  Sphere boundingSphere_;
  std::size_t prefixLength_ = 0;
  std::uint32_t skinFlags_ = 0;
  float cameraDistance_ = 0;
};

void RegisterSkinMeshCommands();

}  // namespace tge

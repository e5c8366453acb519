// SkinMesh's animation: starting entries on channels with their cross-fade,
// the per-frame advance and blend of the channel states, posing the root and
// the Bones, the bone matrices handed to the skinning, and the draw.
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/ObjectHooks.h"
#include "core/math/Random.h"
#include "objects/scene/animation/Bone.h"
#include "objects/scene/animation/SkinMesh.h"
#include "services/EngineServices.h"
#include "services/resources/AnimationResource.h"
#include "services/resources/SkinMeshResource.h"

namespace tge {
namespace {

// A blend factor this close to 1 replaces the pose outright.
constexpr float kOverwriteFactor = 0.999f;
constexpr float kFarSkinCacheDistance = 20.0f;

Vector3 RootAtStart(Resource* animation) {
  Vector3 root;
  SampleAnimationPosition(animation, 0, 0.0f, &root, nullptr);
  return root;
}

// The state set to play animation from its start, cursors cleared.
void Restart(SkinMeshChannelState& state, Resource* animation, std::int32_t entry, float length) {
  state.animation = animation;
  state.entry = entry;
  state.time = 0;
  state.length = length;
  state.rootPosition = RootAtStart(animation);
  const std::size_t tracks = GetAnimationTrackCount(animation);
  state.rotationCursors.assign(tracks, 0);
  state.positionCursors.assign(tracks, 0);
}

}  // namespace

int SkinMesh::SetSkinMeshAnimation(const std::string& name, int channel) {
  if (!skinName_.empty()) AcquireSkinMesh();
  const int index = FindEntry(name);
  if (index < 0 || channel < 0 || channel >= kMaxChannels) return 0;
  if (!AcquireAnimation(entries_[static_cast<std::size_t>(index)])) return 0;
  StartEntry(index, channel);
  return 1;
}

void SkinMesh::StartEntry(int index, int channel) {
  if (!skin_) return;
  const SkinMeshAnimationEntry* picked = &entries_[static_cast<std::size_t>(index)];
  if ((picked->flags & kSkinEntryUseAlternative) != 0 && !picked->alternatives.empty()) {
    const int k = Rand() % (static_cast<int>(picked->alternatives.size()) + 1);
    if (k > 0) index = picked->alternatives[static_cast<std::size_t>(k - 1)];
  }
  SkinMeshAnimationEntry& entry = entries_[static_cast<std::size_t>(index)];
  Resource* animation = AcquireAnimation(entry);
  currentEntry_ = index;
  if (channel == 0 && !TellListener(index)) return;
  const std::size_t first = static_cast<std::size_t>(channel) * 2;
  if (states_.size() < first + 2) states_.resize(first + 2);
  SkinMeshChannelState& current = states_[first];
  SkinMeshChannelState& fading = states_[first + 1];
  if (!animation || current.animation == animation) return;
  currentName_ = entry.name;
  const SkinMeshAnimationEntry* old = GetAnimationEntry(current.entry);
  const float oldFadeOut = old ? old->fadeOut : 0.0f;
  const float length = tge::GetAnimationLength(animation) - entry.fadeOut;
  if (!current.animation || (oldFadeOut == 0 && entry.fadeIn == 0)) {
    Restart(current, animation, index, length);
    current.weight = 1.0f;
    current.fadeRate = 0;
    fading.Idle();
  } else {
    fading = current;
    fading.weight = 1.0f;
    if (oldFadeOut > 0) {
      // The old animation plays on into the tail its length left out.
      fading.time += current.length;
      fading.length += oldFadeOut;
      fading.fadeRate = 1.0f / oldFadeOut;
    } else {
      fading.fadeRate = 1.0f / entry.fadeIn;
    }
    fading.ClearCursors();
    Restart(current, animation, index, length);
  }
  rootMotion_ = {};
}

// The end of channel 0's current entry: the stored next animation, else the
// entry's alternatives group again, else the listener is told.
void SkinMesh::OnChannelZeroWrapped(int entryIndex) {
  if (!nextName_.empty()) {
    const std::string next = nextName_;
    nextName_.clear();
    SetSkinMeshAnimation(next, 0);
    return;
  }
  const SkinMeshAnimationEntry* entry = GetAnimationEntry(entryIndex);
  if (entry && (entry->baseIndex >= 0 || !entry->alternatives.empty())) {
    SetSkinMeshAnimation(GetAnimationName(entry->baseIndex >= 0 ? entry->baseIndex : entryIndex), 0);
  } else {
    TellListener(entryIndex);
  }
}

// Deletions the listener asks for wait until it has returned.
bool SkinMesh::TellListener(std::int32_t entryIndex) {
  Object* listener = listener_.Get();
  if (!listener) return true;
  const DeletionHold hold;
  listener->ExecuteCommand(kCommandSkinMeshAnimationStarted, &entryIndex);
  return !IsRetired();
}

// Each state about to pass its length loops; only channel 0's current state
// moves on to what comes next, a fading one just loops. A state without
// length (a fade-out as long as its animation) is not looped: it would end
// every frame.
void SkinMesh::AdvanceStates(float step) {
  for (std::size_t i = 0; i < states_.size(); ++i) {
    SkinMeshChannelState& s = states_[i];
    if (!s.animation || s.length <= 0 || step * s.speed + s.time < s.length) continue;
    s.time -= s.length;
    if (applyRootMotion_ == 0) s.rootPosition = RootAtStart(s.animation);
    s.ClearCursors();
    if (i == 0) OnChannelZeroWrapped(s.entry);
  }
}

void SkinMesh::SampleState(SkinMeshChannelState& s, bool first, bool rootTrack) {
  auto* animation = ResourceCast<AnimationResource>(s.animation);
  if (!animation) return;
  const std::vector<AnimationTrack>& tracks = animation->GetTracks();
  const std::size_t count = std::min({tracks.size(), s.rotationCursors.size(), s.positionCursors.size()});
  const float factor = first ? 1.0f : s.blendScale * s.weight;
  for (std::size_t t = 0; t < count; ++t) {
    Vector3 position;
    Quaternion rotation;
    SampleAnimationPosition(animation, t, s.time, &position, &s.positionCursors[t]);
    SampleAnimationRotation(animation, t, s.time, &rotation, &s.rotationCursors[t]);
    if (rootTrack && t == 0 && applyRootMotion_ == 0) {
      Vector3 moved;
      Vector3Add(rootMotion_, rootMotion_, Vector3Subtract(moved, position, s.rootPosition));
      s.rootPosition = position;
    }
    const std::int32_t boneId = tracks[t].boneId;
    if (boneId < 0 || boneId >= static_cast<std::int32_t>(kMaxBones)) continue;
    const std::uint8_t index = boneMap_[static_cast<std::size_t>(boneId)];
    if (index == kNoBone) continue;
    if (factor >= kOverwriteFactor) {
      posePositions_[index] = position;
      poseRotations_[index] = rotation;
    } else {
      Vector3Lerp(posePositions_[index], posePositions_[index], position, factor);
      QuaternionSlerp(poseRotations_[index], poseRotations_[index], rotation, factor);
    }
  }
}

// The first playing state writes the pose; later ones blend into it.
void SkinMesh::BlendStates(float step) {
  bool first = true;
  for (std::size_t i = 0; i < states_.size(); ++i) {
    SkinMeshChannelState& s = states_[i];
    if (!s.animation) continue;
    s.time += step * s.speed;
    const bool fadingState = i % 2 == 1;
    if (fadingState && s.weight > 0) {
      s.weight -= step * s.fadeRate * s.speed;
      if (s.weight < 0) {
        s.Idle();
        continue;
      }
    }
    SampleState(s, first, i == 0);
    first = false;
  }
}

void SkinMesh::PoseBone(std::size_t index, Bone& bone) {
  Quaternion rotation = poseRotations_[index];
  Vector3 position = posePositions_[index];
  switch (bone.GetRotationType()) {
    case 0: break;
    case 1: QuaternionMultiply(rotation, bone.GetBoneRotation(), rotation); break;
    case 2: QuaternionMultiply(rotation, rotation, bone.GetBoneRotation()); break;
    default:
      if (bone.GetRotationBlend() > 0) QuaternionSlerp(rotation, rotation, bone.GetBoneRotation(), bone.GetRotationBlend());
      break;
  }
  switch (bone.GetPositionType()) {
    case 0: break;
    case 1: Vector3Add(position, position, bone.GetBonePosition()); break;
    default:
      if (bone.GetPositionBlend() > 0) Vector3Lerp(position, position, bone.GetBonePosition(), bone.GetPositionBlend());
      break;
  }
  if (bone.HasFlag(kFlagWSOrientation)) return;
  bone.SetPosition(position, false);
  bone.SetRotation(rotation, false);
}

// The root's pose places this object (or its parent); its forward motion
// stays with the root-motion offset unless the root motion is applied.
void SkinMesh::PoseSkeleton() {
  Vector3 root = posePositions_[0];
  if (applyRootMotion_ == 0) {
    root.z = 0;
    if (recordRootHeight_ != 0) recordedRootHeight_ = root.y;
  }
  Object* target = (skinFlags_ & kSkinMeshPoseParent) != 0 && GetParent() ? GetParent() : this;
  target->SetPosition(root, false);
  target->SetRotation(poseRotations_[0], false);
  for (std::size_t i = 1; i < Skeleton().size(); ++i) {
    if (Bone* bone = boneObjects_[i - 1].Get()) PoseBone(i, *bone);
  }
}

// A bone without a Bone object keeps its bind pose (identity).
void SkinMesh::UpdateBoneMatrices() {
  Matrix4 inverse;
  GetInverseWorldMatrix(inverse);
  constexpr float kHuge = std::numeric_limits<float>::max();
  Vector3 low{kHuge, kHuge, kHuge}, high{-kHuge, -kHuge, -kHuge};
  const std::vector<SkinBone>& skeleton = Skeleton();
  for (std::size_t a = 0; a < skeleton.size() && a < boneMatrices_.size(); ++a) {
    Bone* bone = a == 0 ? nullptr : boneObjects_[a - 1].Get();
    if (a != 0 && !bone) {
      Matrix4Identity(boneMatrices_[a]);
      continue;
    }
    const Matrix4& world = a == 0 ? GetWorldMatrix() : bone->GetWorldMatrix();
    Matrix4 bound;
    Matrix4Multiply(bound, skeleton[a].bind, world);
    Matrix4Multiply(boneMatrices_[a], bound, inverse);
    const Vector3 at{world.m[12], world.m[13], world.m[14]};
    low = {std::min(low.x, at.x), std::min(low.y, at.y), std::min(low.z, at.z)};
    high = {std::max(high.x, at.x), std::max(high.y, at.y), std::max(high.z, at.z)};
  }
  Vector3 diagonal;
  Vector3Subtract(diagonal, high, low);
  Vector3Lerp(boundingSphere_.centre, low, high, 0.5f);
  boundingSphere_.radius = Vector3Length(diagonal) * 0.5f;
}

void SkinMesh::UpdateAnimation(float dt) {
  if (updatedThisFrame_) return;
  const std::size_t bones = Skeleton().size();
  if (bones == 0 || boneObjects_.size() + 1 != bones || boneMatrices_.size() != bones || !states_[0].animation) {
    return;
  }
  if (applyRootMotion_ == 0) rootMotion_ = {};
  const bool animate = (skinFlags_ & kSkinMeshAnimate) != 0;
  const float step = animate ? speedMul_ * animationSpeed_ * dt : 0.0f;
  if (animate) AdvanceStates(step);
  BlendStates(step);
  PoseSkeleton();
  if ((skinFlags_ & kSkinMeshShowKeyPosition) != 0) SetRestPose();
  UpdateBoneMatrices();
  updatedThisFrame_ = true;
}

void SkinMesh::Draw() {
  if (!GetActive()) return;
  EngineServices* services = GetEngineServices();
  if (HasFlag(kFlagActionStarted) && services != nullptr) {
    if (!boneMapBuilt_) BuildBoneMap();
    Vector3 away;
    cameraDistance_ = Vector3Length(Vector3Subtract(away, services->GetView().GetCameraPosition(), GetPositionWS()));
    UpdateAnimation(GetFrameTime());
    const SkinMeshAnimationEntry* playing = GetAnimationEntry(states_[0].entry);
    const bool farCache = (skinFlags_ & kSkinMeshFarSkinCache) != 0 && (skinFlags_ & kSkinMeshAnimate) != 0 &&
                          playing && (playing->flags & kSkinEntryNoAITurning) != 0 &&
                          cameraDistance_ > kFarSkinCacheDistance;
    RenderQueue& queue = services->GetRenderQueue();
    if (farCache && skinReusable_) {
      queue.QueueMesh(innerMesh_, GetWorldMatrix(), material_.Get(), nullptr, 1.0f, nullptr);
    } else if (skin_) {
      const Sphere* sphere = boundingSphere_.radius > 0 ? &boundingSphere_ : nullptr;
      queue.QueueSkinMesh(skin_.Get(), boneMatrices_.data(), static_cast<std::uint32_t>(boneMatrices_.size()),
                          GetWorldMatrix(), sphere, material_.Get(), nullptr);
      skinReusable_ = farCache;
    }
  }
  updatedThisFrame_ = false;
  Object::Draw();
}

}  // namespace tge

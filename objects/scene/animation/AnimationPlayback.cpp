// Animation's playback: starting an entry, binding and making targets, the
// per-frame advance with its end events and queue, and posing the targets.
#include <string>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/math/Random.h"
#include "objects/scene/Mesh.h"
#include "objects/scene/animation/Animation.h"
#include "services/EngineServices.h"
#include "services/resources/AnimationResource.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr std::uint32_t kCameraTypeCommand = 1250;
// A mesh made for a track may be named after it without its last three
// characters (a numbered copy of one mesh).
constexpr std::size_t kMeshSuffixLength = 3;
constexpr std::size_t kMinSuffixedName = 5;
// How far inside its range a time is put that must stay below the length.
constexpr double kEndMargin = 1e-9;

float Below(float length, double margin) { return static_cast<float>(static_cast<double>(length) - margin); }

bool HasMesh(const std::string& name) {
  EngineServices* services = GetEngineServices();
  return services != nullptr && services->GetResources().LookupResource(name, kMeshResource) != nullptr;
}

std::string MeshNameFor(const std::string& track) {
  if (HasMesh(track)) return track;
  if (track.size() >= kMinSuffixedName) {
    const std::string shorter = track.substr(0, track.size() - kMeshSuffixLength);
    if (HasMesh(shorter)) return shorter;
  }
  return track;
}

}  // namespace

Resource* Animation::PlayingAnimation() {
  AnimationListEntry* entry = EntryAt(playingEntry_);
  return entry != nullptr ? entry->animation.Get() : nullptr;
}

// A name that finds nothing is tried again the next time.
void Animation::AcquireAnimations() {
  EngineServices* services = GetEngineServices();
  if (services == nullptr) return;
  for (AnimationListEntry& entry : entries_) {
    if (!entry.animation && !entry.name.empty()) {
      entry.animation = services->GetResources().AcquireResource(entry.name, kAnimationResource);
    }
  }
}

// Entries added after the targets were bound still get their animations.
void Animation::BindTargets() {
  AcquireAnimations();
  if (!targets_.empty()) return;
  if ((animationFlags_ & kAnimationSyncFirstChild) != 0) {
    for (int i = 0; i < GetChildCount(); ++i) targets_.emplace_back(GetChild(i));
    return;
  }
  Resource* first = entries_.empty() ? nullptr : entries_[0].animation.Get();
  const std::size_t tracks = GetAnimationTrackCount(first);
  targets_.resize(tracks);
  for (std::size_t i = 0; i < tracks; ++i) targets_[i].Set(FindChildByName(GetAnimationTrackName(first, i), -1));
}

// A start clears the pause: a resumed or restarted entry is no longer paused.
void Animation::PlayIndex(int row) {
  if (EntryAt(row) == nullptr) return;
  if (paused_ && row == currentIndex_) {
    playing_ = true;
    paused_ = false;
    return;
  }
  BindTargets();
  backwards_ = false;
  startFactor_ = 1.0f;
  const std::vector<int>& alternatives = entries_[static_cast<std::size_t>(row)].alternatives;
  if (!alternatives.empty()) {
    const int k = Rand() % (static_cast<int>(alternatives.size()) + 1);
    if (k > 0 && EntryAt(alternatives[static_cast<std::size_t>(k - 1)]) != nullptr) {
      row = alternatives[static_cast<std::size_t>(k - 1)];
    }
  }
  AnimationListEntry& entry = entries_[static_cast<std::size_t>(row)];
  playingEntry_ = currentIndex_ = row;
  entry.reversed = entry.style == kStyleOnceBackwards || entry.style == kStyleLoopBackwards;
  time_ = entry.reversed ? Below(GetAnimationLength(entry.animation.Get()), kEndMargin) : 0.0f;
  playing_ = true;
  paused_ = false;
}

int Animation::HandleEnd(AnimationListEntry& entry, float length) {
  switch (entry.style) {
    case kStyleOnce:
      playing_ = false;
      time_ = Below(length, kEndMargin);
      return kEventEnd;
    case kStylePingPong:
    case kStylePingPongLoop:
      entry.reversed = true;
      time_ = Below(length, 2 * kEndMargin);
      return kEventReverse;
    case kStyleLoop:
      time_ -= length;
      if (time_ >= length) time_ = 0;
      return kEventLoop;
    default:
      return 0;
  }
}

int Animation::HandleStart(AnimationListEntry& entry, float length) {
  switch (entry.style) {
    case kStylePingPong:
      entry.reversed = false;
      playing_ = false;
      time_ = 0;
      return kEventEnd;
    case kStyleLoop:
    case kStyleLoopBackwards:
      time_ = Below(length, kEndMargin);
      return kEventLoop;
    case kStylePingPongLoop:
      entry.reversed = false;
      time_ = static_cast<float>(kEndMargin);
      return kEventLoop;
    case kStyleOnce:
    case kStyleOnceBackwards:
      time_ = 0;
      playing_ = false;
      return kEventEnd;
    default:
      return 0;
  }
}

// One end is handled per frame, so an animation of length 0 ends once. The
// far end counts only while the time runs forward: a ping-pong entry turned
// there sits at the length itself (the margin is lost in float) and would
// turn again every frame it stands still. The event's script may delete
// entries or the object: entries are looked up again afterwards, and an
// animation whose level went poses nothing more.
bool Animation::UpdateAnimation() {
  AnimationListEntry* entry = EntryAt(playingEntry_);
  if (entry == nullptr || !entry->animation || !playing_ || !HasFlag(kFlagActionStarted)) return true;
  float advance = GetActionValue() * GetFrameTime() * entry->speed * startFactor_ * speed_;
  if (backwards_) advance = -advance;
  time_ += entry->reversed ? -advance : advance;
  const float length = GetAnimationLength(entry->animation.Get());
  const bool atEnd = time_ >= length && !entry->reversed;
  const int event = atEnd ? HandleEnd(*entry, length) : time_ < 0 ? HandleStart(*entry, length) : 0;
  if (event != 0) {
    if (!FireEventStillHere(event, nullptr)) return false;
    if (!playing_ && !queue_.empty() && !PlayQueued()) return false;
  }
  ApplyPose();
  return true;
}

void Animation::ApplyPose() {
  Resource* animation = PlayingAnimation();
  const std::size_t tracks = GetAnimationTrackCount(animation);
  if (animation == nullptr || targets_.size() < tracks) return;
  for (std::size_t i = 0; i < tracks; ++i) {
    Object* target = targets_[i].Get();
    if (target == nullptr) continue;
    Vector3 position, scale;
    Quaternion rotation;
    target->SetPosition(*SampleAnimationPosition(animation, i, time_, &position, nullptr), false);
    target->SetScale(*SampleAnimationScale(animation, i, time_, &scale, nullptr), false);
    target->SetRotation(*SampleAnimationRotation(animation, i, time_, &rotation, nullptr), false);
    target->InvalidateTransform();
  }
  InvalidateTransform();
}

void Animation::Draw() {
  if (!GetActive() || !UpdateAnimation()) return;
  Object::Draw();
}

// Each track without a child of its name gets one: a Camera when the name
// says so, else a Mesh of the track's mesh, under the object of its parent
// track (or this one).
void Animation::CreateTargets() {
  if (entries_.empty()) return;
  AcquireAnimations();
  Resource* first = entries_[0].animation.Get();
  if (first == nullptr) return;
  BindTargets();
  const std::size_t tracks = GetAnimationTrackCount(first);
  targets_.resize(tracks);
  for (std::size_t i = 0; i < tracks; ++i) {
    const std::string name = GetAnimationTrackName(first, i);
    Object* target = FindChildByName(name, -1);
    if (target == nullptr) {
      const std::int32_t parentTrack = GetAnimationTrackParent(first, i);
      Object* parent = parentTrack < 0 ? nullptr
                                       : FindChildByName(GetAnimationTrackName(first, static_cast<std::size_t>(parentTrack)), -1);
      if (parent == nullptr) parent = this;
      const bool camera = name.find("Camera") != std::string::npos || name.find("camera") != std::string::npos;
      target = CreateObject(camera ? kClassCamera : kClassMesh, nullptr, *parent, name.c_str());
      if (target == nullptr) continue;
      if (camera) {
        std::uint32_t fixed = 0;
        target->ExecuteCommand(kCameraTypeCommand, &fixed);
      } else {
        static_cast<Mesh*>(target)->AddMesh(MeshNameFor(name));
      }
      target->SetInheritOrientation(false);
    }
    targets_[i].Set(target);
  }
}

}  // namespace tge

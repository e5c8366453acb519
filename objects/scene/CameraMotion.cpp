// Camera's per-frame behaviours and the steering operations other types
// use. The free-fly camera reads player 0's actions; the follow camera
// casts a ray through its Space's level to stay in front of walls. The
// smoothing factors act per frame, not per second.
#include <algorithm>
#include <cmath>

#include "core/WorldPhysicsHooks.h"
#include "core/math/Matrix4.h"
#include "core/math/Quaternion.h"
#include "objects/scene/Camera.h"
#include "services/EngineServices.h"
#include "services/input/InputState.h"

namespace tge {
namespace {

// Input actions of player 0 the free-fly camera reads.
enum FreeFlyAction : int {
  kStickLeftX = 0,
  kStickLeftY = 1,
  kStickRightX = 2,
  kStickRightY = 3,
  kMouseX = 140,
  kMouseY = 141,
};

// The movement keys of one viewport; 0 for a boost it does not have.
struct FreeFlyKeys {
  int left, right, forward, back, boost, sprint;
};
constexpr FreeFlyKeys kFirstViewportKeys{285, 287, 272, 286, 297, 312};
constexpr FreeFlyKeys kOtherViewportKeys{458, 460, 455, 463, 412, 0};

constexpr float kMouseTurn = 0.01f;
constexpr float kPadTurn = 2.0f;
constexpr float kKeySpeed = 5.0f;
constexpr float kPadSpeed = 10.0f;
constexpr float kBoost = 5.0f;
constexpr float kSprint = 20.0f;
constexpr float kHeightDeadZone = 0.05f;
constexpr float kHeightRate = 4.0f;
constexpr unsigned kLevelOnlyMask = 1;
constexpr float kObstructionReach = 0.5f;
constexpr float kObstructionPull = 0.2f;

// How far in front of a wall the follow camera stops: nothing close to the
// pivot, half a unit once the wall is two units away.
float WallMargin(float hitDistance) {
  if (hitDistance <= 1) return 0;
  if (hitDistance < 2) return (hitDistance - 1) * 0.5f;
  return 0.5f;
}

float Elevation(const Vector3& from, const Vector3& to) {
  Vector3 d = to - from;
  Vector3Normalize(d, d);
  return std::asin(std::clamp(d.y, -1.0f, 1.0f));
}

}  // namespace

void Camera::Update() {
  if (!GetActive()) return;
  if (GetActiveCameraTable().Get(static_cast<int>(viewport_)) == nullptr) Activate();
  if (!IsActive()) return;
  EngineServices* services = GetEngineServices();
  switch (type_) {
    case kCameraFixed:
      if (services != nullptr) services->GetView().SetCameraMatrix(GetWorldMatrix());
      break;
    case kCameraLookAt:
      if (const auto pivot = GetPivot(); pivot && services != nullptr) {
        services->GetView().SetCameraLookAt(Translation(GetWorldMatrix()), *pivot);
      }
      break;
    case kCameraFreeFly:
      UpdateFreeFly();
      break;
    case kCameraFollow:
      UpdateFollow();
      break;
    default:
      break;
  }
}

// Keyboard and mouse while player 0 has only them; once a pad joins player
// 0 (its flags then read keyboard-and-mouse plus pad) the pad steers.
void Camera::UpdateFreeFly() {
  EngineServices* services = GetEngineServices();
  if (services == nullptr) return;
  const float dt = GetFrameTime();
  const auto value = [services](int action) { return services->GetInputActionValue(0, action); };
  float side = 0;
  float forward = 0;
  if (services->GetInputDeviceFlags(0) == kInputDeviceKeyboardMouse) {
    yaw_ += value(kMouseX) * kMouseTurn;
    pitch_ += value(kMouseY) * kMouseTurn;
    const FreeFlyKeys& keys = viewport_ == 0 ? kFirstViewportKeys : kOtherViewportKeys;
    if (value(keys.left) != 0) side = -kKeySpeed * dt;
    if (value(keys.right) != 0) side += kKeySpeed * dt;
    if (value(keys.forward) != 0) forward = kKeySpeed * dt;
    if (value(keys.back) != 0) forward -= kKeySpeed * dt;
    const float boost = (value(keys.boost) != 0 ? kBoost : 1) * (keys.sprint != 0 && value(keys.sprint) != 0 ? kSprint : 1);
    side *= boost;
    forward *= boost;
  } else {
    yaw_ += value(kStickRightX) * dt * kPadTurn;
    pitch_ += value(kStickRightY) * dt * kPadTurn;
    side = value(kStickLeftX) * dt * kPadSpeed;
    forward = value(kStickLeftY) * dt * kPadSpeed;
  }
  Quaternion rotation;
  SetRotation(QuaternionFromYawPitchRoll(rotation, yaw_, pitch_, 0), true);
  Vector3 position = GetPositionWS();
  Vector3AddScaled(position, position, GetAxisZWS(), forward);
  Vector3AddScaled(position, position, GetAxisXWS(), side);
  SetPosition(position, true);
}

std::optional<Vector3> Camera::FindObstruction(const Vector3& pivot, const Vector3& follow) {
  WorldPhysicsHooks* hooks = GetWorldPhysicsHooks();
  if (GetSpace() == nullptr || hooks == nullptr) return std::nullopt;
  Vector3 end;
  Vector3AddScaled(end, pivot, follow - pivot, 2);
  Vector3 hit;
  if (!hooks->RayQuery(*GetSpace(), pivot, end, kLevelOnlyMask, hit, 0)) return std::nullopt;
  return hit;
}

// Keeps the distance behind the pivot, optionally eases to its height,
// stops in front of walls in between, then smooths and limits the result.
void Camera::UpdateFollow() {
  const auto pivot = GetPivot();
  if (GetParent() == nullptr || !pivot) return;
  const Vector3 target = *pivot;
  const Vector3 lookAt = lookAt_;
  const float dt = GetFrameTime();
  const Vector3 own = Translation(GetWorldMatrix());
  Vector3 follow = own;
  const Vector3 local = GetPosition();
  const float lookDistance = Length(local - lookAt);
  const float elevation = Elevation(lookAt, local);

  Vector3AddScaled(follow, follow, FlatDirection(own, target), Length(target - own) - positionDistance_);
  if ((cameraFlags_ & kCameraFollowTargetHeight) != 0) {
    float height = follow.y - positionYOffset_;
    if (target.y + kHeightDeadZone < height) follow.y -= dt * (height - target.y) * kHeightRate;
    height = follow.y - positionYOffset_;
    if (target.y - kHeightDeadZone > height) follow.y += dt * (target.y - height) * kHeightRate;
  }
  float pull = 0;
  const float reach = Length(target - follow);
  if (const auto hit = FindObstruction(target, follow)) {
    const float hitDistance = Length(target - *hit);
    if (hitDistance < reach + kObstructionReach) {
      Vector3AddScaled(follow, follow, FlatDirection(follow, target), reach - hitDistance + WallMargin(hitDistance));
      pull = kObstructionPull;
    }
  }
  Vector3 moved;
  Vector3Add(moved, own, target - previousTarget_);
  previousTarget_ = target;
  followPosition_ = follow;
  if (positionSmooth_ > 0) {
    Vector3AddScaled(moved, moved, follow - moved, 1 - (positionSmooth_ - pull));
    SetPosition(moved, true);
  } else {
    SetPosition(follow, true);
  }
  InvalidateTransform();

  if (targetSmooth_ > 0) {
    Vector3AddScaled(lookAt_, lookAt_, target - lookAt_, 1 - targetSmooth_);
  } else {
    lookAt_ = target;
  }
  Vector3 limited = GetPosition();
  if (elevation > maxYAngle_) {
    limited.y = lookAt.y + std::sin(maxYAngle_) * lookDistance;
  } else if (elevation < minYAngle_) {
    limited.y = lookAt.y + std::sin(minYAngle_) * lookDistance;
  } else {
    return;
  }
  SetPosition(limited, true);
  InvalidateTransform();
}

void Camera::RotateAroundTarget(const Vector3& angles) {
  if (GetTransform() == nullptr) return;
  Vector3 pivot;
  if (Object* target = target_.Get()) {
    pivot = target->GetPositionWS();
  } else if (GetParent() != nullptr && HasFlag(kFlagWSOrientation)) {
    pivot = GetParent()->GetPositionWS();
  }
  Vector3 position;
  RotatePointAround(position, GetPosition(), pivot, angles.x, angles.y, angles.z);
  SetPosition(position, false);
  InvalidateTransform();
}

// Without a pivot there is no elevation to limit.
void Camera::AddPositionLimited(const Vector3& offset) {
  const auto pivot = GetPivot();
  if (type_ != kCameraFollow || !pivot) {
    AddPosition(offset);
    return;
  }
  Vector3 moved;
  Vector3Add(moved, followPosition_, offset);
  const float elevation = Elevation(*pivot, moved);
  if (minYAngle_ < elevation && elevation < maxYAngle_) {
    AddPosition(offset);
    return;
  }
  AddPosition({offset.x, 0, offset.z});
  followPosition_.y = GetPositionWS().y;
}

Vector3 Camera::GetViewDirection() {
  std::optional<Vector3> point = targetSmooth_ > 0 ? std::optional<Vector3>(lookAt_) : GetPivot();
  if (!point) return GetAxisZWS();
  Vector3 direction = *point - GetPositionWS();
  return Vector3Normalize(direction, direction);
}

float Camera::GetHeadingAroundPivot() {
  Vector3 pivot;
  if (GetParent() != nullptr && HasFlag(kFlagWSOrientation)) pivot = GetParent()->GetPositionWS();
  return Vector3YawBetween(GetPosition(), pivot);
}

}  // namespace tge

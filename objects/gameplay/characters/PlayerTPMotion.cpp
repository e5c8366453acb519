// The third-person player's frame: input, its state steps, the door and
// the transport's exit, the camera, walking on root motion, the jump, the
// contact handler that carries it and its shadow.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/ClassIds.h"
#include "core/math/Angles.h"
#include "core/math/Matrix4.h"
#include "objects/gameplay/characters/CharacterBody.h"
#include "objects/gameplay/characters/PlayerTP.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "objects/gameplay/physics/PhysicsGeometry.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/props/Door.h"
#include "objects/scene/Camera.h"
#include "objects/scene/animation/SkinMesh.h"
#include "services/EngineServices.h"

namespace tge {
namespace {

constexpr int kActionCameraTurn = 2, kActionCameraLook = 3, kActionButtonCross = 16;
constexpr int kInputMouseLeft = 128, kInputMouseRight = 129, kInputForward = 272, kInputUse = 273;
constexpr int kInputLeft = 285, kInputBack = 286, kInputRight = 287, kInputShift = 297, kInputJump = 312;
constexpr std::uint32_t kActionCategory = 0x40000;
constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kRestAfter = 6.0f;
constexpr float kTakeOffTime = 0.2f, kAirborneTime = 0.3f, kLandingTime = 0.2f;
constexpr float kJumpImpulse = 0.45f;

float MoveLength(float strafe, float forward) { return std::sqrt(strafe * strafe + forward * forward); }

}  // namespace

void PlayerTP::ReadInput() {
  strafe_ = ActionValue(kInputLeft) != 0 ? -0.5f : (ActionValue(kInputRight) != 0 ? 0.5f : 0.0f);
  forward_ = ActionValue(kInputForward) != 0 ? 0.5f : (ActionValue(kInputBack) != 0 ? -0.5f : 0.0f);
  if (ActionValue(kInputShift) != 0) {
    strafe_ *= 2;
    forward_ *= 2;
  }
  if (SkinMesh* skin = skinMesh_.Get()) skin->SetAnimationSpeedMul(1.0f);
  turn_ = ActionValue(kActionCameraTurn);
  look_ = ActionValue(kActionCameraLook);
  releasedAction_ = (ActionReleased(kActionButtonCross) ? 1 : 0) + (ActionReleased(kInputUse) ? 1 : 0);
  releasedUse_ = (ActionReleased(kActionButtonCross) ? 1 : 0) + (ActionReleased(kInputMouseLeft) ? 1 : 0);
}

void PlayerTP::EnterState(PlayerTPState state) {
  state_ = state;
  stateTime_ = 0;
}

void PlayerTP::StepState(float dt) {
  stateTime_ += dt;
  switch (state_) {
    case PlayerTPState::kPlaying:
    case PlayerTPState::kDismounted:
      if (stateTime_ > stateLength_) EnterState(PlayerTPState::kFree);
      break;
    case PlayerTPState::kTakeOff:
      if (stateTime_ <= kTakeOffTime) break;
      ApplyBodyVector(BodyVector::kAddForce, {0, GetFrameRate() * kJumpImpulse, 0});
      EnterState(PlayerTPState::kAirborne);
      break;
    case PlayerTPState::kAirborne:
      if (stateTime_ > kAirborneTime && onGround_ != 0) EnterState(PlayerTPState::kLanding);
      break;
    case PlayerTPState::kLanding:
      if (stateTime_ <= kLandingTime) break;
      EnterState(PlayerTPState::kFree);
      inMotion_ = MoveLength(strafe_, forward_) > 0.1f ? 1 : 0;
      break;
    case PlayerTPState::kMounting:
      if (stateTime_ <= stateLength_) break;
      if (Camera* camera = camera_.Get()) {
        camera->SetPositionSmooth(cameraSmoothing_);
        camera->SetTargetSmooth(cameraSmoothing_);
      }
      EnterState(PlayerTPState::kRiding);
      break;
    case PlayerTPState::kDismounting:
      if (stateTime_ > stateLength_) FinishDismount();
      break;
    default: break;
  }
}

// The door in reach opens on the action input once the action geometry
// touched something; the right mouse button asks to leave the transport.
void PlayerTP::UseDoorAndExit() {
  Door* door = doorInReach_.Get();
  if (actionTarget_ && releasedAction_ != 0 && door != nullptr) door->Open(nullptr);
  const bool paused = (options_ & kPlayerTPPauseMovement) != 0;
  if (!ActionReleased(kInputMouseRight) || paused || state_ != PlayerTPState::kRiding) return;
  if (exitAllowedByEvents_ != 0 && exitEnabled_ != 0) {
    StartDismount();
  } else {
    FireEvent(kEventRefuseExitTransport, nullptr);
  }
}

// The action geometry touches action targets only in the frame the use
// input is released.
void PlayerTP::ArmActionGeometry() {
  const ObjectPhysics* physics = GetPhysics();
  if (state_ != PlayerTPState::kFree || physics == nullptr || actionGeometry_ < 0 ||
      actionGeometry_ >= static_cast<std::int32_t>(physics->geometries.size())) {
    return;
  }
  GeometryRecord& geometry = *physics->geometries[static_cast<std::size_t>(actionGeometry_)];
  const bool armed = releasedUse_ != 0 && enableAction_ != 0;
  geometry.categoryBits = armed ? (geometry.categoryBits | kActionCategory) : (geometry.categoryBits & ~kActionCategory);
  for (PhysicsGeom* live : {geometry.geometry, geometry.transformGeometry}) {
    if (live != nullptr) SetGeomCategoryBits(ToOde(live), geometry.categoryBits);
  }
}

void PlayerTP::SteerCamera(float dt) {
  Camera* camera = camera_.Get();
  if (camera == nullptr || !camera->IsActive() || (options_ & kPlayerTPPauseCamera) != 0 ||
      state_ == PlayerTPState::kRiding) {
    return;
  }
  if (turn_ != 0) camera->RotateAroundTarget({0, turn_ * dt * 2, 0});
  if (look_ != 0) camera->AddPositionLimited({0, look_ * dt * 4, 0});
  camera->SetFollowTargetHeight(inMotion_ == 0);
}

// The player turns towards where the input points, seen from the camera,
// and plays the walk or run; standing, it idles and after a while rests.
void PlayerTP::Walk(float dt) {
  if (!skinMesh_) return;
  const float length = MoveLength(strafe_, forward_);
  if (length > 0.1f) {
    const float heading = camera_ ? camera_->GetHeadingAroundPivot() : 0.0f;
    const float target = WrapAngle(Vector3YawFlat({strafe_ / length, 0, forward_ / length}) + heading + kPi);
    restTimer_ = 0;
    TurnAngleTowards(yaw_, target, 2 * kPi * dt, nullptr);
    const std::string& animation = animations_[length > 0.8f ? kRun : kWalk];
    if (inMotion_ != 0) {
      skinMesh_.PlayNow(animation);
    } else {
      skinMesh_.PlayNext(animation);
    }
  } else if (inMotion_ != 0) {
    restTimer_ += dt;
    skinMesh_.PlayNext(animations_[restTimer_ > kRestAfter ? kRest : kIdle]);
  } else {
    skinMesh_.PlayNow(animations_[kIdle]);
  }
}

// After a dismount the player blends from the pose it got off in.
void PlayerTP::Place(float dt) {
  Quaternion rotation;
  QuaternionFromYawPitchRoll(rotation, yaw_, 0, 0);
  if (rotationBlendTime_ > 0) {
    rotationBlendTime_ = std::max(0.0f, rotationBlendTime_ - dt);
    QuaternionSlerp(rotation, rotation, rotationBlendTarget_, rotationBlendTime_);
  }
  if (positionBlendTime_ > 0) {
    positionBlendTime_ = std::max(0.0f, positionBlendTime_ - dt);
    Vector3 position;
    SetPosition(Vector3Lerp(position, GetPosition(), positionBlendTarget_, positionBlendTime_), true);
  }
  SetRotation(rotation, true);
}

void PlayerTP::TakeRootMotion(float dt) {
  const SkinMesh* skin = skinMesh_.Get();
  if (skin == nullptr) return;
  rootVelocity_ = {0, 0, skin->GetRootMotion().z};
  if (rootVelocity_.z != 0 && dt > 0) rootVelocity_.z /= dt;
  forwardAxis_ = GetAxisZWS();
}

void PlayerTP::Update() {
  if (!GetActive()) return;
  const float dt = GetFrameTime();
  ReadInput();
  StepState(dt);
  UseDoorAndExit();
  ArmActionGeometry();
  SteerCamera(dt);
  const bool paused = (options_ & kPlayerTPPauseMovement) != 0;
  if (paused) strafe_ = forward_ = 0;
  if (state_ != PlayerTPState::kFree) restTimer_ = 0;
  if (state_ == PlayerTPState::kFree) {
    Walk(dt);
    Place(dt);
    TakeRootMotion(dt);
    if (ActionPressed(kInputJump) && !paused) {
      const bool running = std::fabs(strafe_) > 0.6f || std::fabs(forward_) > 0.6f;
      skinMesh_.PlayNow(animations_[running ? kJumpRun : kJump]);
      EnterState(PlayerTPState::kTakeOff);
    }
  }
  doorInReach_.Reset();
  if (touchedObject_) previousTouchedObject_ = touchedObject_;
  touchedObject_.Reset();
  actionTarget_.Reset();
}

int PlayerTP::HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts, int count) {
  if (other == nullptr) return kContactUsual;
  Object* owner = other->owner;
  if ((other->info & kGeometryEventOnly) != 0) {
    if (owner != nullptr && owner->GetClassId() == kClassDoor) doorInReach_.Set(static_cast<Door*>(owner));
    if ((own->info & kGeometryEventOnly) != 0) actionTarget_.Set(owner);
    return kContactUsual;
  }
  if ((own->info & kGeometryEventOnly) != 0) {
    actionTarget_.Set(owner);
    return kContactUsual;
  }
  touchedObject_.Set(owner);
  const int otherClass = owner != nullptr ? owner->GetClassId() : -1;
  const bool otherHasBody = owner != nullptr && owner->GetBody() != nullptr;
  const Vector3 centre = GetPositionWS();
  for (int i = 0; i < count; ++i) {
    ContactParameters& contact = contacts[i];
    const Vector3 n = StoredNormal(contact);
    if (std::fabs(n.y) > 0.7f) {
      groundHeight_ = static_cast<float>(contact.geom.pos[1]);
      onGround_ = 1;
    }
    if (std::fabs(n.y) > 0.5f) {
      contact.surface.mode |= dContactFDir1 | dContactMotion1 | dContactMotion2;
      contact.surface.mu += inMotion_ != 0 ? 3.5 : 2.5;
      const bool reversed = otherHasBody && !IsFirstGeometry(contact, *own);
      SetFrictionDirection(contact, reversed ? Vector3{-forwardAxis_.x, -forwardAxis_.y, -forwardAxis_.z}
                                             : forwardAxis_);
      contact.surface.motion1 = rootVelocity_.z;
      contact.surface.motion2 = rootVelocity_.x;
    } else {
      contact.surface.mu += 0.01;
    }
    if (otherClass == kClassAIPlayer) contact.surface.mu = 0;
    if (otherClass != kClassSimObject) SetContactPoint(contact, centre);
  }
  return kContactKeepSurface;
}

// The soft shadow where the scene collects ground triangles, else the
// plain shadow mesh at the ground's height.
void PlayerTP::Draw() {
  if (!GetActive()) return;
  const float dt = GetFrameTime();
  shadowFade_ = std::clamp(shadowFade_ + (onGround_ != 0 ? 2 * dt : -2 * dt), 0.0f, 1.0f);
  onGround_ = 0;
  EngineServices* services = GetEngineServices();
  const float strength = services != nullptr ? services->GetGraphicsDetailLevel() : 0.0f;
  const Vector3 centre = GetPositionWS();
  if (shadow_.CanDraw() && shadowFade_ > 0 && strength > 0.1f) {
    shadow_.Draw(centre, skinMesh_.Get(), {18.0f, 50.0f, 2.0f, 0.01f}, strength > kBlurredShadowDetail);
  } else if (shadowGround_ && shadowFade_ > 0 && services != nullptr) {
    Matrix4 placement;
    Matrix4Translation(placement, centre.x, groundHeight_ + 0.05f, centre.z);
    const gfx::ColorValue colour{1, 1, 1, shadowFade_};
    const gfx::Material material{colour, colour, {}, {}, 0};
    services->GetRenderQueue().QueueMesh(shadowGround_.Get(), placement, nullptr, &material, shadowFade_, nullptr);
  }
  Object::Draw();
}

}  // namespace tge

// The horse's motion: its state machine, the rider's input, the frame's
// speed, gait, turning and attitude, the contact handler that carries it on
// its animations' root motion, and its ground shadow.
//
// Thresholds and speed limits are script-settable and divide in several
// places; a divisor of 0 makes its quotient 0, so nothing infinite or NaN
// reaches the skin meshes or the rotation.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectHooks.h"
#include "core/math/Angles.h"
#include "core/math/Quaternion.h"
#include "objects/gameplay/characters/CharacterBody.h"
#include "objects/gameplay/characters/Horse.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/props/SensorSupport.h"
#include "objects/scene/Camera.h"
#include "objects/scene/animation/Bone.h"
#include "objects/scene/animation/SkinMesh.h"
#include "services/EngineServices.h"

namespace tge {
namespace {

constexpr int kActionCameraTurn = 2, kActionCameraHeight = 3, kActionMouseLeft = 128;
constexpr int kActionForward = 272, kActionLeft = 285, kActionBack = 286, kActionRight = 287;
constexpr int kActionBreak = 300, kActionJump = 312;
constexpr int kEventRiderMayExit = 12573, kEventRiderMayNotExit = 12574;
constexpr float kRiderSpeedStep = 20.0f;
constexpr float kGallopBoost = 20.0f;
constexpr float kAcceleration = 80.0f;
constexpr float kSpeedBand = 2.0f;
constexpr float kAirborneRadius = 0.25f;
constexpr float kPi = std::numbers::pi_v<float>;

float Quotient(float numerator, float divisor) {
  if (divisor == 0) return 0;
  const float q = numerator / divisor;
  return std::isfinite(q) ? q : 0.0f;
}

float ClampUnit(float value) { return std::clamp(value, -1.0f, 1.0f); }

// The states in which the rider's W and S change the target speed.
bool TakesSpeedSteps(HorseState state) { return state >= kHorseNoState && state <= kHorseReverse; }

bool IsMoving(HorseState state) { return state >= kHorseWalk && state <= kHorseGallop; }

Quaternion Yaw(float yaw) {
  Quaternion q;
  return QuaternionFromYawPitchRoll(q, yaw, 0, 0);
}

// The one-shot states: what they play, what follows and how much longer
// than the animation they last.
struct TimedState {
  HorseState state;
  const char* now;
  const char* next;
  float extra;
};

constexpr TimedState kTimedStates[] = {
    {kHorseMount, "Mount", "Idle", 0.5f},         {kHorseDismount, "Dismount", "NoRider_Idle", 0.5f},
    {kHorseRearing, "Rearing", "Idle", 0},        {kHorseBreak, "Break", "Idle", 0.5f},
    {kHorseMountRight, "MountRight", "Idle", 0.5f}, {kHorseDismountRight, "DismountRight", "Idle", 0.5f},
    {kHorseKick, "Kick", "Idle", 0.5f},
};

const TimedState* FindTimedState(HorseState state) {
  for (const TimedState& timed : kTimedStates) {
    if (timed.state == state) return &timed;
  }
  return nullptr;
}

}  // namespace

void Horse::RaiseOnRider(int eventId) {
  if (Object* rider = GetRider()) {
    const DeletionHold hold;
    rider->FireEvent(eventId, nullptr);
  }
}

void Horse::SetState(HorseState state, bool playAtOnce) {
  if (state == state_) return;
  LeaveState();
  previousState_ = state_;
  state_ = state;
  stateTime_ = 0;
  EnterState(state, playAtOnce);
  FireEvent(kEventChangeState, nullptr);
}

void Horse::LeaveState() {
  if (state_ == kHorseIdle) {
    FireEvent(kEventStopIdle, nullptr);
    RaiseOnRider(kEventRiderMayNotExit);
  }
  if (state_ == kHorseJump && RecordingPlays()) SetJumpRadius(false);
}

void Horse::EnterState(HorseState state, bool playAtOnce) {
  if (const TimedState* timed = FindTimedState(state)) {
    if (state == kHorseBreak || state == kHorseKick) speed_ = targetSpeed_ = 0;
    skinMesh_.PlayNow(timed->now);
    skinMesh_.PlayNext(timed->next);
    stateDuration_ = skinMesh_.PlayingLength() + timed->extra;
    if (state == kHorseBreak) RaiseOnRider(kEventRiderMayExit);
    return;
  }
  const bool afterJump = previousState_ == kHorseJump;
  switch (state) {
    case kHorseIdle:
      if (previousState_ != kHorseDismount) {
        skinMesh_.PlayNow("Idle");
        skinMesh_.PlayNext("Idle");
      }
      FireEvent(kEventStartIdle, nullptr);
      idleTime_ = 0;
      RaiseOnRider(kEventRiderMayExit);
      break;
    case kHorseWalk:
      skinMesh_.PlayNow("Walk");
      skinMesh_.PlayNext("Walk");
      break;
    case kHorseTrot:
      if (playAtOnce) skinMesh_.PlayNow("Trot");
      skinMesh_.PlayNext("Trot");
      break;
    case kHorseCanter:
    case kHorseGallop: {
      const char* gait = state == kHorseCanter ? "Canter" : "Gallop";
      if (afterJump) break;
      if (playAtOnce) skinMesh_.PlayNow(gait);
      skinMesh_.PlayNext(gait);
      break;
    }
    case kHorseReverse:
      skinMesh_.PlayNow("Reverse");
      skinMesh_.PlayNext("Reverse");
      break;
    case kHorseJump: EnterJump(); break;
    default: break;
  }
}

// Only from a canter or gallop does the horse jump; standing with S held
// it kicks, otherwise it rears.
void Horse::EnterJump() {
  const HorseState from = previousState_;
  if (from == kHorseCanter || from == kHorseGallop) {
    skinMesh_.PlayNow("Jump");
    if (RecordingPlays()) SetJumpRadius(true);
    const SkinMesh* skin = skinMesh_.Get();
    jumpDuration_ = skinMesh_.PlayingLength() * (skin != nullptr ? skin->GetAnimationSpeedMul() : 1.0f);
    jumpTime_ = 0;
    jumpPhase_ = 0;
    skinMesh_.PlayNext(from == kHorseCanter ? "Canter" : "Gallop");
  } else if ((from == kHorseIdle || from == kHorseReverse) && ActionValue(kActionBack) != 0) {
    SetState(kHorseKick, false);
  } else {
    SetState(kHorseRearing, false);
  }
}

void Horse::Break() {
  if (state_ == kHorseGallop) {
    SetState(kHorseBreak, false);
  } else if (state_ != kHorseIdle && state_ != kHorseRearing) {
    Rear();
  }
}

// Rears from the current state; the state before it stays as it was.
void Horse::Rear() {
  LeaveState();
  state_ = kHorseRearing;
  stateTime_ = 0;
  skinMesh_.PlayNow("Rearing");
  skinMesh_.PlayNext("Idle");
  stateDuration_ = skinMesh_.PlayingLength();
  FireEvent(kEventChangeState, nullptr);
}

// Airborne the body is a small sphere; landed it is what it was at link.
void Horse::SetJumpRadius(bool airborne) {
  ResizeSensor(*this, airborne ? Vector3{kAirborneRadius, 0, 0} : bodyDimension_);
}

void Horse::SetBoneTurns(float headTurn) {
  Bone* spine2 = spine2_.Get();
  Bone* spine3 = spine3_.Get();
  Bone* neck1 = neck1_.Get();
  if (spine2 == nullptr || spine3 == nullptr || neck1 == nullptr) return;
  spine2->SetBoneRotation(Yaw(0.2f * headTurn));
  spine3->SetBoneRotation(Yaw(0.2f * headTurn));
  neck1->SetBoneRotation(Yaw(-0.6f * headTurn));
}

void Horse::SetAnimationSpeeds(float speed) {
  for (SkinMesh* skin : {skinMesh_.Get(), riderSkinMesh_.Get()}) {
    if (skin != nullptr) skin->SetAnimationSpeedMul(speed);
  }
}

void Horse::ReadRiderInput(float dt) {
  if (ActionValue(kActionLeft) != 0) {
    turn_ -= 2 * dt * (std::fabs(turn_) + 0.5f);
  } else if (ActionValue(kActionRight) != 0) {
    turn_ += 2 * dt * (std::fabs(turn_) + 0.5f);
  } else {
    turn_ *= 1 - 4 * dt;
  }
  turn_ = ClampUnit(turn_);
  speedChangeStep_ = kRiderSpeedStep;
  if (ActionPressed(kActionBreak)) {
    Break();
  } else if (ActionPressed(kActionForward) && !contactObject_) {
    if (TakesSpeedSteps(state_)) targetSpeed_ = std::min(targetSpeed_ + speedChangeStep_, gaits_.maxSpeed);
  } else if (ActionPressed(kActionBack)) {
    if (TakesSpeedSteps(state_)) targetSpeed_ = std::max(targetSpeed_ - speedChangeStep_, gaits_.minSpeed);
    // The horse backs up only after standing for a moment.
    if (idleTime_ < 0.2f && targetSpeed_ < 0) targetSpeed_ = 0;
  }
  const bool spurred = state_ == kHorseGallop && targetSpeed_ >= gaits_.maxSpeed && ActionValue(kActionForward) > 0;
  speedBoost_ = spurred ? kGallopBoost : 0;
  targetSpeed_ = std::min(targetSpeed_, currentMaxSpeed_);
  if (currentMaxSpeed_ == 0) targetSpeed_ = 0;
  if (ActionPressed(kActionJump) && (horseFlags_ & kHorseJumpEnable) != 0) SetState(kHorseJump, false);
  cameraTurnInput_ = ActionValue(kActionCameraTurn);
  cameraHeightInput_ = ActionValue(kActionCameraHeight);
}

// The horse is ridden while the first child of "PlayerPosition" is a
// third-person player; it then steers the rider's camera and skin mesh.
void Horse::FollowRider(float dt) {
  Object* position = playerPosition_.Get();
  Object* rider = GetRider();
  if (rider == nullptr) {
    riderSkinMesh_.Reset();
    camera_.Reset();
    turn_ = 0;
    return;
  }
  if (rider->GetClassId() != kClassPlayerTP) return;
  if (!camera_) camera_.Set(static_cast<Camera*>(position->FindChildByClass(kClassCamera)));
  if (!riderSkinMesh_) riderSkinMesh_.Set(static_cast<SkinMesh*>(position->FindChildByClass(kClassSkinMesh)));
  ReadRiderInput(dt);
}

// Left alone for a second, the camera swings round behind the horse.
void Horse::SteerCamera(float dt) {
  Camera* camera = camera_.Get();
  if (camera == nullptr) return;
  if (cameraTurnInput_ != 0) {
    camera->RotateAroundTarget({0, 2 * dt * cameraTurnInput_, 0});
    cameraIdleTime_ = 0;
  } else if (rootMotionAnimation_ == 0) {
    cameraIdleTime_ += dt;
  }
  if (cameraIdleTime_ > 1.0f && ActionValue(kActionMouseLeft) == 0) {
    const Vector3 z = GetAxisZWS();
    const float behind = Vector3YawFlat({-z.x, -z.y, -z.z}) - std::fabs(lean_) * lean_ * 3;
    const float error = std::clamp(WrapAngle(camera->GetHeadingAroundPivot() - behind), -0.2f, 0.2f);
    const float rate = std::max(0.8f, Quotient(speed_, gaits_.maxSpeed));
    camera->RotateAroundTarget({0, rate * error * dt * -10, 0});
  }
  if (cameraHeightInput_ != 0) camera->AddPositionLimited({0, 4 * dt * cameraHeightInput_, 0});
  camera->SetFollowTargetHeight(rootMotionAnimation_ == 0);
}

// Within a band of 2 around the target the speed is left as it is.
void Horse::ChangeSpeed(float dt) {
  if (speed_ < targetSpeed_ + speedBoost_ - kSpeedBand) {
    speed_ += kAcceleration * dt;
  } else if (speed_ > targetSpeed_ + kSpeedBand) {
    speed_ -= kAcceleration * dt;
  }
}

float Horse::GaitFactor(float effective) const {
  const HorseGaits& g = gaits_;
  switch (state_) {
    case kHorseWalk: return 0.7f + 0.3f * Quotient(effective - g.walk, g.trot - g.walk);
    case kHorseTrot: return 0.7f + 0.2f * Quotient(effective - g.trot, g.canter - g.trot);
    case kHorseCanter: return 0.7f + 0.2f * Quotient(effective - g.canter, g.gallop - g.canter);
    case kHorseGallop: return 0.7f + 0.2f * Quotient(effective - g.gallop, g.maxSpeed - g.gallop);
    case kHorseReverse: return std::fabs(0.7f + 0.2f * Quotient(effective - g.reverse, g.minSpeed - g.reverse));
    case kHorseJump: {
      const float base = previousState_ == kHorseCanter ? g.canter : g.gallop;
      return 0.7f + 0.2f * Quotient(effective - base, g.maxSpeed - base);
    }
    default: return 1.0f;
  }
}

// The state the frame moves to, if any; a jump lifts off, flies and lands
// on the way.
std::optional<HorseState> Horse::NextState(float effective, float dt) {
  switch (state_) {
    case kHorseIdle:
      idleTime_ += dt;
      return gaits_.FromSpeed(effective);
    case kHorseNoState:
    case kHorseWalk:
    case kHorseTrot:
    case kHorseCanter:
    case kHorseGallop:
    case kHorseReverse: return gaits_.FromSpeed(effective);
    case kHorseJump:
      jumpTime_ += dt;
      if (jumpPhase_ == 0 && jumpTime_ > 0.2f) {
        ApplyBodyVector(BodyVector::kAddForce, {0, 3 * GetFrameRate(), 0});
        SetJumpRadius(true);
        jumpPhase_ = 1;
      }
      if (jumpPhase_ == 1 && jumpTime_ > jumpDuration_ - 0.1f) {
        SetJumpRadius(false);
        jumpPhase_ = 2;
      }
      if (jumpTime_ > jumpDuration_ + 0.5f) return previousState_;
      return std::nullopt;
    default:
      stateTime_ += dt;
      if (stateTime_ <= stateDuration_) return std::nullopt;
      if (state_ != kHorseMount && state_ != kHorseMountRight) speed_ = targetSpeed_ = 0;
      return kHorseIdle;
  }
}

// A wall hit head-on makes the horse rear and stop; a glancing one (or a
// hit while a swerve runs) swerves it away for 0.2 s.
void Horse::ReactToWall() {
  if (!contactObject_ || state_ == kHorseIdle || state_ == kHorseReverse || state_ == kHorseJump) return;
  Vector3 n;
  Vector3Normalize(n, contactNormal_);
  if (!(n.y > -0.5f && n.y < 0.5f)) return;
  const float d = Vector3Dot(GetAxisXWS(), n);
  if (std::fabs(d) >= 0.8f || turnAwayTime_ >= 0) {
    if (turnAwayTime_ < 0) turnAwayDirection_ = d;
    turnAwayTime_ = 0.2f;
  } else if (IsMoving(state_)) {
    Rear();
    speed_ = targetSpeed_ = 0;
  }
}

void Horse::Swerve(float dt) {
  turnAwayTime_ -= dt;
  if (turnAwayTime_ <= 0) return;
  turn_ = ClampUnit(turn_ + (turnAwayDirection_ > 0 ? 4 * dt : -4 * dt));
}

// Heading, pitch along the ground and lean into the turn make the body's
// rotation.
void Horse::Turn(float effective, float dt) {
  const bool grounded = state_ != kHorseJump || jumpTime_ > jumpDuration_ + 0.2f;
  if (skinMesh_ && rootMotionAnimationCopy_ == 0 && grounded) heading_ += dt * turn_;
  Vector3 across;
  Vector3Cross(across, GetAxisXWS(), groundNormal_);
  TurnAngleTowards(pitch_, Vector3Pitch(across), 0.62831855f * dt, nullptr);
  const float g = gaits_.walk;
  const float leanTarget =
      effective > gaits_.trot ? -Quotient(effective - g, gaits_.maxSpeed - g) * turn_ * 0.25f : 0.0f;
  TurnAngleTowards(lean_, leanTarget, 0.31415927f * dt, nullptr);
  Quaternion rotation;
  SetRotation(QuaternionFromYawPitchRoll(rotation, heading_, -pitch_, lean_), true);
}

// The head turns most at low speed.
void Horse::TurnHead(float effective, float dt) {
  float target = 0;
  if (state_ != kHorseIdle && state_ != kHorseAnimation && effective > 0) {
    target = (1 - Quotient(effective, gaits_.maxSpeed)) * turn_;
  }
  TurnAngleTowards(headTurn_, target, kPi * dt, nullptr);
  SetBoneTurns(headTurn_);
}

// The animation's forward offset of this frame becomes a speed.
void Horse::TakeRootMotion(float dt) {
  const SkinMesh* skin = skinMesh_.Get();
  if (skin == nullptr) return;
  rootMotionVelocity_ = {0, 0, skin->GetRootMotion().z};
  forward_ = GetAxisZWS();
  if (rootMotionVelocity_.z != 0 && dt > 0) rootMotionVelocity_.z /= dt;
}

void Horse::Update() {
  if (!GetActive() || RecordingPlays()) return;
  const float dt = GetFrameTime();
  FollowRider(dt);
  SteerCamera(dt);
  ChangeSpeed(dt);
  const float slope = std::min(1.0f, groundNormal_.y + 0.05f);
  const float effective = slope * slope * slope * slope * speed_;
  const float turnFactor =
      effective <= 0 ? 1.0f : 1 - (1 - Quotient(effective, 2 * gaits_.maxSpeed)) * std::fabs(0.2f * turn_);
  const float gaitFactor = GaitFactor(effective);
  if (const std::optional<HorseState> next = NextState(effective, dt)) SetState(*next, false);
  animationSpeed_ = gaitFactor * turnFactor;
  SetAnimationSpeeds(animationSpeed_);
  ReactToWall();
  Swerve(dt);
  Turn(effective, dt);
  TurnHead(effective, dt);
  TakeRootMotion(dt);
  contactNormal_ = {};
  contactObject_.Reset();
}

int Horse::HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts, int count) {
  if (other == nullptr || (other->info & kGeometryEventOnly) != 0) return kContactUsual;
  if ((own->info & kGeometryEventOnly) != 0) {
    Vector3 sum;
    for (int i = 0; i < count; ++i) Vector3Add(sum, sum, NormalFromOwnSide(contacts[i], *own));
    if (count > 0) Vector3Add(contactNormal_, contactNormal_, Vector3Scale(sum, sum, 1.0f / static_cast<float>(count)));
    contactObject_.Set(other->owner);
    return kContactUsual;
  }
  const bool soft = other->owner != nullptr && other->owner->GetClassId() == kClassSimObject;
  const bool otherHasBody = other->owner != nullptr && other->owner->GetBody() != nullptr;
  const Vector3 centre = GetPositionWS();
  for (int i = 0; i < count; ++i) {
    ContactParameters& contact = contacts[i];
    const Vector3 n = StoredNormal(contact);
    if (std::fabs(n.y) > 0.7f) {
      groundHeight_ = static_cast<float>(contact.geom.pos[1]);
      groundSeen_ = 1;
      groundNormal_ = NormalFromOwnSide(contact, *own);
    }
    if (std::fabs(n.y) > 0.5f) {
      dSurfaceParameters& surface = contact.surface;
      surface.mode |= dContactMu2 | dContactFDir1 | dContactMotion1 | dContactMotion2;
      surface.mu += 6.5;
      surface.mu2 = 18.0;
      if (soft) {
        surface.mode |= dContactSoftERP | dContactSoftCFM;
        surface.soft_cfm = 0.001;
        surface.soft_erp = 0.05;
      }
      if (rootMotionAnimation_ != 0) surface.mu += 20.5;
      Vector3 direction = forward_;
      if (otherHasBody && !IsFirstGeometry(contact, *own)) {
        Vector3Subtract(direction, GetFrictionDirection(contact), forward_);
      }
      SetFrictionDirection(contact, direction);
      surface.motion1 = rootMotionVelocity_.z;
      surface.motion2 = rootMotionVelocity_.x;
    } else {
      contact.surface.mu = 0.01;
    }
    if (!soft) SetContactPoint(contact, centre);
  }
  return kContactKeepSurface;
}

void Horse::Draw() {
  if (!GetActive()) return;
  const float dt = GetFrameTime();
  shadowFade_ = std::clamp(shadowFade_ + (groundSeen_ != 0 ? dt : -dt), 0.0f, 1.0f);
  groundSeen_ = 0;
  const EngineServices* services = GetEngineServices();
  if (shadowFade_ > 0 && services != nullptr && services->GetGraphicsDetailLevel() > 0.1f) {
    shadow_.Draw(GetPositionWS(), skinMesh_.Get(), {58.0f, 70.0f, 5.5f, 0.04f}, false);
  }
  Object::Draw();
}

void StartMount(Object& transport, SkinMesh* rider, bool right) {
  if (transport.GetClassId() == kClassHorse) {
    static_cast<Horse&>(transport).SetState(right ? kHorseMountRight : kHorseMount, false);
  }
  if (rider == nullptr) return;
  rider->SetSkinMeshAnimation(right ? "HorseMountRight" : "HorseMount", 0);
  rider->SetSkinMeshNextAnimation("HorseIdle");
  rider->SetApplyRootMotion(true);
}

}  // namespace tge

// AIPlayerFPS's think step: sensing, the target's range, looking, the
// state machine, turning and root motion.
#include <cmath>
#include <numbers>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectHooks.h"
#include "core/World.h"
#include "core/math/Angles.h"
#include "core/math/Quaternion.h"
#include "core/math/Random.h"
#include "objects/gameplay/characters/AIPlayerFPS.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "objects/gameplay/physics/PhysicsGeometry.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/props/Door.h"
#include "objects/gameplay/weapons/CombatSupport.h"
#include "objects/scene/animation/Bone.h"
#include "objects/scene/animation/SkinMesh.h"
#include "objects/ui/sound/Sound.h"

namespace tge {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr unsigned kSensorCategory = 6;
constexpr std::uint32_t kGetPlayerHealth = 10283;
constexpr std::uint32_t kGetHealth = 10753;
constexpr std::uint32_t kGetCharacterGroup = 10778;
constexpr std::uint32_t kGetFightGroup = 10780;
constexpr float kPushInterval = 0.2f;
constexpr float kPushLift = 0.4f;
constexpr float kPushForce = 5.0f;
constexpr float kLookDistance = 8.0f;
constexpr float kLookLimit = 1.8f;
constexpr float kWallDelay = 0.5f;
constexpr float kWallAhead = 0.125f;
constexpr float kAttackReach = 2.5f;
constexpr float kFightFollow = 4.0f;
constexpr float kFightRun = 2.4f;
constexpr float kNoHit = 20000.0f;
constexpr float kDeadKillTime = 30.0f;
constexpr float kUndrawnKillTime = 4.0f;
constexpr float kTwitchTime = 5.1f;
constexpr int kTwitchBones[] = {1, 19, 49, 68};
// The first range event (enter Far); each range has an enter and an exit.
constexpr int kRangeEventFirst = 10818;

// Per state the start event; the stop event follows it. 0: none.
constexpr int kStateEvents[] = {10804, 0, 10808, 10810, 10812, 10806, 10814, 0, 0, 10816};

int StartEvent(AIPlayerFPS::State state) { return state >= 0 ? kStateEvents[state] : 0; }

float Heading(const Vector3& from, const Vector3& to) { return Vector3YawFlat(to - from); }

// One sensed entry per geometry the sphere really touches, spaces entered.
void SensorNear(void* data, dGeomID a, dGeomID b) {
  if (IsGeomSpace(a) != 0 || IsGeomSpace(b) != 0) {
    CollideSpaces(a, b, data, &SensorNear);
    return;
  }
  auto* self = static_cast<AIPlayerFPS*>(data);
  dContactGeom contact{};
  if (CollideGeoms(a, b, 1, &contact, sizeof(contact)) <= 0) return;
  GeometryRecord* record = GetGeomData(a == ToOde(self->GetSensorGeometry()) ? b : a);
  if (record != nullptr && record->owner != nullptr) self->Sense(record->owner);
}

}  // namespace

void AIPlayerFPS::Update() {
  if (!GetActive()) return;
  const DeletionHold hold;
  Think();
}

void AIPlayerFPS::Think() {
  SkinMesh* skin = GetSkinMesh();
  if (skin == nullptr) return;
  const float dt = GetFrameTime();
  timeSinceNoTurningChange_ += dt;
  skin->UpdateAnimation(dt);
  SensorStep();
  if (state_ != kDead) LookStep(dt);
  TrackTarget();
  PushTouchedProp(dt);
  OpenTouchedDoor();
  timeInState_ += dt;
  timeSinceDrawn_ += dt;
  timeSinceTargetChange_ += dt;
  if (paused_ != 0) {
    Queue("N_Neutral");
  } else {
    RunStateStep(dt);
  }
  TurnAndSteer(dt);
  TakeRootMotion(dt);
  floorContact_ = wallContact_ = touchingAI_ = touchingPlayer_ = false;
  touchedDoor_.Reset();
  touchedProp_.Reset();
}

// ---- Sensing.

void AIPlayerFPS::SensorStep() {
  dGeomID sphere = ToOde(sensor_.Make(sensorFar_));
  if (sphere == nullptr) return;
  SetGeomCategoryBits(sphere, kSensorCategory);
  SetGeomPosition(sphere, GetPositionWS());
  sensed_.clear();
  World* world = GetWorld();
  PhysicsSpace* space = world != nullptr ? world->GetCollisionSpace() : nullptr;
  if (space != nullptr) CollideSpaces(reinterpret_cast<dGeomID>(ToOde(space)), sphere, this, &SensorNear);
  Object* target = target_.Get();
  bool seen = false;
  for (const SensorEntry& entry : sensed_) {
    if (target == nullptr || entry.object.Get() != target) continue;
    seen = true;
    distanceToTarget_ = Vector3Length(target->GetPositionWS() - GetPositionWS());
    const float d = distanceToTarget_;
    SetRange(d < sensorNear_ ? kNear : d < sensorClose_ ? kClose : d < sensorMid_ ? kMid : kFar);
  }
  if (!seen && target != nullptr && range_ != kOutside) {
    FireEvent(kRangeEventFirst + 2 * (range_ - 1) + 1, target);
    previousRange_ = range_;
    range_ = kOutside;
  }
}

void AIPlayerFPS::Sense(Object* owner) {
  if (owner->GetClassId() == kClassPlayerFPS) {
    sensed_.push_back({ObjectRef<>(owner), 1, 0});
  } else if (owner->GetClassId() == kClassAIPlayerFPS && owner != this) {
    std::uint32_t characterGroup = 0, fightGroup = 0;
    owner->ExecuteCommand(kGetCharacterGroup, &characterGroup);
    owner->ExecuteCommand(kGetFightGroup, &fightGroup);
    sensed_.push_back({ObjectRef<>(owner), static_cast<std::int32_t>(characterGroup), fightGroup});
  }
}

void AIPlayerFPS::SetRange(Range range) {
  if (range == range_) return;
  Object* target = target_.Get();
  if (range_ > kOutside) FireEvent(kRangeEventFirst + 2 * (range_ - 1) + 1, target);
  if (range > kOutside) FireEvent(kRangeEventFirst + 2 * (range - 1), target);
  previousRange_ = range_;
  range_ = range;
}

float AIPlayerFPS::AskHealth(Object& object) const {
  float health = -1.0f;
  object.ExecuteCommand(kGetPlayerHealth, &health);
  if (health == -1.0f) object.ExecuteCommand(kGetHealth, &health);
  return health;
}

Object* AIPlayerFPS::FindEnemy() const {
  for (const SensorEntry& entry : sensed_) {
    Object* object = entry.object.Get();
    if (object != nullptr && object != target_.Get() && entry.a == 1 && AskHealth(*object) > 0) return object;
  }
  return nullptr;
}

Object* AIPlayerFPS::FindThreat() const {
  for (const SensorEntry& entry : sensed_) {
    Object* object = entry.object.Get();
    if (object != nullptr && object != target_.Get() && (entry.b & characterGroup_) != 0) return object;
  }
  return nullptr;
}

void AIPlayerFPS::SetTarget(Object* target) {
  if (target_.Get() == target) return;
  previousTarget_ = target_;
  target_.Set(target);
  timeSinceTargetChange_ = 0;
}

// A character that does not fight turns its head towards what it follows
// or watches.
void AIPlayerFPS::LookStep(float dt) {
  auto* left = static_cast<Bone*>(leftLookBone_.Get());
  auto* right = static_cast<Bone*>(rightLookBone_.Get());
  if (fightGroup_ != 0 || left == nullptr || right == nullptr) return;
  float wanted = 0;
  if ((distanceToTarget_ < kLookDistance && state_ == kIdle) || state_ == kFollow) {
    wanted = Heading(GetPositionWS(), targetPosition_) - (yaw_ + kPi);
    WrapAngleInPlace(wanted);
    if (std::fabs(wanted) > kLookLimit) wanted = 0;
  }
  TurnAngleTowards(lookAngle_, wanted, dt * kPi, nullptr);
  Quaternion rotation;
  QuaternionFromYawPitchRoll(rotation, 0, lookAngle_, 0);
  for (Bone* bone : {left, right}) {
    bone->SetBoneRotation(rotation);
    bone->SetRotationBlend(0.5f);
  }
}

void AIPlayerFPS::TrackTarget() {
  Object* target = target_.Get();
  if (target == nullptr) return;
  targetPosition_ = target->GetPositionWS();
  const Vector3 offset = targetPosition_ - GetPositionWS();
  distanceToTarget_ = Vector3Length(offset);
  directionToTarget_ = Normalized(offset);
  targetHealth_ = AskHealth(*target);
}

void AIPlayerFPS::PushTouchedProp(float dt) {
  pushTimer_ += dt;
  Object* prop = touchedProp_.Get();
  if (prop == nullptr || pushTimer_ <= kPushInterval) return;
  Vector3 d = Normalized(prop->GetPositionWS() - GetPositionWS());
  d.y += kPushLift;
  Push(*prop, d * (prop->GetMass() * GetFrameRate() * kPushForce));
  pushTimer_ = 0;
}

// A closed Door in the way opens, unless it only joins two parts of the
// target's own cell.
void AIPlayerFPS::OpenTouchedDoor() {
  Object* target = target_.Get();
  Object* touched = touchedDoor_.Get();
  if (target == nullptr || touched == nullptr || touched->GetClassId() != kClassDoor) return;
  auto* door = static_cast<Door*>(touched);
  if (door->GetState() != DoorState::kClosed) return;
  if (GetSpace() != target->GetSpace() || door->IsInConnectionSpace() == 0) door->Open(this);
}

// ---- States.

void AIPlayerFPS::Play(const char* name) {
  if (SkinMesh* skin = GetSkinMesh()) skin->SetSkinMeshAnimation(name, 0);
}

void AIPlayerFPS::Queue(const char* name) {
  if (SkinMesh* skin = GetSkinMesh()) skin->SetSkinMeshNextAnimation(name);
}

void AIPlayerFPS::SetState(State state) {
  if (GetSkinMesh() == nullptr) return;
  previousState_ = state_;
  state_ = state;
  LeaveState();
  EnterState();
  timeInState_ = 0;
}

void AIPlayerFPS::LeaveState() {
  if (const int start = StartEvent(previousState_); start != 0) FireEvent(start + 1, nullptr);
}

void AIPlayerFPS::EnterState() {
  SkinMesh* skin = GetSkinMesh();
  switch (state_) {
    case kIdle:
      Queue("N_Neutral");
      target_.Reset();
      break;
    case kPaht: Play("N_Forward"); break;
    case kFight: Queue("N_Forward"); break;
    case kAttack: {
      static const char* const kAttacks[] = {"M_AttackLeft", "M_AttackForward", "M_AttackRight"};
      const int k = Rand() % 3;
      Play(kAttacks[k]);
      if (k <= 1 && attackTrailLeft_) attackTrailLeft_->Start();
      if (k >= 1 && attackTrailRight_) attackTrailRight_->Start();
      skin = GetSkinMesh();
      attackLength_ = skin != nullptr ? skin->GetAnimationLength(skin->GetCurrentEntryIndex()) : 0;
      hitTime_ = attackEvaluationTime_;
      Queue("R_Forward");
      attackKind_ = static_cast<std::uint32_t>(k + 1);
      break;
    }
    case kGetHit:
      if (skin != nullptr) {
        skin->SetSkinMeshAnimation(getHitName_, 0);
        getHitLength_ = skin->GetAnimationLength(skin->GetCurrentEntryIndex());
      }
      neutralQueued_ = false;
      break;
    case kFollow:
      Play("N_Forward");
      if (PathRecord* path = path_.Get()) path->waypoints.clear();
      break;
    case kScared:
      Play("R_Forward");
      target_.Reset();
      break;
    case kInactive:
    case kMotion: target_.Reset(); break;
    case kDead:
      if ((flags_ & kUseDieAnimation) != 0 && skin != nullptr) {
        skin->SetSkinMeshAnimation("N_Die", 0);
        deathEnd_ = skin->GetAnimationLength(skin->GetCurrentEntryIndex()) - 0.05f;
        ExecuteCommand(kCommandStopPhysics, nullptr);
      } else if ((flags_ & kUseDieAnimation) == 0 && speaker_) {
        if (Object* speaker = speaker_.Get(); speaker->GetClassId() == kClassSound) {
          static_cast<Sound*>(speaker)->PlaySoundEntry("N_Die");
        }
      }
      target_.Reset();
      break;
    default: break;
  }
  if (const int start = StartEvent(state_); start != 0) FireEvent(start, nullptr);
}

void AIPlayerFPS::RunStateStep(float dt) {
  switch (state_) {
    case kIdle: IdleStep(); break;
    case kFight: FightStep(dt); break;
    case kAttack: AttackStep(); break;
    case kGetHit: GetHitStep(); break;
    case kFollow: FollowStep(dt); break;
    case kScared: Queue("N_Scare"); break;
    case kMotion:
      if (timeInState_ > motionLength_) SetState(kIdle);
      break;
    case kDead: DeadStep(dt); break;
    default: break;
  }
}

void AIPlayerFPS::IdleStep() {
  Object* enemy = !sensed_.empty() && fightGroup_ != 0 && timeInState_ > 0.2f ? FindEnemy() : nullptr;
  if (enemy != nullptr) {
    SetTarget(enemy);
    SetState(kFight);
    Play("N_Forward");
    return;
  }
  targetPosition_ = GetPositionWS();
  Queue("N_Neutral");
}

void AIPlayerFPS::FightStep(float dt) {
  if (target_ && timeInState_ > 0.3f) {
    if (targetHealth_ <= 0) return SetState(kIdle);
    if (distanceToTarget_ > kFightFollow) return SetState(kFollow);
    if (distanceToTarget_ > kFightRun) {
      if (noTurning_ != 0) Play("R_Forward");
      Queue("R_Forward");
    } else if (attackCooldown_ < 0) {
      return SetState(kAttack);
    }
    attackCooldown_ -= dt;
  }
  if (timeSinceTargetChange_ > 8.0f) {
    if (Object* enemy = FindEnemy()) SetTarget(enemy);
    timeSinceTargetChange_ = 0;
  }
}

// One hit per attack, when the target is still within reach.
void AIPlayerFPS::AttackStep() {
  if (timeInState_ > hitTime_) {
    if (distanceToTarget_ < kAttackReach && target_) {
      SendHit(target_.Get(), this, targetPosition_, directionToTarget_, damage_, damageGroup_, attackKind_);
      attackCooldown_ = 0;
    }
    hitTime_ = kNoHit;
  }
  if (state_ == kAttack && timeInState_ > attackLength_) {
    SetState(kFight);
    attackCooldown_ = 0;
  }
}

void AIPlayerFPS::GetHitStep() {
  const bool fights = fightGroup_ != 0 && target_;
  if (health_ > 0) {
    if (!neutralQueued_ && timeInState_ > getHitLength_ - 0.3f) {
      Play(fights ? "M_Neutral" : "N_Neutral");
      neutralQueued_ = true;
    }
    if (timeInState_ > getHitLength_) SetState(fights ? kFight : kIdle);
    return;
  }
  getHitLength_ = 0.1f;
  if (timeInState_ <= 0.1f) return;
  if ((flags_ & kUseDieAnimation) == 0) {
    FallToRagDoll();
    SkinMesh* skin = GetSkinMesh();
    const Vector3 f{4 * hitDirection_.x, 1.5f, 4 * hitDirection_.z};
    Bone* bone = skin != nullptr ? skin->FindNearestBone(hitPosition_, true, false) : nullptr;
    if (bone != nullptr) bone->ApplyBodyVector(BodyVector::kAddForce, f);
    if (skin != nullptr) skin->ApplyBodyVector(BodyVector::kAddForce, bone != nullptr ? f : f * 2);
  }
  SetState(kDead);
}

void AIPlayerFPS::DeadStep(float dt) {
  SkinMesh* skin = GetSkinMesh();
  if (timeInState_ > kDeadKillTime || timeSinceDrawn_ > kUndrawnKillTime) {
    Kill();
    return;
  }
  if (skin == nullptr) return;
  if ((flags_ & kUseDieAnimation) != 0) {
    if (timeInState_ > deathEnd_) skin->SetAnimate(false);
    return;
  }
  skin->StartRagDoll(0.1f);
  if (timeInState_ >= kTwitchTime) return;
  twitchTimer_ += dt;
  if (twitchTimer_ <= 1.0f) return;
  twitchTimer_ = RandomUnit();
  if (Bone* bone = skin->GetBoneObject(kTwitchBones[Rand() % 4])) {
    const float m = bone->GetMass();
    bone->ApplyBodyVector(BodyVector::kAddForce, Vector3{-0.2f * m, 0.8f * m, 0.2f * m} * (GetFrameRate() * 7.0f));
  }
}

// ---- Turning and moving.

void AIPlayerFPS::TurnAndSteer(float dt) {
  const Vector3 position = GetPositionWS();
  const bool moving = state_ != kPaht && state_ != kDead;
  if (moving && target_ && !wallContact_ && noTurning_ == 0) {
    Vector3 flat = targetPosition_ - position;
    flat.y = 0;
    TurnAngleTowards(yaw_, Vector3YawFlat(flat), dt * kPi / 2, nullptr);
  }
  if (moving && wallContact_ && !touchingAI_ && !touchingPlayer_ && noTurning_ == 0) {
    wallTimer_ += dt;
    if (wallTimer_ > kWallDelay) {
      const Vector3 aim = wallPoint_ + wallNormal_ + forwardAxis_ * kWallAhead;
      TurnAngleTowards(yaw_, Heading(position, aim), dt * 2 * kPi, nullptr);
    }
  } else {
    wallTimer_ = 0;
  }
  ApplyYaw();
}

void AIPlayerFPS::ApplyYaw() {
  Quaternion rotation;
  QuaternionFromYawPitchRoll(rotation, yaw_, 0, 0);
  SetRotation(rotation, true);
}

// The animation's root motion per second becomes the ground's surface
// motion in the next contacts.
void AIPlayerFPS::TakeRootMotion(float dt) {
  SkinMesh* skin = GetSkinMesh();
  Vector3 offset = skin != nullptr ? skin->GetRootMotion() : Vector3{};
  offset.y = 0;
  rootVelocity_ = offset;
  forwardAxis_ = GetAxisZWS();
  if (Vector3Length(offset) > 0 && dt > 0) rootVelocity_ = offset * (1.0f / dt);
}

}  // namespace tge

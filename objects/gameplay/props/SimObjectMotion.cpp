// SimObject's contacts, per-frame motion, hard hits and kinematic following.
#include <algorithm>
#include <cmath>
#include <utility>

#include "core/ClassIds.h"
#include "core/ObjectHooks.h"
#include "core/math/Random.h"
#include "objects/gameplay/physics/PhysicsBody.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/props/SimObject.h"
#include "objects/gameplay/world/HitMessage.h"
#include "objects/gameplay/world/Space.h"
#include "services/EngineServices.h"

namespace tge {
namespace {

constexpr float kMaxSpeed = 50.0f;
constexpr float kMaxSpin = 10.0f;
constexpr float kBrake = 0.05f;
constexpr float kSpinClamp = 2.0f;
constexpr float kContactBounceVelocity = 0.3f;
// A hard hit: moving away from the contact this fast, this long after the last.
constexpr float kHardHitSpeed = 4.0f;
constexpr float kHardHitFacing = 0.5f;
constexpr float kHardHitInterval = 0.2f;
constexpr float kHitEffectLift = 0.1f;
constexpr float kPushSpeed = 4.0f;
constexpr float kPushInterval = 1.0f;
constexpr float kPushDamage = 40.0f;
// Tries at a random vector across the normal before giving up on one.
constexpr int kHitVectorDraws = 64;

void SetRow(Matrix4& m, int row, const Vector3& v) {
  m.m[row * 4] = v.x;
  m.m[row * 4 + 1] = v.y;
  m.m[row * 4 + 2] = v.z;
}

bool IsZero(const Vector3& v) { return Vector3LengthSquared(v) < 1e-12f; }

}  // namespace

Vector3 DrawHitVector() {
  const float x = static_cast<float>(Rand() & 15);
  const float y = static_cast<float>(Rand() & 15);
  const float z = static_cast<float>(Rand() & 15);
  return {x, y, z};
}

// A vector drawn along the normal (or zero) would leave the x row zero.
Matrix4 HitEffectPlacement(const Vector3& point, const Vector3& normal, Vector3 (*draw)()) {
  Matrix4 placement;
  Matrix4Identity(placement);
  if (!IsZero(normal)) {
    Vector3 across = Cross(normal, draw());
    for (int tries = 1; tries < kHitVectorDraws && IsZero(across); ++tries) across = Cross(normal, draw());
    if (!IsZero(across)) {
      const Vector3 x = Normalized(Cross(across, normal));
      SetRow(placement, 0, x);
      SetRow(placement, 1, Normalized(Cross(normal, x)));
      SetRow(placement, 2, normal);
    }
  }
  SetRow(placement, 3, {point.x + normal.x * kHitEffectLift, point.y + normal.y * kHitEffectLift,
                        point.z + normal.z * kHitEffectLift});
  return placement;
}

// Inside the physics step: records the contact and writes the surfaces; the
// events wait for Update.
int SimObject::HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts, int count) {
  if (other != nullptr && (flags_ & kEnableHitEvent) != 0 && (hitEventCategory_ & other->categoryBits) != 0) {
    hitObject_.Set(other->owner);
  }
  if (other != nullptr && other->owner != nullptr && other->owner->GetClassId() == kClassAIPlayerFPS) {
    touchedCharacter_.Set(other->owner);
  }
  PhysicsGeom* mine = own->transformGeometry != nullptr ? own->transformGeometry : own->geometry;
  const bool eventOnly = other != nullptr && (other->info & kGeometryEventOnly) != 0;
  for (int i = 0; i < count; ++i) {
    ContactParameters& contact = contacts[i];
    const float sign = contact.geom.g2 == ToOde(mine) ? -1.0f : 1.0f;
    const Vector3 n{static_cast<float>(contact.geom.normal[0]) * sign, static_cast<float>(contact.geom.normal[1]) * sign,
                    static_cast<float>(contact.geom.normal[2]) * sign};
    const float depth = static_cast<float>(contact.geom.depth);
    if (!eventOnly && depth > deepestContact_) {
      deepestContact_ = depth;
      contactPoint_ = {static_cast<float>(contact.geom.pos[0]) + n.x * depth,
                       static_cast<float>(contact.geom.pos[1]) + n.y * depth,
                       static_cast<float>(contact.geom.pos[2]) + n.z * depth};
      contactNormal_ = n;
      hadContact_ = true;
    }
    contact.surface.mode |= dContactBounce;
    contact.surface.mu += friction_;
    contact.surface.bounce += bounce_;
    contact.surface.bounce_vel += kContactBounceVelocity;
  }
  EnableUpdate();
  return kContactKeepSurface;
}

void SimObject::Update() {
  if (!GetActive()) return;
  const DeletionHold hold;
  const float dt = GetFrameTime();
  const bool awake = IsBodyEnabled();
  UpdateRest(awake);
  if (awake && (flags_ & kAnimated) == 0) {
    const Vector3 velocity = GetLinearVelocity();
    LimitMotion(velocity, GetMass());
    timeSinceHitEffect_ += dt;
    const float speed = Vector3Length(velocity);
    const Vector3 toObject = Normalized(GetPositionWS() - contactPoint_);
    if (hadContact_ && Vector3Dot(Normalized(velocity), toObject) > kHardHitFacing &&
        timeSinceHitEffect_ > kHardHitInterval && speed > kHardHitSpeed) {
      HardHit();
    }
    EngineServices* services = GetEngineServices();
    if (services != nullptr && sound_) {
      const Vector3 position = GetPositionWS();
      services->UpdateSoundVolume(sound_.Get(), std::min(speed, 1.0f) * (hadContact_ ? 1.0f : 0.0f));
      services->SetSoundPosition(sound_.Get(), &position);
    }
    PushTouchedCharacter(velocity, dt);
    touchedCharacter_.Reset();
    deepestContact_ = 0;
    hadContact_ = false;
  }
  if ((flags_ & kEnableHitEvent) != 0) UpdateHitEvent(dt);
}

void SimObject::UpdateRest(bool awake) {
  EngineServices* services = GetEngineServices();
  if (awake == awake_) return;
  awake_ = awake;
  if (services != nullptr && sound_) {
    services->UpdateSoundVolume(sound_.Get(), 0);
    if (awake) services->StartSound(sound_.Get(), 1);
    else services->StopSound(sound_.Get());
  }
  if ((flags_ & kEnableRestEvent) != 0) FireEvent(awake ? kEventStopRest : kEventStartRest, nullptr);
}

// Brakes a runaway body and caps its spin.
void SimObject::LimitMotion(const Vector3& velocity, float mass) {
  if (Vector3Length(velocity) > kMaxSpeed) ApplyBodyVector(BodyVector::kAddForce, velocity * (-mass * kBrake));
  Vector3 spin = GetAngularVelocity();
  if (Vector3Length(spin) > kMaxSpin) ApplyBodyVector(BodyVector::kAddTorque, spin * (-mass * kBrake));
  bool clamped = false;
  for (float* c : {&spin.x, &spin.y, &spin.z}) {
    const float limited = std::clamp(*c, -kSpinClamp, kSpinClamp);
    clamped = clamped || limited != *c;
    *c = limited;
  }
  if (clamped) ApplyBodyVector(BodyVector::kSetAngularVelocity, spin);
}

void SimObject::HardHit() {
  const Matrix4 placement = HitEffectPlacement(contactPoint_, contactNormal_, &DrawHitVector);
  ObjectHooks* hooks = GetObjectHooks();
  Object* parent = GetSpace();
  if (hooks != nullptr && parent != nullptr) hooks->SpawnGlobalHitEffects(hitEffectMask_, *parent, placement, nullptr, 1.0f);
  timeSinceHitEffect_ = 0;
  TakeDamage(damage_, this);
}

// Only a prop a magnet threw pushes, at most once a second.
void SimObject::PushTouchedCharacter(const Vector3& velocity, float dt) {
  timeSincePush_ += dt;
  Object* character = touchedCharacter_.Get();
  if (character == nullptr || !pushArmed_ || timeSincePush_ <= kPushInterval) return;
  if (Vector3Length(velocity) <= kPushSpeed) return;
  const Vector3 position = GetPositionWS();
  const Vector3 direction = Normalized(velocity);
  if (Vector3Dot(position - character->GetPositionWS(), direction) <= 0) return;
  timeSincePush_ = 0;
  HitMessage hit{this, position, direction, kPushDamage, 0xFFFFFFFFu, 0xFFFFFFFFu};
  character->ExecuteCommand(kApplyHit, &hit);
}

void SimObject::UpdateHitEvent(float dt) {
  if (hitObject_ && hitEventTimer_ > hitEventRepeatTime_) {
    FireEvent(kEventHit, hitObject_.Get());
    hitEventTimer_ = 0;
  }
  hitObject_.Reset();
  hitEventTimer_ += dt;
}

void SimObject::InvalidateWorldTransform() {
  Object::InvalidateWorldTransform();
  ObjectPhysics* physics = GetPhysics();
  if ((flags_ & kAnimated) != 0 && physics != nullptr && physics->body != nullptr) FollowTransform();
}

// The body is set aside while the transform gives the world placement; it
// then moves there over the coming frame. In a paused World it is placed
// there outright.
void SimObject::FollowTransform() {
  ObjectPhysics& physics = *GetPhysics();
  PhysicsBody* body = std::exchange(physics.body, nullptr);
  InvalidateLocalMatrix();
  SetFlag(kFlagWorldMatrixValid, false);
  const Vector3 position = GetPositionWS();
  const Quaternion rotation = GetRotationWS();
  physics.body = body;
  SetFlag(kFlagMatrixValid, false);
  dBodyID ode = ToOde(body);
  const float dt = GetFrameTime();
  if (dt > 0) {
    SetBodyLinearVel(ode, (position - GetBodyPosition(ode)) * GetFrameRate());
  } else {
    SetBodyPosition(ode, position);
    SetBodyLinearVel(ode, {});
  }
  SetBodyAngularVel(ode, {});
  SetBodyRotation(ode, rotation);
  lastPosition_ = position;
}

}  // namespace tge

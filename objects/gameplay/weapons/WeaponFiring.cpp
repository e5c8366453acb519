// Weapon's three ways of firing: a launched clone of the Ammunition, a ray,
// and the pre-made clone thrown from the hand. Without a Space nothing
// leaves the weapon.
#include <cstdint>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectHooks.h"
#include "core/math/Random.h"
#include "objects/gameplay/props/SimObject.h"
#include "objects/gameplay/weapons/Ammunition.h"
#include "objects/gameplay/weapons/CombatSupport.h"
#include "objects/gameplay/weapons/Weapon.h"
#include "objects/gameplay/world/Space.h"

namespace tge {
namespace {

constexpr float kLaunchForce = 30.0f;
constexpr float kRayStart = 0.65f;
constexpr float kSpreadDivisor = 90.0f;
constexpr float kEffectLift = 0.01f;
constexpr float kBoneShotForce = 400.0f;
constexpr float kShotForce = 300.0f;
constexpr float kAutomaticShotForce = 150.0f;
constexpr float kWeakThrow = 0.4f;

// The classes a shot hurts instead of pushing (a SimObject both).
bool TakesShotHit(int classId) {
  switch (classId) {
    case kClassPlayerFPS:
    case kClassAIPlayerFPS:
    case kClassSimJoint:
    case kClassPlayerTP:
    case kClassSimObject:
    case kClassAIPlayer: return true;
    default: return false;
  }
}

// -1 to 0.9998 in steps of 0.0002.
float Spread() { return static_cast<float>(Rand() % 10000) * 0.0002f - 1.0f; }

// Starts a launched or thrown round's body moving forward along its own Z.
void Launch(Object& round, float speed) {
  round.ExecuteCommand(kCommandCreatePhysics, nullptr);
  round.ExecuteCommand(kCommandStartPhysics, nullptr);
  round.ApplyBodyVector(BodyVector::kAddRelativeForce, {0, 0, speed * round.GetMass()});
  if (round.GetClassId() == kClassAmmunition) static_cast<Ammunition&>(round).Fire();
}

}  // namespace

void Weapon::Shoot(const Vector3& origin, const Vector3& aim) {
  if (GetSpace() == nullptr) return;
  switch (type_) {
    case kProjectile: LaunchProjectile(); break;
    case kHitScan: CastRay(origin, aim); break;
    case kThrown: Throw(); break;
    default: break;
  }
}

void Weapon::LaunchProjectile() {
  Ammunition* ammunition = GetAmmunition();
  ObjectHooks* hooks = GetObjectHooks();
  if (ammunition == nullptr || hooks == nullptr) return;
  const Vector3 position = ammunition->GetPositionWS();
  const Quaternion rotation = ammunition->GetRotationWS();
  Object* round = hooks->CloneObject(*ammunition, *GetSpace(), true, true, false);
  if (round == nullptr) return;
  round->SetWSOrientation(true);
  round->SetPosition(position, true);
  round->SetRotation(rotation, true);
  Launch(*round, GetFrameRate() * kLaunchForce);
}

void Weapon::CastRay(const Vector3& origin, const Vector3& aim) {
  const Ammunition* ammunition = GetAmmunition();
  if (ammunition == nullptr) return;
  const float spread = ammunition->GetPrecisionMul() * precisionMul_ * precision_ / kSpreadDivisor;
  Vector3 d = aim;
  d.x += Spread() * spread;
  d.y += Spread() * spread;
  d.z += Spread() * spread;
  SpaceRayHit hit;
  Space* space = GetSpace();
  if (space->RayQuery(this, origin + d * kRayStart, origin + d * range_,
                      ammunition->GetCollisionCategory(), &hit, 1) == 0) {
    return;
  }
  Object* target = hit.record != nullptr ? hit.record->owner : nullptr;
  const ObjectRef<> keep(target);
  Object* effectParent = target == nullptr || target->GetClassId() == kClassBone ? space : target;
  const std::uint32_t bits = (hit.record != nullptr ? hit.record->hitEffectMask : ~0u) & ammunition->GetHitEffectGroup();
  ObjectHooks* hooks = GetObjectHooks();
  if (bits != 0 && hooks != nullptr) {
    Matrix4 placement = HitEffectPlacement(hit.position, hit.normal, &DrawHitVector);
    const Vector3 at = hit.position + hit.normal * kEffectLift;
    placement.m[12] = at.x;
    placement.m[13] = at.y;
    placement.m[14] = at.z;
    hooks->SpawnGlobalHitEffects(bits, *effectParent, placement, nullptr, 1.0f);
  }
  target = keep.Get();
  if (target == nullptr) return;
  const int classId = target->GetClassId();
  if (classId == kClassBone) {
    PushAt(*target, d * (target->GetMass() * kBoneShotForce), hit.position);
    return;
  }
  if (classId == kClassVehicle) return;
  if (TakesShotHit(classId)) {
    float damage = 0;
    std::uint32_t group = 0;
    HitValues(damage, group);
    SendHit(target, this, hit.position, d, damage, group, 0);
    if (classId != kClassSimObject || keep.Get() == nullptr) return;
  }
  const float force = (flags_ & kAutomaticFire) != 0 ? kAutomaticShotForce : kShotForce;
  PushAt(*target, d * (target->GetMass() * force), hit.position);
}

// A throw released before half the pre-fire time-out is a weak one.
void Weapon::Throw() {
  Object* round = thrown_.Get();
  ObjectHooks* hooks = GetObjectHooks();
  if (round == nullptr || hooks == nullptr || !hooks->MoveObject(*round, *GetSpace())) return;
  thrown_.Reset();
  if (ObjectPhysics* physics = round->GetPhysics()) physics->flags |= kPhysicsNotLockedInSpace;
  round->SetWSOrientation(true);
  round->SetPosition(GetPositionWS() + GetAxisZWS(), true);
  round->SetRotation(GetRotationWS(), true);
  const float k = preFireHeld_ < 0.5f * preFireTimeOut_ ? kWeakThrow : 1.0f;
  Launch(*round, k * kLaunchForce * GetFrameRate());
}

}  // namespace tge

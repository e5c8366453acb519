// Ammunition's command table, flight, detonation, sticking and file record.
#include "objects/gameplay/weapons/Ammunition.h"

#include <algorithm>
#include <vector>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandAccessors.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/World.h"
#include "core/files/SerializeStream.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/physics/PhysicsJoint.h"
#include "objects/gameplay/weapons/CombatSupport.h"
#include "objects/gameplay/weapons/Weapon.h"
#include "objects/gameplay/world/Space.h"
#include "objects/scene/animation/Bone.h"
#include "objects/scene/animation/SkinMesh.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto E = CommandKind::kEvent;
constexpr std::uint32_t kClearedAtLink = 0x1 | Ammunition::kStuck;
// The bone a sticking projectile must land near to wound a character.
constexpr int kWoundBone = 39;
constexpr float kWoundReach = 0.8f;
constexpr std::uint32_t kStickKind = 20;
constexpr float kStickDelay = 0.01f;
constexpr float kBlastLift = 0.3f;
constexpr float kCharacterBlastRadius = 4.0f;
constexpr float kCharacterBlastForce = 1000.0f;

// Characters take a blast's hit but no push.
bool TakesBlastPush(int classId) {
  return classId != kClassPlayerFPS && classId != kClassAIPlayerFPS && classId != kClassPlayerTP &&
         classId != kClassAIPlayer;
}

}  // namespace

// clang-format off
using A = Ammunition;
constexpr CommandEntry<Ammunition> Ammunition::kCommands[] = {
    {6000, "AmmunitionType", P, 0, {kValueDword}, FieldSetter<&A::type_>, FieldGetter<&A::type_>},
    {6002, "AmmunitionRangeMul", P, 0, {kValueFloat}, FieldSetter<&A::rangeMul_>, FieldGetter<&A::rangeMul_>},
    {6004, "AmmunitionPrecisionMul", P, 0, {kValueFloat}, FieldSetter<&A::precisionMul_>, FieldGetter<&A::precisionMul_>},
    {6006, "AmmunitionRecoilMul", P, 0, {kValueFloat}, FieldSetter<&A::recoilMul_>, FieldGetter<&A::recoilMul_>},
    {6008, "AmmunitionFireTimeMul", P, 0, {kValueFloat}, FieldSetter<&A::fireTimeMul_>, FieldGetter<&A::fireTimeMul_>},
    {6010, "AmmunitionBulletLoadTimeMul", P, 0, {kValueFloat}, FieldSetter<&A::bulletLoadTimeMul_>, FieldGetter<&A::bulletLoadTimeMul_>},
    {6012, "AmmunitionClipLoadTimeMul", P, 0, {kValueFloat}, FieldSetter<&A::clipLoadTimeMul_>, FieldGetter<&A::clipLoadTimeMul_>},
    {6014, "AmmunitionMaxBulletsInClip", P, 0, {kValueDword}, FieldSetter<&A::maxBulletsInClip_>, FieldGetter<&A::maxBulletsInClip_>},
    {6016, "AmmunitionBulletsInClip", P, 0, {kValueDword}, FieldSetter<&A::bulletsInClip_>, FieldGetter<&A::bulletsInClip_>},
    {6018, "AmmunitionGroup", P, 0, {kValueDword}, FieldSetter<&A::group_>, FieldGetter<&A::group_>},
    {6028, "AmmunitionDamage", P, 0, {kValueFloat}, FieldSetter<&A::damage_>, FieldGetter<&A::damage_>},
    {6030, "AmmunitionDamageRadius", P, 0, {kValueFloat}, FieldSetter<&A::damageRadius_>, FieldGetter<&A::damageRadius_>},
    {6032, "AmmunitionDetonationTime", P, 0, {kValueFloat}, FieldSetter<&A::detonationTime_>, FieldGetter<&A::detonationTime_>},
    {6034, "AmmunitionDetonationForce", P, 0, {kValueFloat}, FieldSetter<&A::detonationForce_>, FieldGetter<&A::detonationForce_>},
    {6020, "AmmunitionHitEffectGroup", P, 0, {kValueDword}, FieldSetter<&A::hitEffectGroup_>, FieldGetter<&A::hitEffectGroup_>},
    {6022, "AmmunitionCollisionCategory", P, 0, {kValueDword}, FieldSetter<&A::collisionCategory_>, FieldGetter<&A::collisionCategory_>},
    {6024, "AmmunitionUnlimited", P, 0, {kValueDword}, FlagSetter<&A::flags_, kUnlimited>, FlagGetter<&A::flags_, kUnlimited>},
    {6026, "AmmunitionShowInfo", P, 0, {kValueDword}, FlagSetter<&A::flags_, kShowInfo>, FlagGetter<&A::flags_, kShowInfo>},
    {kEventFire, "OnAmmunitionFire", E, 0, {}},
    {kEventHit, "OnAmmunitionHit", E, 0, {}},
    {kEventDetonate, "OnAmmunitionDetonate", E, 0, {}},
};

std::span<const CommandEntry<Ammunition>> Ammunition::Commands() { return kCommands; }
// clang-format on

Ammunition::Ammunition() : Object(kClassAmmunition) {}

// The settings and the clip; the joint and what was touched stay with the
// source.
Ammunition::Ammunition(const Ammunition& source)
    : Object(source),
      type_(source.type_),
      rangeMul_(source.rangeMul_),
      precisionMul_(source.precisionMul_),
      recoilMul_(source.recoilMul_),
      fireTimeMul_(source.fireTimeMul_),
      bulletLoadTimeMul_(source.bulletLoadTimeMul_),
      clipLoadTimeMul_(source.clipLoadTimeMul_),
      maxBulletsInClip_(source.maxBulletsInClip_),
      bulletsInClip_(source.bulletsInClip_),
      group_(source.group_),
      damage_(source.damage_),
      damageRadius_(source.damageRadius_),
      detonationTime_(source.detonationTime_),
      detonationForce_(source.detonationForce_),
      hitEffectGroup_(source.hitEffectGroup_),
      collisionCategory_(source.collisionCategory_),
      flags_(source.flags_ & ~kStuck),
      owner_(source.owner_) {}

Ammunition::~Ammunition() { DestroyJoint(); }

int Ammunition::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Ammunition> handlers(kClassAmmunition, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandActionStartStep) Fire();
  return Object::ExecuteCommand(id, args);
}

void Ammunition::SetOwner(Weapon* owner) { owner_.Set(owner); }

Weapon* Ammunition::GetOwner() const {
  Object* owner = owner_.Get();
  return owner != nullptr && owner->GetClassId() == kClassWeapon ? static_cast<Weapon*>(owner) : nullptr;
}

void Ammunition::Fire() {
  if (!GetActive() || HasFlag(kFlagUpdateRegistered)) return;
  if (type_ == kDetonating || type_ == kPlain) EnableUpdate();
  FireEvent(kEventFire, nullptr);
}

int Ammunition::HandleContact(GeometryRecord*, GeometryRecord* other, ContactParameters* contacts, int count) {
  if (other != nullptr && (other->info & kGeometryEventOnly) != 0) return kContactUsual;
  Object* owner = other != nullptr ? other->owner : nullptr;
  if (owner != nullptr && owner->GetClassId() == kClassAIPlayerFPS) {
    stuckAI_.Set(owner);
  } else if (owner != nullptr) {
    stuckObject_.Set(owner);
  }
  EnableUpdate();
  if (type_ == kSticking) return kContactDrop;
  for (int i = 0; i < count; ++i) {
    contacts[i].surface.mode |= dContactBounce;
    contacts[i].surface.mu += 0.01;
    contacts[i].surface.bounce += 0.2;
    contacts[i].surface.bounce_vel += 0.1;
  }
  return kContactKeepSurface;
}

void Ammunition::Update() {
  if (!GetActive()) return;
  const DeletionHold hold;
  const float dt = GetFrameTime();
  if (type_ == kDetonating) {
    detonationTimer_ += dt;
    if (detonationTimer_ >= detonationTime_) Detonate();
  } else if (type_ == kSticking) {
    StickStep(dt);
  }
}

// Still in the hand, the grenade takes its holder with it.
void Ammunition::Detonate() {
  const Vector3 centre = GetPositionWS();
  Weapon* owner = GetOwner();
  if (GetBody() == nullptr && owner != nullptr) {
    SendHit(owner->GetHolder(), owner, centre, GetAxisZWS(), kInHandDamage, 0, 0);
  }
  Blast(centre);
  FireEvent(kEventDetonate, nullptr);
  DisableUpdate();
}

// Every body whose geometry reaches into the sphere, once each; one whose
// centre lies beyond the radius gets half.
void Ammunition::Blast(const Vector3& centre) {
  Space* space = GetSpace();
  if (space == nullptr) return;
  std::vector<Object*> found;
  space->QuerySphere(centre, damageRadius_, collisionCategory_, found);
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  std::vector<ObjectRef<>> targets(found.begin(), found.end());
  Weapon* owner = GetOwner();
  const float rate = GetFrameRate();
  bool hitAny = false;
  for (const ObjectRef<>& ref : targets) {
    Object* target = ref.Get();
    if (target == nullptr || target == this) continue;
    hitAny = true;
    if (target->GetBody() == nullptr) continue;
    Vector3 d = target->GetPositionWS() - centre;
    const float k = Vector3Length(d) > damageRadius_ ? 0.5f : 1.0f;
    d = Normalized(d);
    d.y += kBlastLift;
    SendHit(target, owner, centre, d, k * damage_, group_, 0);
    if (ref.Get() != nullptr && TakesBlastPush(target->GetClassId())) {
      Push(*target, d * (k * detonationForce_ * rate * target->GetMass()));
    }
  }
  if (hitAny) FireEvent(kEventHit, nullptr);
}

void Ammunition::StickStep(float dt) {
  if (Object* character = stuckAI_.Get()) StickIntoCharacter(*character, dt);
  if (Object* object = stuckObject_.Get()) {
    stuckObjectTimer_ += dt;
    if (IsStuck()) {
      TieToParent();
      DisableUpdate();
    } else if (stuckObjectTimer_ > kStickDelay) {
      StickIntoObject(*object);
      DisableUpdate();
    }
  }
  stuckObject_.Reset();
  if (!IsStuck()) stuckAI_.Reset();
}

void Ammunition::StickIntoCharacter(Object& character, float dt) {
  stickTimer_ += dt;
  if (IsStuck()) return;
  auto* skin = static_cast<SkinMesh*>(character.FindChildByClass(kClassSkinMesh));
  if (skin == nullptr) return;
  const ObjectRef<> keep(&character);
  Bone* wound = skin->GetBoneObject(kWoundBone);
  if (wound != nullptr && wound->GetDistanceTo(*this) < kWoundReach) {
    SendHit(&character, this, GetPositionWS(), GetAxisZWS(), damage_, group_, kStickKind);
  }
  if (keep.Get() == nullptr) return;
  float health = 0;
  character.ExecuteCommand(10753, &health);
  ObjectHooks* hooks = GetObjectHooks();
  if (health <= 0 && hooks != nullptr) {
    SetBit(kStuck, true);
    if (!MoveKeepingPlacement(*this, *skin)) return;
    if (ObjectPhysics* physics = GetPhysics()) {
      physics->flags = (physics->flags & ~kPhysicsEnableRigidBody) | kPhysicsEnableLocalSpace;
    }
    hooks->CreateObjectPhysics(*this);
    const Vector3 push = (GetAxisZWS() + Vector3{0, 0.5f, 0}) * kCharacterBlastForce;
    skin->ApplyExplosionForce(skin->GetPositionWS() + Vector3{0, 0.2f, 0}, kCharacterBlastRadius, push);
    FireEvent(kEventHit, &character);
    return;
  }
  Bone* nearest = skin->FindNearestBone(GetPositionWS(), false, false);
  Object& parent = nearest != nullptr ? static_cast<Object&>(*nearest) : static_cast<Object&>(*skin);
  if (!MoveKeepingPlacement(*this, parent)) return;
  FireEvent(kEventHit, &character);
  Kill();
  DisableUpdate();
}

void Ammunition::StickIntoObject(Object& object) {
  const Vector3 velocity = GetLinearVelocity();
  if (!MoveKeepingPlacement(*this, object)) return;
  if (object.GetBody() != nullptr) {
    const Vector3 push = Normalized(velocity) + Vector3{0, 0.3f, 0};
    Push(object, push * (object.GetMass() * GetFrameRate() * 10.0f));
  }
  FireEvent(kEventHit, &object);
  Kill();
}

// A projectile stuck in a dead character swings on a loose joint at the
// parent's body.
void Ammunition::TieToParent() {
  Object* parent = GetParent();
  World* world = GetWorld();
  if (joint_ != nullptr || parent == nullptr || parent->GetBody() == nullptr || GetBody() == nullptr ||
      world == nullptr) {
    return;
  }
  dJointID joint = CreateUniversalJoint(world->GetPhysicsWorld());
  if (joint == nullptr) return;
  AttachJoint(joint, ToOde(GetBody()), ToOde(parent->GetBody()));
  SetUniversalAnchor(joint, parent->GetPositionWS());
  SetUniversalAxis1(joint, GetAxisXWS());
  SetUniversalAxis2(joint, GetAxisYWS());
  SetUniversalCFM(joint, 0.5f);
  SetUniversalCFM2(joint, 0.5f);
  SetUniversalLoStop(joint, -0.2f);
  SetUniversalLoStop2(joint, -0.2f);
  SetUniversalHiStop(joint, 0.2f);
  SetUniversalHiStop2(joint, 0.2f);
  SetUniversalStopERP(joint, 0.001f);
  SetUniversalStopERP2(joint, 0.001f);
  joint_ = ToPhysicsJoint(joint);
}

void Ammunition::DestroyJoint() {
  if (joint_ == nullptr) return;
  ::tge::DestroyJoint(ToOde(joint_));
  joint_ = nullptr;
}

void Ammunition::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  stuckAI_.Reset();
  stuckObject_.Reset();
}

void Ammunition::Precalculate() {
  flags_ &= ~kClearedAtLink;
  Object::Precalculate();
}

bool Ammunition::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version >= 1) {
    stream.Serialize(flags_);
    stream.Serialize(type_);
    stream.Serialize(rangeMul_);
    stream.Serialize(precisionMul_);
    stream.Serialize(recoilMul_);
    stream.Serialize(fireTimeMul_);
    stream.Serialize(bulletLoadTimeMul_);
  }
  if (version >= 5) {
    stream.Serialize(clipLoadTimeMul_);
    stream.Serialize(bulletsInClip_);
    stream.Serialize(maxBulletsInClip_);
    stream.Serialize(group_);
  }
  if (version >= 2) {
    stream.Serialize(hitEffectGroup_);
    stream.Serialize(collisionCategory_);
  }
  if (version >= 22) stream.Serialize(damage_);
  if (version >= 32) {
    stream.Serialize(damageRadius_);
    stream.Serialize(detonationTime_);
    stream.Serialize(detonationForce_);
  }
  return !stream.Failed();
}

void RegisterAmmunitionCommands() {
  RegisterCommandTable<Ammunition>(BuildCommandRegistry(), kClassAmmunition, Ammunition::Commands());
  GetObjectFactory().RegisterType<Ammunition>(kClassAmmunition);
}

}  // namespace tge

// Weapon's command table, linking, firing cycle and file record; the shots
// themselves are in WeaponFiring.cpp.
#include "objects/gameplay/weapons/Weapon.h"

#include <algorithm>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandAccessors.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/files/SerializeStream.h"
#include "objects/gameplay/props/Trigger.h"
#include "objects/gameplay/weapons/Ammunition.h"
#include "objects/gameplay/weapons/AmmunitionPool.h"
#include "objects/gameplay/weapons/CombatSupport.h"
#include "objects/scene/animation/Animation.h"
#include "objects/ui/sound/Sound.h"
#include "services/EngineServices.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr auto E = CommandKind::kEvent;
constexpr std::uint32_t kSortShift = 8;
constexpr std::uint32_t kSortMask = 0xFFu << kSortShift;

// Per state: the event raised on entering it (the stop event is the next
// id; 0 for none) and the name of its sound and animation cue.
struct StateCue {
  int startEvent;
  const char* cue;
};
constexpr StateCue kStateCues[] = {
    {0, nullptr},                  // Empty
    {0, nullptr},                  // Neutral
    {5818, "ClipUnload"},          // ClipUnload
    {5820, "ClipLoad"},            // ClipLoad
    {5816, "BulletLoad"},          // BulletLoad
    {5808, "Fire"},                // Fire
    {5810, "PreFireStart"},        // PreFireStart
    {5812, "PreFire"},             // PreFire
    {5814, "PreFireEnd"},          // PreFireEnd
    {5822, "DryFire"},             // DryFire
};

Resource* Acquire(ResourceRef& ref, const std::string& name) {
  EngineServices* services = GetEngineServices();
  if (!ref && services != nullptr && !name.empty()) ref = services->GetResources().AcquireResource(name, kMaterialResource);
  return ref.Get();
}

}  // namespace

// Registration order is not id order; the ids bind.
// clang-format off
using W = Weapon;
constexpr CommandEntry<Weapon> Weapon::kCommands[] = {
    {5750, "WeaponType", P, 0, {kValueDword}, FieldSetter<&W::type_>, FieldGetter<&W::type_>},
    {5752, "WeaponRange", P, 0, {kValueFloat}, FieldSetter<&W::range_>, FieldGetter<&W::range_>},
    {5754, "WeaponPrecision", P, 0, {kValueFloat}, FieldSetter<&W::precision_>, FieldGetter<&W::precision_>},
    {5756, "WeaponRecoil", P, 0, {kValueFloat}, FieldSetter<&W::recoil_>, FieldGetter<&W::recoil_>},
    {5764, "WeaponFireTime", P, 0, {kValueFloat}, FieldSetter<&W::fireTime_>, FieldGetter<&W::fireTime_>},
    {5758, "WeaponPreFireStartTime", P, 0, {kValueFloat}, FieldSetter<&W::preFireStartTime_>, FieldGetter<&W::preFireStartTime_>},
    {5760, "WeaponPreFireTimeOut", P, 0, {kValueFloat}, FieldSetter<&W::preFireTimeOut_>, FieldGetter<&W::preFireTimeOut_>},
    {5762, "WeaponPreFireEndTime", P, 0, {kValueFloat}, FieldSetter<&W::preFireEndTime_>, FieldGetter<&W::preFireEndTime_>},
    {5766, "WeaponBulletLoadTime", P, 0, {kValueFloat}, FieldSetter<&W::bulletLoadTime_>, FieldGetter<&W::bulletLoadTime_>},
    {5768, "WeaponClipUnloadTime", P, 0, {kValueFloat}, FieldSetter<&W::clipUnloadTime_>, FieldGetter<&W::clipUnloadTime_>},
    {5770, "WeaponClipLoadTime", P, 0, {kValueFloat}, FieldSetter<&W::clipLoadTime_>, FieldGetter<&W::clipLoadTime_>},
    {5774, "WeaponBulletLoadAfterFire", P, 0, {kValueBool}, FlagSetter<&W::flags_, kBulletLoadAfterFire>, FlagGetter<&W::flags_, kBulletLoadAfterFire>},
    {5776, "WeaponBulletLoadAfterClipLoad", P, 0, {kValueBool}, FlagSetter<&W::flags_, kBulletLoadAfterClipLoad>, FlagGetter<&W::flags_, kBulletLoadAfterClipLoad>},
    {5778, "WeaponAutoClipLoad", P, 0, {kValueBool}, FlagSetter<&W::flags_, kAutoClipLoad>, FlagGetter<&W::flags_, kAutoClipLoad>},
    {5780, "WeaponEnablePreFire", P, 0, {kValueBool}, FlagSetter<&W::flags_, kEnablePreFire>, FlagGetter<&W::flags_, kEnablePreFire>},
    {5782, "WeaponFireOnRelease", P, 0, {kValueBool}, FlagSetter<&W::flags_, kFireOnRelease>, FlagGetter<&W::flags_, kFireOnRelease>},
    {5772, "WeaponAutomaticFire", P, 0, {kValueBool}, FlagSetter<&W::flags_, kAutomaticFire>, FlagGetter<&W::flags_, kAutomaticFire>},
    {5784, "WeaponCrossHairMaterial", P, 0, {kValueString}, Member<&W::SetCrossHairCommand>, FieldGetter<&W::crossHairName_>},
    {5786, "WeaponIconMaterial", P, 0, {kValueString}, Member<&W::SetIconCommand>, FieldGetter<&W::iconName_>},
    {5788, "WeaponInventorySort", P, 0, {kValueDword}, Member<&W::SetInventorySortCommand>, Member<&W::GetInventorySortCommand>},
    {5790, "WeaponInventoryActive", P, 0, {kValueBool}, FlagSetter<&W::flags_, kInventoryActive>, FlagGetter<&W::flags_, kInventoryActive>},
    {5792, "WeaponDamageMul", P, 0, {kValueFloat}, FieldSetter<&W::damageMul_>, FieldGetter<&W::damageMul_>},
    {5794, "WeaponAimEnable", P, 0, {kValueBool}, FlagSetter<&W::flags_, kAimEnable>, FlagGetter<&W::flags_, kAimEnable>},
    {5796, "WeaponFireExhaustion", P, 0, {kValueFloat}, FieldSetter<&W::fireExhaustion_>, FieldGetter<&W::fireExhaustion_>},
    {5798, "WeaponDoNotUseAmmunitionOnFire", P, 0, {kValueBool}, FlagSetter<&W::flags_, kDoNotUseAmmunitionOnFire>, FlagGetter<&W::flags_, kDoNotUseAmmunitionOnFire>},
    {5800, "SetWeaponStateLoaded", C, 0, {}, Member<&W::SetStateCommand<kNeutral>>},
    {5801, "SetWeaponStateEmpty", C, 0, {}, Member<&W::SetStateCommand<kEmpty>>},
    {5802, "GetNormalizedStateTime", C, kCommandGetter, {kValueFloat}, Member<&W::GetNormalizedStateTimeCommand>},
    {5803, "GetNormalizedInvStateTime", C, kCommandGetter, {kValueFloat}, Member<&W::GetNormalizedInvStateTimeCommand>},
    {5804, "ExternWeaponTriggerHit", C, 0, {}, Member<&W::TriggerHitCommand>},
    {5805, "WeaponLoadBullet", C, 0, {}, Member<&W::LoadBulletCommand>},
    {5806, "WeaponLoadClip", C, 0, {}, Member<&W::LoadClipCommand>},
    {5808, "OnWeaponStartFire", E, 0, {}},
    {5809, "OnWeaponStopFire", E, 0, {}},
    {5810, "OnWeaponStartPreFireStart", E, 0, {}},
    {5811, "OnWeaponStopPreFireStart", E, 0, {}},
    {5812, "OnWeaponStartPreFire", E, 0, {}},
    {5813, "OnWeaponStopPreFire", E, 0, {}},
    {5814, "OnWeaponStartPreFireEnd", E, 0, {}},
    {5815, "OnWeaponStopPreFireEnd", E, 0, {}},
    {5816, "OnWeaponStartBulletLoad", E, 0, {}},
    {5817, "OnWeaponStopBulletLoad", E, 0, {}},
    {5818, "OnWeaponStartClipUnload", E, 0, {}},
    {5819, "OnWeaponStopClipUnload", E, 0, {}},
    {5820, "OnWeaponStartClipLoad", E, 0, {}},
    {5821, "OnWeaponStopClipLoad", E, 0, {}},
    {5822, "OnWeaponStartDryFire", E, 0, {}},
    {5823, "OnWeaponStopDryFire", E, 0, {}},
};

std::span<const CommandEntry<Weapon>> Weapon::Commands() { return kCommands; }
// clang-format on

Weapon::Weapon() : Object(kClassWeapon) {}

int Weapon::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Weapon> handlers(kClassWeapon, {kCommands});
  handlers.Run(*this, id, args);
  switch (id) {
    case kCommandCollectResources:
      if (args != nullptr) {
        auto* set = static_cast<ResourceSet*>(args);
        set->AddToResourceSet(GetCrossHairMaterial());
        set->AddToResourceSet(GetIconMaterial());
      }
      break;
    case kCommandActionStartStep: Fire(nullptr, nullptr, false); break;
    case kCommandActionKill:
      if (Object* holder = holder_.Get()) holder->ExecuteCommand(kCommandChildDeleted, this);
      break;
    default: break;
  }
  return Object::ExecuteCommand(id, args);
}

int Weapon::SetInventorySortCommand(CommandArgs args) {
  flags_ = (flags_ & ~kSortMask) | ((args.Get<std::uint32_t>() & 0xFFu) << kSortShift);
  return 1;
}

int Weapon::GetInventorySortCommand(CommandArgs args) {
  args.Set(GetInventorySort());
  return 1;
}

int Weapon::SetCrossHairCommand(CommandArgs args) {
  crossHairName_ = args.AsString();
  crossHair_.Reset();
  return 1;
}

int Weapon::SetIconCommand(CommandArgs args) {
  iconName_ = args.AsString();
  icon_.Reset();
  return 1;
}

template <Weapon::State To>
int Weapon::SetStateCommand(CommandArgs) {
  SetState(To);
  return 1;
}

int Weapon::GetNormalizedStateTimeCommand(CommandArgs args) {
  args.Set(stateDuration_ > 0 ? stateTime_ / stateDuration_ : 0.0f);
  return 1;
}

int Weapon::GetNormalizedInvStateTimeCommand(CommandArgs args) {
  args.Set(stateDuration_ > 0 ? 1.0f - stateTime_ / stateDuration_ : 0.0f);
  return 1;
}

// The melee zone hits what stands in it now.
int Weapon::TriggerHitCommand(CommandArgs) {
  Object* zone = trigger_.Get();
  if (zone == nullptr || zone->GetClassId() != kClassTrigger) return 1;
  Object* target = static_cast<Trigger*>(zone)->GetObjectInside();
  float damage = 0;
  std::uint32_t group = 0;
  HitValues(damage, group);
  SendHit(target, this, GetPositionWS(), GetAxisZWS(), damage, group, 0);
  return 1;
}

int Weapon::LoadBulletCommand(CommandArgs) {
  if (state_ == kEmpty) SetState(kBulletLoad);
  return 1;
}

int Weapon::LoadClipCommand(CommandArgs) {
  LoadClip();
  return 1;
}

int Weapon::LoadClip() { return state_ == kEmpty || state_ == kNeutral ? SetState(kClipUnload) : 0; }

void Weapon::SetAmmunitionPool(AmmunitionPool* pool) { pool_.Set(pool); }

AmmunitionPool* Weapon::GetAmmunitionPool() const {
  Object* pool = pool_.Get();
  return pool != nullptr && pool->GetClassId() == kClassAmmunitionPool ? static_cast<AmmunitionPool*>(pool) : nullptr;
}

Ammunition* Weapon::GetAmmunition() const {
  Object* ammunition = ammunition_.Get();
  return ammunition != nullptr && ammunition->GetClassId() == kClassAmmunition ? static_cast<Ammunition*>(ammunition)
                                                                               : nullptr;
}

Resource* Weapon::GetCrossHairMaterial() { return Acquire(crossHair_, crossHairName_); }

Resource* Weapon::GetIconMaterial() { return Acquire(icon_, iconName_); }

void Weapon::HitValues(float& damage, std::uint32_t& group) const {
  const Ammunition* ammunition = GetAmmunition();
  damage = ammunition != nullptr ? ammunition->GetDamage() : 1.0f;
  group = ammunition != nullptr ? ammunition->GetGroup() : 1;
}

int Weapon::ClipCount() const {
  const Ammunition* ammunition = GetAmmunition();
  return ammunition != nullptr ? ammunition->GetBulletsInClip() : 0;
}

// ---- The firing cycle.

int Weapon::SetState(State state) {
  if (state == state_ || GetAmmunition() == nullptr) return 0;
  const DeletionHold hold;
  LeaveState();
  previousStateTime_ = stateTime_;
  state_ = state;
  stateTime_ = 0;
  EnterState();
  return 1;
}

void Weapon::LeaveState() {
  switch (state_) {
    case kFire:
      StopChild(trigger_);
      StopChild(fireEffect_);
      break;
    case kPreFireStart: StopChild(preFireStartEffect_); break;
    case kPreFire: StopChild(preFireEffect_); break;
    case kDryFire: StopChild(dryFireEffect_); break;
    default: break;
  }
  if (const int start = kStateCues[state_].startEvent; start != 0) FireEvent(start + 1, nullptr);
}

void Weapon::EnterState() {
  const StateCue& cue = kStateCues[state_];
  switch (state_) {
    case kEmpty: return;
    case kNeutral: MakeThrownClone(); return;
    case kClipUnload: stateDuration_ = clipUnloadTime_; break;
    case kClipLoad:
      stateDuration_ = clipLoadTime_;
      FillClip();
      break;
    case kBulletLoad:
      stateDuration_ = bulletLoadTime_;
      if (ClipCount() <= 0) {
        SetState((flags_ & kAutoClipLoad) != 0 ? kClipUnload : kEmpty);
        return;
      }
      break;
    case kFire:
      stateDuration_ = fireTime_;
      if ((flags_ & kDoNotUseAmmunitionOnFire) == 0) GetAmmunition()->SetBulletsInClip(std::max(ClipCount() - 1, 0));
      StartChild(trigger_);
      StartChild(fireEffect_);
      break;
    case kPreFireStart:
      stateDuration_ = preFireStartTime_;
      StartChild(preFireStartEffect_);
      break;
    case kPreFire:
      preFireHeld_ = 0;
      stateDuration_ = preFireTimeOut_;
      StartChild(preFireEffect_);
      break;
    case kPreFireEnd: stateDuration_ = preFireEndTime_; break;
    case kDryFire:
      stateDuration_ = 0;
      StartChild(dryFireEffect_);
      break;
  }
  Cue(cue.cue);
  FireEvent(cue.startEvent, nullptr);
}

// Loads what the pool can give towards a full clip; a clip already over
// its maximum takes nothing.
void Weapon::FillClip() {
  Ammunition* ammunition = GetAmmunition();
  AmmunitionPool* pool = GetAmmunitionPool();
  const std::int64_t missing = std::int64_t{ammunition->GetMaxBulletsInClip()} - ammunition->GetBulletsInClip();
  const std::uint32_t group = ammunition->GetGroup();
  if (pool == nullptr || missing <= 0 || group == 0 || group > AmmunitionPool::kCounters) return;
  const std::int32_t taken = pool->Take(static_cast<int>(group) - 1, static_cast<std::int32_t>(missing));
  ammunition->SetBulletsInClip(ammunition->GetBulletsInClip() + taken);
}

void Weapon::Cue(const std::string& name) {
  if (Object* speaker = speaker_.Get(); speaker != nullptr && speaker->GetClassId() == kClassSound) {
    static_cast<Sound*>(speaker)->PlaySoundEntry(name);
  }
  if (Object* animation = animation_.Get(); animation != nullptr && animation->GetClassId() == kClassAnimation) {
    static_cast<Animation*>(animation)->AnimationPlay(name);
  }
}

void Weapon::StartChild(const ObjectRef<>& child) {
  if (Object* object = child.Get()) object->Start();
}

void Weapon::StopChild(const ObjectRef<>& child) {
  if (Object* object = child.Get()) object->Stop();
}

// The thrown weapon's round in the hand: a run-time clone beside the
// Ammunition child, never saved.
void Weapon::MakeThrownClone() {
  Ammunition* ammunition = GetAmmunition();
  ObjectHooks* hooks = GetObjectHooks();
  if (type_ != kThrown || ammunition == nullptr || thrown_ || hooks == nullptr) return;
  Object* parent = ammunition->GetParent();
  if (parent == nullptr) return;
  Object* clone = hooks->CloneObject(*ammunition, *parent, true, true, false);
  if (clone == nullptr) return;
  clone->SetRunTimeOnly(true);
  static_cast<Ammunition*>(clone)->SetOwner(this);
  thrown_.Set(clone);
  if (Object* animation = animation_.Get(); animation != nullptr && animation->GetClassId() == kClassAnimation) {
    static_cast<Animation*>(animation)->AnimationPlay("Neutral");
  }
}

void Weapon::ArmThrown() {
  Object* thrown = thrown_.Get();
  if (type_ == kThrown && thrown != nullptr) static_cast<Ammunition*>(thrown)->Fire();
}

void Weapon::Update() {
  if (!GetActive()) return;
  const DeletionHold hold;
  stateTime_ += GetFrameTime();
  AdvanceState();
  triggerHeldLastFrame_ = triggerHeld_;
  triggerHeld_ = 0;
}

void Weapon::AdvanceState() {
  switch (state_) {
    case kClipUnload:
      if (stateTime_ > clipUnloadTime_) SetState(kClipLoad);
      break;
    case kClipLoad:
      if (stateTime_ > clipLoadTime_) SetState(ClipCount() > 0 ? kNeutral : kEmpty);
      break;
    case kBulletLoad:
      if (stateTime_ > bulletLoadTime_) SetState(kNeutral);
      break;
    case kFire:
      if (stateTime_ > fireTime_) SetState((flags_ & kBulletLoadAfterFire) != 0 ? kBulletLoad : kEmpty);
      break;
    case kPreFireStart:
      if (stateTime_ > preFireStartTime_) SetState(kPreFire);
      break;
    case kPreFire: UpdatePreFire(); break;
    case kPreFireEnd:
      if (stateTime_ > preFireEndTime_) SetState(kNeutral);
      break;
    case kDryFire:
      if (stateTime_ > kDryFireTime) SetState(ClipCount() > 0 ? kNeutral : kEmpty);
      break;
    default: break;
  }
}

// Releasing the trigger ends the pre-fire, with a shot when the weapon
// fires on release; so does holding past the time-out.
void Weapon::UpdatePreFire() {
  preFireHeld_ = stateTime_;
  const bool timedOut = preFireTimeOut_ != 0 && stateTime_ > preFireTimeOut_;
  if (triggerHeld_ != 0 && !timedOut) return;
  if ((flags_ & kFireOnRelease) != 0 && triggerHeld_ == 0) {
    Fire(hasPendingPosition_ ? &pendingPosition_ : nullptr, hasPendingDirection_ ? &pendingDirection_ : nullptr,
         true);
  } else {
    SetState(kPreFireEnd);
  }
}

int Weapon::Fire(const Vector3* position, const Vector3* direction, bool internal) {
  if (GetAmmunition() == nullptr) return 0;
  triggerHeld_ = 1;
  if ((flags_ & kAutomaticFire) == 0 && triggerHeldLastFrame_ != 0 && !internal) return 0;
  if (!internal && state_ != kNeutral) {
    if (state_ == kEmpty) SetState(kDryFire);
    return 0;
  }
  if ((flags_ & kEnablePreFire) != 0 && state_ == kNeutral) {
    hasPendingPosition_ = position != nullptr;
    hasPendingDirection_ = direction != nullptr;
    pendingPosition_ = position != nullptr ? *position : Vector3{};
    pendingDirection_ = direction != nullptr ? *direction : Vector3{};
    SetState(kPreFireStart);
    return 1;
  }
  const DeletionHold hold;
  SetState(kFire);
  Shoot(position != nullptr ? *position : GetPositionWS(), direction != nullptr ? *direction : GetAxisZWS());
  StartChild(flashPos_);
  StartChild(fireEffect_);
  return 1;
}

// ---- Linking, copying and the file record.

void Weapon::FindChildren() {
  const auto find = [this](ObjectRef<>& ref, const char* name) { ref.Set(FindChildByName(name)); };
  find(fireEffect_, "Fire");
  find(dryFireEffect_, "DryFire");
  find(preFireStartEffect_, "PreFireStart");
  find(preFireEffect_, "PreFire");
  find(flashPos_, "FlashPos");
  ammunition_.Set(FindChildByName("Ammunition", kClassAmmunition));
  speaker_.Set(FindChildByName("Speaker", kClassSound));
  animation_.Set(FindChildByName("Animation", kClassAnimation));
  trigger_.Set(FindChildByName("WeaponTrigger", kClassTrigger));
}

void Weapon::Precalculate() {
  FindChildren();
  if (Object* animation = animation_.Get()) static_cast<Animation*>(animation)->AnimationPlay("Neutral");
  Ammunition* ammunition = GetAmmunition();
  if (ammunition != nullptr) ammunition->SetOwner(this);
  if (type_ == kThrown && ammunition != nullptr && ammunition->GetBulletsInClip() > 0) MakeThrownClone();
  EnableUpdate();
  Object::Precalculate();
}

// A copy finds its own children when it is linked and is held by no one.
void Weapon::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  for (ObjectRef<>* ref : {&holder_, &pool_, &thrown_, &fireEffect_, &dryFireEffect_,
                           &preFireStartEffect_, &preFireEffect_, &flashPos_, &ammunition_,
                           &speaker_, &animation_, &trigger_}) {
    ref->Reset();
  }
  crossHair_.Reset();
  icon_.Reset();
}

bool Weapon::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version >= 1) {
    stream.Serialize(flags_);
    stream.Serialize(type_);
    stream.Serialize(range_);
    stream.Serialize(precision_);
    stream.Serialize(recoil_);
  }
  if (version >= 5) stream.Serialize(fireTime_);
  if (version >= 1) {
    stream.Serialize(bulletLoadTime_);
    stream.Serialize(clipLoadTime_);
  }
  if (version >= 6) stream.Serialize(clipUnloadTime_);
  if (version >= 9) {
    stream.Serialize(preFireStartTime_);
    stream.Serialize(preFireTimeOut_);
  }
  if (version >= 28) stream.Serialize(preFireEndTime_);
  if (version >= 12) stream.SerializeString(crossHairName_);
  if (version >= 22) stream.Serialize(damageMul_);
  if (version >= 25) stream.Serialize(fireExhaustion_);
  if (version >= 27) stream.SerializeString(iconName_);
  if (type_ == 0) type_ = kProjectile;
  return !stream.Failed();
}

void RegisterWeaponCommands() {
  RegisterCommandTable<Weapon>(BuildCommandRegistry(), kClassWeapon, Weapon::Commands());
  GetObjectFactory().RegisterType<Weapon>(kClassWeapon);
}

}  // namespace tge

// Weapon (class 23): a gun or throwable held by a player or an AI. A
// ten-state firing cycle (chamber, fire, pre-fire, clip unload and load,
// dry fire) timed by its properties plays named sounds and animations,
// starts and stops effect children, and fires one of three ways: a ray
// (hit-scan), a launched clone of its Ammunition child (projectile) or a
// pre-made clone thrown from the hand (thrown).
//
// The children it works with ("Fire", "DryFire", "PreFireStart", "PreFire",
// "FlashPos", "Ammunition", "Speaker", "Animation", "WeaponTrigger") are
// found by name when it is linked; they and
// the holder, the ammunition pool and the pre-made clone are held weakly,
// so any of them may go at any time. The pre-made clone is a run-time
// object: object files never hold it.
//
// Commands, states and the file record are in Weapon.cpp; the three ways of
// firing in WeaponFiring.cpp.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "core/math/Vector.h"
#include "services/resources/ResourceRef.h"

namespace tge {

class Ammunition;
class AmmunitionPool;
class Resource;

class Weapon : public Object {
 public:
  enum State : std::int32_t {
    kEmpty = 0,
    kNeutral = 1,
    kClipUnload = 2,
    kClipLoad = 3,
    kBulletLoad = 4,
    kFire = 5,
    kPreFireStart = 6,
    kPreFire = 7,
    kPreFireEnd = 8,
    kDryFire = 9,
  };
  enum Type : std::uint32_t { kProjectile = 1, kHitScan = 2, kThrown = 4 };

  // Bits of the flags word; bits 8 to 15 hold the inventory sort byte.
  static constexpr std::uint32_t kBulletLoadAfterFire = 1u << 0;
  static constexpr std::uint32_t kBulletLoadAfterClipLoad = 1u << 1;
  static constexpr std::uint32_t kFireOnRelease = 1u << 2;
  static constexpr std::uint32_t kAutoClipLoad = 1u << 3;
  static constexpr std::uint32_t kDoNotUseAmmunitionOnFire = 1u << 5;
  static constexpr std::uint32_t kEnablePreFire = 1u << 6;
  static constexpr std::uint32_t kAutomaticFire = 1u << 7;
  static constexpr std::uint32_t kInventoryActive = 1u << 16;
  static constexpr std::uint32_t kAimEnable = 1u << 17;

  // How long a dry fire lasts before the weapon settles again.
  static constexpr float kDryFireTime = 0.4f;

  static std::span<const CommandEntry<Weapon>> Commands();
  static const CommandEntry<Weapon> kCommands[];

  Weapon();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override;
  void Precalculate() override;

  // Pulls the trigger: aims from position along direction (the weapon's own
  // world position and Z axis where null). Internal calls come from the
  // weapon's own pre-fire. 1 when a shot or a pre-fire started.
  int Fire(const Vector3* position, const Vector3* direction, bool internal);
  // The state change; 0 when refused (the same state, or no Ammunition).
  int SetState(State state);
  // From Empty or Neutral: unload and reload the clip.
  int LoadClip();
  // A thrown weapon's pre-made clone starts its fire operation in the hand
  // (a grenade's fuse starts burning).
  void ArmThrown();

  void SetHolder(Object* holder) { holder_.Set(holder); }
  Object* GetHolder() const { return holder_.Get(); }
  void SetAmmunitionPool(AmmunitionPool* pool);
  AmmunitionPool* GetAmmunitionPool() const;
  void SetPrecisionMul(float mul) { precisionMul_ = mul; }

  State GetState() const { return state_; }
  std::uint32_t GetType() const { return type_; }
  std::uint32_t GetWeaponFlags() const { return flags_; }
  std::uint32_t GetInventorySort() const { return (flags_ >> 8) & 0xFF; }
  bool GetInventoryActive() const { return (flags_ & kInventoryActive) != 0; }
  bool GetAimEnable() const { return (flags_ & kAimEnable) != 0; }
  float GetFireExhaustion() const { return fireExhaustion_; }
  float GetRange() const { return range_; }
  float GetPrecision() const { return precision_; }
  float GetRecoil() const { return recoil_; }
  float GetDamageMul() const { return damageMul_; }
  // Materials named by the properties, acquired on first call; null when
  // none is named or no services run.
  Resource* GetCrossHairMaterial();
  Resource* GetIconMaterial();
  // The Ammunition child found at link time; null when there is none.
  Ammunition* GetAmmunition() const;
  // The pre-made clone of a thrown weapon, while it is in the hand.
  Object* GetThrownAmmunition() const { return thrown_.Get(); }

 private:
  int SetInventorySortCommand(CommandArgs args);
  int GetInventorySortCommand(CommandArgs args);
  int SetCrossHairCommand(CommandArgs args);
  int SetIconCommand(CommandArgs args);
  template <State To>
  int SetStateCommand(CommandArgs args);
  int GetNormalizedStateTimeCommand(CommandArgs args);
  int GetNormalizedInvStateTimeCommand(CommandArgs args);
  int TriggerHitCommand(CommandArgs args);
  int LoadBulletCommand(CommandArgs args);
  int LoadClipCommand(CommandArgs args);

  void FindChildren();
  void LeaveState();
  void EnterState();
  // Plays the named sound entry and animation where the children exist.
  void Cue(const std::string& name);
  void StartChild(const ObjectRef<>& child);
  void StopChild(const ObjectRef<>& child);
  void MakeThrownClone();
  int ClipCount() const;
  void FillClip();
  void UpdatePreFire();
  void AdvanceState();
  // The damage and group that hits carry: the Ammunition's, else 1 and 1.
  void HitValues(float& damage, std::uint32_t& group) const;

  // WeaponFiring.cpp.
  void Shoot(const Vector3& origin, const Vector3& aim);
  void LaunchProjectile();
  void CastRay(const Vector3& origin, const Vector3& aim);
  void Throw();

  std::uint32_t type_ = 0;
  State state_ = kNeutral;
  float stateTime_ = 0;
  float stateDuration_ = 0;
  float previousStateTime_ = 0;
  float range_ = 20.0f;
  float precision_ = 2.0f;
  float recoil_ = 0;
  float preFireStartTime_ = 0;
  float preFireTimeOut_ = 0;
  float preFireEndTime_ = 0;
  float fireTime_ = 0.5f;
  float bulletLoadTime_ = 1.0f;
  float clipUnloadTime_ = 2.0f;
  float clipLoadTime_ = 2.0f;
  float damageMul_ = 1.0f;
  float fireExhaustion_ = 0;
  float precisionMul_ = 1.0f;
  float preFireHeld_ = 0;
  Vector3 pendingPosition_;
  Vector3 pendingDirection_;
  bool hasPendingPosition_ = false;
  bool hasPendingDirection_ = false;
  std::uint32_t flags_ = 0;
  std::string crossHairName_;
  std::string iconName_;
  ResourceRef crossHair_;
  ResourceRef icon_;
  std::int32_t triggerHeld_ = 0;
  std::int32_t triggerHeldLastFrame_ = 0;

  ObjectRef<> holder_;
  ObjectRef<> pool_;
  ObjectRef<> thrown_;
  ObjectRef<> fireEffect_;
  ObjectRef<> dryFireEffect_;
  ObjectRef<> preFireStartEffect_;
  ObjectRef<> preFireEffect_;
  ObjectRef<> flashPos_;
  ObjectRef<> ammunition_;
  ObjectRef<> speaker_;
  ObjectRef<> animation_;
  ObjectRef<> trigger_;
};

void RegisterWeaponCommands();

}  // namespace tge

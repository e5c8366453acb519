// Ammunition (class 24): the child of a Weapon that describes its rounds
// (clip size and count, group, damage, spread, hit-effect and collision
// masks) and, when the weapon launches or throws a clone of it, the flying
// object itself: a grenade that detonates after a time (type 1), a plain
// round (type 2) or a spear-like projectile that sticks into what it hits
// (type 3).
//
// The owner weapon and the objects touched are held weakly; a stuck
// projectile's joint is its own and goes with it. A copy holds no joint
// and has touched nothing.
#pragma once
#include <cstdint>
#include <span>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"

namespace tge {

class Weapon;

class Ammunition : public Object {
 public:
  enum Type : std::uint32_t { kDetonating = 1, kPlain = 2, kSticking = 3 };

  static constexpr std::uint32_t kUnlimited = 1u << 1;
  static constexpr std::uint32_t kShowInfo = 1u << 2;
  static constexpr std::uint32_t kStuck = 1u << 7;
  static constexpr int kEventFire = 6036;
  static constexpr int kEventHit = 6037;
  static constexpr int kEventDetonate = 6038;
  // What a grenade still in the hand does to its holder.
  static constexpr float kInHandDamage = 50000000.0f;

  static std::span<const CommandEntry<Ammunition>> Commands();
  static const CommandEntry<Ammunition> kCommands[];

  Ammunition();
  Ammunition(const Ammunition& source);
  ~Ammunition() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override;
  void Precalculate() override;
  int HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts, int count) override;

  // Launched or thrown: detonating and plain rounds start updating; raises
  // OnAmmunitionFire. Only while active and not yet updating.
  void Fire();
  void SetOwner(Weapon* owner);
  Weapon* GetOwner() const;

  std::uint32_t GetType() const { return type_; }
  std::int32_t GetMaxBulletsInClip() const { return static_cast<std::int32_t>(maxBulletsInClip_); }
  std::int32_t GetBulletsInClip() const { return static_cast<std::int32_t>(bulletsInClip_); }
  // A negative count is an empty clip.
  void SetBulletsInClip(std::int32_t count) { bulletsInClip_ = count < 0 ? 0u : static_cast<std::uint32_t>(count); }
  std::uint32_t GetGroup() const { return group_; }
  std::uint32_t GetHitEffectGroup() const { return hitEffectGroup_; }
  std::uint32_t GetCollisionCategory() const { return collisionCategory_; }
  float GetPrecisionMul() const { return precisionMul_; }
  float GetDamage() const { return damage_; }
  float GetDamageRadius() const { return damageRadius_; }
  void SetUnlimited(bool on) { SetBit(kUnlimited, on); }
  void SetShowInfo(bool on) { SetBit(kShowInfo, on); }
  bool GetShowInfo() const { return (flags_ & kShowInfo) != 0; }
  bool IsStuck() const { return (flags_ & kStuck) != 0; }
  bool HasJoint() const { return joint_ != nullptr; }

 private:
  void SetBit(std::uint32_t bit, bool on) { flags_ = on ? flags_ | bit : flags_ & ~bit; }

  void Detonate();
  void Blast(const Vector3& centre);
  void StickStep(float dt);
  void StickIntoCharacter(Object& character, float dt);
  void StickIntoObject(Object& object);
  // Releases the body and files the ammunition under parent where it is.
  void Reparent(Object& parent);
  void TieToParent();
  void DestroyJoint();

  std::uint32_t type_ = 0;
  float rangeMul_ = 1.0f;
  float precisionMul_ = 1.0f;
  float recoilMul_ = 1.0f;
  float fireTimeMul_ = 1.0f;
  float bulletLoadTimeMul_ = 1.0f;
  float clipLoadTimeMul_ = 1.0f;
  std::uint32_t maxBulletsInClip_ = 0;
  std::uint32_t bulletsInClip_ = 0;
  std::uint32_t group_ = 0;
  float damage_ = 1.0f;
  float damageRadius_ = 4.0f;
  float detonationTime_ = 1.0f;
  float detonationForce_ = 1.0f;
  std::uint32_t hitEffectGroup_ = 0;
  std::uint32_t collisionCategory_ = 0;
  std::uint32_t flags_ = 0;
  ObjectRef<> owner_;
  ObjectRef<> stuckAI_;
  ObjectRef<> stuckObject_;
  float stickTimer_ = 0;
  float stuckObjectTimer_ = 0;
  float detonationTimer_ = 0;
  PhysicsJoint* joint_ = nullptr;
};

void RegisterAmmunitionCommands();

}  // namespace tge

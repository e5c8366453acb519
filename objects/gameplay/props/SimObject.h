// SimObject (class 52): a loose physical prop. Its body falls, slides and
// bounces; it draws one mesh, plays a rolling sound while it moves in
// contact, spawns the engine's global hit effects when it strikes something
// hard, raises events when it comes to rest or wakes, when it touches
// objects of chosen categories and when its health runs out, and takes
// damage from hit messages. An "animated" one is moved by its transform,
// its body following kinematically.
//
// HandleContact, inside the physics step, only records the deepest contact
// and the object touched and writes the contact surfaces; Update, in the
// same frame's tick, turns them into events, hits and sound.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "core/math/Color.h"
#include "core/math/Matrix4.h"
#include "core/math/Vector.h"
#include "platform/gfx/Types.h"
#include "services/resources/ResourceRef.h"

namespace tge {

struct HitMessage;

class SimObject : public Object {
 public:
  static constexpr std::uint32_t kUseHitEffect = 1;
  static constexpr std::uint32_t kEnableBounceEvent = 2;
  static constexpr std::uint32_t kEnableSlideEvent = 4;
  static constexpr std::uint32_t kEnableRestEvent = 8;
  static constexpr std::uint32_t kEnableHitEvent = 0x10;
  static constexpr std::uint32_t kAnimated = 0x40;
  static constexpr int kEventStartRest = 13045;
  static constexpr int kEventStopRest = 13046;
  static constexpr int kEventHit = 13047;
  static constexpr int kEventDie = 13048;

  static std::span<const CommandEntry<SimObject>> Commands();
  static const CommandEntry<SimObject> kCommands[];

  SimObject();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override;
  void Draw() override;
  void Precalculate() override;
  void InvalidateWorldTransform() override;
  int HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts, int count) override;

  float GetHealth() const { return health_; }
  std::uint32_t GetSimFlags() const { return flags_; }
  const gfx::Material* GetMaterialColour() const { return materialColour_ ? &*materialColour_ : nullptr; }
  // A thrown prop pushes the first-person AI it touches; a magnet arms it.
  void ArmPush() { pushArmed_ = true; }

 private:
  int SetMeshCommand(CommandArgs args);
  int SetSoundCommand(CommandArgs args);
  int SetMaterialCommand(CommandArgs args);
  int SetMaterialColourCommand(CommandArgs args);

  void ActionStart();
  void ApplyHit(const HitMessage& hit);
  // Health falls by damage; the hit that takes it to 0 raises the die event.
  void TakeDamage(float damage, Object* sender);
  void ResolveMesh();
  void ResolveSound();
  void UpdateRest(bool awake);
  void LimitMotion(const Vector3& velocity, float mass);
  void HardHit();
  void PushTouchedCharacter(const Vector3& velocity, float dt);
  void UpdateHitEvent(float dt);
  void FollowTransform();

  std::string meshName_;
  ResourceRef mesh_;
  ResourceRef material_;
  std::optional<gfx::Material> materialColour_;
  std::string soundName_;
  ResourceRef sound_;
  float soundMinRange_ = 3.0f;
  float soundMaxRange_ = 10.0f;
  std::uint32_t hitEffectMask_ = 0;
  float hitEffectThreshold_ = 0.1f;
  float hitEffectMinTime_ = 0.1f;
  float timeSinceHitEffect_ = -0.2f;
  float deepestContact_ = 0;
  Vector3 contactPoint_;
  Vector3 contactNormal_;
  bool awake_ = true;
  bool hadContact_ = false;
  std::uint32_t hitEventCategory_ = 0;
  ObjectRef<> hitObject_;
  float hitEventRepeatTime_ = 1.0f;
  float hitEventTimer_ = 0;
  float friction_ = 0.7f;
  float bounce_ = 0.5f;
  float health_ = 100.0f;
  std::uint32_t receiveDamageMask_ = 0xFFFFFFFFu;
  float damage_ = 20.0f;
  Vector3 lastPosition_;
  std::uint32_t flags_ = 0;
  ObjectRef<> touchedCharacter_;
  bool pushArmed_ = false;
  float timeSincePush_ = 0;
};

// The placement of a hard hit's effects: z along the normal, x across it
// from a random vector (drawn again while it lies along the normal), y
// completing the frame, at point. A zero normal gives the plain rotation.
Matrix4 HitEffectPlacement(const Vector3& point, const Vector3& normal, Vector3 (*draw)());
// A random vector of components 0 to 15.
Vector3 DrawHitVector();

void RegisterSimObjectCommands();

}  // namespace tge

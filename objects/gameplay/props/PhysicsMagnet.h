// PhysicsMagnet (class 6): picks up one physics object that touches its
// sensor sphere and holds it: every frame it damps the object's motion,
// cancels its weight and pulls it towards the magnet, harder the closer it
// is; a script throws it away along the magnet's Z axis. A glow sprite is
// drawn at the held object.
//
// HandleContact, inside the physics step, only notes the candidates; an
// object touching is chosen in one frame's Update and pulled from the next
// on while it keeps touching. Candidates and targets are held weakly: when
// a held object is deleted, the magnet chooses again.
#pragma once
#include <array>
#include <cstdint>
#include <span>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "core/math/Vector.h"
#include "services/resources/ResourceRef.h"

namespace tge {

class PhysicsMagnet : public Object {
 public:
  static constexpr std::uint32_t kMagnetEnable = 1;
  static constexpr std::uint32_t kSingleTarget = 2;
  static constexpr int kCandidateCount = 5;

  static std::span<const CommandEntry<PhysicsMagnet>> Commands();
  static const CommandEntry<PhysicsMagnet> kCommands[];

  PhysicsMagnet();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override;
  void Draw() override;
  void Precalculate() override;
  int HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts, int count) override;

  float GetMagnetRadius() const { return magnetRadius_; }
  // The object held in the last frame, or null.
  Object* GetHeldObject() const { return previousTarget_.Get(); }
  float GetGlow() const { return glow_; }
  // Throws what was held in the last frame along the magnet's Z axis.
  void ReleaseObjects(float strength);

 private:
  using Slots = std::array<ObjectRef<>, kCandidateCount>;

  int SetRadiusCommand(CommandArgs args);
  int GetRadiusCommand(CommandArgs args);
  int SetEnableCommand(CommandArgs args);
  int GetEnableCommand(CommandArgs args);
  int ReleaseObjectsCommand(CommandArgs args);

  void ActionStart();
  void ActionStop();
  void ChooseTarget();
  void Pull(Object& target, float dt);
  void ForgetCandidates();

  float magnetRadius_ = 0;
  Slots previousCandidates_;
  Slots candidates_;
  ObjectRef<> magnetTarget_;
  ObjectRef<> previousTarget_;
  Vector3 glowPosition_;
  ResourceRef glowMaterial_;
  float glow_ = 0;
  std::uint32_t magnetFlags_ = kMagnetEnable | kSingleTarget;
};

void RegisterPhysicsMagnetCommands();

}  // namespace tge

// LookAt (class 59): turns up to two nodes of the scene (a head and its
// eyes) towards the object inside its sensor sphere or, when none is, the
// object its target path names: in pitch and yaw, at limited speeds and
// within limits. A script hears "OnLookAtEnter" once the nodes have looked
// closely enough for long enough, and "OnLookAtExit" when they stop.
//
// HandleContact, inside the physics step, only notes what touched the
// sensor; Update turns it into the looker; the turning runs in Draw, every
// frame the LookAt is drawn. The looker, the nodes and the target are held
// weakly: when one is deleted the LookAt only draws its children.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "core/math/Vector.h"

namespace tge {

class LookAt : public Object {
 public:
  static constexpr std::uint32_t kEnable = 1;
  static constexpr std::uint32_t kControl1RotateX = 2;
  static constexpr std::uint32_t kControl1RotateY = 4;
  static constexpr std::uint32_t kControl2RotateX = 8;
  static constexpr std::uint32_t kControl2RotateY = 0x10;
  static constexpr int kEventEnter = 14787;
  static constexpr int kEventExit = 14788;

  static std::span<const CommandEntry<LookAt>> Commands();
  static const CommandEntry<LookAt> kCommands[];

  LookAt();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override;
  void Draw() override;
  void Precalculate() override;
  int HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts, int count) override;

  float GetAngleX() const { return angleX_; }
  float GetAngleY() const { return angleY_; }
  Object* GetLooker() const { return looker_.Get(); }
  // Turns the nodes' angles straight to the target, without speed or limit.
  void ForceLookAt();

 private:
  int SetEnableCommand(CommandArgs args);
  int SetRadiusCommand(CommandArgs args);
  int GetRadiusCommand(CommandArgs args);
  template <float LookAt::*Limit, float LookAt::*Window>
  int SetEventLimitCommand(CommandArgs args);
  template <std::string LookAt::*Path, ObjectRef<> LookAt::*Node>
  int SetPathCommand(CommandArgs args);
  int ForceLookAtCommand(CommandArgs args);

  void ActionStart();
  // Raises the exit with sender, forgets the looker and releases the physics.
  void ActionEnd(Object* sender);
  ObjectRef<> Resolve(const std::string& path);
  // Pitch and yaw of a direction taken into this object's frame.
  void AnglesOf(const Vector3& direction, float& pitch, float& yaw);
  // True when a limit clamped an angle.
  bool ClampToLimits();
  void UpdateEvents(Object& looked, float tx, float ty, float dt);
  void RotateNode(Object* node, std::uint32_t rotateX, std::uint32_t rotateY);

  ObjectRef<> looker_;
  ObjectRef<> lookContact_;
  float limitX_ = 1.5707964f;
  float limitY_ = 1.5707964f;
  float speedX_ = 1.5707964f;
  float speedY_ = 1.5707964f;
  float eventLimitX_ = 0.17453f;
  float eventLimitY_ = 0.17453f;
  float eventLimitTime_ = 0.5f;
  float minRange_ = 1.0f;
  float maxRange_ = 8.0f;
  float angleX_ = 0;
  float angleY_ = 0;
  std::string control1Path_;
  std::string control2Path_;
  ObjectRef<> control1_;
  ObjectRef<> control2_;
  std::string targetPath_;
  ObjectRef<> lookTarget_;
  float lookTimer_ = 0;
  std::int32_t lookingState_ = 0;
  std::uint32_t lookFlags_ = kEnable;
};

void RegisterLookAtCommands();

}  // namespace tge

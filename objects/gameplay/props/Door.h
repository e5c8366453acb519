// Door (class 37): a scripted door of one or two leaves (the children
// "Door1" and "Door2") that turn about an axis or slide along it over a set
// time, moved through their transforms rather than by physics. A "DoorSpeaker"
// Sound child plays the door's sounds; a door can close by itself, be
// locked, and raises an event at each step. Standing directly in a
// connection Space, it opens and closes that doorway with itself.
//
// The leaves' closed placement is recorded whenever opening starts, and at
// Precalculate (a door loaded open records it one full opening back), so
// closing always ends exactly where the leaves stood closed.
#pragma once
#include <cstdint>
#include <span>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector.h"

namespace tge {

class Sound;

enum class DoorState : std::int32_t { kClosed = 0, kOpen = 1, kClosing = 2, kOpening = 3 };

// doorFlags.
inline constexpr std::uint32_t kDoorOpenOnCollision = 0x1;
inline constexpr std::uint32_t kDoorAutoClose = 0x2;
inline constexpr std::uint32_t kDoorNoAutoCloseOnCollision = 0x4;
inline constexpr std::uint32_t kDoorOpenAwayFromOpener = 0x8;
inline constexpr std::uint32_t kDoorLocked = 0x10;
inline constexpr std::uint32_t kDoorCollided = 0x80;
inline constexpr std::uint32_t kDoorInConnectionSpace = 0x100;

class Door : public Object {
 public:
  static std::span<const CommandEntry<Door>> Commands();
  static const CommandEntry<Door> kCommands[];

  Door();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override;
  void Precalculate() override;
  int HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts, int count) override;

  // Only a Closed door opens; opener may be null (the camera decides the
  // side then).
  void Open(Object* opener);
  // Only an Open door closes.
  void Close();
  DoorState GetState() const { return state_; }
  int IsInConnectionSpace() const { return (doorFlags_ & kDoorInConnectionSpace) != 0 ? 1 : 0; }
  // Adds a frame, one or two leaves and a speaker as children.
  void SetType(std::int32_t type);

  std::uint32_t GetDoorFlags() const { return doorFlags_; }
  Object* GetLeaf1() const { return door1_.Get(); }
  Object* GetLeaf2() const { return door2_.Get(); }
  Sound* GetSpeaker() const;

 private:
  int SetTypeCommand(CommandArgs args);
  int OpenCommand(CommandArgs args);
  int CloseCommand(CommandArgs args);
  int NothingCommand(CommandArgs args);
  // 185 and 186: a leaf or the speaker deleted or moved away.
  void ForgetChild(const Object* child);

  void FindChildren();
  void JoinConnectionSpace();
  void RecordClosedPlacement();
  // For a door loaded open: the placement one full opening back.
  void RecordPlacementBeforeOpening();
  // The speeds an opening without a side preference takes.
  void TakeOpeningSpeeds();
  float OpeningRate(Object* opener);
  void MoveLeaves(float dt);
  void FinishOpening();
  void FinishClosing();
  void Play(const char* entry);
  void SetDoorwayOpen(bool open);

  std::int32_t type_ = 0;
  DoorState state_ = DoorState::kClosed;
  float openTime_ = 0;
  float closeTime_ = 0;
  float autoCloseTime_ = 0;
  std::int32_t lockGroup_ = 0;
  Vector3 openAxis_{0, 1, 0};
  float openLength_ = 0;
  float openAngle_ = 0;
  ObjectRef<> door1_, door2_;
  ObjectRef<Sound> speaker_;
  Vector3 slideVelocity_{};
  Vector3 closedPosition1_{}, closedPosition2_{};
  float angleRate_ = 0;
  Quaternion closedRotation1_{}, closedRotation2_{};
  float doorTimer_ = 0;
  std::uint32_t doorFlags_ = 0;
};

void RegisterDoorCommands();

}  // namespace tge

// Cursor (class 81): ties the mouse cursor to the 3D scene. Every frame it
// moves itself to the cursor's screen point (so a pointer sprite child
// follows), casts a ray from the view through that point into its Space,
// reports what the ray hits through 32 groups of enter and exit events,
// can move its "RayHitPositionSlave" descendant onto the hit point, and can
// steer the active camera while the cursor rests near a screen edge.
//
// A group whose bit the hit geometry's collision bits share sees the hit
// object; a click (the confirm action released) adds bit 31 to the ray's
// mask for that frame, so group 32 reports clicks. The objects a group
// remembers are weak references: a group whose object is deleted still
// exits once it sees no hit.
#pragma once
#include <array>
#include <cstdint>
#include <span>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "core/math/Vector.h"

namespace tge {

inline constexpr int kCursorGroupCount = 32;

// cursorFlags.
inline constexpr std::uint32_t kCursorEnable = 0x1;
inline constexpr std::uint32_t kCursorCameraNavigation = 0x2;
inline constexpr std::uint32_t kCursorCameraControlPosition = 0x4;

struct CursorGroup {
  ObjectRef<> previousObject;
  bool previousSeen = false;  // the group saw a hit in the previous frame
  ObjectRef<> enteredObject;
  ObjectRef<> overObject;
  std::int32_t hasScript = 0;
};

class Cursor : public Object {
 public:
  static std::span<const CommandEntry<Cursor>> Commands();
  static const CommandEntry<Cursor> kCommands[];

  Cursor();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override;
  void Precalculate() override;

  const CursorGroup& GetGroup(int index) const { return groups_[static_cast<std::size_t>(index)]; }
  const Vector3& GetCameraVelocity() const { return cameraVelocity_; }
  const Vector3& GetRayHitPosition() const { return hitPosition_; }

 private:
  int GetHitPositionCommand(CommandArgs args);
  int GetHitNormalCommand(CommandArgs args);

  // The cursor's point on the 800 x 600 screen, scaled to the screen.
  Vector3 ScreenPoint() const;
  void CameraNavigate();
  // The hit owner and the groups it is seen in; none without a hit.
  struct Pick {
    Object* owner = nullptr;
    std::uint32_t groupBits = 0;
  };
  Pick CastRay(const Vector3& point, std::uint32_t clickBit);
  void UpdateGroups(const Pick& pick);

  std::uint32_t rayCategoryBits_ = 0;
  std::uint32_t rayGroupBits_ = 0;
  float rayLength_ = 20.0f;
  Vector3 hitPosition_{};
  Vector3 hitNormal_{};
  ObjectRef<> hitSlave_;
  std::array<CursorGroup, kCursorGroupCount> groups_{};
  Vector3 cameraVelocity_{};
  Vector3 cameraMaxSpeed_{10, 10, 10};
  Vector3 cameraAccSpeed_{20, 20, 20};
  Vector3 cameraDecSpeed_{40, 40, 40};
  float navigationBorder_ = 20.0f;
  std::uint32_t cursorFlags_ = kCursorEnable | kCursorCameraNavigation;
};

void RegisterCursorCommands();

}  // namespace tge

// Camera (class 5): decides what the frame shows. It holds a projection
// and one of four behaviours chosen by its type: fixed (its own world
// matrix), look-at (towards its target, else its parent), free-fly (steered
// by player 0's input) and follow (keeps a distance behind its target and
// is pushed in front of walls between them). Up to four cameras are active
// at once, one per viewport slot of the ActiveCameraTable; the World's post
// pass applies each active camera's view before drawing its Spaces.
//
// Gameplay types (the third-person player, the horse, vehicles) and the
// cursor steer a camera through the operations under "steering".
//
// The implementation is split: Camera.cpp (commands, activation, view, file
// record) and CameraMotion.cpp (the per-frame behaviours and steering).
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/ActiveCameraTable.h"
#include "core/CommandTable.h"
#include "core/ObjectRef.h"
#include "core/math/Vector.h"

namespace tge {

enum CameraType : std::uint32_t { kCameraFixed = 0, kCameraLookAt = 1, kCameraFreeFly = 2, kCameraFollow = 3 };

// Bit of the camera flags.
inline constexpr std::uint32_t kCameraFollowTargetHeight = 0x2;

class Camera : public ViewCamera {
 public:
  static std::span<const CommandEntry<Camera>> Commands();
  static const CommandEntry<Camera> kCommands[];

  Camera();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override;
  void Precalculate() override;
  // Every contact is refused: a camera's geometries never push anything.
  int HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts, int count) override;
  void ApplyView() override;
  // A fixed or free-fly camera's own axes; a look-at camera's view towards
  // its pivot and a follow camera's towards its look-at point, upright, as
  // the view is built (its own axes when it looks straight up or down, or
  // a look-at camera has no pivot).
  ViewFrame GetViewFrame() override;

  // Hands over the projection and takes this camera's viewport slot.
  void Activate();
  bool IsActive() const;

  // Steering.
  void SetType(std::uint32_t type) { type_ = type; }
  std::uint32_t GetType() const { return type_; }
  void SetFov(float fov);
  float GetFov() const { return fov_; }
  void SetTargetSmooth(float smooth) { targetSmooth_ = smooth; }
  void SetPositionYOffset(float offset) { positionYOffset_ = offset; }
  float GetPositionYOffset() const { return positionYOffset_; }
  void SetPositionDistance(float distance) { positionDistance_ = distance; }
  float GetPositionDistance() const { return positionDistance_; }
  void SetPositionSmooth(float smooth) { positionSmooth_ = smooth; }
  float GetPositionSmooth() const { return positionSmooth_; }
  // The path stays as it was.
  void SetTargetObject(Object* target) { target_.Set(target); }
  Object* GetTargetObject() const { return target_.Get(); }
  void SetFollowTargetHeight(bool on);
  // Turns the camera around its target (else its parent's position when it
  // keeps world-space orientation, else the origin).
  void RotateAroundTarget(const Vector3& angles);
  // A follow camera does not climb or sink past its elevation limits.
  void AddPositionLimited(const Vector3& offset);
  // Towards the smoothed look-at point, else the pivot; the camera's own
  // view axis when it has neither.
  Vector3 GetViewDirection();
  float GetHeadingAroundPivot();

  std::uint32_t GetViewport() const { return viewport_; }
  const Vector3& GetLookAtPoint() const { return lookAt_; }
  float GetYaw() const { return yaw_; }
  float GetPitch() const { return pitch_; }

 private:
  template <auto Field>
  int SetProjectionCommand(CommandArgs args);
  int SetViewportCommand(CommandArgs args);
  int SetCameraActiveCommand(CommandArgs args);
  int SetTargetCommand(CommandArgs args);
  int GetTargetCommand(CommandArgs args);
  int ResetPositionCommand(CommandArgs args);

  // The target's world position, else the parent's; none without either.
  std::optional<Vector3> GetPivot();
  void HandProjection() const;
  // Steps 2 to 4 of Precalculate: the working points from the target or
  // parent, and a follow camera placed behind it.
  void ResetPosition();
  void UpdateFreeFly();
  void UpdateFollow();
  // The nearest wall on the ray from the pivot out past the follow
  // position; none without a Space or a hit.
  std::optional<Vector3> FindObstruction(const Vector3& pivot, const Vector3& follow);

  std::uint32_t type_ = kCameraFixed;
  std::uint32_t viewport_ = 0;
  float fov_ = 1.0f;
  float aspect_ = 1.333f;
  float near_ = 0.1f;
  float far_ = 200.0f;
  float targetSmooth_ = 0;
  float positionYOffset_ = 0;
  float positionDistance_ = 4.0f;
  float positionSmooth_ = 0;
  Vector3 followPosition_;
  Vector3 lookAt_;
  Vector3 previousTarget_;
  float minYAngle_ = -0.9f;
  float maxYAngle_ = 1.2f;
  float pitch_ = 0;
  float yaw_ = 0;
  std::string targetPath_;
  ObjectRef<Object> target_;
  std::uint32_t cameraFlags_ = 0;
};

void RegisterCameraCommands();

}  // namespace tge

// PlayerTP (class 50): the third-person player. An upright capsule body
// walks on the root motion of its skinned mesh's animations, which its
// contact handler turns into the ground's surface motion; an orbiting
// follow camera, a jump, opening the door in reach, and mounting and
// dismounting transports (a Vehicle or a Horse) complete it. While it
// rides, the player hangs under the transport's "PlayerPosition" child
// without physics, and the transport reads player 0's input itself.
//
// Everything it keeps of its tree and of the world (skin mesh, camera,
// door, transport) is held by weak reference; the shadow's list, material
// and texture and the action geometry are its own and a copy makes them
// again when it links.
//
// The implementation is split: PlayerTP.cpp (commands, tree, linking, file
// record), PlayerTPMotion.cpp (input, the frame, contacts and the shadow)
// and PlayerTPTransport.cpp (mounting and dismounting).
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector.h"
#include "objects/gameplay/characters/GroundShadow.h"
#include "objects/gameplay/characters/SkinPlayback.h"
#include "services/resources/ResourceRef.h"

namespace tge {

class Camera;
class Door;
class SkinMesh;
class Sound;

enum class PlayerTPState : std::uint32_t {
  kFree = 0,
  kPlaying = 1,
  kTakeOff = 2,
  kAirborne = 3,
  kLanding = 4,
  kMounting = 5,
  kRiding = 6,
  kDismounting = 7,
  kDismounted = 8,
};

// Bits of the option word.
inline constexpr std::uint32_t kPlayerTPAutoAim = 0x1;
inline constexpr std::uint32_t kPlayerTPInverseLook = 0x2;
inline constexpr std::uint32_t kPlayerTPAutoLookahead = 0x4;
inline constexpr std::uint32_t kPlayerTPAutoModeHold = 0x8;
inline constexpr std::uint32_t kPlayerTPCrouchModeHold = 0x10;
inline constexpr std::uint32_t kPlayerTPVibration = 0x20;
inline constexpr std::uint32_t kPlayerTPPauseMovement = 0x1000000;
inline constexpr std::uint32_t kPlayerTPPauseCamera = 0x2000000;
inline constexpr std::uint32_t kPlayerTPCameraCloseUp = 0x4000000;

class PlayerTP : public Object {
 public:
  static constexpr int kEventEnableExitTransport = 12573;
  static constexpr int kEventDisableExitTransport = 12574;
  static constexpr int kEventRefuseExitTransport = 12575;
  static constexpr int kEventEnterTransport = 12576;
  static constexpr int kEventExitTransport = 12577;

  static std::span<const CommandEntry<PlayerTP>> Commands();
  static const CommandEntry<PlayerTP> kCommands[];

  PlayerTP();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override;
  void Draw() override;
  void Precalculate() override;
  int HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts, int count) override;
  int FireEvent(int eventId, Object* sender) override;

  // Mounting and dismounting (PlayerTPTransport.cpp).
  void EnterTransport(Object* transport);
  void StartDismount();

  PlayerTPState GetState() const { return state_; }
  Object* GetTransport() const { return transport_.Get(); }
  float GetYaw() const { return yaw_; }
  float GetHealth() const { return health_; }
  float GetCloseUpDistance() const { return closeUpDistance_; }
  std::uint32_t GetOptions() const { return options_; }
  int GetActionGeometry() const { return actionGeometry_; }
  bool HasShadow() const { return shadow_.HasTriangles(); }

 private:
  void PrepareShadow();
  // The graphics detail above which the ground shadow is blurred.
  static constexpr float kBlurredShadowDetail = 0.5f;
  enum AnimationName { kIdle, kWalk, kRun, kJump, kJumpWalk, kJumpRun, kRest, kAnimationNameCount };

  template <int Name>
  int SetAnimationNameCommand(CommandArgs args);
  template <int Name>
  int GetAnimationNameCommand(CommandArgs args);
  int AddHealthCommand(CommandArgs args);
  int SetEnableActionCommand(CommandArgs args);
  int SetPauseMovementCommand(CommandArgs args);
  int SetCameraCloseUpCommand(CommandArgs args);
  int PlayAnimationCommand(CommandArgs args);
  int NextAnimationCommand(CommandArgs args);
  int EnterTransportCommand(CommandArgs args);
  int ExitTransportCommand(CommandArgs args);

  // Tree and linking (PlayerTP.cpp).
  void BuildTree();
  void FindChildren();
  void ForgetLinks();
  void OnAnimationStarted(std::int32_t index);
  bool HasRigidBody() const;
  bool MountingOrRiding() const { return state_ == PlayerTPState::kMounting || state_ == PlayerTPState::kRiding; }
  void RestoreCameraTarget();

  // The frame (PlayerTPMotion.cpp).
  void ReadInput();
  void EnterState(PlayerTPState state);
  void StepState(float dt);
  void UseDoorAndExit();
  void ArmActionGeometry();
  void SteerCamera(float dt);
  void Walk(float dt);
  void Place(float dt);
  void TakeRootMotion(float dt);

  // Transport (PlayerTPTransport.cpp).
  void FinishDismount();
  void SetRidingCamera(Object* target);

  PlayerTPState state_ = PlayerTPState::kFree;
  float stateTime_ = 0;
  float stateLength_ = 0;
  std::int32_t releasedAction_ = 0;
  std::int32_t releasedUse_ = 0;
  float strafe_ = 0, forward_ = 0, turn_ = 0, look_ = 0;
  float crouchSpeed_ = 8, walkSpeed_ = 12, runSpeed_ = 18, jumpForce_ = 25;
  float yaw_ = 0;
  float restTimer_ = 0;
  Vector3 rootVelocity_;
  Vector3 forwardAxis_;
  ObjectRef<Door> doorInReach_;
  ObjectRef<> touchedObject_, previousTouchedObject_;
  std::int32_t inMotion_ = 1;
  SkinPlayback skinMesh_;
  ObjectRef<Sound> speaker_;
  ObjectRef<Camera> camera_;
  ObjectRef<> cameraTarget_;
  Vector3 cameraTargetRest_;
  float closeUpDistance_ = 1.8f;
  float cameraDistance_ = 0, cameraSmoothing_ = 0, cameraHeight_ = 0;
  ObjectRef<> items_;
  std::array<std::string, kAnimationNameCount> animations_{"Idle", "Walk", "Run", "Jump", "JumpWalk", "JumpRun",
                                                           "Rest"};
  float health_ = 1, maxHealth_ = 1, endurance_ = 1, maxEndurance_ = 1;
  float vision_ = 1, maxVision_ = 1, hearing_ = 1, maxHearing_ = 1;
  float exhaustion_ = 0, maxExhaustion_ = 1;
  ResourceRef shadowGround_;
  float shadowFade_ = 0;
  GroundShadow shadow_;
  // Index of the first event-only geometry, found at link; -1 for none.
  std::int32_t actionGeometry_ = -1;
  float groundHeight_ = 0;
  std::int32_t onGround_ = 0;
  ObjectRef<> actionTarget_;
  std::int32_t enableAction_ = 1;
  ObjectRef<> transport_;
  std::int32_t exitAllowedByEvents_ = 0;
  std::int32_t exitEnabled_ = 1;
  float positionBlendTime_ = 0;
  Vector3 positionBlendTarget_;
  float rotationBlendTime_ = 0;
  Quaternion rotationBlendTarget_;
  std::uint32_t options_ = 0;
};

void RegisterPlayerTPCommands();

}  // namespace tge

// Horse (class 79): a rideable animal. An upright capsule body that never
// rotates under physics carries it; the root motion of its skinned mesh's
// animations sets its pace, through the surface motion its contact handler
// gives the ground under it. A state machine of gaits and one-shot actions
// (jump, rear, kick, break, mounting) picks the animations. A rider, a
// third-person player hung under the child "PlayerPosition", makes the horse
// read player 0's input; the horse passes each animation it starts on to
// the rider so both move together.
//
// Everything the horse keeps of its tree (skin mesh, speaker, bones, camera)
// and of the rider is held by weak reference; children are found by name and
// used only when they are of the class the horse needs.
//
// The implementation is split: Horse.cpp (commands, tree, linking, file
// record), HorseMotion.cpp (states, rider input, the frame, contacts and the
// shadow) and HorseRecording.cpp (the horse's own movement recording).
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "core/math/Vector.h"
#include "objects/gameplay/characters/GroundShadow.h"
#include "objects/gameplay/characters/SkinPlayback.h"

namespace tge {

class Bone;
class Camera;
class HorseRecording;
class SkinMesh;
class Sound;

enum HorseState : std::int32_t {
  kHorseNoState = -1,
  kHorseIdle = 0,
  kHorseWalk = 1,
  kHorseTrot = 2,
  kHorseCanter = 3,
  kHorseGallop = 4,
  kHorseReverse = 5,
  kHorseJump = 6,
  kHorseMount = 7,
  kHorseDismount = 8,
  kHorseRearing = 9,
  kHorseBreak = 10,
  kHorseAnimation = 11,
  kHorseMountRight = 12,
  kHorseDismountRight = 13,
  kHorseKick = 14,
};

// Bit of the horse flags.
inline constexpr std::uint32_t kHorseJumpEnable = 0x1;

// The horse's gait thresholds and speed limits.
struct HorseGaits {
  float minSpeed = -20;
  float maxSpeed = 100;
  float walk = 10;
  float trot = 30;
  float canter = 60;
  float gallop = 80;
  float reverse = -10;

  HorseState FromSpeed(float speed) const;
};

class Horse : public Object {
 public:
  static constexpr int kEventStartIdle = 19801;
  static constexpr int kEventStopIdle = 19802;
  static constexpr int kEventChangeState = 19803;
  // Sent to the rider with the name of each animation the horse starts.
  static constexpr std::uint32_t kCommandRiderAnimation = 19799;

  static std::span<const CommandEntry<Horse>> Commands();
  static const CommandEntry<Horse> kCommands[];

  Horse();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override;
  void Draw() override;
  void Precalculate() override;
  int HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts, int count) override;
  int FireEvent(int eventId, Object* sender) override;
  std::unique_ptr<ObjectRecording> MakeRecording() const override;

  // Leaves the current state and enters state (see HorseMotion.cpp); the
  // rider's transport code enters the mount states through it.
  void SetState(HorseState state, bool playAtOnce);
  // Stops a gallop short; rears from any other state but Idle and Rearing.
  void Break();

  HorseState GetState() const { return state_; }
  HorseState GetPreviousState() const { return previousState_; }
  float GetSpeed() const { return speed_; }
  float GetTargetSpeed() const { return targetSpeed_; }
  float GetTurn() const { return turn_; }
  float GetHeading() const { return heading_; }
  float GetAnimationSpeed() const { return animationSpeed_; }
  float GetHeadTurn() const { return headTurn_; }
  float GetStateDuration() const { return stateDuration_; }
  float GetCurrentMaxSpeed() const { return currentMaxSpeed_; }
  std::uint32_t GetHorseFlags() const { return horseFlags_; }
  const HorseGaits& GetGaits() const { return gaits_; }
  // The rider: the first child of "PlayerPosition"; null without one.
  Object* GetRider() const;
  Camera* GetCamera() const;

 private:
  template <float HorseGaits::*Field>
  int SetGait(CommandArgs args);
  template <float HorseGaits::*Field>
  int GetGait(CommandArgs args);
  int SetJumpEnableCommand(CommandArgs args);
  int GetJumpEnableCommand(CommandArgs args);
  int SetStateCommand(CommandArgs args);
  int GetStateCommand(CommandArgs args);
  int AddHealthCommand(CommandArgs args);
  int PlayAnimationCommand(CommandArgs args);
  int NextAnimationCommand(CommandArgs args);
  int BreakCommand(CommandArgs args);

  // Tree and linking (Horse.cpp).
  void BuildTree();
  void FindChildren();
  void ForgetLinks();
  void StartBody(void* args);
  void OnAnimationStarted(std::int32_t index);

  // Motion (HorseMotion.cpp).
  void LeaveState();
  void EnterState(HorseState state, bool playAtOnce);
  void EnterJump();
  void Rear();
  void RaiseOnRider(int eventId);
  void ReadRiderInput(float dt);
  void FollowRider(float dt);
  void SteerCamera(float dt);
  void ChangeSpeed(float dt);
  std::optional<HorseState> NextState(float effective, float dt);
  float GaitFactor(float effective) const;
  void ReactToWall();
  void Swerve(float dt);
  void Turn(float effective, float dt);
  void TurnHead(float effective, float dt);
  void TakeRootMotion(float dt);
  void SetJumpRadius(bool airborne);
  void SetBoneTurns(float headTurn);
  void SetAnimationSpeeds(float speed);

  // Recording (HorseRecording.cpp): the horse's values beside each key,
  // and playing them back through the state machine.
  HorseRecording* CurrentRecording(void* args) const;
  void AddRecordingKey(void* args);
  int PlayRecording(void* args);
  int PlayRecordingKey(void* args);
  bool RecordingPlays() const;

  float turn_ = 0;
  float cameraTurnInput_ = 0;
  float cameraHeightInput_ = 0;
  float heading_ = 0;
  float pitch_ = 0;
  float lean_ = 0;
  Vector3 rootMotionVelocity_;
  Vector3 forward_;
  Vector3 groundNormal_{0, 1, 0};
  std::int32_t rootMotionAnimation_ = 1;
  std::int32_t rootMotionAnimationCopy_ = 0;
  HorseState state_ = kHorseIdle;
  float stateDuration_ = 0;
  float stateTime_ = 0;
  HorseState previousState_ = kHorseNoState;
  float targetSpeed_ = 0;
  float speed_ = 0;
  HorseGaits gaits_;
  float speedChangeStep_ = 1.0f;
  float minSpeedChangeTime_ = 0.2f;
  float jumpTime_ = 0;
  float jumpDuration_ = 0;
  // Geometry 0's dimension at link, which a landing restores.
  Vector3 bodyDimension_;
  std::int32_t jumpPhase_ = 0;
  float currentMaxSpeed_ = 100;
  float speedBoost_ = 0;
  float idleTime_ = 0;
  ObjectRef<Bone> spine2_, spine3_, neck1_;
  Vector3 contactNormal_;
  ObjectRef<> contactObject_;
  float turnAwayTime_ = 0;
  float turnAwayDirection_ = 0;
  float headTurn_ = 0;
  float animationSpeed_ = 1.0f;
  SkinPlayback skinMesh_;
  ObjectRef<Sound> speaker_;
  ObjectRef<> items_;
  ObjectRef<Camera> camera_;
  ObjectRef<> cameraTarget_;
  ObjectRef<> playerPosition_;
  ObjectRef<SkinMesh> riderSkinMesh_;
  float cameraIdleTime_ = 0;
  float health_ = 100, maxHealth_ = 100;
  float endurance_ = 100, maxEndurance_ = 100;
  float vision_ = 100, maxVision_ = 100;
  float hearing_ = 100, maxHearing_ = 100;
  float exhaustion_ = 0, maxExhaustion_ = 0;
  float shadowFade_ = 0;
  float groundHeight_ = 0;
  std::int32_t groundSeen_ = 0;
  GroundShadow shadow_;
  std::uint32_t horseFlags_ = kHorseJumpEnable;
};

// The first step of mounting a transport: a horse enters its mount state
// for the side the rider stands on, and the rider (any transport's) plays
// the matching mount animation, then idles in the seat, its root motion on.
void StartMount(Object& transport, SkinMesh* rider, bool right);

void RegisterHorseCommands();

}  // namespace tge

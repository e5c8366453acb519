// PlayerFPS (class 41): the first-person player. An upright capsule body
// steered by player 0's action map, carrying a camera rig ("Look" with
// "LookBase", "Camera" and "PlayerSpeaker") and two hands ("L_Hand",
// "R_Hand") that hold weapons taken from its own "Items" store.
//
// Walking is not a force: the contact handler gives the ground contacts a
// surface motion along the player's forward axis and sideways, so the body
// is kept awake (a sleeping body takes no surface motion). Every child and
// object the player keeps is held weakly: a child deleted or moved away, a
// door in reach that goes, reads as missing. A child found by name counts
// only when it is of the class the player uses it as.
//
// PlayerFPS.cpp holds the command table, set-up, linking, equipping, hits,
// contacts, the crosshair and the file record; PlayerFPSMovement.cpp the
// per-frame input, walking, hands, weapons, use and exhaustion.
#pragma once
#include <array>
#include <cstdint>
#include <span>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRecords.h"
#include "core/ObjectRef.h"
#include "core/math/Vector.h"
#include "objects/gameplay/characters/ProbeSphere.h"
#include "services/resources/ResourceRef.h"

struct dxGeom;
struct dxSpace;

namespace tge {

class Animation;
class AmmunitionPool;
class Camera;
class Door;
class Sound;
class Weapon;
class Window;
struct HitMessage;

// The player's reading of player 0's actions for one frame: pressed flags
// are set in the frame an action crossed its threshold, held flags while
// its value rounds to 1.
struct PlayerFPSInput {
  std::int32_t pressedTriangle = 0, pressedCircle = 0, pressedCross = 0;
  std::int32_t heldCross = 0;
  std::int32_t pressedSquare = 0, pressedPadLeft = 0, pressedPadRight = 0;
  std::int32_t heldL1 = 0, heldR1 = 0, heldL2 = 0, heldR2 = 0;
  std::int32_t pressedL1 = 0, pressedR1 = 0, pressedL2 = 0, pressedR2 = 0, pressedStart = 0, pressedSelect = 0;
  float strafe = 0, forward = 0, turn = 0, look = 0;
};

class PlayerFPS : public Object {
 public:
  // Option bits; the vibration mode and weapon change mode bytes follow in
  // bits 8-15 and 16-23 of the same word.
  static constexpr std::uint32_t kAutoAim = 0x1;
  static constexpr std::uint32_t kInverseLook = 0x2;
  static constexpr std::uint32_t kAutoLookahead = 0x4;
  static constexpr std::uint32_t kAimModeHold = 0x8;
  static constexpr std::uint32_t kCrouchModeHold = 0x10;
  static constexpr std::uint32_t kVibration = 0x20;
  static constexpr std::uint32_t kAimInRunState = 0x40;
  static constexpr int kVibrationModeShift = 8;
  static constexpr int kWeaponChangeModeShift = 16;

  static constexpr int kEventDead = 10323;
  static constexpr int kEventGetHit = 10324;

  enum HandState : std::int32_t { kReady = 0, kLowering = 1, kRaising = 2, kLowered = 3 };
  enum FootstepState : std::int32_t { kNoSteps = 0, kWalking = 1, kRunning = 2 };

  static constexpr int kDamageGroupCount = 32;

  static std::span<const CommandEntry<PlayerFPS>> Commands();
  static const CommandEntry<PlayerFPS> kCommands[];

  PlayerFPS();
  PlayerFPS(const PlayerFPS& source);

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override;
  void Draw() override;
  void Precalculate() override;
  int HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts, int count) override;
  int FireEvent(int eventId, Object* sender) override;

  // The damage message: 1 when it was taken (the player was alive).
  int TakeHit(const HitMessage& hit);
  // Moves the item named under Items into a hand; false when there is no
  // such item or no such hand.
  bool Equip(bool right, const std::string& name);

  // Read by the HUD, the spawn points and the tests.
  float GetHealth() const { return health_; }
  float GetMaxHealth() const { return maxHealth_; }
  float GetExhaustion() const { return exhaustion_; }
  float GetHandExhaustion() const { return handExhaustion_; }
  float GetMaxExhaustion() const { return maxExhaustion_; }
  std::uint32_t GetOptions() const { return options_; }
  bool IsDead() const { return dead_ != 0; }
  HandState GetHandState() const { return handState_; }
  float GetYaw() const { return yaw_; }
  float GetForwardSpeed() const { return forwardSpeed_; }
  float GetStrafeSpeed() const { return strafeSpeed_; }
  bool IsOnGround() const { return onGround_ != 0; }
  bool IsAiming() const { return aiming_ != 0; }
  const PlayerFPSInput& GetInput() const { return input_; }
  Weapon* GetRightItem() const;
  Weapon* GetLeftItem() const;
  Door* GetDoorInReach() const;
  AmmunitionPool* GetAmmunitionPool() const;
  Camera* GetCamera() const;
  Animation* GetLook() const;
  PhysicsGeom* GetUseSphere() const { return useSphere_.Get(); }
  const GeometryRecord& GetUseRecord() const { return useRecord_; }

  // The weapon after put-away going step ways through the active items of
  // Items by their sort values, wrapping around; put-away itself when no
  // other item is active. Without a put-away item the first of the sorted
  // list.
  Weapon* ChooseWeapon(Weapon* putAway, std::int32_t step) const;

 protected:
  // Player 0's action map read into input (look accumulates with keyboard
  // and mouse); tests replace it.
  virtual void ReadInput(PlayerFPSInput& input);

 private:
  int SetHealthCommand(CommandArgs args);
  int AddHealthCommand(CommandArgs args);
  int SetGroupDamageCommand(CommandArgs args);
  int GetGroupDamageCommand(CommandArgs args);
  template <bool Right>
  int EquipCommand(CommandArgs args);
  template <bool Right>
  int SetIconWindowCommand(CommandArgs args);

  // PlayerFPS.cpp.
  // The first child of a hand, when it is a weapon.
  static Weapon* HeldWeapon(const Object* hand);
  static bool MoveUnder(Object& object, Object& parent);
  void InitializeNewObject();
  void StartPhysics(void* args);
  void ForgetChild(const Object* child);
  void LinkChildren();
  void LinkRightHand();
  // The item becomes held: owner and ammunition pool set.
  void Hold(Weapon& item);
  // The crosshair material and its size from the right item.
  void TakeCrosshair(Weapon& item);
  void ShowIcon(const ObjectRef<Window>& window, Weapon* item);
  // Plays the entry on R_Hand and enters the hand state, its phase as long
  // as the entry.
  void PlayHand(const char* entry, HandState state);
  void PlayLook(const char* entry);
  void PlaySpeaker(const char* entry);
  void PlayGetHitSound();
  void VibrateOnHit();
  void QueueCrosshair(float x, float y, float alpha, float sizeFactor);

  // PlayerFPSMovement.cpp.
  void RunMenuActions();
  void Fire();
  void Use();
  void WakeFollowers(dxGeom* probe, dxSpace* space);
  void HandsAndWeapons(float dt);
  void ChangeWeapon();
  void RequestHandState(HandState target);
  void AdvanceHandTimer(float dt);
  void Turn(float dt);
  void MagnetPush();
  void QueueAngleText();
  void FallDamage(float y);
  void Walk();
  void Jump(float speed);
  void Footsteps();
  void Exhaust(float dt);
  void Breathe();
  void Sway(float dt, float& handYaw, float& handPitch);
  void PlaceHands(float bob, float handYaw, float handPitch);
  void PlaceLook(float dt);

  PlayerFPSInput input_;

  float crouchSpeed_ = 1.0f;
  float walkSpeed_ = 2.0f;
  float runSpeed_ = 3.5f;
  float rotationSpeed_ = 1.8f;
  float lookSpeed_ = 1.2f;
  float sprintSpeedFactor_ = 1.6f;
  float jumpForce_ = 35.0f;
  float exhaustionSpeedFactor_ = 1.0f;
  float strafeFactor_ = 1.0f;
  float spareFactor_ = 0.5f;
  float crouchEyeOffset_ = -0.6f;

  float speedMultiplier_ = 0;
  float yaw_ = 0;
  float bobPhase_ = 0;
  float smoothedSpeed_ = 0;
  float hitTimer_ = 0;
  std::int32_t jumping_ = 0;
  std::int32_t crouching_ = 0;
  Vector3 forwardAxis_{};
  float strafeSpeed_ = 0, forwardSpeed_ = 0;
  std::int32_t moving_ = 0;
  FootstepState footstepState_ = kNoSteps;
  float idleTime_ = 0;

  ObjectRef<Animation> leftHand_;
  Vector3 leftHandRest_{};
  ObjectRef<Window> leftIconWindow_;
  ObjectRef<Weapon> leftItem_;
  ObjectRef<Animation> rightHand_;
  Vector3 rightHandRest_{};
  ObjectRef<Window> rightIconWindow_;
  HandState handState_ = kReady;
  float handTimer_ = 0, handPhaseLength_ = 0;
  ObjectRef<Weapon> rightItem_;
  std::int32_t aiming_ = 0;
  float swayX_ = 0, swayY_ = 0;
  float aimBlend_ = 0;
  float weaponChangeDelay_ = 0;
  ResourceRef crosshair_;
  float crosshairScale_ = 1.0f;
  float crosshairWidth_ = 0, crosshairHeight_ = 0;
  float crosshairAlpha_ = 0;
  std::int32_t weaponKind_ = 0;
  std::int32_t weaponStep_ = 0;
  ObjectRef<AmmunitionPool> ammunitionPool_;

  std::int32_t onGround_ = 0, onGroundLastFrame_ = 0;
  ObjectRef<Door> doorInReach_;
  float timeSinceHardLanding_ = 0;
  Vector3 lastVelocity_{};

  ObjectRef<> items_;
  ObjectRef<Camera> camera_;
  Vector3 cameraRest_{};
  float cameraBaseFov_ = 0;
  ObjectRef<Animation> look_;
  Vector3 lookRest_{};
  float lookPitch_ = 0;
  ObjectRef<Sound> speaker_;

  float health_ = 100.0f;
  float maxHealth_ = 100.0f;
  float endurance_ = 100.0f;
  float maxEndurance_ = 100.0f;
  float vision_ = 100.0f, maxVision_ = 100.0f, hearing_ = 100.0f, maxHearing_ = 100.0f;
  float exhaustion_ = 0;
  float handExhaustion_ = 0;
  float maxExhaustion_ = 100.0f;
  float exhaustionLastFrame_ = 0;
  float walkExhaust_ = 0, walkFastExhaust_ = 0;
  float runExhaust_ = 0;
  float handExhaust_ = 0;
  float handAutoRestTime_ = 3600.0f;

  ProbeSphere useSphere_;
  std::uint32_t actionCategoryBits_ = 0;
  GeometryRecord useRecord_;

  std::array<float, kDamageGroupCount> groupDamage_{};
  std::uint32_t currentDamageGroup_ = 0;
  std::int32_t dead_ = 0;
  std::uint32_t options_ = 0;

  ResourceRef debugFont_;
};

// The first-person player that linked itself last; null when it is gone or
// none did.
PlayerFPS* GetCurrentPlayerFPS();

// A maximum of 0 or below counts as reached: the ratio is 1, never a
// division by it.
float RatioOfMaximum(float value, float maximum);

void RegisterPlayerFPSCommands();

}  // namespace tge

// PlayerFPS's frame: reading player 0's actions, turning, the walking
// speeds the ground contacts take, jumping, fall damage, the hands and
// weapons, using things, exhaustion and breathing, head bob and sway.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "core/ClassIds.h"
#include "core/ObjectHooks.h"
#include "core/PhysicsHooks.h"
#include "core/World.h"
#include "core/math/Quaternion.h"
#include "core/math/Shapes.h"
#include "objects/gameplay/characters/AIPlayerFPS.h"
#include "objects/gameplay/characters/PlayerFPS.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "objects/gameplay/physics/PhysicsGeometry.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/props/Door.h"
#include "objects/gameplay/props/PhysicsMagnet.h"
#include "objects/gameplay/weapons/AmmunitionPool.h"
#include "objects/gameplay/weapons/Weapon.h"
#include "objects/gameplay/world/Space.h"
#include "objects/scene/Camera.h"
#include "objects/scene/animation/Animation.h"
#include "objects/ui/sound/Sound.h"
#include "objects/ui/widgets/Window.h"
#include "services/EngineServices.h"
#include "services/render/RenderQueue.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

// Player 0's actions as the default action map numbers them.
enum Action : int {
  kStickLeftX = 0, kStickLeftY = 1, kStickRightX = 2, kStickRightY = 3,
  kPadUp = 4, kPadDown = 5, kPadLeft = 6, kPadRight = 7,
  kStart = 8, kSelect = 9, kL1 = 10, kL2 = 11, kR1 = 12, kR2 = 13,
  kTriangle = 14, kCircle = 15, kCross = 16, kSquare = 17,
};

constexpr std::uint32_t kGamePadDevice = 8;
constexpr float kWeaponChangeDelay = 0.8f;
constexpr float kUseRadius = 0.4f;
constexpr float kUseReach = 0.8f;
constexpr float kAimTurnDeadZone = 0.6f;
constexpr float kLookLimit = 1.2f;
constexpr float kSmoothedSpeedRate = 12.0f;
constexpr float kJumpSteerSpeed = 3.0f;
constexpr float kMagnetPush = 1.5f;
constexpr std::uint32_t kAngleTextFlags = 0x12;

struct PressedAction {
  std::int32_t PlayerFPSInput::*field;
  int action;
};
constexpr PressedAction kPressed[] = {
    {&PlayerFPSInput::pressedTriangle, kTriangle}, {&PlayerFPSInput::pressedCircle, kCircle},
    {&PlayerFPSInput::pressedCross, kCross},       {&PlayerFPSInput::pressedSquare, kSquare},
    {&PlayerFPSInput::pressedPadLeft, kPadLeft},   {&PlayerFPSInput::pressedPadRight, kPadRight},
    {&PlayerFPSInput::pressedL1, kL1},             {&PlayerFPSInput::pressedR1, kR1},
    {&PlayerFPSInput::pressedL2, kL2},             {&PlayerFPSInput::pressedR2, kR2},
    {&PlayerFPSInput::pressedStart, kStart},       {&PlayerFPSInput::pressedSelect, kSelect},
};
constexpr PressedAction kHeld[] = {
    {&PlayerFPSInput::heldCross, kCross}, {&PlayerFPSInput::heldL1, kL1}, {&PlayerFPSInput::heldR1, kR1},
    {&PlayerFPSInput::heldL2, kL2},       {&PlayerFPSInput::heldR2, kR2},
};

float Limit(float value, float low, float high) { return std::min(std::max(value, low), high); }

// Beyond the dead zone, (excess x gain) squared in the input's direction.
float AimRate(float input, float gain) {
  const float excess = std::abs(input) - kAimTurnDeadZone;
  if (excess <= 0) return 0;
  const float rate = excess * gain * excess * gain;
  return input < 0 ? -rate : rate;
}

Quaternion YawPitch(float yaw, float pitch) {
  Quaternion q;
  return QuaternionFromYawPitchRoll(q, yaw, pitch, 0);
}

// Collects the owners of every geometry whose box overlaps the probe's,
// without a contact test.
void CollectOverlapOwners(void* data, dGeomID a, dGeomID b) {
  if (IsGeomSpace(a) || IsGeomSpace(b)) {
    CollideSpaces(a, b, data, &CollectOverlapOwners);
    return;
  }
  Vector3 aMin, aMax, bMin, bMax;
  GetGeomAABB(a, &aMin, &aMax);
  GetGeomAABB(b, &bMin, &bMax);
  if (!AABoxOverlap(aMin, aMax, bMin, bMax)) return;
  auto& owners = *static_cast<std::vector<ObjectRef<>>*>(data);
  for (dGeomID geometry : {a, b}) {
    const GeometryRecord* record = GetGeomData(geometry);
    if (record != nullptr && record->owner != nullptr) owners.emplace_back(record->owner);
  }
}

}  // namespace

void PlayerFPS::ReadInput(PlayerFPSInput& input) {
  EngineServices* services = GetEngineServices();
  if (services == nullptr) return;
  const auto value = [services](int action) { return services->GetInputActionValue(0, action); };
  if ((services->GetInputDeviceFlags(0) & kGamePadDevice) != 0) {
    input.strafe = value(kStickLeftX);
    input.forward = value(kStickLeftY);
    input.turn = value(kStickRightX);
    input.look = (options_ & kInverseLook) != 0 ? value(kStickRightY) : -value(kStickRightY);
  } else {
    input.strafe = value(kPadLeft) != 0 ? -1.0f : (value(kPadRight) != 0 ? 1.0f : 0.0f);
    input.forward = value(kPadUp) != 0 ? 1.0f : (value(kPadDown) != 0 ? -1.0f : 0.0f);
    input.turn = value(kStickRightX) * 30;
    const float step = value(kStickRightY) * 10;
    input.look = Limit((options_ & kInverseLook) != 0 ? input.look + step : input.look - step, -1, 1);
    input.look *= 1 - GetFrameTime();
  }
  for (const PressedAction& pressed : kPressed) input.*pressed.field = services->IsInputActionPressed(0, pressed.action);
  for (const PressedAction& held : kHeld) input.*held.field = static_cast<std::int32_t>(value(held.action) + 0.5f);
}

// All four shoulder buttons held give endless endurance; Start and Select
// open the menu fade and the objectives.
void PlayerFPS::RunMenuActions() {
  if (input_.heldR1 != 0 && input_.heldL1 != 0 && input_.heldR2 != 0 && input_.heldL2 != 0) endurance_ = 10000;
  if (input_.pressedStart != 0) {
    if (Object* fade = ResolveObjectPath(this, "/Inventory/FadeDownGoToMenu", nullptr, nullptr)) fade->Start();
  }
  if (input_.pressedSelect != 0) {
    Object* root = this;
    while (root->GetParent() != nullptr) root = root->GetParent();
    if (Object* objectives = root->FindChildByName("Objectives", kClassWindow)) objectives->Start();
  }
}

void PlayerFPS::Update() {
  if (!GetActive()) return;
  const float dt = GetFrameTime();
  hitTimer_ -= dt;
  if (health_ <= 0 && dead_ == 0) {
    if (!FireEventStillHere(kEventDead, nullptr)) return;
    PlayLook("Die");
    dead_ = 1;
  }
  if (health_ <= 0) {
    input_ = {};
  } else {
    ReadInput(input_);
    RunMenuActions();
  }
  if (input_.heldR1 != 0 && handState_ == kReady && hitTimer_ < 0) Fire();
  if (input_.pressedCross != 0 || input_.heldCross != 0) Use();
  HandsAndWeapons(dt);
  Turn(dt);
  speedMultiplier_ = input_.heldR2 != 0 && aiming_ == 0 ? sprintSpeedFactor_ : 1.0f;
  MagnetPush();
  QueueAngleText();
  SetRotation(YawPitch(yaw_, 0), true);
  moving_ = 0;
  const Vector3 velocity = GetLinearVelocity();
  const float speed = std::sqrt(Vector3Dot(velocity, velocity));
  timeSinceHardLanding_ += dt;
  FallDamage(lastVelocity_.y);
  idleTime_ = std::abs(input_.strafe) > 0.02f || std::abs(input_.forward) > 0.02f ? 0 : idleTime_ + dt;
  Walk();
  Jump(speed);
  smoothedSpeed_ = speed > smoothedSpeed_ ? smoothedSpeed_ + kSmoothedSpeedRate * dt
                                          : std::max(smoothedSpeed_ - kSmoothedSpeedRate * dt, 0.0f);
  Footsteps();
  Exhaust(dt);
  Breathe();
  bobPhase_ += (smoothedSpeed_ + 3.0f) * dt;
  float handYaw = 0, handPitch = 0;
  Sway(dt, handYaw, handPitch);
  PlaceHands(std::sin(bobPhase_) * 0.004f, handYaw, handPitch);
  PlaceLook(dt);
  onGroundLastFrame_ = onGround_;
  onGround_ = 0;
  doorInReach_.Reset();
  lastVelocity_ = velocity;
}

void PlayerFPS::Fire() {
  Weapon* weapon = rightHand_ ? HeldWeapon(rightHand_.Get()) : nullptr;
  if (weapon == nullptr || weapon->Fire(nullptr, nullptr, false) == 0) return;
  exhaustion_ += weapon->GetFireExhaustion();
  crosshairScale_ = 1.5f;
  const std::uint32_t mode = (options_ >> kVibrationModeShift) & 0xFFu;
  EngineServices* services = GetEngineServices();
  if ((options_ & kVibration) != 0 && weapon->GetType() != 3 && (mode == 1 || mode == 2) && services != nullptr) {
    services->Vibrate(0, 0, 0);
  }
  if (handState_ == kReady) handTimer_ = 0;
}

void PlayerFPS::Use() {
  dGeomID sphere = ToOde(useSphere_.Get());
  if (sphere == nullptr) {
    useRecord_.owner = this;
    useRecord_.info = (useRecord_.info | kGeometryEventOnly) & ~kGeometryCallback;
    sphere = ToOde(useSphere_.Make(kUseRadius));
    if (sphere == nullptr) return;
    SetGeomCategoryBits(sphere, actionCategoryBits_);
    SetGeomData(sphere, &useRecord_);
  }
  Vector3 reach;
  Vector3Scale(reach, forwardAxis_, kUseReach);
  SetGeomPosition(sphere, GetPositionWS() + Vector3{0, kUseReach, 0} + reach);
  World* world = GetWorld();
  PhysicsSpace* global = world != nullptr ? world->GetCollisionSpace() : nullptr;
  if (input_.pressedCross != 0) {
    if (Door* door = doorInReach_.Get()) door->Open(nullptr);
    if (global != nullptr) WakeFollowers(sphere, ToOde(global));
  }
  if (input_.heldCross == 0 || world == nullptr) return;
  Space* space = GetSpace();
  PhysicsSpace* own = space != nullptr ? space->GetCollisionSpace() : nullptr;
  for (PhysicsSpace* collision : {own, global}) {
    if (collision != nullptr) {
      CollideSpaces(sphere, reinterpret_cast<dGeomID>(ToOde(collision)), world->GetPhysicsWorld(),
                    &PhysicsNearCallback);
    }
  }
}

// Characters around the probe follow the player, or stop following.
void PlayerFPS::WakeFollowers(dGeomID probe, dSpaceID space) {
  std::vector<ObjectRef<>> owners;
  CollideSpaces(probe, reinterpret_cast<dGeomID>(space), &owners, &CollectOverlapOwners);
  const DeletionHold hold;
  for (const ObjectRef<>& owner : owners) {
    Object* character = owner.Get();
    if (character == nullptr || character->GetClassId() != kClassAIPlayerFPS) continue;
    const bool following = static_cast<AIPlayerFPS*>(character)->GetState() == AIPlayerFPS::kFollow;
    AIPlayerFPS::StateWithTarget block{static_cast<std::uint32_t>(following ? AIPlayerFPS::kIdle : AIPlayerFPS::kFollow),
                                       this};
    character->ExecuteCommand(AIPlayerFPS::kSetStateWithTarget, &block);
  }
}

void PlayerFPS::HandsAndWeapons(float dt) {
  Weapon* right = rightItem_.Get();
  if (input_.pressedTriangle != 0 && hitTimer_ < 0 && right != nullptr && right->LoadClip() != 0) {
    RequestHandState(kReady);
  }
  const bool padPressed = input_.pressedPadLeft != 0 || input_.pressedPadRight != 0;
  if (padPressed && handState_ == kReady) PlayHand("HandOut", kLowering);
  if (input_.heldL1 == 0 && handState_ == kLowered && padPressed) ChangeWeapon();
  if (weaponChangeDelay_ > 0) {
    weaponChangeDelay_ -= dt;
    if (weaponChangeDelay_ <= 0 && handState_ == kLowered) PlayHand("HandIn", kRaising);
  }
  right = rightItem_.Get();
  aimBlend_ = aiming_ != 0 ? std::min(aimBlend_ + 4 * dt, 1.0f) : std::max(aimBlend_ - 2 * dt, 0.0f);
  if (aimBlend_ > 0 && right != nullptr) right->SetPrecisionMul(1 - 0.5f * aimBlend_);
  if (Camera* camera = camera_.Get()) camera->SetFov(cameraBaseFov_ - 0.1f * aimBlend_);
  weaponKind_ = right != nullptr && right->GetState() == Weapon::kNeutral ? 1 : 2;
  if (crosshairScale_ > 1) crosshairScale_ -= 6 * dt;
  crosshairAlpha_ = handState_ == kReady && weaponKind_ == 1 ? std::min(crosshairAlpha_ + 8 * dt, 1.0f)
                                                              : std::max(crosshairAlpha_ - 8 * dt, 0.0f);
  if (input_.heldR1 != 0 || input_.heldL1 != 0) {
    if (handState_ == kReady) handTimer_ = 0;
    if (handState_ == kLowered) PlayHand("HandIn", kRaising);
  }
  if (right != nullptr && right->GetAimEnable() && handState_ == kReady) {
    if ((options_ & kAimModeHold) != 0) {
      aiming_ = input_.heldL1;
    } else if (input_.pressedL1 != 0) {
      aiming_ = aiming_ == 0 ? 1 : 0;
    }
  }
  AdvanceHandTimer(dt);
}

void PlayerFPS::ChangeWeapon() {
  Object* items = items_.Get();
  Animation* hand = rightHand_.Get();
  Weapon* putAway = rightItem_.Get();
  if (putAway != nullptr) {
    putAway->SetHolder(nullptr);
    if (items != nullptr) MoveUnder(*putAway, *items);
  }
  rightItem_.Reset();
  weaponChangeDelay_ = kWeaponChangeDelay;
  weaponStep_ = input_.pressedPadRight != 0 ? 1 : -1;
  Weapon* next = ChooseWeapon(putAway, weaponStep_);
  if (next == nullptr || hand == nullptr || !MoveUnder(*next, *hand)) return;
  rightItem_.Set(next);
  Hold(*next);
  TakeCrosshair(*next);
  if (putAway != nullptr) {
    next->SetPosition(putAway->GetPosition(), true);
    next->SetRotation(putAway->GetRotation(), true);
  }
  if (next != putAway) ShowIcon(rightIconWindow_, next);
}

Weapon* PlayerFPS::ChooseWeapon(Weapon* putAway, std::int32_t step) const {
  struct Entry {
    std::int64_t key;
    Weapon* weapon;
  };
  std::vector<Entry> list;
  if (Object* items = items_.Get()) {
    for (int i = 0; i < items->GetChildCount(); ++i) {
      Object* child = items->GetChild(i);
      if (child == putAway || child == nullptr || child->GetClassId() != kClassWeapon) continue;
      auto* weapon = static_cast<Weapon*>(child);
      if (weapon->GetInventoryActive()) list.push_back({std::int64_t{weapon->GetInventorySort()} * step, weapon});
    }
  }
  if (list.empty()) return putAway;
  std::stable_sort(list.begin(), list.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
  if (putAway == nullptr) return list.front().weapon;
  const std::uint32_t current = putAway->GetInventorySort();
  for (const Entry& entry : list) {
    const std::uint32_t sort = entry.weapon->GetInventorySort();
    if (step > 0 ? sort > current : sort < current) return entry.weapon;
  }
  return list.front().weapon;
}

void PlayerFPS::RequestHandState(HandState target) {
  if (handState_ == target) return;
  if (target == kLowered) {
    if (handState_ == kReady) PlayHand("HandOut", kLowering);
  } else if (target == kReady) {
    if (handState_ == kLowered) PlayHand("HandIn", kRaising);
  } else {
    handState_ = target;
    handTimer_ = 0;
  }
}

void PlayerFPS::AdvanceHandTimer(float dt) {
  handTimer_ += dt;
  if (handTimer_ <= handPhaseLength_) return;
  Weapon* right = rightItem_.Get();
  switch (handState_) {
    case kReady:
      if (right == nullptr || (right->GetState() != Weapon::kClipUnload && right->GetState() != Weapon::kClipLoad)) {
        PlayHand("HandOut", kLowering);
      }
      break;
    case kLowering:
      handPhaseLength_ = 0.1f;
      handState_ = kLowered;
      break;
    case kRaising:
      handPhaseLength_ = handAutoRestTime_;
      handState_ = kReady;
      break;
    case kLowered: break;
  }
}

void PlayerFPS::Turn(float dt) {
  if (aiming_ != 0) {
    yaw_ += AimRate(input_.turn, 2.4f) * rotationSpeed_ * dt;
  } else {
    yaw_ += rotationSpeed_ * input_.turn * dt * (handState_ == kLowered ? 1.2f : 1.0f);
  }
}

void PlayerFPS::MagnetPush() {
  Weapon* right = rightItem_.Get();
  if (input_.pressedL2 == 0 || right == nullptr || handState_ != kReady) return;
  if (auto* magnet = static_cast<PhysicsMagnet*>(right->FindChildByClass(kClassPhysicsMagnet))) {
    magnet->ReleaseObjects(kMagnetPush);
    right->Fire(nullptr, nullptr, true);
  }
  right->ArmThrown();
}

void PlayerFPS::QueueAngleText() {
  EngineServices* services = GetEngineServices();
  if (services == nullptr) return;
  if (!debugFont_) debugFont_ = services->GetResources().AcquireResource("DebugFont", kFontResource);
  if (!debugFont_) return;
  char text[32];
  std::snprintf(text, sizeof(text), "Angle: %.2f", static_cast<double>(input_.turn));
  services->GetRenderQueue().QueueText(debugFont_.Get(), text, {60, 280, 0}, 1, 1, {1, 1, 1, 0.3f}, 0, 0,
                                       kAngleTextFlags);
}

// A landing faster than 10 units per second down costs the square of the
// excess over 9, at most once every half second.
void PlayerFPS::FallDamage(float y) {
  if (onGround_ == 0 || onGroundLastFrame_ != 0 || timeSinceHardLanding_ <= 0.5f || y >= -10) return;
  if (health_ > 0) {
    const float d = std::abs(y) - 9;
    hitTimer_ = 0.2f;
    PlayLook("GetHitBack");
    health_ = std::max(health_ - d * d, 0.0f);
    PlayGetHitSound();
    VibrateOnHit();
    FireEvent(kEventGetHit, nullptr);
  }
  timeSinceHardLanding_ = 0;
}

// The exhaustion factor is worked out here, before it counts, so a new or
// just-loaded player walks at its own speed from its first frame.
void PlayerFPS::Walk() {
  exhaustionSpeedFactor_ = exhaustion_ >= maxExhaustion_ ? 0.5f : 1.0f;
  const float s = Limit(input_.strafe * 2, -1, 1);
  const float f = Limit(input_.forward * 2, -1, 1);
  const float base = (crouching_ != 0 ? crouchSpeed_ : runSpeed_) * speedMultiplier_ * exhaustionSpeedFactor_;
  forwardSpeed_ = base * f;
  strafeSpeed_ = strafeFactor_ * base * s;
  forwardAxis_ = GetAxisZWS();
  if (std::abs(input_.strafe) < 0.1f && std::abs(input_.forward) < 0.1f) forwardSpeed_ = strafeSpeed_ = 0;
  if (input_.forward > 0.1f || input_.strafe > 0.1f) moving_ = 1;
}

void PlayerFPS::Jump(float speed) {
  if (onGround_ != 0 && input_.pressedCircle != 0 && jumping_ == 0) {
    ApplyBodyVector(BodyVector::kAddForce, {0, jumpForce_, 0});
    if (speaker_) {
      PlaySpeaker("JumpStart");
      jumping_ = 1;
    }
    return;
  }
  if (jumping_ == 0) return;
  if (speed < kJumpSteerSpeed) {
    Vector3 push;
    ApplyBodyVector(BodyVector::kAddForce, Vector3Scale(push, forwardAxis_, Limit(input_.forward * 2, -1, 1)));
  }
  if (onGround_ != 0 && onGroundLastFrame_ == 0) {
    PlaySpeaker("JumpLand");
    jumping_ = 0;
  }
}

void PlayerFPS::Footsteps() {
  FootstepState next = footstepState_;
  if (footstepState_ == kNoSteps && smoothedSpeed_ > 0.5f) next = kWalking;
  if (footstepState_ == kWalking) {
    if (smoothedSpeed_ > 3.5f) {
      next = kRunning;
    } else if (smoothedSpeed_ < 0.1f) {
      next = kNoSteps;
    }
  }
  if (footstepState_ == kRunning && smoothedSpeed_ < 3.0f) next = kWalking;
  if (next == footstepState_) return;
  static const char* const kLoops[] = {nullptr, "N_Forward", "R_Forward"};
  if (Sound* speaker = speaker_.Get()) {
    if (kLoops[footstepState_] != nullptr) speaker->StopSoundEntry(kLoops[footstepState_]);
    if (kLoops[next] != nullptr) speaker->PlaySoundEntry(kLoops[next]);
  }
  footstepState_ = next;
}

void PlayerFPS::Exhaust(float dt) {
  float rate = hitTimer_ > 0 ? 20.0f : 0.0f;
  if (speedMultiplier_ > 1 && (std::abs(input_.strafe) > 0.15f || std::abs(input_.forward) > 0.15f)) {
    rate += runExhaust_;
  }
  Weapon* right = rightItem_.Get();
  const bool steady = right != nullptr && right->GetState() != Weapon::kClipUnload &&
                      right->GetState() != Weapon::kClipLoad;
  const float handRate = aiming_ != 0 && steady ? handExhaust_ : 0.0f;
  const float rest = endurance_ * dt;
  const float top = std::max(maxExhaustion_, 0.0f);
  exhaustion_ = Limit(exhaustion_ + rate * dt - rest, 0, top);
  handExhaustion_ = Limit(std::max(handExhaustion_ + handRate * dt - rest, exhaustion_), 0, top);
}

void PlayerFPS::Breathe() {
  const float e = exhaustion_;
  const float p = exhaustionLastFrame_;
  if (Sound* speaker = speaker_.Get()) {
    if (e > 75 && p <= 75) {
      speaker->StopSoundEntry("Breath1");
      speaker->PlaySoundEntryEx("Breath2", 1);
    } else if (e > 50 && p <= 50) {
      speaker->PlaySoundEntryEx("Breath1", 1);
    }
    if (e < 50 && p > 50) {
      speaker->StopSoundEntry("Breath1");
    } else if (e < 75 && p > 75) {
      speaker->StopSoundEntry("Breath2");
      speaker->PlaySoundEntryEx("Breath1", 1);
    }
  }
  exhaustionLastFrame_ = e;
}

void PlayerFPS::Sway(float dt, float& handYaw, float& handPitch) {
  swayX_ = Limit(swayX_ + dt * input_.turn * 10, -1.3f, 1.3f) * (1 - 7 * dt);
  swayY_ = Limit(swayY_ + dt * input_.look * 10, -0.8f, 0.8f) * (1 - 7 * dt);
  const float a = aimBlend_ * 0.8f + 0.5f;
  handYaw = swayX_ * a * 0.4f;
  handPitch = swayY_ * a * 0.3f;
  const float e = RatioOfMaximum(handExhaustion_, maxExhaustion_);
  if (e > 0.8f) {
    handYaw += std::sin(5 * e * bobPhase_) * e * 0.005f;
    handPitch += std::sin(7 * e * bobPhase_) * e * 0.005f;
  }
}

void PlayerFPS::PlaceHands(float bob, float handYaw, float handPitch) {
  const Quaternion rotation = YawPitch(handYaw, handPitch);
  if (Animation* hand = rightHand_.Get()) {
    hand->SetPosition(rightHandRest_ + Vector3{bob, bob, 0}, false);
    hand->SetRotation(rotation, true);
  }
  if (Animation* hand = leftHand_.Get()) {
    hand->SetPosition(leftHandRest_ + Vector3{0, bob, 0}, false);
    hand->SetRotation(rotation, true);
  }
}

void PlayerFPS::PlaceLook(float dt) {
  const float lowered = handState_ == kLowered ? 1.2f : 1.0f;
  lookPitch_ += aiming_ != 0 ? AimRate(input_.look, 2.0f) * lookSpeed_ * dt : lookSpeed_ * dt * input_.look * lowered;
  lookPitch_ = Limit(lookPitch_, -kLookLimit, kLookLimit);
  if ((options_ & kAutoLookahead) != 0 && smoothedSpeed_ > 0.6f && std::abs(input_.look) < 0.06f) {
    lookPitch_ *= 1 - dt;
  }
  Animation* look = look_.Get();
  if (look == nullptr) return;
  look->SetPosition(lookRest_ + Vector3{0, crouching_ != 0 ? crouchEyeOffset_ : 0.0f, 0}, true);
  look->SetRotation(YawPitch(0, lookPitch_), true);
}

}  // namespace tge

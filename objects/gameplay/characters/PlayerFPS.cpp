// PlayerFPS's command table, editor set-up, linking, equipping, hits,
// contacts, crosshair and file record.
#include "objects/gameplay/characters/PlayerFPS.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandAccessors.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/files/SerializeStream.h"
#include "core/math/Quaternion.h"
#include "core/math/Random.h"
#include "objects/gameplay/physics/PhysicsBody.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "objects/gameplay/physics/PhysicsGeometry.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/physics/PhysicsMass.h"
#include "objects/gameplay/props/Door.h"
#include "objects/gameplay/props/SensorSupport.h"
#include "objects/gameplay/weapons/AmmunitionPool.h"
#include "objects/gameplay/weapons/Weapon.h"
#include "objects/gameplay/world/HitMessage.h"
#include "objects/scene/Camera.h"
#include "objects/scene/animation/Animation.h"
#include "objects/ui/sound/Sound.h"
#include "objects/ui/widgets/Window.h"
#include "services/EngineServices.h"
#include "services/render/RenderQueue.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/ResourceType.h"
#include "services/resources/TextureResource.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr auto E = CommandKind::kEvent;
constexpr int S = kCommandSetter;

// A ground contact's normal points up more steeply than this.
constexpr float kGroundNormalY = 0.4f;
constexpr float kGroundFriction = 3.5f;
constexpr float kHitTime = 0.2f;
constexpr std::uint32_t kCentred = 0x24;

ObjectRef<PlayerFPS>& CurrentPlayer() {
  static ObjectRef<PlayerFPS> current;
  return current;
}

template <class T>
T* FindTyped(const Object& root, const char* name, int classId) {
  return static_cast<T*>(root.FindChildByName(name, classId));
}

}  // namespace

PlayerFPS* GetCurrentPlayerFPS() { return CurrentPlayer().Get(); }

Weapon* PlayerFPS::HeldWeapon(const Object* hand) {
  Object* child = hand != nullptr && hand->GetChildCount() > 0 ? hand->GetChild(0) : nullptr;
  return child != nullptr && child->GetClassId() == kClassWeapon ? static_cast<Weapon*>(child) : nullptr;
}

bool PlayerFPS::MoveUnder(Object& object, Object& parent) {
  ObjectHooks* hooks = GetObjectHooks();
  return hooks != nullptr && hooks->MoveObject(object, parent);
}

float RatioOfMaximum(float value, float maximum) { return maximum > 0 ? value / maximum : 1.0f; }

// The property "PlayerFPSActionCategoryBits" is registered before the
// damage group pair, as files and scripts expect.
// clang-format off
using F = PlayerFPS;
constexpr CommandEntry<PlayerFPS> PlayerFPS::kCommands[] = {
    {10250, "PlayerFPSCrouchSpeed", P, 0, {kValueFloat}, FieldSetter<&F::crouchSpeed_>, FieldGetter<&F::crouchSpeed_>},
    {10252, "PlayerFPSWalkSpeed", P, 0, {kValueFloat}, FieldSetter<&F::walkSpeed_>, FieldGetter<&F::walkSpeed_>},
    {10254, "PlayerFPSRunSpeed", P, 0, {kValueFloat}, FieldSetter<&F::runSpeed_>, FieldGetter<&F::runSpeed_>},
    {10256, "PlayerFPSSprintSpeedMul", P, 0, {kValueFloat}, FieldSetter<&F::sprintSpeedFactor_>, FieldGetter<&F::sprintSpeedFactor_>},
    {10258, "PlayerFPSRotationSpeed", P, 0, {kValueFloat}, FieldSetter<&F::rotationSpeed_>, FieldGetter<&F::rotationSpeed_>},
    {10260, "PlayerFPSLookSpeed", P, 0, {kValueFloat}, FieldSetter<&F::lookSpeed_>, FieldGetter<&F::lookSpeed_>},
    {10262, "PlayerFPSJumpForce", P, 0, {kValueFloat}, FieldSetter<&F::jumpForce_>, FieldGetter<&F::jumpForce_>},
    {10264, "PlayerFPSAutoAim", P, 0, {kValueBool}, FlagSetter<&F::options_, kAutoAim>, FlagGetter<&F::options_, kAutoAim>},
    {10266, "PlayerFPSInverseLook", P, 0, {kValueBool}, FlagSetter<&F::options_, kInverseLook>, FlagGetter<&F::options_, kInverseLook>},
    {10268, "PlayerFPSAutoLookahead", P, 0, {kValueBool}, FlagSetter<&F::options_, kAutoLookahead>, FlagGetter<&F::options_, kAutoLookahead>},
    {10270, "PlayerFPSAimModeHold", P, 0, {kValueBool}, FlagSetter<&F::options_, kAimModeHold>, FlagGetter<&F::options_, kAimModeHold>},
    {10272, "PlayerFPSCrouchModeHold", P, 0, {kValueBool}, FlagSetter<&F::options_, kCrouchModeHold>, FlagGetter<&F::options_, kCrouchModeHold>},
    {10274, "PlayerFPSVibration", P, 0, {kValueBool}, FlagSetter<&F::options_, kVibration>, FlagGetter<&F::options_, kVibration>},
    {10276, "PlayerFPSVibrationMode", P, 0, {kValueDword}, ByteSetter<&F::options_, kVibrationModeShift>, ByteGetter<&F::options_, kVibrationModeShift>},
    {10278, "PlayerFPSWeaponChangeMode", P, 0, {kValueDword}, ByteSetter<&F::options_, kWeaponChangeModeShift>, ByteGetter<&F::options_, kWeaponChangeModeShift>},
    {10280, "PlayerFPSAimInRunState", P, 0, {kValueBool}, FlagSetter<&F::options_, kAimInRunState>, FlagGetter<&F::options_, kAimInRunState>},
    {10282, "PlayerFPSHealth", P, 0, {kValueFloat}, Member<&F::SetHealthCommand>, FieldGetter<&F::health_>},
    {10284, "PlayerFPSMaxHealth", P, 0, {kValueFloat}, FieldSetter<&F::maxHealth_>, FieldGetter<&F::maxHealth_>},
    {10286, "PlayerFPSEndurance", P, 0, {kValueFloat}, FieldSetter<&F::endurance_>, FieldGetter<&F::endurance_>},
    {10288, "PlayerFPSMaxEndurance", P, 0, {kValueFloat}, FieldSetter<&F::maxEndurance_>, FieldGetter<&F::maxEndurance_>},
    {10290, "PlayerFPSVision", P, 0, {kValueFloat}, FieldSetter<&F::vision_>, FieldGetter<&F::vision_>},
    {10292, "PlayerFPSMaxVision", P, 0, {kValueFloat}, FieldSetter<&F::maxVision_>, FieldGetter<&F::maxVision_>},
    {10294, "PlayerFPSHearing", P, 0, {kValueFloat}, FieldSetter<&F::hearing_>, FieldGetter<&F::hearing_>},
    {10296, "PlayerFPSMaxHearing", P, 0, {kValueFloat}, FieldSetter<&F::maxHearing_>, FieldGetter<&F::maxHearing_>},
    {10298, "PlayerFPSExhaustion", P, 0, {kValueFloat}, FieldSetter<&F::exhaustion_>, FieldGetter<&F::exhaustion_>},
    {10300, "PlayerFPSMaxExhaustion", P, 0, {kValueFloat}, FieldSetter<&F::maxExhaustion_>, FieldGetter<&F::maxExhaustion_>},
    {10302, "AddPlayerFPSHealth", C, S, {kValueFloat}, Member<&F::AddHealthCommand>},
    {10303, "PlayerFPSWalkExhaust", P, 0, {kValueFloat}, FieldSetter<&F::walkExhaust_>, FieldGetter<&F::walkExhaust_>},
    {10305, "PlayerFPSWalkFastExhaust", P, 0, {kValueFloat}, FieldSetter<&F::walkFastExhaust_>, FieldGetter<&F::walkFastExhaust_>},
    {10307, "PlayerFPSRunExhaust", P, 0, {kValueFloat}, FieldSetter<&F::runExhaust_>, FieldGetter<&F::runExhaust_>},
    {10309, "PlayerFPSHandExhaust", P, 0, {kValueFloat}, FieldSetter<&F::handExhaust_>, FieldGetter<&F::handExhaust_>},
    {10311, "PlayerFPSHandAutoRestTime", P, 0, {kValueFloat}, FieldSetter<&F::handAutoRestTime_>, FieldGetter<&F::handAutoRestTime_>},
    {10317, "PlayerFPSActionCategoryBits", P, 0, {kValueDword}, FieldSetter<&F::actionCategoryBits_>, FieldGetter<&F::actionCategoryBits_>},
    {10313, "PlayerFPSCurrentGroupDamage", P, 0, {kValueDword}, FieldSetter<&F::currentDamageGroup_>, FieldGetter<&F::currentDamageGroup_>},
    {10315, "PlayerFPSGroupDamageMul", P, 0, {kValueFloat}, Member<&F::SetGroupDamageCommand>, Member<&F::GetGroupDamageCommand>},
    {10319, "EquipLeftHand", C, S, {kValueString}, Member<&F::EquipCommand<false>>},
    {10320, "EquipRightHand", C, S, {kValueString}, Member<&F::EquipCommand<true>>},
    {10321, "SetLeftHandItemIconSprite", C, S, {kValueString}, Member<&F::SetIconWindowCommand<false>>},
    {10322, "SetRightHandItemIconSprite", C, S, {kValueString}, Member<&F::SetIconWindowCommand<true>>},
    {kEventDead, "OnPlayerFPSDead", E, 0, {}},
    {kEventGetHit, "OnPlayerFPSGetHit", E, 0, {}},
};

std::span<const CommandEntry<PlayerFPS>> PlayerFPS::Commands() { return kCommands; }
// clang-format on

PlayerFPS::PlayerFPS() : Object(kClassPlayerFPS) {
  groupDamage_.fill(1.0f);
  useRecord_.owner = this;
  useRecord_.info = kGeometrySphere | kGeometryEventOnly;
}

// The copy keeps the settings and state but no child link, no use sphere
// and no crosshair: it links its own children when it is precalculated.
PlayerFPS::PlayerFPS(const PlayerFPS& source) = default;

void PlayerFPS::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  for (ObjectRef<Animation>* hand : {&leftHand_, &rightHand_, &look_}) hand->Reset();
  for (ObjectRef<Window>* window : {&leftIconWindow_, &rightIconWindow_}) window->Reset();
  leftItem_.Reset();
  rightItem_.Reset();
  ammunitionPool_.Reset();
  doorInReach_.Reset();
  items_.Reset();
  camera_.Reset();
  speaker_.Reset();
  crosshair_.Reset();
  debugFont_.Reset();
  useRecord_.owner = this;
  useRecord_.geometry = nullptr;
  useRecord_.transformGeometry = nullptr;
}

int PlayerFPS::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<PlayerFPS> handlers(kClassPlayerFPS, {kCommands});
  handlers.Run(*this, id, args);
  switch (id) {
    case kCommandSetActive:
      if (args != nullptr && CommandArgs(args).Get<std::int32_t>() == 0 && GetBody() != nullptr) {
        SetBodyLinearVel(ToOde(GetBody()), {0, 0, 0});
      }
      break;
    case kApplyHit:
      if (args != nullptr) TakeHit(*static_cast<const HitMessage*>(args));
      break;
    case kCommandCreatePhysics:
      StartPhysics(args);
      return 1;
    case kCommandInitializeNewObject: InitializeNewObject(); break;
    case kCommandChildDeleted:
    case kCommandChildMoved:
      if (args != nullptr) ForgetChild(static_cast<const Object*>(args));
      break;
    default: break;
  }
  return Object::ExecuteCommand(id, args);
}

int PlayerFPS::SetHealthCommand(CommandArgs args) {
  health_ = args.Get<float>();
  if (health_ > 0) dead_ = 0;
  return 1;
}

int PlayerFPS::AddHealthCommand(CommandArgs args) {
  health_ = std::max(std::min(health_ + args.Get<float>(), maxHealth_), 0.0f);
  if (health_ > 0) dead_ = 0;
  return 1;
}

int PlayerFPS::SetGroupDamageCommand(CommandArgs args) {
  if (currentDamageGroup_ < groupDamage_.size()) groupDamage_[currentDamageGroup_] = args.Get<float>();
  return 1;
}

int PlayerFPS::GetGroupDamageCommand(CommandArgs args) {
  if (currentDamageGroup_ < groupDamage_.size()) args.Set(groupDamage_[currentDamageGroup_]);
  return 1;
}

template <bool Right>
int PlayerFPS::EquipCommand(CommandArgs args) {
  return Equip(Right, args.AsString()) ? 1 : 0;
}

template <bool Right>
int PlayerFPS::SetIconWindowCommand(CommandArgs args) {
  ObjectRef<Window>& window = Right ? rightIconWindow_ : leftIconWindow_;
  window.Set(dynamic_cast<Window*>(ResolveObjectPath(this, args.AsString(), nullptr, nullptr)));
  ShowIcon(window, Right ? rightItem_.Get() : leftItem_.Get());
  return 1;
}

Weapon* PlayerFPS::GetRightItem() const { return rightItem_.Get(); }
Weapon* PlayerFPS::GetLeftItem() const { return leftItem_.Get(); }
Door* PlayerFPS::GetDoorInReach() const { return doorInReach_.Get(); }
AmmunitionPool* PlayerFPS::GetAmmunitionPool() const { return ammunitionPool_.Get(); }
Camera* PlayerFPS::GetCamera() const { return camera_.Get(); }
Animation* PlayerFPS::GetLook() const { return look_.Get(); }

void PlayerFPS::InitializeNewObject() {
  SetInheritOrientation(false);
  SetUsePhysics(true);
  GetPhysics()->flags |= kPhysicsEnableLocalSpace | kPhysicsEnableRigidBody | kPhysicsNotLockedInSpace;
  GeometryRecord& capsule = AddGeometry();
  capsule.info = (capsule.info & ~kGeometryShapeMask) | kGeometryCCylinder | kGeometryUseTransform | kGeometryCallback;
  capsule.position = {0, 1.0f, 0};
  QuaternionFromYawPitchRoll(capsule.rotation, 0, std::numbers::pi_v<float> / 2, 0);
  QuaternionNormalize(capsule.rotation, capsule.rotation);
  capsule.dimension = {0.6f, 1.0f, 0};
  capsule.collisionBits = 2;
  capsule.categoryBits = 7;

  CreateObject(kClassAmmunitionPool, nullptr, *this, "AmmunitionPool");
  CreateObject(kClassObject, nullptr, *this, "Items");
  Object* look = CreateObject(kClassAnimation, nullptr, *this, "Look");
  if (look == nullptr) return;
  Object* base = CreateObject(kClassObject, nullptr, *look, "LookBase");
  if (base == nullptr) return;
  Object* speaker = CreateObject(kClassSound, nullptr, *base, "PlayerSpeaker");
  Object* camera = CreateObject(kClassCamera, nullptr, *base, "Camera");
  Object* left = CreateObject(kClassAnimation, nullptr, *base, "L_Hand");
  Object* right = CreateObject(kClassAnimation, nullptr, *base, "R_Hand");
  for (Object* part : {look, base, speaker, camera, left, right}) {
    if (part != nullptr) part->SetInheritOrientation(false);
  }
  for (Object* animated : {look, left, right}) {
    if (animated == nullptr || animated->GetClassId() != kClassAnimation) continue;
    static_cast<Animation*>(animated)->SetHasNamePrefix(true);
    static_cast<Animation*>(animated)->SetUseChildrenAsTargets(true);
  }
  const std::pair<Object*, Vector3> placements[] = {
      {look, {0, 1.6f, 0}}, {camera, {0, 0.175f, 0}}, {left, {-0.14f, 0, 0}}, {right, {0.14f, 0, 0}}};
  for (const auto& [part, at] : placements) {
    if (part != nullptr) part->SetPosition(at, true);
  }
}

// An upright body: no rotation, a small inertia, and never put to sleep.
void PlayerFPS::StartPhysics(void* args) {
  if (!GetActive()) return;
  ObjectHooks* hooks = GetObjectHooks();
  if (hooks != nullptr) hooks->CreateObjectPhysics(*this);
  if (PhysicsBody* body = GetBody()) {
    EnableBodyRotation(ToOde(body), 0);
    SetBodyAngularVel(ToOde(body), {0, 0, 0});
    SetBodyInertia(ToOde(body), {0.1f, 0.1f, 0.1f});
    SetBodyAutoDisable(ToOde(body), 0);
  }
  PassPhysicsStartToChildren(*this, args);
}

void PlayerFPS::ForgetChild(const Object* child) {
  for (ObjectRef<Animation>* link : {&leftHand_, &rightHand_, &look_}) {
    if (link->Get() == child) link->Reset();
  }
  for (ObjectRef<Weapon>* item : {&leftItem_, &rightItem_}) {
    if (item->Get() == child) item->Reset();
  }
  if (ammunitionPool_.Get() == child) ammunitionPool_.Reset();
  if (items_.Get() == child) items_.Reset();
  if (camera_.Get() == child) camera_.Reset();
  if (speaker_.Get() == child) speaker_.Reset();
}

void PlayerFPS::Precalculate() {
  CurrentPlayer().Set(this);
  LinkChildren();
  Object* items = items_.Get();
  if (items != nullptr) items->SetActive(true);
  EnableUpdate();
  Object::Precalculate();
  if (items != nullptr) items->SetActive(false);
  yaw_ = Vector3YawFlat(GetAxisZWS());
}

void PlayerFPS::LinkChildren() {
  camera_.Set(static_cast<Camera*>(FindChildByClass(kClassCamera)));
  look_.Set(FindTyped<Animation>(*this, "Look", kClassAnimation));
  items_.Set(FindChildByName("Items"));
  speaker_.Set(FindTyped<Sound>(*this, "PlayerSpeaker", kClassSound));
  ammunitionPool_.Set(static_cast<AmmunitionPool*>(FindChildByClass(kClassAmmunitionPool)));
  leftHand_.Set(FindTyped<Animation>(*this, "L_Hand", kClassAnimation));
  if (Animation* hand = leftHand_.Get()) {
    leftHandRest_ = hand->GetPosition();
    leftItem_.Set(HeldWeapon(hand));
    if (Weapon* item = leftItem_.Get()) Hold(*item);
  }
  LinkRightHand();
  if (Camera* camera = camera_.Get()) {
    camera->Activate();
    cameraRest_ = camera->GetPosition();
    cameraBaseFov_ = camera->GetFov();
  }
  if (Animation* look = look_.Get()) lookRest_ = look->GetPosition();
}

void PlayerFPS::LinkRightHand() {
  rightHand_.Set(FindTyped<Animation>(*this, "R_Hand", kClassAnimation));
  Animation* hand = rightHand_.Get();
  if (hand == nullptr) return;
  rightHandRest_ = hand->GetPosition();
  handPhaseLength_ = handAutoRestTime_;
  rightItem_.Set(HeldWeapon(hand));
  if (Weapon* item = rightItem_.Get()) {
    Hold(*item);
    TakeCrosshair(*item);
    crosshairAlpha_ = 1.0f;
  }
  PlayHand("HandIn", kRaising);
}

void PlayerFPS::Hold(Weapon& item) {
  item.SetHolder(this);
  item.SetAmmunitionPool(ammunitionPool_.Get());
}

void PlayerFPS::TakeCrosshair(Weapon& item) {
  crosshair_.Reset();
  Resource* material = item.GetCrossHairMaterial();
  EngineServices* services = GetEngineServices();
  if (material != nullptr && services != nullptr) {
    crosshair_ = services->GetResources().AcquireResource(material->GetName(), kMaterialResource);
  }
  Resource* texture = crosshair_ ? GetMaterialTexture(crosshair_.Get(), 0) : nullptr;
  if (texture == nullptr) return;
  int width = 0, height = 0;
  GetTextureInfo(texture, &width, &height, nullptr, nullptr);
  crosshairWidth_ = static_cast<float>(width);
  crosshairHeight_ = static_cast<float>(height);
}

void PlayerFPS::ShowIcon(const ObjectRef<Window>& window, Weapon* item) {
  Window* icon = window.Get();
  if (icon == nullptr || item == nullptr) return;
  icon->SetSpriteFromResource(item->GetIconMaterial());
  icon->Start();
}

bool PlayerFPS::Equip(bool right, const std::string& name) {
  Object* items = items_.Get();
  Weapon* item = items != nullptr ? FindTyped<Weapon>(*items, name.c_str(), kClassWeapon) : nullptr;
  Animation* hand = (right ? rightHand_ : leftHand_).Get();
  Animation* left = leftHand_.Get();
  if (item == nullptr || hand == nullptr || left == nullptr) return false;
  Object* previous = nullptr;
  Object* rightHeld = right && rightHand_->GetChildCount() > 0 ? rightHand_->GetChild(0) : nullptr;
  if (rightHeld == nullptr) {
    if (left->GetChildCount() > 0 && MoveUnder(*left->GetChild(0), *items)) {
      previous = leftItem_.Get();
      leftItem_.Reset();
    }
  } else if (MoveUnder(*rightHeld, *items)) {
    previous = rightItem_.Get();
    rightItem_.Reset();
  }
  if (!MoveUnder(*item, *hand)) return false;
  (right ? rightItem_ : leftItem_).Set(item);
  if (previous != nullptr) {
    item->SetPosition(previous->GetPosition(), true);
    item->SetRotation(previous->GetRotation(), true);
  }
  Hold(*item);
  if (right) TakeCrosshair(*item);
  ShowIcon(right ? rightIconWindow_ : leftIconWindow_, item);
  return true;
}

void PlayerFPS::PlayHand(const char* entry, HandState state) {
  if (Animation* hand = rightHand_.Get()) {
    hand->AnimationPlay(entry);
    handPhaseLength_ = hand->GetEntryLength(hand->GetPlayingEntry());
  }
  handState_ = state;
  handTimer_ = 0;
}

void PlayerFPS::PlayLook(const char* entry) {
  if (Animation* look = look_.Get()) look->AnimationPlay(entry);
}

void PlayerFPS::PlaySpeaker(const char* entry) {
  if (Sound* speaker = speaker_.Get()) speaker->PlaySoundEntry(entry);
}

void PlayerFPS::PlayGetHitSound() {
  if (speaker_.Get() == nullptr) return;
  char entry[16];
  std::snprintf(entry, sizeof(entry), "GetHit%d", Rand() % 4);
  PlaySpeaker(entry);
}

void PlayerFPS::VibrateOnHit() {
  const std::uint32_t mode = (options_ >> kVibrationModeShift) & 0xFFu;
  EngineServices* services = GetEngineServices();
  if ((options_ & kVibration) != 0 && (mode == 1 || mode == 3) && services != nullptr) services->Vibrate(0, 0, 0);
}

int PlayerFPS::TakeHit(const HitMessage& hit) {
  if (health_ <= 0) return 0;
  hitTimer_ = kHitTime;
  static const char* const kSides[] = {"GetHitRight", "GetHitBack", "GetHitLeft"};
  const std::uint32_t side = hit.extra == 0 ? static_cast<std::uint32_t>(Rand() % 3) + 1 : hit.extra;
  if (side >= 1 && side <= 3) PlayLook(kSides[side - 1]);
  health_ = std::max(health_ - hit.damage, 0.0f);
  PlayGetHitSound();
  VibrateOnHit();
  FireEvent(kEventGetHit, nullptr);
  return 1;
}

int PlayerFPS::HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts, int count) {
  if (!GetActive()) return kContactUsual;
  if (other != nullptr && (other->info & kGeometryEventOnly) != 0) {
    if (other->owner != nullptr && other->owner->GetClassId() == kClassDoor) {
      doorInReach_.Set(static_cast<Door*>(other->owner));
    }
    return kContactUsual;
  }
  PhysicsGeom* mine = own != nullptr && own->transformGeometry != nullptr ? own->transformGeometry
                                                                          : (own != nullptr ? own->geometry : nullptr);
  for (int i = 0; i < count; ++i) {
    dContact& contact = contacts[i];
    const double sign = ToPhysicsGeom(contact.geom.g2) == mine ? -1.0 : 1.0;
    if (contact.geom.normal[1] * sign <= kGroundNormalY) continue;
    contact.surface.mode |= dContactFDir1 | dContactMotion1 | dContactMotion2;
    contact.surface.mu += kGroundFriction;
    contact.fdir1[0] += forwardAxis_.x;
    contact.fdir1[1] += forwardAxis_.y;
    contact.fdir1[2] += forwardAxis_.z;
    contact.surface.motion1 += forwardSpeed_;
    contact.surface.motion2 += strafeSpeed_;
    onGround_ = 1;
  }
  return kContactKeepSurface;
}

int PlayerFPS::FireEvent(int eventId, Object* sender) {
  if (eventId == kEventOnSpawn) yaw_ = Vector3YawFlat(GetAxisZWS());
  return Object::FireEvent(eventId, sender);
}

void PlayerFPS::Draw() {
  EngineServices* services = GetEngineServices();
  if (GetActive() && crosshair_ && aiming_ != 0 && services != nullptr) {
    const float c = (aimBlend_ + 1) * 0.5f;
    const float e = RatioOfMaximum(handExhaustion_, maxExhaustion_);
    float x = swayX_ * 250 + static_cast<float>(services->GetScreenWidth()) / 2;
    float y = swayY_ * 187.5f + static_cast<float>(services->GetScreenHeight()) / 2;
    if (e > 0.8f) {
      x += std::sin(5 * e * bobPhase_) * e * 2.5f;
      y += std::sin(2 * e * bobPhase_) * e * 2.5f;
    }
    const float alpha = c * crosshairAlpha_ * (1 - e) * crosshairAlpha_;
    QueueCrosshair(x + 4, y + 4, alpha, 1.0f);
    if (e > 0.8f) {
      QueueCrosshair(std::sin(5 * e * bobPhase_) * e * 5 + x + 4, std::sin(3 * e * bobPhase_) * e * 5 + y + 4,
                     alpha * (1 - e) * (1 - e), 0.5f * e + 1);
    }
  }
  Object::Draw();
}

void PlayerFPS::QueueCrosshair(float x, float y, float alpha, float sizeFactor) {
  const float c = (aimBlend_ + 1) * 0.5f;
  GetEngineServices()->GetRenderQueue().QueueSprite(crosshair_.Get(), {x, y, 2.0f},
                                                    crosshairScale_ * crosshairWidth_ * sizeFactor,
                                                    crosshairScale_ * crosshairHeight_ * sizeFactor,
                                                    {c, c, c, alpha}, kCentred);
}

// The AimModeHold option, the spare factor and the body's freedom to leave
// its Space are set after a load only: a save changes nothing live.
bool PlayerFPS::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version >= 1) {
    std::uint32_t spare = 0;
    stream.Serialize(options_);
    for (float* value : {&walkExhaust_, &walkFastExhaust_, &runExhaust_, &handExhaust_, &handAutoRestTime_}) {
      stream.Serialize(*value);
    }
    stream.Serialize(spare);
    for (float* value : {&sprintSpeedFactor_, &rotationSpeed_, &lookSpeed_}) stream.Serialize(*value);
    stream.Serialize(actionCategoryBits_);
  }
  if (version >= 11) {
    for (float* value : {&crouchSpeed_, &walkSpeed_, &runSpeed_, &jumpForce_, &exhaustionSpeedFactor_,
                         &strafeFactor_, &spareFactor_, &crouchEyeOffset_, &health_, &maxHealth_, &endurance_,
                         &maxEndurance_, &vision_, &maxVision_, &hearing_, &maxHearing_, &exhaustion_,
                         &maxExhaustion_}) {
      stream.Serialize(*value);
    }
  }
  if (version >= 22) {
    for (float& factor : groupDamage_) stream.Serialize(factor);
  }
  if (!stream.IsWriting()) {
    options_ |= kAimModeHold;
    spareFactor_ = 0.5f;
    if (ObjectPhysics* physics = GetPhysics()) physics->flags |= kPhysicsNotLockedInSpace;
  }
  return !stream.Failed();
}

void RegisterPlayerFPSCommands() {
  RegisterCommandTable<PlayerFPS>(BuildCommandRegistry(), kClassPlayerFPS, PlayerFPS::Commands());
  GetObjectFactory().RegisterType<PlayerFPS>(kClassPlayerFPS);
}

}  // namespace tge

// PlayerTP's command table, tree, linking, physics start and file record.
#include "objects/gameplay/characters/PlayerTP.h"

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandAccessors.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "objects/gameplay/characters/CharacterBody.h"
#include "objects/gameplay/characters/Horse.h"
#include "objects/scene/Camera.h"
#include "objects/scene/animation/SkinMesh.h"
#include "objects/ui/sound/Sound.h"
#include "services/EngineServices.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr auto E = CommandKind::kEvent;
constexpr int S = kCommandSetter;

constexpr std::uint32_t kCommandLookAtObject = 26;
constexpr std::uint32_t kCommandSetOrientationByObject = 27;
constexpr std::uint32_t kEntryInMotion = 0x2;
constexpr int kSpareWords = 10;
// The camera orbits its target from behind and above.
constexpr Vector3 kCameraPlace{0, 2, -3};
constexpr float kCameraYOffset = 1.0f, kCameraDistance = 3.0f;

}  // namespace

// clang-format off
using T = PlayerTP;
constexpr CommandEntry<PlayerTP> PlayerTP::kCommands[] = {
    {12500, "PlayerTPCrouchSpeed", P, 0, {kValueFloat}, FieldSetter<&T::crouchSpeed_>, FieldGetter<&T::crouchSpeed_>},
    {12502, "PlayerTPWalkSpeed", P, 0, {kValueFloat}, FieldSetter<&T::walkSpeed_>, FieldGetter<&T::walkSpeed_>},
    {12504, "PlayerTPRunSpeed", P, 0, {kValueFloat}, FieldSetter<&T::runSpeed_>, FieldGetter<&T::runSpeed_>},
    {12506, "PlayerTPJumpForce", P, 0, {kValueFloat}, FieldSetter<&T::jumpForce_>, FieldGetter<&T::jumpForce_>},
    {12508, "PlayerTPAutoAim", P, 0, {kValueBool}, FlagSetter<&T::options_, kPlayerTPAutoAim>, FlagGetter<&T::options_, kPlayerTPAutoAim>},
    {12510, "PlayerTPInverseLook", P, 0, {kValueBool}, FlagSetter<&T::options_, kPlayerTPInverseLook>, FlagGetter<&T::options_, kPlayerTPInverseLook>},
    {12512, "PlayerTPAutoLookahead", P, 0, {kValueBool}, FlagSetter<&T::options_, kPlayerTPAutoLookahead>, FlagGetter<&T::options_, kPlayerTPAutoLookahead>},
    {12514, "PlayerTPAutoModeHold", P, 0, {kValueBool}, FlagSetter<&T::options_, kPlayerTPAutoModeHold>, FlagGetter<&T::options_, kPlayerTPAutoModeHold>},
    {12516, "PlayerTPCrouchModeHold", P, 0, {kValueBool}, FlagSetter<&T::options_, kPlayerTPCrouchModeHold>, FlagGetter<&T::options_, kPlayerTPCrouchModeHold>},
    {12518, "PlayerTPVibration", P, 0, {kValueBool}, FlagSetter<&T::options_, kPlayerTPVibration>, FlagGetter<&T::options_, kPlayerTPVibration>},
    {12520, "PlayerTPVibrationMode", P, 0, {kValueDword}, ByteSetter<&T::options_, 8>, ByteGetter<&T::options_, 8>},
    {12522, "PlayerTPWeaponChangeMode", P, 0, {kValueDword}, ByteSetter<&T::options_, 16>, ByteGetter<&T::options_, 16>},
    {12524, "PlayerTPIdleAnimation", P, 0, {kValueString}, Member<&T::SetAnimationNameCommand<kIdle>>, Member<&T::GetAnimationNameCommand<kIdle>>},
    {12526, "PlayerTPWalkAnimation", P, 0, {kValueString}, Member<&T::SetAnimationNameCommand<kWalk>>, Member<&T::GetAnimationNameCommand<kWalk>>},
    {12528, "PlayerTPRunAnimation", P, 0, {kValueString}, Member<&T::SetAnimationNameCommand<kRun>>, Member<&T::GetAnimationNameCommand<kRun>>},
    {12530, "PlayerTPJumpAnimation", P, 0, {kValueString}, Member<&T::SetAnimationNameCommand<kJump>>, Member<&T::GetAnimationNameCommand<kJump>>},
    {12532, "PlayerTPJumpWalkAnimation", P, 0, {kValueString}, Member<&T::SetAnimationNameCommand<kJumpWalk>>, Member<&T::GetAnimationNameCommand<kJumpWalk>>},
    {12534, "PlayerTPJumpRunAnimation", P, 0, {kValueString}, Member<&T::SetAnimationNameCommand<kJumpRun>>, Member<&T::GetAnimationNameCommand<kJumpRun>>},
    {12536, "PlayerTPHealth", P, 0, {kValueFloat}, FieldSetter<&T::health_>, FieldGetter<&T::health_>},
    {12538, "PlayerTPMaxHealth", P, 0, {kValueFloat}, FieldSetter<&T::maxHealth_>, FieldGetter<&T::maxHealth_>},
    {12540, "PlayerTPEndurance", P, 0, {kValueFloat}, FieldSetter<&T::endurance_>, FieldGetter<&T::endurance_>},
    {12542, "PlayerTPMaxEndurance", P, 0, {kValueFloat}, FieldSetter<&T::maxEndurance_>, FieldGetter<&T::maxEndurance_>},
    {12544, "PlayerTPVision", P, 0, {kValueFloat}, FieldSetter<&T::vision_>, FieldGetter<&T::vision_>},
    {12546, "PlayerTPMaxVision", P, 0, {kValueFloat}, FieldSetter<&T::maxVision_>, FieldGetter<&T::maxVision_>},
    {12548, "PlayerTPHearing", P, 0, {kValueFloat}, FieldSetter<&T::hearing_>, FieldGetter<&T::hearing_>},
    {12550, "PlayerTPMaxHearing", P, 0, {kValueFloat}, FieldSetter<&T::maxHearing_>, FieldGetter<&T::maxHearing_>},
    {12552, "PlayerTPExhaustion", P, 0, {kValueFloat}, FieldSetter<&T::exhaustion_>, FieldGetter<&T::exhaustion_>},
    {12554, "PlayerTPMaxExhaustion", P, 0, {kValueFloat}, FieldSetter<&T::maxExhaustion_>, FieldGetter<&T::maxExhaustion_>},
    {12556, "AddPlayerTPHealth", C, 0, {kValueFloat}, Member<&T::AddHealthCommand>},
    {12557, "PlayerTPEnableAction", P, 0, {kValueBool}, Member<&T::SetEnableActionCommand>, FieldGetter<&T::enableAction_>},
    {12559, "PlayerTPPauseMovement", P, 0, {kValueBool}, Member<&T::SetPauseMovementCommand>, FlagGetter<&T::options_, kPlayerTPPauseMovement>},
    {12561, "PlayerTPPauseCamera", P, 0, {kValueBool}, FlagSetter<&T::options_, kPlayerTPPauseCamera>, FlagGetter<&T::options_, kPlayerTPPauseCamera>},
    {12563, "PlayerTPCameraCloseUp", P, 0, {kValueBool}, Member<&T::SetCameraCloseUpCommand>, FlagGetter<&T::options_, kPlayerTPCameraCloseUp>},
    {12565, "PlayerTPCameraCloseUpDistance", P, 0, {kValueFloat}, FieldSetter<&T::closeUpDistance_>, FieldGetter<&T::closeUpDistance_>},
    {12567, "PlayerTPPlayAnimation", C, S, {kValueString}, Member<&T::PlayAnimationCommand>},
    {12568, "PlayerTPNextAnimation", C, S, {kValueString}, Member<&T::NextAnimationCommand>},
    {12569, "PlayerTPEnterTransport", C, S, {kValueTreePath}, Member<&T::EnterTransportCommand>},
    {12570, "PlayerTPExitTransport", C, S, {}, Member<&T::ExitTransportCommand>},
    {12571, "PlayerTPEnableExitTransport", P, 0, {kValueBool}, FieldSetter<&T::exitEnabled_>, FieldGetter<&T::exitEnabled_>},
    {kEventEnableExitTransport, "OnPlayerTPEnableExitTransport", E, 0, {}},
    {kEventDisableExitTransport, "OnPlayerTPDisableExitTransport", E, 0, {}},
    {kEventRefuseExitTransport, "OnPlayerTPRefuseExitTransport", E, 0, {}},
    {kEventEnterTransport, "OnPlayerTPEnterTransport", E, 0, {}},
    {kEventExitTransport, "OnPlayerTPExitTransport", E, 0, {}},
};

std::span<const CommandEntry<PlayerTP>> PlayerTP::Commands() { return kCommands; }
// clang-format on

PlayerTP::PlayerTP() : Object(kClassPlayerTP) {}

void PlayerTP::PrepareShadow() {
  const EngineServices* services = GetEngineServices();
  if (services != nullptr && services->GetGraphicsDetailLevel() > kBlurredShadowDetail) GroundShadow::PrepareBlur();
}

int PlayerTP::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<PlayerTP> handlers(kClassPlayerTP, {kCommands});
  handlers.Run(*this, id, args);
  switch (id) {
    case kCommandSkinMeshAnimationStarted:
      if (args != nullptr) OnAnimationStarted(*static_cast<const std::int32_t*>(args));
      break;
    case Horse::kCommandRiderAnimation:
      if (args != nullptr) skinMesh_.PlayNow("Horse" + CommandArgs(args).AsString());
      break;
    case kCommandLookAtObject:
      if (Object* target = args != nullptr ? CommandArgs(args).GetPointer<Object>() : nullptr) {
        yaw_ = Vector3YawBetween(target->GetPositionWS(), GetPositionWS());
      }
      return 1;
    case kCommandSetOrientationByObject: {
      const int result = Object::ExecuteCommand(id, args);
      yaw_ = Vector3YawFlat(GetAxisZWS());
      return result;
    }
    case kCommandCreatePhysics: StartCharacterBody(*this, args); return 1;
    case kCommandStartPhysics: PassToCharacterChildren(*this, id, args); return 1;
    case kCommandInitializeNewObject: BuildTree(); break;
    // Collected by a load pass, also while kept inactive for a script to
    // copy in later: the blurred shadow is prepared then, not at its first.
    case kCommandCollectResources: PrepareShadow(); break;
    default: break;
  }
  return Object::ExecuteCommand(id, args);
}

int PlayerTP::FireEvent(int eventId, Object* sender) {
  if (eventId == kEventOnSpawn) yaw_ = Vector3YawFlat(GetAxisZWS());
  if (eventId == kEventEnableExitTransport) exitAllowedByEvents_ = 1;
  if (eventId == kEventDisableExitTransport) exitAllowedByEvents_ = 0;
  return Object::FireEvent(eventId, sender);
}

template <int Name>
int PlayerTP::SetAnimationNameCommand(CommandArgs args) {
  return StoreArgument(animations_[Name], args);
}

template <int Name>
int PlayerTP::GetAnimationNameCommand(CommandArgs args) {
  return LoadArgument(animations_[Name], args);
}

int PlayerTP::AddHealthCommand(CommandArgs args) {
  health_ = AddHealth(health_, args.Get<float>(), maxHealth_);
  return 1;
}

bool PlayerTP::HasRigidBody() const {
  const ObjectPhysics* physics = GetPhysics();
  return physics != nullptr && (physics->flags & kPhysicsEnableRigidBody) != 0;
}

int PlayerTP::SetEnableActionCommand(CommandArgs args) {
  if (state_ != PlayerTPState::kRiding && HasRigidBody()) enableAction_ = args.Get<std::int32_t>();
  return 1;
}

int PlayerTP::SetPauseMovementCommand(CommandArgs args) {
  if (state_ == PlayerTPState::kRiding) return StoreFlagArgument(options_, kPlayerTPPauseMovement, args);
  if (!HasRigidBody()) return 1;
  StoreFlagArgument(options_, kPlayerTPPauseMovement, args);
  const bool paused = (options_ & kPlayerTPPauseMovement) != 0;
  if (paused && state_ != PlayerTPState::kPlaying) skinMesh_.PlayNext(animations_[kIdle]);
  if (!paused && state_ == PlayerTPState::kPlaying) state_ = PlayerTPState::kFree;
  return 1;
}

int PlayerTP::SetCameraCloseUpCommand(CommandArgs args) {
  if (MountingOrRiding()) return 1;
  StoreFlagArgument(options_, kPlayerTPCameraCloseUp, args);
  Camera* camera = camera_.Get();
  if (camera == nullptr) return 1;
  const bool closeUp = (options_ & kPlayerTPCameraCloseUp) != 0;
  camera->SetPositionDistance(closeUp ? closeUpDistance_ : cameraDistance_);
  RestoreCameraTarget();
  return 1;
}

int PlayerTP::PlayAnimationCommand(CommandArgs args) {
  if (MountingOrRiding()) return 1;
  skinMesh_.PlayNow(args.AsString());
  skinMesh_.PlayNext(animations_[kIdle]);
  state_ = PlayerTPState::kPlaying;
  stateLength_ = skinMesh_.PlayingLength() + 0.2f;
  stateTime_ = restTimer_ = 0;
  return 1;
}

int PlayerTP::NextAnimationCommand(CommandArgs args) {
  if (MountingOrRiding()) return 1;
  skinMesh_.PlayNext(args.AsString());
  stateLength_ = 1e38f;
  return 1;
}

int PlayerTP::EnterTransportCommand(CommandArgs args) {
  EnterTransport(args.GetPointer<Object>());
  return 1;
}

int PlayerTP::ExitTransportCommand(CommandArgs) {
  StartDismount();
  return 1;
}

void PlayerTP::RestoreCameraTarget() {
  if (Object* target = cameraTarget_.Get()) target->SetPosition(cameraTargetRest_, true);
}

void PlayerTP::BuildTree() {
  SetUpCharacterBody(*this);
  AddCharacterSkin(*this, "SkinMesh");
  AddCharacterSpeaker(*this, "PlayerSpeaker");
  if (auto* camera = static_cast<Camera*>(CreateObject(kClassCamera, nullptr, *this, "Camera"))) {
    camera->SetType(kCameraFollow);
    camera->SetInheritOrientation(false);
    camera->SetWSOrientation(true);
    camera->SetPosition(kCameraPlace, true);
    camera->SetPositionYOffset(kCameraYOffset);
    camera->SetPositionDistance(kCameraDistance);
  }
  CreateObject(kClassObject, nullptr, *this, "Items");
  CreateObject(kClassObject, nullptr, *this, "CameraTarget");
}

// A child of the wrong class counts as missing.
void PlayerTP::FindChildren() {
  skinMesh_.Set(static_cast<SkinMesh*>(FindChildByClass(kClassSkinMesh)));
  speaker_.Set(static_cast<Sound*>(FindChildByName("PlayerSpeaker", kClassSound)));
  camera_.Set(static_cast<Camera*>(FindChildByClass(kClassCamera)));
  cameraTarget_.Set(FindChildByName("CameraTarget"));
  items_.Set(FindChildByName("Items"));
}

void PlayerTP::ForgetLinks() {
  skinMesh_.Reset();
  speaker_.Reset();
  camera_.Reset();
  doorInReach_.Reset();
  for (ObjectRef<>* ref : {&touchedObject_, &previousTouchedObject_, &cameraTarget_, &items_, &actionTarget_,
                           &transport_}) {
    ref->Reset();
  }
  shadowGround_.Reset();
  actionGeometry_ = -1;
}

void PlayerTP::Precalculate() {
  FindChildren();
  if (Object* target = cameraTarget_.Get()) cameraTargetRest_ = target->GetPosition();
  if (Camera* camera = camera_.Get()) {
    camera->Activate();
    cameraDistance_ = camera->GetPositionDistance();
    cameraSmoothing_ = camera->GetPositionSmooth();
    cameraHeight_ = camera->GetPositionYOffset();
  }
  EnableUpdate();
  Object::Precalculate();
  if (SkinMesh* skin = skinMesh_.Get()) {
    skin->SetAnimationListener(this);
    skin->SetAnimate(true);
    skin->SetFarSkinCache(false);
  }
  shadowGround_ = AcquireServiceResource("SimShadowPlane", kMeshResource);
  const EngineServices* services = GetEngineServices();
  if (services != nullptr && services->GetGraphicsDetailLevel() > 0) shadow_.Create(true);
  actionGeometry_ = -1;
  if (const ObjectPhysics* physics = GetPhysics()) {
    for (std::size_t i = 0; i < physics->geometries.size() && actionGeometry_ < 0; ++i) {
      if ((physics->geometries[i]->info & kGeometryEventOnly) != 0) actionGeometry_ = static_cast<std::int32_t>(i);
    }
  }
  yaw_ = Vector3YawFlat(GetAxisZWS());
  inMotion_ = 0;
}

void PlayerTP::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  ForgetLinks();
}

void PlayerTP::OnAnimationStarted(std::int32_t index) {
  SkinMesh* skin = skinMesh_.Get();
  const SkinMeshAnimationEntry* entry = skin != nullptr ? skin->GetAnimationEntry(index) : nullptr;
  if (entry == nullptr) return;
  inMotion_ = (entry->flags & kEntryInMotion) != 0 ? 1 : 0;
  Object* target = cameraTarget_.Get();
  if (inMotion_ != 0 && target != nullptr) target->SetPosition(target->GetPosition(), true);
  if (Sound* speaker = speaker_.Get()) speaker->PlaySoundEntry(skin->GetAlternativeAnimationName(index));
  if (state_ != PlayerTPState::kDismounting) return;
  if (Camera* camera = camera_.Get()) {
    camera->SetPositionSmooth(cameraSmoothing_);
    camera->SetTargetSmooth(cameraSmoothing_);
    camera->SetPositionYOffset(cameraHeight_);
  }
  // Told from inside the skin mesh's draw: the player leaves the transport
  // in its next update, not while the tree is being walked.
  stateLength_ = 0;
}

// The physics record may move within its Space once loaded.
bool PlayerTP::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version >= 1) {
    stream.Serialize(options_);
    for (int i = 0; i < kSpareWords; ++i) {
      std::uint32_t spare = 0;
      stream.Serialize(spare);
    }
  }
  if (version >= 62) {
    for (int name = kIdle; name <= kJumpRun; ++name) stream.SerializeString(animations_[static_cast<std::size_t>(name)]);
  }
  if (!stream.IsWriting() && GetPhysics() != nullptr) GetPhysics()->flags |= kPhysicsNotLockedInSpace;
  return !stream.Failed();
}

void RegisterPlayerTPCommands() {
  RegisterCommandTable<PlayerTP>(BuildCommandRegistry(), kClassPlayerTP, PlayerTP::Commands());
  GetObjectFactory().RegisterType<PlayerTP>(kClassPlayerTP);
}

}  // namespace tge

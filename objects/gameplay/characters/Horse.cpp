// Horse's command table, tree, linking, physics start and file record.
#include "objects/gameplay/characters/Horse.h"

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandAccessors.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/files/SerializeStream.h"
#include "objects/gameplay/characters/CharacterBody.h"
#include "objects/gameplay/characters/HorseRecording.h"
#include "objects/scene/Camera.h"
#include "objects/scene/animation/Bone.h"
#include "objects/scene/animation/SkinMesh.h"
#include "objects/ui/sound/Sound.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr auto E = CommandKind::kEvent;
constexpr int S = kCommandSetter;

constexpr std::uint32_t kCommandSetOrientationByObject = 27;
constexpr std::uint32_t kStopRecording = 199, kPauseRecording = 200, kResumeRecording = 201, kPlayRecording = 202,
                        kAddRecordingKey = 204, kPlayRecordingKey = 205;
constexpr std::uint32_t kCommandSetBoneRotationType = 1750;
// BoneRotation replaces the animated rotation of the bent bones.
constexpr std::int32_t kBoneRotationReplaces = 2;
constexpr std::uint32_t kEntryRootMotion = 0x2;

}  // namespace

// clang-format off
using H = Horse;
constexpr CommandEntry<Horse> Horse::kCommands[] = {
    {19750, "HorseHealth", P, 0, {kValueFloat}, FieldSetter<&H::health_>, FieldGetter<&H::health_>},
    {19752, "HorseMaxHealth", P, 0, {kValueFloat}, FieldSetter<&H::maxHealth_>, FieldGetter<&H::maxHealth_>},
    {19754, "HorseEndurance", P, 0, {kValueFloat}, FieldSetter<&H::endurance_>, FieldGetter<&H::endurance_>},
    {19756, "HorseMaxEndurance", P, 0, {kValueFloat}, FieldSetter<&H::maxEndurance_>, FieldGetter<&H::maxEndurance_>},
    {19758, "HorseVision", P, 0, {kValueFloat}, FieldSetter<&H::vision_>, FieldGetter<&H::vision_>},
    {19760, "HorseMaxVision", P, 0, {kValueFloat}, FieldSetter<&H::maxVision_>, FieldGetter<&H::maxVision_>},
    {19762, "HorseHearing", P, 0, {kValueFloat}, FieldSetter<&H::hearing_>, FieldGetter<&H::hearing_>},
    {19764, "HorseMaxHearing", P, 0, {kValueFloat}, FieldSetter<&H::maxHearing_>, FieldGetter<&H::maxHearing_>},
    {19766, "HorseExhaustion", P, 0, {kValueFloat}, FieldSetter<&H::exhaustion_>, FieldGetter<&H::exhaustion_>},
    {19768, "HorseMaxExhaustion", P, 0, {kValueFloat}, FieldSetter<&H::maxExhaustion_>, FieldGetter<&H::maxExhaustion_>},
    {19770, "AddHorseHealth", C, 0, {kValueFloat}, Member<&H::AddHealthCommand>},
    {19771, "HorseMinSpeed", P, 0, {kValueFloat}, Member<&H::SetGait<&HorseGaits::minSpeed>>, Member<&H::GetGait<&HorseGaits::minSpeed>>},
    {19773, "HorseMaxSpeed", P, 0, {kValueFloat}, Member<&H::SetGait<&HorseGaits::maxSpeed>>, Member<&H::GetGait<&HorseGaits::maxSpeed>>},
    {19775, "HorseSpeedChangeStep", P, 0, {kValueFloat}, FieldSetter<&H::speedChangeStep_>, FieldGetter<&H::speedChangeStep_>},
    {19777, "HorseMinSpeedChangeTime", P, 0, {kValueFloat}, FieldSetter<&H::minSpeedChangeTime_>, FieldGetter<&H::minSpeedChangeTime_>},
    {19779, "HorseWalkTreshold", P, 0, {kValueFloat}, Member<&H::SetGait<&HorseGaits::walk>>, Member<&H::GetGait<&HorseGaits::walk>>},
    {19781, "HorseTrotTreshold", P, 0, {kValueFloat}, Member<&H::SetGait<&HorseGaits::trot>>, Member<&H::GetGait<&HorseGaits::trot>>},
    {19783, "HorseCanterTreshold", P, 0, {kValueFloat}, Member<&H::SetGait<&HorseGaits::canter>>, Member<&H::GetGait<&HorseGaits::canter>>},
    {19785, "HorseGallopTreshold", P, 0, {kValueFloat}, Member<&H::SetGait<&HorseGaits::gallop>>, Member<&H::GetGait<&HorseGaits::gallop>>},
    {19787, "HorseReverseTreshold", P, 0, {kValueFloat}, Member<&H::SetGait<&HorseGaits::reverse>>, Member<&H::GetGait<&HorseGaits::reverse>>},
    {19789, "HorseCurrentMaxSpeed", P, 0, {kValueFloat}, FieldSetter<&H::currentMaxSpeed_>, FieldGetter<&H::currentMaxSpeed_>},
    {19791, "HorseSpeed", P, 0, {kValueFloat}, FieldSetter<&H::speed_>, FieldGetter<&H::speed_>},
    {19793, "HorseJumpEnable", P, 0, {kValueBool}, Member<&H::SetJumpEnableCommand>, Member<&H::GetJumpEnableCommand>},
    {19795, "HorseState", P, 0, {kValueDword}, Member<&H::SetStateCommand>, Member<&H::GetStateCommand>},
    {19797, "HorsePlayAnimation", C, S, {kValueString}, Member<&H::PlayAnimationCommand>},
    {19798, "HorseNextAnimation", C, S, {kValueString}, Member<&H::NextAnimationCommand>},
    {19800, "HorseBreak", C, 0, {}, Member<&H::BreakCommand>},
    {kEventStartIdle, "OnHorseStartIdle", E, 0, {}},
    {kEventStopIdle, "OnHorseStopIdle", E, 0, {}},
    {kEventChangeState, "OnHorseChangeState", E, 0, {}},
};

std::span<const CommandEntry<Horse>> Horse::Commands() { return kCommands; }
// clang-format on

HorseState HorseGaits::FromSpeed(float speed) const {
  if (speed < reverse) return kHorseReverse;
  if (speed < walk) return kHorseIdle;
  if (speed < trot) return kHorseWalk;
  if (speed < canter) return kHorseTrot;
  if (speed < gallop) return kHorseCanter;
  return kHorseGallop;
}

Horse::Horse() : Object(kClassHorse), currentMaxSpeed_(gaits_.maxSpeed) {}

int Horse::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Horse> handlers(kClassHorse, {kCommands});
  handlers.Run(*this, id, args);
  switch (id) {
    case kCommandSkinMeshAnimationStarted:
      if (args != nullptr) OnAnimationStarted(*static_cast<const std::int32_t*>(args));
      break;
    case kCommandSetOrientationByObject: {
      const int result = Object::ExecuteCommand(id, args);
      heading_ = Vector3YawFlat(GetAxisZWS());
      return result;
    }
    case kCommandCreatePhysics: StartCharacterBody(*this, args); return 1;
    case kCommandStartPhysics: PassToCharacterChildren(*this, id, args); return 1;
    case kCommandInitializeNewObject: BuildTree(); break;
    case kStopRecording:
    case kPauseRecording: heading_ = Vector3YawFlat(GetAxisZWS()); break;
    case kResumeRecording: SetState(previousState_, true); break;
    case kAddRecordingKey: AddRecordingKey(args); break;
    case kPlayRecording: return PlayRecording(args);
    case kPlayRecordingKey: return PlayRecordingKey(args);
    default: break;
  }
  return Object::ExecuteCommand(id, args);
}

std::unique_ptr<ObjectRecording> Horse::MakeRecording() const { return std::make_unique<HorseRecording>(); }

int Horse::FireEvent(int eventId, Object* sender) {
  if (eventId == kEventOnSpawn) heading_ = Vector3YawFlat(GetAxisZWS());
  return Object::FireEvent(eventId, sender);
}

template <float HorseGaits::*Field>
int Horse::SetGait(CommandArgs args) {
  return StoreArgument(gaits_.*Field, args);
}

template <float HorseGaits::*Field>
int Horse::GetGait(CommandArgs args) {
  return LoadArgument(gaits_.*Field, args);
}

int Horse::SetJumpEnableCommand(CommandArgs args) { return StoreFlagArgument(horseFlags_, kHorseJumpEnable, args); }

int Horse::GetJumpEnableCommand(CommandArgs args) { return LoadFlagArgument(horseFlags_, kHorseJumpEnable, args); }

int Horse::SetStateCommand(CommandArgs args) {
  SetState(static_cast<HorseState>(args.Get<std::int32_t>()), false);
  return 1;
}

int Horse::GetStateCommand(CommandArgs args) {
  args.Set<std::int32_t>(state_);
  return 1;
}

int Horse::AddHealthCommand(CommandArgs args) {
  health_ = AddHealth(health_, args.Get<float>(), maxHealth_);
  return 1;
}

int Horse::PlayAnimationCommand(CommandArgs args) {
  if (SkinMesh* skin = skinMesh_.Get()) skin->SetSkinMeshAnimation(args.AsString(), 0);
  skinMesh_.PlayNext("Idle");
  stateDuration_ = skinMesh_.PlayingLength() + 0.2f;
  if (state_ == kHorseAnimation) return 1;
  LeaveState();
  previousState_ = state_;
  state_ = kHorseAnimation;
  stateTime_ = 0;
  FireEvent(kEventChangeState, nullptr);
  return 1;
}

// The animation state then lasts until a script changes it.
int Horse::NextAnimationCommand(CommandArgs args) {
  if (state_ != kHorseAnimation) return 1;
  if (SkinMesh* skin = skinMesh_.Get()) skin->SetSkinMeshNextAnimation(args.AsString());
  stateDuration_ = 1e38f;
  return 1;
}

int Horse::BreakCommand(CommandArgs) {
  Break();
  return 1;
}

Camera* Horse::GetCamera() const { return camera_.Get(); }

Object* Horse::GetRider() const {
  Object* position = playerPosition_.Get();
  return position != nullptr ? position->GetChild(0) : nullptr;
}

void Horse::BuildTree() {
  SetUpCharacterBody(*this);
  AddCharacterSkin(*this, "HorseSkinMesh");
  AddCharacterSpeaker(*this, "HorseSpeaker");
  CreateObject(kClassObject, nullptr, *this, "HorseItems");
  CreateObject(kClassObject, nullptr, *this, "PlayerPosition");
}

// A child of the wrong class counts as missing.
void Horse::FindChildren() {
  skinMesh_.Set(static_cast<SkinMesh*>(FindChildByClass(kClassSkinMesh)));
  speaker_.Set(static_cast<Sound*>(FindChildByName("HorseSpeaker", kClassSound)));
  items_.Set(FindChildByName("HorseItems"));
  playerPosition_.Set(FindChildByName("PlayerPosition"));
  camera_.Set(static_cast<Camera*>(FindChildByName("HorseCamera", kClassCamera)));
  cameraTarget_.Set(FindChildByName("HorseCameraTarget"));
  spine2_.Set(static_cast<Bone*>(FindChildByName("Spine 2", kClassBone)));
  spine3_.Set(static_cast<Bone*>(FindChildByName("Spine 3", kClassBone)));
  neck1_.Set(static_cast<Bone*>(FindChildByName("Neck 1", kClassBone)));
}

void Horse::ForgetLinks() {
  skinMesh_.Reset();
  riderSkinMesh_.Reset();
  for (ObjectRef<Bone>* ref : {&spine2_, &spine3_, &neck1_}) ref->Reset();
  for (ObjectRef<>* ref : {&items_, &cameraTarget_, &playerPosition_, &contactObject_}) ref->Reset();
  speaker_.Reset();
  camera_.Reset();
}

void Horse::Precalculate() {
  FindChildren();
  for (Bone* bone : {spine2_.Get(), spine3_.Get(), neck1_.Get()}) {
    std::int32_t type = kBoneRotationReplaces;
    if (bone != nullptr) bone->ExecuteCommand(kCommandSetBoneRotationType, &type);
  }
  EnableUpdate();
  Object::Precalculate();
  if (SkinMesh* skin = skinMesh_.Get()) {
    skin->SetAnimationListener(this);
    skin->SetSkinMeshAnimation("NoRider_Idle", 0);
    skin->SetAnimate(true);
  }
  shadow_.Create(true);
  heading_ = Vector3YawFlat(GetAxisZWS());
  const ObjectPhysics* physics = GetPhysics();
  if (physics != nullptr && !physics->geometries.empty()) bodyDimension_ = physics->geometries[0]->dimension;
  rootMotionAnimation_ = 0;
  InvalidateTransform();
}

void Horse::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  ForgetLinks();
}

void Horse::OnAnimationStarted(std::int32_t index) {
  SkinMesh* skin = skinMesh_.Get();
  const SkinMeshAnimationEntry* entry = skin != nullptr ? skin->GetAnimationEntry(index) : nullptr;
  if (entry == nullptr) return;
  rootMotionAnimation_ = rootMotionAnimationCopy_ = (entry->flags & kEntryRootMotion) != 0 ? 1 : 0;
  if (Object* target = cameraTarget_.Get(); target != nullptr && rootMotionAnimation_ != 0) {
    Vector3 position = target->GetPosition();
    position.x = 0;
    target->SetPosition(position, true);
  }
  if (Sound* speaker = speaker_.Get()) speaker->PlaySoundEntry(skin->GetAlternativeAnimationName(index));
  Object* rider = GetRider();
  const bool mounting = state_ == kHorseMount || state_ == kHorseDismount || state_ == kHorseMountRight ||
                        state_ == kHorseDismountRight;
  if (rider == nullptr || mounting) return;
  std::string name = skin->GetAnimationName(index);
  const DeletionHold hold;
  rider->ExecuteCommand(kCommandRiderAnimation, &name);
}

// Jumping is enabled and the speed cap lifted after every load; a save
// changes nothing.
bool Horse::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  stream.Serialize(horseFlags_);
  for (float* value : {&health_, &maxHealth_, &endurance_, &maxEndurance_, &vision_, &maxVision_, &hearing_,
                       &maxHearing_, &exhaustion_, &maxExhaustion_}) {
    stream.Serialize(*value);
  }
  if (version > 44) {
    for (float* value : {&gaits_.minSpeed, &gaits_.maxSpeed, &speedChangeStep_, &minSpeedChangeTime_, &gaits_.walk,
                         &gaits_.trot}) {
      stream.Serialize(*value);
    }
  }
  if (version > 45) stream.Serialize(gaits_.canter);
  if (version >= 45) {
    stream.Serialize(gaits_.gallop);
    stream.Serialize(gaits_.reverse);
  }
  if (!stream.IsWriting()) {
    horseFlags_ |= kHorseJumpEnable;
    currentMaxSpeed_ = gaits_.maxSpeed;
  }
  return !stream.Failed();
}

void RegisterHorseCommands() {
  RegisterCommandTable<Horse>(BuildCommandRegistry(), kClassHorse, Horse::Commands());
  GetObjectFactory().RegisterType<Horse>(kClassHorse);
}

}  // namespace tge

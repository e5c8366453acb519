// AIPlayer's command table, links to its children, physics, contacts,
// damage, ground shadow and file record; its tasks are in AIPlayerTasks.cpp.
#include "objects/gameplay/characters/AIPlayer.h"

#include <algorithm>
#include <type_traits>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandAccessors.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/files/SerializeStream.h"
#include "core/math/Random.h"
#include "objects/gameplay/characters/Horse.h"
#include "objects/gameplay/navigation/PathRecord.h"
#include "objects/gameplay/navigation/VisionGraph.h"
#include "objects/gameplay/physics/PhysicsBody.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/physics/PhysicsMass.h"
#include "objects/gameplay/props/Door.h"
#include "objects/gameplay/world/HitMessage.h"
#include "objects/gameplay/world/Space.h"
#include "objects/scene/animation/Bone.h"
#include "objects/scene/animation/SkinMesh.h"
#include "objects/ui/sound/Sound.h"
#include "services/EngineServices.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

using A = AIPlayer;
using S = AIPlayerSettings;
constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr auto E = CommandKind::kEvent;
constexpr int Set = kCommandSetter;
constexpr std::int32_t kPath = kValueTreePath;

constexpr const char* kShadowPlane = "CharacterShadowPlane";
// The engine keeps no shadow detail setting: characters always draw theirs.
constexpr float kShadowLevel = 1.0f;
constexpr std::uint32_t kCommandSetOrientationByObject = 27;
constexpr int kSpareWords = 5;
constexpr int kFirstNamesVersion = 62;
constexpr int kLastIdleLodDefaultVersion = 70;

// Skeleton bone ids of the links.
constexpr int kShadowBoneA = 3, kShadowBoneB = 21, kLeftHandBone = 51, kRightHandBone = 70, kHeadBone = 47,
              kSpineBone = 38;

// Contact surfaces: a normal this upright is ground, one below this steep
// is a wall.
constexpr float kGroundNormal = 0.95f;
constexpr float kWallNormal = 0.4f;
constexpr float kWalkFriction = 3.5f;
constexpr float kNoSteerFriction = 2.0f;

}  // namespace

// clang-format off
constexpr CommandEntry<AIPlayer> AIPlayer::kCommands[] = {
    {15000, "AIPlayerIdleAnimation", P, 0, {kValueString}, Member<&A::SetAnimationName<kAIIdle>>, Member<&A::GetAnimationName<kAIIdle>>},
    {15002, "AIPlayerWalkAnimation", P, 0, {kValueString}, Member<&A::SetAnimationName<kAIWalk>>, Member<&A::GetAnimationName<kAIWalk>>},
    {15004, "AIPlayerRunAnimation", P, 0, {kValueString}, Member<&A::SetAnimationName<kAIRun>>, Member<&A::GetAnimationName<kAIRun>>},
    {15006, "AIPlayerJumpAnimation", P, 0, {kValueString}, Member<&A::SetAnimationName<kAIJump>>, Member<&A::GetAnimationName<kAIJump>>},
    {15008, "AIPlayerJumpWalkAnimation", P, 0, {kValueString}, Member<&A::SetAnimationName<kAIJumpWalk>>, Member<&A::GetAnimationName<kAIJumpWalk>>},
    {15010, "AIPlayerJumpRunAnimation", P, 0, {kValueString}, Member<&A::SetAnimationName<kAIJumpRun>>, Member<&A::GetAnimationName<kAIJumpRun>>},
    {15012, "AIPlayerHealth", P, 0, {kValueFloat}, Member<&A::SetHealthCommand>, Member<&A::GetField<&S::health>>},
    {15014, "AIPlayerMaxHealth", P, 0, {kValueFloat}, Member<&A::SetField<&S::maxHealth>>, Member<&A::GetField<&S::maxHealth>>},
    {15016, "AIPlayerEndurance", P, 0, {kValueFloat}, Member<&A::SetField<&S::endurance>>, Member<&A::GetField<&S::endurance>>},
    {15018, "AIPlayerMaxEndurance", P, 0, {kValueFloat}, Member<&A::SetField<&S::maxEndurance>>, Member<&A::GetField<&S::maxEndurance>>},
    {15020, "AIPlayerVision", P, 0, {kValueFloat}, Member<&A::SetField<&S::vision>>, Member<&A::GetField<&S::vision>>},
    {15022, "AIPlayerMaxVision", P, 0, {kValueFloat}, Member<&A::SetField<&S::maxVision>>, Member<&A::GetField<&S::maxVision>>},
    {15024, "AIPlayerHearing", P, 0, {kValueFloat}, Member<&A::SetField<&S::hearing>>, Member<&A::GetField<&S::hearing>>},
    {15026, "AIPlayerMaxHearing", P, 0, {kValueFloat}, Member<&A::SetField<&S::maxHearing>>, Member<&A::GetField<&S::maxHearing>>},
    {15028, "AIPlayerExhaustion", P, 0, {kValueFloat}, Member<&A::SetField<&S::exhaustion>>, Member<&A::GetField<&S::exhaustion>>},
    {15030, "AIPlayerMaxExhaustion", P, 0, {kValueFloat}, Member<&A::SetField<&S::maxExhaustion>>, Member<&A::GetField<&S::maxExhaustion>>},
    {15032, "GetAIPlayerNormalizedHealth", C, kCommandGetter, {kValueFloat}, Member<&A::GetNormalizedCommand<&S::health, &S::maxHealth>>},
    {15033, "GetAIPlayerNormalizedExhaustion", C, kCommandGetter, {kValueFloat}, Member<&A::GetNormalizedCommand<&S::exhaustion, &S::maxExhaustion>>},
    {15034, "AIPlayerEnableIdleLod", P, 0, {kValueBool}, Member<&A::SetIdleLodCommand>, Member<&A::GetIdleLodCommand>},
    {15036, "AIPlayerCharacterGroup", P, 0, {kValueDword}, Member<&A::SetField<&S::characterGroup>>, Member<&A::GetField<&S::characterGroup>>},
    {15038, "AIPlayerFightGroup", P, 0, {kValueDword}, Member<&A::SetField<&S::fightGroup>>, Member<&A::GetField<&S::fightGroup>>},
    {15040, "AIPlayerBeginTaskGroup", C, Set, {kValueString}, Member<&A::NothingCommand>},
    {15041, "AIPlayerEndTaskGroup", C, Set, {}, Member<&A::NothingCommand>},
    {15042, "AIPlayerDeleteTaskGroup", C, Set, {kValueString}, Member<&A::NothingCommand>},
    {15043, "AIPlayerClearTaskGroupTaskList", C, Set, {kValueString, kValueDword}, Member<&A::NothingCommand>},
    {15044, "AIPlayerClearTaskGroupSubTaskList", C, Set, {kValueString, kValueDword}, Member<&A::NothingCommand>},
    {15045, "AIPlayerSuspendPrimaryTaskGroup", C, Set, {}, Member<&A::SuspendCommand>},
    {15046, "AIPlayerResumePrimaryTaskGroup", C, Set, {}, Member<&A::ResumeCommand>},
    {15047, "AIPlayerBeginTaskWalkTo", C, Set, {kPath}, Member<&A::BeginWalkToCommand>},
    {15048, "AIPlayerBeginTaskRunTo", C, Set, {kPath}, Member<&A::BeginRunToCommand>},
    {15049, "AIPlayerBeginTaskGoTo", C, Set, {kPath}, Member<&A::BeginRunToCommand>},
    {15051, "AIPlayerBeginTaskAnimation", C, Set, {kValueString}, Member<&A::BeginNamedTaskCommand<AITaskType::kAnimation>>},
    {15052, "AIPlayerBeginTaskIdle", C, Set, {}, Member<&A::BeginIdleCommand>},
    {15053, "AIPlayerBeginTaskPerform", C, Set, {kValueString}, Member<&A::BeginNamedTaskCommand<AITaskType::kPerform>>},
    {15054, "AIPlayerBeginTaskAlign", C, Set, {kPath}, Member<&A::BeginTargetTaskCommand<AITaskType::kAlign>>},
    {15055, "AIPlayerBeginTaskTurnAt", C, Set, {kPath}, Member<&A::BeginTurnAtCommand>},
    {15056, "AIPlayerBeginTaskEnterTransport", C, Set, {kPath}, Member<&A::BeginTargetTaskCommand<AITaskType::kEnterTransport>>},
    {15057, "AIPlayerBeginTaskExitTransport", C, Set, {}, Member<&A::BeginExitTransportCommand>},
    {15058, "SetAIPlayerTaskTime", C, Set, {kValueFloat}, Member<&A::SetTaskTimeCommand>},
    {15059, "SetAIPlayerTaskTimeInfinite", C, Set, {}, Member<&A::SetTaskTimeInfiniteCommand>},
    {15060, "SetAIPlayerTaskLoop", C, Set, {kValueInt}, Member<&A::SetTaskLoopCommand>},
    {15061, "SetAIPlayerTaskLoopInfinite", C, Set, {}, Member<&A::SetTaskLoopInfiniteCommand>},
    {15062, "AIPlayerInsertTaskFirst", C, Set, {}, Member<&A::InsertTaskFirstCommand>},
    {15063, "AIPlayerInsertTaskLast", C, Set, {}, Member<&A::InsertTaskLastCommand>},
    {15064, "AIPlayerClearTaskList", C, Set, {}, Member<&A::ClearTaskListCommand>},
    {15065, "AIPlayerClearSubTaskList", C, Set, {kValueDword}, Member<&A::ClearSubTaskListCommand>},
    {15066, "AIPlayerBeginSubTaskLookAt", C, Set, {kPath}, Member<&A::BeginLookAtCommand>},
    {15067, "AIPlayerInsertSubTaskFirst", C, Set, {kValueDword}, Member<&A::InsertSubTaskFirstCommand>},
    {15068, "AIPlayerInsertSubTaskLast", C, Set, {kValueDword}, Member<&A::InsertSubTaskLastCommand>},
    {15069, "AIPlayerSensorCollisionCategory", P, 0, {kValueDword}, Member<&A::SetField<&S::sensorCategory>>, Member<&A::GetField<&S::sensorCategory>>},
    {15071, "AIPlayerSensorFar", P, 0, {kValueFloat}, Member<&A::SetField<&S::sensorFar>>, Member<&A::GetField<&S::sensorFar>>},
    {15073, "AIPlayerSensorMid", P, 0, {kValueFloat}, Member<&A::SetField<&S::sensorMid>>, Member<&A::GetField<&S::sensorMid>>},
    {15075, "AIPlayerSensorClose", P, 0, {kValueFloat}, Member<&A::SetField<&S::sensorClose>>, Member<&A::GetField<&S::sensorClose>>},
    {15077, "AIPlayerSensorNear", P, 0, {kValueFloat}, Member<&A::SetField<&S::sensorNear>>, Member<&A::GetField<&S::sensorNear>>},
    {15079, "AIPlayerCurrentGroupDamage", P, 0, {kValueDword}, Member<&A::SetField<&S::currentGroupDamage>>, Member<&A::GetField<&S::currentGroupDamage>>},
    {15081, "AIPlayerGroupDamageMul", P, 0, {kValueFloat}, Member<&A::SetGroupDamageMulCommand>, Member<&A::GetGroupDamageMulCommand>},
    {15083, "AIPlayerDamage", P, 0, {kValueFloat}, Member<&A::SetField<&S::damage>>, Member<&A::GetField<&S::damage>>},
    {15085, "AIPlayerDamageGroup", P, 0, {kValueDword}, Member<&A::SetField<&S::damageGroup>>, Member<&A::GetField<&S::damageGroup>>},
    {15087, "OnAIPlayerEnterSensorFar", E, 0, {}},
    {15088, "OnAIPlayerExitSensorFar", E, 0, {}},
    {15089, "OnAIPlayerEnterSensorMid", E, 0, {}},
    {15090, "OnAIPlayerExitSensorMid", E, 0, {}},
    {15091, "OnAIPlayerEnterSensorClose", E, 0, {}},
    {15092, "OnAIPlayerExitSensorClose", E, 0, {}},
    {15093, "OnAIPlayerEnterSensorNear", E, 0, {}},
    {15094, "OnAIPlayerExitSensorNear", E, 0, {}},
    {kEventChangeHealth, "OnAIPlayerChangeHealth", E, 0, {}},
};

std::span<const CommandEntry<AIPlayer>> AIPlayer::Commands() { return kCommands; }

constexpr CommandEntry<AIPlayer> AIPlayer::kHiddenCommands[] = {
    {15050, "AIPlayerBeginTaskObject", C, 0, {kValuePointer}, Member<&A::BeginTargetTaskCommand<AITaskType::kObject>>},
};

std::span<const CommandEntry<AIPlayer>> AIPlayer::HiddenCommands() { return kHiddenCommands; }
// clang-format on

AIPlayer::AIPlayer() : Object(kClassAIPlayer) {}

// A copy keeps the settings and the world-space flags; its links, tasks
// and path are its own, found again by Precalculate.
AIPlayer::AIPlayer(const AIPlayer& source) : Object(source), settings_(source.settings_), yaw_(source.yaw_) {}

AIPlayer::~AIPlayer() = default;

SkinMesh* AIPlayer::GetSkinMesh() const { return skinMesh_.Get(); }

int AIPlayer::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<AIPlayer> handlers(kClassAIPlayer, {kCommands, kHiddenCommands});
  handlers.Run(*this, id, args);
  switch (id) {
    case kCommandCollectResources:
      if (EngineServices* services = GetEngineServices(); services != nullptr && !shadowMesh_) {
        shadowMesh_ = services->GetResources().AcquireResource(kShadowPlane, kMeshResource);
      }
      if (args != nullptr) static_cast<ResourceSet*>(args)->AddToResourceSet(shadowMesh_.Get());
      break;
    case kCommandSetOrientationByObject: {
      const int result = Object::ExecuteCommand(id, args);
      SetYawFromAxis();
      return result;
    }
    case kCommandCreatePhysics:
      CreatePhysics();
      return 1;
    case kCommandStartPhysics:
      StartChildrenPhysics();
      return 1;
    case kCommandSetSpace: FindVisionGraph(static_cast<Space*>(args)); break;
    case kCommandChildDeleted:
    case kCommandChildMoved: ForgetChild(static_cast<const Object*>(args)); break;
    case kApplyHit:
      if (args != nullptr) ApplyHit(*static_cast<const HitMessage*>(args));
      break;
    case kCommandSkinMeshAnimationStarted:
      if (args != nullptr) AnimationStarted(CommandArgs(args).Get<std::int32_t>());
      break;
    case Horse::kCommandRiderAnimation:
      if (args != nullptr) skinMesh_.PlayNow("Horse" + CommandArgs(args).AsString());
      break;
    default: break;
  }
  return Object::ExecuteCommand(id, args);
}

template <auto Field>
int AIPlayer::SetField(CommandArgs args) {
  return StoreArgument(settings_.*Field, args);
}

template <auto Field>
int AIPlayer::GetField(CommandArgs args) {
  return LoadArgument(settings_.*Field, args);
}

template <int Index>
int AIPlayer::SetAnimationName(CommandArgs args) {
  return StoreArgument(settings_.animations[Index], args);
}

template <int Index>
int AIPlayer::GetAnimationName(CommandArgs args) {
  return LoadArgument(settings_.animations[Index], args);
}

// Raised even when the value does not change.
int AIPlayer::SetHealthCommand(CommandArgs args) {
  settings_.health = args.Get<float>();
  const DeletionHold hold;
  FireEvent(kEventChangeHealth, nullptr);
  return 1;
}

// A maximum of 0 answers 0, not a division by zero.
template <float AIPlayerSettings::*Value, float AIPlayerSettings::*Maximum>
int AIPlayer::GetNormalizedCommand(CommandArgs args) {
  const float maximum = settings_.*Maximum;
  args.Set<float>(maximum == 0 ? 0.0f : settings_.*Value / maximum);
  return 1;
}

int AIPlayer::SetIdleLodCommand(CommandArgs args) { return StoreFlagArgument(settings_.aiFlags, kEnableIdleLod, args); }

int AIPlayer::GetIdleLodCommand(CommandArgs args) { return LoadFlagArgument(settings_.aiFlags, kEnableIdleLod, args); }

int AIPlayer::SetGroupDamageMulCommand(CommandArgs args) {
  if (settings_.currentGroupDamage < settings_.groupDamageMul.size()) {
    settings_.groupDamageMul[settings_.currentGroupDamage] = args.Get<float>();
  }
  return 1;
}

int AIPlayer::GetGroupDamageMulCommand(CommandArgs args) {
  if (settings_.currentGroupDamage < settings_.groupDamageMul.size()) {
    args.Set<float>(settings_.groupDamageMul[settings_.currentGroupDamage]);
  }
  return 1;
}

int AIPlayer::NothingCommand(CommandArgs) { return 1; }

// Attaching files an object in its parent's Space without the set-Space
// message, so a loaded character takes its cell's path mesh here.
void AIPlayer::Precalculate() {
  LinkChildren();
  FindVisionGraph(GetSpace());
  path_ = std::make_unique<PathRecord>();
  if (EngineServices* services = GetEngineServices(); services != nullptr && !shadowMesh_) {
    shadowMesh_ = services->GetResources().AcquireResource(kShadowPlane, kMeshResource);
  }
  EnableUpdate();
  Object::Precalculate();
  SkinMesh* skin = skinMesh_.Get();
  if (skin == nullptr) return;
  shadowBoneA_.Set(skin->GetBoneObject(kShadowBoneA));
  shadowBoneB_.Set(skin->GetBoneObject(kShadowBoneB));
  leftHandBone_.Set(skin->GetBoneObject(kLeftHandBone));
  rightHandBone_.Set(skin->GetBoneObject(kRightHandBone));
  headBone_.Set(skin->GetBoneObject(kHeadBone));
  spineBone_.Set(skin->GetBoneObject(kSpineBone));
  skin->SetAnimationListener(this);
  skinMesh_.PlayNow(Animation(kAIIdle));
  skin->SetFarSkinCache((settings_.aiFlags & kEnableIdleLod) != 0);
}

void AIPlayer::LinkChildren() {
  skinMesh_.Set(static_cast<SkinMesh*>(FindChildByClass(kClassSkinMesh)));
  speaker_.Set(static_cast<Sound*>(FindChildByName("PlayerSpeaker", kClassSound)));
  items_.Set(FindChildByName("Items"));
  leftHand_.Set(FindChildByName("LeftHand"));
  rightHand_.Set(FindChildByName("RightHand"));
  head_.Set(FindChildByName("Head"));
  spine2_.Set(FindChildByName("Spine2"));
}

// The skin mesh takes its bones along.
void AIPlayer::ForgetChild(const Object* child) {
  if (child == nullptr) return;
  if (skinMesh_.Get() == child) {
    for (ObjectRef<Bone>* bone : {&shadowBoneA_, &shadowBoneB_, &leftHandBone_, &rightHandBone_, &headBone_, &spineBone_}) {
      bone->Reset();
    }
    skinMesh_.Reset();
    return;
  }
  for (ObjectRef<>* link : {&leftHand_, &rightHand_, &items_}) {
    if (*link == child) return link->Reset();
  }
  if (speaker_.Get() == child) speaker_.Reset();
}

VisionGraph* AIPlayer::GetVisionGraph() const { return visionGraph_.Get(); }

void AIPlayer::FindVisionGraph(Space* space) {
  visionGraph_.Reset();
  if (space == nullptr) return;
  const Space* searched = space->IsInherit() && space->GetParentSpace() != nullptr ? space->GetParentSpace() : space;
  visionGraph_.Set(static_cast<VisionGraph*>(searched->FindChildByClass(kClassVisionGraph)));
}

// The body never turns and never falls asleep: a sleeping body takes no
// surface motion, so an AI idle for a moment would never walk again.
void AIPlayer::CreatePhysics() {
  if (!GetActive()) return;
  if (ObjectHooks* hooks = GetObjectHooks()) hooks->CreateObjectPhysics(*this);
  if (PhysicsBody* body = GetBody()) {
    const dBodyID ode = ToOde(body);
    EnableBodyRotation(ode, 0);
    SetBodyAngularVel(ode, {});
    SetBodyInertia(ode, {0.1f, 0.1f, 0.1f});
    SetBodyAutoDisable(ode, 0);
  }
  const DeletionHold hold;
  for (int i = 0; i < GetChildCount(); ++i) {
    Object* child = GetChild(i);
    if (child->GetClassId() != kClassSkinMesh) child->ExecuteCommand(kCommandCreatePhysics, nullptr);
  }
}

void AIPlayer::StartChildrenPhysics() {
  if (!GetActive()) return;
  const DeletionHold hold;
  for (int i = 0; i < GetChildCount(); ++i) {
    Object* child = GetChild(i);
    if (child->GetClassId() != kClassSkinMesh && !child->HasFlag(kFlagBlockStartPhysics)) {
      child->ExecuteCommand(kCommandStartPhysics, nullptr);
    }
  }
}

int AIPlayer::FireEvent(int eventId, Object* sender) {
  if (eventId == kEventOnSpawn) SetYawFromAxis();
  return Object::FireEvent(eventId, sender);
}

void AIPlayer::SetYawFromAxis() { yaw_ = Vector3YawFlat(GetAxisZWS()); }

void AIPlayer::Update() {
  if (!GetActive() || !skinMesh_) return;
  const DeletionHold hold;
  const float dt = GetFrameTime();
  OpenTouchedDoor();
  bool move = true;
  StepTaskLists(dt, move);
  if (taskLists_[0].empty()) skinMesh_.PlayNext(Animation(kAIIdle));
  SkinMesh* skin = skinMesh_.Get();
  if (move && skin != nullptr) {
    skin->UpdateAnimation(dt);
    Quaternion rotation;
    SetRotation(QuaternionFromYawPitchRoll(rotation, yaw_, 0, 0), true);
    rootVelocity_ = {0, 0, skin->GetRootMotion().z};
    forward_ = GetAxisZWS();
    if (Vector3Length(rootVelocity_) > 0 && dt > 0) Vector3Scale(rootVelocity_, rootVelocity_, 1.0f / dt);
  }
  CarryChildren();
  touchedCharacter_.Reset();
  touchedDoor_.Reset();
}

// Across Spaces the door is in the way; within one Space only a door that
// does not stand in a connection is.
void AIPlayer::OpenTouchedDoor() {
  Door* door = touchedDoor_.Get();
  Object* target = target_.Get();
  if (door == nullptr || target == nullptr || door->GetState() != DoorState::kClosed) return;
  if (GetSpace() != target->GetSpace() || door->IsInConnectionSpace() == 0) door->Open(this);
}

void AIPlayer::CarryChildren() {
  const std::pair<ObjectRef<>*, ObjectRef<Bone>*> carried[] = {
      {&leftHand_, &leftHandBone_}, {&rightHand_, &rightHandBone_}, {&head_, &headBone_}, {&spine2_, &spineBone_}};
  for (const auto& [child, bone] : carried) {
    Object* object = child->Get();
    Bone* from = bone->Get();
    if (object == nullptr || from == nullptr) continue;
    object->SetPosition(from->GetPositionWS(), false);
    object->SetRotation(from->GetRotationWS(), true);
  }
}

void AIPlayer::AnimationStarted(std::int32_t index) {
  SkinMesh* skin = skinMesh_.Get();
  if (skin == nullptr) return;
  if (const SkinMeshAnimationEntry* entry = skin->GetAnimationEntry(index)) {
    const std::int32_t noSteer = (entry->flags & kSkinEntryNoAITurning) != 0 ? 1 : 0;
    if (noSteer_ == 0 && noSteer != 0) noSteerStart_ = GetPositionWS();
    noSteer_ = noSteer;
  }
  skin->SetAnimationSpeedMul(1.0f + 0.15f * RandomSigned());
  if (Sound* speaker = speaker_.Get()) speaker->PlaySoundEntry(skin->GetAlternativeAnimationName(index));
}

// Floors and slopes move the body by surface motion along its heading; a
// wall keeps the surface the near callback gave it; a touched character
// makes every contact frictionless, so characters slide past each other.
int AIPlayer::HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts, int count) {
  Object* owner = other != nullptr ? other->owner : nullptr;
  if (other != nullptr && (other->info & kGeometryEventOnly) != 0) {
    if (owner != nullptr && owner->GetClassId() == kClassDoor) touchedDoor_.Set(static_cast<Door*>(owner));
    return kContactUsual;
  }
  const bool character =
      owner != nullptr && (owner->GetClassId() == kClassAIPlayer || owner->GetClassId() == kClassPlayerTP);
  if (character) touchedCharacter_.Set(owner);
  PhysicsGeom* mine = own->transformGeometry != nullptr ? own->transformGeometry : own->geometry;
  const bool second = count > 0 && contacts[0].geom.g2 == ToOde(mine);
  const float sign = second ? -1.0f : 1.0f;
  // The contact joint moves its first body at the surface's speed; a
  // static geometry is never its first body, but a moving one may be.
  const float motionSign = second && owner != nullptr && owner->GetBody() != nullptr ? -1.0f : 1.0f;
  for (int i = 0; i < count; ++i) {
    ContactParameters& contact = contacts[i];
    const float normalY = static_cast<float>(contact.geom.normal[1]) * sign;
    if (normalY > kGroundNormal) {
      groundHeight_ = static_cast<float>(contact.geom.pos[1]) + normalY * static_cast<float>(contact.geom.depth);
      onGround_ = 1;
    }
    if (std::abs(normalY) >= kWallNormal) {
      contact.surface.mode |= dContactFDir1 | dContactMotion1 | dContactMotion2;
      contact.surface.mu += kWalkFriction + (noSteer_ != 0 ? kNoSteerFriction : 0.0f);
      contact.fdir1[0] += forward_.x;
      contact.fdir1[1] += forward_.y;
      contact.fdir1[2] += forward_.z;
      contact.surface.motion1 += motionSign * rootVelocity_.z;
      contact.surface.motion2 += motionSign * rootVelocity_.x;
    }
    if (character) contact.surface.mu = 0;
  }
  return kContactKeepSurface;
}

int AIPlayer::ApplyHit(const HitMessage& hit) {
  SkinMesh* skin = skinMesh_.Get();
  if (settings_.health <= 0 || skin == nullptr) return 0;
  float amount = hit.damage;
  if (hit.damageGroup >= 1 && hit.damageGroup <= settings_.groupDamageMul.size()) {
    amount *= settings_.groupDamageMul[hit.damageGroup - 1];
    if (const Bone* bone = skin->FindNearestBone(hit.position, false, true)) amount *= bone->GetDamageMul();
    if (amount <= 0) return 0;
  }
  settings_.health = std::max(0.0f, settings_.health - amount);
  if (!FireEventStillHere(kEventChangeHealth, nullptr)) return 1;
  const bool dead = settings_.health == 0;
  // On an idle AI the reaction itself runs; otherwise it ends the running task.
  const bool idle = taskLists_[0].empty();
  AppendPrimaryTask(dead ? AITaskType::kDie : AITaskType::kGetHit, target_.Get(), dead ? "Die" : "Gethit", 0);
  StartTask(0, !idle);
  return 1;
}

void AIPlayer::Draw() {
  if (GetActive() && shadowMesh_ && kShadowLevel > 0.1f) {
    shadowAlpha_ = std::clamp(shadowAlpha_ + (onGround_ != 0 ? 2.0f : -2.0f) * GetFrameTime(), 0.0f, 1.0f);
    onGround_ = 0;
    EngineServices* services = GetEngineServices();
    if (shadowAlpha_ > 0 && services != nullptr) {
      shadowMatrix_ = GetWorldMatrix();
      shadowMatrix_.m[13] = groundHeight_ + 0.01f;
      Bone* a = shadowBoneA_.Get();
      Bone* b = shadowBoneB_.Get();
      if (a != nullptr && b != nullptr) {
        const float stretch = std::clamp((a->GetDistanceTo(*b) - 0.15f) * 3.5f + 1.0f, 0.0f, 3.0f);
        Matrix4 scaling;
        const Matrix4 placed = shadowMatrix_;
        Matrix4Multiply(shadowMatrix_, Matrix4Scaling(scaling, 1.1f, 1.0f, stretch), placed);
      }
      const gfx::ColorValue colour{1, 1, 1, shadowAlpha_};
      const gfx::Material params{colour, colour, {}, {}, 0};
      services->GetRenderQueue().QueueMesh(shadowMesh_.Get(), shadowMatrix_, nullptr, &params, 1.0f, nullptr);
    }
  }
  Object::Draw();
}

bool AIPlayer::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version >= 1) {
    AIPlayerSettings& s = settings_;
    stream.Serialize(s.aiFlags);
    std::uint32_t spare[kSpareWords] = {};
    stream.Serialize(spare);
    stream.Serialize(s.characterGroup);
    stream.Serialize(s.fightGroup);
    stream.Serialize(s.reserved);
    for (float* value : {&s.health, &s.maxHealth, &s.endurance, &s.maxEndurance, &s.vision, &s.maxVision, &s.hearing,
                         &s.maxHearing, &s.exhaustion, &s.maxExhaustion}) {
      stream.Serialize(*value);
    }
    stream.Serialize(s.sensorCategory);
    for (float* value : {&s.sensorFar, &s.sensorMid, &s.sensorClose, &s.sensorNear}) stream.Serialize(*value);
    stream.Serialize(s.groupDamageMul);
    stream.Serialize(s.damage);
    stream.Serialize(s.damageGroup);
  }
  if (version >= kFirstNamesVersion) {
    for (std::string& name : settings_.animations) stream.SerializeString(name);
  }
  if (!stream.IsWriting() && version <= kLastIdleLodDefaultVersion) settings_.aiFlags |= kEnableIdleLod;
  return !stream.Failed();
}

void RegisterAIPlayerCommands() {
  RegisterCommandTable<AIPlayer>(BuildCommandRegistry(), kClassAIPlayer, AIPlayer::Commands());
  GetObjectFactory().RegisterType<AIPlayer>(kClassAIPlayer);
}

}  // namespace tge

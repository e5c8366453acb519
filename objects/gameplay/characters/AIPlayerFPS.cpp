// AIPlayerFPS's command table, linking, physics, contacts, shadow and file
// record.
#include "objects/gameplay/characters/AIPlayerFPS.h"

#include <cmath>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandAccessors.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/files/SerializeStream.h"
#include "core/math/Matrix4.h"
#include "objects/gameplay/navigation/VisionGraph.h"
#include "objects/gameplay/physics/PhysicsBody.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "objects/gameplay/physics/PhysicsGeometry.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/physics/PhysicsMass.h"
#include "objects/gameplay/world/HitMessage.h"
#include "objects/gameplay/world/Space.h"
#include "objects/scene/animation/Bone.h"
#include "objects/scene/animation/SkinMesh.h"
#include "objects/ui/sound/Sound.h"
#include "services/EngineServices.h"
#include "services/render/RenderQueue.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr auto E = CommandKind::kEvent;
constexpr int kLeftLookBone = 47;
constexpr int kRightLookBone = 42;
constexpr float kBodyInertia = 0.1f;
constexpr float kShadowLift = 0.05f;
constexpr int kScratchWords = 4;
constexpr const char* kGetHitAnimations[] = {"N_Gethit_LeftFoot", "N_Gethit_RightFoot", "N_Gethit_Body",
                                             "N_Gethit_Head",     "N_Gethit_LeftArm",   "N_Gethit_RightArm"};

}  // namespace

// "AIPlayerFPSUseDieAnimation" is registered after the fight group; the
// ids bind.
// clang-format off
using A = AIPlayerFPS;
constexpr CommandEntry<AIPlayerFPS> AIPlayerFPS::kCommands[] = {
    {10750, "AIPlayerFPSType", P, 0, {kValueDword}, FieldSetter<&A::type_>, FieldGetter<&A::type_>},
    {10752, "AIPlayerFPSHealth", P, 0, {kValueFloat}, Member<&A::SetHealthCommand>, FieldGetter<&A::health_>},
    {10754, "AIPlayerFPSMaxHealth", P, 0, {kValueFloat}, FieldSetter<&A::maxHealth_>, FieldGetter<&A::maxHealth_>},
    {10756, "AIPlayerFPSEndurance", P, 0, {kValueFloat}, FieldSetter<&A::endurance_>, FieldGetter<&A::endurance_>},
    {10758, "AIPlayerFPSMaxEndurance", P, 0, {kValueFloat}, FieldSetter<&A::maxEndurance_>, FieldGetter<&A::maxEndurance_>},
    {10760, "AIPlayerFPSVision", P, 0, {kValueFloat}, FieldSetter<&A::vision_>, FieldGetter<&A::vision_>},
    {10762, "AIPlayerFPSMaxVision", P, 0, {kValueFloat}, FieldSetter<&A::maxVision_>, FieldGetter<&A::maxVision_>},
    {10764, "AIPlayerFPSHearing", P, 0, {kValueFloat}, FieldSetter<&A::hearing_>, FieldGetter<&A::hearing_>},
    {10766, "AIPlayerFPSMaxHearing", P, 0, {kValueFloat}, FieldSetter<&A::maxHearing_>, FieldGetter<&A::maxHearing_>},
    {10768, "AIPlayerFPSExhaustion", P, 0, {kValueFloat}, FieldSetter<&A::exhaustion_>, FieldGetter<&A::exhaustion_>},
    {10770, "AIPlayerFPSMaxExhaustion", P, 0, {kValueFloat}, FieldSetter<&A::maxExhaustion_>, FieldGetter<&A::maxExhaustion_>},
    {10772, "AddAIPlayerHealth", C, kCommandSetter, {kValueFloat}, Member<&A::AddHealthCommand>},
    {10773, "GetAIPlayerFPSNormalizedHealth", C, kCommandGetter, {kValueFloat}, Member<&A::NormalizedHealthCommand>},
    {10774, "GetAIPlayerFPSNormalizedExhaustion", C, kCommandGetter, {kValueFloat}, Member<&A::NormalizedExhaustionCommand>},
    {10777, "AIPlayerFPSCharacterGroup", P, 0, {kValueDword}, FieldSetter<&A::characterGroup_>, FieldGetter<&A::characterGroup_>},
    {10779, "AIPlayerFPSFightGroup", P, 0, {kValueDword}, FieldSetter<&A::fightGroup_>, FieldGetter<&A::fightGroup_>},
    {10775, "AIPlayerFPSUseDieAnimation", P, 0, {kValueBool}, Member<&A::SetUseDieAnimationCommand>, Member<&A::GetUseDieAnimationCommand>},
    {10781, "AIPlayerFPSCurrentGroupDamage", P, 0, {kValueDword}, FieldSetter<&A::currentGroupDamage_>, FieldGetter<&A::currentGroupDamage_>},
    {10783, "AIPlayerFPSGroupDamageMul", P, 0, {kValueFloat}, Member<&A::SetGroupDamageMulCommand>, Member<&A::GetGroupDamageMulCommand>},
    {10785, "AIPlayerFPSDamage", P, 0, {kValueFloat}, FieldSetter<&A::damage_>, FieldGetter<&A::damage_>},
    {10787, "AIPlayerFPSDamageGroup", P, 0, {kValueDword}, FieldSetter<&A::damageGroup_>, FieldGetter<&A::damageGroup_>},
    {10789, "AIPlayerFPSSensorFar", P, 0, {kValueFloat}, FieldSetter<&A::sensorFar_>, FieldGetter<&A::sensorFar_>},
    {10791, "AIPlayerFPSSensorMid", P, 0, {kValueFloat}, FieldSetter<&A::sensorMid_>, FieldGetter<&A::sensorMid_>},
    {10793, "AIPlayerFPSSensorClose", P, 0, {kValueFloat}, FieldSetter<&A::sensorClose_>, FieldGetter<&A::sensorClose_>},
    {10795, "AIPlayerFPSSensorNear", P, 0, {kValueFloat}, FieldSetter<&A::sensorNear_>, FieldGetter<&A::sensorNear_>},
    {10797, "SetAIPlayerFPSStateIdle", C, 0, {}, Member<&A::SetStateIdleCommand>},
    {10798, "SetAIPlayerFPSStateMotion", C, 0, {kValueString128}, Member<&A::SetStateMotionCommand>},
    {10799, "AIPlayerPause", C, 0, {}, Member<&A::SetPausedCommand<1>>},
    {10800, "AIPlayerResume", C, 0, {}, Member<&A::SetPausedCommand<0>>},
    {10802, "AIPlayerFPSAttackEvaluationTime", P, 0, {kValueFloat}, FieldSetter<&A::attackEvaluationTime_>, FieldGetter<&A::attackEvaluationTime_>},
    {10804, "OnAIPlayerFPSStartIdle", E, 0, {}},
    {10805, "OnAIPlayerFPSStopIdle", E, 0, {}},
    {10806, "OnAIPlayerFPSStartFollow", E, 0, {}},
    {10807, "OnAIPlayerFPSStopFollow", E, 0, {}},
    {10808, "OnAIPlayerFPSStartFight", E, 0, {}},
    {10809, "OnAIPlayerFPSStopFight", E, 0, {}},
    {10810, "OnAIPlayerFPSStartAttack", E, 0, {}},
    {10811, "OnAIPlayerFPSStopAttack", E, 0, {}},
    {10812, "OnAIPlayerFPSStartGetHit", E, 0, {}},
    {10813, "OnAIPlayerFPSStopGetHit", E, 0, {}},
    {10814, "OnAIPlayerFPSStartScared", E, 0, {}},
    {10815, "OnAIPlayerFPSStopScared", E, 0, {}},
    {10816, "OnAIPlayerFPSStartDead", E, 0, {}},
    {10817, "OnAIPlayerFPSStopDead", E, 0, {}},
    {10818, "OnAIPlayerFPSEnterSensorFar", E, 0, {}},
    {10819, "OnAIPlayerFPSExitSensorFar", E, 0, {}},
    {10820, "OnAIPlayerFPSEnterSensorMid", E, 0, {}},
    {10821, "OnAIPlayerFPSExitSensorMid", E, 0, {}},
    {10822, "OnAIPlayerFPSEnterSensorClose", E, 0, {}},
    {10823, "OnAIPlayerFPSExitSensorClose", E, 0, {}},
    {10824, "OnAIPlayerFPSEnterSensorNear", E, 0, {}},
    {10825, "OnAIPlayerFPSExitSensorNear", E, 0, {}},
    {kEventChangeHealth, "OnAIPlayerFPSChangeHealth", E, 0, {}},
};

std::span<const CommandEntry<AIPlayerFPS>> AIPlayerFPS::Commands() { return kCommands; }
// clang-format on

AIPlayerFPS::AIPlayerFPS() : Object(kClassAIPlayerFPS) {
  for (float& mul : groupDamageMul_) mul = 1.0f;
}

int AIPlayerFPS::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<AIPlayerFPS> handlers(kClassAIPlayerFPS, {kCommands});
  handlers.Run(*this, id, args);
  switch (id) {
    case kCommandCreatePhysics: CreatePhysics(args); return 1;
    case kCommandStartPhysics: StartChildPhysics(args); return 1;
    case kCommandSetSpace: JoinSpace(args); break;
    case kCommandChildDeleted:
    case kCommandChildMoved:
      if (args != nullptr && args == skinMesh_.Get()) skinMesh_.Reset();
      break;
    case kSetStateWithTarget: SetStateWithTargetCommand(CommandArgs(args)); break;
    case kApplyHit: ApplyHitCommand(CommandArgs(args)); break;
    case kCommandSkinMeshAnimationStarted: AnimationStartedCommand(CommandArgs(args)); break;
    default: break;
  }
  return Object::ExecuteCommand(id, args);
}

// Raised even when the value is unchanged.
int AIPlayerFPS::SetHealthCommand(CommandArgs args) {
  health_ = args.Get<float>();
  FireEvent(kEventChangeHealth, nullptr);
  return 1;
}

// A negative value is a hit at the character itself.
int AIPlayerFPS::AddHealthCommand(CommandArgs args) {
  const float value = args.Get<float>();
  if (value >= 0) {
    health_ += value;
    return 1;
  }
  const Vector3 position = GetPositionWS();
  const Vector3 direction = GetAxisZWS();
  Hit(nullptr, 0, -value, &position, &direction, 0);
  return 1;
}

// A maximum of 0 reads as nothing left.
int AIPlayerFPS::NormalizedHealthCommand(CommandArgs args) {
  args.Set(maxHealth_ != 0 ? health_ / maxHealth_ : 0.0f);
  return 1;
}

int AIPlayerFPS::NormalizedExhaustionCommand(CommandArgs args) {
  args.Set(maxExhaustion_ != 0 ? exhaustion_ / maxExhaustion_ : 0.0f);
  return 1;
}

int AIPlayerFPS::SetUseDieAnimationCommand(CommandArgs args) { return StoreFlagArgument(flags_, kUseDieAnimation, args); }

int AIPlayerFPS::GetUseDieAnimationCommand(CommandArgs args) { return LoadFlagArgument(flags_, kUseDieAnimation, args); }

int AIPlayerFPS::SetGroupDamageMulCommand(CommandArgs args) {
  if (currentGroupDamage_ < kGroupCount) groupDamageMul_[currentGroupDamage_] = args.Get<float>();
  return 1;
}

int AIPlayerFPS::GetGroupDamageMulCommand(CommandArgs args) {
  if (currentGroupDamage_ < kGroupCount) args.Set(groupDamageMul_[currentGroupDamage_]);
  return 1;
}

int AIPlayerFPS::SetStateIdleCommand(CommandArgs) {
  if (health_ > 0) SetState(kIdle);
  return 1;
}

int AIPlayerFPS::SetStateMotionCommand(CommandArgs args) {
  SkinMesh* skin = GetSkinMesh();
  if (health_ <= 0) return 1;
  const std::string name = args.GetText128();
  if (skin != nullptr) {
    skin->SetSkinMeshAnimation(name, 0);
    skin->SetSkinMeshNextAnimation(name);
    motionLength_ = skin->GetAnimationLength(skin->GetCurrentEntryIndex());
  }
  SetState(kMotion);
  return 1;
}

template <std::int32_t Value>
int AIPlayerFPS::SetPausedCommand(CommandArgs) {
  paused_ = Value;
  return 1;
}

int AIPlayerFPS::SetStateWithTargetCommand(CommandArgs args) {
  if (args.IsNull()) return 0;
  const auto block = args.Get<StateWithTarget>();
  if (block.state > kDead) return 0;
  target_.Set(block.target);
  SetState(static_cast<State>(block.state));
  return 1;
}

int AIPlayerFPS::ApplyHitCommand(CommandArgs args) {
  if (args.IsNull()) return 0;
  const auto hit = args.Get<HitMessage>();
  Hit(hit.attacker, hit.damageGroup, hit.damage, &hit.position, &hit.direction, hit.extra);
  return 1;
}

// A new animation may forbid turning; the speaker says its name.
int AIPlayerFPS::AnimationStartedCommand(CommandArgs args) {
  SkinMesh* skin = GetSkinMesh();
  if (args.IsNull() || skin == nullptr) return 0;
  const int index = args.Get<std::int32_t>();
  const SkinMeshAnimationEntry* entry = skin->GetAnimationEntry(index);
  if (entry == nullptr) return 0;
  const std::int32_t noTurning = (entry->flags & kSkinEntryNoAITurning) != 0 ? 1 : 0;
  if (noTurning != noTurning_) timeSinceNoTurningChange_ = 0;
  noTurning_ = noTurning;
  Object* speaker = speaker_.Get();
  if (speaker == nullptr || speaker->GetClassId() != kClassSound) return 1;
  const std::string name = skin->GetAnimationName(index);
  static_cast<Sound*>(speaker)->PlaySoundEntry(name.rfind("N_G", 0) == 0 ? "N_Gethit0" : name);
  return 1;
}

SkinMesh* AIPlayerFPS::GetSkinMesh() const { return static_cast<SkinMesh*>(skinMesh_.Get()); }

VisionGraph* AIPlayerFPS::GetVisionGraph() const { return static_cast<VisionGraph*>(visionGraph_.Get()); }

// The body turns only by the character's own yaw, never falls asleep (a
// sleeping body takes no surface motion) and has a small, equal inertia.
void AIPlayerFPS::CreatePhysics(void* args) {
  if (!GetActive()) return;
  if (ObjectHooks* hooks = GetObjectHooks()) hooks->CreateObjectPhysics(*this);
  if (PhysicsBody* body = GetBody()) {
    EnableBodyRotation(ToOde(body), 0);
    SetBodyAutoDisable(ToOde(body), 0);
    ApplyBodyVector(BodyVector::kSetAngularVelocity, {});
    SetBodyInertia(ToOde(body), {kBodyInertia, kBodyInertia, kBodyInertia});
  }
  const DeletionHold hold;
  for (int i = 0; i < GetChildCount(); ++i) {
    Object* child = GetChild(i);
    if (child->GetClassId() != kClassSkinMesh) child->ExecuteCommand(kCommandCreatePhysics, args);
  }
}

void AIPlayerFPS::StartChildPhysics(void* args) {
  if (!GetActive()) return;
  const DeletionHold hold;
  for (int i = 0; i < GetChildCount(); ++i) {
    Object* child = GetChild(i);
    if (child->GetClassId() != kClassSkinMesh && !child->HasFlag(kFlagBlockStartPhysics)) {
      child->ExecuteCommand(kCommandStartPhysics, args);
    }
  }
}

// The path mesh of the cell, or of its parent when the cell inherits.
void AIPlayerFPS::JoinSpace(void* args) {
  visionGraph_.Reset();
  auto* space = static_cast<Space*>(args);
  if (space == nullptr) return;
  const Space* searched = space->IsInherit() && space->GetParentSpace() != nullptr ? space->GetParentSpace() : space;
  std::vector<Object*> graphs;
  searched->CollectDescendants(graphs, kClassVisionGraph, -1);
  if (!graphs.empty()) visionGraph_.Set(graphs.front());
}

void AIPlayerFPS::FindChildren() {
  skinMesh_.Set(FindChildByClass(kClassSkinMesh));
  speaker_.Set(FindChildByName("Speaker", kClassSound));
  attackTrailLeft_.Set(FindChildByName("AttackTrailLeft"));
  attackTrailRight_.Set(FindChildByName("AttackTrailRight"));
}

// Attaching files an object in its parent's Space without the set-Space
// message, so a loaded character takes its cell's path mesh here.
void AIPlayerFPS::Precalculate() {
  FindChildren();
  JoinSpace(GetSpace());
  if (path_.Get() == nullptr) path_.Make();
  EnableUpdate();
  Object::Precalculate();
  state_ = kIdle;
  previousState_ = kNoState;
  if (SkinMesh* skin = GetSkinMesh()) {
    leftLookBone_.Set(skin->GetBoneObject(kLeftLookBone));
    rightLookBone_.Set(skin->GetBoneObject(kRightLookBone));
    skin->SetAnimationListener(this);
    skin->SetSkinMeshAnimation("N_Neutral", 0);
    for (int i = 0; i < 6; ++i) {
      const std::uint32_t bit = 1u << (kGetHitBitsShift + i);
      flags_ = skin->HasAnimation(kGetHitAnimations[i]) != 0 ? flags_ | bit : flags_ & ~bit;
    }
  }
  if (EngineServices* services = GetEngineServices(); services != nullptr && !shadowMesh_) {
    shadowMesh_ = services->GetResources().AcquireResource("SimShadowPlane", kMeshResource);
  }
}

// The copy finds its own children and path, has no target and has touched
// nothing.
void AIPlayerFPS::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  for (ObjectRef<>* ref : {&skinMesh_, &speaker_, &attackTrailLeft_, &attackTrailRight_, &leftLookBone_,
                           &rightLookBone_, &target_, &previousTarget_, &touchedDoor_, &touchedProp_}) {
    ref->Reset();
  }
  sensed_.clear();
}

int AIPlayerFPS::FireEvent(int eventId, Object* sender) {
  if (eventId == kEventOnSpawn) yaw_ = Vector3YawFlat(GetAxisZWS());
  return Object::FireEvent(eventId, sender);
}

int AIPlayerFPS::HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts, int count) {
  Object* owner = other != nullptr ? other->owner : nullptr;
  if (other != nullptr && (other->info & kGeometryEventOnly) != 0) {
    if (owner != nullptr && owner->GetClassId() == kClassDoor) touchedDoor_.Set(owner);
    return kContactUsual;
  }
  if (owner != nullptr && (other->collisionBits & 1u) == 0) {
    const int classId = owner->GetClassId();
    if (classId == kClassAIPlayerFPS) touchingAI_ = true;
    if (classId == kClassPlayerFPS) touchingPlayer_ = true;
    if (classId == kClassSimObject) touchedProp_.Set(owner);
  }
  PhysicsGeom* mine = own->transformGeometry != nullptr ? own->transformGeometry : own->geometry;
  for (int i = 0; i < count; ++i) {
    ContactParameters& contact = contacts[i];
    const float sign = contact.geom.g2 == ToOde(mine) ? -1.0f : 1.0f;
    const Vector3 normal{static_cast<float>(contact.geom.normal[0]) * sign,
                         static_cast<float>(contact.geom.normal[1]) * sign,
                         static_cast<float>(contact.geom.normal[2]) * sign};
    const Vector3 point{static_cast<float>(contact.geom.pos[0]), static_cast<float>(contact.geom.pos[1]),
                        static_cast<float>(contact.geom.pos[2])};
    const float ny = std::fabs(normal.y);
    if (ny > 0.9f) {
      groundFound_ = true;
      groundHeight_ = normal.y * static_cast<float>(contact.geom.depth) + point.y;
    }
    if (ny >= 0.4f) {
      contact.surface.mode |= dContactFDir1 | dContactMotion1 | dContactMotion2;
      contact.surface.mu += 2.5;
      contact.fdir1[0] += forwardAxis_.x;
      contact.fdir1[1] += forwardAxis_.y;
      contact.fdir1[2] += forwardAxis_.z;
      contact.surface.motion1 += rootVelocity_.z;
      contact.surface.motion2 += rootVelocity_.x;
      floorContact_ = true;
    } else {
      wallNormal_ = normal;
      wallPoint_ = point;
      wallContact_ = true;
    }
  }
  return kContactKeepSurface;
}

void AIPlayerFPS::Draw() {
  if (!GetActive()) return;
  timeSinceDrawn_ = 0;
  DrawShadow();
  Object::Draw();
}

// A shadow under the feet that fades in over ground and out elsewhere.
void AIPlayerFPS::DrawShadow() {
  EngineServices* services = GetEngineServices();
  if (!shadowMesh_ || state_ == kDead) return;
  shadowAlpha_ += groundFound_ ? GetFrameTime() : -GetFrameTime();
  shadowAlpha_ = std::fmin(std::fmax(shadowAlpha_, 0.0f), 1.0f);
  groundFound_ = false;
  if (shadowAlpha_ <= 0 || services == nullptr) return;
  const Matrix4& world = GetWorldMatrix();
  Matrix4 placement;
  Matrix4Translation(placement, world.m[12], groundHeight_ + kShadowLift, world.m[14]);
  services->GetRenderQueue().QueueMesh(shadowMesh_.Get(), placement, nullptr, nullptr, shadowAlpha_, nullptr);
}

bool AIPlayerFPS::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version >= 1) {
    stream.Serialize(flags_);
    stream.Serialize(type_);
    stream.Serialize(characterGroup_);
    stream.Serialize(fightGroup_);
    stream.Serialize(reserved_);
    stream.Serialize(attackEvaluationTime_);
    std::uint32_t scratch[kScratchWords] = {};
    stream.Serialize(scratch);
  }
  if (version >= 11) {
    for (float* value : {&health_, &maxHealth_, &endurance_, &maxEndurance_, &vision_, &maxVision_, &hearing_,
                         &maxHearing_, &exhaustion_, &maxExhaustion_}) {
      stream.Serialize(*value);
    }
  }
  if (version >= 22) stream.Serialize(groupDamageMul_);
  if (version >= 23) {
    stream.Serialize(damage_);
    stream.Serialize(damageGroup_);
  }
  // A loaded character is free to leave its cell; saving changes nothing.
  if (!stream.IsWriting() && GetPhysics() != nullptr) GetPhysics()->flags |= kPhysicsNotLockedInSpace;
  return !stream.Failed();
}

void RegisterAIPlayerFPSCommands() {
  RegisterCommandTable<AIPlayerFPS>(BuildCommandRegistry(), kClassAIPlayerFPS, AIPlayerFPS::Commands());
  GetObjectFactory().RegisterType<AIPlayerFPS>(kClassAIPlayerFPS);
}

}  // namespace tge

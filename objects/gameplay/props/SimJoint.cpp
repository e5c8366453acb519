// SimJoint's command table, joint, damage, creak and file record.
#include "objects/gameplay/props/SimJoint.h"

#include <cmath>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandAccessors.h"
#include "core/ObjectFactory.h"
#include "core/World.h"
#include "core/files/SerializeStream.h"
#include "objects/gameplay/physics/PhysicsBody.h"
#include "objects/gameplay/physics/PhysicsJoint.h"
#include "objects/gameplay/props/JointHinge.h"
#include "objects/gameplay/props/JointObject.h"
#include "objects/gameplay/props/JointUniversal.h"
#include "objects/gameplay/world/HitMessage.h"
#include "services/EngineServices.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr auto E = CommandKind::kEvent;

constexpr int kEventOnSimJointDie = 11287;
constexpr std::uint32_t kHinge = 0;
constexpr std::uint32_t kUniversal = 1;
constexpr int kFileVersionHealth = 34;
constexpr float kSoundPeriod = 0.066f;
// The second body may come to rest however slowly it drifts.
constexpr AutoDisableSettings kFirstBodySleep{1.0f, 0.1f, 2.0f, 1};
constexpr AutoDisableSettings kSecondBodySleep{0.0f, 0.1f, 2.0f, 1};
// The file holds the motor values before the stop values, and no StopCFM.
constexpr SimJointParameter kFileOrder[] = {kSimJointCFM,       kSimJointLoStop,     kSimJointHiStop,
                                            kSimJointVelocity,  kSimJointMaxForce,   kSimJointFudgeFactor,
                                            kSimJointStopBounce, kSimJointStopERP};

}  // namespace

// clang-format off
using S = SimJoint;
constexpr CommandEntry<SimJoint> SimJoint::kCommands[] = {
    {11250, "SimJointType", P, 0, {kValueDword}, Member<&S::SetByteCommand<kSimJointTypeMask, kSimJointTypeShift>>, Member<&S::GetByteCommand<kSimJointTypeMask, kSimJointTypeShift>>},
    {11252, "SimJointAxis", P, 0, {kValueDword}, Member<&S::SetByteCommand<kSimJointAxisMask, 0>>, Member<&S::GetByteCommand<kSimJointAxisMask, 0>>},
    {11254, "SimJointCFM", P, 0, {kValueVector3}, Member<&S::SetParameterCommand<kSimJointCFM>>, Member<&S::GetParameterCommand<kSimJointCFM>>},
    {11256, "SimJointLoStop", P, 0, {kValueVector3}, Member<&S::SetParameterCommand<kSimJointLoStop>>, Member<&S::GetParameterCommand<kSimJointLoStop>>},
    {11258, "SimJointHiStop", P, 0, {kValueVector3}, Member<&S::SetParameterCommand<kSimJointHiStop>>, Member<&S::GetParameterCommand<kSimJointHiStop>>},
    {11260, "SimJointStopCFM", P, 0, {kValueVector3}, Member<&S::SetParameterCommand<kSimJointStopCFM>>, Member<&S::GetParameterCommand<kSimJointStopCFM>>},
    {11262, "SimJointStopERP", P, 0, {kValueVector3}, Member<&S::SetParameterCommand<kSimJointStopERP>>, Member<&S::GetParameterCommand<kSimJointStopERP>>},
    {11264, "SimJointStopBounce", P, 0, {kValueVector3}, Member<&S::SetParameterCommand<kSimJointStopBounce>>, Member<&S::GetParameterCommand<kSimJointStopBounce>>},
    {11266, "SimJointVelocity", P, 0, {kValueVector3}, Member<&S::SetParameterCommand<kSimJointVelocity>>, Member<&S::GetParameterCommand<kSimJointVelocity>>},
    {11268, "SimJointMaxForce", P, 0, {kValueVector3}, Member<&S::SetParameterCommand<kSimJointMaxForce>>, Member<&S::GetParameterCommand<kSimJointMaxForce>>},
    {11270, "SimJointFudgeFactor", P, 0, {kValueVector3}, Member<&S::SetParameterCommand<kSimJointFudgeFactor>>, Member<&S::GetParameterCommand<kSimJointFudgeFactor>>},
    {11272, "SimJointSound", P, 0, {kValueString}, Member<&S::SetSoundCommand>, FieldGetter<&S::soundName_>},
    {11274, "SimJointStopSound", P, 0, {kValueString}, Member<&S::SetStopSoundCommand>, FieldGetter<&S::stopSoundName_>},
    {11276, "SimJointSoundMinRange", P, 0, {kValueFloat}, FieldSetter<&S::soundMinRange_>, FieldGetter<&S::soundMinRange_>},
    {11278, "SimJointSoundMaxRange", P, 0, {kValueFloat}, FieldSetter<&S::soundMaxRange_>, FieldGetter<&S::soundMaxRange_>},
    {11280, "SimJointHealth", P, 0, {kValueFloat}, FieldSetter<&S::health_>, FieldGetter<&S::health_>},
    {11282, "SimJointResiveDamage", P, 0, {kValueDword}, FieldSetter<&S::damageMask_>, FieldGetter<&S::damageMask_>},
    {11284, "SimJointBreakOnDie", P, 0, {kValueBool}, Member<&S::SetBreakOnDieCommand>, Member<&S::GetBreakOnDieCommand>},
    {11286, "SimJointBreak", C, 0, {}, Member<&S::BreakCommand>},
    {11287, "OnSimJointDie", E, 0, {}},
};

std::span<const CommandEntry<SimJoint>> SimJoint::Commands() { return kCommands; }
// clang-format on

SimJoint::SimJoint() : Object(kClassSimJoint) {
  parameters_.fill({});
  parameters_[kSimJointCFM] = parameters_[kSimJointStopCFM] = {0.00001f, 0.00001f, 0.00001f};
  parameters_[kSimJointFudgeFactor] = {1, 1, 1};
  parameters_[kSimJointStopERP] = {0.4f, 0.4f, 0.4f};
}

SimJoint::~SimJoint() { ReleaseJoint(); }

// The copy makes its own joint and takes its sounds at the next collection.
void SimJoint::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  joint_ = nullptr;
  sound_.Reset();
  stopSound_.Reset();
}

int SimJoint::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<SimJoint> handlers(kClassSimJoint, {kCommands});
  handlers.Run(*this, id, args);
  switch (id) {
    case kCommandCollectResources:
      if (args != nullptr) CollectResources(args);
      break;
    case kCommandStartPhysics:
      if (!GetActive()) return 0;
      CreateJoint();
      break;
    case kCommandStopPhysics:
      ReleaseJoint();
      break;
    case kApplyHit:
      if (args != nullptr) ApplyHit(*static_cast<const HitMessage*>(args));
      break;
    default:
      break;
  }
  return Object::ExecuteCommand(id, args);
}

template <std::size_t Index>
int SimJoint::SetParameterCommand(CommandArgs args) {
  parameters_[Index] = args.Get<Vector3>();
  return 1;
}

template <std::size_t Index>
int SimJoint::GetParameterCommand(CommandArgs args) {
  args.Set(parameters_[Index]);
  return 1;
}

template <std::uint32_t Mask, std::uint32_t Shift>
int SimJoint::SetByteCommand(CommandArgs args) {
  flags_ = (flags_ & ~Mask) | ((args.Get<std::uint32_t>() << Shift) & Mask);
  return 1;
}

template <std::uint32_t Mask, std::uint32_t Shift>
int SimJoint::GetByteCommand(CommandArgs args) {
  args.Set<std::uint32_t>((flags_ & Mask) >> Shift);
  return 1;
}

int SimJoint::SetBreakOnDieCommand(CommandArgs args) { return StoreFlagArgument(flags_, kSimJointBreakOnDie, args); }

int SimJoint::GetBreakOnDieCommand(CommandArgs args) { return LoadFlagArgument(flags_, kSimJointBreakOnDie, args); }

// The next resource collection takes the sound of the new name.
int SimJoint::SetSoundCommand(CommandArgs args) {
  soundName_ = args.AsString();
  sound_.Reset();
  return 1;
}

int SimJoint::SetStopSoundCommand(CommandArgs args) {
  stopSoundName_ = args.AsString();
  stopSound_.Reset();
  return 1;
}

int SimJoint::BreakCommand(CommandArgs) {
  ReleaseJoint();
  return 1;
}

void SimJoint::CollectResources(void* set) {
  EngineServices* services = GetEngineServices();
  if (services == nullptr) return;
  for (auto [name, ref] : {std::pair{&soundName_, &sound_}, std::pair{&stopSoundName_, &stopSound_}}) {
    if (!*ref && !name->empty()) *ref = services->GetResources().AcquireResource(*name, kSoundResource);
    static_cast<ResourceSet*>(set)->AddToResourceSet(ref->Get());
  }
}

// The damage group picks a bit of the mask; -1 is group 31.
void SimJoint::ApplyHit(const HitMessage& hit) {
  if (((damageMask_ >> (hit.damageGroup & 31u)) & 1u) == 0) return;
  health_ -= hit.damage;
  if (health_ > 0) return;
  if (!FireEventStillHere(kEventOnSimJointDie, hit.attacker)) return;
  if ((flags_ & kSimJointBreakOnDie) != 0) ReleaseJoint();
}

bool SimJoint::ChooseAxes(Vector3& axis1, Vector3& axis2) {
  const Vector3 x = GetAxisXWS(), y = GetAxisYWS(), z = GetAxisZWS();
  const Vector3 choices[6][2] = {{x, z}, {y, x}, {z, y}, {-x, -z}, {-y, -z}, {-z, -x}};
  const std::uint32_t choice = flags_ & kSimJointAxisMask;
  if (choice >= 6) return false;
  axis1 = choices[choice][0];
  axis2 = choices[choice][1];
  return true;
}

void SimJoint::CreateJoint() {
  const JointBodies bodies = FindJointBodies(*this);
  if (bodies.first == nullptr && bodies.second == nullptr) return;
  if (joint_ != nullptr) {
    DestroyJoint(joint_);
    joint_ = nullptr;
  }
  EnableUpdate();
  if (bodies.first != nullptr) ApplyAutoDisable(bodies.first, kFirstBodySleep);
  if (bodies.second != nullptr) ApplyAutoDisable(bodies.second, kSecondBodySleep);
  if (GetType() == kHinge) joint_ = BuildHinge(bodies.first, bodies.second);
  if (GetType() == kUniversal) joint_ = BuildUniversal(bodies.first, bodies.second);
}

dJointID SimJoint::BuildHinge(dBodyID first, dBodyID second) {
  World* world = GetWorld();
  dJointID joint = CreateHingeJoint(world != nullptr ? world->GetPhysicsWorld() : nullptr);
  if (joint == nullptr) return nullptr;
  AttachJoint(joint, first, second);
  SetHingeAnchor(joint, GetPositionWS());
  Vector3 axis1, axis2;
  if (ChooseAxes(axis1, axis2)) SetHingeAxis(joint, axis1);
  const auto setters = HingeParameterSetters();
  for (std::size_t i = 0; i < kSimJointParameterCount; ++i) setters[i](joint, parameters_[i].x);
  return joint;
}

dJointID SimJoint::BuildUniversal(dBodyID first, dBodyID second) {
  World* world = GetWorld();
  dJointID joint = CreateUniversalJoint(world != nullptr ? world->GetPhysicsWorld() : nullptr);
  if (joint == nullptr) return nullptr;
  AttachJoint(joint, first, second);
  SetUniversalAnchor(joint, GetPositionWS());
  Vector3 axis1, axis2;
  if (ChooseAxes(axis1, axis2)) {
    SetUniversalAxis2(joint, axis2);
    SetUniversalAxis1(joint, axis1);
  }
  const auto setters = UniversalParameterSetters();
  for (std::size_t i = 0; i < kSimJointParameterCount; ++i) {
    setters[kSimJointParameterCount + i](joint, parameters_[i].y);
  }
  for (std::size_t i = 0; i < kSimJointParameterCount; ++i) setters[i](joint, parameters_[i].x);
  return joint;
}

void SimJoint::ReleaseJoint() {
  if (joint_ == nullptr) return;
  DestroyJoint(joint_);
  joint_ = nullptr;
  DisableUpdate();
  EngineServices* services = GetEngineServices();
  if (services != nullptr && sound_) services->StopSound(sound_.Get());
}

void SimJoint::Update() { UpdateSound(); }

bool SimJoint::AnyBodyAwake() const {
  for (int index : {0, 1}) {
    dBodyID body = dJointGetBody(joint_, index);
    if (body != nullptr && tge::IsBodyEnabled(body)) return true;
  }
  return false;
}

float SimJoint::TurnRate() const {
  if (GetType() == kUniversal) return GetUniversalAngleRate1(joint_) + GetUniversalAngleRate2(joint_);
  return GetHingeAngleRate(joint_);
}

// The creak plays while the joint turns, louder and higher the faster it
// turns; with both bodies asleep it keeps its last settings.
void SimJoint::UpdateSound() {
  if (!GetActive()) return;
  soundTimer_ += GetFrameTime();
  EngineServices* services = GetEngineServices();
  if (joint_ == nullptr || !sound_ || services == nullptr || soundTimer_ <= kSoundPeriod) return;
  soundTimer_ = 0;
  if (!AnyBodyAwake()) return;
  const float rate = TurnRate();
  Resource* sound = sound_.Get();
  if (!services->IsSoundPlaying(sound)) {
    services->StartSound(sound, 1);
    services->SetSoundDistances(sound, soundMinRange_, soundMaxRange_);
  }
  services->UpdateSoundVolume(sound, std::abs(rate) * 0.5f);
  services->SetSoundFrequency(sound, std::abs(rate) * 0.02f + 0.8f + (rate > 0 ? 0.1f : 0.0f));
  if (GetChildCount() > 0) {
    const Vector3 position = GetChild(0)->GetPositionWS();
    services->SetSoundPosition(sound, &position);
  }
}

bool SimJoint::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() < 1) return !stream.Failed();
  stream.Serialize(flags_);
  for (SimJointParameter index : kFileOrder) stream.Serialize(parameters_[index]);
  stream.SerializeString(soundName_);
  stream.SerializeString(stopSoundName_);
  stream.Serialize(soundMinRange_);
  stream.Serialize(soundMaxRange_);
  if (stream.GetVersion() < kFileVersionHealth) return !stream.Failed();
  stream.Serialize(health_);
  stream.Serialize(damageMask_);
  return !stream.Failed();
}

void RegisterSimJointCommands() {
  RegisterCommandTable<SimJoint>(BuildCommandRegistry(), kClassSimJoint, SimJoint::Commands());
  GetObjectFactory().RegisterType<SimJoint>(kClassSimJoint);
}

}  // namespace tge

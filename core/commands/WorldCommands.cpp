// The World's command table, its physics settings with their hand-over to
// the physics world, the blur and bloom amounts, and its file record. The
// clock commands are in World.cpp, the frame passes in WorldPhysics.cpp.
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/World.h"
#include "core/WorldPhysicsHooks.h"
#include "core/files/SerializeStream.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr int kFirstVersionWithErpAndCfm = 36;

constexpr std::uint32_t kUpdateBlur = 14276;
constexpr std::uint32_t kUpdateBloom = 14277;

}  // namespace

// clang-format off
std::span<const CommandEntry<World>> World::Commands() {
  static const CommandEntry<World> table[] = {
    {14250, "WorldEnablePhysics", P, 0, {kValueBool}, Member<&World::SetEnablePhysicsCommand>, Member<&World::GetEnablePhysicsCommand>},
    {14252, "WorldPhysicsGravity", P, 0, {kValueVector3}, Member<&World::SetGravityCommand>, Member<&World::GetGravityCommand>},
    {14254, "WorldPhysicsERP", P, 0, {kValueFloat}, Member<&World::SetSettingCommand<&WorldPhysicsSettings::erp>>, Member<&World::GetSettingCommand<&WorldPhysicsSettings::erp>>},
    {14256, "WorldPhysicsCFM", P, 0, {kValueFloat}, Member<&World::SetSettingCommand<&WorldPhysicsSettings::cfm>>, Member<&World::GetSettingCommand<&WorldPhysicsSettings::cfm>>},
    {14258, "WorldPhysicsEnableQuickStep", P, 0, {kValueDword}, Member<&World::SetQuickStepCommand>, Member<&World::GetQuickStepCommand>},
    {14260, "WorldPhysicsStepItarations", P, 0, {kValueDword}, Member<&World::SetStepIterationsCommand>, Member<&World::GetStepIterationsCommand>},
    {14262, "WorldPhysicsMaxContactVelocity", P, 0, {kValueFloat}, Member<&World::SetSettingCommand<&WorldPhysicsSettings::maxContactVelocity>>, Member<&World::GetSettingCommand<&WorldPhysicsSettings::maxContactVelocity>>},
    {14264, "WorldPhysicsSurfaceLayerDepth", P, 0, {kValueFloat}, Member<&World::SetSettingCommand<&WorldPhysicsSettings::surfaceLayerDepth>>, Member<&World::GetSettingCommand<&WorldPhysicsSettings::surfaceLayerDepth>>},
    {14266, "WorldPhysicsMaxLinerarVelocity", P, 0, {kValueFloat}, Member<&World::SetSettingCommand<&WorldPhysicsSettings::maxLinearVelocity>>, Member<&World::GetSettingCommand<&WorldPhysicsSettings::maxLinearVelocity>>},
    {14268, "WorldPhysicsMaxAngularVelocity", P, 0, {kValueFloat}, Member<&World::SetSettingCommand<&WorldPhysicsSettings::maxAngularVelocity>>, Member<&World::GetSettingCommand<&WorldPhysicsSettings::maxAngularVelocity>>},
    {14270, "WorldTimeMul", P, 0, {kValueFloat}, Member<&World::SetTimeMulCommand>, Member<&World::GetTimeMulCommand>},
    {14272, "StartWorld", C, kCommandPlain, {}, Member<&World::StartWorld>},
    {14273, "StopWorld", C, kCommandPlain, {}, Member<&World::StopWorld>},
    {14274, "SetGraphicsBlureEffect", C, kCommandSetter, {kValueFloat}, Member<&World::SetEffectCommand<&World::blurAmount_, kUpdateBlur>>},
    {14275, "SetGraphicsBloomEffect", C, kCommandSetter, {kValueFloat}, Member<&World::SetEffectCommand<&World::bloomAmount_, kUpdateBloom>>},
    {kUpdateBlur, "UpdateGraphicsBlureEffect", C, kCommandSetter, {kValueFloat}, Member<&World::UpdateEffectCommand<&World::blurAmount_>>},
    {kUpdateBloom, "UpdateGraphicsBloomEffect", C, kCommandSetter, {kValueFloat}, Member<&World::UpdateEffectCommand<&World::bloomAmount_>>},
    {14278, "AnimateGraphicsBlureEffect", C, kCommandSetter, {kValueFloat, kValueFloat, kValueFloat}, Member<&World::AnimateEffectCommand<kUpdateBlur>>},
    {14279, "AnimateGraphicsBloomEffect", C, kCommandSetter, {kValueFloat, kValueFloat, kValueFloat}, Member<&World::AnimateEffectCommand<kUpdateBloom>>},
  };
  return table;
}
// clang-format on

// Without a physics world the values wait for the one Precalculate makes.
void World::ApplyPhysicsSettings() {
  WorldPhysicsHooks* hooks = GetWorldPhysicsHooks();
  if (physicsWorld_ != nullptr && hooks != nullptr) hooks->ApplyPhysicsSettings(*this);
}

// Only the stored bit changes: a physics world, once made, stays.
int World::SetEnablePhysicsCommand(CommandArgs args) {
  const bool on = args.Get<std::int32_t>() != 0;
  settings_.flags = on ? (settings_.flags | kWorldEnablePhysics) : (settings_.flags & ~kWorldEnablePhysics);
  return 1;
}

int World::GetEnablePhysicsCommand(CommandArgs args) {
  args.Set<std::int32_t>((settings_.flags & kWorldEnablePhysics) != 0 ? 1 : 0);
  return 1;
}

int World::SetGravityCommand(CommandArgs args) {
  settings_.gravity = args.Get<Vector3>();
  ApplyPhysicsSettings();
  return 1;
}

int World::GetGravityCommand(CommandArgs args) {
  args.Set(settings_.gravity);
  return 1;
}

int World::SetQuickStepCommand(CommandArgs args) {
  const bool on = (args.Get<std::uint32_t>() & 1) != 0;
  settings_.flags = on ? (settings_.flags | kWorldQuickStep) : (settings_.flags & ~kWorldQuickStep);
  ApplyPhysicsSettings();
  return 1;
}

int World::GetQuickStepCommand(CommandArgs args) {
  args.Set<std::uint32_t>((settings_.flags & kWorldQuickStep) != 0 ? 1 : 0);
  return 1;
}

int World::SetStepIterationsCommand(CommandArgs args) {
  settings_.stepIterations = args.Get<std::int32_t>();
  ApplyPhysicsSettings();
  return 1;
}

int World::GetStepIterationsCommand(CommandArgs args) {
  args.Set(settings_.stepIterations);
  return 1;
}

template <float WorldPhysicsSettings::*Field>
int World::SetSettingCommand(CommandArgs args) {
  settings_.*Field = args.Get<float>();
  ApplyPhysicsSettings();
  return 1;
}

template <float WorldPhysicsSettings::*Field>
int World::GetSettingCommand(CommandArgs args) {
  args.Set(settings_.*Field);
  return 1;
}

// Setting an amount stops a running animation of it.
template <float World::*Amount, std::uint32_t Update>
int World::SetEffectCommand(CommandArgs args) {
  this->*Amount = args.Get<float>();
  CancelCommands(*this, static_cast<int>(Update), kScheduleGeneral);
  return 1;
}

template <float World::*Amount>
int World::UpdateEffectCommand(CommandArgs args) {
  this->*Amount = args.Get<float>();
  return 1;
}

// Arguments: from, to, duration.
template <std::uint32_t Update>
int World::AnimateEffectCommand(CommandArgs args) {
  InterpolateCommand(*this, static_cast<int>(Update), nullptr, args.Get<float>(8), args.Get<float>(0),
                     args.Get<float>(4), kScheduleGeneral);
  return 1;
}

// Worlds saved before ERP and CFM were stored ran with quick steps and the
// default ERP and CFM.
bool World::Serialize(SerializeStream& stream) {
  if (!File::Serialize(stream)) return false;
  if (stream.GetVersion() >= 1) {
    stream.Serialize(settings_.flags);
    stream.Serialize(timeMul_);
    stream.Serialize(settings_.gravity);
    stream.Serialize(settings_.stepIterations);
    stream.Serialize(settings_.maxContactVelocity);
    stream.Serialize(settings_.surfaceLayerDepth);
    stream.Serialize(settings_.maxLinearVelocity);
    stream.Serialize(settings_.maxAngularVelocity);
  }
  if (stream.GetVersion() >= kFirstVersionWithErpAndCfm) {
    stream.Serialize(settings_.erp);
    stream.Serialize(settings_.cfm);
  } else if (!stream.IsWriting()) {
    const WorldPhysicsSettings defaults;
    settings_.flags |= kWorldQuickStep;
    settings_.erp = defaults.erp;
    settings_.cfm = defaults.cfm;
  }
  if (!stream.Failed() && !stream.IsWriting()) ApplyPhysicsSettings();
  return !stream.Failed();
}

void RegisterWorldCommands() {
  RegisterCommandTable<World>(BuildCommandRegistry(), kClassWorld, World::Commands());
  GetObjectFactory().RegisterType<World>(kClassWorld);
}

}  // namespace tge

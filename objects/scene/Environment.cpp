// Environment's command table, fog and file record.
#include "objects/scene/Environment.h"

#include <type_traits>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "services/EngineServices.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;

// The Action messages after which the fog follows the Action: its start,
// stop and kill values, and its start and stop steps.
bool ChangesAction(std::uint32_t id) {
  return (id >= 69 && id <= 71) || id == kCommandActionStartStep || id == kCommandActionStopStep;
}

void EnableFog(bool on) {
  if (EngineServices* services = GetEngineServices()) services->GetView().EnableFog(on);
}

}  // namespace

// clang-format off
constexpr CommandEntry<Environment> Environment::kCommands[] = {
    {20000, "EnvironmentAmbientColor", P, 0, {kValueColor}, FieldSetter<&Environment::ambientColour_>, FieldGetter<&Environment::ambientColour_>},
    {20002, "EnvironmentFogEnable", P, 0, {kValueBool}, Member<&Environment::SetFogEnableCommand>, Member<&Environment::GetFogEnableCommand>},
    {20004, "EnvironmentFogType", P, 0, {kValueDword}, Member<&Environment::SetFogFieldCommand<&Environment::fogType_>>, FieldGetter<&Environment::fogType_>},
    {20006, "EnvironmentFogNear", P, 0, {kValueFloat}, Member<&Environment::SetFogFieldCommand<&Environment::fogNear_>>, FieldGetter<&Environment::fogNear_>},
    {20008, "EnvironmentFogFar", P, 0, {kValueFloat}, Member<&Environment::SetFogFieldCommand<&Environment::fogFar_>>, FieldGetter<&Environment::fogFar_>},
    {20010, "EnvironmentFogColor", P, 0, {kValueColor}, FieldSetter<&Environment::fogColour_>, FieldGetter<&Environment::fogColour_>},
};

std::span<const CommandEntry<Environment>> Environment::Commands() { return kCommands; }
// clang-format on

Environment::Environment() : Object(kClassEnvironment) {}

Environment::~Environment() { EnableFog(false); }

int Environment::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Environment> handlers(kClassEnvironment, {kCommands}, BlockRule::kEvery);
  handlers.Run(*this, id, args);
  if (ChangesAction(id)) {
    ApplyFog();
  }
  return Object::ExecuteCommand(id, args);
}

template <auto Field>
int Environment::SetFogFieldCommand(CommandArgs args) {
  FieldSetter<Field>(*this, args);
  ApplyFog();
  return 1;
}

int Environment::SetFogEnableCommand(CommandArgs args) {
  const bool on = (args.Get<std::uint32_t>() & 1) != 0;
  flags_ = on ? (flags_ | kEnvironmentFogEnable) : (flags_ & ~kEnvironmentFogEnable);
  if (on) {
    ApplyFog();
  } else {
    EnableFog(false);
  }
  return 1;
}

int Environment::GetFogEnableCommand(CommandArgs args) {
  args.Set<std::int32_t>(IsFogEnabled() ? 1 : 0);
  return 1;
}

// The Action value pushes both ends out: at 0 the fog starts a whole far
// distance further away.
void Environment::ApplyFog() {
  EngineServices* services = GetEngineServices();
  if (!IsFogEnabled() || services == nullptr) return;
  ViewState& view = services->GetView();
  if (!HasFlag(kFlagActionStarted)) {
    view.EnableFog(false);
    return;
  }
  view.EnableFog(true);
  const float shift = (1 - GetActionValue()) * fogFar_;
  view.SetFog(fogNear_ + shift, fogFar_ + shift, fogColour_, 0);
}

void Environment::Draw() {
  if (!GetActive()) return;
  ApplyFog();
  Object::Draw();
}

bool Environment::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() >= 1) {
    stream.Serialize(flags_);
    stream.Serialize(ambientColour_);
    stream.Serialize(fogType_);
    stream.Serialize(fogColour_);
    stream.Serialize(fogNear_);
    stream.Serialize(fogFar_);
  }
  return !stream.Failed();
}

void RegisterEnvironmentCommands() {
  RegisterCommandTable<Environment>(BuildCommandRegistry(), kClassEnvironment, Environment::Commands());
  GetObjectFactory().RegisterType<Environment>(kClassEnvironment);
}

}  // namespace tge

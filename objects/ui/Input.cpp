// Input's command table, event and axis lists, per-frame update and file
// record.
#include "objects/ui/Input.h"

#include <type_traits>
#include <utility>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandRegistry.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/commands/InterfaceTypeRegistration.h"
#include "core/files/SerializeStream.h"
#include "objects/ui/SerializeRecords.h"
#include "services/EngineServices.h"

namespace tge {
namespace {

constexpr auto C = CommandKind::kCommand;
constexpr auto P = CommandKind::kProperty;

constexpr std::uint32_t kCommandSetInputEventId = 13254;
constexpr int kFirstVersionWithLists = 26;
// id, name length, flags.
constexpr std::uint64_t kMinEventBytes = 3 * 4;
// id, path length, command length, multiplier, flags.
constexpr std::uint64_t kMinAxisBytes = 5 * 4;
// The size of the input service's action maps and name table.
constexpr std::int32_t kActionCount = 512;
constexpr int kMovieSkipAction = 46;
constexpr float kMovieSkipPollTime = 0.033f;

bool IsAction(std::int32_t id) { return id >= 0 && id < kActionCount; }

// Edges and values of player 0; an id outside the action maps never fires
// and reads 0.
bool Fired(const InputEvent& event) {
  EngineServices* services = GetEngineServices();
  if (services == nullptr || !IsAction(event.id)) return false;
  return ((event.eventFlags & kInputEventOnRelease) != 0 ? services->IsInputActionReleased(0, event.id)
                                                         : services->IsInputActionPressed(0, event.id)) != 0;
}

float ActionValue(std::int32_t id) {
  EngineServices* services = GetEngineServices();
  return services != nullptr && IsAction(id) ? services->GetInputActionValue(0, id) : 0.0f;
}

std::string InputName(std::int32_t id) {
  EngineServices* services = GetEngineServices();
  const char* name = services != nullptr && IsAction(id) ? services->GetInputName(id) : nullptr;
  return name != nullptr ? name : "";
}

// Only a command of exactly one Float can take the value: a block of one
// float read as anything else would be read past its end.
bool TakesOneFloat(int commandId) {
  const CommandRecord* record = FindCommand(commandId);
  return record != nullptr && record->argumentTypes.size() == 1 && record->argumentTypes[0] == kValueFloat;
}

template <class Record>
Record* Selected(std::vector<Record>& records, std::int32_t index) {
  return static_cast<std::uint32_t>(index) < records.size() ? &records[static_cast<std::size_t>(index)] : nullptr;
}

template <class Record>
void EraseSelected(std::vector<Record>& records, std::int32_t& selection) {
  if (Selected(records, selection) == nullptr) return;
  records.erase(records.begin() + selection);
  selection = -1;
}

// A String argument's block is the text itself; the others are values.
template <class T>
T ReadArgument(CommandArgs args) {
  if constexpr (std::is_same_v<T, std::string>) {
    return args.AsString();
  } else {
    return args.Get<T>();
  }
}

template <class T>
void WriteArgument(CommandArgs args, const T& value) {
  if constexpr (std::is_same_v<T, std::string>) {
    args.AsString() = value;
  } else {
    args.Set(value);
  }
}

}  // namespace

// clang-format off
constexpr CommandEntry<Input> Input::kCommands[] = {
    {13250, "AddInputEvent", C, 0, {kValueString}, Member<&Input::AddInputEvent>},
    {13251, "DeleteInputEvent", C, 0, {}, Member<&Input::DeleteInputEvent>},
    {13252, "SetInputEventList", C, 0, {kValueDword}, Member<&Input::SetSelection<&Input::selectedEvent_>>},
    {13253, "GetInputEventList", C, kCommandObjectBlock, {kValuePointer}, Member<&Input::GetInputEventList>},
    {13254, "InputEventID", P, 0, {kValueDword}, Member<&Input::SetInputEventId>, Member<&Input::GetEventField<&InputEvent::id>>},
    {13256, "InputEventName", P, 0, {kValueString}, Member<&Input::SetEventField<&InputEvent::name>>, Member<&Input::GetEventField<&InputEvent::name>>},
    {13258, "InputEventOnRelease", P, 0, {kValueBool}, Member<&Input::SetInputEventOnRelease>, Member<&Input::GetInputEventOnRelease>},
    {13260, "CreateInputEventScript", C, 0, {}, Member<&Input::CreateInputEventScript>},
    {13261, "AddInputAxis", C, 0, {kValueString}, Member<&Input::AddInputAxis>},
    {13262, "DeleteInputAxis", C, 0, {}, Member<&Input::DeleteInputAxis>},
    {13263, "SetInputAxisList", C, 0, {kValueDword}, Member<&Input::SetSelection<&Input::selectedAxis_>>},
    {13264, "GetInputAxisList", C, kCommandObjectBlock, {kValuePointer}, Member<&Input::GetInputAxisList>},
    {13265, "InputAxisID", P, 0, {kValueDword}, Member<&Input::SetAxisField<&InputAxis::id>>, Member<&Input::GetAxisField<&InputAxis::id>>},
    {13267, "InputAxisTreePath", P, 0, {kValueString}, Member<&Input::SetAxisField<&InputAxis::treePath>>, Member<&Input::GetAxisField<&InputAxis::treePath>>},
    {13269, "InputAxisCommand", P, 0, {kValueString}, Member<&Input::SetAxisField<&InputAxis::command>>, Member<&Input::GetAxisField<&InputAxis::command>>},
    {13271, "InputAxisMul", P, 0, {kValueFloat}, Member<&Input::SetAxisField<&InputAxis::mul>>, Member<&Input::GetAxisField<&InputAxis::mul>>},
    {13273, "InputEnableDebugInput", P, 0, {kValueBool}, Member<&Input::SetEnableDebugInput>, Member<&Input::GetEnableDebugInput>},
};

std::span<const CommandEntry<Input>> Input::Commands() { return kCommands; }
// clang-format on

Input::Input() : Object(kClassInput) {}

int Input::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Input> handlers(kClassInput, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandInitializeNewObject) {
    std::int32_t on = 1;
    ExecuteCommand(kCommandSetUseScript, &on);
  }
  return Object::ExecuteCommand(id, args);
}

InputEvent* Input::SelectedEvent() { return Selected(events_, selectedEvent_); }
InputAxis* Input::SelectedAxis() { return Selected(axes_, selectedAxis_); }

int Input::AddInputEvent(CommandArgs) {
  events_.push_back(InputEvent{-1, "Unknown", 0});
  selectedEvent_ = static_cast<std::int32_t>(events_.size()) - 1;
  return 1;
}

int Input::DeleteInputEvent(CommandArgs) {
  EraseSelected(events_, selectedEvent_);
  return 1;
}

template <auto Selection>
int Input::SetSelection(CommandArgs args) {
  this->*Selection = args.Get<std::int32_t>();
  return 1;
}

int Input::GetInputEventList(CommandArgs args) {
  auto& names = *static_cast<std::vector<std::string>*>(args.Data());
  for (const InputEvent& event : events_) names.push_back(event.name);
  return 1;
}

template <auto Field>
int Input::SetEventField(CommandArgs args) {
  using Value = std::remove_reference_t<decltype(std::declval<InputEvent&>().*Field)>;
  if (InputEvent* event = SelectedEvent()) event->*Field = ReadArgument<Value>(args);
  return 1;
}

template <auto Field>
int Input::GetEventField(CommandArgs args) {
  if (const InputEvent* event = SelectedEvent()) WriteArgument(args, event->*Field);
  return 1;
}

// The id decides the name: any name given before is replaced.
int Input::SetInputEventId(CommandArgs args) {
  InputEvent* event = SelectedEvent();
  if (event == nullptr) return 1;
  event->id = args.Get<std::int32_t>();
  event->name = "OnInput" + InputName(event->id) + ((event->eventFlags & kInputEventOnRelease) != 0 ? "Release" : "");
  return 1;
}

int Input::SetInputEventOnRelease(CommandArgs args) {
  InputEvent* event = SelectedEvent();
  if (event == nullptr) return 1;
  const bool on = (args.Get<std::uint32_t>() & 1) != 0;
  event->eventFlags = on ? (event->eventFlags | kInputEventOnRelease) : (event->eventFlags & ~kInputEventOnRelease);
  std::int32_t id = event->id;
  ExecuteCommand(kCommandSetInputEventId, &id);
  return 1;
}

int Input::GetInputEventOnRelease(CommandArgs args) {
  if (const InputEvent* event = SelectedEvent()) {
    args.Set<std::int32_t>((event->eventFlags & kInputEventOnRelease) != 0 ? 1 : 0);
  }
  return 1;
}

int Input::CreateInputEventScript(CommandArgs) {
  const InputEvent* event = SelectedEvent();
  if (event != nullptr && GetScripts() != nullptr) {
    GetScripts()->push_back(ObjectScript{event->name, "", FindCommandId(this, event->name), kScriptEntryRecord});
  }
  return 1;
}

int Input::AddInputAxis(CommandArgs) {
  InputAxis axis;
  axis.treePath = "Unknown";
  axis.command = "Unknown";
  axes_.push_back(std::move(axis));
  selectedAxis_ = static_cast<std::int32_t>(axes_.size()) - 1;
  return 1;
}

int Input::DeleteInputAxis(CommandArgs) {
  EraseSelected(axes_, selectedAxis_);
  return 1;
}

int Input::GetInputAxisList(CommandArgs args) {
  auto& names = *static_cast<std::vector<std::string>*>(args.Data());
  for (const InputAxis& axis : axes_) names.push_back(axis.treePath + "." + axis.command + "(Axis)");
  return 1;
}

// The axis's two texts, its path and its command, resolve it again.
template <auto Field>
int Input::SetAxisField(CommandArgs args) {
  using Value = std::remove_reference_t<decltype(std::declval<InputAxis&>().*Field)>;
  InputAxis* axis = SelectedAxis();
  if (axis == nullptr) return 1;
  axis->*Field = ReadArgument<Value>(args);
  if constexpr (std::is_same_v<Value, std::string>) ResolveAxis(*axis);
  return 1;
}

template <auto Field>
int Input::GetAxisField(CommandArgs args) {
  if (const InputAxis* axis = SelectedAxis()) WriteArgument(args, axis->*Field);
  return 1;
}

int Input::SetEnableDebugInput(CommandArgs args) {
  const bool on = (args.Get<std::uint32_t>() & 1) != 0;
  inputFlags_ = on ? (inputFlags_ | kInputEnableDebugInput) : (inputFlags_ & ~kInputEnableDebugInput);
  return 1;
}

int Input::GetEnableDebugInput(CommandArgs args) {
  args.Set<std::int32_t>((inputFlags_ & kInputEnableDebugInput) != 0 ? 1 : 0);
  return 1;
}

void Input::ResolveAxis(InputAxis& axis) {
  Object* target = ResolveObjectPath(this, axis.treePath, nullptr, nullptr);
  axis.commandId = target != nullptr ? FindCommandId(target, axis.command) : -1;
  axis.target.Set(axis.commandId != -1 && TakesOneFloat(axis.commandId) ? target : nullptr);
}

void Input::Precalculate() {
  for (InputAxis& axis : axes_) ResolveAxis(axis);
  EnableUpdate();
  Object::Precalculate();
}

// Scripts and commands run from here may edit both lists or delete this
// object: the walks go by index against the current counts, and deletions
// wait until the update has returned.
void Input::Update() {
  if (!GetActive()) return;
  DeletionHold hold;
  RunFiredEvents();
  SendAxes();
}

void Input::RunFiredEvents() {
  for (std::size_t i = 0; i < events_.size() && !HasFlag(kFlagDeleting); ++i) {
    if (!Fired(events_[i])) continue;
    const std::string name = events_[i].name;
    RunScript(name, nullptr);
  }
}

void Input::SendAxes() {
  for (std::size_t i = 0; i < axes_.size() && !HasFlag(kFlagDeleting); ++i) {
    Object* target = axes_[i].target.Get();
    if (target == nullptr) continue;
    float value = ActionValue(axes_[i].id) * axes_[i].mul;
    target->ExecuteCommand(static_cast<std::uint32_t>(axes_[i].commandId), &value);
  }
}

void Input::Draw() {
  if (GetActive()) Object::Draw();
}

bool Input::MovieSkipCallback() {
  EngineServices* services = GetEngineServices();
  if (services == nullptr) return false;
  services->PollInput(kMovieSkipPollTime);
  return services->IsInputActionPressed(0, kMovieSkipAction) != 0;
}

// Layout: the base record; [version >= 1] the flags; [version >= 26] the
// events (id, name, flags) and the axes (id, path, command, multiplier,
// flags). Targets are found again by Precalculate.
bool Input::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version >= 1) stream.Serialize(inputFlags_);
  if (version < kFirstVersionWithLists) {
    if (!stream.IsWriting()) {
      events_.clear();
      axes_.clear();
    }
    return !stream.Failed();
  }
  return SerializeRecords(stream, events_, kMinEventBytes,
                          [&stream](InputEvent& event) {
                            stream.Serialize(event.id);
                            stream.SerializeString(event.name);
                            stream.Serialize(event.eventFlags);
                          }) &&
         SerializeRecords(stream, axes_, kMinAxisBytes, [&stream](InputAxis& axis) {
           stream.Serialize(axis.id);
           stream.SerializeString(axis.treePath);
           stream.SerializeString(axis.command);
           stream.Serialize(axis.mul);
           stream.Serialize(axis.axisFlags);
         });
}

void RegisterInputCommands() {
  RegisterCommandTable<Input>(BuildCommandRegistry(), kClassInput, Input::Commands());
  GetObjectFactory().RegisterType<Input>(kClassInput);
}

}  // namespace tge

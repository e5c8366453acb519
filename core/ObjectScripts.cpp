// An object's script records: running them by event id or by name, and the
// base commands that run and disable them. The record chosen is always the
// first that matches; when it is disabled nothing runs and no later record is
// tried, so disabling the first record silences the event.
#include <algorithm>

#include "core/CommandArgs.h"
#include "core/CommandRegistry.h"
#include "core/Object.h"
#include "core/ScriptInterpreter.h"

namespace tge {
namespace {

constexpr std::uint32_t kCommandRunScript = 167;
constexpr std::uint32_t kCommandRunScriptEx = 168;
constexpr std::uint32_t kCommandDeleteScript = 169;
constexpr std::size_t kSenderOffset = 128;
constexpr int kClassObjectOwner = 0;

int RunRecord(Object& object, const ObjectScript* script, Object* sender) {
  if (script == nullptr || (script->flags & kScriptDisabled) != 0) return 0;
  return RunStoredScript(object, script->text, sender);
}

}  // namespace

int Object::RunScript(const std::string& name, Object* sender) {
  if (!scripts_ || !GetActive()) return 0;
  auto it = std::find_if(scripts_->begin(), scripts_->end(),
                         [&name](const ObjectScript& script) { return script.name == name; });
  return RunRecord(*this, it != scripts_->end() ? &*it : nullptr, sender);
}

int Object::FireEvent(int eventId, Object* sender) {
  if (!scripts_ || !GetActive()) return 0;
  auto it = std::find_if(scripts_->begin(), scripts_->end(),
                         [eventId](const ObjectScript& script) { return script.eventId == eventId; });
  return RunRecord(*this, it != scripts_->end() ? &*it : nullptr, sender);
}

int Object::ExecuteScriptCommand(std::uint32_t id, void* block) {
  if (id < kCommandRunScript || id > kCommandDeleteScript) return -1;
  const CommandArgs args(block);
  if (args.IsNull()) return 1;
  const std::string name = args.GetText128();
  switch (id) {
    case kCommandRunScript:
      RunScript(name, nullptr);
      break;
    case kCommandRunScriptEx:
      RunScript(name, args.GetPointer<Object>(kSenderOffset));
      break;
    default:
      if (!scripts_) break;
      for (ObjectScript& script : *scripts_) {
        if (script.name != name) continue;
        script.flags |= kScriptDisabled;
        break;
      }
  }
  return 1;
}

void RegisterScriptCommands() {
  RegisterCommand(kCommandRunScript, "RunScript", kClassObjectOwner, kCommandSetter, {kValueString128});
  RegisterCommand(kCommandRunScriptEx, "RunScriptEx", kClassObjectOwner, kCommandSetter,
                  {kValueString128, kValueTreePath});
  RegisterCommand(kCommandDeleteScript, "DeleteScript", kClassObjectOwner, kCommandSetter, {kValueString128});
}

}  // namespace tge

// An object's script records: running them by event id or by name, and the
// base commands that run and disable them. The record chosen is always the
// first that matches; when it is disabled nothing runs and no later record is
// tried, so disabling the first record silences the event.
#include <algorithm>

#include "core/CommandArgs.h"
#include "core/Object.h"
#include "core/ObjectHooks.h"
#include "core/script/ScriptInterpreter.h"
#include "core/script/ScriptInterpreter.h"

namespace tge {
namespace {

constexpr std::size_t kSenderOffset = 128;

int RunRecord(Object& object, const ObjectScript* script, Object* sender) {
  if (script == nullptr || (script->flags & kScriptDisabled) != 0) return 0;
  return RunStoredScript(object, *script, sender);
}

}  // namespace

// A retired object runs nothing: it has left the tree.
int Object::RunScript(const std::string& name, Object* sender) {
  if (!scripts_ || !GetActive() || IsRetired()) return 0;
  auto it = std::find_if(scripts_->begin(), scripts_->end(),
                         [&name](const ObjectScript& script) { return script.name == name; });
  return RunRecord(*this, it != scripts_->end() ? &*it : nullptr, sender);
}

int Object::FireEvent(int eventId, Object* sender) {
  if (!scripts_ || !GetActive() || IsRetired()) return 0;
  auto it = std::find_if(scripts_->begin(), scripts_->end(),
                         [eventId](const ObjectScript& script) { return script.eventId == eventId; });
  return RunRecord(*this, it != scripts_->end() ? &*it : nullptr, sender);
}

bool Object::FireEventStillHere(int eventId, Object* sender) {
  const DeletionHold hold;
  FireEvent(eventId, sender);
  return !IsRetired();
}

// The name is a String128; RunScriptEx's sender follows it.
int Object::RunScriptCommand(CommandArgs args) {
  RunScript(args.GetText128(), nullptr);
  return 1;
}

int Object::RunScriptExCommand(CommandArgs args) {
  RunScript(args.GetText128(), args.GetPointer<Object>(kSenderOffset));
  return 1;
}

// The record stays, flagged, and is saved so.
int Object::DeleteScriptCommand(CommandArgs args) {
  if (!scripts_) return 1;
  const std::string name = args.GetText128();
  auto it = std::find_if(scripts_->begin(), scripts_->end(),
                         [&name](const ObjectScript& script) { return script.name == name; });
  if (it != scripts_->end()) it->flags |= kScriptDisabled;
  return 1;
}

}  // namespace tge

// Timer's key list, event flags, properties and file record. Starting,
// stopping and the callbacks the scheduler sends are in TimerSchedule.cpp.
#include "core/script/Timer.h"

#include <algorithm>
#include <charconv>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"

namespace tge {
namespace {

constexpr int kFirstVersionWithEventTime = 7;
constexpr std::int64_t kKeyBytes = 3 * 4;

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr auto E = CommandKind::kEvent;

std::string FormatKey(const std::string& name, float time) {
  char digits[64] = {};
  const auto written = std::to_chars(digits, digits + sizeof(digits), double{time}, std::chars_format::fixed, 2);
  return name + " <" + std::string(digits, written.ec == std::errc() ? written.ptr : digits) + ">";
}

}  // namespace

constexpr CommandEntry<Timer> Timer::kCommands[] = {
    {10000, "TimerLength", P, 0, {kValueFloat}, Member<&Timer::SetTimerLength>, Member<&Timer::GetTimerLength>},
    {10002, "AddTimerKey", C, 0, {}, Member<&Timer::AddTimerKey>},
    {10003, "SetTimerKeyList", C, 0, {kValueDword}, Member<&Timer::SetTimerKeyList>},
    {10004, "GetTimerKeyList", C, kCommandObjectBlock, {kValuePointer}, Member<&Timer::GetTimerKeyList>},
    {10005, "DeleteTimerKey", C, 0, {}, Member<&Timer::DeleteTimerKey>},
    {10006, "TimerKeyTime", P, 0, {kValueFloat}, Member<&Timer::SetTimerKeyTime>, Member<&Timer::GetTimerKeyTime>},
    {10008, "TimerKeyName", P, 0, {kValueString}, Member<&Timer::SetTimerKeyName>, Member<&Timer::GetTimerKeyName>},
    {10010, "TimerStart", C, 0, {}, Member<&Timer::TimerStart>},
    {10011, "TimerStop", C, 0, {}, Member<&Timer::TimerStop>},
    {10012, "TimerKeyCallback", C, 0, {kValueDword}, Member<&Timer::TimerKeyCallback>},
    {10013, "TimerCallback", C, 0, {}, Member<&Timer::TimerCallback>},
    {10014, "TimerEndCallback", C, 0, {}, Member<&Timer::TimerEndCallback>},
    {10015, "TimerEvent", P, 0, {kValueBool}, Member<&Timer::SetTimerEvent>, Member<&Timer::GetTimerEvent>},
    {10017, "TimerEndEvent", P, 0, {kValueBool}, Member<&Timer::SetTimerEndEvent>, Member<&Timer::GetTimerEndEvent>},
    {10019, "TimerEventTime", P, 0, {kValueFloat}, Member<&Timer::SetTimerEventTime>, Member<&Timer::GetTimerEventTime>},
    {10021, "AddTimerTime", C, kCommandSetter, {kValueFloat}, Member<&Timer::AddTimerTime>},
    {10022, "TimerTime", P, 0, {kValueFloat}, Member<&Timer::SetTimerTime>, Member<&Timer::GetTimerTimeCommand>},
    {10024, "GetTimerInverseTime", C, kCommandGetter, {kValueFloat}, Member<&Timer::GetTimerInverseTime>},
    {10025, "OnTimer", E, 0, {}},
    {10026, "OnTimerEnd", E, 0, {}},
};

Timer::Timer() : Object(kClassTimer) {}

// A copy has no calls posted for it.
void Timer::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  timerFlags_ &= ~kTimerRunning;
  started_ = false;
}

// Besides its own ids Timer answers the Action machine's start, stop and
// kill steps and InitializeNewObject; every id goes on to the base handler
// afterwards.
int Timer::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Timer> handlers(kClassTimer, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandActionStartStep) {
    TimerStart(CommandArgs(nullptr));
  } else if (id == kCommandActionStopStep || id == kCommandActionKillStep) {
    Stop();
  } else if (id == kCommandInitializeNewObject) {
    std::int32_t on = 1;
    ExecuteCommand(kCommandSetUseScript, &on);
  }
  return Object::ExecuteCommand(id, args);
}

bool Timer::IsRunning() const { return (timerFlags_ & kTimerRunning) != 0; }

int Timer::RecordsBeforeKeys() const {
  return ((timerFlags_ & kTimerEvent) != 0 ? 1 : 0) + ((timerFlags_ & kTimerEndEvent) != 0 ? 1 : 0);
}

ObjectScript* Timer::KeyRecord(int index) const {
  std::vector<ObjectScript>* scripts = GetScripts();
  if (scripts == nullptr || index < 0 || index >= static_cast<int>(keys_.size())) return nullptr;
  const std::size_t at = static_cast<std::size_t>(index + RecordsBeforeKeys());
  return at < scripts->size() ? &(*scripts)[at] : nullptr;
}

TimerKey* Timer::SelectedKey() {
  if (selectedKey_ < 0 || selectedKey_ >= static_cast<int>(keys_.size())) return nullptr;
  return &keys_[static_cast<std::size_t>(selectedKey_)];
}

int Timer::SetTimerLength(CommandArgs args) {
  timerLength_ = args.Get<float>();
  return 1;
}

int Timer::GetTimerLength(CommandArgs args) {
  args.Set(timerLength_);
  return 1;
}

// The new key's record goes right after the last key's, so records of other
// scripts after the keys keep their places.
int Timer::AddTimerKey(CommandArgs) {
  SetUseScript(true);
  std::vector<ObjectScript>& scripts = *GetScripts();
  const std::size_t at = std::min(scripts.size(), keys_.size() + static_cast<std::size_t>(RecordsBeforeKeys()));
  scripts.insert(scripts.begin() + static_cast<std::ptrdiff_t>(at),
                 ObjectScript{"NewTimeKey", "", FindCommandId(this, "NewTimeKey"), kScriptEntryRecord});
  keys_.push_back(TimerKey{});
  return 1;
}

int Timer::SetTimerKeyList(CommandArgs args) {
  selectedKey_ = args.Get<std::int32_t>();
  return 1;
}

int Timer::GetTimerKeyList(CommandArgs args) {
  auto& names = *static_cast<std::vector<std::string>*>(args.Data());
  for (int i = 0; i < static_cast<int>(keys_.size()); ++i) {
    const ObjectScript* record = KeyRecord(i);
    names.push_back(FormatKey(record != nullptr ? record->name : std::string(), keys_[static_cast<std::size_t>(i)].time));
  }
  return 1;
}

int Timer::DeleteTimerKey(CommandArgs) {
  if (SelectedKey() != nullptr) {
    if (KeyRecord(selectedKey_) != nullptr) {
      GetScripts()->erase(GetScripts()->begin() + selectedKey_ + RecordsBeforeKeys());
    }
    keys_.erase(keys_.begin() + selectedKey_);
  }
  selectedKey_ = -1;
  return 1;
}

int Timer::SetTimerKeyTime(CommandArgs args) {
  if (TimerKey* key = SelectedKey()) key->time = std::clamp(args.Get<float>(), 0.0f, std::max(0.0f, timerLength_));
  return 1;
}

int Timer::GetTimerKeyTime(CommandArgs args) {
  const TimerKey* key = SelectedKey();
  args.Set(key != nullptr ? key->time : 0.0f);
  return 1;
}

int Timer::SetTimerKeyName(CommandArgs args) {
  if (ObjectScript* record = KeyRecord(SelectedKey() != nullptr ? selectedKey_ : -1)) {
    record->name = args.AsString();
    record->eventId = FindCommandId(this, record->name);
  }
  return 1;
}

int Timer::GetTimerKeyName(CommandArgs args) {
  if (const ObjectScript* record = KeyRecord(SelectedKey() != nullptr ? selectedKey_ : -1)) {
    args.AsString() = record->name;
  }
  return 1;
}

void Timer::SetEventFlag(std::uint32_t flag, const char* eventName, bool on) {
  if (((timerFlags_ & flag) != 0) == on) return;
  timerFlags_ = on ? (timerFlags_ | flag) : (timerFlags_ & ~flag);
  if (on) {
    SetUseScript(true);
    GetScripts()->insert(GetScripts()->begin(), ObjectScript{eventName, "", FindCommandId(this, eventName), 0});
    return;
  }
  if (std::vector<ObjectScript>* scripts = GetScripts()) {
    auto it = std::find_if(scripts->begin(), scripts->end(),
                           [eventName](const ObjectScript& script) { return script.name == eventName; });
    if (it != scripts->end()) scripts->erase(it);
  }
}

int Timer::SetTimerEvent(CommandArgs args) {
  SetEventFlag(kTimerEvent, "OnTimer", args.Get<std::int32_t>() != 0);
  return 1;
}

int Timer::GetTimerEvent(CommandArgs args) {
  args.Set<std::int32_t>((timerFlags_ & kTimerEvent) != 0 ? 1 : 0);
  return 1;
}

int Timer::SetTimerEndEvent(CommandArgs args) {
  SetEventFlag(kTimerEndEvent, "OnTimerEnd", args.Get<std::int32_t>() != 0);
  return 1;
}

int Timer::GetTimerEndEvent(CommandArgs args) {
  args.Set<std::int32_t>((timerFlags_ & kTimerEndEvent) != 0 ? 1 : 0);
  return 1;
}

int Timer::SetTimerEventTime(CommandArgs args) {
  eventTime_ = args.Get<float>();
  return 1;
}

int Timer::GetTimerEventTime(CommandArgs args) {
  args.Set(eventTime_);
  return 1;
}

// Layout: the base record; [version >= 1] flags and length; [version > 6]
// the tick period; the key count and three 4-byte values per key. A timer
// is never running after a save or a load.
bool Timer::Serialize(SerializeStream& stream) {
  const bool writing = stream.IsWriting();
  // Calls posted for the old time line must not reach the loaded one.
  if (!writing) Stop();
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() >= 1) {
    std::uint32_t flags = timerFlags_ & ~kTimerRunning;
    stream.Serialize(flags);
    if (!writing) timerFlags_ = flags & ~kTimerRunning;
    stream.Serialize(timerLength_);
  }
  if (stream.GetVersion() >= kFirstVersionWithEventTime) stream.Serialize(eventTime_);
  std::int32_t count = static_cast<std::int32_t>(keys_.size());
  stream.Serialize(count);
  if (!writing) {
    const std::int64_t left = stream.GetSize() - stream.Tell();
    if (stream.Failed() || count < 0 || count * kKeyBytes > left) return false;
    keys_.assign(static_cast<std::size_t>(count), TimerKey{});
    selectedKey_ = -1;
    started_ = false;
  }
  for (TimerKey& key : keys_) {
    stream.Serialize(key.time);
    stream.Serialize(key.reserved[0]);
    stream.Serialize(key.reserved[1]);
  }
  if (stream.Failed() && !writing) keys_.clear();
  return !stream.Failed();
}

void RegisterTimerCommands() {
  RegisterCommandTable<Timer>(BuildCommandRegistry(), kClassTimer, Timer::kCommands);
  GetObjectFactory().RegisterType<Timer>(kClassTimer);
}

}  // namespace tge

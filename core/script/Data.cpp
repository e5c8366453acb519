#include "core/script/Data.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "core/script/ScriptText.h"

namespace tge {
namespace {

constexpr std::uint32_t kEnableOnDataChangeEvent = 0x1;
// The by-name commands carry the entry's name first; the value follows it.
constexpr std::size_t kValueOffset = 128;
constexpr std::int64_t kMinEntryBytes = 3 * 4;

constexpr int S = kCommandSetter;
constexpr int G = kCommandGetter;
constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;

// The positions "GetDataType" reports, in its list order.
constexpr std::int32_t kTypeListOrder[] = {kValueFloat,   kValueBool,       kValueDword, kValueInt,
                                           kValueVector3, kValueVector4, kValueQuaternion, kValueColor};

// A value's size in files keeps the original's 32-bit widths, and a value
// never holds more than 16 bytes.
std::int32_t EntrySize(std::int32_t type) {
  if (type == kValueString || type == kValuePointer) return 4;
  return std::min<std::int32_t>(FindValueType(type)->size, kDataValueBytes);
}

std::int32_t ReadInt(const DataEntry& entry) {
  std::int32_t value = 0;
  std::memcpy(&value, entry.value.data(), sizeof(value));
  return value;
}

void WriteInt(DataEntry& entry, std::int64_t value) {
  const auto clamped = static_cast<std::int32_t>(
      std::clamp<std::int64_t>(value, 0, std::numeric_limits<std::int32_t>::max()));
  std::memcpy(entry.value.data(), &clamped, sizeof(clamped));
}

float ReadFloat(const DataEntry& entry, std::size_t component) {
  float value = 0;
  std::memcpy(&value, entry.value.data() + component * sizeof(float), sizeof(value));
  return value;
}

void WriteFloat(DataEntry& entry, std::size_t component, float value) {
  std::memcpy(entry.value.data() + component * sizeof(float), &value, sizeof(value));
}

}  // namespace

constexpr CommandEntry<Data> Data::kCommands[] = {
    {12000, "EnableOnDataChangeEvent", P, 0, {kValueBool}, Member<&Data::SetEnableOnDataChangeEvent>,
     Member<&Data::GetEnableOnDataChangeEvent>},
    {12002, "AddData", C, 0, {}, Member<&Data::AddData>},
    {12003, "SetDataList", C, 0, {kValueDword}, Member<&Data::SetDataList>},
    {12004, "GetDataList", C, kCommandObjectBlock, {kValuePointer}, Member<&Data::GetDataList>},
    {12005, "DeleteData", C, 0, {}, Member<&Data::DeleteData>},
    {12007, "DataName", P, 0, {kValueString}, Member<&Data::SetDataName>, Member<&Data::GetDataName>},
    {12009, "DataType", P, 0, {kValueDword}, Member<&Data::SetDataType>, Member<&Data::GetDataType>},
    {12011, "SetDataFloat", C, S, {kValueString128, kValueFloat}, Member<&Data::SetDataFloat>},
    {12012, "GetDataFloat", C, G, {kValueString128, kValueFloat}, Member<&Data::GetDataFloat>},
    {12013, "AddDataFloat", C, S, {kValueString128, kValueFloat}, Member<&Data::AddDataFloat>},
    {12016, "SetDataUInt", C, S, {kValueString128, kValueInt}, Member<&Data::SetDataUInt>},
    {12017, "GetDataUInt", C, G, {kValueString128, kValueDword}, Member<&Data::GetDataUInt>},
    {12018, "AddDataUInt", C, S, {kValueString128, kValueInt}, Member<&Data::AddDataUInt>},
    {12030, "SetDataColor", C, S, {kValueString128, kValueColor}, Member<&Data::SetDataColor>},
    {12031, "GetDataColor", C, G, {kValueString128, kValueColor}, Member<&Data::GetDataColor>},
    {12032, "SetDataColorR", C, S, {kValueString128, kValueFloat}, Member<&Data::SetDataColorR>},
    {12033, "GetDataColorR", C, G, {kValueString128, kValueFloat}, Member<&Data::GetDataColorR>},
    {12034, "SetDataColorG", C, S, {kValueString128, kValueFloat}, Member<&Data::SetDataColorG>},
    {12035, "GetDataColorG", C, G, {kValueString128, kValueFloat}, Member<&Data::GetDataColorG>},
    {12036, "SetDataColorB", C, S, {kValueString128, kValueFloat}, Member<&Data::SetDataColorB>},
    {12037, "GetDataColorB", C, G, {kValueString128, kValueFloat}, Member<&Data::GetDataColorB>},
};

// Handled, never registered: the editor sends them by id. The text of 12038
// and 12039 travels as a text-string object.
constexpr CommandEntry<Data> Data::kEditorCommands[] = {
    {12006, "", C, 0, {}, Member<&Data::CreateChangeScript>},
    {12038, "", C, 0, {kValueString}, Member<&Data::SetValueText>},
    {12039, "", C, 0, {kValueString}, Member<&Data::GetValueText>},
};

Data::Data() : Object(kClassData) {}

int Data::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Data> handlers(kClassData, {kCommands, kEditorCommands});
  if (!handlers.Answers(id)) return Object::ExecuteCommand(id, args);
  const auto handler = handlers.Find(id, args);
  return handler != nullptr ? handler(*this, CommandArgs(args)) : 1;
}

DataEntry* Data::FindByName(CommandArgs args) {
  const char* name = static_cast<const char*>(args.Data());
  const std::string_view wanted(name, strnlen(name, kValueOffset));
  auto it = std::find_if(entries_.begin(), entries_.end(), [wanted](const DataEntry& e) { return e.name == wanted; });
  return it != entries_.end() ? &*it : nullptr;
}

DataEntry* Data::Selected() {
  if (selectedEntry_ < 0 || selectedEntry_ >= static_cast<int>(entries_.size())) return nullptr;
  return &entries_[static_cast<std::size_t>(selectedEntry_)];
}

// The script may change the list, so nothing of the entry is used after it.
void Data::Changed(const DataEntry& entry) {
  if ((dataFlags_ & kEnableOnDataChangeEvent) == 0) return;
  const std::string name = entry.name;
  RunScript(name, nullptr);
}

int Data::SetEnableOnDataChangeEvent(CommandArgs args) {
  dataFlags_ = args.Get<std::int32_t>() != 0 ? (dataFlags_ | kEnableOnDataChangeEvent)
                                             : (dataFlags_ & ~kEnableOnDataChangeEvent);
  return 1;
}

int Data::GetEnableOnDataChangeEvent(CommandArgs args) {
  args.Set<std::int32_t>((dataFlags_ & kEnableOnDataChangeEvent) != 0 ? 1 : 0);
  return 1;
}

int Data::AddData(CommandArgs) {
  DataEntry entry;
  entry.type = kValueFloat;
  entry.size = EntrySize(kValueFloat);
  entry.name = FindValueType(kValueFloat)->name;
  entries_.push_back(std::move(entry));
  selectedEntry_ = static_cast<std::int32_t>(entries_.size()) - 1;
  return 1;
}

int Data::SetDataList(CommandArgs args) {
  selectedEntry_ = args.Get<std::int32_t>();
  return 1;
}

int Data::GetDataList(CommandArgs args) {
  auto& names = *static_cast<std::vector<std::string>*>(args.Data());
  for (const DataEntry& entry : entries_) names.push_back(entry.name);
  return 1;
}

int Data::DeleteData(CommandArgs) {
  if (Selected() != nullptr) entries_.erase(entries_.begin() + selectedEntry_);
  selectedEntry_ = entries_.empty() ? -1 : 0;
  return 1;
}

int Data::SetDataName(CommandArgs args) {
  if (DataEntry* entry = Selected()) entry->name = args.AsString();
  return 1;
}

int Data::GetDataName(CommandArgs args) {
  if (DataEntry* entry = Selected()) args.AsString() = entry->name;
  return 1;
}

int Data::SetDataType(CommandArgs args) {
  const std::int32_t type = args.Get<std::int32_t>();
  DataEntry* entry = Selected();
  if (entry == nullptr || type <= kValueNone || FindValueType(type) == nullptr) return 1;
  entry->type = type;
  entry->size = EntrySize(type);
  entry->name = FindValueType(type)->name;
  return 1;
}

int Data::GetDataType(CommandArgs args) {
  std::uint32_t position = 0;
  if (const DataEntry* entry = Selected()) {
    const auto* found = std::find(std::begin(kTypeListOrder), std::end(kTypeListOrder), entry->type);
    if (found != std::end(kTypeListOrder)) position = static_cast<std::uint32_t>(found - std::begin(kTypeListOrder));
  }
  args.Set(position);
  return 1;
}

int Data::SetFloats(CommandArgs args, std::size_t first, std::size_t count) {
  DataEntry* entry = FindByName(args);
  if (entry == nullptr) return 1;
  for (std::size_t i = 0; i < count; ++i) WriteFloat(*entry, first + i, args.Get<float>(kValueOffset + 4 * i));
  Changed(*entry);
  return 1;
}

int Data::GetFloats(CommandArgs args, std::size_t first, std::size_t count) {
  const DataEntry* entry = FindByName(args);
  if (entry == nullptr) return 1;
  for (std::size_t i = 0; i < count; ++i) args.Set(ReadFloat(*entry, first + i), kValueOffset + 4 * i);
  return 1;
}

int Data::SetDataFloat(CommandArgs args) { return SetFloats(args, 0, 1); }
int Data::GetDataFloat(CommandArgs args) { return GetFloats(args, 0, 1); }
int Data::SetDataColor(CommandArgs args) { return SetFloats(args, 0, 4); }
int Data::GetDataColor(CommandArgs args) { return GetFloats(args, 0, 4); }
int Data::SetDataColorR(CommandArgs args) { return SetFloats(args, 0, 1); }
int Data::GetDataColorR(CommandArgs args) { return GetFloats(args, 0, 1); }
int Data::SetDataColorG(CommandArgs args) { return SetFloats(args, 1, 1); }
int Data::GetDataColorG(CommandArgs args) { return GetFloats(args, 1, 1); }
int Data::SetDataColorB(CommandArgs args) { return SetFloats(args, 2, 1); }
int Data::GetDataColorB(CommandArgs args) { return GetFloats(args, 2, 1); }

int Data::AddDataFloat(CommandArgs args) {
  DataEntry* entry = FindByName(args);
  if (entry == nullptr) return 1;
  WriteFloat(*entry, 0, ReadFloat(*entry, 0) + args.Get<float>(kValueOffset));
  Changed(*entry);
  return 1;
}

// Counters never go below 0 and stop at the largest 32-bit value.
int Data::SetDataUInt(CommandArgs args) {
  DataEntry* entry = FindByName(args);
  if (entry == nullptr) return 1;
  WriteInt(*entry, args.Get<std::int32_t>(kValueOffset));
  Changed(*entry);
  return 1;
}

int Data::AddDataUInt(CommandArgs args) {
  DataEntry* entry = FindByName(args);
  if (entry == nullptr) return 1;
  WriteInt(*entry, std::int64_t{ReadInt(*entry)} + args.Get<std::int32_t>(kValueOffset));
  Changed(*entry);
  return 1;
}

int Data::GetDataUInt(CommandArgs args) {
  const DataEntry* entry = FindByName(args);
  if (entry != nullptr) args.Set(static_cast<std::uint32_t>(ReadInt(*entry)), kValueOffset);
  return 1;
}

int Data::CreateChangeScript(CommandArgs) {
  const DataEntry* entry = Selected();
  if (entry == nullptr) return 1;
  const std::string name = entry->name;
  std::int32_t on = 1;
  ExecuteCommand(kCommandSetUseScript, &on);
  if (GetScripts() == nullptr) return 1;
  GetScripts()->push_back({name, "", FindCommandId(this, name), kScriptEntryRecord});
  return 1;
}

int Data::SetValueText(CommandArgs args) {
  DataEntry* entry = Selected();
  if (entry == nullptr) return 1;
  const std::string& text = args.AsString();
  if (entry->type == kValueFloat) {
    WriteFloat(*entry, 0, ParseFloat(text));
  } else if (entry->type == kValueInt || entry->type == kValueDword || entry->type == kValueBool) {
    const std::int32_t value = ParseLong32(text);
    std::memcpy(entry->value.data(), &value, sizeof(value));
  }
  return 1;
}

int Data::GetValueText(CommandArgs args) {
  std::string& text = args.AsString();
  text.clear();
  const DataEntry* entry = Selected();
  if (entry == nullptr) return 1;
  char digits[64] = {};
  std::to_chars_result written{digits, {}};
  switch (entry->type) {
    case kValueInt:
    case kValueDword:
    case kValueBool:
      written = std::to_chars(digits, digits + sizeof(digits), ReadInt(*entry));
      break;
    case kValueFloat:
    case kValueVector3:
    case kValueVector4:
    case kValueQuaternion:
    case kValueColor:
      written = std::to_chars(digits, digits + sizeof(digits), double{ReadFloat(*entry, 0)},
                              std::chars_format::fixed, 6);
      break;
    default:
      break;
  }
  if (written.ec == std::errc()) text.assign(digits, written.ptr);
  return 1;
}

// Layout: the base record; [version >= 1] flags; entry count; per entry its
// type, size, the value's first size bytes and its name. A stored size over
// 16 bytes is read past; only 16 bytes of it are kept.
bool Data::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const bool writing = stream.IsWriting();
  if (stream.GetVersion() >= 1) stream.Serialize(dataFlags_);
  std::int32_t count = static_cast<std::int32_t>(entries_.size());
  stream.Serialize(count);
  if (!writing) {
    const std::int64_t left = stream.GetSize() - stream.Tell();
    if (stream.Failed() || count < 0 || count * kMinEntryBytes > left) return false;
    entries_.assign(static_cast<std::size_t>(count), DataEntry{});
    selectedEntry_ = -1;
  }
  for (DataEntry& entry : entries_) {
    stream.Serialize(entry.type);
    stream.Serialize(entry.size);
    if (!writing && (entry.size < 0 || entry.size > stream.GetSize() - stream.Tell())) {
      entries_.clear();
      return false;
    }
    const std::size_t kept = std::min<std::size_t>(static_cast<std::size_t>(entry.size), kDataValueBytes);
    stream.SerializeBytes(entry.value.data(), kept);
    std::array<std::uint8_t, kDataValueBytes> padding{};
    for (std::size_t skipped = kept; skipped < static_cast<std::size_t>(entry.size) && !stream.Failed();) {
      const std::size_t chunk = std::min(padding.size(), static_cast<std::size_t>(entry.size) - skipped);
      stream.SerializeBytes(padding.data(), chunk);
      skipped += chunk;
    }
    if (!writing) entry.size = static_cast<std::int32_t>(kept);
    stream.SerializeString(entry.name);
  }
  if (stream.Failed() && !writing) entries_.clear();
  return !stream.Failed();
}

void RegisterDataCommands() {
  RegisterCommandTable<Data>(BuildCommandRegistry(), kClassData, Data::kCommands);
  GetObjectFactory().RegisterType<Data>(kClassData);
}

}  // namespace tge

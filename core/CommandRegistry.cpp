#include "core/CommandRegistry.h"

#include <algorithm>
#include <sstream>

#include "core/CommandTarget.h"
#include "core/Object.h"

namespace tge {
namespace {

std::unique_ptr<CommandRegistry>& Instance() {
  static std::unique_ptr<CommandRegistry> registry;
  return registry;
}

std::uint64_t generation = 0;

bool IsValidId(int id) { return id >= 0 && id < kCommandIdCount; }

// The first id of the ascending list inside [first, first + count).
int FirstInRange(const std::vector<int>& ids, int first, int count) {
  auto it = std::lower_bound(ids.begin(), ids.end(), first);
  return (it != ids.end() && *it < first + count) ? *it : -1;
}

}  // namespace

std::size_t CommandRecord::ArgumentOffset(int index) const {
  std::size_t offset = 0;
  for (int i = 0; i < index && i < argumentCount; ++i) {
    offset += static_cast<std::size_t>(FindValueType(argumentTypes[static_cast<std::size_t>(i)])->slotSize);
  }
  return offset;
}

CommandRegistry::CommandRegistry() : table_(kCommandIdCount) {}

bool CommandRegistry::RegisterCommand(int id, std::string_view name, int owner, int flags,
                                      std::span<const std::int32_t> types) {
  if (!IsValidId(id)) return false;
  ++generation;
  auto record = std::make_unique<CommandRecord>();
  for (std::int32_t type : types) {
    const ValueType* valueType = FindValueType(type);
    if (valueType == nullptr || type == kValueNone) return false;
    record->argumentBytes += valueType->size;
    record->blockBytes += valueType->slotSize;
  }
  record->name = name;
  record->id = id;
  record->owner = owner;
  record->flags = flags;
  record->argumentCount = static_cast<std::int32_t>(types.size());
  record->argumentTypes.assign(types.begin(), types.end());

  auto& slot = table_[static_cast<std::size_t>(id)];
  if (slot) Unindex(*slot);
  slot = std::move(record);
  Index(*slot);
  return true;
}

bool CommandRegistry::RegisterProperty(int id, std::string_view name, int owner, int flags,
                                       std::int32_t type) {
  if (!IsValidId(id) || !IsValidId(id + 1)) return false;
  const std::int32_t types[] = {type};
  return RegisterCommand(id, "Set" + std::string(name), owner, flags | kCommandSetter, types) &&
         RegisterCommand(id + 1, "Get" + std::string(name), owner, flags | kCommandGetter, types);
}

bool CommandRegistry::RegisterEvent(int id, std::string_view name, int owner, int flags,
                                    std::span<const std::int32_t> types) {
  return RegisterCommand(id, name, owner, flags | kCommandEvent, types);
}

const CommandRecord* CommandRegistry::FindCommand(int id) const {
  return IsValidId(id) ? table_[static_cast<std::size_t>(id)].get() : nullptr;
}

int CommandRegistry::FindCommandId(int classId, std::string_view name) const {
  auto it = idsByName_.find(name);
  if (it == idsByName_.end()) return -1;
  const std::vector<int>& ids = it->second;
  if (classId >= 0 && classId < kCommandIdCount / kCommandsPerClass) {
    int own = FirstInRange(ids, classId * kCommandsPerClass, kCommandsPerClass);
    if (own >= 0) return own;
  }
  int base = FirstInRange(ids, 0, kCommandsPerClass);
  return base >= 0 ? base : ids.front();
}

std::string CommandRegistry::Dump() const {
  std::ostringstream out;
  for (const auto& record : table_) {
    if (!record) continue;
    out << record->id << " owner " << record->owner << " flags " << record->flags << ' '
        << record->name << '(';
    for (std::size_t i = 0; i < record->argumentTypes.size(); ++i) {
      out << (i ? ", " : "") << FindValueType(record->argumentTypes[i])->name;
    }
    out << ")\n";
  }
  return out.str();
}

void CommandRegistry::Unindex(const CommandRecord& record) {
  auto it = idsByName_.find(record.name);
  if (it == idsByName_.end()) return;
  std::erase(it->second, record.id);
  if (it->second.empty()) idsByName_.erase(it);
}

void CommandRegistry::Index(const CommandRecord& record) {
  std::vector<int>& ids = idsByName_[record.name];
  ids.insert(std::lower_bound(ids.begin(), ids.end(), record.id), record.id);
}

CommandRegistry& BuildCommandRegistry() {
  auto& registry = Instance();
  if (!registry) registry = std::make_unique<CommandRegistry>();
  return *registry;
}

void FreeCommandRegistry() {
  Instance().reset();
  ++generation;
}

std::uint64_t CommandRegistryGeneration() { return generation; }

bool RegisterCommand(int id, std::string_view name, int owner, int flags,
                     std::initializer_list<std::int32_t> types) {
  return BuildCommandRegistry().RegisterCommand(id, name, owner, flags, types);
}

bool RegisterProperty(int id, std::string_view name, int owner, int flags, std::int32_t type) {
  return BuildCommandRegistry().RegisterProperty(id, name, owner, flags, type);
}

bool RegisterEvent(int id, std::string_view name, int owner, int flags,
                   std::initializer_list<std::int32_t> types) {
  return BuildCommandRegistry().RegisterEvent(id, name, owner, flags, types);
}

const CommandRecord* FindCommand(int id) {
  const auto& registry = Instance();
  return registry ? registry->FindCommand(id) : nullptr;
}

int FindCommandId(const Object* target, std::string_view name) {
  const auto& registry = Instance();
  if (!registry) return -1;
  return registry->FindCommandId(target ? target->GetClassId() : 0, name);
}

int ExecuteDataCommand(CommandTarget& target, std::uint32_t id, void* block) {
  const CommandRecord* record = FindCommand(static_cast<int>(id));
  if (record != nullptr && (record->flags & kCommandObjectBlock) != 0) return 1;
  return target.ExecuteCommand(id, block);
}

}  // namespace tge

// The one table of every command, property and event the object types
// publish, indexed by command id. Ids come in blocks of 250 per class id: the
// base object owns 0 to 249, class c owns c * 250 to c * 250 + 249.
//
// Registration fills the table from the types' command tables, once, in the
// fixed order the engine constructor calls them; afterwards the table is only
// read. Look-up by id is a direct index; look-up by name goes through a name
// index that yields the same answer as the scan the interpreter relies on
// (own block, then the base block, then every id).
#pragma once
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/ValueType.h"

namespace tge {

class CommandTarget;
class Object;

inline constexpr int kCommandIdCount = 25000;
inline constexpr int kCommandsPerClass = 250;

// Flag bits of a CommandRecord; they combine.
inline constexpr std::int32_t kCommandPlain = 0;
inline constexpr std::int32_t kCommandSetter = 2;
inline constexpr std::int32_t kCommandGetter = 4;
inline constexpr std::int32_t kCommandEvent = 8;
inline constexpr std::int32_t kCommandTypeOwn = 16;
// The block must hold an object (a list to fill), which only code can pass:
// see ExecuteDataCommand.
inline constexpr std::int32_t kCommandObjectBlock = 0x100;

struct CommandRecord {
  std::string name;
  std::int32_t id = 0;
  std::int32_t owner = 0;
  std::int32_t flags = 0;
  // What the scheduler copies when it posts the command for later; never
  // fewer than blockBytes.
  std::int32_t argumentBytes = 0;
  std::int32_t argumentCount = 0;
  std::vector<std::int32_t> argumentTypes;
  // What a packed block of these arguments really occupies.
  std::int32_t blockBytes = 0;

  // Offset of argument index in a packed block.
  std::size_t ArgumentOffset(int index) const;
};

class CommandRegistry {
 public:
  CommandRegistry();

  // False, and nothing registered, for an id outside 0 to 24,999 or an
  // unknown value-type id. A second registration of an id replaces the first.
  bool RegisterCommand(int id, std::string_view name, int owner, int flags,
                       std::span<const std::int32_t> types);
  // "Set" + name at id with flags | setter, "Get" + name at id + 1 with
  // flags | getter, both taking the one value type.
  bool RegisterProperty(int id, std::string_view name, int owner, int flags, std::int32_t type);
  bool RegisterEvent(int id, std::string_view name, int owner, int flags,
                     std::span<const std::int32_t> types);

  // Null for an id nothing registered or outside the table.
  const CommandRecord* FindCommand(int id) const;
  // The id whose name equals name exactly: first in classId's own block, then
  // in the base block, then the lowest id anywhere; -1 when none.
  int FindCommandId(int classId, std::string_view name) const;

  // One line per record: id, owner, flags, name and argument types.
  std::string Dump() const;

 private:
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  void Unindex(const CommandRecord& record);
  void Index(const CommandRecord& record);

  std::vector<std::unique_ptr<CommandRecord>> table_;
  // Every id registered under a name, ascending.
  std::unordered_map<std::string, std::vector<int>, NameHash, std::equal_to<>> idsByName_;
};

// The program's registry: built by the first registration or explicitly by
// the engine constructor, freed by FreeCommandRegistry at shutdown.
CommandRegistry& BuildCommandRegistry();
void FreeCommandRegistry();

bool RegisterCommand(int id, std::string_view name, int owner, int flags,
                     std::initializer_list<std::int32_t> types = {});
bool RegisterProperty(int id, std::string_view name, int owner, int flags, std::int32_t type);
bool RegisterEvent(int id, std::string_view name, int owner, int flags,
                   std::initializer_list<std::int32_t> types = {});
const CommandRecord* FindCommand(int id);
// Changes whenever a registration or freeing the registry may have changed
// what a name or id finds; caches of look-ups compare it.
std::uint64_t CommandRegistryGeneration();
// Searches from the target's class id; a null target searches from the base.
int FindCommandId(const Object* target, std::string_view name);

// Sends a command whose block was built from data (a script's text, a posted
// call's copy): such a block holds plain values, never an object, so a
// command registered with kCommandObjectBlock is left undone (answer 1).
int ExecuteDataCommand(CommandTarget& target, std::uint32_t id, void* block);

}  // namespace tge

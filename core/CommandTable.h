// One table per object type declares its commands, properties and events
// beside the type's code: id, name, kind, flags, argument types and the
// member functions that answer them. The same table registers the type with
// the command registry and dispatches its ExecuteCommand, so a name, its id
// and its handler cannot drift apart.
//
// A type's ExecuteCommand runs the id through its CommandHandlers and passes
// every id on to its base class's handler.
#pragma once
#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>

#include "core/CommandAccessors.h"
#include "core/CommandArgs.h"
#include "core/CommandRegistry.h"

namespace tge {

enum class CommandKind { kCommand, kProperty, kEvent };

// Argument value-type ids, ended by the first kValueNone.
using ArgumentTypes = std::array<std::int32_t, 8>;

template <class T>
struct CommandEntry {
  // A member function is named through Member<&T::F>, a plain field or a
  // flag bit through the accessors of core/CommandAccessors.h.
  using Handler = int (*)(T&, CommandArgs);

  int id;
  const char* name;
  CommandKind kind;
  int flags;
  ArgumentTypes types;
  Handler handler = nullptr;  // command, or a property's setter
  Handler getter = nullptr;   // a property's getter at id + 1
};

inline std::span<const std::int32_t> UsedArgumentTypes(const ArgumentTypes& types) {
  std::size_t count = 0;
  while (count < types.size() && types[count] != kValueNone) ++count;
  return {types.data(), count};
}

// Registers every entry; false when any registration was refused.
template <class T>
bool RegisterCommandTable(CommandRegistry& registry, int owner, std::span<const CommandEntry<T>> table) {
  bool allRegistered = true;
  for (const CommandEntry<T>& entry : table) {
    const auto types = UsedArgumentTypes(entry.types);
    bool registered = false;
    switch (entry.kind) {
      case CommandKind::kCommand:
        registered = registry.RegisterCommand(entry.id, entry.name, owner, entry.flags, types);
        break;
      case CommandKind::kProperty:
        registered = types.size() == 1 &&
                     registry.RegisterProperty(entry.id, entry.name, owner, entry.flags, types[0]);
        break;
      case CommandKind::kEvent:
        registered = registry.RegisterEvent(entry.id, entry.name, owner, entry.flags, types);
        break;
    }
    allRegistered = allRegistered && registered;
  }
  return allRegistered;
}

// A type's handlers over one or more tables (say, its registered commands
// and the ids only code sends), indexed by id - the class's first id, with
// the ids whose handler reads an argument block (a property's getter too):
// those are not run without one. Where two entries claim an id the first
// one answers it.
//
// kEvery: no handler runs without a block, whether it reads one or not.
//
// Built at compile time from tables defined constexpr before the type's
// ExecuteCommand (static constexpr CommandHandlers<T> handlers(...)), the
// handlers need no guard and no start-up work, so sending a command by id
// costs a range check, a load and a jump.
enum class BlockRule { kReaders, kEvery };

template <class T>
class CommandHandlers {
 public:
  using Handler = typename CommandEntry<T>::Handler;

  constexpr CommandHandlers(int classId, std::initializer_list<std::span<const CommandEntry<T>>> tables,
                            BlockRule rule = BlockRule::kReaders)
      : firstId_(static_cast<std::uint32_t>(classId * kCommandsPerClass)) {
    for (std::span<const CommandEntry<T>> table : tables) {
      for (const CommandEntry<T>& entry : table) Add(entry);
    }
    if (rule == BlockRule::kEvery) readers_.fill(~std::uint64_t{0});
  }

  // Whether a table answers id, with a block or without.
  bool Answers(std::uint32_t id) const {
    const std::uint32_t offset = id - firstId_;
    return offset < handlers_.size() && handlers_[offset] != nullptr;
  }

  // id's handler, or null when no table answers id or when it reads a block
  // and args is null.
  Handler Find(std::uint32_t id, const void* args) const {
    const std::uint32_t offset = id - firstId_;
    if (offset >= handlers_.size()) return nullptr;
    return args != nullptr || !ReadsBlock(offset) ? handlers_[offset] : nullptr;
  }

  // Runs id's handler on object; false when Find gives none.
  bool Run(T& object, std::uint32_t id, void* args) const {
    const Handler handler = Find(id, args);
    if (handler == nullptr) return false;
    handler(object, CommandArgs(args));
    return true;
  }

 private:
  static constexpr std::uint32_t kWordBits = 64;

  constexpr bool ReadsBlock(std::uint32_t offset) const {
    return (readers_[offset / kWordBits] >> (offset % kWordBits) & 1) != 0;
  }

  constexpr void Add(const CommandEntry<T>& entry) {
    const bool readsBlock = entry.types[0] != kValueNone;
    Put(entry.id, entry.handler, readsBlock);
    if (entry.kind == CommandKind::kProperty) Put(entry.id + 1, entry.getter, readsBlock);
  }

  constexpr void Put(int id, Handler handler, bool readsBlock) {
    const auto offset = static_cast<std::uint32_t>(id) - firstId_;
    if (offset >= handlers_.size()) return;
    if (readsBlock) readers_[offset / kWordBits] |= std::uint64_t{1} << (offset % kWordBits);
    if (handlers_[offset] == nullptr) handlers_[offset] = handler;
  }

  std::uint32_t firstId_;
  std::array<Handler, kCommandsPerClass> handlers_{};
  std::array<std::uint64_t, (kCommandsPerClass + kWordBits - 1) / kWordBits> readers_{};
};

}  // namespace tge

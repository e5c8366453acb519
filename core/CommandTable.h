// One table per object type declares its commands, properties and events
// beside the type's code: id, name, kind, flags, argument types and the
// member functions that answer them. The same table registers the type with
// the command registry and dispatches its ExecuteCommand, so a name, its id
// and its handler cannot drift apart.
//
// A type's handler looks the id up in its dispatcher and passes every id the
// table does not answer on to its base class's handler.
#pragma once
#include <array>
#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

#include "core/CommandArgs.h"
#include "core/CommandRegistry.h"

namespace tge {

enum class CommandKind { kCommand, kProperty, kEvent };

// Argument value-type ids, ended by the first kValueNone.
using ArgumentTypes = std::array<std::int32_t, 8>;

template <class T>
struct CommandEntry {
  using Handler = int (T::*)(CommandArgs);

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

// The ids of a table whose handlers read an argument block (a property's
// getter too): a dispatcher's caller does not call them without one.
class BlockReaders {
 public:
  template <class T>
  void Add(int classId, std::span<const CommandEntry<T>> table) {
    for (const CommandEntry<T>& entry : table) {
      if (entry.types[0] == kValueNone) continue;
      Set(entry.id - classId * kCommandsPerClass);
      if (entry.kind == CommandKind::kProperty) Set(entry.id + 1 - classId * kCommandsPerClass);
    }
  }

  bool Reads(int classId, std::uint32_t id) const {
    const std::uint32_t offset = id - static_cast<std::uint32_t>(classId * kCommandsPerClass);
    return offset < ids_.size() && ids_.test(offset);
  }

 private:
  void Set(int offset) {
    if (offset >= 0 && offset < kCommandsPerClass) ids_.set(static_cast<std::size_t>(offset));
  }

  std::bitset<kCommandsPerClass> ids_;
};

// Handlers of one class id's block of 250 ids, indexed by id - first id.
template <class T>
class CommandDispatcher {
 public:
  using Handler = typename CommandEntry<T>::Handler;

  CommandDispatcher(int classId, std::span<const CommandEntry<T>> table)
      : firstId_(classId * kCommandsPerClass) {
    for (const CommandEntry<T>& entry : table) {
      Put(entry.id, entry.handler);
      if (entry.kind == CommandKind::kProperty) Put(entry.id + 1, entry.getter);
    }
  }

  // The handler for id, or null when the table does not answer it.
  Handler Find(std::uint32_t id) const {
    const std::uint32_t offset = id - static_cast<std::uint32_t>(firstId_);
    return offset < handlers_.size() ? handlers_[offset] : nullptr;
  }

 private:
  void Put(int id, Handler handler) {
    const int offset = id - firstId_;
    if (handler != nullptr && offset >= 0 && offset < kCommandsPerClass) {
      handlers_[static_cast<std::size_t>(offset)] = handler;
    }
  }

  int firstId_;
  std::array<Handler, kCommandsPerClass> handlers_{};
};

// A type's dispatchers over one or more tables (say, its registered
// commands and the ids only code sends) with the ids that read a block.
template <class T>
class CommandHandlers {
 public:
  CommandHandlers(int classId, std::initializer_list<std::span<const CommandEntry<T>>> tables) : classId_(classId) {
    for (std::span<const CommandEntry<T>> table : tables) {
      dispatchers_.emplace_back(classId, table);
      readers_.template Add<T>(classId, table);
    }
  }

  // Runs id's handler on object; false when no table answers id, or when
  // its handler reads a block and there is none.
  bool Run(T& object, std::uint32_t id, void* args) const {
    for (const CommandDispatcher<T>& dispatcher : dispatchers_) {
      const auto handler = dispatcher.Find(id);
      if (handler == nullptr) continue;
      if (args == nullptr && readers_.Reads(classId_, id)) return false;
      (object.*handler)(CommandArgs(args));
      return true;
    }
    return false;
  }

 private:
  int classId_;
  std::vector<CommandDispatcher<T>> dispatchers_;
  BlockReaders readers_;
};

}  // namespace tge

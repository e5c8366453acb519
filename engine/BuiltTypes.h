// The one list of the object types that are built: the engine constructor
// registers their commands from it, the object-file fuzz target registers
// the same types, and the fuzz seed writer writes one record of each. A
// type joins it with one line when it is built; until then its class id
// makes nothing.
#pragma once
#include <span>

namespace tge {

struct BuiltType {
  int classId;
  void (*registerCommands)();
};

// In increasing class id.
std::span<const BuiltType> GetBuiltTypes();
// Registers every built type's commands (and its factory entry), in order.
void RegisterBuiltTypes();

}  // namespace tge

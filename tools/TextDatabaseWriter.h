// Writes a text database file (the tree of named texts the engine reads
// beside its resource library): the demo's conversations and the tests'
// fixtures. Nodes are listed parents first; each names its parent by index
// in the list, or -1 for the root.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tge {

struct TextRecord {
  std::int32_t parent = -1;
  std::string name;
  std::string text;
  std::int32_t value = 0;
};

// False when the file cannot be written or a record names a parent that
// does not come before it.
bool WriteTextDatabase(const std::filesystem::path& file, const std::vector<TextRecord>& records);

}  // namespace tge

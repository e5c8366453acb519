// Feeds arbitrary bytes to the text database reader and walks what it kept.
#include <cstddef>
#include <cstdint>

#include "services/TextDatabase.h"

namespace {

std::size_t CountBelow(const tge::TextNode& node) {
  std::size_t count = 0;
  for (const tge::TextNode* child : node.GetChildren()) count += 1 + CountBelow(*child);
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tge::TextDatabase database;
  if (database.ReadMemory(data, size) && CountBelow(database.GetRoot()) != database.GetNodeCount()) {
    __builtin_trap();
  }
  return 0;
}

// Feeds arbitrary bytes to the resource library reader: it must refuse bad
// files cleanly and leave nothing registered behind.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/files/SerializeStream.h"
#include "services/ResourceDatabase.h"
#include "services/resources/ResourceLibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> copy(data, data + size);
  tge::SerializeStream stream;
  if (!stream.OpenMemoryBuffer(copy.size(), "rb", copy.data())) return 0;
  tge::ResourceDatabase database;
  float value = 0;
  if (!tge::ReadResourceLibrary(stream, "fuzz.sli", database, value)) {
    for (std::size_t slot = 0; slot < database.GetSlotCount(); ++slot) {
      if (database.GetResourceBySlot(static_cast<int>(slot))) __builtin_trap();
    }
  }
  return 0;
}

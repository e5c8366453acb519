// Fuzzes the object-file reader: the input is a whole object file, read from
// memory into a parent object with every built type registered (the
// engine's own list). Nested files name folders that do not exist, so they
// fail without leaving the input. Whatever is loaded is deleted with the
// parent.
#include <cstdint>
#include <string>
#include <vector>

#include "core/files/SerializeStream.h"
#include "core/trees/ObjectFile.h"
#include "core/trees/ObjectServices.h"
#include "engine/BuiltTypes.h"

namespace {

using namespace tge;

void RegisterTypes() {
  static const bool registered = [] {
    RegisterBaseCommands();
    RegisterBuiltTypes();
    return true;
  }();
  (void)registered;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  RegisterTypes();
  ObjectServices services;
  services.SetDataPath("/nonexistent-tge-fuzz/");
  services.SetDataRoot("/nonexistent-tge-fuzz/");
  SetObjectHooks(&services);
  {
    Object parent;
    std::vector<std::uint8_t> bytes(data, data + size);
    SerializeStream stream;
    stream.OpenMemoryBuffer(bytes.size(), "rb", bytes.data());
    services.GetObjectFile().Load(parent, stream, "fuzz.sac");
    stream.Close();
    services.DeletePendingObjects();
  }
  SetObjectHooks(nullptr);
  return 0;
}

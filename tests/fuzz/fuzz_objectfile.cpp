// Fuzzes the object-file reader: the input is a whole object file, read from
// memory into a parent object with every built core type and the widgets
// registered. Nested files name folders that do not exist, so they fail
// without leaving the input. Whatever is loaded is deleted with the parent.
#include <cstdint>
#include <string>
#include <vector>

#include "core/Data.h"
#include "core/File.h"
#include "core/ObjectFile.h"
#include "core/ObjectServices.h"
#include "core/Timer.h"
#include "core/World.h"
#include "core/files/SerializeStream.h"
#include "objects/ui/CheckBox.h"
#include "objects/ui/ListBox.h"
#include "objects/ui/Slider.h"
#include "objects/ui/Text.h"
#include "objects/ui/TextDialog.h"
#include "objects/ui/TextDialogWindow.h"
#include "objects/ui/TextInput.h"
#include "objects/ui/VirtualKeyboard.h"

namespace {

using namespace tge;

void RegisterTypes() {
  static const bool registered = [] {
    RegisterBaseCommands();
    RegisterFileCommands();
    RegisterTimerCommands();
    RegisterDataCommands();
    RegisterWorldCommands();
    RegisterWindowCommands();
    RegisterTextCommands();
    RegisterListBoxCommands();
    RegisterVirtualKeyboardType();
    RegisterTextInputCommands();
    RegisterSliderCommands();
    RegisterCheckBoxCommands();
    RegisterTextDialogCommands();
    RegisterTextDialogWindowCommands();
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

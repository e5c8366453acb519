#include "platform/gfx/GlDriverPin.h"

#include <dlfcn.h>
#include <link.h>

#include <string>
#include <string_view>
#include <vector>

namespace tge::gfx {
namespace {

bool IsDriverModule(std::string_view path) {
  const std::string_view file = path.substr(path.find_last_of('/') + 1);
  return file.ends_with("_dri.so") || file.starts_with("libgallium");
}

int CollectDriver(dl_phdr_info* info, std::size_t, void* data) {
  if (info->dlpi_name != nullptr && IsDriverModule(info->dlpi_name)) {
    static_cast<std::vector<std::string>*>(data)->emplace_back(info->dlpi_name);
  }
  return 0;
}

}  // namespace

// RTLD_NOLOAD finds the module already mapped and RTLD_NODELETE marks it as
// never to be unmapped; the extra reference taken is never given back.
int KeepGlDriverLoaded() {
  std::vector<std::string> drivers;
  dl_iterate_phdr(&CollectDriver, &drivers);
  int pinned = 0;
  for (const std::string& driver : drivers) {
    if (dlopen(driver.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE) != nullptr) ++pinned;
  }
  return pinned;
}

}  // namespace tge::gfx

#include "core/files/FileNameFromPath.h"

namespace tge {

std::string GetFileNameFromPath(std::string_view path) {
  constexpr std::size_t kMaxName = 254;
  const std::size_t separator = path.find_last_of("/\\");
  std::string_view name = separator == std::string_view::npos ? path : path.substr(separator + 1);
  if (name.size() > kMaxName) name.remove_prefix(name.size() - kMaxName);
  return std::string(name);
}

}  // namespace tge

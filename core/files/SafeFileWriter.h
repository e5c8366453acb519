// Writing a disk file so that a failure never costs the old one: the new
// content goes into a temporary file in the same folder, which replaces the
// old file only once it has been written and closed without error.
#pragma once
#include <functional>
#include <string>

namespace tge {

class SerializeStream;

// write fills the stream (opened for writing on the disk file system) and
// says whether it succeeded. False, with the old file untouched and no
// temporary file left, when opening, writing, closing or renaming failed.
bool WriteDiskFileSafely(const std::string& path, const std::function<bool(SerializeStream&)>& write);

}  // namespace tge

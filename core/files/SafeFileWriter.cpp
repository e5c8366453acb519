#include "core/files/SafeFileWriter.h"

#include <cstdio>

#include "core/files/SerializeStream.h"
#include "core/files/StdioFileSystem.h"

namespace tge {

bool WriteDiskFileSafely(const std::string& path, const std::function<bool(SerializeStream&)>& write) {
  const std::string temporary = path + ".tmp";
  SerializeStream stream;
  stream.SetFileSystem(GetDiskFileSystem());
  if (!stream.Open(temporary, "wb")) return false;
  const bool written = write(stream) && !stream.Failed();
  const bool closed = stream.Close() == 0;
  const std::string temporaryOnDisk = ResolveDiskPath(temporary, false);
  if (!written || !closed) {
    std::remove(temporaryOnDisk.c_str());
    return false;
  }
  if (std::rename(temporaryOnDisk.c_str(), ResolveDiskPath(path, true).c_str()) != 0) {
    std::remove(temporaryOnDisk.c_str());
    return false;
  }
  return true;
}

}  // namespace tge

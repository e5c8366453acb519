// The base operations every back-end may inherit, and the program-wide
// default file system. The disk instance lives in a function-local static so
// it exists before any static initialiser of another file can ask for it.
#include "core/files/FileSystem.h"

#include "core/files/StdioFileSystem.h"

namespace tge {
namespace {

FileSystem* g_defaultFileSystem = nullptr;

}  // namespace

std::int64_t FileSystem::GetSize(FileHandle handle) {
  const std::int64_t position = Tell(handle);
  Seek(handle, 0, kSeekEnd);
  const std::int64_t end = Tell(handle);
  Seek(handle, position, kSeekStart);
  return end;
}

std::uint8_t* FileSystem::GetCurrentData(FileHandle) { return nullptr; }

std::uint8_t* FileSystem::GetData(FileHandle) { return nullptr; }

std::int64_t FileSystem::GetEntryStart(FileHandle) { return 0; }

FileSystem* GetFileSystem() {
  return g_defaultFileSystem ? g_defaultFileSystem : GetDiskFileSystem();
}

// Null makes the disk instance the default again.
void SetFileSystem(FileSystem* fileSystem) { g_defaultFileSystem = fileSystem; }

FileSystem* GetDiskFileSystem() {
  static StdioFileSystem disk;
  return &disk;
}

}  // namespace tge

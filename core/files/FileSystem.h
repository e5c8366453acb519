// The file-access interface every data file is opened through, with
// interchangeable back-ends: disk files, memory buffers and the game archive.
// One file system is the current default; the disk instance stays reachable
// for files that bypass the archive.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace tge {

// Opaque, pointer-sized; 0 is no file.
using FileHandle = std::uintptr_t;
constexpr FileHandle kNoFile = 0;

enum SeekOrigin : int { kSeekStart = 0, kSeekCurrent = 1, kSeekEnd = 2 };

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual FileHandle Open(const std::string& name, const std::string& mode) = 0;
  virtual int Close(FileHandle handle) = 0;
  // Read and Write return the number of whole elements transferred.
  virtual std::size_t Read(void* destination, std::size_t elementSize, std::size_t count,
                           FileHandle handle) = 0;
  virtual std::size_t Write(const void* source, std::size_t elementSize, std::size_t count,
                            FileHandle handle) = 0;
  virtual std::int64_t Tell(FileHandle handle) = 0;
  virtual int Seek(FileHandle handle, std::int64_t offset, int origin) = 0;
  virtual int Eof(FileHandle handle) = 0;
  virtual std::int64_t GetSize(FileHandle handle);
  virtual std::uint8_t* GetCurrentData(FileHandle handle);
  virtual std::uint8_t* GetData(FileHandle handle);
  virtual std::int64_t GetEntrySize(const std::string& name) = 0;
  virtual std::int64_t GetEntryOffset(const std::string& name) = 0;
  virtual std::int64_t GetEntryStart(FileHandle handle);
};

FileSystem* GetFileSystem();
void SetFileSystem(FileSystem* fileSystem);
FileSystem* GetDiskFileSystem();

}  // namespace tge

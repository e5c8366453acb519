// Plain disk files through C stdio; the FILE pointer is the handle.
//
// The data names paths the Windows way: '\' separators and any letter case.
// Names are turned into host paths by ResolveDiskPath before they reach
// fopen.
#pragma once
#include "core/files/FileSystem.h"

namespace tge {

// '\' becomes '/'. When the path does not exist as written, each component is
// matched against its folder without regard to ASCII case. When creating is
// set the last component is kept as given (a new file takes the caller's
// name) and only the folders above it are matched. A component that matches
// nothing is kept as written, so the open that follows fails as it should.
std::string ResolveDiskPath(const std::string& name, bool creating);

class StdioFileSystem : public FileSystem {
 public:
  FileHandle Open(const std::string& name, const std::string& mode) override;
  int Close(FileHandle handle) override;
  std::size_t Read(void* destination, std::size_t elementSize, std::size_t count,
                   FileHandle handle) override;
  std::size_t Write(const void* source, std::size_t elementSize, std::size_t count,
                    FileHandle handle) override;
  std::int64_t Tell(FileHandle handle) override;
  int Seek(FileHandle handle, std::int64_t offset, int origin) override;
  int Eof(FileHandle handle) override;
  std::int64_t GetEntrySize(const std::string& name) override;
  std::int64_t GetEntryOffset(const std::string& name) override;
};

}  // namespace tge

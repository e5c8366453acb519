// Files held in memory buffers: a whole file loaded by a stream, or a buffer
// a caller hands over (save games write into a fixed one). Handles come only
// from CreateMemoryHandle; opening by name always fails.
//
// Every read, write and seek is clipped to the buffer: nothing is read or
// written past its end, and a transfer that does not fit returns a short
// count, as fread does at the end of a file.
#pragma once
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "core/files/FileSystem.h"

namespace tge {

class MemoryFileSystem : public FileSystem {
 public:
  // Over the caller's data (the caller keeps it and keeps it alive), or over
  // a zero-filled buffer of the handle's own when data is null. An owned
  // buffer has one more zero byte after its size, so it can be read as text.
  FileHandle CreateMemoryHandle(std::size_t size, void* data);

  FileHandle Open(const std::string& name, const std::string& mode) override;
  int Close(FileHandle handle) override;
  std::size_t Read(void* destination, std::size_t elementSize, std::size_t count,
                   FileHandle handle) override;
  std::size_t Write(const void* source, std::size_t elementSize, std::size_t count,
                    FileHandle handle) override;
  std::int64_t Tell(FileHandle handle) override;
  int Seek(FileHandle handle, std::int64_t offset, int origin) override;
  int Eof(FileHandle handle) override;
  std::int64_t GetSize(FileHandle handle) override;
  std::uint8_t* GetCurrentData(FileHandle handle) override;
  std::uint8_t* GetData(FileHandle handle) override;
  std::int64_t GetEntrySize(const std::string& name) override;
  std::int64_t GetEntryOffset(const std::string& name) override;

 private:
  struct MemoryFile {
    std::uint8_t* start = nullptr;
    std::size_t position = 0;
    std::size_t size = 0;
    std::vector<std::uint8_t> owned;
  };
  static MemoryFile* AsFile(FileHandle handle) { return reinterpret_cast<MemoryFile*>(handle); }
  // Clips a transfer to what is left of the buffer; returns the byte count.
  static std::size_t Fit(const MemoryFile& file, std::size_t elementSize, std::size_t count);

  std::mutex mutex_;
  std::unordered_map<FileHandle, std::unique_ptr<MemoryFile>> files_;
};

// The one memory instance, made on first use and destroyed at exit.
MemoryFileSystem& GetMemoryFileSystem();

}  // namespace tge

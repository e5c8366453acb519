// A file system that hands every call on to another and counts the files
// opened through it, so the frame-time report can tell which frames waited
// for data read from disk or archive.
#pragma once
#include <cstdint>

#include "core/files/FileSystem.h"

namespace tge {

class CountingFileSystem : public FileSystem {
 public:
  explicit CountingFileSystem(FileSystem& base) : base_(base) {}

  std::uint64_t OpenCount() const { return opens_; }

  FileHandle Open(const std::string& name, const std::string& mode) override {
    const FileHandle handle = base_.Open(name, mode);
    if (handle != kNoFile) ++opens_;
    return handle;
  }
  int Close(FileHandle handle) override { return base_.Close(handle); }
  std::size_t Read(void* destination, std::size_t elementSize, std::size_t count, FileHandle handle) override {
    return base_.Read(destination, elementSize, count, handle);
  }
  std::size_t Write(const void* source, std::size_t elementSize, std::size_t count, FileHandle handle) override {
    return base_.Write(source, elementSize, count, handle);
  }
  std::int64_t Tell(FileHandle handle) override { return base_.Tell(handle); }
  int Seek(FileHandle handle, std::int64_t offset, int origin) override { return base_.Seek(handle, offset, origin); }
  int Eof(FileHandle handle) override { return base_.Eof(handle); }
  std::int64_t GetSize(FileHandle handle) override { return base_.GetSize(handle); }
  std::uint8_t* GetCurrentData(FileHandle handle) override { return base_.GetCurrentData(handle); }
  std::uint8_t* GetData(FileHandle handle) override { return base_.GetData(handle); }
  std::int64_t GetEntrySize(const std::string& name) override { return base_.GetEntrySize(name); }
  std::int64_t GetEntryOffset(const std::string& name) override { return base_.GetEntryOffset(name); }
  std::int64_t GetEntryStart(FileHandle handle) override { return base_.GetEntryStart(handle); }

 private:
  FileSystem& base_;
  std::uint64_t opens_ = 0;
};

}  // namespace tge

#include "core/files/MemoryFileSystem.h"

#include <algorithm>
#include <cstring>

namespace tge {

FileHandle MemoryFileSystem::CreateMemoryHandle(std::size_t size, void* data) {
  auto file = std::make_unique<MemoryFile>();
  if (data) {
    file->start = static_cast<std::uint8_t*>(data);
  } else {
    file->owned.assign(size + 1, 0);
    file->start = file->owned.data();
  }
  file->size = size;
  const FileHandle handle = reinterpret_cast<FileHandle>(file.get());
  std::lock_guard lock(mutex_);
  files_.emplace(handle, std::move(file));
  return handle;
}

FileHandle MemoryFileSystem::Open(const std::string&, const std::string&) { return kNoFile; }

int MemoryFileSystem::Close(FileHandle handle) {
  std::lock_guard lock(mutex_);
  return files_.erase(handle) == 1 ? 0 : -1;
}

std::size_t MemoryFileSystem::Fit(const MemoryFile& file, std::size_t elementSize,
                                  std::size_t count) {
  const std::size_t left = file.size - file.position;
  if (elementSize == 0) return 0;
  return count > left / elementSize ? left : elementSize * count;
}

std::size_t MemoryFileSystem::Read(void* destination, std::size_t elementSize,
                                   std::size_t count, FileHandle handle) {
  if (handle == kNoFile) return 0;
  MemoryFile& file = *AsFile(handle);
  const std::size_t bytes = Fit(file, elementSize, count);
  if (bytes != 0) std::memcpy(destination, file.start + file.position, bytes);
  file.position += bytes;
  return elementSize == 0 ? 0 : bytes / elementSize;
}

std::size_t MemoryFileSystem::Write(const void* source, std::size_t elementSize,
                                    std::size_t count, FileHandle handle) {
  if (handle == kNoFile) return 0;
  MemoryFile& file = *AsFile(handle);
  const std::size_t bytes = Fit(file, elementSize, count);
  if (bytes != 0) std::memcpy(file.start + file.position, source, bytes);
  file.position += bytes;
  return elementSize == 0 ? 0 : bytes / elementSize;
}

std::int64_t MemoryFileSystem::Tell(FileHandle handle) {
  return handle == kNoFile ? -1 : static_cast<std::int64_t>(AsFile(handle)->position);
}

// A target outside the buffer is clipped to its nearest end and reported as
// a failure; an unknown origin changes nothing.
int MemoryFileSystem::Seek(FileHandle handle, std::int64_t offset, int origin) {
  if (handle == kNoFile) return -1;
  MemoryFile& file = *AsFile(handle);
  const auto size = static_cast<std::int64_t>(file.size);
  std::int64_t base = 0;
  switch (origin) {
    case kSeekStart: base = 0; break;
    case kSeekCurrent: base = static_cast<std::int64_t>(file.position); break;
    case kSeekEnd: base = size; break;
    default: return 0;
  }
  const bool fits = offset >= -base && offset <= size - base;
  const std::int64_t target = fits ? base + offset : (offset < 0 ? 0 : size);
  file.position = static_cast<std::size_t>(target);
  return fits ? 0 : -1;
}

int MemoryFileSystem::Eof(FileHandle handle) {
  return handle == kNoFile || AsFile(handle)->position >= AsFile(handle)->size ? 1 : 0;
}

std::int64_t MemoryFileSystem::GetSize(FileHandle handle) {
  return handle == kNoFile ? 0 : static_cast<std::int64_t>(AsFile(handle)->size);
}

std::uint8_t* MemoryFileSystem::GetCurrentData(FileHandle handle) {
  return handle == kNoFile ? nullptr : AsFile(handle)->start + AsFile(handle)->position;
}

std::uint8_t* MemoryFileSystem::GetData(FileHandle handle) {
  return handle == kNoFile ? nullptr : AsFile(handle)->start;
}

std::int64_t MemoryFileSystem::GetEntrySize(const std::string&) { return 0; }

std::int64_t MemoryFileSystem::GetEntryOffset(const std::string&) { return 0; }

MemoryFileSystem& GetMemoryFileSystem() {
  static MemoryFileSystem memory;
  return memory;
}

}  // namespace tge

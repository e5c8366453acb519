// The one stream every type's Serialize routine, the resource types and the
// data files use. Every operation writes when the stream was opened for
// writing and reads otherwise, so one routine both saves and loads. Works on
// a file of the current file system or on a memory buffer.
//
// A short read sets a failure flag that stays set until the stream is opened
// again; the part of the destination that was not read is left unchanged.
// Loaders test Failed() and refuse a truncated file.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

#include "core/files/FileSystem.h"

namespace tge {

class SerializeStream {
 public:
  // The file version object files are written at; type serialisers gate the
  // fields added later on GetVersion().
  static constexpr int kLatestVersion = 81;

  SerializeStream();
  ~SerializeStream();
  SerializeStream(const SerializeStream&) = delete;
  SerializeStream& operator=(const SerializeStream&) = delete;

  bool Open(const std::string& name, const std::string& mode);
  // Loads the whole file into a memory buffer and reads from there.
  bool OpenAndLoad(const std::string& name);
  // Over the caller's data, or a new buffer of size bytes (plus one zero
  // byte after it) when data is null.
  bool OpenMemoryBuffer(std::size_t size, const std::string& mode, void* data = nullptr);
  // Also gives the stream back the file system it had before a memory
  // buffer was opened, so it can open named files again.
  int Close();

  std::size_t SerializeDwords(void* values, std::size_t count);
  std::size_t SerializeWords(void* values, std::size_t count);
  std::size_t SerializeBytes(void* values, std::size_t count);
  std::size_t SerializeDword(void* value) { return SerializeDwords(value, 1); }
  // int32 length, then the bytes without a terminator. Reading a length
  // below 1 leaves the string as it was; a length beyond the bytes left is
  // refused and sets the failure flag.
  std::size_t SerializeString(std::string& text);

  // Any record of whole 4-byte fields (int32, float, Vector3, Matrix4 ...).
  template <class T>
  std::size_t Serialize(T& value) {
    static_assert(std::is_trivially_copyable_v<T> && sizeof(T) % 4 == 0);
    return SerializeDwords(&value, sizeof(T) / 4);
  }

  // One element of size bytes in the given direction, whatever the mode.
  // Operations on a closed stream do nothing and set the failure flag.
  std::size_t Read(void* destination, std::size_t size);
  std::size_t Write(const void* source, std::size_t size);

  std::int64_t Tell();
  int Seek(std::int64_t offset, int origin);
  std::int64_t GetSize();
  // Start of the memory buffer behind the handle; null for disk and archive.
  std::uint8_t* GetBuffer();

  bool IsOpen() const { return handle_ != kNoFile; }
  bool IsWriting() const { return writing_; }
  bool IsMemoryBacked() const { return memoryBacked_; }
  bool Failed() const { return failed_; }
  // For a loader that finds the data wrong: the stream fails as on a short read.
  void MarkFailed() { failed_ = true; }
  int GetVersion() const { return version_; }
  void SetVersion(int version) { version_ = version; }
  FileSystem* GetFileSystem() const { return fileSystem_; }
  void SetFileSystem(FileSystem* fileSystem) { fileSystem_ = fileSystem; }

 private:
  std::size_t Transfer(void* values, std::size_t elementSize, std::size_t count);
  // Sets the failure flag when the stream is closed.
  bool Usable();
  std::size_t Checked(std::size_t done, std::size_t wanted);
  std::int64_t BytesLeft();
  void SwitchToMemory(FileHandle handle);

  bool memoryBacked_ = false;
  bool writing_ = false;
  bool failed_ = false;
  FileHandle handle_ = kNoFile;
  FileSystem* fileSystem_ = nullptr;
  FileSystem* fileSystemBeforeMemory_ = nullptr;
  int version_ = 0;
};

}  // namespace tge

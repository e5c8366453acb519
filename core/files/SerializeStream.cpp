#include "core/files/SerializeStream.h"

#include <cstring>
#include <limits>

#include "core/files/MemoryFileSystem.h"

namespace tge {

SerializeStream::SerializeStream() : fileSystem_(tge::GetFileSystem()) {}

SerializeStream::~SerializeStream() { Close(); }

bool SerializeStream::Open(const std::string& name, const std::string& mode) {
  Close();
  writing_ = mode.find('w') != std::string::npos;
  failed_ = false;
  handle_ = fileSystem_->Open(name, mode);
  return IsOpen();
}

bool SerializeStream::OpenAndLoad(const std::string& name) {
  if (!Open(name, "rb")) return false;
  const std::int64_t size = fileSystem_->GetSize(handle_);
  if (size < 0) {
    Close();
    return false;
  }
  MemoryFileSystem& memory = GetMemoryFileSystem();
  const FileHandle loaded = memory.CreateMemoryHandle(static_cast<std::size_t>(size), nullptr);
  const auto bytes = static_cast<std::size_t>(size);
  const bool complete = fileSystem_->Read(memory.GetData(loaded), 1, bytes, handle_) == bytes;
  Close();
  // A file that reads shorter than its size is refused, not handed on with
  // a tail of zeros.
  if (!complete) {
    memory.Close(loaded);
    return false;
  }
  SwitchToMemory(loaded);
  return true;
}

bool SerializeStream::OpenMemoryBuffer(std::size_t size, const std::string& mode, void* data) {
  Close();
  writing_ = mode.find('w') != std::string::npos;
  failed_ = false;
  SwitchToMemory(GetMemoryFileSystem().CreateMemoryHandle(size, data));
  return true;
}

void SerializeStream::SwitchToMemory(FileHandle handle) {
  fileSystemBeforeMemory_ = fileSystem_;
  fileSystem_ = &GetMemoryFileSystem();
  memoryBacked_ = true;
  handle_ = handle;
}

int SerializeStream::Close() {
  const int result = IsOpen() ? fileSystem_->Close(handle_) : 0;
  handle_ = kNoFile;
  if (fileSystemBeforeMemory_) fileSystem_ = fileSystemBeforeMemory_;
  fileSystemBeforeMemory_ = nullptr;
  memoryBacked_ = false;
  return result;
}

bool SerializeStream::Usable() {
  if (!IsOpen()) failed_ = true;
  return IsOpen();
}

std::size_t SerializeStream::Checked(std::size_t done, std::size_t wanted) {
  if (done < wanted) failed_ = true;
  return done;
}

std::size_t SerializeStream::Transfer(void* values, std::size_t elementSize, std::size_t count) {
  if (!Usable() || count == 0) return 0;
  const std::size_t done = writing_ ? fileSystem_->Write(values, elementSize, count, handle_)
                                    : fileSystem_->Read(values, elementSize, count, handle_);
  return Checked(done, count);
}

std::size_t SerializeStream::SerializeDwords(void* values, std::size_t count) {
  return Transfer(values, 4, count);
}

std::size_t SerializeStream::SerializeWords(void* values, std::size_t count) {
  return Transfer(values, 2, count);
}

std::size_t SerializeStream::SerializeBytes(void* values, std::size_t count) {
  return Transfer(values, 1, count);
}

std::int64_t SerializeStream::BytesLeft() {
  const std::int64_t size = GetSize();
  const std::int64_t position = Tell();
  return size < 0 || position < 0 ? 0 : size - position;
}

// Returns the bytes serialised: the length word and the characters.
std::size_t SerializeStream::SerializeString(std::string& text) {
  if (writing_ && text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    failed_ = true;
    return 0;
  }
  auto length = static_cast<std::int32_t>(writing_ ? text.size() : 0);
  if (SerializeDword(&length) != 1) return 0;
  if (length < 1) return 4;
  const auto count = static_cast<std::size_t>(length);
  if (writing_) return 4 + SerializeBytes(text.data(), count);
  // A length beyond what is left is corrupt data, not a reason to allocate.
  if (length > BytesLeft()) {
    failed_ = true;
    return 4;
  }
  std::string stored(count, '\0');
  const std::size_t done = SerializeBytes(stored.data(), count);
  if (done < count) return 4 + done;
  stored.resize(std::strlen(stored.c_str()));
  text = std::move(stored);
  return 4 + count;
}

std::size_t SerializeStream::Read(void* destination, std::size_t size) {
  if (!Usable() || size == 0) return 0;
  return Checked(fileSystem_->Read(destination, size, 1, handle_), 1);
}

std::size_t SerializeStream::Write(const void* source, std::size_t size) {
  if (!Usable() || size == 0) return 0;
  return Checked(fileSystem_->Write(source, size, 1, handle_), 1);
}

std::int64_t SerializeStream::Tell() { return Usable() ? fileSystem_->Tell(handle_) : -1; }

int SerializeStream::Seek(std::int64_t offset, int origin) {
  return Usable() ? fileSystem_->Seek(handle_, offset, origin) : -1;
}

std::int64_t SerializeStream::GetSize() { return Usable() ? fileSystem_->GetSize(handle_) : 0; }

std::uint8_t* SerializeStream::GetBuffer() {
  return Usable() ? fileSystem_->GetData(handle_) : nullptr;
}

}  // namespace tge

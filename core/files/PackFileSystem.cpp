#include "core/files/PackFileSystem.h"

#include <cstring>

namespace tge {
namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Why an entry cannot be trusted, or empty when it can.
std::string CheckEntry(const PackEntry& entry, std::int64_t fileSize) {
  if (!std::memchr(entry.name, 0, kPackNameSize)) {
    return "its name is not terminated within " + std::to_string(kPackNameSize) + " bytes";
  }
  if (entry.offset < 0 || entry.size < 0 ||
      std::int64_t{entry.offset} + entry.size > fileSize) {
    return Quoted(entry.name) + " at offset " + std::to_string(entry.offset) + " with size " +
           std::to_string(entry.size) + " lies outside the file's " + std::to_string(fileSize) +
           " bytes";
  }
  return {};
}

// Stored names get the same treatment as looked-up ones, so an entry that
// another tool wrote with '/' can still be found.
void MakeKeyInPlace(char* text) {
  for (; *text; ++text) {
    if (*text >= 'A' && *text <= 'Z') *text = static_cast<char>(*text - 'A' + 'a');
    if (*text == '/') *text = '\\';
  }
}

}  // namespace

std::string PackKey(const std::string& name) {
  std::string key = name;
  MakeKeyInPlace(key.data());
  return key;
}

PackFileSystem::PackFileSystem(FileSystem* base, std::string path)
    : base_(base), path_(std::move(path)) {}

PackFileSystem::~PackFileSystem() {
  for (auto& [handle, record] : handles_) base_->Close(record->file);
  if (spare_ != kNoFile) base_->Close(spare_);
  if (tge::GetFileSystem() == this) SetFileSystem(nullptr);
}

std::string PackFileSystem::Load(FileHandle file) {
  const std::int64_t fileSize = base_->GetSize(file);
  std::int32_t count = 0;
  if (base_->Read(&header_, sizeof header_, 1, file) != 1 ||
      base_->Read(&count, sizeof count, 1, file) != 1) {
    return "it is too short for an archive header";
  }
  if (header_.magic != kPackMagic) return "it is not an archive (wrong magic number)";
  if (count < 0 || static_cast<std::int64_t>(kPackTableStart + sizeof(PackEntry) *
                                             static_cast<std::uint64_t>(count)) > fileSize) {
    return "its entry count " + std::to_string(count) + " does not fit in its " +
           std::to_string(fileSize) + " bytes";
  }
  entries_.resize(static_cast<std::size_t>(count));
  if (base_->Read(entries_.data(), sizeof(PackEntry), entries_.size(), file) != entries_.size()) {
    return "its entry table cannot be read";
  }
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const std::string fault = CheckEntry(entries_[i], fileSize);
    if (!fault.empty()) return "entry " + std::to_string(i) + ": " + fault;
    MakeKeyInPlace(entries_[i].name);
    names_.Insert(entries_[i].name, static_cast<std::int32_t>(i));
  }
  return {};
}

std::unique_ptr<PackFileSystem> OpenPackFile(const std::string& path, FileSystem* base,
                                             bool sequential, std::string* error) {
  std::unique_ptr<PackFileSystem> pack(new PackFileSystem(base ? base : GetFileSystem(), path));
  const FileHandle file = pack->base_->Open(path, sequential ? "rbs" : "rb");
  std::string fault = file == kNoFile ? "it cannot be opened" : std::string();
  if (file != kNoFile) {
    pack->spare_ = file;
    fault = pack->Load(file);
  }
  if (fault.empty()) return pack;
  if (error) *error = "Archive " + Quoted(path) + " refused: " + fault + ".";
  return nullptr;
}

void ClosePackFile(std::unique_ptr<PackFileSystem> pack) { pack.reset(); }

const PackEntry* PackFileSystem::FindEntry(const std::string& name) const {
  const std::int32_t index = names_.Find(PackKey(name));
  return index < 0 ? nullptr : &entries_[static_cast<std::size_t>(index)];
}

FileHandle PackFileSystem::AddHandle(bool ownsFile, bool writing, const PackEntry& entry,
                                     FileHandle file) {
  auto record = std::make_unique<PackFileHandle>(PackFileHandle{ownsFile, writing, entry, file});
  const FileHandle handle = reinterpret_cast<FileHandle>(record.get());
  handles_.emplace(handle, std::move(record));
  return handle;
}

PackFileSystem::PackFileHandle* PackFileSystem::AsHandle(FileHandle handle) const {
  return reinterpret_cast<PackFileHandle*>(handle);
}

FileHandle PackFileSystem::Open(const std::string& name, const std::string& mode) {
  const PackEntry* entry = FindEntry(name);
  if (!entry) return kNoFile;
  if (!mode.empty() && mode.front() == 'w') {
    const FileHandle file = base_->Open(PackKey(name), mode);
    return file == kNoFile ? kNoFile : AddHandle(true, true, *entry, file);
  }
  const bool borrowed = spare_ != kNoFile;
  const FileHandle file = borrowed ? spare_ : base_->Open(path_, "rb");
  if (file == kNoFile) return kNoFile;
  spare_ = kNoFile;
  base_->Seek(file, entry->offset, kSeekStart);
  return AddHandle(!borrowed, false, *entry, file);
}

int PackFileSystem::Close(FileHandle handle) {
  auto found = handles_.find(handle);
  if (found == handles_.end()) return -1;
  const PackFileHandle& record = *found->second;
  if (record.ownsFile) {
    base_->Close(record.file);
  } else {
    spare_ = record.file;
  }
  handles_.erase(found);
  return 0;
}

std::size_t PackFileSystem::Read(void* destination, std::size_t elementSize, std::size_t count,
                                 FileHandle handle) {
  return handle == kNoFile ? 0 : base_->Read(destination, elementSize, count, AsHandle(handle)->file);
}

std::size_t PackFileSystem::Write(const void* source, std::size_t elementSize,
                                  std::size_t count, FileHandle handle) {
  return handle == kNoFile ? 0 : base_->Write(source, elementSize, count, AsHandle(handle)->file);
}

std::int64_t PackFileSystem::Tell(FileHandle handle) {
  if (handle == kNoFile) return -1;
  const PackFileHandle& record = *AsHandle(handle);
  const std::int64_t position = base_->Tell(record.file);
  return record.writing ? position : position - record.entry.offset;
}

int PackFileSystem::Seek(FileHandle handle, std::int64_t offset, int origin) {
  if (handle == kNoFile) return -1;
  const PackFileHandle& record = *AsHandle(handle);
  if (record.writing || origin == kSeekCurrent) return base_->Seek(record.file, offset, origin);
  if (origin == kSeekStart) return base_->Seek(record.file, record.entry.offset + offset, kSeekStart);
  if (origin == kSeekEnd) {
    return base_->Seek(record.file, std::int64_t{record.entry.offset} + record.entry.size + offset,
                       kSeekStart);
  }
  return 0;
}

int PackFileSystem::Eof(FileHandle handle) {
  if (handle == kNoFile) return 1;
  const PackFileHandle& record = *AsHandle(handle);
  if (record.writing) return base_->Eof(record.file);
  const std::int64_t end = std::int64_t{record.entry.offset} + record.entry.size;
  return base_->Tell(record.file) >= end ? 1 : base_->Eof(record.file);
}

std::int64_t PackFileSystem::GetSize(FileHandle handle) {
  if (handle == kNoFile) return 0;
  const PackFileHandle& record = *AsHandle(handle);
  return record.writing ? base_->GetSize(record.file) : record.entry.size;
}

std::int64_t PackFileSystem::GetEntrySize(const std::string& name) {
  const PackEntry* entry = FindEntry(name);
  return entry ? entry->size : -1;
}

std::int64_t PackFileSystem::GetEntryOffset(const std::string& name) {
  const PackEntry* entry = FindEntry(name);
  return entry ? entry->offset : -1;
}

std::int64_t PackFileSystem::GetEntryStart(FileHandle handle) {
  if (handle == kNoFile) return 0;
  const PackFileHandle& record = *AsHandle(handle);
  return record.writing ? 0 : record.entry.offset;
}

}  // namespace tge

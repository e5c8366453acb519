// The game archive as a file system: named entries of one archive file are
// served as if they were files. The entry table is kept in memory and found
// through a hash of the lower-cased names; an entry is read through a handle
// of the archive file, in the base file system, positioned in the entry's
// byte window. The program only reads archives (tools/ has the writer).
//
// Layout (little-endian): PackHeader, int32 entry count, the PackEntry
// table, then the entry data anywhere in the file at the entries' offsets.
// Opening checks the count, every offset and size against the file's size
// and every name's terminator, and refuses a corrupt archive with a message.
#pragma once
#include <memory>
#include <unordered_map>
#include <vector>

#include "core/files/FileSystem.h"
#include "core/files/NameHashTable.h"

namespace tge {

constexpr std::uint32_t kPackMagic = 0x4b454547;  // "GEEK" in file order
constexpr std::size_t kPackNameSize = 128;
constexpr std::size_t kPackBuckets = 4096;

struct PackHeader {
  std::uint32_t magic;
  std::uint8_t unused[12];
};

struct PackEntry {
  std::int32_t offset;
  std::int32_t size;
  char name[kPackNameSize];  // '\' separators, zero-terminated
};

static_assert(sizeof(PackHeader) == 16 && sizeof(PackEntry) == 136);
constexpr std::size_t kPackTableStart = sizeof(PackHeader) + sizeof(std::int32_t);

// The key an archive name is found under: '/' turned into '\', lower-cased.
std::string PackKey(const std::string& name);

class PackFileSystem;

// Opens the archive at path through base (the current default when null),
// with the base's sequential-read hint when asked. On failure returns null
// and, when error is given, a message that names the archive and the fault.
std::unique_ptr<PackFileSystem> OpenPackFile(const std::string& path, FileSystem* base = nullptr,
                                             bool sequential = false,
                                             std::string* error = nullptr);
// Deletes the archive (nothing for null). When it was the default file
// system, the disk instance becomes the default again.
void ClosePackFile(std::unique_ptr<PackFileSystem> pack);

class PackFileSystem : public FileSystem {
 public:
  ~PackFileSystem() override;
  PackFileSystem(const PackFileSystem&) = delete;
  PackFileSystem& operator=(const PackFileSystem&) = delete;

  // A name not in the archive gives 0 whatever the mode. A mode beginning
  // with 'w' opens the loose file of that key through the base instead; all
  // operations on such a handle go straight to the base.
  FileHandle Open(const std::string& name, const std::string& mode) override;
  int Close(FileHandle handle) override;
  // Reads are not clipped at the entry's end: they go on into the following
  // bytes of the archive, and stop at the end of the archive file.
  std::size_t Read(void* destination, std::size_t elementSize, std::size_t count,
                   FileHandle handle) override;
  std::size_t Write(const void* source, std::size_t elementSize, std::size_t count,
                    FileHandle handle) override;
  std::int64_t Tell(FileHandle handle) override;
  int Seek(FileHandle handle, std::int64_t offset, int origin) override;
  int Eof(FileHandle handle) override;
  std::int64_t GetSize(FileHandle handle) override;
  // -1 for a name not in the archive.
  std::int64_t GetEntrySize(const std::string& name) override;
  std::int64_t GetEntryOffset(const std::string& name) override;
  std::int64_t GetEntryStart(FileHandle handle) override;

  std::size_t GetEntryCount() const { return entries_.size(); }
  // Names as loaded: lower-cased, '/' turned into '\'.
  const PackEntry& GetEntry(std::size_t index) const { return entries_[index]; }
  const std::string& GetPath() const { return path_; }

 private:
  friend std::unique_ptr<PackFileSystem> OpenPackFile(const std::string&, FileSystem*, bool,
                                                      std::string*);
  struct PackFileHandle {
    bool ownsFile;
    bool writing;
    PackEntry entry;
    FileHandle file;
  };

  PackFileSystem(FileSystem* base, std::string path);
  // Reads and checks the header and table from the open archive file.
  std::string Load(FileHandle file);
  const PackEntry* FindEntry(const std::string& name) const;
  FileHandle AddHandle(bool ownsFile, bool writing, const PackEntry& entry, FileHandle file);
  PackFileHandle* AsHandle(FileHandle handle) const;

  FileSystem* base_;
  std::string path_;
  FileHandle spare_ = kNoFile;
  PackHeader header_{};
  std::vector<PackEntry> entries_;
  NameHashTable names_{kPackBuckets};
  std::unordered_map<FileHandle, std::unique_ptr<PackFileHandle>> handles_;
};

}  // namespace tge

// Fuzzes the archive loader: the input is served as the archive file through
// a file system over memory, then every entry the loader accepted is looked
// up, opened and read to its end and a little past it.
#include <cstdint>
#include <vector>

#include "core/files/MemoryFileSystem.h"
#include "core/files/PackFileSystem.h"

namespace {

// Serves one in-memory file under any name, read-only.
class BytesFileSystem : public tge::FileSystem {
 public:
  explicit BytesFileSystem(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

  tge::FileHandle Open(const std::string&, const std::string& mode) override {
    if (mode.empty() || mode.front() != 'r') return tge::kNoFile;
    return memory_.CreateMemoryHandle(bytes_.size(), bytes_.data());
  }
  int Close(tge::FileHandle h) override { return memory_.Close(h); }
  std::size_t Read(void* d, std::size_t s, std::size_t n, tge::FileHandle h) override {
    return memory_.Read(d, s, n, h);
  }
  std::size_t Write(const void*, std::size_t, std::size_t, tge::FileHandle) override { return 0; }
  std::int64_t Tell(tge::FileHandle h) override { return memory_.Tell(h); }
  int Seek(tge::FileHandle h, std::int64_t o, int origin) override {
    return memory_.Seek(h, o, origin);
  }
  int Eof(tge::FileHandle h) override { return memory_.Eof(h); }
  std::int64_t GetEntrySize(const std::string&) override { return 0; }
  std::int64_t GetEntryOffset(const std::string&) override { return 0; }

 private:
  std::vector<std::uint8_t> bytes_;
  tge::MemoryFileSystem& memory_ = tge::GetMemoryFileSystem();
};

void ReadEntry(tge::PackFileSystem& pack, const char* name) {
  const tge::FileHandle file = pack.Open(name, "rb");
  if (file == tge::kNoFile) __builtin_trap();  // every accepted entry must open
  const std::int64_t size = pack.GetSize(file);
  if (size != pack.GetEntrySize(name)) __builtin_trap();
  std::uint8_t chunk[256];
  std::int64_t total = 0;
  while (total <= size && pack.Read(chunk, 1, sizeof chunk, file) > 0) total += sizeof chunk;
  pack.Seek(file, -1, tge::kSeekEnd);
  pack.Eof(file);
  pack.Tell(file);
  pack.Close(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  BytesFileSystem bytes({data, data + size});
  std::unique_ptr<tge::PackFileSystem> pack = tge::OpenPackFile("fuzz.csa", &bytes);
  if (!pack) return 0;
  for (std::size_t i = 0; i < pack->GetEntryCount(); ++i) ReadEntry(*pack, pack->GetEntry(i).name);
  return 0;
}

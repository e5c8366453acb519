// Archive look-ups in an archive of 10,000 entries: by name (hash, key
// normalisation and bucket walk) and a full open and close of an entry.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "core/files/PackFileSystem.h"
#include "core/files/StdioFileSystem.h"
#include "tools/PackWriter.h"

namespace {

constexpr int kEntries = 10000;

// Names as scripts write them: forward slashes and mixed case.
std::string ScriptName(int i) {
  return "Levels/Level" + std::to_string(i / 100) + "/Object" + std::to_string(i) + ".DAT";
}

class Archive {
 public:
  Archive() : path_(std::filesystem::temp_directory_path() /
                    ("tge-archive-bench-" + std::to_string(::getpid()) + ".csa")) {
    std::vector<tge::PackSource> sources;
    for (int i = 0; i < kEntries; ++i) {
      std::string name = ScriptName(i);
      std::replace(name.begin(), name.end(), '/', '\\');
      sources.push_back({name, std::vector<std::uint8_t>(16, static_cast<std::uint8_t>(i))});
      names_.push_back(ScriptName(i));
    }
    tge::WritePackFile(path_, sources);
    pack_ = tge::OpenPackFile(path_.string(), tge::GetDiskFileSystem());
  }
  ~Archive() {
    pack_.reset();
    std::filesystem::remove(path_);
  }
  tge::PackFileSystem& Pack() { return *pack_; }
  const std::string& Name(std::size_t i) const { return names_[i % names_.size()]; }

 private:
  std::filesystem::path path_;
  std::vector<std::string> names_;
  std::unique_ptr<tge::PackFileSystem> pack_;
};

Archive& TheArchive() {
  static Archive archive;
  return archive;
}

void BM_ArchiveLookup(benchmark::State& state) {
  Archive& archive = TheArchive();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(archive.Pack().GetEntryOffset(archive.Name(i)));
    i += 7919;  // a prime stride, so look-ups do not walk the table in order
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ArchiveLookup);

void BM_ArchiveOpenClose(benchmark::State& state) {
  Archive& archive = TheArchive();
  std::size_t i = 0;
  for (auto _ : state) {
    const tge::FileHandle file = archive.Pack().Open(archive.Name(i), "rb");
    benchmark::DoNotOptimize(file);
    archive.Pack().Close(file);
    i += 7919;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ArchiveOpenClose);

}  // namespace

BENCHMARK_MAIN();

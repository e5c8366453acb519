#include "core/files/PackFileSystem.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "core/files/SerializeStream.h"
#include "tests/core/files/TempFolder.h"
#include "tools/PackWriter.h"

namespace tge {
namespace {

// Serves names below a folder through the disk back-end and counts opens, so
// loose files land in the test's folder and handle reuse can be seen.
class FolderFileSystem : public FileSystem {
 public:
  explicit FolderFileSystem(std::filesystem::path root) : root_(std::move(root)) {}
  int opens = 0;

  FileHandle Open(const std::string& name, const std::string& mode) override {
    ++opens;
    return disk_.Open((root_ / name).string(), mode);
  }
  int Close(FileHandle h) override { return disk_.Close(h); }
  std::size_t Read(void* d, std::size_t s, std::size_t n, FileHandle h) override {
    return disk_.Read(d, s, n, h);
  }
  std::size_t Write(const void* d, std::size_t s, std::size_t n, FileHandle h) override {
    return disk_.Write(d, s, n, h);
  }
  std::int64_t Tell(FileHandle h) override { return disk_.Tell(h); }
  int Seek(FileHandle h, std::int64_t o, int origin) override { return disk_.Seek(h, o, origin); }
  int Eof(FileHandle h) override { return disk_.Eof(h); }
  std::int64_t GetEntrySize(const std::string&) override { return 0; }
  std::int64_t GetEntryOffset(const std::string&) override { return 0; }

 private:
  std::filesystem::path root_;
  FileSystem& disk_ = *GetDiskFileSystem();
};

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<PackSource> Sources() {
  return {{"Sounds/Hit.WAV", Bytes("hit")},     {"Textures\\Wall.PNG", Bytes("wall")},
          {"readme.txt", Bytes("0123456789")},
          {"ipigcnu.dat", Bytes("A")},           {"mgbclui.dat", Bytes("B")},
          {"Dup.bin", Bytes("first")},           {"dup.bin", Bytes("second")}};
}

class PackFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WritePackFile(folder_.Path() / "data.csa", Sources()));
    std::string error;
    pack_ = OpenPackFile("data.csa", &base_, false, &error);
    ASSERT_TRUE(pack_) << error;
  }
  std::string ReadEntry(const std::string& name, std::size_t bytes = 64) {
    const FileHandle file = pack_->Open(name, "rb");
    if (file == kNoFile) return "<none>";
    std::string text(bytes, '\0');
    text.resize(pack_->Read(text.data(), 1, bytes, file));
    pack_->Close(file);
    return text;
  }

  testing::TempFolder folder_;
  FolderFileSystem base_{folder_.Path()};
  std::unique_ptr<PackFileSystem> pack_;
};

TEST_F(PackFileSystemTest, FindsNamesInAnyCaseWithEitherSeparator) {
  for (const char* name : {"textures\\wall.png", "Textures/Wall.PNG", "TEXTURES\\WALL.PNG",
                           "textures/wall.png"}) {
    EXPECT_EQ(ReadEntry(name, 4), "wall") << name;
    EXPECT_EQ(pack_->GetEntrySize(name), 4) << name;
  }
  EXPECT_EQ(ReadEntry("sounds\\hit.wav", 3), "hit");  // stored with '/'
  EXPECT_EQ(pack_->GetEntryCount(), 7u);
  EXPECT_STREQ(pack_->GetEntry(0).name, "sounds\\hit.wav");
}

TEST_F(PackFileSystemTest, NamesAreMatchedByTextAndTheLaterDuplicateWins) {
  EXPECT_EQ(ReadEntry("ipigcnu.dat", 2), "AB");  // reads run on into the next entry
  EXPECT_EQ(ReadEntry("MGBCLUI.dat", 1), "B");
  EXPECT_EQ(ReadEntry("DUP.BIN"), "second");
  EXPECT_EQ(pack_->Open("missing.txt", "rb"), kNoFile);
  EXPECT_EQ(pack_->Open("missing.txt", "wb"), kNoFile);
  EXPECT_EQ(pack_->GetEntrySize("missing.txt"), -1);
  EXPECT_EQ(pack_->GetEntryOffset("missing.txt"), -1);
}

TEST_F(PackFileSystemTest, HandleWorksInsideTheEntryWindow) {
  const FileHandle file = pack_->Open("readme.txt", "rb");
  ASSERT_NE(file, kNoFile);
  const std::int64_t start = pack_->GetEntryOffset("readme.txt");
  EXPECT_EQ(pack_->GetEntryStart(file), start);
  EXPECT_EQ(pack_->GetSize(file), 10);
  EXPECT_EQ(pack_->Tell(file), 0);
  char c = 0;
  const auto charAt = [&](std::int64_t offset, int origin) {
    pack_->Seek(file, offset, origin);
    return pack_->Read(&c, 1, 1, file) == 1 ? c : '?';
  };
  EXPECT_EQ(charAt(3, kSeekStart), '3');
  EXPECT_EQ(charAt(2, kSeekCurrent), '6');
  EXPECT_EQ(charAt(-1, kSeekEnd), '9');
  EXPECT_EQ(pack_->Tell(file), 10);
  EXPECT_EQ(pack_->Eof(file), 1);
  EXPECT_EQ(charAt(0, kSeekCurrent), 'A');  // past the end: the next entry's byte
  pack_->Close(file);
}

TEST_F(PackFileSystemTest, ReadsStopAtTheEndOfTheArchiveFile) {
  EXPECT_EQ(ReadEntry("dup.bin", 1000), "second");
}

TEST_F(PackFileSystemTest, WriteModeMakesALooseFileForKnownNames) {
  const FileHandle file = pack_->Open("README.TXT", "wb");
  ASSERT_NE(file, kNoFile);
  EXPECT_EQ(pack_->Write("new", 1, 3, file), 3u);
  EXPECT_EQ(pack_->GetEntryStart(file), 0);
  pack_->Close(file);
  EXPECT_EQ(folder_.ReadFile("readme.txt"), "new");
  EXPECT_EQ(ReadEntry("readme.txt", 10), "0123456789");
}

TEST_F(PackFileSystemTest, OneEntryAtATimeReusesTheArchiveHandle) {
  EXPECT_EQ(base_.opens, 1);
  const FileHandle first = pack_->Open("readme.txt", "rb");
  EXPECT_EQ(base_.opens, 1);
  pack_->Close(first);
  const FileHandle second = pack_->Open("dup.bin", "rb");
  EXPECT_EQ(base_.opens, 1);
  const FileHandle third = pack_->Open("readme.txt", "rb");
  EXPECT_EQ(base_.opens, 2);
  pack_->Close(second);
  pack_->Close(third);
  EXPECT_EQ(ReadEntry("readme.txt", 3), "012");
  EXPECT_EQ(base_.opens, 2);
}

TEST_F(PackFileSystemTest, ServesStreamsAsTheDefaultUntilClosed) {
  SetFileSystem(pack_.get());
  {
    SerializeStream stream;
    ASSERT_TRUE(stream.OpenAndLoad("Textures/Wall.png"));
    EXPECT_STREQ(reinterpret_cast<const char*>(stream.GetBuffer()), "wall");
  }
  ClosePackFile(std::move(pack_));
  EXPECT_EQ(GetFileSystem(), GetDiskFileSystem());
}

struct CorruptCase {
  const char* label;
  std::function<void(std::vector<std::uint8_t>&)> damage;
  const char* message;
};

void PrintTo(const CorruptCase& c, std::ostream* os) { *os << c.label; }

template <class T>
void Put(std::vector<std::uint8_t>& image, std::size_t at, T value) {
  std::memcpy(image.data() + at, &value, sizeof value);
}

constexpr std::size_t kFirstEntry = kPackTableStart;
constexpr std::size_t kSecondEntry = kPackTableStart + sizeof(PackEntry);

class CorruptArchiveTest : public ::testing::TestWithParam<CorruptCase> {};

TEST_P(CorruptArchiveTest, IsRefusedWithAMessage) {
  testing::TempFolder folder;
  std::vector<std::uint8_t> image = BuildPackImage({{"a.txt", Bytes("aaaa")}, {"b", Bytes("bb")}});
  GetParam().damage(image);
  const std::string path = folder / "bad.csa";
  folder.WriteFile("bad.csa", std::string(image.begin(), image.end()));
  std::string error;
  EXPECT_EQ(OpenPackFile(path, GetDiskFileSystem(), false, &error), nullptr);
  EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
  EXPECT_NE(error.find("bad.csa"), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    PackFileSystem, CorruptArchiveTest,
    ::testing::Values(
        CorruptCase{"BadMagic", [](auto& i) { i[0] = 'X'; }, "magic"},
        CorruptCase{"ShortHeader", [](auto& i) { i.resize(18); }, "too short"},
        CorruptCase{"CountBeyondFile", [](auto& i) { Put<std::int32_t>(i, 16, 3); }, "count 3"},
        CorruptCase{"NegativeCount", [](auto& i) { Put<std::int32_t>(i, 16, -1); }, "count -1"},
        CorruptCase{"OffsetBeyondFile",
                    [](auto& i) { Put<std::int32_t>(i, kSecondEntry, 1000); }, "outside"},
        CorruptCase{"SizeBeyondFile",
                    [](auto& i) { Put<std::int32_t>(i, kFirstEntry + 4, 300); }, "outside"},
        CorruptCase{"NegativeOffset",
                    [](auto& i) { Put<std::int32_t>(i, kFirstEntry, -8); }, "outside"},
        CorruptCase{"SumPastInt32",
                    [](auto& i) {
                      Put<std::int32_t>(i, kFirstEntry, 0x7FFFFF00);
                      Put<std::int32_t>(i, kFirstEntry + 4, 0x7FFFFF00);
                    },
                    "outside"},
        CorruptCase{"UnterminatedName",
                    [](auto& i) { std::memset(i.data() + kSecondEntry + 8, 'n', kPackNameSize); },
                    "entry 1: its name is not terminated"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(PackFileSystem, PackedFolderIsServedByRelativePaths) {
  testing::TempFolder folder;
  folder.WriteFile("in/Maps/Deep/Level.MAP", "map");
  folder.WriteFile("in/top.txt", "top");
  const std::vector<PackSource> sources = CollectPackSources(folder.Path() / "in");
  ASSERT_EQ(sources.size(), 2u);
  EXPECT_EQ(sources[0].name, "Maps\\Deep\\Level.MAP");
  ASSERT_TRUE(WritePackFile(folder.Path() / "out.csa", sources));
  std::unique_ptr<PackFileSystem> pack = OpenPackFile(folder / "out.csa", GetDiskFileSystem());
  ASSERT_TRUE(pack);
  EXPECT_EQ(pack->GetEntrySize("maps/deep/level.map"), 3);
  EXPECT_EQ(pack->GetEntrySize("TOP.TXT"), 3);
}

TEST(PackFileSystem, MissingArchiveIsRefused) {
  std::string error;
  EXPECT_EQ(OpenPackFile("no-such-archive.csa", nullptr, true, &error), nullptr);
  EXPECT_NE(error.find("cannot be opened"), std::string::npos) << error;
}

}  // namespace
}  // namespace tge

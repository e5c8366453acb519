#include <gtest/gtest.h>

#include "core/files/MemoryFileSystem.h"
#include "core/files/StdioFileSystem.h"
#include "tests/core/files/TempFolder.h"

namespace tge {
namespace {

std::string ReadAll(FileSystem& fs, FileHandle handle) {
  std::string text(static_cast<std::size_t>(fs.GetSize(handle)), '\0');
  text.resize(fs.Read(text.data(), 1, text.size(), handle));
  return text;
}

TEST(DiskFileSystem, GetSizeKeepsThePosition) {
  testing::TempFolder folder;
  folder.WriteFile("ten.bin", "0123456789");
  FileSystem& disk = *GetDiskFileSystem();
  const FileHandle file = disk.Open(folder / "ten.bin", "rb");
  ASSERT_NE(file, kNoFile);
  ASSERT_EQ(disk.Seek(file, 3, kSeekStart), 0);
  EXPECT_EQ(disk.GetSize(file), 10);
  EXPECT_EQ(disk.Tell(file), 3);
  char c = 0;
  EXPECT_EQ(disk.Read(&c, 1, 1, file), 1u);
  EXPECT_EQ(c, '3');
  EXPECT_EQ(disk.Close(file), 0);
}

TEST(DiskFileSystem, ReadsWindowsPathsInAnyCase) {
  testing::TempFolder folder;
  folder.WriteFile("Data/Levels/Start.LVL", "level");
  FileSystem& disk = *GetDiskFileSystem();
  for (const char* name : {"Data/Levels/Start.LVL", "Data\\Levels\\Start.LVL",
                           "data\\levels\\start.lvl", "DATA/LEVELS/START.LVL"}) {
    const FileHandle file = disk.Open(folder / name, "rbs");
    ASSERT_NE(file, kNoFile) << name;
    EXPECT_EQ(ReadAll(disk, file), "level") << name;
    disk.Close(file);
  }
  EXPECT_EQ(disk.Open(folder / "data\\levels\\missing.lvl", "rb"), kNoFile);
  EXPECT_EQ(disk.Open(folder / "data\\nowhere\\start.lvl", "rb"), kNoFile);
}

// The C library opens a folder for reading; its size would be nonsense.
TEST(DiskFileSystem, AFolderIsNotAFile) {
  testing::TempFolder folder;
  folder.WriteFile("Data/Levels/Start.LVL", "level");
  FileSystem& disk = *GetDiskFileSystem();
  for (const char* name : {"Data", "data\\levels", "Data/."}) {
    EXPECT_EQ(disk.Open(folder / name, "rb"), kNoFile) << name;
  }
}

TEST(DiskFileSystem, WritingMatchesFoldersButKeepsTheNewName) {
  testing::TempFolder folder;
  folder.WriteFile("Saves/keep.txt", "");
  FileSystem& disk = *GetDiskFileSystem();
  const FileHandle file = disk.Open(folder / "SAVES\\Slot1.SAV", "wb");
  ASSERT_NE(file, kNoFile);
  EXPECT_EQ(disk.Write("save", 1, 4, file), 4u);
  disk.Close(file);
  EXPECT_EQ(folder.ReadFile("Saves/Slot1.SAV"), "save");
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / "SAVES"));
}

TEST(DefaultFileSystem, StartsAsDiskAndFallsBackToIt) {
  EXPECT_EQ(GetFileSystem(), GetDiskFileSystem());
  SetFileSystem(&GetMemoryFileSystem());
  EXPECT_EQ(GetFileSystem(), &GetMemoryFileSystem());
  SetFileSystem(nullptr);
  EXPECT_EQ(GetFileSystem(), GetDiskFileSystem());
}

}  // namespace
}  // namespace tge

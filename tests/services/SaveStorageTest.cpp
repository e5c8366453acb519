#include "services/SaveStorage.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "services/ErrorMessage.h"
#include "tests/services/TestBytes.h"

namespace tge {
namespace {

// Points the user's data folder at a temporary folder for one test.
class SaveStorageTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("XDG_DATA_HOME", folder.Path("home").c_str(), 1); }
  void TearDown() override { unsetenv("XDG_DATA_HOME"); }

  std::int32_t Status() const {
    std::int32_t result = 0;
    EXPECT_EQ(storage.GetSaveStatus(0, 0, &result), 0);
    return result;
  }

  test::TempDataFolder folder;
  SaveStorage storage;
};

TEST_F(SaveStorageTest, DefaultFolderIsTheUsersDataFolderAndSavesReplace) {
  ASSERT_EQ(storage.InitSaveStorage(), 1);
  EXPECT_EQ(storage.GetSaveDirectory(), "C:\\");
  const std::string path = storage.GetSavePath("slot1");
  EXPECT_EQ(path, folder.Path("home").string() + "/tarnwick/slot1");
  const std::uint8_t first[] = {1, 2, 3, 4, 5};
  const std::uint8_t second[] = {9};
  EXPECT_EQ(storage.WriteSaveData("slot1", first, sizeof first), 0);
  EXPECT_EQ(Status(), 1);
  EXPECT_EQ(storage.WriteSaveData("slot1", second, sizeof second), 0);
  EXPECT_EQ(folder.Read("home/tarnwick/slot1"), (std::vector<std::uint8_t>{1, 0, 0, 0, 1, 0, 0, 0, 9}));
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST_F(SaveStorageTest, GameFoldersAreHonoured) {
  storage.SetSaveDirectory("SaveGame\\");
  EXPECT_EQ(storage.GetSavePath("a"), folder.Path("home").string() + "/tarnwick/SaveGame/a");
  storage.SetSaveDirectory("D:\\Games\\Tarn\\SaveGame\\");
  EXPECT_EQ(storage.GetSavePath("a"), folder.Path("home").string() + "/tarnwick/Games/Tarn/SaveGame/a");
  storage.SetSaveDirectory(folder.Path("abs").string() + "\\SaveGame\\");
  EXPECT_EQ(storage.GetSavePath("a"), folder.Path("abs").string() + "/SaveGame/a");
  const std::uint8_t data[] = {7};
  storage.WriteSaveData("a", data, 1);
  EXPECT_EQ(Status(), 1);
  EXPECT_EQ(folder.Read("abs/SaveGame/a").size(), 9u);
}

TEST_F(SaveStorageTest, EmptySavesWriteNothingAndBadNamesOrFoldersFail) {
  const std::uint8_t data[] = {7};
  storage.WriteSaveData("empty", data, 0);
  storage.WriteSaveData("null", nullptr, 4);
  EXPECT_EQ(Status(), 1);
  EXPECT_FALSE(std::filesystem::exists(folder.Path("home/tarnwick/empty")));
  for (const char* name : {"../escape", "a/b", "a\\b", "..", ""}) {
    storage.WriteSaveData(name, data, 1);
    EXPECT_EQ(Status(), -1) << name;
    EXPECT_EQ(std::string(GetErrorMessage()).rfind("File Open Error:", 0), 0u) << name;
  }
  folder.Write("blocker", {0});  // a file where the folder should be
  storage.SetSaveDirectory(folder.Path("blocker").string() + "/");
  storage.WriteSaveData("slot", data, 1);
  EXPECT_EQ(Status(), -1);
  storage.SetSaveDirectory("C:\\");
  storage.WriteSaveData("slot", data, 1);
  EXPECT_EQ(Status(), 1);
  EXPECT_EQ(storage.GetSaveStatus(0, 0, nullptr), 0);
}

}  // namespace
}  // namespace tge

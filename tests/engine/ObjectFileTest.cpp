#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "core/trees/ObjectServices.h"
#include "services/ErrorMessage.h"
#include "tests/engine/EngineTestFixture.h"

namespace tge::test {
namespace {

using ObjectFileTest = EngineTest;

std::string Words(std::initializer_list<std::int32_t> words) {
  std::string bytes(words.size() * 4, '\0');
  std::memcpy(bytes.data(), words.begin(), bytes.size());
  return bytes;
}

TEST_F(ObjectFileTest, SceneSavedLoadedAndSavedAgainIsByteIdentical) {
  Object& level = Add(*engine, "Level");
  Add(Add(level, "Door"), "Handle");
  Add(level, "Lamp");
  AddFile(*engine, "Menu", "menu.sac");
  Add(*engine, "Sky");
  ASSERT_TRUE(engine->SaveObjectFile(*engine, "scene.sac", false, false));

  Object& holder = Add(*engine, "Holder");
  ASSERT_TRUE(engine->LoadObjectFile(holder, "scene.sac"));
  ASSERT_EQ(holder.GetChildCount(), 3);
  EXPECT_EQ(holder.GetChild(0)->GetChild(0)->GetChild(0)->GetName(), "Handle");
  EXPECT_EQ(holder.GetChild(0)->GetChild(1)->GetName(), "Lamp");
  EXPECT_EQ(holder.GetChild(1)->GetClassId(), kClassFile);
  ASSERT_TRUE(engine->SaveObjectFile(holder, "again.sac", false, false));
  EXPECT_EQ(folder.ReadFile("again.sac"), folder.ReadFile("scene.sac"));
  EXPECT_FALSE(std::filesystem::exists(folder / "scene.sac.tmp"));
}

TEST_F(ObjectFileTest, FileInsideASubtreeIsWrittenWithoutItsChildrenAndAutoLoadsItsOwn) {
  File& inner = AddFile(*engine, "Inner", "inner.sac");
  Add(inner, "Crate");
  ASSERT_TRUE(engine->SaveObjectFile(inner, "inner.sac", false, false));
  ASSERT_TRUE(engine->SaveObjectFile(*engine, "outer.sac", false, false));

  Object& holder = Add(*engine, "Holder");
  ASSERT_TRUE(engine->LoadObjectFile(holder, "outer.sac"));
  auto& loaded = static_cast<File&>(*holder.GetChild(0));
  EXPECT_TRUE(loaded.IsLoaded());
  ASSERT_EQ(loaded.GetChildCount(), 1);
  EXPECT_EQ(loaded.GetChild(0)->GetName(), "Crate");
}

TEST_F(ObjectFileTest, FilesThatIncludeThemselvesStopAtTheCycle) {
  AddFile(*engine, "Self", "self.sac");
  ASSERT_TRUE(engine->SaveObjectFile(*engine, "self.sac", false, false));
  Object& holder = Add(*engine, "Holder");
  ASSERT_TRUE(engine->LoadObjectFile(holder, "self.sac"));
  auto& file = static_cast<File&>(*holder.GetChild(0));
  EXPECT_FALSE(file.IsLoaded());
  EXPECT_EQ(file.GetChildCount(), 0);
}

TEST_F(ObjectFileTest, EnablePathFallsBackToTheDataPath) {
  Add(*engine, "Crate");
  ASSERT_TRUE(engine->SaveObjectFile(*engine, "crate.sac", false, false));
  File& file = AddFile(*engine, "Box", "");
  file.SetFileFlag(kFileEnablePath, true);
  std::string folderName = "missing/";
  file.ExecuteCommand(2263, &folderName);
  const std::string dataPath = engine->GetDataPath();
  EXPECT_TRUE(file.FileLoadObjects("crate.sac"));
  EXPECT_EQ(file.GetFileName(), "crate.sac");
  EXPECT_EQ(engine->GetDataPath(), dataPath);
}

// A file is refused whole: nothing attached, nothing left alive.
TEST_F(ObjectFileTest, CorruptFilesAreRefusedWithTheirNameAndLeaveNothing) {
  Add(*engine, "A");
  ASSERT_TRUE(engine->SaveObjectFile(*engine, "good.sac", false, false));
  const std::string good = folder.ReadFile("good.sac");
  const std::string object = good.substr(12);  // one record's state after its parent index
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"truncated", good.substr(0, good.size() - 3)},
      {"parent out of range", Words({81, 1, 5}) + object},
      {"parent loop", Words({81, 2, 1}) + object + Words({0}) + object},
      {"self parent", Words({81, 1, 0}) + object},
      {"unknown class", Words({81, 1, -1, 42, 0})},
      {"engine class", Words({81, 1, -1, 1, 0})},
      {"huge count", Words({81, 0x7fffffff, -1}) + object},
      {"negative count", Words({81, -4})},
      {"newer version", Words({82, 0})},
      {"empty", ""},
  };
  Object& holder = Add(*engine, "Holder");
  const int live = Object::GetLiveObjectCount();
  for (const Case& c : cases) {
    folder.WriteFile("bad.sac", c.bytes);
    EXPECT_FALSE(engine->LoadObjectFile(holder, "bad.sac")) << c.what;
    EXPECT_NE(std::string(GetErrorMessage()).find("bad.sac"), std::string::npos) << c.what;
    EXPECT_EQ(holder.GetChildCount(), 0) << c.what;
    EXPECT_EQ(Object::GetLiveObjectCount(), live) << c.what;
  }
}

TEST_F(ObjectFileTest, AFailedWriteKeepsTheOldFile) {
  Add(*engine, "A");
  ASSERT_TRUE(engine->SaveObjectFile(*engine, "keep.sac", false, false));
  const std::string before = folder.ReadFile("keep.sac");
  std::filesystem::create_directory(folder / "keep.sac.tmp");
  Add(*engine, "B");
  EXPECT_FALSE(engine->SaveObjectFile(*engine, "keep.sac", false, false));
  EXPECT_EQ(folder.ReadFile("keep.sac"), before);
  EXPECT_FALSE(engine->SaveObjectFile(*engine, "no/such/folder/x.sac", false, false));
}

TEST_F(ObjectFileTest, FileCommandsSaveOnlyWhileLoadedAndUnloadDetachesAtOnce) {
  Add(*engine, "Crate");
  ASSERT_TRUE(engine->SaveObjectFile(*engine, "crate.sac", false, false));
  File& file = AddFile(*engine, "Box", "crate.sac");
  file.ExecuteCommand(2253, nullptr);  // FileSave while not loaded
  file.ExecuteCommand(2250, nullptr);  // FileLoad
  ASSERT_TRUE(file.IsLoaded());
  std::string copy = "copy.sac";
  file.ExecuteCommand(2254, &copy);
  EXPECT_EQ(folder.ReadFile("copy.sac"), folder.ReadFile("crate.sac"));

  file.SetFileFlag(kFileDeleteObjectsNextFrame, true);
  const Object* crate = file.GetChild(0);
  const int live = Object::GetLiveObjectCount();
  file.ExecuteCommand(2251, nullptr);  // FileUnLoad
  EXPECT_EQ(file.GetChildCount(), 0);
  EXPECT_FALSE(file.IsLoaded());
  EXPECT_EQ(Object::GetLiveObjectCount(), live);
  EXPECT_EQ(crate->GetParent(), nullptr);
  EXPECT_TRUE(crate->IsRetired());
  engine->GetServices().DeletePendingObjects();
  EXPECT_EQ(Object::GetLiveObjectCount(), live - 1);
}

}  // namespace
}  // namespace tge::test

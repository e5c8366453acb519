#include <gtest/gtest.h>

#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "tests/core/WorldTestUtil.h"

namespace tge::test {
namespace {

using FileTest = WorldTest;

std::vector<std::uint8_t> Save(Object& object, int version) {
  std::vector<std::uint8_t> bytes(1024);
  SerializeStream stream;
  stream.OpenMemoryBuffer(bytes.size(), "wb", bytes.data());
  stream.SetVersion(version);
  EXPECT_TRUE(object.Serialize(stream));
  bytes.resize(static_cast<std::size_t>(stream.Tell()));
  return bytes;
}

bool Load(Object& object, std::vector<std::uint8_t> bytes, int version) {
  SerializeStream stream;
  stream.OpenMemoryBuffer(bytes.size(), "rb", bytes.data());
  stream.SetVersion(version);
  return object.Serialize(stream);
}

TEST_F(FileTest, FieldsSaveByVersionAndAFileNeverLoadsAsLoaded) {
  File file;
  std::string name = "level.sac";
  std::string path = "levels\\";
  file.ExecuteCommand(2255, &name);
  file.ExecuteCommand(2263, &path);
  std::int32_t on = 1;
  file.ExecuteCommand(2259, &on);
  file.SetFileFlag(kFileLoaded, true);

  File loaded;
  ASSERT_TRUE(Load(loaded, Save(file, 81), 81));
  EXPECT_EQ(loaded.GetFileName(), "level.sac");
  EXPECT_EQ(loaded.GetFilePath(), "levels\\");
  EXPECT_EQ(loaded.GetFileFlags(), kFileAutoLoad | kFileDeleteObjectsNextFrame);

  File old;
  ASSERT_TRUE(Load(old, Save(file, 59), 59));
  EXPECT_EQ(old.GetFileName(), "level.sac");
  EXPECT_EQ(old.GetFilePath(), "");
  std::string read;
  old.ExecuteCommand(2256, &read);
  EXPECT_EQ(read, "level.sac");
  std::vector<std::uint8_t> truncated = Save(file, 81);
  truncated.resize(truncated.size() - 2);
  EXPECT_FALSE(Load(old, truncated, 81));
}

TEST_F(FileTest, AWorldIsAFileThatDoesNotAutoLoadAndACopyHasListsOfItsOwn) {
  EXPECT_EQ(world->GetFileFlags() & kFileAutoLoad, 0u);
  EXPECT_EQ(world->GetWorld(), world.get());
  float timeMul = 0.5f;
  world->ExecuteCommand(14270, &timeMul);
  Probe& probe = AddProbe();
  world->RepeatCommand(probe, kProbeNone, nullptr, 0);
  std::unique_ptr<Object> copy = CreateObject(kClassWorld, world.get(), nullptr);
  auto& worlds = World::GetWorldList();
  ASSERT_EQ(worlds.back(), copy.get());
  World& other = *worlds.back();
  EXPECT_EQ(other.GetTimeMul(), 0.5f);
  EXPECT_EQ(other.GetWorld(), &other);
  other.WorldTick();
  EXPECT_EQ(probe.calls.size(), 0u);
  copy.reset();
  EXPECT_EQ(worlds.back(), world.get());
}

}  // namespace
}  // namespace tge::test

namespace tge::test {
namespace {

// The inner File's own load or unload event unloads the outer File holding
// it; the inner File must outlive the command that raised the event.
TEST_F(FileTest, AFileUnloadedByItsOwnLoadOrUnloadEventFinishesTheCommand) {
  for (const std::uint32_t command : {2250u, 2251u}) {
    auto& outer = static_cast<File&>(*world->AddChild(std::make_unique<File>()));
    auto& inner = static_cast<File&>(*outer.AddChild(std::make_unique<File>()));
    std::string name = "missing.sac";
    inner.ExecuteCommand(2255, &name);
    inner.SetUseScript(true);
    inner.GetScripts()->push_back({"OnFileLoaded", "parent.FileUnLoad();", kEventOnFileLoaded, 0});
    inner.GetScripts()->push_back({"OnFileUnloaded", "parent.FileUnLoad();", 2266, 0});
    inner.ExecuteCommand(command, nullptr);
    EXPECT_EQ(outer.GetChildCount(), 0);
    world->DetachChild(outer);
  }
}

TEST_F(FileTest, TheFocusWindowComesBackOnResumeAndIsForgottenWhenRemoved) {
  Probe& first = AddProbe("first");
  Probe& second = AddProbe("second");
  world->AddWindow(first);
  world->SetFocusWindow(&first);
  world->SetFocusWindow(&second);
  EXPECT_EQ(world->GetPreviousFocusWindow(), &first);
  world->ExecuteCommand(193, nullptr);
  EXPECT_EQ(World::GetGlobalFocus(), &second);
  world->RemoveWindow(second);
  EXPECT_EQ(World::GetGlobalFocus(), nullptr);
  EXPECT_EQ(world->GetFocusWindow(), nullptr);
  EXPECT_EQ(world->GetPreviousFocusWindow(), &first);
  first.Delete(false);
  EXPECT_EQ(world->GetPreviousFocusWindow(), nullptr) << "held weakly";
}

}  // namespace
}  // namespace tge::test

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "app/GameShell.h"
#include "demo/DemoData.h"
#include "engine/Engine.h"
#include "platform/window/InstanceLock.h"
#include "services/EngineServices.h"
#include "tests/core/files/TempFolder.h"
#include "tests/platform/window/SdlTestEnvironment.h"

namespace tge::test {
namespace {

// Start-ups in this process on a temporary data folder, headless, each under
// a title of its own so that no other run holds its single-instance lock.
// The lock files go into a run-time folder inside the data folder, so no
// other process can hold even the default title's lock and nothing is left
// behind.
class GameShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::UseHeadlessSdl();
    std::filesystem::create_directories(folder.Path() / "run");
    setenv("XDG_RUNTIME_DIR", (folder.Path() / "run").c_str(), 1);
    setenv("ALSOFT_DRIVERS", "null", 1);
    title = std::string("Shell test ") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + " " +
            std::to_string(::getpid());
  }

  void TearDown() override { unsetenv("XDG_RUNTIME_DIR"); }

  // A windowed start with the title given on the third init.txt line.
  int Run(const std::string& commandLine, const std::string& library = "Library.sli") {
    folder.WriteFile(kInitFileName, folder.Path().string() + "\n" + library + "\n\n" + title + "\n\n");
    ::testing::internal::CaptureStderr();
    const int status = RunGame("-g_fs=0 -g_w=640 -g_h=480 " + commandLine, folder.Path().string());
    errors = ::testing::internal::GetCapturedStderr();
    return status;
  }

  void WriteData(const DemoOptions& options) {
    std::string error;
    ASSERT_TRUE(WriteDemoFiles(folder.Path() / "Data", options, error)) << error;
  }

  // Nothing of a run outlives it.
  static void ExpectAllShutDown() {
    EXPECT_EQ(GetEngine(), nullptr);
    EXPECT_EQ(GetEngineServices(), nullptr);
  }

  ::tge::testing::TempFolder folder;
  std::string title;
  std::string errors;
};

TEST_F(GameShellTest, RunsTheSceneUntilItsScriptExits) {
  WriteData(DemoOptions{0.3f});
  EXPECT_EQ(Run(""), kExitNormal) << errors;
  EXPECT_EQ(errors, "");
  ExpectAllShutDown();
}

// Started in a folder without the game's data: the message names the file
// as the system spells it and the folder the game expects.
TEST_F(GameShellTest, MissingLibraryStopsStartUpAndSaysWhereTheGameStarts) {
  EXPECT_EQ(Run(""), kExitStartupFailed);
  EXPECT_NE(errors.find("System_Serialize: "), std::string::npos) << errors;
  EXPECT_NE(errors.find(folder.Path().string() + "/Data/Library.sli"), std::string::npos) << errors;
  EXPECT_EQ(errors.find('\\'), std::string::npos) << errors;
  EXPECT_NE(errors.find("the one holding init.txt or data.csa"), std::string::npos) << errors;
  ExpectAllShutDown();
}

// A global scene that cannot be read stops the game with the reason.
TEST_F(GameShellTest, DamagedGlobalSceneStopsStartUpWithTheReason) {
  WriteData(DemoOptions{0.2f});
  const std::string scene = folder.ReadFile("Data/Global.sac");
  struct Case {
    std::string bytes;
    const char* reason;
  };
  const Case cases[] = {
      {"", "the file is empty"},
      {scene.substr(0, scene.size() / 2), "truncated"},
      // Version 1, one record, and bytes that are none.
      {std::string("\x01\0\0\0\x01\0\0\0", 8) + "garbage that is no object record at all", "unknown class id"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    folder.WriteFile("Data/Global.sac", c.bytes);
    EXPECT_EQ(Run(""), kExitStartupFailed);
    EXPECT_NE(errors.find(c.reason), std::string::npos) << errors;
    EXPECT_NE(errors.find(folder.Path().string() + "/Data/Global.sac"), std::string::npos) << errors;
    ExpectAllShutDown();
  }
}

TEST_F(GameShellTest, ScreenshotThatCannotBeWrittenEndsWithAnError) {
  WriteData(DemoOptions{});
  EXPECT_EQ(Run("-shot=/nonexistent/dir/x.bmp -shotframe=1"), kExitStartupFailed);
  EXPECT_NE(errors.find("cannot write /nonexistent/dir/x.bmp"), std::string::npos) << errors;
  ExpectAllShutDown();
}

// Malformed values are named and the game runs on without them; options
// that cannot work together stop it before anything starts.
TEST_F(GameShellTest, BadOptionsAreReportedOnStandardError) {
  WriteData(DemoOptions{0.2f});
  EXPECT_EQ(Run("-g_w=abc"), kExitNormal) << errors;
  EXPECT_NE(errors.find("-g_w=abc: -g_w takes"), std::string::npos) << errors;
  EXPECT_EQ(Run("-shotframe=20"), kExitBadOptions);
  EXPECT_NE(errors.find("need -shot=FILE"), std::string::npos) << errors;
  ExpectAllShutDown();
}

// The library line names a file that is not there: the default library is
// tried next.
TEST_F(GameShellTest, LibraryFallsBackToTheDefaultName) {
  WriteData(DemoOptions{0.2f});
  EXPECT_EQ(Run("", "Missing.sli"), kExitNormal) << errors;
  ExpectAllShutDown();
}

TEST_F(GameShellTest, LibraryNameWithBlanksComesFromTheCommandLine) {
  DemoOptions options{0.2f};
  options.libraryFile = "My Game Library.sli";
  WriteData(options);
  // Without init.txt the command line's library is the one loaded and the
  // folder is the data root.
  ::testing::internal::CaptureStderr();
  std::filesystem::remove(folder.Path() / kInitFileName);
  const int status = RunGame("-g_fs=0 -g_w=640 -g_h=480 -lib=My$Game$Library.sli", folder.Path().string());
  errors = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, kExitNormal) << errors;
  ExpectAllShutDown();
}

// The level has no Space at all, so none holds the start position.
TEST_F(GameShellTest, PlayerStartWithoutASpaceStopsStartUp) {
  WriteData(DemoOptions{});
  EXPECT_EQ(Run("-playersac=Global.sac -playerpath=DemoWorld -playerstartx=1 -sac=Global.sac"), kExitStartupFailed);
  EXPECT_NE(errors.find(kNoStartSpaceMessage), std::string::npos) << errors;
  ExpectAllShutDown();
}

TEST_F(GameShellTest, SecondInstanceSaysAnotherIsRunningAndLeaves) {
  platform::InstanceLock first(title);
  ASSERT_EQ(first.State(), platform::InstanceLock::Result::kAcquired);
  EXPECT_EQ(Run(""), kExitNormal);
  EXPECT_NE(errors.find("Another instance of \"" + title + "\" is running"), std::string::npos) << errors;
}

// An empty title line keeps the default title, and the lock is taken on it.
TEST_F(GameShellTest, EmptyTitleLineLocksTheDefaultTitle) {
  platform::InstanceLock first(kDefaultWindowTitle);
  ASSERT_EQ(first.State(), platform::InstanceLock::Result::kAcquired) << first.Error();
  title.clear();
  EXPECT_EQ(Run(""), kExitNormal);
  EXPECT_NE(errors.find(kDefaultWindowTitle), std::string::npos) << errors;
}

}  // namespace
}  // namespace tge::test

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "platform/window/InstanceLock.h"
#include "tests/core/files/TempFolder.h"

namespace tge::platform {
namespace {

// Each test run gets titles of its own, so parallel runs never collide.
std::string UniqueTitle(const std::string& base) {
  return base + " " + std::to_string(getpid()) + " " +
         ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

// Every lock file of a test goes into a run-time folder of its own, removed
// with everything in it when the test ends.
class PlatformInstanceLock : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
  }
  void TearDown() override { unsetenv("XDG_RUNTIME_DIR"); }

  ::tge::testing::TempFolder runtime;
};

TEST_F(PlatformInstanceLock, SecondLockOnSameTitleIsRefusedUntilFirstEnds) {
  const std::string title = UniqueTitle("Lock test");
  {
    InstanceLock first(title);
    ASSERT_EQ(first.State(), InstanceLock::Result::kAcquired) << first.Error();
    InstanceLock second(title);
    EXPECT_EQ(second.State(), InstanceLock::Result::kHeldElsewhere);
    InstanceLock other(title + " other");
    EXPECT_EQ(other.State(), InstanceLock::Result::kAcquired);
  }
  InstanceLock again(title);
  EXPECT_EQ(again.State(), InstanceLock::Result::kAcquired);
}

TEST_F(PlatformInstanceLock, TitlesThatAreNoFileNamesStayInTheLockFolder) {
  const std::string title = UniqueTitle("../a/b");
  const std::filesystem::path slashes = InstanceLock::PathFor(title);
  const std::filesystem::path blanks = InstanceLock::PathFor(title + "?");
  EXPECT_NE(slashes, blanks);
  EXPECT_EQ(slashes.parent_path(), blanks.parent_path());
  EXPECT_EQ(slashes.filename().string().find('/'), std::string::npos);
  EXPECT_NE(InstanceLock::PathFor(""), InstanceLock::PathFor(" "));
  InstanceLock lock(title);
  EXPECT_EQ(lock.State(), InstanceLock::Result::kAcquired) << lock.Error();
}

TEST_F(PlatformInstanceLock, UsesRuntimeFolderAndReportsUnwritableOne) {
  const std::filesystem::path folder = runtime.Path();
  {
    InstanceLock lock(UniqueTitle("Runtime"));
    EXPECT_EQ(lock.FilePath().parent_path(), folder);
    EXPECT_EQ(lock.State(), InstanceLock::Result::kAcquired) << lock.Error();
  }
  std::filesystem::permissions(folder, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_exec);
  if (access(folder.c_str(), W_OK) != 0) {
    InstanceLock lock(UniqueTitle("Read-only"));
    EXPECT_EQ(lock.State(), InstanceLock::Result::kUnavailable);
    EXPECT_NE(lock.Error().find("cannot open"), std::string::npos);
  }
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
}

}  // namespace
}  // namespace tge::platform

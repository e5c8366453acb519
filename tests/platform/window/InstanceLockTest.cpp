#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "platform/window/InstanceLock.h"

namespace tge::platform {
namespace {

// Each test run gets titles of its own, so parallel runs never collide.
std::string UniqueTitle(const std::string& base) {
  return base + " " + std::to_string(getpid()) + " " +
         testing::UnitTest::GetInstance()->current_test_info()->name();
}

TEST(PlatformInstanceLock, SecondLockOnSameTitleIsRefusedUntilFirstEnds) {
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

TEST(PlatformInstanceLock, TitlesThatAreNoFileNamesStayInTheLockFolder) {
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

TEST(PlatformInstanceLock, UsesRuntimeFolderAndReportsUnwritableOne) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("tge-lock-test-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
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
  std::filesystem::remove_all(folder);
  unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace tge::platform

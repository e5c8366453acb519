// Keeps a second copy of the game from starting: the first process to start
// with a given window title holds an exclusive lock on a file named after
// that title in the run-time folder ($XDG_RUNTIME_DIR, else /tmp) for as long
// as it lives. The lock goes with the process, so a crash never leaves a
// stale one behind.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace tge::platform {

class InstanceLock {
 public:
  enum class Result {
    kAcquired,
    // Another process (or another lock in this one) holds the title.
    kHeldElsewhere,
    // The lock file could not be opened; nothing is known about other copies.
    kUnavailable,
  };

  explicit InstanceLock(std::string_view title);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  Result State() const { return state_; }
  const std::filesystem::path& FilePath() const { return path_; }
  // Why the lock is unavailable; empty otherwise.
  const std::string& Error() const { return error_; }

  // The lock file's path for a title: readable where the title allows, with
  // a hash of the whole title so that titles differing only in characters a
  // file name cannot hold still get their own lock.
  static std::filesystem::path PathFor(std::string_view title);

 private:
  std::filesystem::path path_;
  int fd_ = -1;
  Result state_ = Result::kUnavailable;
  std::string error_;
};

}  // namespace tge::platform

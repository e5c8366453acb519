#include "platform/window/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace tge::platform {
namespace {

constexpr std::size_t kReadablePart = 40;

std::uint64_t Fnv1a(std::string_view text) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ULL;
  }
  return hash;
}

std::string ReadablePart(std::string_view title) {
  std::string part;
  for (const char c : title.substr(0, kReadablePart))
    part += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return part;
}

// The per-user run-time folder when there is one; in the shared /tmp the
// user id keeps different users' games from locking each other out.
std::filesystem::path LockFolder(std::string& userTag) {
  std::error_code error;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime != '\0' &&
      std::filesystem::is_directory(runtime, error))
    return runtime;
  userTag = std::to_string(getuid()) + "-";
  return "/tmp";
}

}  // namespace

std::filesystem::path InstanceLock::PathFor(std::string_view title) {
  std::string userTag;
  const std::filesystem::path folder = LockFolder(userTag);
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx",
                static_cast<unsigned long long>(Fnv1a(title)));
  return folder /
         ("tge-" + userTag + ReadablePart(title) + "-" + hash + ".lock");
}

InstanceLock::InstanceLock(std::string_view title) : path_(PathFor(title)) {
  // No symbolic link is followed: in a shared folder another user could
  // otherwise point the lock at a file of ours.
  fd_ = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd_ < 0) {
    error_ = "InstanceLock: cannot open " + path_.string() + ": " +
             std::strerror(errno);
    return;
  }
  if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
    state_ = Result::kAcquired;
  } else if (errno == EWOULDBLOCK) {
    state_ = Result::kHeldElsewhere;
  } else {
    error_ = "InstanceLock: cannot lock " + path_.string() + ": " +
             std::strerror(errno);
  }
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) close(fd_);
}

}  // namespace tge::platform

#include "platform/window/DesktopOpen.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

extern char** environ;

namespace tge::platform {
namespace {

// Forks twice so the viewer is adopted by init: nothing waits for it and no
// zombie is left. Only exec and exit run in the children, as after a fork in
// a threaded process only those are safe.
bool SpawnDetached(const std::string& program, const std::string& argument) {
  char* argv[] = {const_cast<char*>(program.c_str()),
                  const_cast<char*>(argument.c_str()), nullptr};
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    const pid_t grandchild = fork();
    if (grandchild == 0) {
      execve(program.c_str(), argv, environ);
      _exit(127);
    }
    _exit(grandchild < 0 ? 1 : 0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

std::filesystem::path FindOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return {};
  std::string_view rest(path);
  while (!rest.empty()) {
    const std::size_t colon = rest.find(':');
    const std::string_view folder = rest.substr(0, colon);
    rest = colon == std::string_view::npos ? std::string_view()
                                           : rest.substr(colon + 1);
    if (folder.empty()) continue;
    const std::filesystem::path candidate =
        std::filesystem::path(folder) / name;
    std::error_code error;
    if (std::filesystem::is_regular_file(candidate, error) &&
        access(candidate.c_str(), X_OK) == 0)
      return candidate;
  }
  return {};
}

bool OpenWithDesktop(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return false;
  const std::filesystem::path opener = FindOnPath("xdg-open");
  if (opener.empty()) return false;
  // An absolute path never starts with '-', so it cannot pass for an option.
  const std::filesystem::path absolute = std::filesystem::absolute(file, error);
  if (error) return false;
  return SpawnDetached(opener.string(), absolute.string());
}

}  // namespace tge::platform

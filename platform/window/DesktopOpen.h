// Opens a document (the game's help file) in the desktop's viewer through
// `xdg-open`, without waiting for it and without a shell: the path reaches
// the viewer as one argument whatever characters it holds.
#pragma once
#include <filesystem>
#include <string>

namespace tge::platform {

// False when the file does not exist, `xdg-open` is not on the PATH, or it
// could not be started.
bool OpenWithDesktop(const std::filesystem::path& file);

// The first executable `name` in the PATH folders; empty when none.
std::filesystem::path FindOnPath(const std::string& name);

}  // namespace tge::platform

#include "platform/window/MessageBox.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tge::platform {
namespace {

bool IsHeadlessDriver(std::string_view driver) {
  return driver == "offscreen" || driver == "dummy";
}

bool EnvironmentSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

void WriteToStandardError(std::string_view caption, std::string_view text) {
  std::string line(caption);
  line += ": ";
  line += text;
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace

bool CanShowMessageBox() {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && !IsHeadlessDriver(driver);
  }
  const char* asked = std::getenv("SDL_VIDEODRIVER");
  if (asked != nullptr && IsHeadlessDriver(asked)) return false;
  return EnvironmentSet("DISPLAY") || EnvironmentSet("WAYLAND_DISPLAY");
}

void ShowMessageBox(std::string_view caption, std::string_view text,
                    SDL_Window* owner) {
  WriteToStandardError(caption, text);
  if (!CanShowMessageBox()) return;
  const std::string title(caption);
  const std::string message(text);
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), message.c_str(),
                           owner);
}

}  // namespace tge::platform

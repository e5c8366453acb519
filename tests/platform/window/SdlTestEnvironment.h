// Test set-up shared by the window and input suites: SDL runs on its
// offscreen video driver and dummy audio, so no test needs a display or a
// sound card, and no message box can wait for a click.
#pragma once
#include <cstdlib>

namespace tge::platform {

inline void UseHeadlessSdl() {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
}

}  // namespace tge::platform

// Error and notice boxes. The text always goes to standard error as well, so
// a run without a display (a test, a server, SDL's offscreen or dummy video
// driver) still shows it; there the box itself is skipped rather than left
// waiting for a click nobody can give.
#pragma once
#include <string_view>

struct SDL_Window;

namespace tge::platform {

// `owner` may be null. Returns once the box is closed, or at once when no
// box can be shown.
void ShowMessageBox(std::string_view caption, std::string_view text,
                    SDL_Window* owner = nullptr);

// Whether a box could reach a person: a real video driver is running, or,
// before video starts, no offscreen or dummy driver is asked for and an X or
// Wayland display is named.
bool CanShowMessageBox();

}  // namespace tge::platform

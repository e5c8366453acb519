// The display modes of a monitor, in the device's record form, for choosing
// a full-screen mode. Reads SDL, whose video subsystem must be running.
#pragma once
#include <vector>

#include "platform/gfx/Types.h"

namespace tge::gfx {

// In SDL's order; formats are X8R8G8B8 for 24 and 32-bit modes, R5G6B5 or
// X1R5G5B5 for 16 and 15-bit ones.
std::vector<DisplayMode> ListDisplayModes(int display = 0);
// False when the display does not exist or SDL video is not running.
bool GetDesktopDisplayMode(DisplayMode& mode, int display = 0);

}  // namespace tge::gfx

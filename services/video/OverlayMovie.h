// The full-window movie: plays a movie file over the whole back buffer and
// blocks until it ends. The picture is decoded on the player's thread and
// drawn stretched through the render device on this one; the window's
// events are pumped meanwhile, so it stays responsive, a skip test can read
// input and a quit request ends the movie (and stays set for the main
// loop). The movie's first sound track plays with it, outside the sound
// groups, when the sound system runs.
#pragma once
#include <functional>
#include <string>

namespace tge {

class EngineServices;

// Asked about every 50 ms of the video clock (real time unless a test sets
// its own) while the movie plays; non-zero ends it.
using MovieSkipTest = std::function<int()>;

// 1 when the movie played to its end or was ended by the skip test or a
// quit request; 0 at once when the file cannot be opened or holds no
// picture, or no render device is open.
int PlayOverlayMovie(EngineServices& services, const std::string& path, const MovieSkipTest& skip);

}  // namespace tge

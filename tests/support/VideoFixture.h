// Writes the small movie the video tests play: an MPEG-1 program stream
// (.mpg) whose picture is red over blue, swapped from half time on, with an
// MP2 tone. Made at test time with the system's encoder, so no binary
// fixture is kept.
#pragma once
#include <string>

namespace tge::tools {

struct TestMovie {
  int width = 64;
  int height = 48;
  int framesPerSecond = 25;
  double seconds = 1.0;
  bool withTone = true;
};

// False, with the reason in `error`, when the file cannot be written.
bool WriteTestMovie(const std::string& path, const TestMovie& movie, std::string& error);

}  // namespace tge::tools

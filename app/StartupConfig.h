// What the game shell starts with: the start-up options read from the
// command line, then "init.txt" (data root, library file, an unused line,
// window title, icon file), turned into the services' start-up settings and
// the names of what to load.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/math/Vector.h"
#include "services/StartupSettings.h"

namespace tge {

inline constexpr const char* kDefaultWindowTitle = "Tarnwick Game Engine";
inline constexpr const char* kDefaultIconFile = "icon.ico";
inline constexpr const char* kDefaultLibrary = "Library.sli";
inline constexpr const char* kDefaultGlobalScene = "Global.sac";
inline constexpr const char* kInitFileName = "init.txt";

// The five lines of "init.txt", without their line ends.
struct InitFile {
  std::string dataRoot;
  std::string library;
  // Read and not used: kept so that older files with it still line up.
  std::string unused;
  std::string title;
  std::string icon;
};

// Empty when the file cannot be opened. Missing lines read as empty.
std::optional<InitFile> ReadInitFile(const std::filesystem::path& path);

// A non-empty root without a trailing separator gets one; an empty root
// stays empty (data paths are then relative to the working folder, which is
// what archive names need).
std::string WithTrailingSeparator(std::string root);

// A picture of the window written as a bitmap once the given frame has
// been drawn, after which the game ends: "-shot=FILE -shotframe=N" (N at
// least 1). With "-shotstep=S" (seconds above 0) the game's clock advances
// by S at each frame instead of following real time, so the picture shows
// a known moment. These options stand outside the start-up option table;
// tests use them to read back what the real program draws.
struct ScreenshotRequest {
  std::string file;
  int frame = 1;
  double step = 0;
};

struct StartupConfig {
  StartupSettings settings;
  std::string dataRoot;
  std::string library = kDefaultLibrary;
  std::string globalScene = kDefaultGlobalScene;
  std::string playerScene;
  std::string playerPath;
  Vector3 playerStart;
  bool playerStartMode = false;
  std::string title = kDefaultWindowTitle;
  std::string icon = kDefaultIconFile;
  std::optional<ScreenshotRequest> screenshot;
  // "-frametimes=FILE": each frame's time and resource loads are written to
  // FILE when the game ends.
  std::string frameTimesFile;
  // Options that were given and do nothing (an unknown name, a value the
  // option does not take), one line each: the game starts without them.
  std::vector<std::string> ignoredOptions;
  // Options that cannot work as given (a picture frame without a picture
  // file, a frame that is not a number): the game does not start.
  std::vector<std::string> optionErrors;
};

// The command-line text is the program's arguments joined with blanks;
// "init.txt" is looked for in folder, which is also the data root when
// there is no such file.
StartupConfig ReadStartupConfig(const std::string& commandLine, const std::filesystem::path& folder);

std::string JoinArguments(int argc, const char* const* argv);

}  // namespace tge

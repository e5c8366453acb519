// The bundled demo game's data, made with the engine's own writers: the
// resource library and the global scene are written into a staging folder
// as the game would save them, then packed into "data.csa". The game's
// "init.txt" stays a loose file beside the archive (the shell reads it before
// the archive opens); its data root is empty, so the archive's names are the
// data paths themselves ("data\global.sac").
//
// The scene uses only object types that are built, and grows as they land.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace tge {

class Object;

// A script run once the given seconds after the start, as a key the player
// presses would run it; tests use cues to reach a part of the demo.
struct DemoCue {
  float seconds = 0;
  std::string script;
};

struct DemoOptions {
  // When above 0 the game ends itself through the engine's Exit this many
  // seconds after it started; tests use it to run the real program.
  float exitAfterSeconds = 0;
  std::string libraryFile = "Library.sli";
  std::vector<DemoCue> cues = {};
};

// Builds the demo's objects under root.
void BuildDemoScene(Object& root, const DemoOptions& options);

// Writes the library and "Global.sac" as loose files into dataFolder (the
// "Data" folder under a data root); false with the reason in error. Needs
// no engine or services of the caller's (and must not run while they exist).
bool WriteDemoFiles(const std::filesystem::path& dataFolder, const DemoOptions& options, std::string& error);

// The same files packed into folder/data.csa; the same conditions hold.
bool WriteDemoData(const std::filesystem::path& folder, const DemoOptions& options, std::string& error);

}  // namespace tge

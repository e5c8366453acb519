#include "tools/DemoData.h"

#include <unistd.h>

#include "core/ClassIds.h"
#include "core/CommandRegistry.h"
#include "core/ObjectFactory.h"
#include "core/ScriptInterpreter.h"
#include "engine/Engine.h"
#include "services/EngineServices.h"
#include "services/ErrorMessage.h"
#include "tools/PackWriter.h"

namespace tge {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSceneFile = "Global.sac";
constexpr float kHeartbeatSeconds = 1.0f;

// The record of an event script, found by its event as a loaded file's is.
void AddScript(Object& object, const std::string& event, const std::string& text) {
  object.SetUseScript(true);
  object.GetScripts()->push_back({event, text, FindCommandId(&object, event), 0});
}

void SetScriptText(Object& object, const std::string& name, const std::string& text) {
  for (ObjectScript& script : *object.GetScripts()) {
    if (script.name == name) script.text = text;
  }
}

// A Timer that starts with the engine and runs endScript when it ends.
Object& AddTimer(Object& parent, const char* name, float seconds, const std::string& endScript) {
  Object& timer = *CreateObject(kClassTimer, nullptr, parent, name);
  RunScriptText(timer, "this.SetTimerLength(" + std::to_string(seconds) + "); this.SetTimerEndEvent(1);", nullptr);
  SetScriptText(timer, "OnTimerEnd", endScript);
  AddScript(timer, "OnEngineStarted", "this.TimerStart();");
  return timer;
}

}  // namespace

void BuildDemoScene(Object& root, const DemoOptions& options) {
  Object& world = *CreateObject(kClassWorld, nullptr, root, "DemoWorld");
  // The engine is the World's parent.
  AddScript(world, "OnInputExitToMenu", "parent.Exit();");
  AddTimer(world, "Heartbeat", kHeartbeatSeconds, "this.TimerStart();");
  if (options.exitAfterSeconds > 0) AddTimer(world, "ExitTimer", options.exitAfterSeconds, "parent/parent.Exit();");
}

// The library comes from the services, the scene from the engine, both
// written as the game would save them.
bool WriteDemoFiles(const fs::path& dataFolder, const DemoOptions& options, std::string& error) {
  fs::create_directories(dataFolder);
  CreateEngineServices();
  bool written = GetEngineServices()->SerializeLibrary((dataFolder / options.libraryFile).string(), 0) != 0;
  if (written) {
    CreateEngine();
    Engine& engine = *GetEngine();
    engine.SetDataPath(dataFolder.string() + "/");
    BuildDemoScene(engine, options);
    written = engine.SaveObjectFile(engine, kSceneFile, false, false);
    ShutdownEngine();
  }
  if (!written) error = GetErrorMessage();
  DestroyEngineServices();
  return written;
}

bool WriteDemoData(const fs::path& folder, const DemoOptions& options, std::string& error) {
  const fs::path staging = folder / ("demo-staging-" + std::to_string(::getpid()));
  std::error_code ignored;
  fs::remove_all(staging, ignored);
  bool written = WriteDemoFiles(staging / "Data", options, error);
  if (written) {
    const std::vector<PackSource> sources = CollectPackSources(staging, &error);
    written = !sources.empty() && WritePackFile(folder / "data.csa", sources, &error);
  }
  fs::remove_all(staging, ignored);
  return written;
}

}  // namespace tge

#include "tools/SceneWriter.h"

#include <fstream>
#include <numbers>

#include "core/ClassIds.h"
#include "core/CommandRegistry.h"
#include "core/ObjectFactory.h"
#include "core/script/ScriptInterpreter.h"
#include "engine/Engine.h"
#include "services/EngineServices.h"
#include "services/ErrorMessage.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MeshFile.h"
#include "services/resources/MeshResource.h"

namespace tge {

namespace fs = std::filesystem;

bool WriteSceneFiles(const fs::path& dataFolder, const SceneDescription& scene, std::string& error) {
  fs::create_directories(dataFolder);
  CreateEngineServices();
  EngineServices& services = *GetEngineServices();
  bool written = (!scene.addResources || scene.addResources(services.GetResources(), dataFolder)) &&
                 services.SerializeLibrary((dataFolder / scene.libraryFile).string(), 0) != 0;
  if (written) {
    CreateEngine();
    Engine& engine = *GetEngine();
    engine.SetDataPath(dataFolder.string() + "/");
    if (scene.buildObjects) scene.buildObjects(engine);
    written = engine.SaveObjectFile(engine, scene.sceneFile, false, false);
    ShutdownEngine();
  }
  if (!written) error = GetErrorMessage();
  DestroyEngineServices();
  return written;
}

bool WriteDataFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out) || FormatErrorMessage("Cannot write %s", path.string().c_str());
}

MeshResource* AddBoxMesh(ResourceDatabase& resources, const fs::path& dataFolder, const std::string& name,
                         const gfx::MeshData& box, float size, MaterialResource* material) {
  const std::string fileName = name + ".msh";
  if (!WriteDataFile(dataFolder / fileName, EncodeMeshFile({&box, 1}))) return nullptr;
  auto& mesh = RegisterResource<MeshResource>(resources, name, fileName);
  MeshPart& part = mesh.parts.emplace_back();
  const float half = size / 2;
  part.name = "Box";
  part.material = material;
  part.radius = half * std::numbers::sqrt3_v<float>;
  part.box = {{-half, -half, -half}, {half, half, half}};
  return &mesh;
}

void RunScript(Object& object, const std::string& text) { RunScriptText(object, text, nullptr); }

void AddScript(Object& object, const std::string& event, const std::string& text) {
  object.SetUseScript(true);
  object.GetScripts()->push_back({event, text, FindCommandId(&object, event), 0});
  CompileStoredScript(object.GetScripts()->back());
}

void SetScriptText(Object& object, const std::string& name, const std::string& text) {
  for (ObjectScript& script : *object.GetScripts()) {
    if (script.name != name) continue;
    script.text = text;
    CompileStoredScript(script);
  }
}

Object& AddPlaced(Object& parent, int classId, const std::string& name, const std::string& setUp) {
  Object& object = *CreateObject(classId, nullptr, parent, name.c_str());
  RunScript(object, "this.SetInheritOrientation(0); " + setUp);
  return object;
}

Object& AddTimer(Object& parent, const std::string& name, float seconds, const std::string& endScript) {
  Object& timer = *CreateObject(kClassTimer, nullptr, parent, name.c_str());
  RunScript(timer, "this.SetTimerLength(" + std::to_string(seconds) + "); this.SetTimerEndEvent(1);");
  SetScriptText(timer, "OnTimerEnd", endScript);
  AddScript(timer, "OnEngineStarted", "this.TimerStart();");
  return timer;
}

}  // namespace tge

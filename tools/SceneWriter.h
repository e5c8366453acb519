// Scene files made with the engine's own writers. A caller describes the
// resources and the objects of a scene; the writer registers the resources
// in a fresh services object, builds the objects under a fresh engine, and
// saves the resource library and the scene file into a data folder as the
// game would save them. The demo game and the whole-program tests write
// their data this way.
//
// The building blocks below are what such a description is made of: placed
// objects set up by script, event scripts, Timers, and mesh resources over a
// mesh file written into the data folder.
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Meshes.h"
#include "services/ResourceDatabase.h"

namespace tge {

class MaterialResource;
class MeshResource;
class Object;

struct SceneDescription {
  std::string libraryFile = "Library.sli";
  std::string sceneFile = "Global.sac";
  // Registers the scene's resources, writing their files into the data
  // folder; false with the error message set when a file cannot be written.
  std::function<bool(ResourceDatabase& resources, const std::filesystem::path& dataFolder)> addResources;
  // Builds the scene's objects under the engine.
  std::function<void(Object& root)> buildObjects;
};

// Writes the library and the scene file into dataFolder (the "Data" folder
// under a data root); false with the reason in error. Makes and ends its own
// engine and services, so none of the caller's may exist while it runs.
bool WriteSceneFiles(const std::filesystem::path& dataFolder, const SceneDescription& scene, std::string& error);

// A resource of type T under name, on fileName in the data folder.
template <class T>
T& RegisterResource(ResourceDatabase& resources, const std::string& name, const std::string& fileName) {
  auto resource = std::make_unique<T>();
  resource->SetName(name);
  resource->SetFileName(fileName);
  T& kept = *resource;
  resources.RegisterResource(std::move(resource));
  return kept;
}

// False with the error message set when the file cannot be written.
bool WriteDataFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// A mesh resource of one part drawn with material, over box (the mesh data
// of a box of edge size around its centre) saved as "<name>.msh" into
// dataFolder; null with the error message set when the file cannot be
// written.
MeshResource* AddBoxMesh(ResourceDatabase& resources, const std::filesystem::path& dataFolder,
                         const std::string& name, const gfx::MeshData& box, float size, MaterialResource* material);

// Runs a script on object, as its own commands.
void RunScript(Object& object, const std::string& text);

// The record of an event script, found by its event as a loaded file's is.
void AddScript(Object& object, const std::string& event, const std::string& text);

// Replaces the text of object's script record of that name.
void SetScriptText(Object& object, const std::string& name, const std::string& text);

// An object with a placement of its own (one that inherits its parent's
// orientation has none), set up by a script.
Object& AddPlaced(Object& parent, int classId, const std::string& name, const std::string& setUp);

// A Timer that starts with the engine and runs endScript when it ends.
Object& AddTimer(Object& parent, const std::string& name, float seconds, const std::string& endScript);

}  // namespace tge

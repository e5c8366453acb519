// The demo's particle effects: smoke rising beside the crates from a soft
// round texture generated here.
#pragma once
#include <filesystem>

#include "services/ResourceDatabase.h"

namespace tge {

class Object;

// Registers the smoke's texture and material and writes the texture into
// dataFolder; false with the error message set when it cannot be written.
bool AddParticleResources(ResourceDatabase& resources, const std::filesystem::path& dataFolder);

// The smoke in space; a script starts it, fading its Action value (the
// strength of the emission) in.
void AddParticleEffects(Object& space);

}  // namespace tge

// The demo's particle effects: smoke rising beside the crates from a soft
// round texture generated here, and a ribbon trail behind a corner of the
// turning crate.
#pragma once
#include <filesystem>

#include "services/ResourceDatabase.h"

namespace tge {

class Object;

// Additive over the soft round texture: the glow the demo's effects share.
inline constexpr const char* kDemoGlowMaterial = "SmokeMat";

// Registers the smoke's texture and material and writes the texture into
// dataFolder; false with the error message set when it cannot be written.
bool AddParticleResources(ResourceDatabase& resources, const std::filesystem::path& dataFolder);

// The smoke and the ribbon in space (the ribbon under its "Crate"); scripts
// start both, the smoke fading its Action value (the strength of the
// emission) in.
void AddParticleEffects(Object& space);

}  // namespace tge

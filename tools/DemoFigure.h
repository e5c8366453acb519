// The demo's figure: a body, head, arms and legs of boxes skinned to a
// skeleton of their own, with an "Idle" and a "Walk" animation it cross-fades
// between on a Timer. Its resources (mesh, skin, animations, material) are
// written by the engine's own encoders.
#pragma once
#include <filesystem>

#include "services/ResourceDatabase.h"

namespace tge {

class Object;

// Registers the figure's resources and writes their files into dataFolder;
// false with the error message set when a file cannot be written.
bool AddFigureResources(ResourceDatabase& resources, const std::filesystem::path& dataFolder);

// The figure under a placed parent in space (the skeleton's root pose sets
// the skin mesh's own place), with its Bones and the Timer that switches it.
void AddFigure(Object& space);

}  // namespace tge

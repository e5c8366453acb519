// The demo's figure: a body, head, arms and legs of boxes skinned to a
// skeleton of their own (DemoBoxSkin.h), with an "Idle" and a "Walk"
// animation it cross-fades between on a Timer. Its resources (mesh, skin, animations, material) are
// written by the engine's own encoders.
#pragma once
#include <filesystem>
#include <initializer_list>
#include <span>

#include "services/ResourceDatabase.h"

namespace tge {

class Object;
struct BoxLimb;

// The figure's walk and run whose root moves forward, for characters that
// walk by root motion.
inline constexpr const char* kFigureStride = "Stride";
inline constexpr const char* kFigureSprint = "Sprint";

// Registers the figure's resources and writes their files into dataFolder;
// false with the error message set when a file cannot be written.
bool AddFigureResources(ResourceDatabase& resources, const std::filesystem::path& dataFolder);

// The figure under a placed parent in space (the skeleton's root pose sets
// the skin mesh's own place), with its Bones and the Timer that switches it.
void AddFigure(Object& space);

// The figure's skin mesh with its Bones under parent, playing the named
// animations.
Object& AddFigureSkin(Object& parent, std::initializer_list<const char*> animations);

// The figure's limbs, for animations of its skin made elsewhere; each has
// a seated turn.
std::span<const BoxLimb> FigureLimbs();
// Sets skin up as the figure's skin mesh with its Bones, playing the named
// animations.
void DressFigureSkin(Object& skin, std::span<const char* const> animations);

}  // namespace tge

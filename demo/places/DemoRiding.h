// The demo's riding: a horse of boxes and a third-person rider (the demo's
// figure), held inactive under "Ride" on the stage, behind the first-person
// walk's start and left of the chase's wall. T copies both onto the stage,
// where the rider takes the view and walks on the ground slab; E mounts it
// on the horse, whose speed W and S step up and down and A and D steer;
// the right mouse button gets it off while the horse stands.
#pragma once
#include <string>

#include "tools/SceneWriter.h"

namespace tge {

// Adds the horse's and the rider's skins and animations to the scene and,
// once the scene's objects are built, the horse, the rider and their keys
// to the Stage of the World named worldName.
void AddDemoRiding(SceneDescription& scene, const std::string& worldName);

}  // namespace tge

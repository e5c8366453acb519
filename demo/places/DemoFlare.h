// The demo's lamp glare: a light flare on the stage's lamp, over a generated
// round glow drawn additively.
#pragma once
#include <string>

namespace tge {

struct SceneDescription;

// Adds the glow's resources to the scene, and, once the scene's own objects
// are built, a flare on the object named lampName, so it goes where the
// lamp goes.
void AddDemoFlare(SceneDescription& scene, const std::string& lampName);

}  // namespace tge

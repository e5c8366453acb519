// The demo's moving parts: a crate that rides a loop round the stage turned
// along it, with a marker above it on screen, and the lamp swaying.
#pragma once
#include <string>

namespace tge {

struct SceneDescription;

// Adds them to the scene: their resources (the marker's material), and, once the scene's own
// objects are built, the loop and the sway on the stage (the Space named
// stageName below the scene's World). The riding crate draws crateMesh;
// the lamp is the stage's child "Lamp", moved under a MotionLayers.
void AddDemoMotion(SceneDescription& scene, const std::string& stageName, const std::string& crateMesh);

}  // namespace tge

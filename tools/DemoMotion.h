// The demo's moving parts: a crate that rides a loop round the stage turned
// along it, with a marker above it on screen, and the lamp swaying.
#pragma once
#include <string>

namespace tge {

class Object;

// Adds them to the stage (the Space holding the demo's objects); the
// riding crate draws crateMesh, the lamp is the stage's child "Lamp", moved
// under a MotionLayers.
void AddDemoMotion(Object& stage, const std::string& crateMesh);

}  // namespace tge

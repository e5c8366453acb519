// The demo's car: a Vehicle built as a four-wheeler from a box chassis and
// sphere wheels, right of the crates, driven round an arc on full lock and
// back by a Timer's keys that set its throttle and steering.
#pragma once
#include <string>

namespace tge {

struct SceneDescription;

// Adds the car's meshes to the scene and, once the scene's own objects are
// built, the car and its Timer to the Space named stageName.
void AddDemoVehicle(SceneDescription& scene, const std::string& stageName);

}  // namespace tge

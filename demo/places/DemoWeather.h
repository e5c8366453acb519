// The demo's weather and impacts: the Stage turns outdoors, gains a
// collectable floor and a global Collector following the camera, rain falls
// and splashes on the floor, and a Timer fires a hit effect (sparks, smoke
// and a scorch decal) on the floor every few seconds.
#pragma once
#include <string>

#include "tools/SceneWriter.h"

namespace tge {

// Adds the weather's resources to the scene's and its objects to the Space
// named stageName.
void AddDemoWeather(SceneDescription& scene, const std::string& stageName);

}  // namespace tge

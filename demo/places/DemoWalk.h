#pragma once
#include <string>

#include "tools/SceneWriter.h"

namespace tge {

// Adds the first-person walk to a scene whose objects hold a World named
// worldName with a "Stage" Space: a digits font for the HUD and, held
// inactive under "Walk", a player with its default children, an Inventory
// HUD (exhaustion and health bars, the health number and the clock) and a
// radar tracking the stage's crates. F copies the walk under "Mission",
// where the player links itself, takes the view and walks on the ground
// slab; the HUD finds it there.
void AddDemoWalk(SceneDescription& scene, const std::string& worldName);

}  // namespace tge

// The demo's chase: behind the first-person walk's start, a stretch of the
// stage split by a wall, its floor a VisionGraph from the grid builder. When
// the walk starts, a spawn point in it spawns an AI player (the demo's
// figure, walking by its animations' root motion) whose OnSpawn script
// gives it a RunTo task to the walker: it runs round the wall and follows
// the player, harmlessly.
#pragma once
#include <string>

#include "tools/SceneWriter.h"

namespace tge {

// Adds the chase to a scene built with the demo walk ("Walk" and
// "Mission" under the Stage of the World named worldName): the wall and
// the graph on the stage, and the spawn point with its AI template in the
// walk, which the walk's copy carries along.
void AddDemoChase(SceneDescription& scene, const std::string& worldName);

}  // namespace tge

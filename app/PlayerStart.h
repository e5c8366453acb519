// Player-start mode: instead of the global scene, a player file is loaded
// into a File and a level into a physics World, and the level's "Player"
// (or, when the player path names an object, a copy of it) is placed at the
// start position in the Space that holds it before the game starts.
#pragma once

namespace tge {

class Engine;
struct StartupConfig;

// False when no Space of the World holds the start position; the game then
// cannot start.
bool StartPlayer(Engine& engine, const StartupConfig& config);

}  // namespace tge

// The demo's range, left of the crate rows: a launcher lobs a grenade at a
// stack of loose crates every four seconds, the blast scatters them and the
// grenade deletes itself when it goes off; behind them a gun shoots at a
// ringed board, each hit showing a spark burst from the hit-effect pool
// "GHE_01" that goes back into the pool when it ends.
#pragma once
#include <string>

#include "tools/SceneWriter.h"

namespace tge {

// Adds the range's resources and, once the scene's objects are built, the
// range under the Space named stageName. It uses the crate mesh, the demo's
// glow material and the props' collision slab.
void AddDemoRange(SceneDescription& scene, const std::string& stageName);

}  // namespace tge

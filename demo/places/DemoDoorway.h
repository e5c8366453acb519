// The demo's doorway and joints: a doorway Space leading from the stage to a
// small lit room, with a door that opens when clicked, knocks and closes by
// itself; a crate hung off-centre from a hinge, set swinging by a falling
// weight; and the pointer Cursor, which brightens the crate under it and
// clicks the door.
#pragma once
#include <string>

#include "tools/SceneWriter.h"

namespace tge {

// Adds the doorway's resources (the door leaf's mesh, the bright crate
// material, the door's sounds over the "Knock" sound's file) and, after the
// scene's objects are built, turns on the World's physics and the stage's
// collision space and adds the doorway, the room, the hinged crate and the
// Cursor; the title's Start shows the engine's cursor, Escape hides it.
void AddDemoDoorway(SceneDescription& scene, const std::string& worldName);

}  // namespace tge

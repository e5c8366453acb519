// The demo's loose props: physics for the World, a collision slab along the
// ground, a crate that drops at the start, tumbles and rests, a second one
// hanging until the key B drops it, and a trigger on the ground whose
// script, when a crate enters, lights the lamp green and plays the knock
// through a Sound emitter.
#pragma once
#include <string>

namespace tge {

class Object;

// A loose crate (a SimObject with the editor's defaults) of the crate's
// mesh and size under stage, at position (a script's vector argument).
Object& AddDropCrate(Object& stage, const std::string& name, const std::string& position);

// Adds them to the stage of world; the stage holds the lamp ("LampSway/Lamp"
// once the motion has moved it there).
void AddDemoProps(Object& world, Object& stage);

}  // namespace tge

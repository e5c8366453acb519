// The demo's sound and input: two sounds synthesised as PCM WAVE files (an
// ambient loop and a knock), a SoundMixer that fades the loop in at start,
// a Sound under the turning crate that knocks as each turn starts, and an
// Input object that turns the lamp blue while L is held and lifts a crate
// while U is held.
#pragma once
#include <filesystem>

#include "services/ResourceDatabase.h"

namespace tge {

class Object;

// Writes the two WAVE files into dataFolder and registers them; false with
// the error message set when a file cannot be written.
bool AddDemoSounds(ResourceDatabase& resources, const std::filesystem::path& dataFolder);

// Adds the mixer, the knocker and the Input to the stage, whose "Crate"
// turns by the key scripts of its Timer "Turn" and whose "Lamp" and "Left1"
// the keys drive.
void BuildDemoSoundAndInput(Object& stage);

}  // namespace tge

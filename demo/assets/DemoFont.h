// The demo's bitmap font, made from a built-in glyph table of every
// printable ASCII character (space to tilde): each glyph is 5 x 7 pixels,
// drawn white on black into a 16 x 16 cell of a 256 x 128 texture. The
// font's material adds the glyphs onto what is below.
#pragma once
#include <filesystem>
#include <string>

#include "services/ResourceDatabase.h"

namespace tge {

// Writes name.bmp and name.fnt into dataFolder and registers the texture
// (name + "Tex"), the material (name + "Mat") and the font (name). False
// with the error message set when a file cannot be written.
bool AddBitmapFont(ResourceDatabase& resources, const std::filesystem::path& dataFolder, const std::string& name);

}  // namespace tge

// Bitmap fonts made from a built-in glyph table: each glyph is 5 x 7
// pixels, drawn white on black into a 16 x 16 cell of a 64 x 64 texture,
// so a font holds at most 16 glyphs. The font's material adds the glyphs
// onto what is below.
#pragma once
#include <array>
#include <filesystem>
#include <span>
#include <string>

#include "services/ResourceDatabase.h"

namespace tge {

inline constexpr int kGlyphColumns = 5;
inline constexpr int kGlyphRows = 7;
// One string per row, '#' for an inked pixel.
using GlyphRows = std::array<const char*, kGlyphRows>;

// Writes name.bmp and name.fnt into dataFolder and registers the texture
// (name + "Tex"), the material (name + "Mat") and the font (name); glyph i
// draws characters[i]. False with the error message set when a file cannot
// be written or there are more glyphs than cells.
bool AddBitmapFont(ResourceDatabase& resources, const std::filesystem::path& dataFolder, const std::string& name,
                   const std::string& characters, std::span<const GlyphRows> glyphs);

}  // namespace tge

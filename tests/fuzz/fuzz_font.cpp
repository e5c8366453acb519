// Feeds arbitrary bytes to the font file reader and looks up every
// character of what it accepts.
#include <cstddef>
#include <cstdint>
#include <string>

#include "services/resources/FontResource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tge::FontData font;
  std::string error;
  if (!tge::FontResource::Parse(data, size, font, error)) return 0;
  if (font.glyphs.empty()) __builtin_trap();
  for (std::uint16_t entry : font.characterMap) {
    if (entry >= font.glyphs.size()) __builtin_trap();
  }
  return 0;
}

// Measuring and drawing text with bitmap fonts. Glyphs become screen quads
// collected in the font's vertex scratch and drawn in batches through the
// primitive rings; the caller applies the font's material first. Text comes
// as UTF-8 (decoded into one shared buffer, so no draw allocates) or as
// 16-bit codes. Alignment flags are those of ScreenAlign: horizontal ones
// align every line on its own, vertical ones the whole block.
#pragma once
#include <cstdint>
#include <string_view>

#include "core/math/Color.h"
#include "core/math/Matrix4.h"

namespace tge {

class RenderDevice;
class Resource;

// Characters of UTF-8 text drawn at most; the rest is cut.
constexpr std::size_t kMaxDrawnCharacters = 4095;

struct TextStyle {
  float lineSpacing = 0;
  float charSpacing = 0;
  float scaleX = 1, scaleY = 1;
  std::uint32_t flags = 0;
};

// 1 when drawn (empty text included); 0 when the font is null or cannot be
// loaded. With a transform every vertex is transformed as a point.
int DrawTextWide(RenderDevice& device, Resource* font, std::u16string_view text, const Vector3& position,
                 const Color& colour, const TextStyle& style, const Matrix4* transform);
int DrawTextUtf8(RenderDevice& device, Resource* font, std::string_view text, const Vector3& position,
                 const Color& colour, const TextStyle& style, const Matrix4* transform);

// Width of the widest line and height of all lines (or of the first, with
// stopAtNewline). 1, or 0 with both zero when the font is null or cannot be
// loaded.
int MeasureText(std::u16string_view text, bool stopAtNewline, float* width, float* height, Resource* font,
                const TextStyle& style);
int MeasureTextUtf8(std::string_view text, bool stopAtNewline, float* width, float* height, Resource* font,
                    const TextStyle& style);

}  // namespace tge

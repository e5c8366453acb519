// A bitmap font: a character map from character codes to glyphs, each a
// rectangle of the font material's texture with its placement, and the
// metrics that lay lines out. The glyph table comes from the font file when
// the font loads; the material comes from the library record. Text is
// measured and drawn by TextDrawing.h.
//
// Font file (little-endian): u32 version; from version 1: four f32 metrics
// (line height, baseline offset, size, line gap), u16 character count n,
// n + 1 u16 map entries, u32 glyph count g, g glyph records of 24 bytes
// (f32 u left, v top, u right, v bottom; i16 x offset, width, advance; two
// bytes of padding). Every map entry must name a glyph and a font needs one
// glyph at least: glyph 0 stands in for characters it does not have.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "services/RenderCommand.h"
#include "services/resources/Resource.h"

namespace tge {

struct Glyph {
  float uLeft = 0, vTop = 0, uRight = 0, vBottom = 0;
  std::int16_t xOffset = 0, width = 0, advance = 0;
};

struct FontMetrics {
  float lineHeight = 0;
  float baseline = 0;
  // The size the font was made at; small fonts are drawn without filtering.
  float size = 0;
  float lineGap = 0;
};

struct FontData {
  FontMetrics metrics;
  std::vector<std::uint16_t> characterMap;
  std::vector<Glyph> glyphs;
};

class FontResource : public Resource {
 public:
  static constexpr int kType = kFontResource;
  // Vertices of one batch of glyph quads.
  static constexpr std::size_t kScratchVertices = 2048;

  FontResource() : Resource(kType) {}

  // 1 at once when loaded; 0 without a message when the file cannot be
  // opened, 0 with the reason when it is bad. Loads the material too.
  int Load() override;
  int Unload() override;
  void ForEachCountedReference(const Visitor& visit) override;
  void ForEachDependency(const Visitor& visit) override;

  // The font file from memory; false with the reason in error.
  static bool Parse(const std::uint8_t* data, std::size_t size, FontData& out, std::string& error);

  bool IsLoaded() const { return !scratch_.empty(); }
  const FontMetrics& GetMetrics() const { return data_.metrics; }
  // Glyph 0 for codes past the map or mapped to 0. Loaded fonts only.
  const Glyph& GetGlyph(char16_t code) const;
  ScreenVertex* GetScratch() { return scratch_.data(); }

  Resource* material = nullptr;

 protected:
  bool SerializeFields(SerializeStream& stream, const ResourceDatabase& database) override;

 private:
  FontData data_;
  std::vector<ScreenVertex> scratch_;
};

}  // namespace tge

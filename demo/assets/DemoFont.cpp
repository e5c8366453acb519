#include "demo/assets/DemoFont.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/image/BmpWriter.h"
#include "services/ErrorMessage.h"
#include "services/render/MaterialType.h"
#include "services/resources/FontResource.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/TextureResource.h"
#include "tools/SceneWriter.h"

namespace tge {
namespace {

// Each glyph pixel is 2 x 2 texels in a 16 x 16 cell of a 64 x 64 texture.
constexpr std::uint32_t kTextureSide = 64;
constexpr std::uint32_t kCell = 16;
constexpr std::uint32_t kCellsPerRow = kTextureSide / kCell;
constexpr std::size_t kMaxGlyphs = kCellsPerRow * kCellsPerRow;
constexpr std::uint32_t kPixel = 2;
constexpr std::uint32_t kGlyphLeft = 3;
constexpr std::uint32_t kGlyphTop = 1;
constexpr std::int16_t kGlyphWidth = 12;
constexpr std::int16_t kGlyphAdvance = 13;
constexpr float kLineHeight = 16;
constexpr float kBaseline = 0;

class Bytes {
 public:
  template <class T>
  Bytes& Put(T value) {
    const auto* raw = reinterpret_cast<const std::uint8_t*>(&value);
    data.insert(data.end(), raw, raw + sizeof(T));
    return *this;
  }
  std::vector<std::uint8_t> data;
};

bool Inked(const GlyphRows& glyph, std::uint32_t x, std::uint32_t y) {
  if (x < kGlyphLeft || y < kGlyphTop) return false;
  const std::uint32_t column = (x - kGlyphLeft) / kPixel;
  const std::uint32_t row = (y - kGlyphTop) / kPixel;
  return column < kGlyphColumns && row < kGlyphRows && glyph[row][column] == '#';
}

image::Image MakeFontImage(std::span<const GlyphRows> glyphs) {
  image::Image image;
  image.width = image.height = kTextureSide;
  image.pixels.assign(image.FaceBytes(), 0);
  for (std::size_t glyph = 0; glyph < glyphs.size(); ++glyph) {
    const std::uint32_t left = std::uint32_t(glyph % kCellsPerRow) * kCell;
    const std::uint32_t top = std::uint32_t(glyph / kCellsPerRow) * kCell;
    for (std::uint32_t y = 0; y < kCell; ++y) {
      for (std::uint32_t x = 0; x < kCell; ++x) {
        if (!Inked(glyphs[glyph], x, y)) continue;
        std::uint8_t* p = &image.pixels[(std::size_t(top + y) * kTextureSide + left + x) * 4];
        p[0] = p[1] = p[2] = p[3] = 255;
      }
    }
  }
  return image;
}

std::vector<std::uint8_t> MakeFontFile(const std::string& characters, std::size_t glyphCount) {
  std::uint16_t last = 0;
  for (char c : characters) last = std::max<std::uint16_t>(last, static_cast<unsigned char>(c));
  Bytes file;
  file.Put<std::uint32_t>(1).Put(kLineHeight).Put(kBaseline).Put(kLineHeight).Put(0.0f).Put(last);
  for (std::uint16_t code = 0; code <= last; ++code) {
    const std::size_t at = characters.find(static_cast<char>(code));
    file.Put<std::uint16_t>(at == std::string::npos ? 0 : static_cast<std::uint16_t>(at));
  }
  file.Put<std::uint32_t>(static_cast<std::uint32_t>(glyphCount));
  for (std::size_t glyph = 0; glyph < glyphCount; ++glyph) {
    const float left = float(std::uint32_t(glyph % kCellsPerRow) * kCell + 2);
    const float top = float(std::uint32_t(glyph / kCellsPerRow) * kCell);
    const float side = kTextureSide;
    file.Put(left / side).Put(top / side).Put((left + kGlyphWidth) / side).Put((top + kCell) / side);
    file.Put<std::int16_t>(0).Put(kGlyphWidth).Put(kGlyphAdvance).Put<std::int16_t>(0);
  }
  return file.data;
}

}  // namespace

bool AddBitmapFont(ResourceDatabase& resources, const std::filesystem::path& dataFolder, const std::string& name,
                   const std::string& characters, std::span<const GlyphRows> glyphs) {
  if (glyphs.size() > kMaxGlyphs) return FormatErrorMessage("font %s has more glyphs than cells", name.c_str());
  if (!WriteDataFile(dataFolder / (name + ".bmp"), image::EncodeBmp(MakeFontImage(glyphs)))) return false;
  if (!WriteDataFile(dataFolder / (name + ".fnt"), MakeFontFile(characters, glyphs.size()))) return false;
  auto& texture = RegisterResource<TextureResource>(resources, name + "Tex", name + ".bmp");
  texture.width = texture.height = kTextureSide;
  texture.bitDepth = 32;
  texture.storageMode = kTextureKeepFileFormat;
  auto& material = RegisterResource<MaterialResource>(resources, name + "Mat", "");
  SetMaterialType(&material, kMaterialAdd);
  SetMaterialTexture(&material, 0, &texture);
  RegisterResource<FontResource>(resources, name, name + ".fnt").material = &material;
  return true;
}

}  // namespace tge

// The demo's fonts as written: every printable ASCII character has a glyph
// of its own with ink in the texture, and the space has none.
#include <gtest/gtest.h>

#include <set>
#include <span>

#include "demo/DemoData.h"
#include "platform/image/Image.h"
#include "services/resources/FontResource.h"
#include "tests/core/files/TempFolder.h"

namespace tge::test {
namespace {

bool InkIn(const image::Image& texture, const Glyph& glyph) {
  const auto left = std::uint32_t(glyph.uLeft * float(texture.width));
  const auto right = std::uint32_t(glyph.uRight * float(texture.width));
  const auto top = std::uint32_t(glyph.vTop * float(texture.height));
  const auto bottom = std::uint32_t(glyph.vBottom * float(texture.height));
  for (std::uint32_t y = top; y < bottom && y < texture.height; ++y) {
    for (std::uint32_t x = left; x < right && x < texture.width; ++x) {
      if (texture.pixels[(std::size_t(y) * texture.width + x) * 4] != 0) return true;
    }
  }
  return false;
}

TEST(DemoFontTest, EveryPrintableCharacterHasAGlyphOfItsOwn) {
  ::tge::testing::TempFolder folder;
  std::string error;
  ASSERT_TRUE(WriteDemoFiles(folder.Path() / "Data", DemoOptions{}, error)) << error;
  for (const char* name : {"MenuFont", "HudFont"}) {
    SCOPED_TRACE(name);
    const std::string file = folder.ReadFile(std::string("Data/") + name + ".fnt");
    FontData font;
    ASSERT_TRUE(FontResource::Parse(reinterpret_cast<const std::uint8_t*>(file.data()), file.size(), font, error))
        << error;
    const std::string bitmap = folder.ReadFile(std::string("Data/") + name + ".bmp");
    image::Image texture;
    ASSERT_TRUE(image::DecodeImage(std::span(reinterpret_cast<const std::uint8_t*>(bitmap.data()), bitmap.size()),
                                   texture, error))
        << error;
    ASSERT_GT(font.characterMap.size(), std::size_t('~'));
    std::set<std::uint16_t> seen;
    for (char c = '!'; c <= '~'; ++c) {
      SCOPED_TRACE(c);
      const std::uint16_t glyph = font.characterMap[std::size_t(c)];
      EXPECT_TRUE(seen.insert(glyph).second) << "shares a glyph";
      ASSERT_LT(glyph, font.glyphs.size());
      EXPECT_TRUE(InkIn(texture, font.glyphs[glyph]));
    }
    EXPECT_FALSE(InkIn(texture, font.glyphs[font.characterMap[std::size_t(' ')]]));
  }
}

}  // namespace
}  // namespace tge::test

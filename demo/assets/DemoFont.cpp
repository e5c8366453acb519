#include "demo/assets/DemoFont.h"

#include <array>
#include <cstdint>
#include <vector>

#include "platform/image/BmpWriter.h"
#include "services/ErrorMessage.h"
#include "services/render/MaterialType.h"
#include "services/render/MaterialType.h"
#include "services/resources/FontResource.h"
#include "services/resources/FontResource.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/TextureResource.h"
#include "services/resources/TextureResource.h"
#include "tools/SceneWriter.h"

namespace tge {
namespace {

constexpr int kGlyphColumns = 5;
constexpr int kGlyphRows = 7;
// One string per row, '#' for an inked pixel.
using GlyphRows = std::array<const char*, kGlyphRows>;

// Glyph i draws the character kFirstCharacter + i.
constexpr char kFirstCharacter = ' ';
constexpr GlyphRows kGlyphs[] = {
    {".....", ".....", ".....", ".....", ".....", ".....", "....."},  // space
    {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."},  // !
    {".#.#.", ".#.#.", ".#.#.", ".....", ".....", ".....", "....."},  // "
    {".#.#.", ".#.#.", "#####", ".#.#.", "#####", ".#.#.", ".#.#."},  // #
    {"..#..", ".####", "#.#..", ".###.", "..#.#", "####.", "..#.."},  // $
    {"##...", "##..#", "...#.", "..#..", ".#...", "#..##", "...##"},  // %
    {".##..", "#..#.", "#.#..", ".#...", "#.#.#", "#..#.", ".##.#"},  // &
    {"..#..", "..#..", ".#...", ".....", ".....", ".....", "....."},  // '
    {"...#.", "..#..", ".#...", ".#...", ".#...", "..#..", "...#."},  // (
    {".#...", "..#..", "...#.", "...#.", "...#.", "..#..", ".#..."},  // )
    {".....", "..#..", "#.#.#", ".###.", "#.#.#", "..#..", "....."},  // *
    {".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."},  // +
    {".....", ".....", ".....", ".....", ".##..", "..#..", ".#..."},  // ,
    {".....", ".....", ".....", "#####", ".....", ".....", "....."},  // -
    {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."},  // .
    {".....", "....#", "...#.", "..#..", ".#...", "#....", "....."},  // /
    {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."},  // 0
    {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."},  // 1
    {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"},  // 2
    {"####.", "....#", "....#", ".###.", "....#", "....#", "####."},  // 3
    {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."},  // 4
    {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."},  // 5
    {".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."},  // 6
    {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."},  // 7
    {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."},  // 8
    {".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."},  // 9
    {".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."},  // :
    {".....", ".##..", ".##..", ".....", ".##..", "..#..", ".#..."},  // ;
    {"...#.", "..#..", ".#...", "#....", ".#...", "..#..", "...#."},  // <
    {".....", ".....", "#####", ".....", "#####", ".....", "....."},  // =
    {".#...", "..#..", "...#.", "....#", "...#.", "..#..", ".#..."},  // >
    {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."},  // ?
    {".###.", "#...#", "....#", ".##.#", "#.#.#", "#.#.#", ".###."},  // @
    {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"},  // A
    {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."},  // B
    {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."},  // C
    {"###..", "#..#.", "#...#", "#...#", "#...#", "#..#.", "###.."},  // D
    {"#####", "#....", "#....", "####.", "#....", "#....", "#####"},  // E
    {"#####", "#....", "#....", "####.", "#....", "#....", "#...."},  // F
    {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"},  // G
    {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"},  // H
    {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."},  // I
    {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."},  // J
    {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"},  // K
    {"#....", "#....", "#....", "#....", "#....", "#....", "#####"},  // L
    {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"},  // M
    {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"},  // N
    {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."},  // O
    {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."},  // P
    {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"},  // Q
    {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"},  // R
    {".####", "#....", "#....", ".###.", "....#", "....#", "####."},  // S
    {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."},  // T
    {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."},  // U
    {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."},  // V
    {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."},  // W
    {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"},  // X
    {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."},  // Y
    {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"},  // Z
    {".###.", ".#...", ".#...", ".#...", ".#...", ".#...", ".###."},  // [
    {".....", "#....", ".#...", "..#..", "...#.", "....#", "....."},  // backslash
    {".###.", "...#.", "...#.", "...#.", "...#.", "...#.", ".###."},  // ]
    {"..#..", ".#.#.", "#...#", ".....", ".....", ".....", "....."},  // ^
    {".....", ".....", ".....", ".....", ".....", ".....", "#####"},  // _
    {".#...", "..#..", "...#.", ".....", ".....", ".....", "....."},  // `
    {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"},  // a
    {"#....", "#....", "#.##.", "##..#", "#...#", "#...#", "####."},  // b
    {".....", ".....", ".###.", "#....", "#....", "#...#", ".###."},  // c
    {"....#", "....#", ".##.#", "#..##", "#...#", "#...#", ".####"},  // d
    {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."},  // e
    {"..##.", ".#..#", ".#...", "###..", ".#...", ".#...", ".#..."},  // f
    {".....", ".####", "#...#", "#...#", ".####", "....#", ".###."},  // g
    {"#....", "#....", "#.##.", "##..#", "#...#", "#...#", "#...#"},  // h
    {"..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."},  // i
    {"...#.", ".....", "..##.", "...#.", "...#.", "#..#.", ".##.."},  // j
    {"#....", "#....", "#..#.", "#.#..", "##...", "#.#..", "#..#."},  // k
    {".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."},  // l
    {".....", ".....", "##.#.", "#.#.#", "#.#.#", "#...#", "#...#"},  // m
    {".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"},  // n
    {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."},  // o
    {".....", ".....", "####.", "#...#", "####.", "#....", "#...."},  // p
    {".....", ".....", ".##.#", "#..##", ".####", "....#", "....#"},  // q
    {".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."},  // r
    {".....", ".....", ".###.", "#....", ".###.", "....#", "####."},  // s
    {".#...", ".#...", "###..", ".#...", ".#...", ".#..#", "..##."},  // t
    {".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"},  // u
    {".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."},  // v
    {".....", ".....", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#."},  // w
    {".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"},  // x
    {".....", ".....", "#...#", "#...#", ".####", "....#", ".###."},  // y
    {".....", ".....", "#####", "...#.", "..#..", ".#...", "#####"},  // z
    {"...#.", "..#..", "..#..", ".#...", "..#..", "..#..", "...#."},  // {
    {"..#..", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."},  // |
    {".#...", "..#..", "..#..", "...#.", "..#..", "..#..", ".#..."},  // }
    {".....", ".....", ".#...", "#.#.#", "...#.", ".....", "....."},  // ~
};
static_assert(std::size(kGlyphs) == '~' - ' ' + 1);

// Each glyph pixel is 2 x 2 texels in a 16 x 16 cell of a 256 x 128 texture.
constexpr std::uint32_t kTextureWidth = 256;
constexpr std::uint32_t kTextureHeight = 128;
constexpr std::uint32_t kCell = 16;
constexpr std::uint32_t kCellsPerRow = kTextureWidth / kCell;
static_assert(std::size(kGlyphs) <= kCellsPerRow * (kTextureHeight / kCell));
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

image::Image MakeFontImage() {
  image::Image image;
  image.width = kTextureWidth;
  image.height = kTextureHeight;
  image.pixels.assign(image.FaceBytes(), 0);
  for (std::size_t glyph = 0; glyph < std::size(kGlyphs); ++glyph) {
    const std::uint32_t left = std::uint32_t(glyph % kCellsPerRow) * kCell;
    const std::uint32_t top = std::uint32_t(glyph / kCellsPerRow) * kCell;
    for (std::uint32_t y = 0; y < kCell; ++y) {
      for (std::uint32_t x = 0; x < kCell; ++x) {
        if (!Inked(kGlyphs[glyph], x, y)) continue;
        std::uint8_t* p = &image.pixels[(std::size_t(top + y) * kTextureWidth + left + x) * 4];
        p[0] = p[1] = p[2] = p[3] = 255;
      }
    }
  }
  return image;
}

// Codes below the first character draw as a blank (glyph 0, the space).
std::vector<std::uint8_t> MakeFontFile() {
  const auto glyphCount = static_cast<std::uint16_t>(std::size(kGlyphs));
  const std::uint16_t last = kFirstCharacter + glyphCount - 1;
  Bytes file;
  file.Put<std::uint32_t>(1).Put(kLineHeight).Put(kBaseline).Put(kLineHeight).Put(0.0f).Put(last);
  for (std::uint16_t code = 0; code <= last; ++code) {
    file.Put<std::uint16_t>(code < kFirstCharacter ? 0 : static_cast<std::uint16_t>(code - kFirstCharacter));
  }
  file.Put<std::uint32_t>(glyphCount);
  for (std::size_t glyph = 0; glyph < glyphCount; ++glyph) {
    const float left = float(std::uint32_t(glyph % kCellsPerRow) * kCell + 2);
    const float top = float(std::uint32_t(glyph / kCellsPerRow) * kCell);
    const float width = kTextureWidth;
    const float height = kTextureHeight;
    file.Put(left / width).Put(top / height).Put((left + kGlyphWidth) / width).Put((top + kCell) / height);
    file.Put<std::int16_t>(0).Put(kGlyphWidth).Put(kGlyphAdvance).Put<std::int16_t>(0);
  }
  return file.data;
}

}  // namespace

bool AddBitmapFont(ResourceDatabase& resources, const std::filesystem::path& dataFolder, const std::string& name) {
  if (!WriteDataFile(dataFolder / (name + ".bmp"), image::EncodeBmp(MakeFontImage()))) return false;
  if (!WriteDataFile(dataFolder / (name + ".fnt"), MakeFontFile())) return false;
  auto& texture = RegisterResource<TextureResource>(resources, name + "Tex", name + ".bmp");
  texture.width = kTextureWidth;
  texture.height = kTextureHeight;
  texture.bitDepth = 32;
  texture.storageMode = kTextureKeepFileFormat;
  auto& material = RegisterResource<MaterialResource>(resources, name + "Mat", "");
  SetMaterialType(&material, kMaterialAdd);
  SetMaterialTexture(&material, 0, &texture);
  RegisterResource<FontResource>(resources, name, name + ".fnt").material = &material;
  return true;
}

}  // namespace tge

#include "tools/DemoMenu.h"

#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "core/ClassIds.h"
#include "core/Object.h"
#include "platform/image/BmpWriter.h"
#include "services/FontResource.h"
#include "services/MaterialResource.h"
#include "services/MaterialType.h"
#include "services/SoundResource.h"
#include "services/TextureResource.h"
#include "tools/DemoAssets.h"
#include "tools/SceneWriter.h"

namespace tge {
namespace {

namespace fs = std::filesystem;

// 5 x 7 glyphs, one string per row, in the order of kDemoFontCharacters.
constexpr int kGlyphColumns = 5;
constexpr int kGlyphRows = 7;
using GlyphRows = std::array<const char*, kGlyphRows>;
constexpr GlyphRows kGlyphs[] = {
    {".....", ".....", ".....", ".....", ".....", ".....", "....."},  // space
    {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"},  // A
    {".####", "#....", "#....", "#....", "#....", "#....", ".####"},  // C
    {"#####", "#....", "#....", "####.", "#....", "#....", "#####"},  // E
    {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"},  // I
    {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"},  // K
    {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"},  // N
    {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."},  // O
    {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."},  // P
    {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"},  // Q
    {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"},  // R
    {".####", "#....", "#....", ".###.", "....#", "....#", "####."},  // S
    {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."},  // T
    {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."},  // U
    {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"},  // W
};
constexpr std::size_t kGlyphCount = std::size(kGlyphs);
static_assert(kGlyphCount + 1 == sizeof(" ACEIKNOPQRSTUW"));

// Each glyph pixel is 2 x 2 texels in a 16 x 16 cell of a 64 x 64 texture.
constexpr std::uint32_t kTextureSide = 64;
constexpr std::uint32_t kCell = 16;
constexpr std::uint32_t kCellsPerRow = kTextureSide / kCell;
constexpr std::uint32_t kPixel = 2;
constexpr std::uint32_t kGlyphLeft = 3;
constexpr std::uint32_t kGlyphTop = 1;
constexpr std::int16_t kGlyphWidth = 12;
constexpr std::int16_t kGlyphAdvance = 13;
constexpr float kLineHeight = 16;
constexpr float kBaseline = 0;

constexpr int kSampleRate = 22050;
constexpr float kBeepLevel = 12000.0f / 32767.0f;

struct SkinSprite {
  const char* name;
  std::uint32_t type;
};
// Flat sprites drawn in the widgets' colours.
constexpr SkinSprite kSkinSprites[] = {{"MenuPanel", kMaterialSolidColor},
                                   {"MenuButton", kMaterialSolidColor},
                                   {"MenuHilite", kMaterialSolidColor}};

struct Beep {
  const char* name;
  float frequency;
};
constexpr Beep kBeeps[] = {{"BeepHigh", 880.0f}, {"BeepLow", 587.0f}};
constexpr float kBeepSeconds = 0.08f;

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

bool Inked(std::size_t glyph, std::uint32_t x, std::uint32_t y) {
  if (x < kGlyphLeft || y < kGlyphTop) return false;
  const std::uint32_t column = (x - kGlyphLeft) / kPixel;
  const std::uint32_t row = (y - kGlyphTop) / kPixel;
  return column < kGlyphColumns && row < kGlyphRows && kGlyphs[glyph][row][column] == '#';
}

// White glyphs on black: the font's material adds them onto what is below.
image::Image MakeFontImage() {
  image::Image image;
  image.width = image.height = kTextureSide;
  image.pixels.assign(image.FaceBytes(), 0);
  for (std::size_t glyph = 0; glyph < kGlyphCount; ++glyph) {
    const std::uint32_t left = std::uint32_t(glyph % kCellsPerRow) * kCell;
    const std::uint32_t top = std::uint32_t(glyph / kCellsPerRow) * kCell;
    for (std::uint32_t y = 0; y < kCell; ++y) {
      for (std::uint32_t x = 0; x < kCell; ++x) {
        if (!Inked(glyph, x, y)) continue;
        std::uint8_t* p = &image.pixels[(std::size_t(top + y) * kTextureSide + left + x) * 4];
        p[0] = p[1] = p[2] = p[3] = 255;
      }
    }
  }
  return image;
}

std::vector<std::uint8_t> MakeFontFile() {
  const std::string characters = kDemoFontCharacters;
  const auto last = static_cast<std::uint16_t>(static_cast<unsigned char>(characters.back()));
  Bytes file;
  file.Put<std::uint32_t>(1).Put(kLineHeight).Put(kBaseline).Put(kLineHeight).Put(0.0f).Put(last);
  for (std::uint16_t code = 0; code <= last; ++code) {
    const std::size_t at = characters.find(static_cast<char>(code));
    file.Put<std::uint16_t>(at == std::string::npos ? 0 : static_cast<std::uint16_t>(at));
  }
  file.Put<std::uint32_t>(kGlyphCount);
  for (std::size_t glyph = 0; glyph < kGlyphCount; ++glyph) {
    const float left = float(std::uint32_t(glyph % kCellsPerRow) * kCell + 2);
    const float top = float(std::uint32_t(glyph / kCellsPerRow) * kCell);
    const float side = kTextureSide;
    file.Put(left / side).Put(top / side).Put((left + kGlyphWidth) / side).Put((top + kCell) / side);
    file.Put<std::int16_t>(0).Put(kGlyphWidth).Put(kGlyphAdvance).Put<std::int16_t>(0);
  }
  return file.data;
}

// A short sine tone that fades out, as a 16-bit mono wave file.
std::vector<std::uint8_t> MakeBeep(float frequency) {
  std::vector<float> samples(static_cast<std::size_t>(kBeepSeconds * kSampleRate));
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const float fade = 1.0f - float(i) / float(samples.size());
    const float wave = std::sin(2 * std::numbers::pi_v<float> * frequency * float(i) / kSampleRate);
    samples[i] = wave * fade * kBeepLevel;
  }
  return EncodePcmWave(samples, kSampleRate);
}

bool AddFont(ResourceDatabase& resources, const fs::path& dataFolder) {
  if (!WriteDataFile(dataFolder / "MenuFont.bmp", image::EncodeBmp(MakeFontImage()))) return false;
  if (!WriteDataFile(dataFolder / "MenuFont.fnt", MakeFontFile())) return false;
  auto& texture = RegisterResource<TextureResource>(resources, "MenuFontTex", "MenuFont.bmp");
  texture.width = texture.height = kTextureSide;
  texture.bitDepth = 32;
  texture.storageMode = kTextureKeepFileFormat;
  auto& material = RegisterResource<MaterialResource>(resources, "MenuFontMat", "");
  SetMaterialType(&material, kMaterialAdd);
  SetMaterialTexture(&material, 0, &texture);
  RegisterResource<FontResource>(resources, kDemoFontName, "MenuFont.fnt").material = &material;
  return true;
}

void BuildTitle(Object& world) {
  Object& title = AddPlaced(world, kClassWindow, "Title",
                            "this.SetPosition(0, 0, 10); this.SetWindowMainWindow(1); this.SetWindowAdjustSize(1); "
                            "this.SetWindowAlignToScreen(1); this.SetWindowAlignX(1); this.SetWindowMarginY(30); "
                            "this.SetWindowWidth(320); this.SetWindowHeight(200); this.SetWindowUseSystemSprite(1); "
                            "this.SetWindowBackColor(0.12, 0.16, 0.3, 0.85); this.SetWindowUseSystemFont(1); "
                            "this.SetWindowText(TARNWICK); this.SetWindowTextMarginY(22);");
  AddScript(title, "OnWindowInputButtonCircle", "this/Quit.RunScript(OnInputUp);");
  struct MenuButton {
    const char* name;
    const char* label;
    const char* y;
  };
  for (const MenuButton& button : {MenuButton{"Start", "START", "100"}, MenuButton{"Quit", "QUIT", "150"}}) {
    AddPlaced(title, kClassButton, button.name,
              std::string("this.SetPosition(160, ") + button.y +
                  ", 1); this.SetWindowAlignX(1); this.SetWindowAlignY(1); this.SetWindowWidth(120); "
                  "this.SetWindowHeight(36); this.SetWindowUseSystemSprite(1); "
                  "this.SetWindowBackColor(0.3, 0.42, 0.75, 1); this.SetWindowUseSystemFont(1); "
                  "this.SetWindowText(" + button.label + ");");
  }
  AddScript(*title.FindChildByName("Start"), "OnInputUp",
            "parent.Stop(); parent/parent/Stage/Crate/Turn.TimerStart();");
  AddScript(*title.FindChildByName("Quit"), "OnInputUp", "parent/parent/parent.Exit();");
}

// The turning waits for Start; Escape brings the title back.
void BuildTitleMenu(Object& world) {
  AddScript(world, "OnEngineStarted",
            "parent.SetUIWindowFont(MenuFont); parent.SetUIWindowBgSprite(MenuPanel); "
            "parent.SetUIButtonBgSprite(MenuButton); parent.SetUIButtonHiliteSprite(MenuHilite); "
            "parent.SetUIButtonHiliteSound(BeepHigh); parent.SetUIButtonActionSound(BeepLow); "
            "parent.LoadResources(/DemoWorld); this/Title.SetWindowFocus();");
  SetScriptText(world, "OnInputExitToMenu", "this/Title.Start(); this/Title.SetWindowFocus();");
  if (Object* turn = world.FindChildByName("Turn")) SetScriptText(*turn, "OnEngineStarted", "");
  BuildTitle(world);
}

}  // namespace

bool AddMenuResources(ResourceDatabase& resources, const fs::path& dataFolder) {
  if (!AddFont(resources, dataFolder)) return false;
  for (const SkinSprite& sprite : kSkinSprites) {
    auto& material = RegisterResource<MaterialResource>(resources, sprite.name, "");
    SetMaterialType(&material, sprite.type);
  }
  for (const Beep& beep : kBeeps) {
    const std::string file = std::string(beep.name) + ".wav";
    if (!WriteDataFile(dataFolder / file, MakeBeep(beep.frequency))) return false;
    RegisterResource<SoundResource>(resources, beep.name, file).flags = 0;
  }
  return true;
}

void AddTitleMenu(SceneDescription& scene, const std::string& worldName) {
  scene.addResources = [resources = scene.addResources](ResourceDatabase& database, const fs::path& dataFolder) {
    return resources(database, dataFolder) && AddMenuResources(database, dataFolder);
  };
  scene.buildObjects = [build = scene.buildObjects, worldName](Object& root) {
    build(root);
    if (Object* world = root.FindChildByName(worldName, kClassWorld)) BuildTitleMenu(*world);
  };
}

}  // namespace tge

#include "demo/places/DemoMenu.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "core/ClassIds.h"
#include "core/Object.h"
#include "demo/assets/DemoAssets.h"
#include "demo/assets/DemoFont.h"
#include "services/render/MaterialType.h"
#include "services/resources/MaterialResource.h"
#include "services/sound/SoundResource.h"
#include "tools/SceneWriter.h"

namespace tge {
namespace {

namespace fs = std::filesystem;

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

void BuildTitle(Object& world) {
  Object& title = AddPlaced(world, kClassWindow, "Title",
                            "this.SetPosition(0, 0, 10); this.SetWindowMainWindow(1); this.SetWindowAdjustSize(1); "
                            "this.SetWindowAlignToScreen(1); this.SetWindowAlignX(1); this.SetWindowMarginY(30); "
                            "this.SetWindowWidth(320); this.SetWindowHeight(200); this.SetWindowUseSystemSprite(1); "
                            "this.SetWindowBackColor(0.12, 0.16, 0.3, 0.85); this.SetWindowUseSystemFont(1); "
                            "this.SetWindowText(Tarnwick); this.SetWindowTextMarginY(22);");
  AddScript(title, "OnWindowInputButtonCircle", "this/Quit.RunScript(OnInputUp);");
  struct MenuButton {
    const char* name;
    const char* label;
    const char* y;
  };
  for (const MenuButton& button : {MenuButton{"Start", "Start", "100"}, MenuButton{"Quit", "Quit", "150"}}) {
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
  if (!AddBitmapFont(resources, dataFolder, kDemoFontName)) return false;
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

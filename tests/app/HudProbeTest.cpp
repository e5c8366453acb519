// A whole-program pixel probe of the first-person HUD: the health bar of an
// Inventory over the mission's player is full at first and half as tall
// once a Timer has taken half the player's health.
#include "services/render/MaterialType.h"
#include "services/resources/MaterialResource.h"
#include "tests/app/ProbeStage.h"

namespace tge::test {
namespace {

constexpr ProbeView kHudView{800, 600};
const Rgb kBar{255, 0, 0};
constexpr int kBarX = 200, kBarY = 100;

bool AddBarMaterial(ResourceDatabase& resources, const std::filesystem::path&) {
  SetMaterialType(&RegisterResource<MaterialResource>(resources, "Bar", ""), kMaterialSolidColor);
  return true;
}

// The player under "Mission", the HUD with a 200 x 40 health bar whose top
// edge stays put as it shrinks, and a Timer that halves the health after a
// second.
void BuildHud(Object& root) {
  Object& room = AddProbeStage(root, kHudView);
  Object& mission = AddPlaced(room, kClassObject, "Mission", "this.SetPosition(0, 0, 0);");
  Object& player = *CreateObject(kClassPlayerFPS, nullptr, mission, "Player");
  player.ExecuteCommand(177, nullptr);
  Object& hud = *CreateObject(kClassInventory, nullptr, room, "Inventory");
  AddScript(hud, "OnEngineStarted", "this.StartGame();");
  AddPlaced(hud, kClassSprite, "PlayerHealthBar",
            "this.SetPosition(" + std::to_string(kBarX) + ", " + std::to_string(kBarY) +
                ", 1); this.SetWindowWidth(200); this.SetWindowHeight(40); this.SetSpriteMaterial(Bar); "
                "this.SetSpriteColor(1, 0, 0, 1);");
  AddTimer(room, "Hurt", 1.0f, "/ProbeWorld/Room/Mission/Player.SetPlayerFPSHealth(50);");
}

TEST(HudProbeTest, TheHealthBarShrinksWhenATimerLowersTheHealth) {
  SceneDescription scene;
  scene.addResources = AddBarMaterial;
  scene.buildObjects = BuildHud;
  struct Case {
    int frame;
    bool lowerHalfRed;
  };
  for (const Case& c : {Case{3, true}, Case{30, false}}) {
    SCOPED_TRACE(c.frame);
    const image::Image shot = ShootProbe(scene, "HUD probe", kHudView, c.frame, 0.1);
    EXPECT_TRUE(Near(PixelAt(shot, kBarX + 100, kBarY + 10), kBar, 1));
    const Rgb lower = PixelAt(shot, kBarX + 100, kBarY + 30);
    EXPECT_EQ(Near(lower, kBar, 1), c.lowerHalfRed);
  }
}

}  // namespace
}  // namespace tge::test

#include "demo/places/DemoWalk.h"

#include <string>

#include "core/ClassIds.h"
#include "core/Object.h"
#include "core/ObjectFactory.h"
#include "demo/assets/DemoFont.h"
#include "demo/assets/DemoFont.h"
#include "demo/assets/DemoTerrain.h"
#include "services/render/MaterialType.h"
#include "services/render/MaterialType.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MaterialResource.h"

namespace tge {
namespace {

constexpr const char* kHudFont = "HudFont";
constexpr const char* kBarMaterial = "HudBar";
// The key that starts the walk: input 255 + the set-1 code of F.
constexpr int kKeyF = 255 + 0x21;

// Where the walk starts: on the ground slab behind the camera, facing the
// crates.
constexpr const char* kStart = "this.SetPosition(0, 0.2, -9);";

bool AddWalkResources(ResourceDatabase& resources, const std::filesystem::path& dataFolder) {
  SetMaterialType(&RegisterResource<MaterialResource>(resources, kBarMaterial, ""), kMaterialSolidColor);
  return AddBitmapFont(resources, dataFolder, kHudFont);
}

void AddBar(Object& hud, const char* name, float x, float width, const char* colour) {
  AddPlaced(hud, kClassSprite, name,
            "this.SetPosition(" + std::to_string(x) + ", 560, 1); this.SetWindowWidth(" + std::to_string(width) +
                "); this.SetWindowHeight(16); this.SetSpriteMaterial(" + kBarMaterial + "); this.SetSpriteColor(" +
                colour + ");");
}

void AddText(Object& hud, const char* name, float x, float y) {
  AddPlaced(hud, kClassText, name,
            "this.SetPosition(" + std::to_string(x) + ", " + std::to_string(y) +
                ", 0); this.SetWindowWidth(120); this.SetWindowHeight(20); this.SetTextFont(" + kHudFont + ");");
}

// The HUD's windows sit in the stage's Space and take its placement with
// them: the Inventory, placed back by the stage's offset, puts them on the
// screen.
Object& AddHud(Object& walk) {
  const std::string back = std::to_string(-kDemoStageOffset);
  Object& hud = AddPlaced(walk, kClassInventory, "Inventory", "this.SetPosition(" + back + ", 0, " + back + ");");
  AddScript(hud, "OnPrecalculate", "this.StartGame();");
  AddBar(hud, "PlayerHealthBar", 20, 200, "0.8, 0.1, 0.1, 0.8");
  AddBar(hud, "PlayerExhaustionBar", 240, 90, "0.2, 0.6, 0.9, 0.8");
  AddBar(hud, "PlayerHandExhaustionBar", 340, 90, "0.2, 0.9, 0.6, 0.8");
  AddText(hud, "HealthText", 20, 530);
  AddText(hud, "GameTimeText", 680, 20);
  return hud;
}

// The radar, on the HUD, follows the copied player and the stage's crates;
// what it tracks is set when it links, as files do not keep it.
void AddRadar(Object& hud, const std::string& worldName) {
  Object& radar = AddPlaced(hud, kClassPlayerRadar, "Radar",
                            "this.SetPosition(690, 470, 1); this.SetWindowWidth(100); this.SetWindowHeight(100); "
                            "this.SetPlayerRadarObjectSprite(CrateMat); this.SetPlayerRadarRange(30);");
  const std::string stage = "/" + worldName + "/Stage/";
  std::string track = "this.SetPlayerRadarPlayer(" + stage + "Mission/Walk/Walker);";
  for (const char* crate : {"Crate", "Left1", "Left2", "Left3", "Right1", "Right2", "Right3"}) {
    track += " this.AddPlayerRadarObject(" + stage + crate + ");";
  }
  AddScript(radar, "OnPrecalculate", track);
}

void BuildWalk(Object& world, const std::string& worldName) {
  Object* stage = world.FindChildByName("Stage");
  if (stage == nullptr) return;
  AddPlaced(*stage, kClassObject, "Mission", "this.SetPosition(0, 0, 0);");
  Object& walk = AddPlaced(*stage, kClassObject, "Walk", "this.SetPosition(0, 0, 0);");
  walk.SetActive(false);
  Object& walker = *CreateObject(kClassPlayerFPS, nullptr, walk, "Walker");
  walker.ExecuteCommand(177, nullptr);
  RunScript(walker, kStart);
  AddRadar(AddHud(walk), worldName);
  Object& keys = *CreateObject(kClassInput, nullptr, *stage, "WalkKeys");
  RunScript(keys, "this.AddInputEvent(Walk); this.SetInputEventID(" + std::to_string(kKeyF) +
                      "); this.SetInputEventName(OnInputWalk);");
  // A copied window lets go of its sprite and font; collecting the copy's
  // resources takes them up again (they were loaded with the World's).
  AddScript(keys, "OnInputWalk",
            "parent/Walk.Copy(parent/Mission); parent/Walk.Delete(); parent/parent/parent.LoadResources(/" +
                worldName + "/Stage/Mission);");
}

}  // namespace

void AddDemoWalk(SceneDescription& scene, const std::string& worldName) {
  scene.addResources = [resources = scene.addResources](ResourceDatabase& database,
                                                       const std::filesystem::path& dataFolder) {
    return resources(database, dataFolder) && AddWalkResources(database, dataFolder);
  };
  scene.buildObjects = [build = scene.buildObjects, worldName](Object& root) {
    build(root);
    if (Object* world = root.FindChildByName(worldName, kClassWorld)) BuildWalk(*world, worldName);
  };
}

}  // namespace tge

#include "core/ClassIds.h"

#include <array>

namespace tge {
namespace {

struct ScriptClassName {
  const char* name;
  ClassId classId;
};

// Tested in this order; the first whole match wins.
constexpr ScriptClassName kScriptClassNames[] = {
    {"FX_CLSID_SA_SKIN_MESH", kClassSkinMesh}, {"FX_CLSID_SA_SPACE", kClassSpace},
    {"FX_CLSID_SA_DOOR", kClassDoor},          {"FX_CLSID_SA_BASE", kClassObject},
    {"FX_CLSID_SA_FILE", kClassFile},          {"FX_CLSID_SA_SPAWN_POINT", kClassSpawnPoint},
    {"FX_CLSID_SA_WEAPON", kClassWeapon},      {"FX_CLSID_SA_LIGHT", kClassLight},
    {"FX_CLSID_SA_MESH", kClassMesh},          {"FX_CLSID_SA_PATH", kClassVisionGraph},
};

constexpr std::array<const char*, kClassIdCount> kClassNames = {
    "Object",       "Engine",         "Mesh",           "Light",          "Sound",
    "Camera",       "PhysicsMagnet",  "Bone",           "Space",          "File",
    "SkinMesh",     "FilmGrain",      "Vehicle",        "ParticleSystem", "MotionLayers",
    "SpawnPoint",   "Trigger",        "JointBall",      "JointHinge2",    "JointUniversal",
    "JointHinge",   "JointSlider",    "Animation",      "Weapon",         "Ammunition",
    "ViewTrigger",  "Window",         "Sprite",         "Text",           "Button",
    "Collector",    "WeatherDetail",  "ObjectPool",     "LightFlare",     "Spline",
    "Wheel",        "Dev2",           "Door",           "SoundMixer",     "Footstep",
    "Timer",        "PlayerFPS",      nullptr,          "AIPlayerFPS",    "Inventory",
    "SimJoint",     nullptr,          "ListBox",        "Data",           "VisionGraph",
    "PlayerTP",     "VirtualKeyboard", "SimObject",     "Input",          "Dev3",
    "Sky",          "AmmunitionPool", "World",          "MovieFMV",       "LookAt",
    "AIPlayer",     "Terrain",        "TerrainSector",  "LEEmitter",      "InfoText",
    nullptr,        "TextInput",      nullptr,          nullptr,          nullptr,
    nullptr,        nullptr,          "Slider",         "CheckBox",       "HitEffect",
    "Trail",        "NodeAnimation",  "MorphMesh",      "SaveGame",       "Horse",
    "Environment",  "Cursor",         "PlayerRadar",    "TextDialog",     "ScreenAnchor",
    "TextDialogWindow", "ProjectTexture", nullptr,      "SplineObject",
};

}  // namespace

const char* GetClassName(int classId) {
  if (classId < 0 || classId >= kClassIdCount) return nullptr;
  return kClassNames[static_cast<std::size_t>(classId)];
}

int FindScriptClassId(std::string_view name) {
  for (const ScriptClassName& entry : kScriptClassNames) {
    if (name == entry.name) return entry.classId;
  }
  return -1;
}

}  // namespace tge

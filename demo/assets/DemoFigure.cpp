#include "demo/assets/DemoFigure.h"

#include <array>
#include <string>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "demo/assets/DemoBoxSkin.h"
#include "tools/SceneWriter.h"

namespace tge {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFigureMesh = "FigureMesh";
constexpr const char* kFigureSkin = "FigureSkin";
constexpr const char* kFigureMaterial = "FigureMat";
constexpr float kWalkSeconds = 1.2f;
constexpr float kIdleSeconds = 2.0f;
constexpr float kSwitchSeconds = 4.0f;
constexpr float kFadeSeconds = 0.6f;
constexpr float kSprintSeconds = 0.8f;
// Units a second the root moves in the walking and running animations.
constexpr float kStrideSpeed = 1.2f;
constexpr float kSprintSpeed = 3.0f;

constexpr std::array<BoxLimb, 6> kLimbs = {{
    {"Body", 1, {0, 1.1f, 0}, {0.6f, 0.8f, 0.3f}, {0, 0.4f, 0}, 0.0f},
    {"Head", 2, {0, 1.95f, 0}, {0.35f, 0.35f, 0.35f}, {0, 0.2f, 0}, 0.0f},
    {"ArmL", 3, {-0.42f, 1.85f, 0}, {0.18f, 0.75f, 0.18f}, {0, -0.35f, 0}, 0.7f, -0.5f},
    {"ArmR", 4, {0.42f, 1.85f, 0}, {0.18f, 0.75f, 0.18f}, {0, -0.35f, 0}, -0.7f, -0.5f},
    {"LegL", 5, {-0.17f, 1.1f, 0}, {0.22f, 1.05f, 0.22f}, {0, -0.52f, 0}, -0.6f, -1.4f},
    {"LegR", 6, {0.17f, 1.1f, 0}, {0.22f, 1.05f, 0.22f}, {0, -0.52f, 0}, 0.6f, -1.4f},
}};

}  // namespace

bool AddFigureResources(ResourceDatabase& resources, const fs::path& dataFolder) {
  MaterialResource& material = AddFigureMaterial(resources, kFigureMaterial, 0.85f, 0.55f, 0.3f);
  const BoxSkinDescription figure{kFigureMesh, kFigureSkin, &material, 2.5f, {{-1, 0, -1}, {1, 2.5f, 1}}};
  const NamedLimbMotion animations[] = {
      {"Idle", {kIdleSeconds, 0.1f, 0.03f}},
      {"Walk", {kWalkSeconds, 1.0f, 0.08f}},
      {kFigureStride, {kWalkSeconds, 1.0f, 0.08f, {0, 0, kWalkSeconds * kStrideSpeed}}},
      {kFigureSprint, {kSprintSeconds, 1.4f, 0.12f, {0, 0, kSprintSeconds * kSprintSpeed}}},
  };
  return AddBoxSkin(resources, dataFolder, figure, kLimbs) &&
         AddLimbAnimations(resources, dataFolder, kLimbs, "", animations);
}

std::span<const BoxLimb> FigureLimbs() { return kLimbs; }

void DressFigureSkin(Object& skin, std::span<const char* const> animations) {
  DressBoxSkin(skin, kFigureSkin, kLimbs, animations);
}

Object& AddFigureSkin(Object& parent, std::initializer_list<const char*> animations) {
  Object& figure = AddPlaced(parent, kClassSkinMesh, "Figure", "");
  DressFigureSkin(figure, {animations.begin(), animations.size()});
  return figure;
}

void AddFigure(Object& space) {
  Object& stand = AddPlaced(space, kClassObject, "FigureStand", "this.SetPosition(-1.9, -0.8, 0.5); this.SetRotationY(0.5);");
  Object& figure = AddFigureSkin(stand, {"Idle", "Walk"});
  const std::string fade = std::to_string(kFadeSeconds);
  RunScript(figure, "this.SetSkinMeshAnimationList(1); this.SetSkinMeshAnimationFadeIn(" + fade +
                        "); this.SetSkinMeshAnimationList(0); this.SetSkinMeshAnimationFadeIn(" + fade + ");");
  Object& timer = AddTimer(figure, "Switch", 2 * kSwitchSeconds, "this.TimerStart();");
  const char* steps[] = {"Walk", "Idle"};
  for (int step = 0; step < 2; ++step) {
    const std::string key = std::string("To") + steps[step];
    RunScript(timer, "this.AddTimerKey(); this.SetTimerKeyList(" + std::to_string(step) + "); this.SetTimerKeyTime(" +
                         std::to_string(step * kSwitchSeconds) + "); this.SetTimerKeyName(" + key + ");");
    SetScriptText(timer, key, std::string("parent.SetSkinMeshAnimation(") + steps[step] + ");");
  }
}

}  // namespace tge

// LightFlare (class 33): a glare sprite drawn on the screen at the flare's
// place. It fades out with the camera's distance, fades in and out over its
// hide time as a sight test from the camera (four times a second, through
// the camera's Space) finds it open or blocked, flickers a little, and can
// be limited to the side its Z axis faces. Its size follows the engine's
// screen scale, which the services hand on.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "services/resources/ResourceRef.h"

namespace tge {

class ResourceSet;

inline constexpr std::uint32_t kLightFlareTypeTriangle = 0x1;
inline constexpr std::uint32_t kLightFlareEnableDirection = 0x2;

class LightFlare : public Object {
 public:
  // Seconds between sight tests.
  static constexpr float kTestInterval = 0.25f;
  // Sprite edge in reference pixels at size 1.
  static constexpr float kSpriteSize = 148.0f;

  static std::span<const CommandEntry<LightFlare>> Commands();
  static const CommandEntry<LightFlare> kCommands[];

  LightFlare();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override {}
  void Draw() override;
  void Precalculate() override;

  bool IsVisible() const { return visible_ != 0; }
  float GetFade() const { return fade_; }
  const std::string& GetMaterialName() const { return materialName_; }
  const std::string& GetConeMaterialName() const { return coneMaterialName_; }

 private:
  template <auto Name, auto Material>
  int SetMaterialCommand(CommandArgs args);
  int IgnoreCommand(CommandArgs) { return 1; }
  void CollectResources(ResourceSet& set);

  // The share of full strength distance leaves at distance d (0 to 1).
  float DistanceFactor(float distance) const;
  // Runs the sight test when its interval is up, then fades towards its result.
  void UpdateFade(const Vector3& camera, const Vector3& position, float dt);
  bool IsInSight(const Vector3& camera, const Vector3& position);
  // Strength from the fade and the distance factor, with the flicker.
  float Strength(float distanceFactor, float dt);
  void QueueSprite(const Vector3& position, float strength);

  std::uint32_t visible_ = 0;
  float fade_ = 0;
  ResourceRef material_;
  std::string materialName_;
  ResourceRef coneMaterial_;
  std::string coneMaterialName_;
  float fadeStartDistance_ = 0;
  float fadeDistance_ = 3.0f;
  float size_ = 1.0f;
  float hideFadeTime_ = 2.0f;
  float testTimer_ = 0;
  float flickerPhase_ = 0;
  std::uint32_t flareFlags_ = 0;
};

void RegisterLightFlareCommands();

}  // namespace tge

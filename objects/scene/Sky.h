// Sky (class 55): a sky box of six textured sides with a vertical colour
// gradient, and up to four flat cloud layers whose textures scroll. Locked
// to the camera it follows the viewer horizontally, so the box always
// surrounds it.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/math/Color.h"
#include "services/resources/ResourceRef.h"

namespace tge {

class ResourceSet;

inline constexpr std::uint32_t kSkyLockedToCamera = 0x1;

struct SkyVertex {
  float x, y, z;
  std::uint32_t colour;
  float u, v;
};
static_assert(sizeof(SkyVertex) == 24);

struct SkySide {
  ResourceRef material;
  std::string name;
  std::array<SkyVertex, 4> vertices{};
};

struct SkyCloudLayerRecord {
  ResourceRef material;
  std::string name;
  std::array<SkyVertex, 15> vertices{};
  float deltaU = 0, deltaV = 0;
  float scaleU = 1.0f, scaleV = 1.0f;
  float height = 0;
  Color colour{1, 1, 1, 1};
};

class Sky : public Object {
 public:
  static constexpr int kSides = 6;
  static constexpr int kCloudLayers = 4;
  static constexpr std::uint32_t kVertexFormat = 0x142;  // position, colour, one texture-coordinate set

  static std::span<const CommandEntry<Sky>> Commands();
  static const CommandEntry<Sky> kCommands[];

  Sky();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override {}
  void Draw() override;
  void Precalculate() override;

  const SkySide& GetSide(int index) const { return sides_[std::size_t(index)]; }
  const SkyCloudLayerRecord& GetCloudLayer(int index) const { return layers_[std::size_t(index)]; }

 private:
  template <auto Field>
  int SetBoxField(CommandArgs args);
  template <auto Field>
  int SetColourField(CommandArgs args);
  template <auto Field>
  int SetLayerField(CommandArgs args);
  template <auto Field>
  int GetLayerField(CommandArgs args);
  int SetLockedCommand(CommandArgs args);
  int GetLockedCommand(CommandArgs args);
  int SetMaterialCommand(CommandArgs args);
  int GetMaterialCommand(CommandArgs args);
  int ClearSideCommand(CommandArgs args);
  int SetCloudMaterialCommand(CommandArgs args);
  int GetCloudMaterialCommand(CommandArgs args);
  int SetCloudHeightCommand(CommandArgs args);
  template <auto Field>
  int SetCloudScaleCommand(CommandArgs args);
  int SetCloudColourCommand(CommandArgs args);
  int ClearCloudLayerCommand(CommandArgs args);
  void CollectResources(ResourceSet& set);

  SkySide* SelectedSide();
  SkyCloudLayerRecord* SelectedLayer();
  // Fills the empty sides 1 to 5 with the materials named after side 0's.
  void FillSidesFromFirst(const std::string& first);
  // Keeps its height and stands under the camera.
  void FollowCamera(const Vector3& camera);
  void BuildSides();
  void ColourSides();
  void BuildLayer(SkyCloudLayerRecord& layer) const;
  void ColourLayer(SkyCloudLayerRecord& layer) const;

  float height_ = 500.0f;
  float dimension_ = 1000.0f;
  std::array<SkySide, kSides> sides_;
  std::int32_t currentSide_ = -1;
  Color topColour_{1, 1, 1, 1};
  Color bottomColour_{1, 1, 1, 1};
  std::array<SkyCloudLayerRecord, kCloudLayers> layers_;
  std::int32_t currentLayer_ = -1;
  std::uint32_t flags_ = 0;
};

void RegisterSkyCommands();

}  // namespace tge

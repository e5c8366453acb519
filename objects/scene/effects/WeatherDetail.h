// WeatherDetail (class 31): weather and small ground detail around the
// camera, on the surfaces a Collector gathered (its first Collector child,
// else the global collector). Each part has a switch in the flag word: rain
// streaks falling in a box ahead of the viewer with splashes on upward
// surfaces (outdoors only), up to four swaying detail layers, and ground
// detail meshes with decals placed on newly reached ground whenever the
// collector collects again.
//
// Everything queued by reference (vertices, instance colours) lives in one
// shared block that the render queue keeps when the object goes during a
// frame. All of it is allocated by Precalculate, or when a part is switched
// on later, at its first draw.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "core/math/Matrix4.h"
#include "objects/scene/ColourVertex.h"
#include "platform/gfx/Types.h"
#include "services/resources/ResourceRef.h"

namespace tge {

class Collector;

inline constexpr std::uint32_t kWeatherAux = 0x1;
inline constexpr std::uint32_t kWeatherLayers = 0x2;
inline constexpr std::uint32_t kWeatherRain = 0x4;
inline constexpr std::uint32_t kWeatherGroundDetail = 0x8;
inline constexpr std::uint32_t kWeatherDecals = 0x10;
inline constexpr std::uint32_t kWeatherUseAllDetails = 0x20;

struct DetailInstance {
  Resource* mesh = nullptr;
  Matrix4 world;
  Vector3 centre;
  std::int32_t next = -1;
};

struct DetailLayer {
  std::string name;
  ResourceRef material;
  float value[4] = {0, 0, 0, 0};
  std::uint32_t words[2] = {0, 0};
  // Sway phases and the offsets they give the blade tops.
  float phase[2] = {0, 0};
  Vector3 sway;
};

struct WeatherBuffers {
  std::vector<ColourVertex> drops;
  std::vector<ColourVertex> splashes;
  std::vector<float> splashLives;
  std::array<std::vector<ColourVertex>, 4> layers;
  std::array<std::uint32_t, 4> layerCounts{};
  std::vector<DetailInstance> instances;
  std::vector<gfx::Material> colours;
  std::vector<ColourVertex> decals;
  std::uint32_t decalCount = 0;
};

class WeatherDetail : public Object {
 public:
  static constexpr std::uint32_t kDropCount = 1000;
  static constexpr std::uint32_t kSplashCount = 1000;
  static constexpr std::uint32_t kInstanceCount = 3600;
  static constexpr std::uint32_t kDecalCapacity = 2000;
  static constexpr std::uint32_t kLayerCount = 4;
  // Larger counts from a file are refused: they size the arrays.
  static constexpr std::uint32_t kMaxLayerVertices = 65536;

  static std::span<const CommandEntry<WeatherDetail>> Commands();
  static const CommandEntry<WeatherDetail> kCommands[];
  static std::span<const CommandEntry<WeatherDetail>> HiddenCommands();
  static const CommandEntry<WeatherDetail> kHiddenCommands[];

  WeatherDetail();
  ~WeatherDetail() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  void Precalculate() override;

  std::uint32_t GetWeatherFlags() const { return flags_; }
  Collector* GetCollector() const;
  const WeatherBuffers& GetBuffers() const { return *buffers_; }
  // Instances on the used list.
  std::uint32_t GetPlacedCount() const;
  std::size_t GetDetailMeshCount() const { return detailMeshes_.size(); }

 private:
  template <std::string WeatherDetail::*Field>
  int SetTextCommand(CommandArgs args);
  template <std::string WeatherDetail::*Field>
  int GetTextCommand(CommandArgs args);
  int SetLayerIndexCommand(CommandArgs args);
  int GetLayerIndexCommand(CommandArgs args);
  int SetLayerNameCommand(CommandArgs args);
  int GetLayerNameCommand(CommandArgs args);
  int SetLayerValueCommand(CommandArgs args);
  int GetLayerValueCommand(CommandArgs args);
  template <int Word>
  int SetLayerWordCommand(CommandArgs args);
  template <int Word>
  int GetLayerWordCommand(CommandArgs args);

  void CollectResources(void* set);
  ResourceRef AcquireMaterial(const std::string& name) const;
  // The buffers of each switched-on part that has none yet.
  void PrepareRain();
  void PrepareLayers();
  void PrepareGroundDetail();

  void DrawRain(const Collector& collector);
  void FallDrops(const Vector3& centre, const Vector3& right, float dt);
  void UpdateSplashes(const Collector& collector, const Vector3& right, float dt);
  void DrawLayers(const Collector& collector);
  void BuildLayers(const Collector& collector);
  void DrawGroundDetail(const Collector& collector);
  void PlaceDecals(const Collector& collector);
  void PlaceInstances(const Collector& collector);
  void QueueTriangles(const std::vector<ColourVertex>& vertices, std::uint32_t triangles, Resource* material,
                      std::uint32_t type = 4);

  ObjectRef<Collector> collector_;
  std::int64_t stamp_ = -1;
  bool collectorChanged_ = false;
  std::uint32_t auxCount_ = 0;
  std::string auxName_;
  std::uint32_t dropCount_ = 0;
  std::string nameB_;
  ResourceRef rainMaterial_;
  std::uint32_t splashCount_ = 0;
  std::string nameC_;
  ResourceRef splashMaterial_;
  std::array<DetailLayer, kLayerCount> layers_;
  std::uint32_t layerVertexCount_ = 1500;
  std::uint32_t currentLayer_ = 0;
  float layerTimer_ = 0;
  std::vector<ResourceRef> detailMeshes_;
  ResourceRef decalMaterial_;
  std::int32_t used_ = -1;
  std::int32_t free_ = -1;
  std::uint32_t flags_ = 0;
  bool precalculated_ = false;
  std::shared_ptr<WeatherBuffers> buffers_;
};

void RegisterWeatherDetailCommands();

}  // namespace tge

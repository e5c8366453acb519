// A terrain: a grid of tiles from the library, each with its material and
// its place in the grid, whose height maps are read from tile files of their
// own at the first draw. A tile file "<name>_hm_XX_YY.fxi" holds a ten-byte
// header and one byte per sample, row by row; the terrain takes the file's
// last row as its first (z = 0). Tiles are placed 2 x (samples - 1) units
// apart, x growing with the tile column and z falling with the tile row.
//
// Each tile read gets a level-of-detail renderer over its samples. A tile
// file that is bad is refused once, and not read again before an unload.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/math/Color.h"
#include "core/math/Vector.h"
#include "services/render/TerrainLodRenderer.h"
#include "services/resources/Resource.h"

namespace tge {

class RenderDevice;
class ViewState;

// The samples of one tile, first row first (the file's last).
struct HeightMapTile {
  static constexpr std::uint32_t kMinSide = 257;
  static constexpr std::uint32_t kHeaderBytes = 10;
  static constexpr std::uint32_t kSampleBits = 8;

  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint8_t> samples;
};

// False, with the reason, for a header other than 8-bit samples at least
// kMinSide on each side, or fewer bytes than the samples need.
bool ParseHeightMapTile(const std::uint8_t* data, std::size_t size, HeightMapTile& tile, std::string& error);

struct TerrainTile {
  Vector3 first;
  Vector3 second;
  std::uint32_t x = 0;
  std::uint32_t y = 0;
  std::uint32_t value = 0;
  Resource* material = nullptr;
  // Filled at the first draw; no renderer means not read yet.
  HeightMapTile heights;
  Vector3 position;
  std::unique_ptr<TerrainLodRenderer> renderer;
  bool refused = false;
};

class TerrainResource : public Resource {
 public:
  static constexpr int kType = kTerrainResource;

  TerrainResource() : Resource(kType) {}

  int Load() override;
  // Drops every tile's renderer and samples; the next draw reads the tiles
  // again.
  int Unload() override;
  void ForEachCountedReference(const Visitor& visit) override;
  void ForEachDependency(const Visitor& visit) override;

  // Reads tile index and builds its renderer; 0, with the reason in the
  // last-error text, when the file is missing (tried again at the next
  // draw) or bad (refused until an unload).
  int LoadHeightMapTile(std::size_t index);
  std::string GetTileFileName(std::size_t index) const;
  bool IsLoaded() const { return loaded_; }

  // The library's fields; the two values, the light direction and colours
  // are kept for the renderer.
  float firstValue = 2.0f;
  float secondValue = 1.0f;
  std::uint32_t tileCount = 0;
  std::uint32_t secondTileCount = 0;
  Vector3 direction{0.57735026f, -0.57735026f, -0.57735026f};
  Color firstColour{1.0f, 0.95f, 0.5f, 1.0f};
  Color secondColour{0.05f, 0.05f, 0.05f, 1.0f};
  std::vector<TerrainTile> tiles;

 protected:
  bool SerializeFields(SerializeStream& stream, const ResourceDatabase& database) override;

 private:
  bool loaded_ = false;
};

// The frame render's terrain step: reads the tiles still unread, updates
// every renderer for the view, then for each tile applies its material and
// draws it, in wireframe while wireframe is set; the fill mode is solid
// afterwards.
void UpdateAndDrawTerrain(RenderDevice& device, const ViewState& view, Resource* terrain, std::uint32_t userValue,
                          bool wireframe);

}  // namespace tge

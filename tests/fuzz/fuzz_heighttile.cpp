// Feeds arbitrary bytes to the height-map tile reader; what it accepts must
// hold exactly one sample per grid point.
#include <cstddef>
#include <cstdint>
#include <string>

#include "services/render/TerrainResource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tge::HeightMapTile tile;
  std::string error;
  if (!tge::ParseHeightMapTile(data, size, tile, error)) return 0;
  if (tile.samples.size() != std::size_t{tile.width} * tile.height) __builtin_trap();
  if (tile.width < tge::HeightMapTile::kMinSide || tile.height < tge::HeightMapTile::kMinSide) __builtin_trap();
  return 0;
}

#include "services/render/TerrainResource.h"

#include <algorithm>
#include <cstdio>

#include "core/files/SerializeStream.h"
#include "platform/gfx/States.h"
#include "services/ErrorMessage.h"
#include "services/RenderDevice.h"
#include "services/render/MaterialType.h"
#include "services/resources/MaterialResource.h"

namespace tge {
namespace {

// A stored tile: two vectors, three words and an empty name's length word.
constexpr std::uint64_t kMinTileBytes = 2 * 12 + 3 * 4 + 4;
constexpr float kTileSpacing = 2.0f;

std::uint32_t ReadWord(const std::uint8_t* at) { return std::uint32_t{at[0]} | std::uint32_t{at[1]} << 8; }

}  // namespace

bool ParseHeightMapTile(const std::uint8_t* data, std::size_t size, HeightMapTile& tile, std::string& error) {
  if (size < HeightMapTile::kHeaderBytes) {
    error = "no header";
    return false;
  }
  const std::uint32_t width = ReadWord(data + 2);
  const std::uint32_t height = ReadWord(data + 4);
  const std::uint32_t bits = data[6];
  if (width < HeightMapTile::kMinSide || height < HeightMapTile::kMinSide || bits != HeightMapTile::kSampleBits) {
    char text[96];
    std::snprintf(text, sizeof text, "%u x %u samples of %u bits, need 8 bits and at least %u on each side", width,
                  height, bits, HeightMapTile::kMinSide);
    error = text;
    return false;
  }
  const std::size_t sampleBytes = std::size_t{width} * height;
  if (size - HeightMapTile::kHeaderBytes < sampleBytes) {
    error = "the samples end early";
    return false;
  }
  tile.width = width;
  tile.height = height;
  tile.samples.resize(sampleBytes);
  // The file's last row becomes row 0.
  const std::uint8_t* samples = data + HeightMapTile::kHeaderBytes;
  for (std::uint32_t row = 0; row < height; ++row) {
    std::copy_n(samples + std::size_t{height - 1 - row} * width, width, tile.samples.begin() + std::size_t{row} * width);
  }
  return true;
}

int TerrainResource::Load() {
  loaded_ = true;
  return 1;
}

int TerrainResource::Unload() {
  for (TerrainTile& tile : tiles) {
    tile.renderer.reset();
    tile.heights = HeightMapTile{};
    tile.refused = false;
  }
  return 1;
}

void TerrainResource::ForEachCountedReference(const Visitor& visit) {
  for (const TerrainTile& tile : tiles) {
    if (tile.material) visit(*tile.material);
  }
}

void TerrainResource::ForEachDependency(const Visitor& visit) { ForEachCountedReference(visit); }

std::string TerrainResource::GetTileFileName(std::size_t index) const {
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, "_hm_%02u_%02u.fxi", tiles[index].x, tiles[index].y);
  return GetDataPath(GetName() + suffix);
}

int TerrainResource::LoadHeightMapTile(std::size_t index) {
  if (index >= tiles.size() || tiles[index].refused) return 0;
  const std::string path = GetTileFileName(index);
  SerializeStream stream;
  if (!stream.OpenAndLoad(path)) return FormatErrorMessage("Error Opening File: %s", path.c_str());
  HeightMapTile heights;
  std::string error;
  const auto size = static_cast<std::size_t>(std::max<std::int64_t>(stream.GetSize(), 0));
  if (!ParseHeightMapTile(stream.GetBuffer(), size, heights, error)) {
    tiles[index].refused = true;
    return FormatErrorMessage("Bad height map tile %s: %s", path.c_str(), error.c_str());
  }
  TerrainTile& tile = tiles[index];
  tile.position = {static_cast<float>(heights.width - 1) * static_cast<float>(tile.x) * kTileSpacing, 0,
                   -(static_cast<float>(heights.height - 1) * static_cast<float>(tile.y) * kTileSpacing)};
  tile.heights = std::move(heights);
  tile.renderer = std::make_unique<TerrainLodRenderer>();
  tile.renderer->SetPosition(tile.position);
  tile.renderer->SetHeightData({tile.heights.samples.data(), int(tile.heights.width), int(tile.heights.height)});
  tile.renderer->Build();
  return 1;
}

bool TerrainResource::SerializeFields(SerializeStream& stream, const ResourceDatabase& database) {
  // The counts written always describe the tiles that follow.
  if (stream.IsWriting() && std::uint64_t{tileCount} * secondTileCount != tiles.size()) {
    tileCount = static_cast<std::uint32_t>(tiles.size());
    secondTileCount = 1;
  }
  stream.SerializeDword(&firstValue);
  stream.SerializeDword(&secondValue);
  stream.SerializeDword(&tileCount);
  stream.SerializeDword(&secondTileCount);
  std::uint32_t reserved[3] = {0, 0, 0};
  stream.SerializeDwords(reserved, 3);
  stream.Serialize(direction);
  stream.Serialize(firstColour);
  stream.Serialize(secondColour);
  const std::uint64_t count = std::uint64_t{tileCount} * secondTileCount;
  if (stream.Failed() || !CountFitsStream(stream, count, kMinTileBytes)) return false;
  tiles.resize(count);
  for (TerrainTile& tile : tiles) {
    stream.Serialize(tile.first);
    stream.Serialize(tile.second);
    stream.SerializeDword(&tile.x);
    stream.SerializeDword(&tile.y);
    stream.SerializeDword(&tile.value);
    SerializeResourceName(stream, database, tile.material, kMaterialResource, "ReferenceMat");
  }
  return true;
}

void UpdateAndDrawTerrain(RenderDevice& device, const ViewState& view, Resource* terrain, std::uint32_t,
                          bool wireframe) {
  auto* t = ResourceCast<TerrainResource>(terrain);
  if (!t || !t->Load() || !t->IsLoaded()) return;
  for (std::size_t i = 0; i < t->tiles.size(); ++i) {
    if (!t->tiles[i].renderer) t->LoadHeightMapTile(i);
  }
  for (const TerrainTile& tile : t->tiles) {
    if (tile.renderer) tile.renderer->Update(device, view);
  }
  for (const TerrainTile& tile : t->tiles) {
    if (auto* material = ResourceCast<MaterialResource>(tile.material)) ApplyMaterial(device, material, nullptr, 1.0f);
    device.SetRenderStateCached(gfx::kRsLighting, 0);
    device.SetRenderStateCached(gfx::kRsFillMode, wireframe ? gfx::kFillWireframe : gfx::kFillSolid);
    if (tile.renderer) tile.renderer->Draw(device);
  }
  device.SetRenderStateCached(gfx::kRsFillMode, gfx::kFillSolid);
}

}  // namespace tge

// Terrain tiles: their files, checks and places, the library record, and the
// frame's terrain step on a recording device.
#include "services/render/TerrainResource.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/files/SerializeStream.h"
#include "platform/gfx/States.h"
#include "services/ErrorMessage.h"
#include "services/ResourceDatabase.h"
#include "services/render/ViewState.h"
#include "tests/services/TestBytes.h"
#include "tests/services/render/RecordingRenderDevice.h"

namespace tge {
namespace {

using test::Bytes;
using test::TempDataFolder;

// Sample (column c, file row r) = r + c, so each file row starts with its
// number.
Bytes TileFile(std::uint16_t width, std::uint16_t height, std::uint8_t bits = 8, std::size_t drop = 0) {
  Bytes b;
  b.Raw("\x01\x02", 2).U16(width).U16(height);
  const std::uint8_t tail[4] = {bits, 0, 0, 0};
  b.Raw(tail, 4);
  for (std::size_t r = 0; r < height; ++r) {
    for (std::size_t c = 0; c < width; ++c) b.data.push_back(std::uint8_t(r + c));
  }
  b.data.resize(b.data.size() - drop);
  return b;
}

struct TerrainFixture {
  TempDataFolder folder;
  ResourceDatabase db;
  TerrainResource* terrain = nullptr;

  TerrainFixture() {
    db.SetDataFolder(folder.Folder());
    auto created = db.CreateResource(kTerrainResource);
    terrain = ResourceCast<TerrainResource>(created.get());
    terrain->SetName("t");
    terrain->tiles.resize(1);
    terrain->tiles[0].x = 2;
    terrain->tiles[0].y = 1;
    db.RegisterResource(std::move(created));
  }
};

TEST(TerrainTile, TileTwoOneIsReadFromItsFileAndPlacedWithTheLastFileRowFirst) {
  TerrainFixture f;
  f.folder.Write("Data/t_hm_02_01.fxi", TileFile(257, 258).data);
  ASSERT_EQ(f.terrain->LoadHeightMapTile(0), 1) << GetErrorMessage();
  const TerrainTile& tile = f.terrain->tiles[0];
  EXPECT_EQ(tile.position.x, 1024.0f);
  EXPECT_EQ(tile.position.y, 0.0f);
  EXPECT_EQ(tile.position.z, -514.0f);
  ASSERT_EQ(tile.heights.samples.size(), 257u * 258u);
  // File row r holds (r + column) mod 256: row 257 comes first, row 0 last.
  EXPECT_EQ(tile.heights.samples[0], 1);
  EXPECT_EQ(tile.heights.samples[1], 2);
  EXPECT_EQ(tile.heights.samples[257], 0);
  EXPECT_EQ(tile.heights.samples[257 * 257], 0);
  EXPECT_EQ(tile.heights.samples[257 * 257 + 3], 3);
  EXPECT_EQ(f.terrain->LoadHeightMapTile(1), 0);
  EXPECT_EQ(f.terrain->Unload(), 1);
  EXPECT_TRUE(f.terrain->tiles[0].heights.samples.empty());
}

TEST(TerrainTile, SmallTilesOtherSampleSizesAndShortFilesAreRefused) {
  struct Case {
    const char* what;
    Bytes file;
    const char* reason;
  };
  const Case cases[] = {
      {"narrow", TileFile(256, 257), "256 x 257"},
      {"short", TileFile(257, 256), "257 x 256"},
      {"16 bits", TileFile(257, 257, 16), "of 16 bits"},
      {"a sample missing", TileFile(257, 257, 8, 1), "end early"},
      {"no header", Bytes().U32(0), "no header"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TerrainFixture f;
    f.folder.Write("Data/t_hm_02_01.fxi", c.file.data);
    EXPECT_EQ(f.terrain->LoadHeightMapTile(0), 0);
    EXPECT_NE(std::string(GetErrorMessage()).find(c.reason), std::string::npos) << GetErrorMessage();
    EXPECT_NE(std::string(GetErrorMessage()).find("t_hm_02_01.fxi"), std::string::npos);
    EXPECT_TRUE(f.terrain->tiles[0].heights.samples.empty());
    // Refused once: a mended file is read only after an unload.
    ClearErrorMessage();
    f.folder.Write("Data/t_hm_02_01.fxi", TileFile(257, 257).data);
    EXPECT_EQ(f.terrain->LoadHeightMapTile(0), 0);
    EXPECT_STREQ(GetErrorMessage(), "");
    f.terrain->Unload();
    EXPECT_EQ(f.terrain->LoadHeightMapTile(0), 1);
    EXPECT_NE(f.terrain->tiles[0].renderer, nullptr);
  }
}

TEST(TerrainRecord, TileCountsBeyondTheRecordsBytesAreRefused) {
  ResourceDatabase db;
  auto save = [&db](TerrainResource& terrain) {
    std::vector<std::uint8_t> bytes(4096);
    SerializeStream out;
    out.OpenMemoryBuffer(bytes.size(), "wb", bytes.data());
    out.SetVersion(7);
    EXPECT_TRUE(terrain.Serialize(out, db));
    bytes.resize(static_cast<std::size_t>(out.Tell()));
    return bytes;
  };
  // A record of six tiles whose counts are then replaced.
  auto write = [&save](std::uint32_t first, std::uint32_t second) {
    TerrainResource terrain;
    terrain.tileCount = 2;
    terrain.secondTileCount = 3;
    terrain.tiles.resize(6);
    std::vector<std::uint8_t> bytes = save(terrain);
    constexpr std::size_t kCountsAt = 4 + 3 * 4 + 2 * 4;
    std::memcpy(bytes.data() + kCountsAt, &first, 4);
    std::memcpy(bytes.data() + kCountsAt + 4, &second, 4);
    return bytes;
  };
  auto read = [&db](std::vector<std::uint8_t> bytes, TerrainResource& terrain) {
    SerializeStream in;
    in.OpenMemoryBuffer(bytes.size(), "rb", bytes.data());
    in.SetVersion(7);
    return terrain.Serialize(in, db) && !in.Failed();
  };
  TerrainResource good;
  ASSERT_TRUE(read(write(3, 2), good));
  EXPECT_EQ(good.tiles.size(), 6u);
  EXPECT_EQ(good.direction.y, TerrainResource().direction.y);
  TerrainResource bad;
  EXPECT_FALSE(read(write(0x10000, 0x10000), bad));
  EXPECT_TRUE(bad.tiles.empty());
  EXPECT_FALSE(read(write(7, 1), bad));

  TerrainResource mismatched;  // written as what its list holds
  mismatched.tileCount = 5;
  mismatched.tiles.resize(2);
  TerrainResource back;
  ASSERT_TRUE(read(save(mismatched), back));
  EXPECT_EQ(back.tiles.size(), 2u);
}

TEST(TerrainDraw, UnreadTilesAreReadAndEachTileIsDrawnInTheWireframeModeAskedForThenSolid) {
  TerrainFixture f;
  test::RecordingRenderDevice r;
  ViewState view;
  UpdateAndDrawTerrain(r.device, view, f.terrain, 0, true);
  EXPECT_TRUE(f.terrain->tiles[0].heights.samples.empty());  // no file yet: tried again next frame
  f.folder.Write("Data/t_hm_02_01.fxi", TileFile(257, 257).data);
  r.recording->ClearCalls();
  UpdateAndDrawTerrain(r.device, view, f.terrain, 0, true);
  EXPECT_FALSE(f.terrain->tiles[0].heights.samples.empty());
  std::vector<std::uint32_t> fillModes;
  for (const gfx::DeviceCall& call : r.recording->Calls()) {
    if (call.type == gfx::CallType::kSetRenderState && call.a == gfx::kRsFillMode) fillModes.push_back(call.b);
  }
  EXPECT_EQ(fillModes, (std::vector<std::uint32_t>{gfx::kFillWireframe, gfx::kFillSolid}));
}

}  // namespace
}  // namespace tge

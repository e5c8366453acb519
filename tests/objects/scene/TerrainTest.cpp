// Terrain and TerrainSector: the fog and terrain draw a Terrain queues, the
// resource it keeps, and both file records.
#include "objects/gameplay/world/TerrainSector.h"
#include "objects/scene/Terrain.h"
#include "services/render/RenderQueue.h"
#include "services/render/TerrainResource.h"
#include "tests/objects/scene/SceneFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kSetTerrain = 15250, kGetTerrain = 15251, kFogColour = 15252, kFogNear = 15254,
                        kFogFar = 15256, kSetSectorTerrain = 15500, kGetSectorTerrain = 15501;

class TerrainTest : public SceneFixture {
 protected:
  TerrainResource& AddTerrain(const std::string& name) {
    auto terrain = std::make_unique<TerrainResource>();
    terrain->SetName(name);
    TerrainResource& kept = *terrain;
    Resources().RegisterResource(std::move(terrain));
    return kept;
  }

  void Frame(Object& object) {
    Queue().Reset();
    object.Draw();
  }

  std::vector<const TerrainCommand*> QueuedTerrain() {
    std::vector<const TerrainCommand*> out;
    for (const RenderCommand* c : Queued<RenderCommand>(kListOpaque)) {
      if (c->kind == RenderCommandKind::kTerrain) out.push_back(static_cast<const TerrainCommand*>(c));
    }
    return out;
  }
};

TEST_F(TerrainTest, DrawSetsItsFogAndQueuesTheResourceAcquiredFirstWhateverTheNameBecomes) {
  TerrainResource& hills = AddTerrain("Hills");
  AddTerrain("Dunes");
  Terrain& terrain = Add<Terrain>(kClassTerrain);
  const float fogNear = 50, fogFar = 900;
  const Color fogColour{0, 0, 1, 1};
  terrain.ExecuteCommand(kFogNear, const_cast<float*>(&fogNear));
  terrain.ExecuteCommand(kFogFar, const_cast<float*>(&fogFar));
  terrain.ExecuteCommand(kFogColour, const_cast<Color*>(&fogColour));
  terrain.Start();

  Frame(terrain);  // no name yet: fog, but no terrain
  EXPECT_TRUE(View().IsFogEnabled());
  EXPECT_EQ(View().GetFogStart(), 50.0f);
  EXPECT_EQ(View().GetFogEnd(), 900.0f);
  EXPECT_EQ(View().GetFogColour(), 0xFF0000FFu);
  EXPECT_TRUE(QueuedTerrain().empty());

  std::string name = "Hills";
  terrain.ExecuteCommand(kSetTerrain, &name);
  Frame(terrain);
  name = "Dunes";
  terrain.ExecuteCommand(kSetTerrain, &name);
  Frame(terrain);
  const auto queued = QueuedTerrain();
  ASSERT_EQ(queued.size(), 1u);
  EXPECT_EQ(queued[0]->terrain, &hills);
  EXPECT_EQ(queued[0]->userValue, 0xFFFFFFFFu);
  std::string read;
  terrain.ExecuteCommand(kGetTerrain, &read);
  EXPECT_EQ(read, "Dunes");

  // A copy holds the resource on its own.
  const int references = hills.GetReferenceCount();
  {
    Terrain copy(terrain);
    EXPECT_EQ(hills.GetReferenceCount(), references + 1);
  }
  EXPECT_EQ(hills.GetReferenceCount(), references);
}

TEST_F(TerrainTest, RecordsSaveLoadSaveAtEveryVersionGate) {
  Terrain& terrain = Add<Terrain>(kClassTerrain);
  std::string name = "Hills";
  terrain.ExecuteCommand(kSetTerrain, &name);
  const float fogFar = 77;
  terrain.ExecuteCommand(kFogFar, const_cast<float*>(&fogFar));
  TerrainSector& sector = Add<TerrainSector>(kClassTerrainSector);
  name = "Plain";
  sector.ExecuteCommand(kSetSectorTerrain, &name);
  sector.SetLocalBox({{-1, -2, -3}, {1, 2, 3}});
  for (int version : {0, 1, SerializeStream::kLatestVersion}) {
    SCOPED_TRACE(version);
    std::unique_ptr<Terrain> loadedTerrain = RoundTrip(terrain, version);
    ASSERT_NE(loadedTerrain, nullptr);
    EXPECT_EQ(Save(*loadedTerrain, version), Save(terrain, version));
    std::string read;
    loadedTerrain->ExecuteCommand(kGetTerrain, &read);
    EXPECT_EQ(read, version >= 1 ? "Hills" : "");
    float readFar = 0;
    loadedTerrain->ExecuteCommand(kFogFar + 1, &readFar);
    EXPECT_EQ(readFar, version >= 1 ? 77.0f : 600.0f);

    std::unique_ptr<TerrainSector> loadedSector = RoundTrip(sector, version);
    ASSERT_NE(loadedSector, nullptr);
    EXPECT_EQ(Save(*loadedSector, version), Save(sector, version));
    EXPECT_EQ(loadedSector->GetTerrainName(), version >= 1 ? "Plain" : "");
    // The record holds no Space part: the box stays the default.
    EXPECT_EQ(loadedSector->GetLocalBox().max.x, TerrainSector().GetLocalBox().max.x);
  }
}

TEST_F(TerrainTest, ASectorTakesNoSpaceCommandAndDrawsNoTerrainOfItsOwn) {
  AddTerrain("Plain");
  TerrainSector& sector = Add<TerrainSector>(kClassTerrainSector);
  std::string name = "Plain";
  sector.ExecuteCommand(kSetSectorTerrain, &name);
  std::string read;
  sector.ExecuteCommand(kGetSectorTerrain, &read);
  EXPECT_EQ(read, "Plain");
  const std::uint32_t collision = 1;
  sector.ExecuteCommand(2012, const_cast<std::uint32_t*>(&collision));
  EXPECT_EQ(sector.GetSpaceFlags(), Space().GetSpaceFlags());
  sector.Start();
  Frame(sector);
  EXPECT_TRUE(QueuedTerrain().empty());
  EXPECT_EQ(sector.HandleContact(nullptr, nullptr, nullptr, 1), 1);
}

}  // namespace
}  // namespace tge::test

// WeatherDetail: rain outdoors only, falling drops and short-lived splashes,
// ground detail and decals on newly collected ground, a collector that goes,
// queued arrays that outlive the object, a full frame of ground detail, the
// layer commands and its file record.
#include <cmath>

#include "core/math/Random.h"
#include "objects/scene/effects/WeatherDetail.h"
#include "services/ErrorMessage.h"
#include "services/render/RenderQueue.h"
#include "tests/objects/scene/GroundFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kSetUseAllDetails = 7750, kSetRain = 7752, kSetGroundDetail = 7758, kSetLayers = 7762;
constexpr std::uint32_t kSetLayerIndex = 7764, kGetLayerIndex = 7765, kSetLayerName = 7766;

class WeatherDetailTest : public GroundFixture {
 protected:
  void SetUp() override {
    GroundFixture::SetUp();
    for (const char* name : {"ParticleRainMat", "ParticleRainHitMat", "detail_decal_01Mat", "Grass"}) AddMaterial(name);
    View().SetCameraLookAt({0, 1, -4}, {0, 0, 4});
    SeedRand(11);
  }

  WeatherDetail& NewWeather(Space& yard, std::initializer_list<std::uint32_t> switches, float radius = 8.0f,
                            std::uint32_t capacity = 2000) {
    WeatherDetail& weather = Add<WeatherDetail>(yard, kClassWeatherDetail, "Weather");
    for (std::uint32_t id : switches) Send<std::int32_t>(weather, id, 1);
    collector = &AddCollector(weather, radius, 1.0f, capacity);
    collector->SetName("Collector");
    return weather;
  }

  void Start(Space& yard) {
    yard.Precalculate();
    collector->Update();
  }

  void DrawFrame(WeatherDetail& weather) {
    Queue().Reset();
    weather.Draw();
  }

  std::vector<const PrimitivesCommand*> Primitives(Resource* material) {
    std::vector<const PrimitivesCommand*> out;
    for (std::size_t list = 0; list < kListCallbacks; ++list) {
      for (const auto* c : Queued<PrimitivesCommand>(list)) {
        if (c->kind == RenderCommandKind::kPrimitives && c->material == material) out.push_back(c);
      }
    }
    return out;
  }
  Resource* Material(const char* name) { return Resources().LookupResource(name, 3); }

  std::size_t QueuedMeshes() {
    std::size_t count = 0;
    for (std::size_t list = 0; list < kListCallbacks; ++list) {
      for (const RenderCommand* c = Queue().GetList(list); c != nullptr; c = c->next) {
        count += c->kind == RenderCommandKind::kMeshPart ? 1 : 0;
      }
    }
    return count;
  }

  Collector* collector = nullptr;
};

TEST_F(WeatherDetailTest, RainFallsOutdoorsAndNotIndoors) {
  Space& yard = AddGround(4, 2.0f, 30, true);
  WeatherDetail& weather = NewWeather(yard, {kSetRain});
  Start(yard);
  DrawFrame(weather);
  std::vector<const PrimitivesCommand*> drops = Primitives(Material("ParticleRainMat"));
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0]->count, WeatherDetail::kDropCount);
  // Every drop was reborn in the box above the point 8 ahead of the eye.
  const auto& vertices = weather.GetBuffers().drops;
  const float centreY = View().GetCameraPosition().y + 8.0f * View().GetCameraForward().y;
  for (std::size_t d = 0; d < vertices.size(); d += 3) {
    EXPECT_GE(vertices[d].y, centreY + 3.0f - 0.001f);
    EXPECT_LE(vertices[d].y, centreY + 5.0f);
    EXPECT_NEAR(vertices[d + 1].y, vertices[d].y - 1.2f, 1e-4);
  }
  const float before = vertices[0].y;
  DrawFrame(weather);
  EXPECT_NEAR(vertices[0].y, before - 20.0f * weather.GetFrameTime(), 1e-4);

  Send<std::int32_t>(yard, kSetSpaceExterior, 0);
  DrawFrame(weather);
  EXPECT_TRUE(Primitives(Material("ParticleRainMat")).empty());
  EXPECT_TRUE(Primitives(Material("ParticleRainHitMat")).empty());
}

TEST_F(WeatherDetailTest, SplashesLandOnUpwardGroundAndLiveAFifthOfASecond) {
  Space& yard = AddGround(4, 2.0f, 30, true);
  WeatherDetail& weather = NewWeather(yard, {kSetRain});
  Start(yard);
  DrawFrame(weather);
  ASSERT_EQ(Primitives(Material("ParticleRainHitMat")).size(), 1u);
  const auto& lives = weather.GetBuffers().splashLives;
  const auto& vertices = weather.GetBuffers().splashes;
  std::size_t alive = 0;
  for (std::size_t s = 0; s < lives.size(); ++s) {
    if (lives[s] < 0) continue;
    ++alive;
    EXPECT_FLOAT_EQ(lives[s], 1.2f);
    EXPECT_NEAR(vertices[s * 3].y, 0.0f, 1e-4);
    EXPECT_NEAR(vertices[s * 3 + 1].y, 0.07f, 1e-4);
  }
  ASSERT_GT(alive, 0u);
  const float dt = weather.GetFrameTime();
  const int frames = static_cast<int>(std::ceil(1.2f / (6.0f * dt)));
  std::size_t first = 0;
  while (lives[first] < 0) ++first;
  for (int i = 0; i < frames - 1; ++i) DrawFrame(weather);
  EXPECT_GT(lives[first], -1e-4f);
  EXPECT_LT(lives[first], 6.0f * dt);
}

TEST_F(WeatherDetailTest, GroundDetailNeedsItsMeshesAndFillsOnlyNewGround) {
  Space& bare = AddGround(4, 2.0f, 30, true);
  WeatherDetail& without = NewWeather(bare, {kSetGroundDetail});
  Start(bare);
  EXPECT_EQ(without.GetWeatherFlags() & kWeatherGroundDetail, 0u);

  AddCubeMesh("det_gro_00", 0.3f);
  AddCubeMesh("det_gro_01", 0.3f);
  WeatherDetail& weather = NewWeather(bare, {kSetGroundDetail});
  View().SetCameraLookAt({0, 12, -0.5f}, {0, 0, 0});
  bare.Precalculate();
  weather.Precalculate();
  collector->Update();
  EXPECT_EQ(weather.GetDetailMeshCount(), 2u);
  EXPECT_NE(weather.GetWeatherFlags() & kWeatherDecals, 0u);
  DrawFrame(weather);
  const std::uint32_t placed = weather.GetPlacedCount();
  EXPECT_GT(placed, 0u);
  EXPECT_EQ(QueuedMeshes(), placed);
  EXPECT_GT(weather.GetBuffers().decalCount, 0u);
  const std::vector<const PrimitivesCommand*> decals = Primitives(Material("detail_decal_01Mat"));
  ASSERT_EQ(decals.size(), 1u);
  EXPECT_EQ(decals[0]->type, 8u);

  // Drawn again without a new collection, nothing moves.
  DrawFrame(weather);
  EXPECT_EQ(weather.GetPlacedCount(), placed);
}

TEST_F(WeatherDetailTest, CollectorThatGoesStopsTheDrawingAndQueuedArraysOutliveTheObject) {
  Space& yard = AddGround(4, 2.0f, 30, true);
  WeatherDetail& weather = NewWeather(yard, {kSetRain});
  Start(yard);
  DrawFrame(weather);
  DestroyObjectTree(weather.DetachChild(*collector));
  EXPECT_EQ(weather.GetCollector(), nullptr);
  DrawFrame(weather);
  EXPECT_TRUE(Primitives(Material("ParticleRainMat")).empty());

  WeatherDetail& other = NewWeather(yard, {kSetRain});
  Start(yard);
  DrawFrame(other);
  const std::vector<const PrimitivesCommand*> drops = Primitives(Material("ParticleRainMat"));
  ASSERT_EQ(drops.size(), 1u);
  const float y = static_cast<const ColourVertex*>(drops[0]->vertices)[0].y;
  DestroyObjectTree(yard.DetachChild(other));
  EXPECT_EQ(static_cast<const ColourVertex*>(drops[0]->vertices)[0].y, y);
  Queue().Reset();
}

TEST_F(WeatherDetailTest, AFrameFullOfGroundDetailStillDrawsASpriteQueuedAfterIt) {
  Space& yard = AddGround(50, 1.0f, 60, true);
  AddCubeMesh("det_gro_00", 0.3f);
  WeatherDetail& weather = NewWeather(yard, {kSetGroundDetail, kSetUseAllDetails}, 36.0f, 40000);
  View().SetProjection(3.0f, 1.0f, 0.1f, 100.0f);
  View().SetCameraLookAt({0, 10, 0}, {0, 0, 0.01f});
  Start(yard);
  DrawFrame(weather);
  EXPECT_EQ(weather.GetPlacedCount(), WeatherDetail::kInstanceCount);
  EXPECT_GT(QueuedMeshes() * sizeof(MeshPartCommand), RenderQueue::kCapacity);
  Queue().QueueSprite(Material("Grass"), {10, 10, 0}, 32, 32, {1, 1, 1, 1}, 0);
  bool sprite = false;
  for (const RenderCommand* c = Queue().GetList(kListOverlay); c != nullptr; c = c->next) {
    sprite = sprite || c->kind == RenderCommandKind::kScreenQuad;
  }
  EXPECT_TRUE(sprite);
}

TEST_F(WeatherDetailTest, LayerIndexOutsideTheFourIsIgnoredAndLayersSwitchedOnLateStillRun) {
  Space& yard = AddGround(4, 2.0f, 30, true);
  WeatherDetail& weather = NewWeather(yard, {});
  Send(weather, kSetLayerIndex, 2u);
  Send(weather, kSetLayerIndex, 4u);
  std::uint32_t index = 0;
  weather.ExecuteCommand(kGetLayerIndex, &index);
  EXPECT_EQ(index, 2u);
  std::string grass = "Grass";
  weather.ExecuteCommand(kSetLayerName, &grass);
  Start(yard);
  Send<std::int32_t>(weather, kSetLayers, 1);
  Send<std::int32_t>(weather, kSetRain, 1);
  DrawFrame(weather);
  EXPECT_EQ(weather.GetBuffers().layers[2].size(), 1500u);
  EXPECT_EQ(Primitives(Material("ParticleRainMat")).size(), 1u);
}

TEST_F(WeatherDetailTest, RecordRoundTripsAndRefusesHugeLayers) {
  WeatherDetail& weather = Add<WeatherDetail>(kClassWeatherDetail, "Weather");
  Send<std::int32_t>(weather, kSetRain, 1);
  Send<std::int32_t>(weather, kSetLayers, 1);
  std::string grass = "Grass";
  weather.ExecuteCommand(kSetLayerName, &grass);
  for (int version : {56, 63, 77, SerializeStream::kLatestVersion}) {
    std::unique_ptr<WeatherDetail> loaded = RoundTrip(weather, version);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(Save(*loaded, version), Save(weather, version));
  }
  std::vector<std::uint8_t> bytes = Save(weather);
  // The layer vertex count stands before the four layers (name, four floats, two words).
  const std::size_t at = bytes.size() - 4 * (4 + 4 * 4 + 8) - 5 - 4;
  std::uint32_t count = 0;
  std::memcpy(&count, bytes.data() + at, 4);
  ASSERT_EQ(count, 1500u);
  count = WeatherDetail::kMaxLayerVertices + 1;
  std::memcpy(bytes.data() + at, &count, 4);
  EXPECT_EQ(Load<WeatherDetail>(kClassWeatherDetail, bytes, SerializeStream::kLatestVersion), nullptr);
}

}  // namespace
}  // namespace tge::test

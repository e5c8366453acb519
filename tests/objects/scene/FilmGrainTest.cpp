// FilmGrain with a fixed seed: the grain quad and its texture window, specks
// inside the screen, scratches from a one-entry line list, a screen without
// size, and the file record's gates and counts.
#include "core/BaseCommandIds.h"
#include "core/math/Random.h"
#include "objects/scene/FilmGrain.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/TextureResource.h"
#include "tests/objects/scene/animation/MotionFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kMaterial = 2750, kAddLine = 2752, kSetLine = 2753, kGetLines = 2754, kDeleteLine = 2755,
                        kAddDetail = 2756, kSetDetail = 2757, kDetailWidth = 2760;

class FilmGrainTest : public MotionFixture {
 protected:
  // A screen wider than it is tall, so specks placed by the width would
  // fall below it.
  void SetUp() override {
    MotionFixture::SetUp();
    GetEngineServices()->SetScreenSize(800, 200);
    SeedRand(7);
    for (const char* name : {"Grain", "Speck", "Dust", "Hair", "Scratch"}) AddMaterial(name);
  }

  FilmGrain& AddGrain() {
    FilmGrain& grain = Add<FilmGrain>(kClassFilmGrain, "Grain");
    Send(grain, kMaterial, std::string("Grain"));
    for (const char* name : {"Speck", "Dust", "Hair"}) Send(grain, kAddDetail, std::string(name));
    grain.Precalculate();
    return grain;
  }

  // Every material of every entry held, as a scene's resource pass leaves them.
  void Collect(FilmGrain& grain) {
    std::unique_ptr<ResourceSet> set = Resources().CreateResourceSet(false);
    grain.ExecuteCommand(kCommandCollectResources, set.get());
  }

  std::vector<const ScreenQuadCommand*> DrawFrame(FilmGrain& grain, double dt = kFrame) {
    Queue().Reset();
    Frame(grain, dt);
    return Queued<ScreenQuadCommand>(kListOverlay);
  }
};

TEST_F(FilmGrainTest, TheGrainJumpsAndSixSpecksFallInsideTheScreen) {
  FilmGrain& grain = AddGrain();
  Collect(grain);
  const auto& quad = grain.GetGrainQuad();
  EXPECT_EQ(quad[3].x, 800.0f);
  EXPECT_EQ(quad[3].y, 200.0f);
  EXPECT_EQ(quad[0].z, 0.99f);
  for (int jump = 0; jump < 20; ++jump) {
    const auto queued = DrawFrame(grain);
    ASSERT_EQ(queued.size(), 1u + FilmGrain::kSpecks);
    // No texture width known: the window spans the texture once across.
    EXPECT_FLOAT_EQ(quad[1].u - quad[0].u, 1.0f);
    EXPECT_FLOAT_EQ(quad[2].v - quad[0].v, 0.75f);
    for (const FilmGrainSpeck& speck : grain.GetSpecks()) {
      EXPECT_LT(speck.position.x, 800.0f);
      EXPECT_LT(speck.position.y, 200.0f);
      EXPECT_GE(speck.width, 32.0f);
      EXPECT_LT(speck.width, 64.0f);
      EXPECT_TRUE(speck.material);
    }
  }
}

TEST_F(FilmGrainTest, AGrainTextureOfKnownWidthRepeatsAcrossTheScreen) {
  auto texture = std::make_unique<TextureResource>();
  texture->SetName("GrainTexture");
  texture->width = 200;
  SetMaterialTexture(Resources().LookupResource("Grain", kMaterialResource), 0, texture.get());
  Resources().RegisterResource(std::move(texture));
  FilmGrain& grain = AddGrain();
  DrawFrame(grain);
  EXPECT_FLOAT_EQ(grain.GetGrainQuad()[1].u - grain.GetGrainQuad()[0].u, 4.0f);
}

TEST_F(FilmGrainTest, WithoutActionTheGrainIsNotQueuedButTheSpecksStay) {
  FilmGrain& grain = AddGrain();
  Collect(grain);
  DrawFrame(grain);
  grain.SetUseAction(true);
  grain.SetActionValueRecursive(0);
  const auto queued = DrawFrame(grain);
  EXPECT_EQ(queued.size(), std::size_t(FilmGrain::kSpecks));
}

TEST_F(FilmGrainTest, AOneEntryLineListScratchesWithThatEntryUntilItIsDeleted) {
  FilmGrain& grain = AddGrain();
  Send(grain, kAddLine, std::string("Scratch"));
  Collect(grain);
  Resource* scratch = Resources().LookupResource("Scratch", kMaterialResource);
  const auto queued = DrawFrame(grain);
  ASSERT_TRUE(grain.IsScratchShowing());
  std::size_t scratches = 0;
  for (const ScreenQuadCommand* quad : queued) {
    if (quad->material != scratch) continue;
    ++scratches;
    EXPECT_EQ(quad->vertices[2].y - quad->vertices[0].y, 200.0f);
  }
  EXPECT_EQ(scratches, 1u);
  Send(grain, kSetLine, std::int32_t{0});
  grain.ExecuteCommand(kDeleteLine, nullptr);
  for (const ScreenQuadCommand* quad : DrawFrame(grain)) EXPECT_NE(quad->material, scratch);
}

TEST_F(FilmGrainTest, AScreenWithoutSizeShowsNothing) {
  for (const auto& [width, height] : {std::pair{0, 200}, {800, 0}}) {
    GetEngineServices()->SetScreenSize(width, height);
    FilmGrain& grain = AddGrain();
    Send(grain, kAddLine, std::string("Scratch"));
    Collect(grain);
    EXPECT_TRUE(DrawFrame(grain).empty());
    DestroyObjectTree(engine->DetachChild(grain));
  }
}

TEST_F(FilmGrainTest, FilesBeforeVersion30KeepNoEntrySizesAndCountsBeyondTheFileAreRefused) {
  FilmGrain& grain = AddGrain();
  Send(grain, kAddLine, std::string("Scratch"));
  Send(grain, kSetDetail, std::int32_t{1});
  Send(grain, kDetailWidth, 5.0f);
  for (const int version : {0, 29, 30, SerializeStream::kLatestVersion}) {
    SCOPED_TRACE(version);
    std::unique_ptr<FilmGrain> loaded = RoundTrip(grain, version);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(Save(*loaded, version), Save(grain, version));
    EXPECT_EQ(loaded->GetDetails().size(), version >= 1 ? 3u : 0u);
    EXPECT_EQ(loaded->GetLines().size(), version >= 1 ? 1u : 0u);
    if (version >= 1) {
      EXPECT_EQ(loaded->GetDetails()[1].width, version >= 30 ? 5.0f : 32.0f);
    }
  }
  std::vector<std::string> names;
  grain.ExecuteCommand(kGetLines, &names);
  EXPECT_EQ(names, std::vector<std::string>{"Scratch"});

  // The detail count is the record's last list: raise it past the bytes.
  std::vector<std::uint8_t> bytes = Save(grain);
  const std::vector<std::uint8_t> three{3, 0, 0, 0, 5, 0, 0, 0, 'S'};
  const auto at = std::search(bytes.begin(), bytes.end(), three.begin(), three.end());
  ASSERT_NE(at, bytes.end());
  *at = 200;
  EXPECT_EQ(Load<FilmGrain>(kClassFilmGrain, bytes, SerializeStream::kLatestVersion), nullptr);
}

}  // namespace
}  // namespace tge::test

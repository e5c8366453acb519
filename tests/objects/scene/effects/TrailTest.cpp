// Trail: sampling as the object moves, the pool limits, the ribbon it
// queues and its file record.
#include "objects/scene/effects/Trail.h"
#include "services/render/RenderQueue.h"
#include "tests/objects/scene/SceneFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kSetMaxSamples = 18752, kSetMinDistance = 18754, kSetLifetime = 18756;
constexpr std::uint32_t kSetTrailObjectMaterial = 18766;

class TrailTest : public SceneFixture {
 protected:
  Trail& NewTrail() {
    AddMaterial("Ribbon");
    Trail& trail = Add<Trail>(kClassTrail, "Trail");
    std::string material = "Ribbon";
    trail.ExecuteCommand(kSetTrailObjectMaterial, &material);
    return trail;
  }

  // Moves the trail by step along x each frame, drawing it.
  void Run(Trail& trail, int frames, float step) {
    for (int i = 0; i < frames; ++i) {
      Queue().Reset();
      trail.SetPosition({trail.GetPosition().x + step, 0, 0}, true);
      trail.Draw();
    }
  }

  const PrimitivesCommand* QueuedStrip() {
    const auto queued = QueuedPrimitives();
    return queued.empty() ? nullptr : queued.front();
  }
};

TEST_F(TrailTest, MaxSamplesStayWithinThePoolLimits) {
  Trail& trail = NewTrail();
  for (auto [given, kept] : {std::pair{0, 1}, std::pair{-5, 1}, std::pair{1, 1}, std::pair{100000, 5999}}) {
    Send(trail, kSetMaxSamples, given);
    EXPECT_EQ(trail.GetMaxSamples(), kept) << given;
  }
  Send(trail, kSetMaxSamples, 1);
  trail.Start();
  Run(trail, 10, 1.0f);
  EXPECT_EQ(trail.GetLiveSamples().size(), 1u);
}

TEST_F(TrailTest, StartBeforeAnyDrawAndAStillTrailSampleNothing) {
  Trail& trail = NewTrail();
  trail.Start();  // no pool yet
  Run(trail, 30, 0.0f);
  EXPECT_TRUE(trail.GetLiveSamples().empty());
  EXPECT_EQ(QueuedStrip(), nullptr);
}

TEST_F(TrailTest, OldestIsReusedAndExpiredSamplesDrop) {
  Trail& trail = NewTrail();
  trail.Start();
  Run(trail, 60, 0.5f);
  EXPECT_EQ(trail.GetLiveSamples().size(), 40u);
  Run(trail, 200, 0.0f);  // 2 s lifetime at 1/60 s a frame
  EXPECT_TRUE(trail.GetLiveSamples().empty());
}

TEST_F(TrailTest, RibbonStartsAtTheObjectAndFadesOutAtItsTail) {
  Trail& trail = NewTrail();
  Send(trail, kSetMinDistance, 0.1f);
  trail.Start();
  Run(trail, 5, 0.5f);
  const PrimitivesCommand* strip = QueuedStrip();
  ASSERT_NE(strip, nullptr);
  EXPECT_EQ(strip->type, 5u);
  EXPECT_EQ(strip->count, 10u);  // five samples, two vertices each
  const auto* v = static_cast<const ColourVertex*>(strip->vertices);
  EXPECT_FLOAT_EQ(v[0].x, 2.5f);
  EXPECT_GE(v[2].colour >> 24, 250u);  // one frame into its fade
  EXPECT_EQ(v[2].colour & 0xFFFFFFu, 0xFFFFFFu);
  EXPECT_EQ(v[10].colour, 0u);
  EXPECT_EQ(v[11].colour, 0u);
  // Across x: the sides lie along the cross of the path with x, so no
  // x offset between a sample's two vertices.
  EXPECT_FLOAT_EQ(v[4].x, v[5].x);
  // TrailMaxSamples after queueing: the vertices live until the frame ends.
  Send(trail, kSetMaxSamples, 10);
  EXPECT_EQ(v[10].colour, 0u);
  Queue().Reset();
}

TEST_F(TrailTest, ZeroLifetimeChangesNothingAndDropsEverySample) {
  Trail& trail = NewTrail();
  Send(trail, kSetLifetime, 0.0f);
  trail.Start();
  Run(trail, 3, 1.0f);
  const PrimitivesCommand* strip = QueuedStrip();
  EXPECT_EQ(strip, nullptr);
  for (const TrailSample* sample : trail.GetLiveSamples()) {
    EXPECT_EQ(sample->colourChange.a, 0.0f);
    EXPECT_EQ(sample->halfWidthChange, 0.0f);
  }
}

TEST_F(TrailTest, RecordRoundTrips) {
  Trail& trail = NewTrail();
  Send(trail, kSetLifetime, 3.5f);
  Send(trail, kSetMaxSamples, 12);
  std::unique_ptr<Trail> loaded = RoundTrip(trail);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetMaxSamples(), 12);
  float lifetime = 0;
  loaded->ExecuteCommand(kSetLifetime + 1, &lifetime);
  EXPECT_EQ(lifetime, 3.5f);
  EXPECT_EQ(Save(*loaded), Save(trail));
}

}  // namespace
}  // namespace tge::test

// MotionLayers: position, rotation and scale at given times against the
// sine and value-noise formulas, flags derived from the amplitudes, the
// layer commands and the file record.
#include <cmath>
#include <cstring>
#include <numbers>

#include "core/BaseCommandIds.h"
#include "core/math/Quaternion.h"
#include "core/math/Random.h"
#include "objects/scene/animation/MotionLayers.h"
#include "tests/objects/scene/animation/MotionFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kSetRotRndMul = 3506, kSetRotRndFreq = 3508, kSetPosSinOffs = 3510, kSetPosSinMul = 3512,
                        kGetPosSinMul = 3513, kSetPosSinFreq = 3514, kAddLayer = 3520, kDeleteLayer = 3521,
                        kGetLayerList = 3522, kSetLayerList = 3523, kSetPosVelocity = 3524, kGetPosVelocity = 3525,
                        kSetRotVelocity = 3526;
constexpr double kLayerStep = 0.0625;

class MotionLayersTest : public MotionFixture {
 protected:
  // One layer swaying x by a sine and turning about y by noise, on a drift.
  MotionLayers& AddSway() {
    MotionLayers& sway = Add<MotionLayers>(kClassMotionLayers, "Sway");
    sway.ExecuteCommand(kAddLayer, nullptr);
    Send(sway, kSetLayerList, 0);
    Send(sway, kSetPosSinMul, Vector3{2, 0, 0});
    Send(sway, kSetPosSinFreq, Vector3{3, 0, 0});
    Send(sway, kSetPosSinOffs, Vector3{0.5f, 0, 0});
    Send(sway, kSetRotRndMul, Vector3{0, 1, 0});
    Send(sway, kSetRotRndFreq, Vector3{0, 2, 0});
    Send(sway, kSetPosVelocity, Vector3{1, 0, 0});
    Send(sway, kSetRotVelocity, Vector3{0, 0.5f, 0});
    return sway;
  }
};

TEST_F(MotionLayersTest, PlacementFollowsTheSineAndNoiseFormulas) {
  MotionLayers& sway = AddSway();
  sway.SetPosition({7, 7, 7}, true);
  EXPECT_EQ(sway.GetLayers()[0].flags, kLayerAllTerms);
  sway.Precalculate();
  EXPECT_EQ(sway.GetLayers()[0].flags, kLayerPosSin | kLayerRotNoise);
  EXPECT_EQ(sway.GetPosition().x, 0.0f);
  for (int frames : {3, 5}) {
    Frames(sway, frames, kLayerStep);
    const float t = sway.GetMotionTime();
    EXPECT_FLOAT_EQ(sway.GetPosition().x, t + std::sin(t * 3 + 0.5f) * 2);
    EXPECT_EQ(sway.GetPosition().y, 0.0f);
    Quaternion expected;
    QuaternionFromYawPitchRoll(expected, t * 0.5f + ValueNoise1D(t * 2), 0, 0);
    EXPECT_FLOAT_EQ(sway.GetRotation().y, expected.y);
    EXPECT_FLOAT_EQ(sway.GetRotation().w, expected.w);
  }
  EXPECT_FLOAT_EQ(sway.GetMotionTime(), 0.5f);
  // Without scale amplitudes the scale is never touched.
  EXPECT_EQ(sway.GetScale().x, 1.0f);
  EXPECT_FALSE(sway.HasFlag(kFlagNonUnitScale));
  // A zero Action value freezes the motion time; an Action start restarts it.
  sway.SetUseAction(true);
  sway.GetAction()->value = 0;
  Frames(sway, 2, kLayerStep);
  EXPECT_FLOAT_EQ(sway.GetMotionTime(), 0.5f);
  sway.ExecuteCommand(kCommandActionStartStep, nullptr);
  EXPECT_EQ(sway.GetMotionTime(), 0.0f);
}

// The scale groups have no commands: a file sets them.
TEST_F(MotionLayersTest, ScaleLayersFromTheFileSetTheScale) {
  MotionLayers& sway = AddSway();
  std::vector<std::uint8_t> bytes = Save(sway);
  const std::size_t layerAt = bytes.size() - kMotionGroupCount * sizeof(Vector3);
  const float offset = std::numbers::pi_v<float> / 2, amplitude = 0.5f;
  std::memcpy(&bytes[layerAt + kScaleSinOffs * sizeof(Vector3)], &offset, sizeof offset);
  std::memcpy(&bytes[layerAt + kScaleSinMul * sizeof(Vector3)], &amplitude, sizeof amplitude);
  std::unique_ptr<Object> loaded = Load<Object>(kClassMotionLayers, bytes, SerializeStream::kLatestVersion);
  ASSERT_NE(loaded, nullptr);
  auto& scaled = static_cast<MotionLayers&>(*engine->AddChild(std::move(loaded)));
  scaled.SetWorld(&engine->GetEngineWorld());
  scaled.Precalculate();
  EXPECT_EQ(scaled.GetLayers()[0].flags, kLayerPosSin | kLayerRotNoise | kLayerScaleSin);
  Frames(scaled, 1, kLayerStep);
  EXPECT_FLOAT_EQ(scaled.GetScale().x, 1 + std::sin(0.0625f * 0 + offset) * amplitude);
  EXPECT_EQ(scaled.GetScale().y, 1.0f);
  EXPECT_TRUE(scaled.HasFlag(kFlagNonUnitScale));
}

TEST_F(MotionLayersTest, LayerCommandsAddSelectListAndDelete) {
  MotionLayers& sway = AddSway();
  sway.ExecuteCommand(kAddLayer, nullptr);
  std::vector<std::string> names;
  sway.ExecuteCommand(kGetLayerList, &names);
  EXPECT_EQ(names, (std::vector<std::string>{"Layer 0", "Layer 1"}));
  Vector3 read{9, 9, 9};
  sway.ExecuteCommand(kGetPosSinMul, &read);
  EXPECT_EQ(read.x, 2.0f);
  // The velocity getters share their setters' names and are reached by id.
  EXPECT_EQ(FindCommandId(&sway, "SetPosVelocity"), static_cast<int>(kSetPosVelocity));
  sway.ExecuteCommand(kGetPosVelocity, &read);
  EXPECT_EQ(read.x, 1.0f);
  // Deleting clears the selection; with none selected nothing goes.
  sway.ExecuteCommand(kDeleteLayer, nullptr);
  EXPECT_EQ(sway.GetLayers().size(), 1u);
  sway.ExecuteCommand(kDeleteLayer, nullptr);
  EXPECT_EQ(sway.GetLayers().size(), 1u);
  Send(sway, kSetPosSinMul, Vector3{5, 5, 5});
  EXPECT_EQ(sway.GetLayers()[0].groups[kPosSinMul].x, 0.0f);
}

TEST_F(MotionLayersTest, FileRecordRoundTrips) {
  MotionLayers& sway = AddSway();
  ExpectStableRecord(sway);
  std::unique_ptr<MotionLayers> loaded = RoundTrip<MotionLayers>(sway);
  ASSERT_NE(loaded, nullptr);
  ASSERT_EQ(loaded->GetLayers().size(), 1u);
  EXPECT_EQ(loaded->GetLayers()[0].groups[kPosSinFreq].x, 3.0f);
  std::vector<std::uint8_t> bytes = Save(sway);
  bytes.resize(bytes.size() - 4);
  EXPECT_EQ(Load<MotionLayers>(kClassMotionLayers, bytes, SerializeStream::kLatestVersion), nullptr);
}

}  // namespace
}  // namespace tge::test

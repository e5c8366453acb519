#include "services/sound/SoundLevels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tge {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(SoundLevels, VolumesBecomeAttenuationsWithinTheLayersRange) {
  struct Case {
    float volume;
    std::int32_t attenuation;
  };
  for (const Case& c : {Case{1.0f, 0}, Case{0.5f, -1250}, Case{0.9f, -50}, Case{0.0f, -5000},
                        Case{1.5f, -1250}, Case{2.0f, -5000}, Case{3.0f, -10000}, Case{-1.0f, -10000},
                        Case{kNaN, -10000}, Case{kInf, -10000}}) {
    SCOPED_TRACE(c.volume);
    EXPECT_EQ(AttenuationFromVolume(c.volume), c.attenuation);
  }
}

TEST(SoundLevels, ConePanAndFrequencyStayInRange) {
  EXPECT_EQ(ConeAttenuationFromVolume(1.0f), 0);
  EXPECT_EQ(ConeAttenuationFromVolume(0.25f), -3750);
  EXPECT_EQ(ConeAttenuationFromVolume(2.0f), 0);
  EXPECT_EQ(ConeAttenuationFromVolume(-2.0f), -10000);
  EXPECT_EQ(ConeAttenuationFromVolume(kNaN), -10000);

  EXPECT_EQ(PanFromBalance(0.5f), 2500);
  EXPECT_EQ(PanFromBalance(-1.0f), -5000);
  EXPECT_EQ(PanFromBalance(3.0f), 10000);
  EXPECT_EQ(PanFromBalance(kNaN), 0);

  EXPECT_EQ(FrequencyFromRatio(1.0f, 22050), 22050u);
  EXPECT_EQ(FrequencyFromRatio(0.5f, 44100), 22050u);
  // Not positive, or not a number: the sound's own rate.
  EXPECT_EQ(FrequencyFromRatio(0.0f, 44100), 0u);
  EXPECT_EQ(FrequencyFromRatio(-2.0f, 44100), 0u);
  EXPECT_EQ(FrequencyFromRatio(kNaN, 44100), 0u);
  EXPECT_EQ(FrequencyFromRatio(kInf, 44100), 4000000000u);
}

}  // namespace
}  // namespace tge

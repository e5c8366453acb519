#include "platform/audio/VolumeConversion.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tge::audio {
namespace {

TEST(AudioVolumeConversion, HundredthsOfADecibelBecomeGain) {
  struct Case {
    std::int32_t volume;
    float gain;
  };
  const Case cases[] = {
      {0, 1.0f},          {-600, 0.501187f}, {-1250, 0.237137f},  // group 0.5 x sound 1.0
      {-2000, 0.1f},      {-5000, 0.0031623f}, {-10000, 0.00001f},
      {-20000, 0.00001f},  // below the range: clamped
      {500, 1.0f},         // above full volume: clamped
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.volume);
    EXPECT_NEAR(GainFromVolume(c.volume), c.gain, c.gain * 1e-4f);
  }
}

TEST(AudioVolumeConversion, PanPlacesMonoVoicesOnTheUnitCircleInFront) {
  struct Case {
    std::int32_t pan;
    float side;
  };
  // The far side loses |pan| hundredths of a decibel: -2000 keeps a tenth.
  const Case cases[] = {{0, 0.0f}, {2000, 0.9f}, {-2000, -0.9f}, {10000, 1.0f},
                        {-10000, -1.0f}, {-30000, -1.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pan);
    const Vec3 p = PanDirection(c.pan);
    EXPECT_NEAR(p.x, c.side, 1e-4f);
    EXPECT_EQ(p.y, 0.0f);
    EXPECT_LE(p.z, 0.0f);  // OpenAL's front
    EXPECT_NEAR(std::hypot(p.x, p.z), 1.0f, 1e-5f);
  }
}

}  // namespace
}  // namespace tge::audio

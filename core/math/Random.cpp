#include "core/math/Random.h"

#include "core/math/Angles.h"

namespace tge {

namespace {

std::uint32_t gState = 1;

constexpr int kNoiseSize = 4096;

const float* NoiseTable() {
  static float table[kNoiseSize + 1];
  static bool filled = false;
  if (!filled) {
    for (float& entry : table) entry = static_cast<float>(Rand() & 0x7ff) / 1024.0f - 1.0f;
    table[kNoiseSize] = table[0];
    filled = true;
  }
  return table;
}

}  // namespace

int Rand() {
  gState = gState * 214013u + 2531011u;
  return static_cast<int>((gState >> 16) & 0x7FFF);
}

void SeedRand(std::uint32_t seed) { gState = seed; }

float RandomSigned() { return static_cast<float>(Rand()) * 0.00006103888f - 1.0f; }

float RandomUnit() { return static_cast<float>(Rand()) * 0.00003051851f; }

float ValueNoise1D(float x) {
  const float* t = NoiseTable();
  const std::int32_t i = TruncateFloat(x);
  float frac = x - static_cast<float>(i);
  if (i < 0) frac += 1.0f;
  const int index = i & 0xfff;
  return t[index] + frac * (t[index + 1] - t[index]);
}

}  // namespace tge

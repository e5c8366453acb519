// The engine's random numbers: a 15-bit linear congruential generator that
// the data's formulas (which divide by 16383 or 32767) rely on.
// Everything random in the engine draws from tge::Rand(); nothing calls std::rand.
#pragma once
#include <cstdint>

namespace tge {

// The classic 15-bit linear congruential generator:
// s = s * 214013 + 2531011 (32-bit unsigned); returns (s >> 16) & 0x7FFF.
// The state starts at 1, as the C library's does.
int Rand();
// Sets the generator's state.
void SeedRand(std::uint32_t seed);

// Rand() * 0.00006103888 - 1: -1 to 1.00006 (the factor is 1/16383).
float RandomSigned();
// Rand() * 0.00003051851: 0 to 1.
float RandomUnit();

// 1-D value noise over a table of 4097 floats filled on first use with
// (Rand() & 0x7ff) / 1024 - 1 (4097 draws), entry 4096 then set to entry 0.
// i = x truncated toward zero; frac = x - i, plus 1 when i < 0;
// t[i & 0xfff] + frac * (t[(i & 0xfff) + 1] - t[i & 0xfff]).
float ValueNoise1D(float x);

}  // namespace tge

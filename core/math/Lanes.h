// Four floats or four 32-bit integers side by side, for loops that work on
// four items at once. The lanes are the compiler's vector extension (GCC and
// clang lower it to SSE on x86-64), with SSE2 itself where the extension has
// no operation. Each lane computes exactly what the same scalar expression
// computes: no operation is reordered or fused.
#pragma once
#include <cstdint>
#include <cstring>
#include <emmintrin.h>

namespace tge {

using Float4 = float __attribute__((vector_size(16)));
using Int4 = std::int32_t __attribute__((vector_size(16)));
using UInt4 = std::uint32_t __attribute__((vector_size(16)));

inline constexpr unsigned kAllLanes = 0xFu;

// Lane-wise std::min(a, b) and std::max(a, b): b < a ? b : a and
// b > a ? b : a, which is what minps and maxps compute.
inline Float4 MinLanes(Float4 a, Float4 b) {
  return reinterpret_cast<Float4>(_mm_min_ps(reinterpret_cast<__m128>(b), reinterpret_cast<__m128>(a)));
}
inline Float4 MaxLanes(Float4 a, Float4 b) {
  return reinterpret_cast<Float4>(_mm_max_ps(reinterpret_cast<__m128>(b), reinterpret_cast<__m128>(a)));
}
inline Float4 SplatFloat(float x) { return Float4{x, x, x, x}; }
inline UInt4 SplatUInt(std::uint32_t x) { return UInt4{x, x, x, x}; }

// Lane k all ones when bit k is set.
inline Int4 LanesOf(unsigned bits) { return (Int4{1, 2, 4, 8} & static_cast<std::int32_t>(bits)) != 0; }

// Bit k set when lane k is set (all ones).
inline unsigned LaneBits(Int4 lanes) {
  return static_cast<unsigned>(_mm_movemask_ps(reinterpret_cast<__m128>(lanes)));
}

// The 16-bit words of each lane times a 16-bit factor: the upper and lower
// halves of each word's 32-bit product, in that word's place.
struct WordProducts {
  UInt4 upper, lower;
};
inline WordProducts MultiplyWords(UInt4 lanes, std::uint16_t factor) {
  const __m128i words = reinterpret_cast<__m128i>(lanes);
  const __m128i factors = _mm_set1_epi16(static_cast<short>(factor));
  return {reinterpret_cast<UInt4>(_mm_mulhi_epu16(words, factors)),
          reinterpret_cast<UInt4>(_mm_mullo_epi16(words, factors))};
}

// Rows a, b, c, d become columns: a holds lane 0 of each, and so on.
inline void TransposeLanes(Float4& a, Float4& b, Float4& c, Float4& d) {
  const Float4 ab01 = __builtin_shufflevector(a, b, 0, 4, 1, 5);
  const Float4 ab23 = __builtin_shufflevector(a, b, 2, 6, 3, 7);
  const Float4 cd01 = __builtin_shufflevector(c, d, 0, 4, 1, 5);
  const Float4 cd23 = __builtin_shufflevector(c, d, 2, 6, 3, 7);
  a = __builtin_shufflevector(ab01, cd01, 0, 1, 4, 5);
  b = __builtin_shufflevector(ab01, cd01, 2, 3, 6, 7);
  c = __builtin_shufflevector(ab23, cd23, 0, 1, 4, 5);
  d = __builtin_shufflevector(ab23, cd23, 2, 3, 6, 7);
}

inline Float4 LoadLanes(const void* from) {
  Float4 lanes;
  std::memcpy(&lanes, from, sizeof lanes);
  return lanes;
}

}  // namespace tge

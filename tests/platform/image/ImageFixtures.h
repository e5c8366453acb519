// Small images built in memory for the decoder tests.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace tge::image::test {

class Bytes {
 public:
  Bytes& U8(std::uint32_t v) { data.push_back(std::uint8_t(v)); return *this; }
  Bytes& U16(std::uint32_t v) { return U8(v).U8(v >> 8); }
  Bytes& U32(std::uint32_t v) { return U16(v).U16(v >> 16); }
  Bytes& Text(const char* text) { while (*text) U8(std::uint8_t(*text++)); return *this; }
  Bytes& Zeros(std::size_t count) { data.insert(data.end(), count, 0); return *this; }
  Bytes& Raw(std::initializer_list<std::uint8_t> values) { data.insert(data.end(), values); return *this; }
  std::vector<std::uint8_t> data;
};

// A DDS header (magic included) for the given pixel-format fields.
inline Bytes DdsHeader(std::uint32_t width, std::uint32_t height, std::uint32_t mips,
                       std::uint32_t pfFlags, const char* fourCc, std::uint32_t bitCount,
                       std::initializer_list<std::uint32_t> masks, std::uint32_t caps2 = 0) {
  Bytes b;
  b.Text("DDS ").U32(124).U32(0x1007 | (mips > 1 ? 0x20000 : 0)).U32(height).U32(width).U32(0).U32(0)
      .U32(mips).Zeros(44).U32(32).U32(pfFlags);
  if (fourCc != nullptr) b.Text(fourCc); else b.U32(0);
  b.U32(bitCount);
  for (std::uint32_t m : masks) b.U32(m);
  b.U32(0x1000).U32(caps2).Zeros(12);
  return b;
}

}  // namespace tge::image::test

// Pixels packed by channel masks (BMP bit fields, DDS uncompressed formats,
// 16-bit TGA), expanded to the 8-bit blue, green, red, alpha of an Image.
#pragma once
#include <bit>
#include <cstdint>

namespace tge::image {

struct ChannelMasks {
  std::uint32_t red = 0, green = 0, blue = 0, alpha = 0;
};

inline std::uint8_t ExpandChannel(std::uint32_t value, std::uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const std::uint64_t maximum = std::uint64_t(mask) >> shift;
  return std::uint8_t((std::uint64_t(value & mask) >> shift) * 255 / maximum);
}

// Without an alpha mask the pixel is opaque.
inline void StoreMasked(std::uint8_t* out, std::uint32_t value, const ChannelMasks& masks) {
  out[0] = ExpandChannel(value, masks.blue);
  out[1] = ExpandChannel(value, masks.green);
  out[2] = ExpandChannel(value, masks.red);
  out[3] = masks.alpha != 0 ? ExpandChannel(value, masks.alpha) : 255;
}

}  // namespace tge::image

#include "platform/image/BmpWriter.h"

#include <cstring>

namespace tge::image {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint16_t kBitsPerPixel = 32;

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(std::uint8_t(value));
  out.push_back(std::uint8_t(value >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  PutU16(out, std::uint16_t(value));
  PutU16(out, std::uint16_t(value >> 16));
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp(const Image& image) {
  const std::size_t rowBytes = std::size_t(image.width) * 4;
  const std::size_t pixelBytes = image.FaceBytes();
  if (pixelBytes == 0 || image.pixels.size() < pixelBytes) return {};
  std::vector<std::uint8_t> out;
  out.reserve(kFileHeaderSize + kInfoHeaderSize + pixelBytes);
  out.push_back('B');
  out.push_back('M');
  PutU32(out, std::uint32_t(kFileHeaderSize + kInfoHeaderSize + pixelBytes));
  PutU32(out, 0);
  PutU32(out, kFileHeaderSize + kInfoHeaderSize);
  PutU32(out, kInfoHeaderSize);
  PutU32(out, image.width);
  PutU32(out, image.height);
  PutU16(out, 1);
  PutU16(out, kBitsPerPixel);
  PutU32(out, 0);  // no compression
  PutU32(out, std::uint32_t(pixelBytes));
  for (int i = 0; i < 4; ++i) PutU32(out, 0);  // resolution and palette counts
  for (std::size_t row = image.height; row-- > 0;) {
    const std::uint8_t* from = image.pixels.data() + row * rowBytes;
    out.insert(out.end(), from, from + rowBytes);
  }
  return out;
}

}  // namespace tge::image

// DirectDraw surfaces: DXT1, DXT3 and DXT5 blocks, decompressed here, and
// uncompressed pixels of 8, 16, 24 or 32 bits described by channel masks
// (colour, luminance or alpha only, as the flags or a Direct3D format number
// in place of the four-character code say); a plain texture or a cube map
// with all six faces. Only the top level of each
// face is kept; the mip levels stored after it are skipped by their sizes.
#include <algorithm>

#include "platform/image/ByteReader.h"
#include "platform/image/ChannelMasks.h"
#include "platform/image/Image.h"

namespace tge::image {
namespace {

constexpr std::uint32_t kHeaderSize = 124;
constexpr std::uint32_t kPixelFormatSize = 32;
constexpr std::uint32_t kFlagMipCount = 0x20000;
constexpr std::uint32_t kPfAlphaPixels = 0x1;
constexpr std::uint32_t kPfAlpha = 0x2;
constexpr std::uint32_t kPfFourCc = 0x4;
constexpr std::uint32_t kPfRgb = 0x40;
constexpr std::uint32_t kPfLuminance = 0x20000;
constexpr std::uint32_t kCaps2CubeMap = 0x200;
constexpr std::uint32_t kCaps2AllFaces = 0xFC00;

constexpr std::uint32_t FourCc(const char (&code)[5]) {
  return std::uint32_t(std::uint8_t(code[0])) | std::uint32_t(std::uint8_t(code[1])) << 8 |
         std::uint32_t(std::uint8_t(code[2])) << 16 | std::uint32_t(std::uint8_t(code[3])) << 24;
}

enum class Encoding { kDxt1, kDxt3, kDxt5, kMasked };

struct DdsHeader {
  std::uint32_t width = 0, height = 0, mipCount = 1, faces = 1;
  Encoding encoding = Encoding::kMasked;
  std::uint32_t bitCount = 0;
  ChannelMasks masks;
  bool luminance = false;  // the red mask holds grey
};

// Uncompressed formats some writers name by their Direct3D format number.
struct NumberedFormat {
  std::uint32_t number;
  std::uint32_t bitCount;
  bool luminance;
  ChannelMasks masks;
};

constexpr NumberedFormat kNumberedFormats[] = {
    {27, 8, false, {0xE0, 0x1C, 0x03, 0}},  // R3G3B2
    {28, 8, false, {0, 0, 0, 0xFF}},        // A8
    {50, 8, true, {0xFF, 0, 0, 0}},         // L8
    {51, 16, true, {0xFF, 0, 0, 0xFF00}},   // A8L8
};

bool Fail(std::string& error, const std::string& text) {
  error = "DDS: " + text;
  return false;
}

std::uint64_t LevelBytes(const DdsHeader& h, std::uint32_t level) {
  const std::uint64_t w = std::max(1u, h.width >> level), hgt = std::max(1u, h.height >> level);
  switch (h.encoding) {
    case Encoding::kDxt1: return ((w + 3) / 4) * ((hgt + 3) / 4) * 8;
    case Encoding::kDxt3: case Encoding::kDxt5: return ((w + 3) / 4) * ((hgt + 3) / 4) * 16;
    case Encoding::kMasked: return w * hgt * (h.bitCount / 8);
  }
  return 0;
}

bool ReadFourCc(std::uint32_t fourCc, DdsHeader& h, std::string& error) {
  if (fourCc == FourCc("DXT1")) h.encoding = Encoding::kDxt1;
  else if (fourCc == FourCc("DXT3")) h.encoding = Encoding::kDxt3;
  else if (fourCc == FourCc("DXT5")) h.encoding = Encoding::kDxt5;
  if (h.encoding != Encoding::kMasked) return true;
  for (const NumberedFormat& format : kNumberedFormats) {
    if (format.number != fourCc) continue;
    h.bitCount = format.bitCount;
    h.luminance = format.luminance;
    h.masks = format.masks;
    return true;
  }
  return Fail(error, "unsupported compressed format");
}

bool ReadPixelFormat(ByteReader& in, DdsHeader& h, std::string& error) {
  if (in.U32() != kPixelFormatSize) return Fail(error, "bad pixel format size");
  const std::uint32_t flags = in.U32();
  const std::uint32_t fourCc = in.U32();
  h.bitCount = in.U32();
  h.masks.red = in.U32();
  h.masks.green = in.U32();
  h.masks.blue = in.U32();
  h.masks.alpha = flags & (kPfAlphaPixels | kPfAlpha) ? in.U32() : (in.U32(), 0u);
  h.luminance = (flags & kPfLuminance) != 0;
  if (flags & kPfFourCc) return ReadFourCc(fourCc, h, error);
  const bool plain = (flags & (kPfRgb | kPfLuminance | kPfAlpha)) != 0;
  if (!plain || (h.bitCount != 8 && h.bitCount != 16 && h.bitCount != 24 && h.bitCount != 32)) {
    return Fail(error, "unsupported pixel format");
  }
  return true;
}

bool ReadHeader(ByteReader& in, DdsHeader& h, std::string& error) {
  in.Skip(4);  // magic
  if (in.U32() != kHeaderSize) return Fail(error, "bad header size");
  const std::uint32_t flags = in.U32();
  h.height = in.U32();
  h.width = in.U32();
  in.Skip(8);  // pitch, depth
  const std::uint32_t mips = in.U32();
  h.mipCount = flags & kFlagMipCount ? std::max(1u, mips) : 1u;
  in.Skip(44);
  if (!ReadPixelFormat(in, h, error)) return false;
  in.U32();  // caps
  const std::uint32_t caps2 = in.U32();
  in.Skip(12);
  if (in.Failed()) return Fail(error, "truncated header");
  if (caps2 & kCaps2CubeMap) {
    if ((caps2 & kCaps2AllFaces) != kCaps2AllFaces) return Fail(error, "cube map without all six faces");
    if (h.width != h.height) return Fail(error, "cube map faces are not square");
    h.faces = 6;
  }
  if (h.mipCount > 32) return Fail(error, "bad mip count");
  return true;
}

std::uint32_t Expand565(std::uint16_t c) {
  const std::uint32_t r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
  return (r * 255 / 31) << 16 | (g * 255 / 63) << 8 | (b * 255 / 31);
}

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, std::uint32_t wa, std::uint32_t wb) {
  std::uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    out |= ((((a >> shift) & 255) * wa + ((b >> shift) & 255) * wb) / (wa + wb)) << shift;
  }
  return out;
}

// The colour half of a block: 16 pixels as 0xAARRGGBB. DXT1 blocks whose
// first colour is not the larger have a transparent fourth entry.
void DecodeColourBlock(const std::uint8_t* block, bool dxt1, std::uint32_t out[16]) {
  const std::uint16_t c0 = std::uint16_t(block[0] | block[1] << 8);
  const std::uint16_t c1 = std::uint16_t(block[2] | block[3] << 8);
  std::uint32_t palette[4] = {Expand565(c0) | 0xFF000000u, Expand565(c1) | 0xFF000000u, 0, 0};
  if (c0 > c1 || !dxt1) {
    palette[2] = Mix(palette[0], palette[1], 2, 1) | 0xFF000000u;
    palette[3] = Mix(palette[0], palette[1], 1, 2) | 0xFF000000u;
  } else {
    palette[2] = Mix(palette[0], palette[1], 1, 1) | 0xFF000000u;
  }
  const std::uint32_t bits = std::uint32_t(block[4] | block[5] << 8 | block[6] << 16) |
                             std::uint32_t(block[7]) << 24;
  for (int i = 0; i < 16; ++i) out[i] = palette[(bits >> (2 * i)) & 3];
}

void DecodeExplicitAlpha(const std::uint8_t* block, std::uint32_t out[16]) {
  for (int i = 0; i < 16; ++i) {
    const std::uint32_t nibble = (block[i / 2] >> (4 * (i % 2))) & 15;
    out[i] = (out[i] & 0x00FFFFFFu) | (nibble * 17) << 24;
  }
}

void DecodeInterpolatedAlpha(const std::uint8_t* block, std::uint32_t out[16]) {
  const std::uint32_t a0 = block[0], a1 = block[1];
  std::uint32_t alpha[8] = {a0, a1};
  for (std::uint32_t i = 1; i < 7; ++i) {
    alpha[i + 1] = a0 > a1 ? ((7 - i) * a0 + i * a1) / 7
                 : i < 5   ? ((5 - i) * a0 + i * a1) / 5
                 : i == 5  ? 0u : 255u;
  }
  std::uint64_t bits = 0;
  for (int i = 0; i < 6; ++i) bits |= std::uint64_t(block[2 + i]) << (8 * i);
  for (int i = 0; i < 16; ++i) out[i] = (out[i] & 0x00FFFFFFu) | alpha[(bits >> (3 * i)) & 7] << 24;
}

void DecodeBlocks(const std::uint8_t* in, const DdsHeader& h, std::uint8_t* face) {
  const std::size_t blockBytes = h.encoding == Encoding::kDxt1 ? 8 : 16;
  for (std::uint32_t by = 0; by < (h.height + 3) / 4; ++by) {
    for (std::uint32_t bx = 0; bx < (h.width + 3) / 4; ++bx, in += blockBytes) {
      std::uint32_t texels[16];
      const std::uint8_t* colour = blockBytes == 16 ? in + 8 : in;
      DecodeColourBlock(colour, h.encoding == Encoding::kDxt1, texels);
      if (h.encoding == Encoding::kDxt3) DecodeExplicitAlpha(in, texels);
      if (h.encoding == Encoding::kDxt5) DecodeInterpolatedAlpha(in, texels);
      for (std::uint32_t i = 0; i < 16; ++i) {
        const std::uint32_t x = bx * 4 + i % 4, y = by * 4 + i / 4;
        if (x >= h.width || y >= h.height) continue;
        std::uint8_t* out = face + (std::size_t(y) * h.width + x) * 4;
        for (int k = 0; k < 4; ++k) out[k] = std::uint8_t(texels[i] >> (8 * k));
      }
    }
  }
}

void DecodeMasked(const std::uint8_t* in, const DdsHeader& h, std::uint8_t* face) {
  const std::uint32_t bytes = h.bitCount / 8;
  for (std::size_t i = 0; i < std::size_t(h.width) * h.height; ++i, in += bytes) {
    std::uint32_t value = 0;
    for (std::uint32_t k = 0; k < bytes; ++k) value |= std::uint32_t(in[k]) << (8 * k);
    std::uint8_t* out = face + i * 4;
    StoreMasked(out, value, h.masks);
    if (h.luminance) out[0] = out[1] = out[2];
  }
}

}  // namespace

bool DecodeDds(std::span<const std::uint8_t> data, Image& image, std::string& error) {
  ByteReader in(data);
  DdsHeader h;
  if (!ReadHeader(in, h, error)) return false;
  if (!AllocateImage(image, h.width, h.height, h.faces, error)) return false;
  std::uint64_t chainBytes = 0;
  for (std::uint32_t level = 0; level < h.mipCount; ++level) chainBytes += LevelBytes(h, level);
  if (chainBytes * h.faces > in.Remaining()) return Fail(error, "data shorter than the surfaces");
  for (std::uint32_t face = 0; face < h.faces; ++face) {
    const std::uint8_t* surface = in.Here() + face * chainBytes;
    std::uint8_t* out = image.pixels.data() + face * image.FaceBytes();
    if (h.encoding == Encoding::kMasked) {
      DecodeMasked(surface, h, out);
    } else {
      DecodeBlocks(surface, h, out);
    }
  }
  return true;
}

}  // namespace tge::image

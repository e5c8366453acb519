// Windows bitmaps: the info header of 40 bytes or one of its longer
// versions, or the 12-byte OS/2 core header with its 3-byte palette entries;
// 1, 4 and 8 bits with a palette, plain or (4 and 8 bits) run-length
// compressed; 16 and 32 bits plain or by bit fields, 24 bits; bottom-up or
// top-down. 32-bit pixels without an alpha mask are opaque.
#include <algorithm>
#include <array>

#include "platform/image/ByteReader.h"
#include "platform/image/ChannelMasks.h"
#include "platform/image/Image.h"

namespace tge::image {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionRle8 = 1;
constexpr std::uint32_t kCompressionRle4 = 2;
constexpr std::uint32_t kCompressionBitFields = 3;

struct BmpHeader {
  std::uint32_t pixelOffset = 0;
  std::uint32_t infoSize = 0;
  std::int32_t width = 0, height = 0;
  std::uint16_t bitCount = 0;
  std::uint32_t compression = 0;
  std::uint32_t paletteCount = 0;
  ChannelMasks masks;
  std::size_t paletteOffset = 0;
  std::size_t paletteEntryBytes = 4;

  bool IsRunLength() const { return compression == kCompressionRle8 || compression == kCompressionRle4; }
};

bool Fail(std::string& error, const std::string& text) {
  error = "BMP: " + text;
  return false;
}

// The OS/2 core header: 16-bit sizes, no compression, 3-byte palette entries.
bool ReadCoreHeader(ByteReader& in, BmpHeader& header, std::string& error) {
  header.width = in.U16();
  header.height = in.U16();
  in.U16();  // planes
  header.bitCount = in.U16();
  if (in.Failed()) return Fail(error, "truncated header");
  header.masks = ChannelMasks{0x00FF0000, 0x0000FF00, 0x000000FF, 0};
  header.paletteOffset = kFileHeaderSize + kCoreHeaderSize;
  header.paletteEntryBytes = 3;
  // The palette fills the gap up to the pixels, at most what the depth uses.
  const std::size_t gap = header.pixelOffset > header.paletteOffset ? header.pixelOffset - header.paletteOffset : 0;
  const std::size_t maximum = header.bitCount <= 8 ? std::size_t{1} << header.bitCount : 0;
  header.paletteCount = std::uint32_t(std::min(gap / 3, maximum));
  return true;
}

bool ReadHeader(std::span<const std::uint8_t> data, BmpHeader& header, std::string& error) {
  ByteReader in(data, 10);
  header.pixelOffset = in.U32();
  header.infoSize = in.U32();
  if (header.infoSize == kCoreHeaderSize) return ReadCoreHeader(in, header, error);
  header.width = in.I32();
  header.height = in.I32();
  in.U16();  // planes
  header.bitCount = in.U16();
  header.compression = in.U32();
  in.Skip(12);  // image size, resolution
  header.paletteCount = in.U32();
  if (in.Failed() || header.infoSize < 40 || header.infoSize > 124) {
    return Fail(error, "unsupported or truncated header");
  }
  header.masks = header.bitCount == 16 ? ChannelMasks{0x7C00, 0x03E0, 0x001F, 0}
                                       : ChannelMasks{0x00FF0000, 0x0000FF00, 0x000000FF, 0};
  header.paletteOffset = kFileHeaderSize + header.infoSize;
  if (header.compression == kCompressionBitFields) {
    ByteReader masks(data, kFileHeaderSize + 40);
    header.masks.red = masks.U32();
    header.masks.green = masks.U32();
    header.masks.blue = masks.U32();
    header.masks.alpha = header.infoSize >= 56 ? masks.U32() : 0;
    if (masks.Failed()) return Fail(error, "truncated bit fields");
    if (header.infoSize == 40) header.paletteOffset += 12;
  } else if (header.IsRunLength()) {
    const std::uint16_t runBits = header.compression == kCompressionRle8 ? 8 : 4;
    if (header.bitCount != runBits) return Fail(error, "run-length compression does not match the bit depth");
    if (header.height < 0) return Fail(error, "a run-length bitmap cannot be top-down");
  } else if (header.compression != kCompressionNone) {
    return Fail(error, "unsupported compression " + std::to_string(header.compression));
  }
  return true;
}

bool ReadPalette(std::span<const std::uint8_t> data, const BmpHeader& header,
                 std::array<std::uint32_t, 256>& palette, std::string& error) {
  const std::uint32_t maximum = 1u << header.bitCount;
  const std::uint32_t count = header.paletteCount == 0 ? maximum : header.paletteCount;
  if (count > maximum) return Fail(error, "palette larger than the bit depth allows");
  ByteReader in(data, header.paletteOffset);
  palette.fill(0xFF000000u);
  for (std::uint32_t i = 0; i < count; ++i) {
    palette[i] = (header.paletteEntryBytes == 3 ? in.U16() | std::uint32_t(in.U8()) << 16 : in.U32()) | 0xFF000000u;
  }
  return in.Failed() ? Fail(error, "truncated palette") : true;
}

void StoreColour(std::uint8_t* out, std::uint32_t argb) {
  out[0] = std::uint8_t(argb);
  out[1] = std::uint8_t(argb >> 8);
  out[2] = std::uint8_t(argb >> 16);
  out[3] = std::uint8_t(argb >> 24);
}

void DecodeRow(const std::uint8_t* row, const BmpHeader& header,
               const std::array<std::uint32_t, 256>& palette, std::uint32_t width,
               std::uint8_t* out) {
  for (std::uint32_t x = 0; x < width; ++x, out += 4) {
    switch (header.bitCount) {
      case 1: case 4: case 8: {
        const std::uint32_t bitOffset = x * header.bitCount;
        const std::uint32_t shift = 8 - header.bitCount - bitOffset % 8;
        const std::uint32_t index = (row[bitOffset / 8] >> shift) & ((1u << header.bitCount) - 1);
        StoreColour(out, palette[index]);
        break;
      }
      case 16: StoreMasked(out, std::uint32_t(row[2 * x] | row[2 * x + 1] << 8), header.masks); break;
      case 24: StoreColour(out, 0xFF000000u | row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16); break;
      default: {
        const std::uint8_t* p = row + 4 * x;
        StoreMasked(out, std::uint32_t(p[0] | p[1] << 8 | p[2] << 16) | std::uint32_t(p[3]) << 24,
                    header.masks);
      }
    }
  }
}

// A run-length bitmap, rows bottom first, into the image. Runs and absolute
// stretches past the image edge are clipped; pixels the data skips keep the
// first palette colour.
class RunLengthDecoder {
 public:
  RunLengthDecoder(const BmpHeader& header, const std::array<std::uint32_t, 256>& palette, Image& image)
      : fourBits_(header.compression == kCompressionRle4), palette_(palette), image_(image) {
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) StoreColour(&image.pixels[i], palette[0]);
  }

  bool Decode(ByteReader& in, std::string& error) {
    while (true) {
      const std::uint8_t count = in.U8();
      const std::uint8_t value = in.U8();
      if (in.Failed()) return Fail(error, "truncated run-length data");
      if (count > 0) {
        for (unsigned i = 0; i < count; ++i) Put(fourBits_ ? Nibble(value, i) : value);
      } else if (value == 0) {
        x_ = 0;
        ++y_;
      } else if (value == 1) {
        return true;
      } else if (value == 2) {
        x_ += in.U8();
        y_ += in.U8();
      } else if (!Absolute(in, value)) {
        return Fail(error, "truncated run-length data");
      }
    }
  }

 private:
  static std::uint8_t Nibble(std::uint8_t pair, unsigned index) {
    return index % 2 == 0 ? std::uint8_t(pair >> 4) : std::uint8_t(pair & 0x0F);
  }

  // count pixels stored as they are, padded to a whole 16-bit word.
  bool Absolute(ByteReader& in, unsigned count) {
    const std::size_t bytes = fourBits_ ? (count + 1) / 2 : count;
    if (bytes > in.Remaining()) return false;
    const std::uint8_t* p = in.Here();
    for (unsigned i = 0; i < count; ++i) Put(fourBits_ ? Nibble(p[i / 2], i) : p[i]);
    in.Skip(bytes + bytes % 2);
    return true;
  }

  void Put(std::uint8_t index) {
    if (x_ < image_.width && y_ < image_.height) {
      const std::size_t row = image_.height - 1 - std::size_t(y_);
      StoreColour(&image_.pixels[(row * image_.width + std::size_t(x_)) * 4], palette_[index]);
    }
    ++x_;
  }

  bool fourBits_;
  const std::array<std::uint32_t, 256>& palette_;
  Image& image_;
  std::uint64_t x_ = 0, y_ = 0;
};

}  // namespace

bool DecodeBmp(std::span<const std::uint8_t> data, Image& image, std::string& error) {
  BmpHeader header;
  if (!ReadHeader(data, header, error)) return false;
  const std::uint16_t bits = header.bitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    return Fail(error, "unsupported bit depth " + std::to_string(bits));
  }
  if (header.width <= 0 || header.height == 0 || header.height == INT32_MIN) {
    return Fail(error, "bad image size");
  }
  const auto width = std::uint32_t(header.width);
  const bool topDown = header.height < 0;
  const auto height = std::uint32_t(topDown ? -std::int64_t(header.height) : header.height);
  std::array<std::uint32_t, 256> palette{};
  if (bits <= 8 && !ReadPalette(data, header, palette, error)) return false;
  if (!AllocateImage(image, width, height, 1, error)) return false;
  if (header.IsRunLength()) {
    ByteReader in(data, header.pixelOffset);
    return RunLengthDecoder(header, palette, image).Decode(in, error);
  }
  const std::uint64_t stride = (std::uint64_t(width) * bits + 31) / 32 * 4;
  if (header.pixelOffset > data.size() || stride * height > data.size() - header.pixelOffset) {
    return Fail(error, "pixel data shorter than the image size");
  }
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint32_t fileRow = topDown ? y : height - 1 - y;
    DecodeRow(data.data() + header.pixelOffset + fileRow * stride, header, palette, width,
              image.pixels.data() + std::size_t(y) * width * 4);
  }
  return true;
}

}  // namespace tge::image

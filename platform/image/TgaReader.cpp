// Targa images: colour-mapped (8-bit indices, 15, 16, 24 or 32-bit map
// entries), true-colour (15, 16, 24, 32 bits) and grey (8 bits), each plain
// or run-length encoded; rows bottom-up unless the descriptor says top-down,
// columns right-to-left when it says so.
#include <algorithm>
#include <vector>

#include "platform/image/ByteReader.h"
#include "platform/image/ChannelMasks.h"
#include "platform/image/Image.h"

namespace tge::image {
namespace {

enum TgaType : std::uint8_t {
  kMapped = 1, kTrueColour = 2, kGrey = 3, kRleMapped = 9, kRleTrueColour = 10, kRleGrey = 11
};

struct TgaHeader {
  std::uint8_t idLength = 0, mapType = 0, type = 0;
  std::uint16_t mapFirst = 0, mapLength = 0;
  std::uint8_t mapEntryBits = 0;
  std::uint16_t width = 0, height = 0;
  std::uint8_t pixelBits = 0, descriptor = 0;
};

bool Fail(std::string& error, const std::string& text) {
  error = "TGA: " + text;
  return false;
}

// One stored value of 15 to 32 bits (little-endian) as blue, green, red, alpha.
void StoreValue(std::uint8_t* out, const std::uint8_t* in, std::uint8_t bits, bool alphaBits) {
  switch (bits) {
    case 8: out[0] = out[1] = out[2] = in[0]; out[3] = 255; break;
    case 15: case 16:
      StoreMasked(out, std::uint32_t(in[0] | in[1] << 8),
                  {0x7C00, 0x03E0, 0x001F, bits == 16 && alphaBits ? 0x8000u : 0u});
      break;
    case 24: out[0] = in[0]; out[1] = in[1]; out[2] = in[2]; out[3] = 255; break;
    default: out[0] = in[0]; out[1] = in[1]; out[2] = in[2]; out[3] = alphaBits ? in[3] : 255;
  }
}

std::uint32_t BytesOf(std::uint8_t bits) { return (bits + 7u) / 8u; }

bool ReadHeader(ByteReader& in, TgaHeader& h, std::string& error) {
  h.idLength = in.U8();
  h.mapType = in.U8();
  h.type = in.U8();
  h.mapFirst = in.U16();
  h.mapLength = in.U16();
  h.mapEntryBits = in.U8();
  in.Skip(4);  // origin
  h.width = in.U16();
  h.height = in.U16();
  h.pixelBits = in.U8();
  h.descriptor = in.U8();
  in.Skip(h.idLength);
  if (in.Failed()) return Fail(error, "truncated header");
  const bool mapped = h.type == kMapped || h.type == kRleMapped;
  const bool grey = h.type == kGrey || h.type == kRleGrey;
  const bool trueColour = h.type == kTrueColour || h.type == kRleTrueColour;
  const auto colourBits = [](std::uint8_t b) { return b == 15 || b == 16 || b == 24 || b == 32; };
  if (mapped && (h.mapType != 1 || h.pixelBits != 8 || !colourBits(h.mapEntryBits))) {
    return Fail(error, "unsupported colour map");
  }
  if ((grey && h.pixelBits != 8) || (trueColour && !colourBits(h.pixelBits)) ||
      !(mapped || grey || trueColour)) {
    return Fail(error, "unsupported image type " + std::to_string(h.type));
  }
  return true;
}

// The colour map as ready pixels; entries before the first index are black.
bool ReadColourMap(ByteReader& in, const TgaHeader& h, std::vector<std::uint8_t>& map,
                   std::string& error) {
  if (h.mapType == 0) return true;
  const std::uint32_t entryBytes = BytesOf(h.mapEntryBits);
  if (std::uint64_t(h.mapLength) * entryBytes > in.Remaining()) return Fail(error, "truncated colour map");
  // A true-colour or grey image may carry a map it does not use, with entries
  // of any size: skipped unread.
  if (h.type != kMapped && h.type != kRleMapped) {
    in.Skip(std::size_t(h.mapLength) * entryBytes);
    return true;
  }
  map.assign(256 * 4, 0);
  for (std::uint32_t i = 0; i < h.mapLength; ++i, in.Skip(entryBytes)) {
    const std::uint32_t index = h.mapFirst + i;
    if (index < 256) StoreValue(&map[index * 4], in.Here(), h.mapEntryBits, true);
  }
  return true;
}

// Reads width x height stored values (after run-length expansion) in file order.
bool ReadValues(ByteReader& in, const TgaHeader& h, std::vector<std::uint8_t>& values,
                std::string& error) {
  const std::uint32_t bytes = BytesOf(h.pixelBits);
  const std::size_t total = std::size_t(h.width) * h.height * bytes;
  if (h.type < kRleMapped) {
    if (total > in.Remaining()) return Fail(error, "pixel data shorter than the image size");
    values.assign(in.Here(), in.Here() + total);
    return true;
  }
  values.clear();
  values.reserve(total);
  while (values.size() < total) {
    const std::uint8_t packet = in.U8();
    const std::size_t count = std::min<std::size_t>((packet & 0x7F) + 1u, (total - values.size()) / bytes);
    const std::size_t stored = packet & 0x80 ? bytes : count * bytes;
    if (in.Failed() || stored > in.Remaining()) return Fail(error, "truncated run-length data");
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint8_t* from = packet & 0x80 ? in.Here() : in.Here() + i * bytes;
      values.insert(values.end(), from, from + bytes);
    }
    in.Skip(stored);
  }
  return true;
}

}  // namespace

bool DecodeTga(std::span<const std::uint8_t> data, Image& image, std::string& error) {
  ByteReader in(data);
  TgaHeader h;
  std::vector<std::uint8_t> map, values;
  if (!ReadHeader(in, h, error) || !ReadColourMap(in, h, map, error) ||
      !AllocateImage(image, h.width, h.height, 1, error) || !ReadValues(in, h, values, error)) {
    return false;
  }
  const bool mapped = h.type == kMapped || h.type == kRleMapped;
  const bool alphaBits = (h.descriptor & 0x0F) != 0;
  const bool topDown = (h.descriptor & 0x20) != 0;
  const bool rightToLeft = (h.descriptor & 0x10) != 0;
  const std::uint32_t bytes = BytesOf(h.pixelBits);
  for (std::uint32_t y = 0; y < h.height; ++y) {
    const std::uint32_t row = topDown ? y : h.height - 1u - y;
    for (std::uint32_t x = 0; x < h.width; ++x) {
      const std::uint32_t column = rightToLeft ? h.width - 1u - x : x;
      const std::uint8_t* value = &values[(std::size_t(row) * h.width + column) * bytes];
      std::uint8_t* out = &image.pixels[(std::size_t(y) * h.width + x) * 4];
      if (mapped) {
        std::copy_n(&map[value[0] * 4u], 4, out);
      } else {
        StoreValue(out, value, h.pixelBits, alphaBits);
      }
    }
  }
  return true;
}

}  // namespace tge::image

// Decoder of flexible vertex-format codes: which elements a vertex holds, at
// which byte offsets, and its size. Every vertex layout of the device comes
// from here, so the size the engine computes and the layout the back-end
// reads can never disagree.
#pragma once
#include <array>
#include <cstdint>

namespace tge::gfx {

enum VertexFormatBits : std::uint32_t {
  kFvfXyz = 0x002,
  kFvfXyzRhw = 0x004,
  kFvfXyzB1 = 0x006,
  kFvfXyzB5 = 0x00E,
  kFvfXyzW = 0x4002,
  kFvfPositionMask = 0x400E,
  kFvfNormal = 0x010,
  kFvfPointSize = 0x020,
  kFvfDiffuse = 0x040,
  kFvfSpecular = 0x080,
  kFvfTexCountMask = 0xF00,
  kFvfTexCountShift = 8,
  kFvfLastBetaUByte4 = 0x1000,
  kFvfLastBetaColor = 0x8000,
};

constexpr std::uint32_t kMaxTexCoordSets = 8;

// Bits 16 + 2i give the float count of set i: 0 -> 2, 1 -> 3, 2 -> 4, 3 -> 1.
constexpr std::uint32_t TexCoordSize(std::uint32_t set, std::uint32_t floats) {
  const std::uint32_t code = floats == 2 ? 0 : floats == 3 ? 1 : floats == 4 ? 2 : 3;
  return code << (16 + 2 * set);
}

// Offsets are in bytes from the start of a vertex; -1 marks an absent element.
struct VertexLayout {
  bool valid = false;
  bool pretransformed = false;   // x, y in pixels, z, and 1/w
  std::uint32_t positionFloats = 0;  // 3, or 4 with rhw or w
  std::uint32_t blendFloats = 0;     // weights after the position, skipped
  int position = -1;
  int normal = -1;
  int pointSize = -1;
  int diffuse = -1;
  int specular = -1;
  std::uint32_t texCoordSets = 0;
  std::array<int, kMaxTexCoordSets> texCoord{};
  std::array<std::uint32_t, kMaxTexCoordSets> texCoordFloats{};
  std::uint32_t size = 0;
};

// An invalid layout (valid false, size 0) for codes without a position or
// with bits the decoder does not know.
VertexLayout DecodeVertexFormat(std::uint32_t format);

// 0 for a code DecodeVertexFormat rejects.
std::uint32_t VertexSize(std::uint32_t format);

}  // namespace tge::gfx

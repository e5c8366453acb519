#include "platform/gfx/VertexFormat.h"

namespace tge::gfx {
namespace {

constexpr std::uint32_t kKnownBits =
    kFvfPositionMask | kFvfNormal | kFvfPointSize | kFvfDiffuse | kFvfSpecular |
    kFvfTexCountMask | kFvfLastBetaUByte4 | kFvfLastBetaColor | 0xFFFF0000u;

// Position floats and blend weights by the three position bits (0x00E).
struct PositionKind {
  std::uint32_t floats;
  std::uint32_t blendFloats;
};

PositionKind PositionOf(std::uint32_t format) {
  if ((format & kFvfPositionMask) == kFvfXyzW) return {4, 0};
  switch (format & 0x00E) {
    case kFvfXyz: return {3, 0};
    case kFvfXyzRhw: return {4, 0};
    case kFvfXyzB1: case 0x008: case 0x00A: case 0x00C: case kFvfXyzB5:
      return {3, ((format & 0x00E) - kFvfXyzB1) / 2 + 1};
    default: return {0, 0};
  }
}

constexpr std::uint32_t kFloatsBySizeCode[4] = {2, 3, 4, 1};

}  // namespace

VertexLayout DecodeVertexFormat(std::uint32_t format) {
  VertexLayout layout;
  const PositionKind position = PositionOf(format);
  const std::uint32_t texSets = (format & kFvfTexCountMask) >> kFvfTexCountShift;
  if (position.floats == 0 || (format & ~kKnownBits) != 0 || texSets > kMaxTexCoordSets) {
    return layout;
  }
  layout.pretransformed = (format & kFvfPositionMask) == kFvfXyzRhw;
  layout.positionFloats = position.floats;
  layout.blendFloats = position.blendFloats;
  int offset = 0;
  auto place = [&offset](int& field, int bytes) {
    field = offset;
    offset += bytes;
  };
  place(layout.position, int(4 * (position.floats + position.blendFloats)));
  if (format & kFvfNormal) place(layout.normal, 12);
  if (format & kFvfPointSize) place(layout.pointSize, 4);
  if (format & kFvfDiffuse) place(layout.diffuse, 4);
  if (format & kFvfSpecular) place(layout.specular, 4);
  layout.texCoord.fill(-1);
  layout.texCoordSets = texSets;
  for (std::uint32_t set = 0; set < texSets; ++set) {
    layout.texCoordFloats[set] = kFloatsBySizeCode[(format >> (16 + 2 * set)) & 3];
    place(layout.texCoord[set], int(4 * layout.texCoordFloats[set]));
  }
  layout.size = std::uint32_t(offset);
  layout.valid = true;
  return layout;
}

std::uint32_t VertexSize(std::uint32_t format) { return DecodeVertexFormat(format).size; }

}  // namespace tge::gfx

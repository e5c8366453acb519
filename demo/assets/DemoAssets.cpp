#include "demo/assets/DemoAssets.h"

#include <cmath>

#include "core/files/ByteAppend.h"
#include "platform/gfx/VertexFormat.h"

namespace tge {
namespace {

constexpr std::uint32_t kBoards = 4;
constexpr std::size_t kPlainFloats = 6;  // position and normal
constexpr std::size_t kCornersPerFace = 4;

void Put(std::vector<std::uint8_t>& bytes, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutTag(std::vector<std::uint8_t>& bytes, const char* tag) { AppendBytes(bytes, tag, 4); }

struct Rgb {
  std::uint8_t r, g, b;
};
constexpr Rgb kFrame{70, 42, 20};
constexpr Rgb kBoardLight{196, 142, 82};
constexpr Rgb kBoardDark{168, 114, 60};
constexpr Rgb kSeam{110, 70, 36};

Rgb CrateColour(std::uint32_t x, std::uint32_t y, std::uint32_t side) {
  const std::uint32_t frame = side / 8;
  if (x < frame || y < frame || x >= side - frame || y >= side - frame) return kFrame;
  // A diagonal brace from corner to corner.
  const std::uint32_t diagonal = x > y ? x - y : y - x;
  if (diagonal < frame / 2 + 1) return kFrame;
  const std::uint32_t board = (y - frame) * kBoards / (side - 2 * frame);
  const std::uint32_t boardTop = frame + board * (side - 2 * frame) / kBoards;
  if (y == boardTop) return kSeam;
  return board % 2 ? kBoardDark : kBoardLight;
}

}  // namespace

image::Image MakeCrateImage(std::uint32_t side) {
  image::Image image;
  image.width = image.height = side;
  image.pixels.reserve(image.FaceBytes());
  for (std::uint32_t y = 0; y < side; ++y) {
    for (std::uint32_t x = 0; x < side; ++x) {
      const Rgb c = CrateColour(x, y, side);
      image.pixels.insert(image.pixels.end(), {c.b, c.g, c.r, 255});
    }
  }
  return image;
}

// The built-in box's corners run through the four corners of each face in
// the same order, so corner k of a face takes (k & 1, k >> 1).
gfx::MeshData MakeTexturedBox(float size) {
  const gfx::MeshData box = gfx::CreateBoxMesh(size, size, size);
  gfx::MeshData textured = box;
  textured.vertexFormat = box.vertexFormat | (1u << gfx::kFvfTexCountShift);
  textured.vertexSize = gfx::VertexSize(textured.vertexFormat);
  textured.vertices.clear();
  for (std::uint32_t i = 0; i < box.vertexCount; ++i) {
    const float* from = box.vertices.data() + i * kPlainFloats;
    textured.vertices.insert(textured.vertices.end(), from, from + kPlainFloats);
    const std::uint32_t corner = i % kCornersPerFace;
    textured.vertices.push_back(float(corner & 1));
    textured.vertices.push_back(float(corner >> 1));
  }
  return textured;
}

std::vector<std::uint8_t> EncodePcmWave(std::span<const float> samples, std::uint32_t rate) {
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  std::vector<std::uint8_t> bytes;
  PutTag(bytes, "RIFF");
  Put(bytes, 4 + 8 + 16 + 8 + dataBytes, 4);
  PutTag(bytes, "WAVE");
  PutTag(bytes, "fmt ");
  Put(bytes, 16, 4);
  Put(bytes, 1, 2);  // PCM
  Put(bytes, 1, 2);  // mono
  Put(bytes, rate, 4);
  Put(bytes, rate * 2, 4);
  Put(bytes, 2, 2);
  Put(bytes, 16, 2);
  PutTag(bytes, "data");
  Put(bytes, dataBytes, 4);
  for (float sample : samples) {
    Put(bytes, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(sample * 32767.0f))), 2);
  }
  return bytes;
}

}  // namespace tge

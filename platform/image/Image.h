// Decoding of texture images from memory: BMP, TGA and DDS by our own
// readers, PNG through libpng and JPEG through libjpeg. Every reader checks
// the sizes and counts it reads against the bytes it has and against the
// image limits before it allocates, and reports bad input as an error text;
// none ends the process.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tge::image {

// Larger images are refused: a side beyond kMaxSide or more than kMaxPixels
// pixels over all faces.
constexpr std::uint32_t kMaxSide = 16384;
constexpr std::uint64_t kMaxPixels = 1ull << 26;

// Pixels are 4 bytes each in the order blue, green, red, alpha (a 32-bit
// 0xAARRGGBB value read little-endian), rows top first, faces one after the
// other (+X, -X, +Y, -Y, +Z, -Z for a cube map). Only the top mip level of
// a file is kept.
struct Image {
  std::uint32_t width = 0, height = 0;
  std::uint32_t faces = 1;
  std::vector<std::uint8_t> pixels;

  std::size_t FaceBytes() const { return std::size_t(width) * height * 4; }
};

enum class ImageFormat { kUnknown, kBmp, kTga, kDds, kPng, kJpeg };

// By the file's first bytes; TGA, which has no signature, when nothing else
// matches and the header is plausible.
ImageFormat DetectFormat(std::span<const std::uint8_t> data);

// On failure returns false, leaves image empty and sets error.
bool DecodeImage(std::span<const std::uint8_t> data, Image& image, std::string& error);

bool DecodeBmp(std::span<const std::uint8_t> data, Image& image, std::string& error);
bool DecodeTga(std::span<const std::uint8_t> data, Image& image, std::string& error);
bool DecodeDds(std::span<const std::uint8_t> data, Image& image, std::string& error);
bool DecodePng(std::span<const std::uint8_t> data, Image& image, std::string& error);
bool DecodeJpeg(std::span<const std::uint8_t> data, Image& image, std::string& error);

// Checks the size against the limits and sizes the pixel buffer; false with
// an error text when the image is too large or empty.
bool AllocateImage(Image& image, std::uint32_t width, std::uint32_t height, std::uint32_t faces,
                   std::string& error);

}  // namespace tge::image

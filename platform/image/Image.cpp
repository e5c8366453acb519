#include "platform/image/Image.h"

#include <cstring>

namespace tge::image {
namespace {

bool StartsWith(std::span<const std::uint8_t> data, const char* magic, std::size_t length) {
  return data.size() >= length && std::memcmp(data.data(), magic, length) == 0;
}

// A TGA header is plausible when its type is one we read and its sizes are
// not zero.
bool LooksLikeTga(std::span<const std::uint8_t> data) {
  if (data.size() < 18) return false;
  const std::uint8_t type = data[2];
  const bool knownType = type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11;
  return knownType && data[1] <= 1 && (data[12] | data[13]) != 0 && (data[14] | data[15]) != 0;
}

}  // namespace

ImageFormat DetectFormat(std::span<const std::uint8_t> data) {
  if (StartsWith(data, "BM", 2)) return ImageFormat::kBmp;
  if (StartsWith(data, "DDS ", 4)) return ImageFormat::kDds;
  if (StartsWith(data, "\x89PNG\r\n\x1a\n", 8)) return ImageFormat::kPng;
  if (StartsWith(data, "\xFF\xD8\xFF", 3)) return ImageFormat::kJpeg;
  if (LooksLikeTga(data)) return ImageFormat::kTga;
  return ImageFormat::kUnknown;
}

bool DecodeImage(std::span<const std::uint8_t> data, Image& image, std::string& error) {
  image = Image{};
  bool ok = false;
  switch (DetectFormat(data)) {
    case ImageFormat::kBmp: ok = DecodeBmp(data, image, error); break;
    case ImageFormat::kTga: ok = DecodeTga(data, image, error); break;
    case ImageFormat::kDds: ok = DecodeDds(data, image, error); break;
    case ImageFormat::kPng: ok = DecodePng(data, image, error); break;
    case ImageFormat::kJpeg: ok = DecodeJpeg(data, image, error); break;
    case ImageFormat::kUnknown: error = "IMAGE: unknown image format"; break;
  }
  if (!ok) image = Image{};
  return ok;
}

bool AllocateImage(Image& image, std::uint32_t width, std::uint32_t height, std::uint32_t faces,
                   std::string& error) {
  if (width == 0 || height == 0) {
    error = "IMAGE: empty image";
    return false;
  }
  if (width > kMaxSide || height > kMaxSide ||
      std::uint64_t(width) * height * faces > kMaxPixels) {
    error = "IMAGE: image of " + std::to_string(width) + " x " + std::to_string(height) +
            " is too large";
    return false;
  }
  image.width = width;
  image.height = height;
  image.faces = faces;
  image.pixels.assign(image.FaceBytes() * faces, 0);
  return true;
}

}  // namespace tge::image

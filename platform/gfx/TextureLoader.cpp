#include "platform/gfx/TextureLoader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tge::gfx {
namespace {

std::uint16_t Pack(const std::uint8_t* p, int rBits, int gBits, int bBits, int aBits) {
  auto channel = [](std::uint8_t value, int bits) { return std::uint32_t(value) >> (8 - bits); };
  std::uint32_t packed = channel(p[0], bBits);
  packed |= channel(p[1], gBits) << bBits;
  packed |= channel(p[2], rBits) << (bBits + gBits);
  if (aBits > 0) packed |= channel(p[3], aBits) << (bBits + gBits + rBits);
  return std::uint16_t(packed);
}

// One level's pixels into the storage format at bits (pitch = width x size).
void Store(const std::vector<std::uint8_t>& pixels, std::uint32_t storageFormat, void* bits) {
  const std::size_t count = pixels.size() / 4;
  if (BytesPerPixel(storageFormat) == 4) {
    std::memcpy(bits, pixels.data(), pixels.size());
    return;
  }
  auto* out = static_cast<std::uint16_t*>(bits);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* p = &pixels[i * 4];
    switch (storageFormat) {
      case kFormatR5G6B5: out[i] = Pack(p, 5, 6, 5, 0); break;
      case kFormatA4R4G4B4: out[i] = Pack(p, 4, 4, 4, 4); break;
      case kFormatA1R5G5B5: out[i] = Pack(p, 5, 5, 5, 1); break;
      default: out[i] = std::uint16_t(Pack(p, 5, 5, 5, 0) | 0x8000); break;
    }
  }
}

// Fills every level of one face, halving the scaled image for each next one.
Result FillFace(Texture& texture, std::uint32_t face, std::vector<std::uint8_t> level0,
                std::string& error) {
  TextureDesc desc, previous;
  texture.GetLevelDesc(0, &previous);
  std::vector<std::uint8_t> pixels = std::move(level0);
  for (std::uint32_t level = 0; level < texture.LevelCount(); ++level) {
    texture.GetLevelDesc(level, &desc);
    if (level > 0) {
      pixels = ResizeImage(pixels.data(), previous.width, previous.height, desc.width, desc.height);
    }
    LockedRect rect;
    if (texture.LockRect(level, 0, &rect, face) != Result::kOk) {
      error = "TEXTURE: cannot lock a level";
      return Result::kFailed;
    }
    Store(pixels, desc.format, rect.bits);
    texture.UnlockRect(level, face);
    previous = desc;
  }
  return Result::kOk;
}

Result Load(Device& device, std::span<const std::uint8_t> file, const TextureRequest& request,
            bool cube, std::unique_ptr<Texture>* out, std::string& error) {
  if (out == nullptr) return Result::kInvalidCall;
  out->reset();
  image::Image image;
  if (!image::DecodeImage(file, image, error)) return Result::kFailed;
  if (cube && image.faces != 6) {
    error = "TEXTURE: a cube texture needs an image with six faces";
    return Result::kFailed;
  }
  const std::uint32_t format = request.format == 0 ? kFormatA8R8G8B8 : request.format;
  const std::uint32_t height = request.height != 0 ? request.height : image.height;
  const std::uint32_t width = cube ? height : request.width != 0 ? request.width : image.width;
  const Result created =
      cube ? device.CreateCubeTexture(height, request.levels, request.usage, format, request.pool, out)
           : device.CreateTexture(width, height, request.levels, request.usage, format, request.pool, out);
  if (created != Result::kOk) {
    error = "TEXTURE: the device refused a texture of " + std::to_string(width) + " x " +
            std::to_string(height);
    return created;
  }
  for (std::uint32_t face = 0; face < (*out)->FaceCount(); ++face) {
    const std::uint8_t* source = image.pixels.data() + face * image.FaceBytes();
    if (FillFace(**out, face, ResizeImage(source, image.width, image.height, width, height), error) !=
        Result::kOk) {
      out->reset();
      return Result::kFailed;
    }
  }
  return Result::kOk;
}

}  // namespace

std::vector<std::uint8_t> ResizeImage(const std::uint8_t* pixels, std::uint32_t width,
                                      std::uint32_t height, std::uint32_t newWidth,
                                      std::uint32_t newHeight) {
  if (newWidth == width && newHeight == height) {
    return std::vector<std::uint8_t>(pixels, pixels + std::size_t(width) * height * 4);
  }
  std::vector<std::uint8_t> out(std::size_t(newWidth) * newHeight * 4);
  const float sx = float(width) / float(newWidth), sy = float(height) / float(newHeight);
  for (std::uint32_t y = 0; y < newHeight; ++y) {
    const float fy = std::clamp((float(y) + 0.5f) * sy - 0.5f, 0.0f, float(height - 1));
    const auto y0 = std::uint32_t(fy);
    const std::uint32_t y1 = std::min(y0 + 1, height - 1);
    const float ty = fy - float(y0);
    for (std::uint32_t x = 0; x < newWidth; ++x) {
      const float fx = std::clamp((float(x) + 0.5f) * sx - 0.5f, 0.0f, float(width - 1));
      const auto x0 = std::uint32_t(fx);
      const std::uint32_t x1 = std::min(x0 + 1, width - 1);
      const float tx = fx - float(x0);
      for (int c = 0; c < 4; ++c) {
        auto at = [&](std::uint32_t px, std::uint32_t py) {
          return float(pixels[(std::size_t(py) * width + px) * 4 + c]);
        };
        const float top = at(x0, y0) + (at(x1, y0) - at(x0, y0)) * tx;
        const float bottom = at(x0, y1) + (at(x1, y1) - at(x0, y1)) * tx;
        out[(std::size_t(y) * newWidth + x) * 4 + c] = std::uint8_t(std::lround(top + (bottom - top) * ty));
      }
    }
  }
  return out;
}

Result LoadTextureFromMemory(Device& device, std::span<const std::uint8_t> file,
                             const TextureRequest& request, std::unique_ptr<Texture>* out,
                             std::string& error) {
  return Load(device, file, request, false, out, error);
}

Result LoadCubeTextureFromMemory(Device& device, std::span<const std::uint8_t> file,
                                 const TextureRequest& request, std::unique_ptr<Texture>* out,
                                 std::string& error) {
  return Load(device, file, request, true, out, error);
}

}  // namespace tge::gfx

// Textures made from image files in memory, as the engine's texture reader
// needs them: decoded (BMP, TGA, DDS, PNG, JPEG), scaled to the asked size,
// given a mip chain built by halving, and stored in the asked format. A
// block-compressed format is honoured by keeping the pixels decompressed.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/gfx/Device.h"
#include "platform/image/Image.h"

namespace tge::gfx {

struct TextureRequest {
  std::uint32_t width = 0, height = 0;  // 0: the image's own size (a cube: height is the edge)
  std::uint32_t levels = 0;             // 0: a full chain
  std::uint32_t format = 0;             // 0: A8R8G8B8
  std::uint32_t usage = 0;
  std::uint32_t pool = kPoolManaged;
};

// A cube texture needs a file with six faces; a plain texture from a cube
// file takes its first face. On failure out is empty and error says why.
Result LoadTextureFromMemory(Device& device, std::span<const std::uint8_t> file,
                             const TextureRequest& request, std::unique_ptr<Texture>* out,
                             std::string& error);
Result LoadCubeTextureFromMemory(Device& device, std::span<const std::uint8_t> file,
                                 const TextureRequest& request, std::unique_ptr<Texture>* out,
                                 std::string& error);

// Bilinear resampling of one face of blue, green, red, alpha pixels.
std::vector<std::uint8_t> ResizeImage(const std::uint8_t* pixels, std::uint32_t width,
                                      std::uint32_t height, std::uint32_t newWidth,
                                      std::uint32_t newHeight);

}  // namespace tge::gfx

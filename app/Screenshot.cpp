#include "app/Screenshot.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "platform/gfx/GlDevice.h"
#include "platform/image/BmpWriter.h"
#include "services/RenderDevice.h"

namespace tge {
namespace {

// The device keeps its back buffer with the top row first, as the image does.
image::Image ToImage(const std::vector<std::uint32_t>& pixels, std::uint32_t width, std::uint32_t height) {
  image::Image picture;
  picture.width = width;
  picture.height = height;
  picture.pixels.resize(picture.FaceBytes());
  std::memcpy(picture.pixels.data(), pixels.data(), std::min(picture.pixels.size(), pixels.size() * 4));
  return picture;
}

}  // namespace

bool WriteScreenshot(const std::string& path, std::string& error) {
  RenderDevice* device = GetRenderDevice();
  auto* gl = device != nullptr ? dynamic_cast<gfx::GlDevice*>(&device->Device()) : nullptr;
  if (gl == nullptr) {
    error = "no OpenGL device to read";
    return false;
  }
  const gfx::PresentParameters& parameters = gl->GetPresentParameters();
  const std::vector<std::uint32_t> pixels = gl->ReadPixels();
  const std::vector<std::uint8_t> bytes =
      image::EncodeBmp(ToImage(pixels, parameters.backBufferWidth, parameters.backBufferHeight));
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) error = "cannot write " + path;
  return static_cast<bool>(out);
}

}  // namespace tge

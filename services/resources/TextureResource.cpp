#include "services/resources/TextureResource.h"

#include <span>

#include "core/files/SerializeStream.h"
#include "services/ErrorMessage.h"
#include "services/RenderDevice.h"

namespace tge {
namespace {

constexpr std::uint8_t kFullColourBits = 32;
constexpr std::uint32_t kSmallDeviceStages = 2;

std::uint32_t ChooseFormat(const TextureResource& texture, const RenderDevice& device) {
  if (texture.storageMode == kTextureKeepFileFormat) return gfx::kFormatA8R8G8B8;
  if (texture.bitDepth == kFullColourBits) return device.SupportsDxt3() ? gfx::kFormatDxt3 : gfx::kFormatA4R4G4B4;
  return device.SupportsDxt1() ? gfx::kFormatDxt1 : gfx::kFormatR5G6B5;
}

}  // namespace

gfx::TextureRequest ChooseTextureRequest(const TextureResource& texture, const RenderDevice& device) {
  gfx::TextureRequest request;
  request.format = ChooseFormat(texture, device);
  request.levels = texture.mipLevels;
  const bool compressed =
      texture.storageMode != kTextureKeepFileFormat && texture.storageMode != kTextureCompressFullSize;
  if (compressed && device.GetCaps().maxSimultaneousTextures <= kSmallDeviceStages) {
    request.width = texture.width / 2u;
    request.height = texture.height / 2u;
  }
  return request;
}

int TextureResource::Load() {
  if (texture_ || GetFileName().empty()) return 1;
  return ReadTextureFile(GetDataPath());
}

int TextureResource::Unload() {
  texture_.reset();
  return 1;
}

int TextureResource::ReadTextureFile(const std::string& path) {
  RenderDevice* device = GetRenderDevice();
  if (!device) return FormatErrorMessage("Texture %s: no render device is open", path.c_str());
  SerializeStream stream;
  if (!stream.OpenAndLoad(path)) return FormatErrorMessage("Error Opening File: %s", path.c_str());
  const std::span<const std::uint8_t> file(stream.GetBuffer(), std::size_t(stream.GetSize()));
  const gfx::TextureRequest request = ChooseTextureRequest(*this, *device);
  std::string error;
  const gfx::Result result =
      kind == kCubeMap ? gfx::LoadCubeTextureFromMemory(device->Device(), file, request, &texture_, error)
                       : gfx::LoadTextureFromMemory(device->Device(), file, request, &texture_, error);
  if (!gfx::Succeeded(result)) return FormatErrorMessage("Texture %s: %s", path.c_str(), error.c_str());
  return 1;
}

bool TextureResource::SerializeFields(SerializeStream& stream, const ResourceDatabase&) {
  stream.SerializeWords(&width, 1);
  stream.SerializeWords(&height, 1);
  stream.SerializeBytes(&bitDepth, 1);
  stream.SerializeBytes(&kind, 1);
  stream.SerializeBytes(&mipLevels, 1);
  stream.SerializeBytes(&storageMode, 1);
  return true;
}

void GetTextureInfo(Resource* texture, int* width, int* height, int* bitDepth, int* kind) {
  const auto* t = ResourceCast<TextureResource>(texture);
  if (width) *width = t ? t->width : 0;
  if (height) *height = t ? t->height : 0;
  if (bitDepth) *bitDepth = t ? t->bitDepth : 0;
  if (kind) *kind = t ? t->kind : 0;
}

}  // namespace tge

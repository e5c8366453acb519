// A texture read from an image file onto the render device, with the
// settings the library stores for it: its size, bit depth, kind (2: a cube
// map), mip levels and storage mode. Textures load lazily: a material loads
// its layers when it is first applied.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/gfx/Resources.h"
#include "platform/gfx/TextureLoader.h"
#include "services/resources/Resource.h"

namespace tge {

class RenderDevice;

enum TextureStorageMode : std::uint8_t {
  // Any other mode compresses and, on devices binding at most two textures
  // at once, halves the stored size.
  kTextureCompressFullSize = 3,
  kTextureKeepFileFormat = 4,
};

class TextureResource : public Resource {
 public:
  static constexpr int kType = kTextureResource;
  static constexpr std::uint8_t kCubeMap = 2;

  TextureResource() : Resource(kType) {}

  // 1 at once when the texture exists or there is no file to read; else the
  // file is read onto the running render device (0, with the reason in the
  // last-error text, when it cannot be).
  int Load() override;
  int Unload() override;
  int ReadTextureFile(const std::string& path);

  gfx::Texture* GetTexture() const { return texture_.get(); }

  std::uint16_t width = 0, height = 0;
  std::uint8_t bitDepth = 0;
  std::uint8_t kind = 0;
  std::uint8_t mipLevels = 0;
  std::uint8_t storageMode = 1;

 protected:
  bool SerializeFields(SerializeStream& stream, const ResourceDatabase& database) override;

  std::unique_ptr<gfx::Texture> texture_;
};

// What the reader asks of the image loader for this texture on this device:
// the file's own format or a compressed one (16-bit where the device lacks
// it), at the file's size or, on small devices, half the stored size.
gfx::TextureRequest ChooseTextureRequest(const TextureResource& texture, const RenderDevice& device);

// Any out-parameter may be null; zeros for a null resource or another type.
void GetTextureInfo(Resource* texture, int* width, int* height, int* bitDepth, int* kind);

}  // namespace tge

// Textures the engine makes itself rather than reads from a file: blank
// textures and render targets (the projected shadows draw into these). A
// render target lives in the device's default pool, so a device reset
// releases it and makes it again with the same width, height, format and
// usage.
#pragma once
#include <cstdint>

#include "services/RenderDevice.h"
#include "services/resources/ResourceRef.h"
#include "services/resources/TextureResource.h"

namespace tge {

class ResourceDatabase;

class EmptyTexture : public TextureResource, public DefaultPoolUser {
 public:
  EmptyTexture(std::uint32_t format, bool renderTarget);
  ~EmptyTexture() override;

  // Makes the texture on the running device; 0 with "D3DXCreateTexture" in
  // the last-error text when the device refuses it.
  int Create(gfx::Device& device);
  // Makes the texture again after an unload.
  int Load() override;

  bool IsRenderTarget() const { return renderTarget_; }
  std::uint32_t GetFormat() const { return format_; }

  void ReleaseDefaultPool() override { texture_.reset(); }
  void RestoreDefaultPool(gfx::Device& device) override { Create(device); }

 private:
  std::uint32_t format_;
  bool renderTarget_;
};

// A new unregistered texture of one level, owned by the handles: a render
// target in the default pool, else a managed texture. Null when render
// targets are not allowed or the device refuses it.
ResourceRef CreateEmptyTexture(ResourceDatabase& database, RenderDevice& device, std::uint32_t width,
                               std::uint32_t height, std::uint32_t format, bool renderTarget);

}  // namespace tge

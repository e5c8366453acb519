#include "services/render/EmptyTexture.h"

#include <limits>

#include "services/ErrorMessage.h"
#include "services/ResourceDatabase.h"

namespace tge {

EmptyTexture::EmptyTexture(std::uint32_t format, bool renderTarget) : format_(format), renderTarget_(renderTarget) {
  mipLevels = 1;
}

EmptyTexture::~EmptyTexture() {
  if (RenderDevice* device = GetRenderDevice()) device->RemoveDefaultPoolUser(this);
}

int EmptyTexture::Create(gfx::Device& device) {
  texture_.reset();
  const std::uint32_t usage = renderTarget_ ? std::uint32_t{gfx::kUsageRenderTarget} : 0;
  const std::uint32_t pool = renderTarget_ ? gfx::kPoolDefault : gfx::kPoolManaged;
  if (!gfx::Succeeded(device.CreateTexture(width, height, 1, usage, format_, pool, &texture_))) {
    return FormatErrorMessage("D3DXCreateTexture");
  }
  return 1;
}

int EmptyTexture::Load() {
  RenderDevice* device = GetRenderDevice();
  if (texture_ || !device) return texture_ ? 1 : 0;
  return Create(device->Device());
}

ResourceRef CreateEmptyTexture(ResourceDatabase& database, RenderDevice& device, std::uint32_t width,
                               std::uint32_t height, std::uint32_t format, bool renderTarget) {
  constexpr std::uint32_t kMaxSide = std::numeric_limits<std::uint16_t>::max();
  if (renderTarget && !device.AllowsRenderTargets()) return {};
  if (width > kMaxSide || height > kMaxSide) {
    FormatErrorMessage("D3DXCreateTexture");
    return {};
  }
  auto texture = std::make_unique<EmptyTexture>(format, renderTarget);
  texture->width = std::uint16_t(width);
  texture->height = std::uint16_t(height);
  if (!texture->Create(device.Device())) return {};
  if (renderTarget) device.AddDefaultPoolUser(texture.get());
  return database.AdoptResource(std::move(texture));
}

}  // namespace tge

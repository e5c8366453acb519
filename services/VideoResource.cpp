#include "services/VideoResource.h"

#include <limits>
#include <utility>

#include "core/files/SerializeStream.h"
#include "core/files/StdioFileSystem.h"
#include "platform/video/VideoPlayer.h"
#include "services/EmptyTexture.h"
#include "services/EngineServices.h"
#include "services/ErrorMessage.h"
#include "services/MaterialResource.h"
#include "services/RenderDevice.h"
#include "services/VideoTextures.h"

namespace tge {
namespace {

constexpr int kMaxSide = std::numeric_limits<std::uint16_t>::max();

std::shared_ptr<const video::PlaybackClock> VideoClock() {
  EngineServices* services = GetEngineServices();
  return services ? services->GetVideoTextures().GetClock() : video::RealTimeClock();
}

}  // namespace

VideoResource::VideoResource() : Resource(kType) {}

VideoResource::~VideoResource() { Unload(); }

int VideoResource::Load() {
  if (player_) return 1;
  auto* target = ResourceCast<MaterialResource>(material);
  if (!target || target->textures.empty()) {
    return FormatErrorMessage("Video %s: its material has no texture entry", GetName().c_str());
  }
  RenderDevice* device = GetRenderDevice();
  if (!device) return FormatErrorMessage("Video %s: no render device is open", GetName().c_str());
  std::string error;
  std::unique_ptr<video::MediaFile> file = video::MediaFile::Open(ResolveDiskPath(GetDataPath(), false), false, error);
  if (!file) return FormatErrorMessage("Render File");
  const video::MediaInfo& info = file->Info();
  // Such a picture would have no texture to go to.
  if (info.width <= 0 || info.height <= 0 || info.width > kMaxSide || info.height > kMaxSide) {
    return FormatErrorMessage("Video %s: unusable picture size %d x %d", GetName().c_str(), info.width, info.height);
  }
  auto texture = std::make_unique<EmptyTexture>(gfx::kFormatA8R8G8B8, false);
  texture->width = std::uint16_t(info.width);
  texture->height = std::uint16_t(info.height);
  if (!texture->Create(device->Device())) return 0;
  length = float(info.duration);
  player_ = std::make_unique<video::VideoPlayer>(std::move(file), VideoClock(), true);
  texture_ = std::move(texture);
  replacedEntry_ = std::exchange(target->textures[0], texture_.get());
  if (EngineServices* services = GetEngineServices()) services->GetVideoTextures().Add(this);
  return 1;
}

int VideoResource::Unload() {
  if (!player_) return 1;
  if (EngineServices* services = GetEngineServices()) services->GetVideoTextures().Remove(this);
  player_.reset();
  auto* target = ResourceCast<MaterialResource>(material);
  if (target && !target->textures.empty() && target->textures[0] == texture_.get()) {
    target->textures[0] = replacedEntry_;
  }
  replacedEntry_ = nullptr;
  texture_.reset();
  frame_ = {};
  return 1;
}

void VideoResource::UploadFrame() {
  gfx::Texture* texture = texture_ ? texture_->GetTexture() : nullptr;
  if (texture && player_->TakeFrame(frame_)) UploadVideoFrame(frame_, *texture);
}

Resource* VideoResource::GetVideoTexture() const { return texture_.get(); }

bool VideoResource::SerializeFields(SerializeStream& stream, const ResourceDatabase& database) {
  stream.SerializeDword(&length);
  SerializeResourceName(stream, database, material, kMaterialResource);
  return true;
}

}  // namespace tge

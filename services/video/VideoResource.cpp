#include "services/video/VideoResource.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "core/files/SerializeStream.h"
#include "core/files/StdioFileSystem.h"
#include "platform/video/VideoPlayer.h"
#include "services/ErrorMessage.h"
#include "services/RenderDevice.h"
#include "services/ResourceDatabase.h"
#include "services/render/EmptyTexture.h"
#include "services/resources/MaterialResource.h"

namespace tge {
namespace {

constexpr int kMaxSide = std::numeric_limits<std::uint16_t>::max();

}  // namespace

VideoResource::VideoResource() : Resource(kType) {}

VideoResource::~VideoResource() { Unload(); }

// Two videos in one entry would each give the other's texture back, so an
// entry another video plays into is refused too.
int VideoResource::CheckMaterial(const VideoTextures& playing) const {
  auto* target = ResourceCast<MaterialResource>(material);
  if (!target || target->textures.empty()) {
    return FormatErrorMessage("Video %s: its material has no texture entry", GetName().c_str());
  }
  const VideoResource* other = target->textures[0] ? playing.FindPlayingInto(target->textures[0]) : nullptr;
  if (other) {
    return FormatErrorMessage("Video %s: its material shows video %s already", GetName().c_str(),
                              other->GetName().c_str());
  }
  return 1;
}

// A picture without a size would have no texture to go to.
std::unique_ptr<video::MediaFile> VideoResource::OpenFile() const {
  std::string error;
  std::unique_ptr<video::MediaFile> file = video::MediaFile::Open(ResolveDiskPath(GetDataPath(), false), false, error);
  if (!file) {
    FormatErrorMessage("Render File");
    return nullptr;
  }
  const video::MediaInfo& info = file->Info();
  if (info.width <= 0 || info.height <= 0 || info.width > kMaxSide || info.height > kMaxSide) {
    FormatErrorMessage("Video %s: unusable picture size %d x %d", GetName().c_str(), info.width, info.height);
    return nullptr;
  }
  return file;
}

int VideoResource::Load() {
  if (player_) return 1;
  RenderDevice* device = GetRenderDevice();
  if (!device) return FormatErrorMessage("Video %s: no render device is open", GetName().c_str());
  if (!GetDatabase()) return FormatErrorMessage("Video %s: not in a resource database", GetName().c_str());
  VideoTextures& playing = GetDatabase()->GetVideoTextures();
  if (!CheckMaterial(playing)) return 0;
  std::unique_ptr<video::MediaFile> file = OpenFile();
  if (!file) return 0;
  auto texture = std::make_unique<EmptyTexture>(gfx::kFormatA8R8G8B8, false);
  texture->width = std::uint16_t(file->Info().width);
  texture->height = std::uint16_t(file->Info().height);
  if (!texture->Create(device->Device())) return 0;
  // A file that gives no duration keeps the library's figure.
  if (file->Info().duration > 0) length = float(file->Info().duration);
  player_ = std::make_unique<video::VideoPlayer>(std::move(file), playing.GetClock(), true);
  texture_ = std::move(texture);
  auto* target = static_cast<MaterialResource*>(material);
  replacedEntry_ = std::exchange(target->textures[0], texture_.get());
  playing.Add(this);
  return 1;
}

int VideoResource::Unload() {
  if (!player_) return 1;
  GetDatabase()->GetVideoTextures().Remove(this);
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

bool UploadVideoFrame(const video::VideoFrame& frame, gfx::Texture& texture) {
  gfx::TextureDesc desc;
  gfx::LockedRect locked;
  if (!gfx::Succeeded(texture.GetLevelDesc(0, &desc)) ||
      !gfx::Succeeded(texture.LockRect(0, gfx::kLockDiscard | gfx::kLockNoDirtyUpdate, &locked))) {
    return false;
  }
  const std::size_t sourcePitch = std::size_t(frame.width) * 4;
  const std::size_t rowBytes = std::min<std::size_t>(sourcePitch, std::size_t(desc.width) * 4);
  const std::size_t rows = std::min<std::size_t>(std::size_t(frame.height), desc.height);
  for (std::size_t y = 0; y < rows; ++y) {
    std::memcpy(static_cast<std::uint8_t*>(locked.bits) + y * locked.pitch, frame.bgra.data() + y * sourcePitch,
                rowBytes);
  }
  texture.UnlockRect(0);
  return true;
}

}  // namespace tge

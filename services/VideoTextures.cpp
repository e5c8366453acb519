#include "services/VideoTextures.h"

#include <algorithm>
#include <cstring>

#include "platform/gfx/States.h"
#include "services/VideoResource.h"

namespace tge {

VideoTextures::VideoTextures() : clock_(video::RealTimeClock()) {}

void VideoTextures::SetClock(std::shared_ptr<const video::PlaybackClock> clock) {
  clock_ = clock ? std::move(clock) : video::RealTimeClock();
}

void VideoTextures::Add(VideoResource* video) {
  if (std::find(playing_.begin(), playing_.end(), video) == playing_.end()) playing_.push_back(video);
}

void VideoTextures::Remove(VideoResource* video) { std::erase(playing_, video); }

void VideoTextures::UploadFrames() {
  for (VideoResource* video : playing_) video->UploadFrame();
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

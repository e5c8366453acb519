#include "services/video/VideoTextures.h"

#include <algorithm>

#include "services/video/VideoResource.h"

namespace tge {

VideoTextures::VideoTextures() : clock_(video::RealTimeClock()) {}

void VideoTextures::SetClock(std::shared_ptr<const video::PlaybackClock> clock) {
  clock_ = clock ? std::move(clock) : video::RealTimeClock();
}

void VideoTextures::Add(VideoResource* video) {
  if (std::find(playing_.begin(), playing_.end(), video) == playing_.end()) playing_.push_back(video);
}

void VideoTextures::Remove(VideoResource* video) { std::erase(playing_, video); }

const VideoResource* VideoTextures::FindPlayingInto(const Resource* texture) const {
  const auto it = std::find_if(playing_.begin(), playing_.end(),
                               [texture](const VideoResource* video) { return video->GetVideoTexture() == texture; });
  return it != playing_.end() ? *it : nullptr;
}

void VideoTextures::UploadFrames() {
  for (VideoResource* video : playing_) video->UploadFrame();
}

}  // namespace tge

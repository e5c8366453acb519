// The videos of one resource database that play into textures, and the
// clock that paces them (real time unless a test steps its own). The
// services object uploads every playing video's newest picture once per
// frame. Main thread only.
#pragma once
#include <memory>
#include <vector>

#include "platform/video/PlaybackClock.h"

namespace tge {

class Resource;
class VideoResource;

class VideoTextures {
 public:
  VideoTextures();

  const std::shared_ptr<const video::PlaybackClock>& GetClock() const { return clock_; }
  // Videos loaded afterwards play by this clock; null restores real time.
  void SetClock(std::shared_ptr<const video::PlaybackClock> clock);

  void Add(VideoResource* video);
  void Remove(VideoResource* video);
  std::size_t GetPlayingCount() const { return playing_.size(); }
  // The playing video whose texture this is; null when none.
  const VideoResource* FindPlayingInto(const Resource* texture) const;
  void UploadFrames();

 private:
  std::shared_ptr<const video::PlaybackClock> clock_;
  std::vector<VideoResource*> playing_;
};

}  // namespace tge

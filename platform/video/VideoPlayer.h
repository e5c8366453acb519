// Plays a movie file on a thread of its own, paced by a playback clock: the
// thread decodes one picture ahead and, once a picture is due, leaves it in
// a one-picture slot, replacing any the consumer has not taken (so memory
// stays bounded however far the clock jumps). The consumer, usually the main
// thread that owns the graphics device, takes the newest picture when it
// draws. A looping player starts over after the last picture; audio, when
// the file was opened with it, is collected for the consumer to queue.
//
// Destroying the player stops the thread and waits for it.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/video/MediaFile.h"
#include "platform/video/PlaybackClock.h"

namespace tge::video {

class VideoPlayer {
 public:
  // Playback time 0 is the clock's time now.
  VideoPlayer(std::unique_ptr<MediaFile> file, std::shared_ptr<const PlaybackClock> clock, bool loop);
  ~VideoPlayer();
  VideoPlayer(const VideoPlayer&) = delete;
  VideoPlayer& operator=(const VideoPlayer&) = delete;

  const MediaInfo& Info() const { return info_; }
  // Swaps the newest due picture into `frame` (its old buffer is reused);
  // false when none came since the last take.
  bool TakeFrame(VideoFrame& frame);
  // Appends the audio decoded so far and empties the store.
  void TakeAudio(std::vector<std::uint8_t>& out);
  // The last picture has been taken and no more will come (never for a
  // looping player of a file that plays).
  bool Ended() const;

 private:
  void Run();
  // Decodes the next picture into pending_, starting over when looping;
  // false at the end.
  bool DecodeNext();
  // False when stopped before the time came.
  bool WaitUntil(double due);
  void Deliver();

  const MediaInfo info_;
  const std::shared_ptr<const PlaybackClock> clock_;
  const bool loop_;
  const double start_;
  std::unique_ptr<MediaFile> file_;  // the thread's alone once it runs
  VideoFrame pending_;
  double loopOffset_ = 0;
  double passEnd_ = 0;
  bool passHadFrames_ = false;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  bool decodingDone_ = false;
  bool slotFull_ = false;
  VideoFrame slot_;
  std::vector<std::uint8_t> audio_;
  std::thread thread_;
};

}  // namespace tge::video

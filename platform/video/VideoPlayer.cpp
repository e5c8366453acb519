#include "platform/video/VideoPlayer.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace tge::video {
namespace {

// How soon a clock stepped by hand is noticed while a picture waits.
constexpr double kClockPollSeconds = 0.005;

}  // namespace

VideoPlayer::VideoPlayer(std::unique_ptr<MediaFile> file, std::shared_ptr<const PlaybackClock> clock, bool loop)
    : info_(file->Info()), clock_(std::move(clock)), loop_(loop), start_(clock_->Now()), file_(std::move(file)) {
  thread_ = std::thread(&VideoPlayer::Run, this);
}

VideoPlayer::~VideoPlayer() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void VideoPlayer::Run() {
  while (DecodeNext()) {
    if (!WaitUntil(start_ + loopOffset_ + pending_.time)) return;
    Deliver();
  }
  std::lock_guard lock(mutex_);
  decodingDone_ = true;
}

bool VideoPlayer::DecodeNext() {
  std::vector<std::uint8_t> sound;
  bool got = file_->NextFrame(pending_);
  // A pass that gave no picture at all would only start over for ever.
  if (!got && loop_ && passHadFrames_ && file_->Rewind()) {
    loopOffset_ += passEnd_;
    passEnd_ = 0;
    passHadFrames_ = false;
    got = file_->NextFrame(pending_);
  }
  file_->TakeAudio(sound);
  if (got) {
    passHadFrames_ = true;
    passEnd_ = std::max(passEnd_, pending_.time + info_.frameInterval);
  }
  std::lock_guard lock(mutex_);
  audio_.insert(audio_.end(), sound.begin(), sound.end());
  return got && !stop_;
}

bool VideoPlayer::WaitUntil(double due) {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (stop_) return false;
    const double left = due - clock_->Now();
    if (left <= 0) return true;
    wake_.wait_for(lock, std::chrono::duration<double>(std::min(left, kClockPollSeconds)));
  }
}

void VideoPlayer::Deliver() {
  std::lock_guard lock(mutex_);
  std::swap(slot_, pending_);
  slotFull_ = true;
}

bool VideoPlayer::TakeFrame(VideoFrame& frame) {
  std::lock_guard lock(mutex_);
  if (!slotFull_) return false;
  std::swap(frame, slot_);
  slotFull_ = false;
  return true;
}

void VideoPlayer::TakeAudio(std::vector<std::uint8_t>& out) {
  std::lock_guard lock(mutex_);
  out.insert(out.end(), audio_.begin(), audio_.end());
  audio_.clear();
}

bool VideoPlayer::Ended() const {
  std::lock_guard lock(mutex_);
  return decodingDone_ && !slotFull_;
}

}  // namespace tge::video

#include "platform/audio/StreamVoice.h"

#include <AL/al.h>

#include <algorithm>

#include "platform/audio/AudioContext.h"
#include "platform/audio/OpenAlFormat.h"

namespace tge::audio {

StreamVoice::StreamVoice(std::shared_ptr<AudioContext> context, const PcmFormat& format,
                         VoiceMode mode, std::size_t bufferCount)
    : Voice(std::move(context), mode, format.channels, format.sampleRate), format_(format) {
  auto lock = Lock();
  if (!HasSource()) return;
  std::vector<ALuint> ids(bufferCount);
  alGetError();
  alGenBuffers(static_cast<ALsizei>(ids.size()), ids.data());
  if (alGetError() != AL_NO_ERROR) return;
  buffers_.assign(ids.begin(), ids.end());
  bufferFrames_.assign(buffers_.size(), 0);
  free_ = buffers_;
}

StreamVoice::~StreamVoice() {
  auto lock = Lock();
  if (!HasSource()) return;
  DetachBuffers();
  alDeleteBuffers(static_cast<ALsizei>(buffers_.size()), buffers_.data());
}

void StreamVoice::ReclaimProcessed() {
  ALint processed = 0;
  alGetSourcei(Source(), AL_BUFFERS_PROCESSED, &processed);
  for (; processed > 0; --processed) {
    ALuint buffer = 0;
    alSourceUnqueueBuffers(Source(), 1, &buffer);
    playedFrames_ += FramesIn(buffer);
    free_.push_back(buffer);
  }
}

std::uint32_t& StreamVoice::FramesIn(unsigned buffer) {
  const auto at = std::find(buffers_.begin(), buffers_.end(), buffer);
  return bufferFrames_[static_cast<std::size_t>(at - buffers_.begin())];
}

std::size_t StreamVoice::FreeBuffers() {
  auto lock = Lock();
  if (!HasSource()) return 0;
  ReclaimProcessed();
  return free_.size();
}

bool StreamVoice::Queue(std::span<const std::uint8_t> pcm) {
  auto lock = Lock();
  const std::uint32_t frame = format_.FrameBytes();
  if (!HasSource() || frame == 0 || pcm.empty() || pcm.size() % frame != 0) return false;
  // Stopped while meant to play: the queue ran dry before this piece came.
  if (playing_ && SourceState() == AL_STOPPED) {
    ++starvations_;
    ClearQueue();
  }
  ReclaimProcessed();
  if (free_.empty()) return false;
  const ALuint buffer = free_.back();
  alGetError();
  alBufferData(buffer, OpenAlFormat(format_), pcm.data(), static_cast<ALsizei>(pcm.size()),
               static_cast<ALsizei>(format_.sampleRate));
  if (alGetError() != AL_NO_ERROR) return false;
  free_.pop_back();
  FramesIn(buffer) = static_cast<std::uint32_t>(pcm.size() / frame);
  alSourceQueueBuffers(Source(), 1, &buffer);
  if (playing_) Resume();
  return true;
}

std::size_t StreamVoice::QueuedBuffers() const {
  auto lock = Lock();
  if (!HasSource()) return 0;
  ALint queued = 0;
  ALint processed = 0;
  alGetSourcei(Source(), AL_BUFFERS_QUEUED, &queued);
  alGetSourcei(Source(), AL_BUFFERS_PROCESSED, &processed);
  return static_cast<std::size_t>(queued - processed);
}

int StreamVoice::SourceState() const {
  ALint state = AL_INITIAL;
  alGetSourcei(Source(), AL_SOURCE_STATE, &state);
  return state;
}

void StreamVoice::Resume() {
  if (SourceState() != AL_PLAYING) alSourcePlay(Source());
}

void StreamVoice::ClearQueue() {
  // What played out before the rewind is counted; the rewind marks the rest
  // as processed too.
  ReclaimProcessed();
  alSourceRewind(Source());
  alSourcei(Source(), AL_BUFFER, 0);
  free_ = buffers_;
}

void StreamVoice::Play() {
  auto lock = Lock();
  if (!HasSource()) return;
  // A stopped source has played all it held; playing it again would replay it.
  if (SourceState() == AL_STOPPED) ClearQueue();
  ReclaimProcessed();
  playing_ = true;
  if (free_.size() < buffers_.size()) Resume();
}

void StreamVoice::Pause() {
  auto lock = Lock();
  playing_ = false;
  if (!HasSource()) return;
  // A source that ran dry has played all it held; rewound, it keeps what is
  // queued while paused for the next Play.
  if (SourceState() == AL_STOPPED) {
    ClearQueue();
  } else {
    alSourcePause(Source());
  }
}

void StreamVoice::Stop() {
  auto lock = Lock();
  playing_ = false;
  if (HasSource()) ClearQueue();
}

bool StreamVoice::IsPlaying() const {
  auto lock = Lock();
  return playing_;
}

std::uint32_t StreamVoice::Starvations() const {
  auto lock = Lock();
  return starvations_;
}

std::uint64_t StreamVoice::PlayedFrames() const {
  auto lock = Lock();
  return playedFrames_;
}

}  // namespace tge::audio

// A voice fed piece by piece through a queue of OpenAL buffers (two by
// default: while one plays, the other is refilled). The feeder, usually the
// streaming thread, asks FreeBuffers() how many pieces are wanted and hands
// each over with Queue(); the main thread may play, pause and stop the voice
// meanwhile. A playing voice whose queue ran dry before the next piece came
// has starved: it goes on as soon as a piece is queued, and the starvation is
// counted. So are the frames of every piece that played to its end.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/audio/PcmFormat.h"
#include "platform/audio/Voice.h"

namespace tge::audio {

class StreamVoice : public Voice {
 public:
  StreamVoice(std::shared_ptr<AudioContext> context, const PcmFormat& format, VoiceMode mode,
              std::size_t bufferCount);
  ~StreamVoice() override;

  bool IsReady() const override { return Voice::IsReady() && !buffers_.empty(); }
  const PcmFormat& Format() const { return format_; }
  std::size_t BufferCount() const { return buffers_.size(); }

  // Buffers that have played out or were never filled, ready for Queue().
  std::size_t FreeBuffers();
  // Queues one piece of whole frames in a free buffer; false when there is no
  // free buffer or the piece is empty or not whole frames.
  bool Queue(std::span<const std::uint8_t> pcm);
  // Queued pieces that have not finished playing.
  std::size_t QueuedBuffers() const;

  // Play and Pause keep the queue; Stop empties it, so the next Play starts
  // from whatever is queued afterwards.
  void Play();
  void Pause();
  void Stop();
  // True from Play until Pause or Stop, also while starved.
  bool IsPlaying() const;
  std::uint32_t Starvations() const;
  // Frames of the queued pieces that have played out, since construction.
  std::uint64_t PlayedFrames() const;

 private:
  // With the lock held. The source only stops by itself, when its queue ran
  // dry: Stop rewinds it instead.
  void ReclaimProcessed();
  // Frames queued in `buffer`.
  std::uint32_t& FramesIn(unsigned buffer);
  void ClearQueue();
  int SourceState() const;
  void Resume();

  PcmFormat format_;
  std::vector<unsigned> buffers_;
  std::vector<unsigned> free_;
  std::vector<std::uint32_t> bufferFrames_;  // by index in buffers_
  bool playing_ = false;
  std::uint32_t starvations_ = 0;
  std::uint64_t playedFrames_ = 0;
};

}  // namespace tge::audio

// A movie file opened for decoding: its first video stream, decoded picture
// by picture into BGRA bytes (A8R8G8B8 in memory, alpha 255, top row first,
// at the size the stream opened with), and optionally its first audio
// stream, resampled to 16-bit interleaved PCM (mono or stereo) at the
// stream's own rate. Any container and codec the system's FFmpeg reads will
// do. One thread at a time.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/PcmFormat.h"

namespace tge::video {

struct VideoFrame {
  int width = 0;
  int height = 0;
  // Seconds from the start of the stream.
  double time = 0;
  std::vector<std::uint8_t> bgra;
};

struct MediaInfo {
  int width = 0;
  int height = 0;
  // Seconds; the container's figure, an estimate for some formats; 0 when
  // it gives none.
  double duration = 0;
  // Seconds between pictures, from the stream's frame rate.
  double frameInterval = 0;
  // Unplayable (zero) when there is no audio or it was not asked for.
  audio::PcmFormat audioFormat;
};

class MediaFile {
 public:
  // Null, with the reason in `error`, when the file cannot be opened or holds
  // no decodable video stream. A picture size of 0 is reported in the info,
  // not refused here. Audio that cannot be decoded is left out.
  static std::unique_ptr<MediaFile> Open(const std::string& path, bool withAudio, std::string& error);
  ~MediaFile();
  MediaFile(const MediaFile&) = delete;
  MediaFile& operator=(const MediaFile&) = delete;

  const MediaInfo& Info() const { return info_; }

  // Reads and decodes until the next picture; false at the end of the
  // stream or when the data can no longer be read. Audio met on the way is
  // kept for TakeAudio.
  bool NextFrame(VideoFrame& frame);
  // Appends the audio decoded since the last call and empties the store.
  void TakeAudio(std::vector<std::uint8_t>& out);
  // Back to the first picture; false when the file cannot seek.
  bool Rewind();

  struct Streams;

 private:
  explicit MediaFile(std::unique_ptr<Streams> streams);
  bool ConvertPicture(VideoFrame& frame);
  void DecodeAudio();
  bool FeedDecoders();

  std::unique_ptr<Streams> streams_;
  MediaInfo info_;
  std::vector<std::uint8_t> audio_;
  double lastTime_ = -1;
};

}  // namespace tge::video

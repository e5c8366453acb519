// The playback record of a streamed sound: the file stays open on the disk
// file system (never the archive) and is read, decoded and queued piece by
// piece into a voice with two buffers while it plays. Pieces are about a
// second of PCM, or eight ADPCM blocks. The streaming thread feeds the
// stream while it is in the thread's list, which it is exactly while it
// plays; the main thread touches the file only when the stream is out of it.
//
// A stream that does not loop plays its data to the end, then is stopped and
// rewound, ready to start again from the beginning. A looping one goes back
// to the start of the data each time it runs out.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/StreamVoice.h"
#include "platform/audio/WaveFile.h"
#include "services/sound/SoundPlayback.h"

namespace tge {

class SerializeStream;
class SoundStreamThread;

class SoundStream : public SoundPlayback {
 public:
  // Decoded bytes in one piece: for PCM a second, widened so that the data
  // divides into whole pieces as nearly as whole frames allow; for ADPCM
  // eight blocks.
  static std::uint32_t PieceBytes(const audio::WaveFile& wave);
  // A sound shorter than a second or than two pieces is played statically,
  // so that a stream always has a piece for each buffer and a looping stream
  // always gets somewhere when it goes back to the start.
  static bool IsLongEnough(const audio::WaveFile& wave);
  // Reads the header of `file` (open for reading) into `wave`; false with
  // the last-error text set.
  static bool ReadHeader(SerializeStream& file, const std::string& path, audio::WaveFile& wave);

  // Takes the open file and its header; fills both buffers.
  SoundStream(std::unique_ptr<SerializeStream> file, const audio::WaveFile& wave,
              std::unique_ptr<audio::StreamVoice> voice, std::shared_ptr<SoundStreamThread> thread);
  ~SoundStream() override;

  // Plays on from where the stream stands (streams are rewound when they
  // stop, not when they start); nothing when the list is full or it plays.
  void Start(bool loop) override;
  void Stop() override;
  void Pause() override;
  void Resume() override;
  bool IsPlaying() const override { return voice_->IsPlaying(); }
  audio::Voice& GetVoice() override { return *voice_; }

  // For the streaming thread, with the list locked: queues a piece into each
  // free buffer. True when a stream that does not loop has played out.
  bool Feed();
  // Stops and goes back to the start of the data with both buffers filled.
  // Called with the stream off the list, or by the thread under the lock.
  void Rewind();

 private:
  bool AtEnd() const { return readBytes_ >= wave_.DataBytes(); }
  void SeekToData();
  // False when nothing could be queued.
  bool QueueNextPiece();

  std::unique_ptr<SerializeStream> file_;
  audio::WaveFile wave_;
  std::unique_ptr<audio::StreamVoice> voice_;
  std::shared_ptr<SoundStreamThread> thread_;
  std::atomic<bool> loop_ = false;
  std::uint32_t pieceEncodedBytes_;
  std::uint32_t pieceDecodedBytes_;
  // Encoded bytes of the data chunk read so far.
  std::uint32_t readBytes_ = 0;
  std::vector<std::uint8_t> encoded_;
  std::vector<std::uint8_t> decoded_;
};

}  // namespace tge

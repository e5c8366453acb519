#include "services/sound/SoundStream.h"

#include <algorithm>

#include "core/files/SerializeStream.h"
#include "services/ErrorMessage.h"
#include "services/sound/SoundStreamThread.h"

namespace tge {
namespace {

constexpr std::uint32_t kAdpcmBlocksPerPiece = 8;
// The first read for a header; files with long chunks before the data are
// read further in growing steps.
constexpr std::uint64_t kHeaderProbeBytes = 4096;

}  // namespace

std::uint32_t SoundStream::PieceBytes(const audio::WaveFile& wave) {
  if (wave.Encoding() == audio::WaveEncoding::MsAdpcm) return kAdpcmBlocksPerPiece * wave.DecodedBlockBytes();
  const std::uint64_t perSecond = wave.Format().BytesPerSecond();
  const std::uint64_t total = wave.DecodedBytes();
  const std::uint64_t pieces = total / perSecond;
  std::uint64_t piece = perSecond + (pieces ? total % perSecond / pieces : 0);
  // Even, as the data was laid out for, and whole frames, so that no piece
  // starts inside a frame.
  piece -= piece % std::max<std::uint32_t>(2, wave.Format().FrameBytes());
  return static_cast<std::uint32_t>(piece);
}

bool SoundStream::IsLongEnough(const audio::WaveFile& wave) {
  return wave.LengthSeconds() >= 1.0 && wave.DecodedBytes() >= 2ull * PieceBytes(wave);
}

bool SoundStream::ReadHeader(SerializeStream& file, const std::string& path, audio::WaveFile& wave) {
  const std::int64_t size = file.GetSize();
  if (size <= 0) return FormatErrorMessage("Sound %s: empty file", path.c_str());
  const auto fileSize = static_cast<std::uint64_t>(size);
  std::vector<std::uint8_t> head;
  for (std::uint64_t probe = kHeaderProbeBytes;; probe *= 4) {
    head.resize(static_cast<std::size_t>(std::min(probe, fileSize)));
    file.Seek(0, kSeekStart);
    if (file.SerializeBytes(head.data(), head.size()) != head.size()) {
      return FormatErrorMessage("Sound %s: the file could not be read", path.c_str());
    }
    if (wave.Parse(head, fileSize)) return true;
    if (head.size() == fileSize) return FormatErrorMessage("Sound %s: %s", path.c_str(), wave.Error().c_str());
  }
}

SoundStream::SoundStream(std::unique_ptr<SerializeStream> file, const audio::WaveFile& wave,
                         std::unique_ptr<audio::StreamVoice> voice, std::shared_ptr<SoundStreamThread> thread)
    : file_(std::move(file)),
      wave_(wave),
      voice_(std::move(voice)),
      thread_(std::move(thread)),
      pieceEncodedBytes_(PieceBytes(wave) / wave.DecodedBlockBytes() * wave.EncodedBlockBytes()),
      pieceDecodedBytes_(PieceBytes(wave)) {
  Rewind();
}

SoundStream::~SoundStream() { thread_->Remove(this); }

void SoundStream::Start(bool loop) {
  if (IsPlaying()) return;
  loop_ = loop;
  if (thread_->Add(this, true)) voice_->Play();
}

void SoundStream::Stop() {
  if (!IsPlaying()) return;
  thread_->Remove(this);
  Rewind();
}

void SoundStream::Pause() {
  if (!IsPlaying()) return;
  thread_->Remove(this);
  voice_->Pause();
}

void SoundStream::Resume() {
  if (IsPlaying()) return;
  thread_->Add(this, false);
  voice_->Play();
}

bool SoundStream::Feed() {
  while (voice_->FreeBuffers() > 0 && QueueNextPiece()) {
  }
  return !loop_ && AtEnd() && voice_->QueuedBuffers() == 0;
}

void SoundStream::Rewind() {
  voice_->Stop();
  SeekToData();
  while (voice_->FreeBuffers() > 0 && QueueNextPiece()) {
  }
}

void SoundStream::SeekToData() {
  file_->Seek(static_cast<std::int64_t>(wave_.DataOffset()), kSeekStart);
  readBytes_ = 0;
}

bool SoundStream::QueueNextPiece() {
  if (AtEnd() && loop_) SeekToData();
  if (AtEnd()) return false;
  encoded_.resize(std::min(pieceEncodedBytes_, wave_.DataBytes() - readBytes_));
  if (file_->SerializeBytes(encoded_.data(), encoded_.size()) != encoded_.size()) {
    // The file changed under the stream: it ends here.
    readBytes_ = wave_.DataBytes();
    return false;
  }
  readBytes_ += static_cast<std::uint32_t>(encoded_.size());
  decoded_.resize(pieceDecodedBytes_);
  const audio::WaveFile::DecodeResult result = wave_.Decode(encoded_, decoded_, AtEnd());
  return result.produced > 0 && voice_->Queue({decoded_.data(), result.produced});
}

}  // namespace tge

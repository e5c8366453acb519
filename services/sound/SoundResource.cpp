#include "services/sound/SoundResource.h"

#include <algorithm>

#include "core/files/SerializeStream.h"
#include "platform/audio/WaveFile.h"
#include "services/ErrorMessage.h"
#include "services/sound/SoundBuffer.h"
#include "services/sound/SoundStream.h"
#include "services/sound/SoundSystem.h"

namespace tge {
namespace {

std::unique_ptr<SerializeStream> OpenSoundFile(const std::string& path, FileSystem* fileSystem) {
  auto file = std::make_unique<SerializeStream>();
  file->SetFileSystem(fileSystem);
  if (!file->Open(path, "rb")) return nullptr;
  return file;
}

std::vector<std::uint8_t> ReadWhole(SerializeStream& file) {
  const std::int64_t size = file.GetSize();
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::int64_t>(size, 0)));
  if (file.SerializeBytes(bytes.data(), bytes.size()) != bytes.size()) bytes.clear();
  return bytes;
}

}  // namespace

SoundResource::~SoundResource() { Unload(); }

audio::VoiceMode SoundResource::GetVoiceMode() const {
  return flags & k3D ? audio::VoiceMode::Positional : audio::VoiceMode::Plain;
}

int SoundResource::Load() {
  SoundSystem* system = GetRunningSoundSystem();
  if (!system || playback_) return 1;
  if (GetSource()) return LoadDuplicate(*system);
  return flags & kStreamed ? LoadStreamed(*system) : LoadStatic(*system);
}

int SoundResource::LoadDuplicate(SoundSystem& system) {
  auto* source = static_cast<SoundResource*>(GetSource());
  if (!source->Load() || !source->data_) return 0;
  std::unique_ptr<audio::StaticVoice> voice = system.GetDevice().CreateVoice(source->data_, GetVoiceMode());
  if (!voice) return FormatErrorMessage("Create Sound Buffer");
  data_ = source->data_;
  length = source->length;
  playback_ = std::make_unique<SoundBuffer>(std::move(voice));
  return 1;
}

int SoundResource::LoadStatic(SoundSystem& system) {
  const std::string path = GetDataPath();
  std::unique_ptr<SerializeStream> file = OpenSoundFile(path, tge::GetFileSystem());
  if (!file) return FormatErrorMessage("File Open");
  const std::vector<std::uint8_t> bytes = ReadWhole(*file);
  audio::WaveFile wave;
  if (!wave.Parse(bytes)) return FormatErrorMessage("Sound %s: %s", path.c_str(), wave.Error().c_str());
  audio::AudioDevice& device = system.GetDevice();
  std::shared_ptr<audio::SoundBuffer> data = device.CreateBuffer(wave.Format(), wave.DecodeAll(bytes));
  std::unique_ptr<audio::StaticVoice> voice = data ? device.CreateVoice(data, GetVoiceMode()) : nullptr;
  if (!voice) return FormatErrorMessage("Create Sound Buffer");
  length = static_cast<float>(wave.LengthSeconds());
  data_ = std::move(data);
  playback_ = std::make_unique<SoundBuffer>(std::move(voice));
  return 1;
}

int SoundResource::LoadStreamed(SoundSystem& system) {
  const std::string path = GetDataPath();
  std::unique_ptr<SerializeStream> file = OpenSoundFile(path, GetDiskFileSystem());
  if (!file) return FormatErrorMessage("File Open");
  audio::WaveFile wave;
  if (!SoundStream::ReadHeader(*file, path, wave)) return 0;
  if (!SoundStream::IsLongEnough(wave)) {
    flags &= static_cast<std::uint16_t>(~kStreamed);
    return LoadStatic(system);
  }
  std::unique_ptr<audio::StreamVoice> voice = system.GetDevice().CreateStreamVoice(wave.Format(), GetVoiceMode());
  if (!voice) return FormatErrorMessage("Create Sound Buffer");
  length = static_cast<float>(wave.LengthSeconds());
  playback_ = std::make_unique<SoundStream>(std::move(file), wave, std::move(voice), system.GetStreamThread());
  return 1;
}

int SoundResource::Unload() {
  if (playback_) playback_->Stop();
  playback_.reset();
  data_.reset();
  return 1;
}

bool SoundResource::NeedsInstance() const { return GetReferenceCount() > 0 && !(flags & kStreamed); }

std::unique_ptr<Resource> SoundResource::Duplicate() {
  auto instance = std::make_unique<SoundResource>();
  instance->SetName(GetName());
  instance->SetFileName(GetFileName());
  instance->flags = flags;
  instance->group = group;
  instance->length = length;
  instance->volume = volume;
  return instance;
}

void SoundResource::OnRelease() {
  if (playback_) playback_->Stop();
}

SoundPlayback* SoundResource::GetLoadedPlayback() {
  Load();
  return playback_.get();
}

bool SoundResource::SerializeFields(SerializeStream& stream, const ResourceDatabase&) {
  stream.SerializeWords(&flags, 1);
  stream.SerializeWords(&group, 1);
  stream.Serialize(length);
  if (stream.GetVersion() >= 3) stream.Serialize(volume);
  return true;
}

}  // namespace tge

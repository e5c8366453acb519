// Sound resources (type 1): WAVE files, PCM or Microsoft ADPCM. A sound is
// static (decoded whole into one buffer) unless flagged as streamed; a 3D
// sound is placed relative to the listener, a plain one can be panned.
// Loading needs the running sound system and does nothing without one.
//
// A static sound already held by someone is not shared: every further holder
// gets an unregistered instance of its own that plays the source's data, so
// several objects can play one sound at once. A streamed sound is shared by
// all its holders. Releasing a registered sound stops it.
#pragma once
#include <cstdint>
#include <memory>

#include "platform/audio/SoundBuffer.h"
#include "platform/audio/Voice.h"
#include "services/resources/Resource.h"
#include "services/sound/SoundPlayback.h"

namespace tge {

class SerializeStream;
class SoundSystem;

class SoundResource : public Resource {
 public:
  static constexpr int kType = kSoundResource;
  static constexpr std::uint16_t kStreamed = 0x1;
  static constexpr std::uint16_t k3D = 0x2;

  SoundResource() : Resource(kType) {}
  ~SoundResource() override;

  // 1 and nothing done while no sound system runs or when loaded already;
  // 0 with the last-error text when the file or its data are refused.
  int Load() override;
  // Stops the sound and drops its playback record.
  int Unload() override;

  bool NeedsInstance() const override;
  // An unregistered copy of the sound's settings; its voice is made at its
  // first load, on the source's data.
  std::unique_ptr<Resource> Duplicate() override;
  void OnRelease() override;

  // Loads the sound first; null when it has nothing to play.
  SoundPlayback* GetLoadedPlayback();
  bool IsLoaded() const { return playback_ != nullptr; }

  std::uint16_t flags = k3D;
  std::uint16_t group = 0;
  // Set from the data when the sound loads.
  float length = 0.0f;
  float volume = 1.0f;

 protected:
  bool SerializeFields(SerializeStream& stream, const ResourceDatabase& database) override;

 private:
  audio::VoiceMode GetVoiceMode() const;
  int LoadDuplicate(SoundSystem& system);
  int LoadStatic(SoundSystem& system);
  int LoadStreamed(SoundSystem& system);

  std::unique_ptr<SoundPlayback> playback_;
  // A static sound's decoded data, which its instances play as well.
  std::shared_ptr<const audio::SoundBuffer> data_;
};

}  // namespace tge

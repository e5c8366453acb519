// A services object with a running sound system on OpenAL Soft's null
// output (which mixes in real time without a sound card), a temporary data
// folder, and WAVE files of silence made to measure.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "services/EngineServices.h"
#include "services/ErrorMessage.h"
#include "services/sound/SoundResource.h"
#include "services/sound/SoundSystem.h"
#include "tests/platform/audio/WaveTestFiles.h"
#include "tests/services/TestBytes.h"
#include "tests/support/WaitFor.h"

namespace tge::test {

using WaveBytes = audio::test::Bytes;

// `seconds` of PCM silence.
inline WaveBytes PcmWave(unsigned channels, std::uint32_t rate, unsigned bits, double seconds) {
  const unsigned frame = channels * bits / 8;
  const WaveBytes data(static_cast<std::size_t>(rate * seconds) * frame, bits == 8 ? 0x80 : 0);
  return audio::test::RiffWave(
      {{"fmt ", audio::test::FormatBody({1, channels, rate, frame, bits})}, {"data", data}});
}

// Mono ADPCM of silent blocks of 256 bytes (500 frames each), the last one
// cut to `lastBlockBytes` when it is not 0.
inline WaveBytes AdpcmWave(std::uint32_t rate, unsigned wholeBlocks, unsigned lastBlockBytes) {
  WaveBytes block(256, 0);
  block[1] = 16;  // step size
  WaveBytes data;
  for (unsigned i = 0; i < wholeBlocks; ++i) data.insert(data.end(), block.begin(), block.end());
  data.insert(data.end(), block.begin(), block.begin() + lastBlockBytes);
  return audio::test::RiffWave({{"fmt ", audio::test::FormatBody({2, 1, rate, 256, 4})}, {"data", data}});
}

class SoundTestRig : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("ALSOFT_DRIVERS", "null", 1);
    services.SetDataFolder(folder.Folder());
    auto system = std::make_unique<SoundSystem>();
    sound = system.get();
    services.SetSoundSystem(std::move(system));
    StartupSettings settings;
    settings.soundEnabled = 1;
    settings.soundVoiceLimit = voiceLimit;
    ASSERT_EQ(services.Initialize(&settings), 1) << GetErrorMessage();
  }

  // Registers a sound on a file written into the data folder.
  SoundResource* AddSound(const std::string& name, const WaveBytes& file, std::uint16_t flags = 0) {
    folder.Write("Data/" + name + ".wav", file);
    std::unique_ptr<Resource> created = services.GetResources().CreateResource(kSoundResource);
    auto* resource = static_cast<SoundResource*>(created.get());
    resource->SetName(name);
    resource->SetFileName(name + ".wav");
    resource->flags = flags;
    services.GetResources().RegisterResource(std::move(created));
    return resource;
  }

  audio::Voice& VoiceOf(SoundResource* resource) { return resource->GetLoadedPlayback()->GetVoice(); }
  int PlayingStreams() const { return sound->GetStreamThread()->GetCount(); }

  int voiceLimit = 4;
  TempDataFolder folder;
  EngineServices services;
  SoundSystem* sound = nullptr;
};

}  // namespace tge::test

#include "services/sound/SoundSystem.h"

#include <gtest/gtest.h>

#include "tests/services/sound/SoundTestRig.h"

namespace tge {
namespace {

TEST(SoundSystem, StartsWithCaptureAskedForAndStopsAgain) {
  setenv("ALSOFT_DRIVERS", "null", 1);
  EngineServices services;
  auto system = std::make_unique<SoundSystem>();
  SoundSystem* sound = system.get();
  services.SetSoundSystem(std::move(system));
  StartupSettings settings;
  settings.soundEnabled = 1;
  settings.soundCaptureEnabled = 1;
  settings.soundFrequency = 22050;
  settings.soundVoiceLimit = 8;
  ASSERT_EQ(services.Initialize(&settings), 1) << GetErrorMessage();
  EXPECT_EQ(GetRunningSoundSystem(), sound);
  EXPECT_TRUE(sound->GetDevice().IsOpen());
  EXPECT_TRUE(sound->GetStreamThread()->IsRunning());
  EXPECT_EQ(sound->GetStreamThread()->GetLimit(), 8);
  // The null output has no capture; that failure is not the engine's.
  EXPECT_FALSE(sound->IsCaptureOpen());

  services.Shutdown();
  EXPECT_EQ(GetRunningSoundSystem(), nullptr);
  EXPECT_FALSE(sound->GetDevice().IsOpen());
  EXPECT_FALSE(sound->GetStreamThread()->IsRunning());
}

// OpenAL picks its outputs once per process: this only shows the failure
// when it runs in a process of its own, as CTest runs every test.
TEST(SoundSystem, NoOutputStopsStartUpWithItsMessageAndDisablesSound) {
  setenv("ALSOFT_DRIVERS", "no-such-output", 1);
  EngineServices services;
  services.SetSoundSystem(std::make_unique<SoundSystem>());
  StartupSettings settings;
  settings.soundEnabled = 1;
  const int started = services.Initialize(&settings);
  setenv("ALSOFT_DRIVERS", "null", 1);
  if (started) GTEST_SKIP() << "OpenAL had already chosen its output in this process";
  EXPECT_STREQ(GetErrorMessage(), "Error - Creating DirectX 8 Sound");
  EXPECT_EQ(services.GetSettings().soundEnabled, 0);
  EXPECT_EQ(GetRunningSoundSystem(), nullptr);
}

}  // namespace
}  // namespace tge

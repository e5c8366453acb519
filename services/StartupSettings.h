// The start-up values the shell hands to the services object: what to
// enable and how the sound, input and display are set up.
#pragma once
#include <cstdint>

namespace tge {

struct StartupSettings {
  std::int32_t soundEnabled = 0;
  std::int32_t soundChannels = 2;
  std::int32_t soundFrequency = 44100;
  std::int32_t soundBitsPerSample = 16;
  std::int32_t soundVoiceLimit = 4;
  std::int32_t soundCaptureEnabled = 0;
  std::int32_t inputEnabled = 0;
  // Its start-up step does nothing.
  std::int32_t networkEnabled = 0;
  std::int32_t renderDeviceEnabled = 0;
  std::int32_t fullScreen = 1;
  std::int32_t width = 800;
  std::int32_t height = 600;
  std::int32_t colorDepth = 32;
  void* window = nullptr;
  // When set, the device draws into it instead of the main window.
  void* renderWindow = nullptr;
  void* moduleInstance = nullptr;
  std::int32_t unused = 0;
};

}  // namespace tge

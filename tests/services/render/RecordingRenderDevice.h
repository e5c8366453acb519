// A render device opened on a RecordingDevice, for tests of caches,
// materials, meshes and the reset path without pixels.
#pragma once
#include <gtest/gtest.h>

#include "platform/gfx/RecordingDevice.h"
#include "services/RenderDevice.h"

namespace tge::test {

struct RecordingRenderDevice {
  explicit RecordingRenderDevice(const gfx::DeviceCaps& caps = {}, StartupSettings settings = Windowed())
      : device(MakeBackend(caps)) {
    EXPECT_EQ(device.InitRenderDevice(settings), 1);
    used = settings;
    recording = static_cast<gfx::RecordingDevice*>(&device.Device());
    recording->ClearCalls();
  }

  static StartupSettings Windowed() {
    StartupSettings settings;
    settings.fullScreen = 0;
    settings.width = 64;
    settings.height = 32;
    return settings;
  }

  static RenderDeviceBackend MakeBackend(const gfx::DeviceCaps& caps,
                                         std::vector<gfx::DisplayMode> modes = {}) {
    RenderDeviceBackend backend;
    backend.createDevice = [caps](const StartupSettings&, const gfx::PresentParameters& parameters,
                                  std::string&) { return std::make_unique<gfx::RecordingDevice>(parameters, caps); };
    backend.listModes = [modes] { return modes; };
    backend.desktopMode = [](gfx::DisplayMode& mode) {
      mode = {1280, 1024, 75, gfx::kFormatX8R8G8B8};
      return true;
    };
    return backend;
  }

  RenderDevice device;
  StartupSettings used;
  gfx::RecordingDevice* recording = nullptr;
};

}  // namespace tge::test

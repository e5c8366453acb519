// A render device back-end for tests that makes its GL device on a window
// the test already holds, such as SharedGlTestWindow().
#pragma once
#include <SDL.h>

#include <memory>
#include <string>

#include "platform/gfx/GlDevice.h"
#include "services/RenderDevice.h"

namespace tge::test {

inline RenderDeviceBackend WindowRenderDeviceBackend(SDL_Window* window) {
  RenderDeviceBackend backend;
  backend.createDevice = [window](const StartupSettings&, const gfx::PresentParameters& parameters,
                                  std::string& error) -> std::unique_ptr<gfx::Device> {
    return gfx::GlDevice::Create(window, parameters, error);
  };
  return backend;
}

}  // namespace tge::test

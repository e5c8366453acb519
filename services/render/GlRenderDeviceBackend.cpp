// The render device's platform side on OpenGL: the device is made on the
// render window when the settings name one, else on the main window.
#include "platform/gfx/DisplayModes.h"
#include "platform/gfx/GlDevice.h"
#include "services/RenderDevice.h"

namespace tge {

RenderDeviceBackend GlRenderDeviceBackend() {
  RenderDeviceBackend backend;
  backend.createDevice = [](const StartupSettings& settings, const gfx::PresentParameters& parameters,
                            std::string& error) -> std::unique_ptr<gfx::Device> {
    void* window = settings.renderWindow ? settings.renderWindow : settings.window;
    return gfx::GlDevice::Create(static_cast<SDL_Window*>(window), parameters, error);
  };
  backend.listModes = [] { return gfx::ListDisplayModes(); };
  backend.desktopMode = [](gfx::DisplayMode& mode) { return gfx::GetDesktopDisplayMode(mode); };
  return backend;
}

}  // namespace tge

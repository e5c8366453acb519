// The render device's platform side for running without drawing: a null
// device of the asked size, and that size as the one display mode.
#include "platform/gfx/NullDevice.h"
#include "services/RenderDevice.h"

namespace tge {

RenderDeviceBackend NullRenderDeviceBackend(const gfx::DisplayMode& desktop) {
  RenderDeviceBackend backend;
  backend.createDevice = [](const StartupSettings&, const gfx::PresentParameters& parameters,
                            std::string&) -> std::unique_ptr<gfx::Device> {
    return std::make_unique<gfx::NullDevice>(parameters);
  };
  backend.listModes = [desktop] { return std::vector<gfx::DisplayMode>{desktop}; };
  backend.desktopMode = [desktop](gfx::DisplayMode& mode) {
    mode = desktop;
    return true;
  };
  return backend;
}

}  // namespace tge

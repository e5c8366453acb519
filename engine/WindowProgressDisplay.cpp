#include "engine/WindowProgressDisplay.h"

#include "objects/ui/widgets/Window.h"
#include "services/EngineServices.h"

namespace tge {

std::unique_ptr<WindowProgressDisplay> WindowProgressDisplay::Find(Object& window) {
  auto* bar = dynamic_cast<Window*>(window.FindChildByName("ProgressBar"));
  if (bar == nullptr) return nullptr;
  return std::unique_ptr<WindowProgressDisplay>(new WindowProgressDisplay(window, *bar));
}

float WindowProgressDisplay::GetWidth() const { return bar_.GetWidth(); }

void WindowProgressDisplay::SetWidth(float width) { bar_.SetWidth(width); }

void WindowProgressDisplay::SetActive(bool active) { bar_.SetActive(active); }

void WindowProgressDisplay::Redraw() {
  window_.Draw();
  EngineServices* services = GetEngineServices();
  if (services == nullptr || !services->BeginFrame()) return;
  services->RenderFrame();
  services->EndFrame();
}

}  // namespace tge

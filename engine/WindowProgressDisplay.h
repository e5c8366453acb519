// The progress display of a resource load: the window's "ProgressBar"
// widget, its width the progress, redrawn as one whole frame of the window.
#pragma once
#include <memory>

#include "engine/ProgressDisplay.h"

namespace tge {

class Object;
class Window;

class WindowProgressDisplay : public ProgressDisplay {
 public:
  // The display over window's descendant named "ProgressBar"; none when
  // there is no such descendant or it is not a widget.
  static std::unique_ptr<WindowProgressDisplay> Find(Object& window);

  float GetWidth() const override;
  void SetWidth(float width) override;
  void SetActive(bool active) override;
  void Redraw() override;

 private:
  WindowProgressDisplay(Object& window, Window& bar) : window_(window), bar_(bar) {}

  Object& window_;
  Window& bar_;
};

}  // namespace tge

// The game's one window, standing in for the native window the engine was
// designed around: created centred, windowed or full screen, with an
// optional icon, and optionally ready for an OpenGL 3.3 core context that the
// graphics layer creates on it (NativeHandle). It follows its own minimised
// and focus state from the events the pump hands it.
#pragma once
#include <memory>
#include <string>

#include "platform/window/RgbaPixels.h"

struct SDL_Window;
union SDL_Event;

namespace tge::platform {

struct WindowSettings {
  std::string title;
  int width = 800;
  int height = 600;
  bool fullScreen = false;
  // Asks for an OpenGL 3.3 core, double-buffered context on this window.
  bool openGl = true;
};

class Window {
 public:
  // Null on failure, with the reason in `error`.
  static std::unique_ptr<Window> Create(const WindowSettings& settings,
                                        std::string& error);
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // For the graphics layer's context and for owning message boxes.
  SDL_Window* NativeHandle() const { return window_; }
  unsigned Id() const;

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);
  // False, and the icon unchanged, when the image is not valid.
  bool SetIcon(const RgbaPixels& icon);

  bool IsFullScreen() const { return fullScreen_; }
  bool IsMinimised() const { return minimised_; }
  bool HasFocus() const { return focused_; }
  bool CloseRequested() const { return closeRequested_; }

  // Called by the pump for every event; ignores other windows' events.
  void HandleEvent(const SDL_Event& event);

 private:
  Window(SDL_Window* window, const WindowSettings& settings);

  SDL_Window* window_;
  std::string title_;
  bool fullScreen_;
  bool minimised_ = false;
  bool focused_ = false;
  bool closeRequested_ = false;
};

}  // namespace tge::platform

#include "platform/window/Window.h"

#include <SDL.h>

#include "platform/window/SdlSurface.h"

namespace tge::platform {
namespace {

void RequestGlCoreContext() {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

// Full screen keeps the desktop's mode: the graphics layer renders at the
// chosen size into its own buffer and scales it to the window at present.
Uint32 CreationFlags(const WindowSettings& settings) {
  Uint32 flags = SDL_WINDOW_SHOWN;
  if (settings.fullScreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  if (settings.openGl) flags |= SDL_WINDOW_OPENGL;
  return flags;
}

}  // namespace

std::unique_ptr<Window> Window::Create(const WindowSettings& settings,
                                       std::string& error) {
  if (settings.width <= 0 || settings.height <= 0) {
    error = "Window: size " + std::to_string(settings.width) + " x " +
            std::to_string(settings.height) + " is not usable";
    return nullptr;
  }
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    error = std::string("Window: no video: ") + SDL_GetError();
    return nullptr;
  }
  if (settings.openGl) RequestGlCoreContext();
  SDL_Window* window = SDL_CreateWindow(
      settings.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
      settings.width, settings.height, CreationFlags(settings));
  if (window == nullptr) {
    error = std::string("Window: creation failed: ") + SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return nullptr;
  }
  return std::unique_ptr<Window>(new Window(window, settings));
}

Window::Window(SDL_Window* window, const WindowSettings& settings)
    : window_(window),
      title_(settings.title),
      fullScreen_(settings.fullScreen),
      focused_((SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) != 0) {
  SDL_RaiseWindow(window_);
}

Window::~Window() {
  SDL_DestroyWindow(window_);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

unsigned Window::Id() const { return SDL_GetWindowID(window_); }

void Window::SetTitle(const std::string& title) {
  title_ = title;
  SDL_SetWindowTitle(window_, title_.c_str());
}

bool Window::SetIcon(const RgbaPixels& icon) {
  const SurfacePtr surface = WrapPixels(icon);
  if (!surface) return false;
  SDL_SetWindowIcon(window_, surface.get());
  return true;
}

void Window::HandleEvent(const SDL_Event& event) {
  if (event.type != SDL_WINDOWEVENT || event.window.windowID != Id()) return;
  switch (event.window.event) {
    case SDL_WINDOWEVENT_MINIMIZED:
      minimised_ = true;
      break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
      minimised_ = false;
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      focused_ = true;
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      focused_ = false;
      break;
    case SDL_WINDOWEVENT_CLOSE:
      closeRequested_ = true;
      break;
    default:
      break;
  }
}

}  // namespace tge::platform

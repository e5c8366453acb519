#include "platform/window/SystemCursor.h"

#include <SDL.h>

#include <algorithm>

#include "platform/window/SdlSurface.h"

namespace tge::platform {

void SystemCursor::CursorDeleter::operator()(SDL_Cursor* cursor) const {
  SDL_FreeCursor(cursor);
}

SystemCursor::SystemCursor()
    : video_(SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {}

SystemCursor::~SystemCursor() {
  ResetImage();
  if (video_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void SystemCursor::Show(bool visible) {
  SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

bool SystemCursor::IsShown() const {
  return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE;
}

bool SystemCursor::SetImage(const RgbaPixels& image, int hotX, int hotY) {
  if (!video_) return false;
  const SurfacePtr surface = WrapPixels(image);
  if (!surface) return false;
  SDL_Cursor* cursor =
      SDL_CreateColorCursor(surface.get(), std::clamp(hotX, 0, image.width - 1),
                            std::clamp(hotY, 0, image.height - 1));
  if (cursor == nullptr) return false;
  SDL_SetCursor(cursor);
  custom_.reset(cursor);
  return true;
}

void SystemCursor::ResetImage() {
  if (!custom_) return;
  SDL_SetCursor(SDL_GetDefaultCursor());
  custom_.reset();
}

}  // namespace tge::platform

// The system mouse pointer over the window: shown or hidden (the engine
// hides it and draws its own cursor sprite), and optionally replaced by an
// image. It holds its own reference to SDL's video subsystem, so its image
// is freed before video shuts down whichever of it and the Window goes first.
#pragma once
#include <memory>

#include "platform/window/RgbaPixels.h"

struct SDL_Cursor;

namespace tge::platform {

class SystemCursor {
 public:
  SystemCursor();
  ~SystemCursor();
  SystemCursor(const SystemCursor&) = delete;
  SystemCursor& operator=(const SystemCursor&) = delete;

  void Show(bool visible);
  bool IsShown() const;

  // The hot spot is the pixel that points, clamped into the image. False,
  // and the pointer unchanged, when the image is not valid or SDL refuses it.
  bool SetImage(const RgbaPixels& image, int hotX, int hotY);
  // Back to the system's arrow.
  void ResetImage();

 private:
  struct CursorDeleter {
    void operator()(SDL_Cursor* cursor) const;
  };
  bool video_;
  std::unique_ptr<SDL_Cursor, CursorDeleter> custom_;
};

}  // namespace tge::platform

// What widgets read of the engine object: the UI skin, the cursor switch and
// the screen scale factors. The engine installs one implementation at
// start-up; until then widgets draw without a skin, see no cursor and keep
// a scale of 1.
#pragma once
#include "core/math/Color.h"
#include "core/math/Vector.h"

namespace tge {

class Resource;

class UiHooks {
 public:
  virtual ~UiHooks() = default;

  // The skin's background and highlight sprites of a widget class; null for
  // classes without one.
  virtual Resource* GetBgSprite(int classId) const = 0;
  virtual Resource* GetHiliteSprite(int classId) const = 0;
  virtual Resource* GetWindowFont() const = 0;
  virtual Resource* GetWindowBigFont() const = 0;
  virtual Color GetWindowBgColor() const = 0;
  virtual Resource* GetButtonHiliteSound() const = 0;
  virtual Resource* GetButtonActionSound() const = 0;
  virtual Resource* GetSliderPositionSprite() = 0;
  virtual Resource* GetCheckBoxCheckedSprite() = 0;
  virtual bool GetCursorActive() const = 0;
  // The engine's cursor position, in the 800 x 600 reference screen.
  virtual Vector3 GetCursorPosition() const = 0;
  // Screen size over the 800 x 600 reference screen.
  virtual float GetScreenScaleX() const = 0;
  virtual float GetScreenScaleY() const = 0;
};

// Null until the engine installs its hooks.
UiHooks* GetUiHooks();
void SetUiHooks(UiHooks* hooks);

}  // namespace tge

// The engine's answers to what widgets read of it (objects/ui/UiHooks.h).
#pragma once
#include "objects/ui/UiHooks.h"

namespace tge {

class Engine;

class EngineUiHooks : public UiHooks {
 public:
  explicit EngineUiHooks(Engine& engine) : engine_(engine) {}

  Resource* GetBgSprite(int classId) const override;
  Resource* GetHiliteSprite(int classId) const override;
  Resource* GetWindowFont() const override;
  Resource* GetWindowBigFont() const override;
  Color GetWindowBgColor() const override;
  Resource* GetButtonHiliteSound() const override;
  Resource* GetButtonActionSound() const override;
  Resource* GetSliderPositionSprite() override;
  Resource* GetCheckBoxCheckedSprite() override;
  bool GetCursorActive() const override;
  Vector3 GetCursorPosition() const override;
  float GetScreenScaleX() const override;
  float GetScreenScaleY() const override;

 private:
  Engine& engine_;
};

}  // namespace tge

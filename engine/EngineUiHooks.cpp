#include "engine/EngineUiHooks.h"

#include "engine/Engine.h"

namespace tge {

Resource* EngineUiHooks::GetBgSprite(int classId) const { return engine_.GetSkinBgSprite(classId); }

Resource* EngineUiHooks::GetHiliteSprite(int classId) const { return engine_.GetSkinHiliteSprite(classId); }

Resource* EngineUiHooks::GetWindowFont() const { return engine_.GetSkinResource(kSkinWindowFont); }

Resource* EngineUiHooks::GetWindowBigFont() const { return engine_.GetSkinResource(kSkinWindowBigFont); }

Color EngineUiHooks::GetWindowBgColor() const { return engine_.GetSkinColor(kSkinWindowBgColor); }

Resource* EngineUiHooks::GetButtonHiliteSound() const { return engine_.GetSkinResource(kSkinButtonHiliteSound); }

Resource* EngineUiHooks::GetButtonActionSound() const { return engine_.GetSkinResource(kSkinButtonActionSound); }

Resource* EngineUiHooks::GetSliderPositionSprite() { return engine_.GetSliderPositionSprite(); }

Resource* EngineUiHooks::GetCheckBoxCheckedSprite() { return engine_.GetCheckBoxCheckedSprite(); }

bool EngineUiHooks::GetCursorActive() const { return engine_.GetCursorActive(); }

Vector3 EngineUiHooks::GetCursorPosition() const { return engine_.GetCursorPosition(); }

float EngineUiHooks::GetScreenScaleX() const { return engine_.GetScreenScaleX(); }

float EngineUiHooks::GetScreenScaleY() const { return engine_.GetScreenScaleY(); }

}  // namespace tge

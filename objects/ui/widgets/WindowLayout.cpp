// Window's screen layout, focus moves, input routing and drawing.
//
// The routing runs on the World's focus window: the frame step hands it the
// pointer, one code for input pressed and one for input released, and it
// passes them to its focused or hovered widget. A widget's handlers run
// scripts, which may delete widgets: every widget is read through its weak
// reference again after a call that may run one.
#include <algorithm>
#include <cmath>

#include "core/ClassIds.h"
#include "core/World.h"
#include "objects/ui/UiHooks.h"
#include "objects/ui/widgets/Window.h"
#include "services/EngineServices.h"

namespace tge {
namespace {

constexpr float kStartScore = 500000.0f;
constexpr float kHighlightBorder = 2.0f;
constexpr float kHoverHighlightAlpha = 0.5f;
constexpr float kDisabledAlpha = 0.5f;
constexpr float kLabelGap = 10.0f;
constexpr Vector3 kNoPointer{0, 0, 0};

bool CursorActive() {
  const UiHooks* hooks = GetUiHooks();
  return hooks != nullptr && hooks->GetCursorActive();
}

// OnWindowInputOk ... OnWindowInputDown, by code 46 to 51; then the pad
// buttons' events by code 8 to 17.
constexpr int kNavigationEvents[] = {6561, 6562, 6565, 6566, 6563, 6564};
constexpr int kFirstPadButtonEvent = 6567;

int InputEvent(int code) {
  if (code >= kWidgetOk && code <= kWidgetRight) return kNavigationEvents[code - kWidgetOk];
  if (code >= kWidgetFirstPadButton && code <= kWidgetLastPadButton) {
    return kFirstPadButtonEvent + code - kWidgetFirstPadButton;
  }
  return 0;
}

}  // namespace

// The position is set straight into the transform: a body stays where it is.
void Window::PlaceOnScreen() {
  TransformRecord* transform = GetTransform();
  const EngineServices* services = GetEngineServices();
  if (transform == nullptr) return;
  const float screenWidth = services ? static_cast<float>(static_cast<unsigned>(services->GetScreenWidth())) : 0;
  const float screenHeight = services ? static_cast<float>(static_cast<unsigned>(services->GetScreenHeight())) : 0;
  const Vector3 scale = transform->scale;
  const float w = scale.x * width_;
  const float h = scale.y * height_;
  float x = scale.x * marginX_;
  float y = scale.y * marginY_;
  if (windowFlags_ & kWindowAlignCenterX) {
    x = screenWidth * 0.5f - w * 0.5f + scale.x * marginX_;
  } else if (windowFlags_ & kWindowAlignRight) {
    x = screenWidth - w - scale.x * marginX_;
  }
  if (windowFlags_ & kWindowAlignCenterY) {
    y = screenHeight * 0.5f - h * 0.5f + scale.y * marginY_;
  } else if (windowFlags_ & kWindowAlignBottom) {
    y = screenHeight - h - scale.y * marginY_;
  }
  transform->position = {x, y, transform->position.z};
  InvalidateLocalMatrix();
  SetFlag(kFlagWorldMatrixValid, false);
}

void Window::UpdateLayout() {
  const bool toScreen = HasWindowFlag(kWindowAlignToScreen);
  if (toScreen) PlaceOnScreen();
  const Vector3 origin = GetPositionWS();
  const Vector3 scale = GetScaleWS();
  layoutScale_ = {scale.x, scale.y, 0};
  layoutOrigin_ = {origin.x, origin.y, 0};
  const float w = scale.x * width_;
  const float h = scale.y * height_;
  float left = origin.x;
  float top = origin.y;
  if (!toScreen) {
    if (windowFlags_ & kWindowAlignCenterX) {
      left -= w * 0.5f;
    } else if (windowFlags_ & kWindowAlignRight) {
      left -= w;
    }
    if (windowFlags_ & kWindowAlignCenterY) {
      top -= h * 0.5f;
    } else if (windowFlags_ & kWindowAlignBottom) {
      top -= h;
    }
  }
  screenRect_ = {left, top, left + w, top + h};
  textAnchor_ = {left + textMarginX_, top + textMarginY_, origin.z + 1.0f};
  if (windowFlags_ & kWindowAlignCenterX) {
    textAnchor_.x = left + w * 0.5f;
  } else if (windowFlags_ & kWindowAlignRight) {
    textAnchor_.x = screenRect_.right - textMarginX_;
  }
  if (windowFlags_ & kWindowAlignCenterY) {
    textAnchor_.y = top + h * 0.5f;
  } else if (windowFlags_ & kWindowAlignBottom) {
    textAnchor_.y = screenRect_.bottom - textMarginY_;
  }
  if (!toScreen) return;
  for (int i = 0; i < GetChildCount(); ++i) {
    if (!GetChild(i)->HasFlag(kFlagWSOrientation)) GetChild(i)->InvalidateWorldTransform();
  }
}

void Window::InvalidateWorldTransform() {
  Object::InvalidateWorldTransform();
  UpdateLayout();
}

bool Window::ContainsPoint(const Vector3& pointer) const {
  return screenRect_.left < pointer.x && pointer.x < screenRect_.right && screenRect_.top < pointer.y &&
         pointer.y < screenRect_.bottom;
}

std::uint32_t Window::GetDrawAlignment() const {
  return (windowFlags_ & kWindowAlignXMask) | ((windowFlags_ & kWindowAlignYMask) >> 8);
}

void Window::SetFocus() {
  if (World* world = GetWorld()) world->SetFocusWindow(this);
  hasFocus_ = 1;
  if (Window* focused = focusedWidget_.Get()) {
    focused->OnPointerEnter(kNoPointer);
  } else {
    MoveFocus(+1);
  }
}

void Window::GiveWidgetFocus(Window& widget) {
  focusedWidget_.Set(&widget);
  widget.hasFocus_ = 1;
  widget.FireEvent(kEventOnWindowFocus, nullptr);
}

void Window::TakeWidgetFocus(Window& widget) {
  widget.hasFocus_ = 0;
  widget.FireEvent(kEventOnWindowKillFocus, nullptr);
}

void Window::SetFocusChild(Window* widget) {
  if (std::find(widgets_.begin(), widgets_.end(), widget) == widgets_.end()) widget = nullptr;
  if (focusedWidget_ == widget) return;
  if (Window* old = focusedWidget_.Get()) TakeWidgetFocus(*old);
  focusedWidget_.Set(widget);
  if (widget != nullptr) GiveWidgetFocus(*widget);
}

// Only heights count: the nearest widget above (-1) or below (+1) wins, the
// later of equals.
void Window::MoveFocus(int direction) {
  if (widgets_.empty()) return;
  Window* current = focusedWidget_.Get();
  if (current == nullptr) {
    auto first = std::find_if(widgets_.begin(), widgets_.end(),
                              [](const ObjectRef<Window>& w) { return w && w->HasWindowFlag(kWindowDefaultFocus); });
    if (first == widgets_.end()) {
      first = std::find_if(widgets_.begin(), widgets_.end(), [](const ObjectRef<Window>& w) { return bool(w); });
    }
    if (first == widgets_.end()) return;
    GiveWidgetFocus(*first->Get());
    if (Window* focused = focusedWidget_.Get()) focused->OnPointerEnter(kNoPointer);
    return;
  }
  const float currentY = current->GetPositionWS().y;
  float best = kStartScore;
  Window* choice = current;
  for (const ObjectRef<Window>& ref : widgets_) {
    Window* candidate = ref.Get();
    if (candidate == nullptr || candidate == current || !candidate->IsLive()) continue;
    const float dy = candidate->GetPositionWS().y - currentY;
    const float length = std::fabs(dy);
    const float unit = length < 1e-12f ? dy : dy / length;
    const float dot = unit * static_cast<float>(direction);
    if (dot <= 0) continue;
    const float score = (1.1f - (dot + 1.0f) * 0.5f) * 0.01f * (length * 0.001f);
    if (score <= best) {
      best = score;
      choice = candidate;
    }
  }
  if (choice == current) return;
  const ObjectRef<Window> next(choice);
  current->OnPointerLeave(kNoPointer);
  if (Window* old = focusedWidget_.Get()) TakeWidgetFocus(*old);
  focusedWidget_.Reset();
  if (!next) return;
  next->OnPointerEnter(kNoPointer);
  if (next) GiveWidgetFocus(*next.Get());
}

Vector3 Window::LocalPointer(const Vector3& pointer) const {
  if (!HasWindowFlag(kWindowLocalCursorSpace)) return pointer;
  return {localCursorX_, localCursorY_, pointer.z};
}

Window* Window::WidgetAt(const Vector3& pointer) const {
  for (const ObjectRef<Window>& ref : widgets_) {
    Window* widget = ref.Get();
    if (widget != nullptr && widget->IsLive() && widget->ContainsPoint(pointer)) return widget;
  }
  return nullptr;
}

void Window::PointerMoved(const Vector3& screenPoint, const Vector3& movement) {
  OnPointerMove(screenPoint, movement);
}

void Window::InputDown(const Vector3& screenPoint, int code) { OnNavigate(screenPoint, code); }

void Window::InputUp(const Vector3& screenPoint, int code) { OnInput(screenPoint, code); }

// A pointer that crosses straight into another widget leaves the old one
// first, so every Over has its Out.
void Window::OnPointerMove(const Vector3& pointer, const Vector3& delta) {
  if (HasWindowFlag(kWindowLocalCursorSpace)) {
    localCursorX_ = std::clamp(localCursorX_ + delta.x, screenRect_.left, std::max(screenRect_.left, screenRect_.right));
    localCursorY_ = std::clamp(localCursorY_ + delta.y, screenRect_.top, std::max(screenRect_.top, screenRect_.bottom));
  }
  const Vector3 local = LocalPointer(pointer);
  if (Window* focused = focusedWidget_.Get()) focused->OnPointerMove(local, delta);
  Window* hit = WidgetAt(pointer);
  Window* hovered = hoveredWidget_.Get();
  if (hit == hovered) return;
  const ObjectRef<Window> next(hit);
  hoveredWidget_.Reset();
  if (hovered != nullptr) hovered->OnPointerLeave(local);
  if (!next) return;
  hoveredWidget_ = next;
  next->OnPointerEnter(local);
}

void Window::OnPointerEnter(const Vector3&) {}

void Window::OnPointerLeave(const Vector3&) {}

int Window::CanNavigate() { return 1; }

// A focused widget that keeps the focus (CanNavigate 0) gets Up, Down and
// Next itself instead.
void Window::OnNavigate(const Vector3& pointer, int code) {
  const Vector3 local = LocalPointer(pointer);
  Window* focused = focusedWidget_.Get();
  const bool focusMove = code == kWidgetUp || code == kWidgetDown || code == kWidgetNext;
  if (focused != nullptr && focused->CanNavigate() == 0 && focusMove) {
    focused->OnNavigate(local, code);
    return;
  }
  if (code == kWidgetUp) MoveFocus(-1);
  if (code == kWidgetDown || code == kWidgetNext) MoveFocus(+1);
  const bool cursor = CursorActive();
  if (code == kWidgetOk && cursor) {
    if (Window* hit = WidgetAt(pointer)) {
      if (hit == focusedWidget_.Get()) {
        hit->OnNavigate(local, kWidgetOk);
        return;
      }
      const ObjectRef<Window> next(hit);
      if (Window* old = focusedWidget_.Get()) TakeWidgetFocus(*old);
      focusedWidget_.Reset();
      if (next) GiveWidgetFocus(*next.Get());
    }
  }
  focused = focusedWidget_.Get();
  if (focused == nullptr) return;
  if (code == kWidgetOk && (!cursor || focused->ContainsPoint(pointer))) focused->OnNavigate(local, code);
  if (code == kWidgetLeft || code == kWidgetRight) focused->OnNavigate(local, code);
}

void Window::OnInput(const Vector3& pointer, int code) {
  const Vector3 local = LocalPointer(pointer);
  if (const int event = InputEvent(code); event != 0 && !FireEventStillHere(event, nullptr)) return;
  Window* focused = focusedWidget_.Get();
  if (focused == nullptr) return;
  if (!CursorActive() || focused->GetClassId() == kClassSlider || focused->ContainsPoint(pointer)) {
    focused->OnInput(local, WidgetInputCode(code));
  }
}

void Window::Draw() {
  if (!GetActive()) return;
  if (HasFlag(kFlagActionStarted)) {
    if (GetClassId() == kClassWindow && HasFocus()) DrawHighlights();
    DrawBackground();
    DrawText();
  }
  Object::Draw();
}

void Window::DrawHighlights() {
  if (Window* focused = focusedWidget_.Get()) DrawHighlight(*focused, kWindowFocusHilite, 1.0f);
  if (Window* hovered = hoveredWidget_.Get()) DrawHighlight(*hovered, kWindowOverHilite, kHoverHighlightAlpha);
}

void Window::DrawHighlight(Window& widget, std::uint32_t flag, float alpha) {
  EngineServices* services = GetEngineServices();
  UiHooks* hooks = GetUiHooks();
  if (services == nullptr || hooks == nullptr) return;
  if (!widget.HasWindowFlag(flag) || !widget.GetActive() || !widget.IsLive()) return;
  Resource* sprite = hooks->GetHiliteSprite(widget.GetClassId());
  if (sprite == nullptr) return;
  const ScreenRect& rect = widget.screenRect_;
  const Vector3 corner{rect.left - kHighlightBorder, rect.top - kHighlightBorder, widget.GetWorldMatrix().m[14]};
  services->GetRenderQueue().QueueSprite(sprite, corner, rect.right - rect.left + 2 * kHighlightBorder,
                                         rect.bottom - rect.top + 2 * kHighlightBorder, Color{1, 1, 1, alpha},
                                         kSpriteLeftTop);
}

void Window::DrawBackground() {
  EngineServices* services = GetEngineServices();
  const UiHooks* hooks = GetUiHooks();
  if (services == nullptr) return;
  const bool system = HasWindowFlag(kWindowUseSystemSprite);
  Resource* sprite = system ? (hooks ? hooks->GetBgSprite(GetClassId()) : nullptr) : spriteMaterial_.Get();
  if (sprite == nullptr) return;
  Color colour = HasWindowFlag(kWindowUseSystemBackColor) && hooks ? hooks->GetWindowBgColor() : backColor_;
  colour.a *= GetActionValue();
  if (GetClassId() != kClassWindow && !IsEnabled()) colour.a *= kDisabledAlpha;
  const Vector3 corner{screenRect_.left, screenRect_.top, GetWorldMatrix().m[14]};
  services->GetRenderQueue().QueueSprite(sprite, corner, screenRect_.right - screenRect_.left,
                                         screenRect_.bottom - screenRect_.top, colour, kSpriteLeftTop);
}

// Widgets other than buttons show their text as a label left of them.
void Window::DrawText() {
  EngineServices* services = GetEngineServices();
  const UiHooks* hooks = GetUiHooks();
  if (services == nullptr) return;
  Resource* font = HasWindowFlag(kWindowUseSystemFont) ? (hooks ? hooks->GetWindowFont() : nullptr) : font_.Get();
  if (font == nullptr) return;
  Color colour = HasWindowFlag(kWindowUseSystemForeColor) && hooks ? hooks->GetWindowBgColor() : foreColor_;
  colour.a *= GetActionValue();
  if (!IsEnabled()) colour.a *= kDisabledAlpha;
  Vector3 position = textAnchor_;
  std::uint32_t flags = GetDrawAlignment();
  if (GetClassId() != kClassWindow && GetClassId() != kClassButton) {
    position.x = screenRect_.left - layoutScale_.x * kLabelGap;
    flags = (flags & ~0x06u) | kWindowAlignRight;
  }
  services->GetRenderQueue().QueueText(font, text_.c_str(), position, layoutScale_.x, layoutScale_.y, colour,
                                       lineSpace_, letterSpace_, flags);
}

}  // namespace tge

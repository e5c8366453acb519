// Window (class 26): the base of every widget and the top-level window that
// holds the World's input focus. It keeps a screen rectangle laid out from
// size, alignment and margins, a background sprite, one line of text, and
// for a top-level window the widgets registered with it and which of them
// has the focus.
//
// A top-level window (Window or TextDialogWindow) joins its World's window
// list at start; other widgets register with the nearest top-level ancestor.
// The focused, hovered and owner windows and the widget list are weak
// references, so a widget that goes leaves nothing dangling.
//
// Window.cpp holds the commands, life cycle and file record;
// WindowLayout.cpp the layout, focus, input routing and drawing.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "core/math/Color.h"
#include "services/resources/ResourceRef.h"

namespace tge {

class Resource;

// windowFlags bits.
inline constexpr std::uint32_t kWindowAlignXMask = 0xFF;
inline constexpr std::uint32_t kWindowAlignCenterX = 0x04;
inline constexpr std::uint32_t kWindowAlignRight = 0x08;
inline constexpr std::uint32_t kWindowAlignYMask = 0xFF00;
inline constexpr std::uint32_t kWindowAlignCenterY = 0x2000;
inline constexpr std::uint32_t kWindowAlignBottom = 0x4000;
inline constexpr std::uint32_t kWindowUseSystemSprite = 0x20000;
inline constexpr std::uint32_t kWindowUseSystemBackColor = 0x40000;
inline constexpr std::uint32_t kWindowUseSystemForeColor = 0x80000;
inline constexpr std::uint32_t kWindowUseSystemFont = 0x100000;
inline constexpr std::uint32_t kWindowAdjustSize = 0x200000;
inline constexpr std::uint32_t kWindowEnable = 0x400000;
inline constexpr std::uint32_t kWindowDefaultFocus = 0x800000;
inline constexpr std::uint32_t kWindowTextTranslation = 0x1000000;
inline constexpr std::uint32_t kWindowAlignToScreen = 0x4000000;
inline constexpr std::uint32_t kWindowLocalCursorSpace = 0x8000000;
inline constexpr std::uint32_t kWindowTextWordWrap = 0x10000000;
inline constexpr std::uint32_t kWindowFocusHilite = 0x20000000;
inline constexpr std::uint32_t kWindowOverHilite = 0x40000000;
inline constexpr std::uint32_t kDefaultWindowFlags = kWindowEnable | kWindowTextTranslation;

// Widget input codes: pad buttons 8 to 17, then these.
inline constexpr int kWidgetFirstPadButton = 8;
inline constexpr int kWidgetLastPadButton = 17;
inline constexpr int kWidgetOk = 46;
inline constexpr int kWidgetCancel = 47;
inline constexpr int kWidgetUp = 48;
inline constexpr int kWidgetDown = 49;
inline constexpr int kWidgetLeft = 50;
inline constexpr int kWidgetRight = 51;
inline constexpr int kWidgetNext = 52;
inline constexpr int kWidgetPadCircle = 15;
inline constexpr int kWidgetPadCross = 16;

// What a released input means to a widget: the pad's Cross is Ok and its
// Circle Cancel, so a pad presses buttons, ticks boxes and plays
// conversations; the window still raises its pad-button event first.
constexpr int WidgetInputCode(int code) {
  if (code == kWidgetPadCross) return kWidgetOk;
  return code == kWidgetPadCircle ? kWidgetCancel : code;
}

// Window events.
inline constexpr int kEventOnWindowFocus = 6559;
inline constexpr int kEventOnWindowKillFocus = 6560;

// Sprite quads anchored at their left top corner.
inline constexpr std::uint32_t kSpriteLeftTop = 0x12;

struct ScreenRect {
  float left = 0;
  float top = 0;
  float right = 0;
  float bottom = 0;
};

class Window : public Object {
 public:
  static std::span<const CommandEntry<Window>> Commands();
  static const CommandEntry<Window> kCommands[];

  Window();
  ~Window() override;
  // A retired window leaves its owner's widgets and its World's windows.
  void Retire() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  // A copy loads its own resources and starts outside any focus: no
  // widgets, focused or hovered widget, owner or focus of its own.
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  void Precalculate() override;
  void InvalidateWorldTransform() override;
  std::uint32_t GetWindowFlags() const override { return windowFlags_; }
  void DropWindowFocus() override { hasFocus_ = 0; }
  // The frame step's focus input, handed to the routing operations below.
  void PointerMoved(const Vector3& screenPoint, const Vector3& movement) final;
  void InputDown(const Vector3& screenPoint, int code) final;
  void InputUp(const Vector3& screenPoint, int code) final;

  // Routing on a top-level window; each widget type overrides the hooks it
  // needs.
  virtual void OnPointerMove(const Vector3& pointer, const Vector3& delta);
  virtual void OnPointerEnter(const Vector3& pointer);
  virtual void OnPointerLeave(const Vector3& pointer);
  virtual void OnNavigate(const Vector3& pointer, int code);
  virtual void OnInput(const Vector3& pointer, int code);
  virtual int CanNavigate();

  const std::string& GetText() const { return text_; }
  void SetText(const std::string& text) { text_ = text; }
  float GetWidth() const { return width_; }
  void SetWidth(float width);
  float GetHeight() const { return height_; }
  void SetSpriteFromResource(Resource* resource);
  Resource* GetSpriteMaterial() const { return spriteMaterial_.Get(); }
  Resource* GetFont() const { return font_.Get(); }
  const Color& GetBackColor() const { return backColor_; }
  const Color& GetForeColor() const { return foreColor_; }
  bool HasWindowFlag(std::uint32_t bits) const { return (windowFlags_ & bits) == bits; }
  bool IsEnabled() const { return HasWindowFlag(kWindowEnable); }
  bool HasFocus() const { return hasFocus_ != 0; }
  // Window and TextDialogWindow: the windows that hold widgets and focus.
  bool IsTopLevel() const;

  void AddWidget(Window& widget);
  void RemoveWidget(Window& widget);
  Window* GetFocusedWidget() const { return focusedWidget_.Get(); }
  Window* GetHoveredWidget() const { return hoveredWidget_.Get(); }
  Window* GetOwnerWindow() const { return ownerWindow_.Get(); }
  std::size_t GetWidgetCount() const { return widgets_.size(); }

  void UpdateLayout();
  // Strictly inside the screen rectangle; z is ignored.
  bool ContainsPoint(const Vector3& pointer) const;
  const ScreenRect& GetScreenRect() const { return screenRect_; }
  const Vector3& GetTextAnchor() const { return textAnchor_; }
  void SetFocus();
  void SetFocusChild(Window* widget);
  void MoveFocus(int direction);

 protected:
  // Widget types construct the Window part with their own class id.
  explicit Window(int classId);
  // Registers with the nearest ancestor that is a top-level window.
  void JoinOwnerWindow();
  // Alignment bits as the render queue's text and sprite flags take them.
  std::uint32_t GetDrawAlignment() const;
  void SetWindowFlag(std::uint32_t bits, bool on) { windowFlags_ = on ? windowFlags_ | bits : windowFlags_ & ~bits; }
  // A property that runs a Window command of this object.
  template <std::uint32_t WindowId>
  int ForwardCommand(CommandArgs args) {
    return ExecuteCommand(WindowId, args.Data());
  }
  // Acquires the font named by fontName unless one is held.
  void AcquireFontByName();
  // A widget that may take input: enabled and its action started.
  bool IsLive() const { return IsEnabled() && HasFlag(kFlagActionStarted); }

  std::string text_;
  float width_ = 256.0f;
  float height_ = 256.0f;
  std::string spriteName_;
  ResourceRef spriteMaterial_;
  std::string fontName_;
  ResourceRef font_;
  float lineSpace_ = 0;
  float letterSpace_ = 0;
  Color backColor_{1, 1, 1, 1};
  Color foreColor_{1, 1, 1, 1};
  std::uint32_t windowFlags_ = kDefaultWindowFlags;
  Vector3 layoutScale_;

 private:
  void LeaveOwners();
  template <auto Field>
  int SetLayoutField(CommandArgs args);
  int SetTextCommand(CommandArgs args);
  int SetStyleCommand(CommandArgs args);
  int SetAlignXCommand(CommandArgs args);
  int GetAlignXCommand(CommandArgs args);
  int SetAlignYCommand(CommandArgs args);
  int GetAlignYCommand(CommandArgs args);
  int SetFullscreenCommand(CommandArgs args);
  int SetAdjustSizeCommand(CommandArgs args);
  int SetSpriteCommand(CommandArgs args);
  int SetFontCommand(CommandArgs args);
  int SetWindowFocusCommand(CommandArgs args);
  void CollectResources(void* set);
  void StopAction();
  void InitializeNewWindow();
  void ApplyScreenScale();

  // WindowLayout.cpp.
  void PlaceOnScreen();
  Vector3 LocalPointer(const Vector3& pointer) const;
  // The first live widget whose rectangle holds the pointer.
  Window* WidgetAt(const Vector3& pointer) const;
  void GiveWidgetFocus(Window& widget);
  void TakeWidgetFocus(Window& widget);
  void DrawHighlights();
  void DrawHighlight(Window& widget, std::uint32_t flag, float alpha);
  void DrawBackground();
  void DrawText();

  std::int32_t style_ = 0;
  std::int32_t reserved_ = 0;
  float marginX_ = 0;
  float marginY_ = 0;
  std::vector<ObjectRef<Window>> widgets_;
  ObjectRef<Window> focusedWidget_;
  ObjectRef<Window> hoveredWidget_;
  ObjectRef<Window> ownerWindow_;
  std::string customCursorName_;
  ResourceRef customCursorMaterial_;
  float localCursorX_ = 0;
  float localCursorY_ = 0;
  float textMarginX_ = 0;
  float textMarginY_ = 0;
  std::int32_t hasFocus_ = 0;
  ScreenRect screenRect_;
  Vector3 layoutOrigin_;
  Vector3 textAnchor_;
};

void RegisterWindowCommands();

}  // namespace tge

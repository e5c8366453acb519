// Window's command table, life cycle and file record.
#include "objects/ui/widgets/Window.h"

#include <algorithm>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/World.h"
#include "core/files/SerializeStream.h"
#include "objects/ui/UiHooks.h"
#include "services/EngineServices.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr auto E = CommandKind::kEvent;

constexpr std::uint32_t kCommandWindowAdjustSize = 6528;
constexpr std::uint32_t kCommandWindowSprite = 6542;

constexpr std::uint32_t kFirstVersionWithNames = 31;
constexpr std::uint32_t kFirstVersionWithForeColor = 47;
constexpr std::uint32_t kFirstVersionWithTextLayout = 50;
constexpr std::uint32_t kFirstVersionWithMargins = 52;

// Acquires the named resource into ref unless it holds one or the name is
// empty.
void AcquireByName(ResourceRef& ref, const std::string& name, int type) {
  EngineServices* services = GetEngineServices();
  if (ref || name.empty() || services == nullptr) return;
  ref = services->GetResources().AcquireResource(name, type);
}

void Reacquire(ResourceRef& ref, const std::string& name, int type) {
  ref.Reset();
  AcquireByName(ref, name, type);
}

// Alignment bits back to 0, 1, 2: the centre bit first.
std::uint32_t AlignmentValue(std::uint32_t bits, std::uint32_t centre, std::uint32_t far) {
  if (bits & centre) return 1;
  return (bits & far) ? 2 : 0;
}

}  // namespace

// clang-format off
using W = Window;
constexpr CommandEntry<Window> Window::kCommands[] = {
    {6500, "WindowText", P, 0, {kValueString}, Member<&W::SetTextCommand>, FieldGetter<&W::text_>},
    {6502, "WindowEnableTextTranslation", P, 0, {kValueBool}, FlagSetter<&W::windowFlags_, kWindowTextTranslation>, FlagGetter<&W::windowFlags_, kWindowTextTranslation>},
    {6504, "WindowStyle", P, 0, {kValueInt}, Member<&W::SetStyleCommand>, FieldGetter<&W::style_>},
    {6506, "WindowWidth", P, 0, {kValueFloat}, Member<&W::SetLayoutField<&W::width_>>, FieldGetter<&W::width_>},
    {6508, "WindowHeight", P, 0, {kValueFloat}, Member<&W::SetLayoutField<&W::height_>>, FieldGetter<&W::height_>},
    {6510, "WindowAlignX", P, 0, {kValueDword}, Member<&W::SetAlignXCommand>, Member<&W::GetAlignXCommand>},
    {6512, "WindowAlignY", P, 0, {kValueDword}, Member<&W::SetAlignYCommand>, Member<&W::GetAlignYCommand>},
    {6514, "WindowMarginX", P, 0, {kValueFloat}, Member<&W::SetLayoutField<&W::marginX_>>, FieldGetter<&W::marginX_>},
    {6516, "WindowMarginY", P, 0, {kValueFloat}, Member<&W::SetLayoutField<&W::marginY_>>, FieldGetter<&W::marginY_>},
    {6518, "WindowFullscreen", P, 0, {kValueBool}, Member<&W::SetFullscreenCommand>, FlagGetter<&W::windowFlags_, kWindowFullscreen>},
    {6520, "WindowUseSystemSprite", P, 0, {kValueBool}, FlagSetter<&W::windowFlags_, kWindowUseSystemSprite>, FlagGetter<&W::windowFlags_, kWindowUseSystemSprite>},
    {6522, "WindowUseSystemBackColor", P, 0, {kValueBool}, FlagSetter<&W::windowFlags_, kWindowUseSystemBackColor>, FlagGetter<&W::windowFlags_, kWindowUseSystemBackColor>},
    {6524, "WindowUseSystemForeColor", P, 0, {kValueBool}, FlagSetter<&W::windowFlags_, kWindowUseSystemForeColor>, FlagGetter<&W::windowFlags_, kWindowUseSystemForeColor>},
    {6526, "WindowUseSystemFont", P, 0, {kValueBool}, FlagSetter<&W::windowFlags_, kWindowUseSystemFont>, FlagGetter<&W::windowFlags_, kWindowUseSystemFont>},
    {6528, "WindowAdjustSize", P, 0, {kValueBool}, Member<&W::SetAdjustSizeCommand>, FlagGetter<&W::windowFlags_, kWindowAdjustSize>},
    {6530, "WindowEnable", P, 0, {kValueBool}, FlagSetter<&W::windowFlags_, kWindowEnable>, FlagGetter<&W::windowFlags_, kWindowEnable>},
    {6532, "WindowDefaultFocus", P, 0, {kValueBool}, FlagSetter<&W::windowFlags_, kWindowDefaultFocus>, FlagGetter<&W::windowFlags_, kWindowDefaultFocus>},
    {6534, "WindowAlignToScreen", P, 0, {kValueBool}, FlagSetter<&W::windowFlags_, kWindowAlignToScreen>, FlagGetter<&W::windowFlags_, kWindowAlignToScreen>},
    {6536, "WindowMainWindow", P, 0, {kValueBool}, FlagSetter<&W::windowFlags_, kWindowMainWindow>, FlagGetter<&W::windowFlags_, kWindowMainWindow>},
    {6538, "WindowCustomCursor", P, 0, {kValueString}, FieldSetter<&W::customCursorName_>, FieldGetter<&W::customCursorName_>},
    {6540, "WindowLocalCursorSpace", P, 0, {kValueBool}, FlagSetter<&W::windowFlags_, kWindowLocalCursorSpace>, FlagGetter<&W::windowFlags_, kWindowLocalCursorSpace>},
    {6542, "WindowSprite", P, 0, {kValueString}, Member<&W::SetSpriteCommand>, FieldGetter<&W::spriteName_>},
    {6544, "WindowFont", P, 0, {kValueString}, Member<&W::SetFontCommand>, FieldGetter<&W::fontName_>},
    {6546, "WindowLineSpace", P, 0, {kValueFloat}, FieldSetter<&W::lineSpace_>, FieldGetter<&W::lineSpace_>},
    {6548, "WindowLetterSpace", P, 0, {kValueFloat}, FieldSetter<&W::letterSpace_>, FieldGetter<&W::letterSpace_>},
    {6550, "WindowTextMarginX", P, 0, {kValueFloat}, Member<&W::SetLayoutField<&W::textMarginX_>>, FieldGetter<&W::textMarginX_>},
    {6552, "WindowTextMarginY", P, 0, {kValueFloat}, Member<&W::SetLayoutField<&W::textMarginY_>>, FieldGetter<&W::textMarginY_>},
    {6554, "WindowBackColor", P, 0, {kValueColor}, FieldSetter<&W::backColor_>, FieldGetter<&W::backColor_>},
    {6556, "WindowForeColor", P, 0, {kValueColor}, FieldSetter<&W::foreColor_>, FieldGetter<&W::foreColor_>},
    {6558, "SetWindowFocus", C, 0, {}, Member<&W::SetWindowFocusCommand>},
    {6559, "OnWindowFocus", E, 0, {}},
    {6560, "OnWindowKillFocus", E, 0, {}},
    {6561, "OnWindowInputOk", E, 0, {}},
    {6562, "OnWindowInputCancel", E, 0, {}},
    {6563, "OnWindowInputLeft", E, 0, {}},
    {6564, "OnWindowInputRight", E, 0, {}},
    {6565, "OnWindowInputUp", E, 0, {}},
    {6566, "OnWindowInputDown", E, 0, {}},
    {6567, "OnWindowInputButtonStart", E, 0, {}},
    {6568, "OnWindowInputButtonSelect", E, 0, {}},
    {6569, "OnWindowInputButtonL1", E, 0, {}},
    {6570, "OnWindowInputButtonL2", E, 0, {}},
    {6571, "OnWindowInputButtonR1", E, 0, {}},
    {6572, "OnWindowInputButtonR2", E, 0, {}},
    {6573, "OnWindowInputButtonTriangle", E, 0, {}},
    {6574, "OnWindowInputButtonCircle", E, 0, {}},
    {6575, "OnWindowInputButtonCross", E, 0, {}},
    {6576, "OnWindowInputButtonSquare", E, 0, {}},
};

std::span<const CommandEntry<Window>> Window::Commands() { return kCommands; }
// clang-format on

Window::Window() : Object(kClassWindow) {}

Window::Window(int classId) : Object(classId) {}

Window::~Window() { LeaveOwners(); }

void Window::Retire() {
  LeaveOwners();
  Object::Retire();
}

// A retired window has left both lists already and has no World.
void Window::LeaveOwners() {
  if (Window* owner = ownerWindow_.Get()) owner->RemoveWidget(*this);
  ownerWindow_.Reset();
  if (IsTopLevel()) {
    if (World* world = GetWorld()) world->RemoveWindow(*this);
  }
}

bool Window::IsTopLevel() const {
  return GetClassId() == kClassWindow || GetClassId() == kClassTextDialogWindow;
}

int Window::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Window> handlers(kClassWindow, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandCollectResources && args != nullptr) {
    CollectResources(args);
  } else if (id == kCommandActionStopPost) {
    StopAction();
  } else if (id == kCommandInitializeNewObject) {
    InitializeNewWindow();
  }
  return Object::ExecuteCommand(id, args);
}

template <auto Field>
int Window::SetLayoutField(CommandArgs args) {
  FieldSetter<Field>(*this, args);
  UpdateLayout();
  return 1;
}

int Window::SetTextCommand(CommandArgs args) {
  SetText(args.AsString());
  return 1;
}

// The size presets; other codes are only stored.
int Window::SetStyleCommand(CommandArgs args) {
  style_ = args.Get<std::int32_t>();
  if (style_ >= 1 && style_ <= 3) {
    width_ = 800.0f;
    height_ = 600.0f;
  } else if (style_ >= 10 && style_ <= 12) {
    width_ = 400.0f;
    height_ = 300.0f;
  }
  return 1;
}

// A value past 6 shifts its bit out of the byte: no alignment at all.
int Window::SetAlignXCommand(CommandArgs args) {
  const std::uint32_t value = args.Get<std::uint32_t>();
  const std::uint32_t bit = value < 7 ? (1u << (value + 1)) : 0;
  windowFlags_ = (windowFlags_ & ~kWindowAlignXMask) | (bit & kWindowAlignXMask);
  UpdateLayout();
  return 1;
}

int Window::GetAlignXCommand(CommandArgs args) {
  args.Set(AlignmentValue(windowFlags_, kWindowAlignCenterX, kWindowAlignRight));
  return 1;
}

int Window::SetAlignYCommand(CommandArgs args) {
  const std::uint32_t value = args.Get<std::uint32_t>();
  const std::uint32_t bit = value < 4 ? (1u << (value + 4)) << 8 : 0;
  windowFlags_ = (windowFlags_ & ~kWindowAlignYMask) | (bit & kWindowAlignYMask);
  UpdateLayout();
  return 1;
}

int Window::GetAlignYCommand(CommandArgs args) {
  args.Set(AlignmentValue(windowFlags_, kWindowAlignCenterY, kWindowAlignBottom));
  return 1;
}

// Goes through the window's own handler so a widget's override sees the
// size switch.
int Window::SetFullscreenCommand(CommandArgs args) {
  const bool on = args.Get<std::int32_t>() != 0;
  SetWindowFlag(kWindowFullscreen, on);
  width_ = on ? 800.0f : 300.0f;
  height_ = on ? 600.0f : 200.0f;
  SetWindowFlag(kWindowMainWindow | kWindowAdjustSize, on);
  std::int32_t adjust = on ? 1 : 0;
  ExecuteCommand(kCommandWindowAdjustSize, &adjust);
  return 1;
}

int Window::SetAdjustSizeCommand(CommandArgs args) {
  SetWindowFlag(kWindowAdjustSize, args.Get<std::int32_t>() != 0);
  if (HasWindowFlag(kWindowAdjustSize)) {
    ApplyScreenScale();
  } else {
    SetScale({1, 1, 1}, true);
  }
  UpdateLayout();
  return 1;
}

void Window::ApplyScreenScale() {
  const UiHooks* hooks = GetUiHooks();
  const float sx = hooks ? hooks->GetScreenScaleX() : 1.0f;
  const float sy = hooks ? hooks->GetScreenScaleY() : 1.0f;
  SetScale({sx, sy, 1.0f}, true);
}

int Window::SetSpriteCommand(CommandArgs args) {
  spriteName_ = args.AsString();
  Reacquire(spriteMaterial_, spriteName_, kMaterialResource);
  return 1;
}

int Window::SetFontCommand(CommandArgs args) {
  fontName_ = args.AsString();
  Reacquire(font_, fontName_, kFontResource);
  return 1;
}

void Window::AcquireFontByName() { AcquireByName(font_, fontName_, kFontResource); }

void Window::SetWidth(float width) {
  width_ = width;
  UpdateLayout();
}

void Window::SetSpriteFromResource(Resource* resource) {
  std::string name = resource ? resource->GetName() : std::string();
  ExecuteCommand(kCommandWindowSprite, &name);
}

int Window::SetWindowFocusCommand(CommandArgs) {
  if (!IsEnabled()) return 1;
  if (IsTopLevel()) {
    SetFocus();
  } else if (Window* owner = ownerWindow_.Get()) {
    owner->SetFocusChild(this);
  }
  return 1;
}

void Window::CollectResources(void* set) {
  auto& resources = *static_cast<ResourceSet*>(set);
  AcquireByName(customCursorMaterial_, customCursorName_, kMaterialResource);
  AcquireByName(spriteMaterial_, spriteName_, kMaterialResource);
  AcquireByName(font_, fontName_, kFontResource);
  resources.AddToResourceSet(customCursorMaterial_.Get());
  resources.AddToResourceSet(spriteMaterial_.Get());
  resources.AddToResourceSet(font_.Get());
}

void Window::StopAction() {
  if (IsTopLevel()) {
    if (World* world = GetWorld(); world != nullptr && world->GetFocusWindow() == this) {
      world->SetFocusWindow(nullptr);
    }
  }
  if (Window* focused = focusedWidget_.Get()) focused->OnPointerLeave({0, 0, 0});
}

void Window::InitializeNewWindow() {
  SetInheritOrientation(false);
  SetPosition({0, 0, 1.0f}, true);
}

void Window::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  customCursorMaterial_.Reset();
  spriteMaterial_.Reset();
  font_.Reset();
  widgets_.clear();
  focusedWidget_.Reset();
  hoveredWidget_.Reset();
  ownerWindow_.Reset();
  hasFocus_ = 0;
}

void Window::Precalculate() {
  if (IsTopLevel()) {
    if (World* world = GetWorld()) world->AddWindow(*this);
  }
  if (HasWindowFlag(kWindowTextTranslation) && !text_.empty()) {
    if (const EngineServices* services = GetEngineServices()) text_ = services->GetText(text_);
  }
  if (HasWindowFlag(kWindowAdjustSize)) ApplyScreenScale();
  UpdateLayout();
  Object::Precalculate();
}

void Window::JoinOwnerWindow() {
  for (Object* up = GetParent(); up != nullptr; up = up->GetParent()) {
    if (up->GetClassId() == kClassWindow || up->GetClassId() == kClassTextDialogWindow) {
      static_cast<Window*>(up)->AddWidget(*this);
      return;
    }
  }
}

void Window::AddWidget(Window& widget) {
  if (std::find(widgets_.begin(), widgets_.end(), &widget) != widgets_.end()) return;
  widget.ownerWindow_.Set(this);
  widgets_.emplace_back(&widget);
}

void Window::RemoveWidget(Window& widget) {
  const auto it = std::find(widgets_.begin(), widgets_.end(), &widget);
  if (it != widgets_.end()) widgets_.erase(it);
}

// The margins sit before the names although a later version added them.
bool Window::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const auto version = static_cast<std::uint32_t>(stream.GetVersion());
  if (version >= 1) {
    stream.Serialize(windowFlags_);
    stream.SerializeString(text_);
    stream.Serialize(reserved_);
    stream.Serialize(style_);
    stream.Serialize(width_);
    stream.Serialize(height_);
  }
  if (version >= kFirstVersionWithMargins) {
    stream.Serialize(marginX_);
    stream.Serialize(marginY_);
  }
  if (version >= kFirstVersionWithNames) {
    stream.SerializeString(customCursorName_);
    stream.SerializeString(spriteName_);
    stream.SerializeString(fontName_);
    stream.Serialize(backColor_);
  }
  if (version >= kFirstVersionWithForeColor) stream.Serialize(foreColor_);
  if (version >= kFirstVersionWithTextLayout) {
    stream.Serialize(lineSpace_);
    stream.Serialize(letterSpace_);
    stream.Serialize(textMarginX_);
    stream.Serialize(textMarginY_);
  }
  return !stream.Failed();
}

void RegisterWindowCommands() {
  RegisterCommandTable<Window>(BuildCommandRegistry(), kClassWindow, Window::Commands());
  GetObjectFactory().RegisterType<Window>(kClassWindow);
}

}  // namespace tge

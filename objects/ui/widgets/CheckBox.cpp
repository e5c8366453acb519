// CheckBox's command table, input hooks, drawing and file record.
#include "objects/ui/widgets/CheckBox.h"

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandAccessors.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "objects/ui/UiHooks.h"
#include "objects/ui/widgets/Button.h"
#include "objects/ui/widgets/WidgetSupport.h"
#include "services/EngineServices.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto E = CommandKind::kEvent;


}  // namespace

// clang-format off
using C = CheckBox;
constexpr CommandEntry<CheckBox> CheckBox::kCommands[] = {
    {18250, "CheckBoxChecked", P, 0, {kValueDword}, FlagSetter<&C::checkBoxFlags_, kChecked>, FlagGetter<&C::checkBoxFlags_, kChecked>},
    {18252, "UseStandardCheckBoxCheckedSprite", P, 0, {kValueDword}, Member<&C::SetStandardSpriteCommand>, FlagGetter<&C::checkBoxFlags_, kStandardSprite>},
    {18254, "CheckBoxCheckedSprite", P, 0, {kValueString}, Member<&C::SetCheckedSpriteCommand>, FieldGetter<&C::checkedSpriteName_>},
    {18256, "CheckBoxCheckedDimension", P, 0, {kValueVector3}, FieldSetter<&C::checkedDimension_>, FieldGetter<&C::checkedDimension_>},
    {18258, "UseStandardCheckBoxFocusHilite", P, 0, {kValueBool}, FlagSetter<&C::windowFlags_, kWindowFocusHilite>, FlagGetter<&C::windowFlags_, kWindowFocusHilite>},
    {18260, "UseStandardCheckBoxOverHilite", P, 0, {kValueBool}, FlagSetter<&C::windowFlags_, kWindowOverHilite>, FlagGetter<&C::windowFlags_, kWindowOverHilite>},
    {18262, "UseStandardCheckBoxHiliteSound", P, 0, {kValueBool}, FlagSetter<&C::checkBoxFlags_, kHiliteSound>, FlagGetter<&C::checkBoxFlags_, kHiliteSound>},
    {18264, "UseStandardCheckBoxActionSound", P, 0, {kValueBool}, FlagSetter<&C::checkBoxFlags_, kActionSound>, FlagGetter<&C::checkBoxFlags_, kActionSound>},
    {kEventOnCheckBoxChecked, "OnCheckBoxChecked", E, 0, {}},
    {kEventOnCheckBoxUnchecked, "OnCheckBoxUnchecked", E, 0, {}},
};

std::span<const CommandEntry<CheckBox>> CheckBox::Commands() { return kCommands; }
// clang-format on

CheckBox::CheckBox() : Window(kClassCheckBox) { SetWindowFlag(kWindowFocusHilite | kWindowOverHilite, true); }

int CheckBox::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<CheckBox> handlers(kClassCheckBox, {kCommands}, BlockRule::kEvery);
  handlers.Run(*this, id, args);
  if (id == kCommandCollectResources && args != nullptr) {
    CollectNamed(checkedSprite_, checkedSpriteName_, kMaterialResource, *static_cast<ResourceSet*>(args));
  }
  return Window::ExecuteCommand(id, args);
}

int CheckBox::SetStandardSpriteCommand(CommandArgs args) {
  StoreFlagArgument(checkBoxFlags_, kStandardSprite, args);
  if (checkBoxFlags_ & kStandardSprite) checkedSpriteName_.clear();
  return 1;
}

int CheckBox::SetCheckedSpriteCommand(CommandArgs args) {
  checkedSpriteName_ = args.AsString();
  ReacquireByName(checkedSprite_, checkedSpriteName_, kMaterialResource);
  return 1;
}

void CheckBox::Precalculate() {
  JoinOwnerWindow();
  Window::Precalculate();
}

void CheckBox::OnPointerEnter(const Vector3&) {
  if (!IsLive()) return;
  FireEvent(kEventOnInputOver, nullptr);
  checkBoxFlags_ |= kPointerOver;
}

void CheckBox::OnPointerLeave(const Vector3&) {
  if (!IsLive()) return;
  FireEvent(kEventOnInputOut, nullptr);
  checkBoxFlags_ &= ~kPointerOver;
}

void CheckBox::OnNavigate(const Vector3&, int code) {
  if (IsLive() && code == kWidgetOk) FireEvent(kEventOnInputDown, nullptr);
}

void CheckBox::OnInput(const Vector3&, int code) {
  if (!IsLive() || code != kWidgetOk) return;
  const bool wasChecked = IsChecked();
  checkBoxFlags_ ^= kChecked;
  if (!FireEventStillHere(wasChecked ? kEventOnCheckBoxUnchecked : kEventOnCheckBoxChecked, nullptr)) return;
  if (checkBoxFlags_ & kActionSound) StartSkinActionSound();
  FireEvent(kEventOnInputUp, nullptr);
}

// A disabled box still shows its mark, dimmed.
void CheckBox::Draw() {
  if (!GetActive()) return;
  EngineServices* services = GetEngineServices();
  UiHooks* hooks = GetUiHooks();
  const bool standard = (checkBoxFlags_ & kStandardSprite) != 0;
  Resource* sprite = standard ? (hooks ? hooks->GetCheckBoxCheckedSprite() : nullptr) : checkedSprite_.Get();
  if (services != nullptr && sprite != nullptr && IsChecked() && HasFlag(kFlagActionStarted)) {
    const ScreenRect& rect = GetScreenRect();
    const Vector3 corner{rect.left, rect.top, GetWorldMatrix().m[14] + checkedDimension_.z};
    services->GetRenderQueue().QueueSprite(sprite, corner, checkedDimension_.x * layoutScale_.x,
                                           checkedDimension_.y * layoutScale_.y,
                                           DecorationColour(IsEnabled(), GetActionValue()), kSpriteLeftTop);
  }
  Window::Draw();
}

// The pointer-over bit is run-time state: never kept in a file.
bool CheckBox::Serialize(SerializeStream& stream) {
  if (!Window::Serialize(stream)) return false;
  if (stream.GetVersion() >= 1) {
    stream.Serialize(checkBoxFlags_);
    stream.SerializeString(checkedSpriteName_);
    stream.Serialize(checkedDimension_);
  }
  checkBoxFlags_ &= ~kPointerOver;
  return !stream.Failed();
}

void RegisterCheckBoxCommands() {
  RegisterCommandTable<CheckBox>(BuildCommandRegistry(), kClassCheckBox, CheckBox::Commands());
  GetObjectFactory().RegisterType<CheckBox>(kClassCheckBox);
}

}  // namespace tge

// Button's command table, input hooks and file record.
#include "objects/ui/widgets/Button.h"

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "objects/ui/UiHooks.h"
#include "services/EngineServices.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;

}  // namespace

// clang-format off
using B = Button;
constexpr CommandEntry<Button> Button::kCommands[] = {
    {7250, "UseStandardButtonFocusHilite", P, 0, {kValueBool}, FlagSetter<&B::windowFlags_, kWindowFocusHilite>, FlagGetter<&B::windowFlags_, kWindowFocusHilite>},
    {7252, "UseStandardButtonOverHilite", P, 0, {kValueBool}, FlagSetter<&B::windowFlags_, kWindowOverHilite>, FlagGetter<&B::windowFlags_, kWindowOverHilite>},
    {7254, "UseStandardButtonHiliteSound", P, 0, {kValueBool}, FlagSetter<&B::buttonFlags_, kHiliteSound>, FlagGetter<&B::buttonFlags_, kHiliteSound>},
    {7256, "UseStandardButtonActionSound", P, 0, {kValueBool}, FlagSetter<&B::buttonFlags_, kActionSound>, FlagGetter<&B::buttonFlags_, kActionSound>},
};

std::span<const CommandEntry<Button>> Button::Commands() { return kCommands; }
// clang-format on

Button::Button() : Window(kClassButton) {
  SetWindowFlag(kWindowFocusHilite | kWindowOverHilite, true);
}

int Button::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Button> handlers(kClassButton, {kCommands}, BlockRule::kEvery);
  handlers.Run(*this, id, args);
  return Window::ExecuteCommand(id, args);
}

void Button::Draw() {
  if (GetActive()) Window::Draw();
}

void Button::Precalculate() {
  JoinOwnerWindow();
  Window::Precalculate();
}

// Entering again restarts the sound from its start.
void Button::OnPointerEnter(const Vector3&) {
  if (!IsLive() || !FireEventStillHere(kEventOnInputOver, nullptr)) return;
  EngineServices* services = GetEngineServices();
  const UiHooks* hooks = GetUiHooks();
  if ((buttonFlags_ & kHiliteSound) && services != nullptr && hooks != nullptr) {
    Resource* sound = hooks->GetButtonHiliteSound();
    services->StopSound(sound);
    services->StartSound(sound, 0);
  }
  buttonFlags_ |= kPointerOver;
}

void Button::OnPointerLeave(const Vector3&) {
  if (!IsLive()) return;
  FireEvent(kEventOnInputOut, nullptr);
  buttonFlags_ &= ~kPointerOver;
}

void Button::OnNavigate(const Vector3&, int code) {
  if (!IsLive() || code != kWidgetOk || !FireEventStillHere(kEventOnInputDown, nullptr)) return;
  EngineServices* services = GetEngineServices();
  const UiHooks* hooks = GetUiHooks();
  if ((buttonFlags_ & kActionSound) && services != nullptr && hooks != nullptr) {
    services->StartSound(hooks->GetButtonActionSound(), 0);
  }
}

void Button::OnInput(const Vector3&, int code) {
  if (IsLive() && code == kWidgetOk) FireEvent(kEventOnInputUp, nullptr);
}

// The pointer-over bit is run-time state: never kept in a file.
bool Button::Serialize(SerializeStream& stream) {
  if (!Window::Serialize(stream)) return false;
  if (stream.GetVersion() >= 1) stream.Serialize(buttonFlags_);
  buttonFlags_ &= ~kPointerOver;
  return !stream.Failed();
}

void RegisterButtonCommands() {
  RegisterCommandTable<Button>(BuildCommandRegistry(), kClassButton, Button::Commands());
  GetObjectFactory().RegisterType<Button>(kClassButton);
}

}  // namespace tge

// TextDialog's command table, its action start and stop, and file record.
#include "objects/ui/widgets/TextDialog.h"

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandAccessors.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "objects/ui/widgets/TextDialogWindow.h"
#include "services/EngineServices.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto E = CommandKind::kEvent;

}  // namespace

// clang-format off
using D = TextDialog;
constexpr CommandEntry<TextDialog> TextDialog::kCommands[] = {
    {20750, "TextDialogDialog", P, 0, {kValueString}, Member<&D::SetDialogCommand>, Member<&D::GetDialogCommand>},
    {20752, "TextDialogUseGlobalDialogWindow", P, 0, {kValueBool}, Member<&D::SetUseGlobalCommand>, Member<&D::GetUseGlobalCommand>},
    {kEventOnTextDialogEnd, "OnTextDialogEnd", E, 0, {}},
    {kEventOnTextDialogCancel, "OnTextDialogCancel", E, 0, {}},
};

std::span<const CommandEntry<TextDialog>> TextDialog::Commands() { return kCommands; }
// clang-format on

TextDialog::TextDialog() : Object(kClassTextDialog) {}

int TextDialog::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<TextDialog> handlers(kClassTextDialog, {kCommands}, BlockRule::kEvery);
  handlers.Run(*this, id, args);
  if (id == kCommandActionStartStep) {
    StartInGlobalWindow();
  } else if (id == kCommandActionStopStep || id == kCommandActionKillStep) {
    StopInGlobalWindow();
  }
  return Object::ExecuteCommand(id, args);
}

int TextDialog::SetDialogCommand(CommandArgs args) { return StoreArgument(dialogPath_, args); }

int TextDialog::GetDialogCommand(CommandArgs args) { return LoadArgument(dialogPath_, args); }

int TextDialog::SetUseGlobalCommand(CommandArgs args) { return StoreFlagArgument(dialogFlags_, kUseGlobalWindow, args); }

int TextDialog::GetUseGlobalCommand(CommandArgs args) { return LoadFlagArgument(dialogFlags_, kUseGlobalWindow, args); }

const TextNode* TextDialog::FindEntry() const {
  const EngineServices* services = GetEngineServices();
  if (services == nullptr || dialogPath_.empty()) return nullptr;
  return services->FindTextEntry(dialogPath_);
}

void TextDialog::StartInGlobalWindow() {
  TextDialogWindow* window = GetGlobalDialogWindow();
  if (!UsesGlobalWindow() || window == nullptr || FindEntry() == nullptr) return;
  window->StartDialog(this);
  window->Start();
}

void TextDialog::StopInGlobalWindow() {
  TextDialogWindow* window = GetGlobalDialogWindow();
  if (!UsesGlobalWindow() || window == nullptr || FindEntry() == nullptr || GetPlayedDialog() != this) return;
  window->Stop();
}

bool TextDialog::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() >= 1) {
    stream.Serialize(dialogFlags_);
    stream.SerializeString(dialogPath_);
  }
  return !stream.Failed();
}

void RegisterTextDialogCommands() {
  RegisterCommandTable<TextDialog>(BuildCommandRegistry(), kClassTextDialog, TextDialog::Commands());
  GetObjectFactory().RegisterType<TextDialog>(kClassTextDialog);
}

}  // namespace tge

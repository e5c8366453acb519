// TextDialogWindow's command table, the conversation it plays, and its file
// record; the engine-wide dialog window and played dialog.
#include "objects/ui/widgets/TextDialogWindow.h"

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "objects/ui/widgets/Text.h"
#include "objects/ui/widgets/TextDialog.h"
#include "services/TextDatabase.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto E = CommandKind::kEvent;

constexpr const char* kDialogTextName = "DialogText";

ObjectRef<TextDialogWindow> gGlobalDialogWindow;
ObjectRef<TextDialog> gPlayedDialog;

}  // namespace

TextDialogWindow* GetGlobalDialogWindow() { return gGlobalDialogWindow.Get(); }

TextDialog* GetPlayedDialog() { return gPlayedDialog.Get(); }

// clang-format off
using W = TextDialogWindow;
constexpr CommandEntry<TextDialogWindow> TextDialogWindow::kCommands[] = {
    {21250, "TextDialogWindowSprite", P, 0, {kValueString}, Member<&W::ForwardCommand<6542>>, Member<&W::ForwardCommand<6543>>},
    {21252, "TextDialogWindowGlobal", P, 0, {kValueBool}, Member<&W::SetGlobalCommand>, Member<&W::GetGlobalCommand>},
    {kEventOnTextDialogWindowFirstPhrase, "OnTextDialogWindowFirstPhrase", E, 0, {}},
    {kEventOnTextDialogWindowLastPhrase, "OnTextDialogWindowLastPhrase", E, 0, {}},
    {kEventOnTextDialogWindowChangePhrase, "OnTextDialogWindowChangePhrase", E, 0, {}},
};

std::span<const CommandEntry<TextDialogWindow>> TextDialogWindow::Commands() { return kCommands; }
// clang-format on

TextDialogWindow::TextDialogWindow() : Window(kClassTextDialogWindow) {}

int TextDialogWindow::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<TextDialogWindow> handlers(kClassTextDialogWindow, {kCommands}, BlockRule::kEvery);
  handlers.Run(*this, id, args);
  if (id == kCommandActionStopStep) {
    EndDialog();
  }
  return Window::ExecuteCommand(id, args);
}

void TextDialogWindow::CopyFrom(const Object& source) {
  Window::CopyFrom(source);
  speaker_.Reset();
  phrases_.clear();
  phraseIndex_ = -1;
  dialogText_.Reset();
  currentDialog_.Reset();
  reachedEnd_ = 0;
}

int TextDialogWindow::SetGlobalCommand(CommandArgs args) {
  const bool on = args.Get<std::int32_t>() != 0;
  dialogWindowFlags_ = on ? dialogWindowFlags_ | kGlobal : dialogWindowFlags_ & ~kGlobal;
  if (on) {
    gGlobalDialogWindow.Set(this);
  } else if (gGlobalDialogWindow == this) {
    gGlobalDialogWindow.Reset();
  }
  return 1;
}

int TextDialogWindow::GetGlobalCommand(CommandArgs args) {
  args.Set<std::int32_t>((dialogWindowFlags_ & kGlobal) != 0 ? 1 : 0);
  return 1;
}

void TextDialogWindow::Draw() {
  if (GetActive()) Window::Draw();
}

// Only a Text serves as the dialog text.
void TextDialogWindow::Precalculate() {
  Window::Precalculate();
  if (dialogWindowFlags_ & kGlobal) gGlobalDialogWindow.Set(this);
  Object* text = FindChildByName(kDialogTextName);
  dialogText_.Set(text != nullptr && text->GetClassId() == kClassText ? static_cast<Text*>(text) : nullptr);
}

void TextDialogWindow::SetSpeaker(const std::string& name) {
  Object* next = FindChildByName(name);
  Object* previous = speaker_.Get();
  if (next == previous) return;
  if (previous != nullptr) previous->Stop();
  speaker_.Set(next);
  if (next != nullptr) next->Start();
}

void TextDialogWindow::ShowPhrase(std::size_t index) {
  SetSpeaker(phrases_[index].speaker);
  if (Text* text = dialogText_.Get()) {
    text->SetText(phrases_[index].text, false);
    text->StartLetterDisplay();
  }
}

bool TextDialogWindow::IsLastPageOfLastPhrase() const {
  const Text* text = dialogText_.Get();
  return text != nullptr && static_cast<std::size_t>(phraseIndex_) + 1 == phrases_.size() &&
         text->GetCurrentPage() >= text->GetLastPage();
}

void TextDialogWindow::StartDialog(TextDialog* dialog) {
  currentDialog_.Set(dialog);
  if (dialogWindowFlags_ & kGlobal) gPlayedDialog.Set(dialog);
  phrases_.clear();
  const TextNode* entry = dialog != nullptr ? dialog->FindEntry() : nullptr;
  if (entry == nullptr) return;
  for (const TextNode* phrase : entry->GetChildren()) phrases_.push_back({phrase->GetName(), phrase->GetText()});
  phraseIndex_ = 0;
  reachedEnd_ = 0;
  if (phrases_.empty()) return;
  ShowPhrase(0);
  FireEvent(kEventOnTextDialogWindowFirstPhrase, nullptr);
  const Text* text = dialogText_.Get();
  if (phrases_.size() == 1 && text != nullptr && text->GetPageLineCount() >= text->GetLineCount()) {
    FireEvent(kEventOnTextDialogWindowLastPhrase, nullptr);
    reachedEnd_ = 1;
  }
}

bool TextDialogWindow::Advance(const Vector3& pointer) {
  Text& text = *dialogText_.Get();
  if (text.GetLettersShown() != 0) {
    text.StopLetterDisplay();
    Window::OnNavigate(pointer, kWidgetOk);
    return false;
  }
  if (text.ShowNextPage()) {
    text.StartLetterDisplay();
  } else if (static_cast<std::size_t>(++phraseIndex_) < phrases_.size()) {
    ShowPhrase(static_cast<std::size_t>(phraseIndex_));
    FireEvent(kEventOnTextDialogWindowChangePhrase, nullptr);
  }
  if (IsLastPageOfLastPhrase()) {
    FireEvent(kEventOnTextDialogWindowLastPhrase, nullptr);
    reachedEnd_ = 1;
  }
  return true;
}

// Indices compare unsigned: no phrase (-1) counts as past the end, so any
// input to a window that plays nothing stops it; so does any input to a
// window without a dialog text, which cannot show the phrases. A window stopped twice
// would raise its stop events twice, so Cancel past the end stops it once.
// Ok while the letters still appear only completes the text: it neither
// raises the window's Ok event nor reaches the focused widget.
void TextDialogWindow::OnInput(const Vector3& pointer, int code) {
  const ObjectRef<TextDialogWindow> self(this);
  const auto inConversation = [this] { return static_cast<std::uint32_t>(phraseIndex_) < phrases_.size(); };
  const int meaning = WidgetInputCode(code);
  if (dialogText_ && meaning == kWidgetOk && inConversation() && !Advance(pointer)) return;
  if (!dialogText_ || !inConversation() || meaning == kWidgetCancel) Stop();
  if (self) Window::OnInput(pointer, code);
}

void TextDialogWindow::EndDialog() {
  const ObjectRef<TextDialog> ended = currentDialog_;
  speaker_.Reset();
  currentDialog_.Reset();
  phrases_.clear();
  if (gGlobalDialogWindow == this) gPlayedDialog.Reset();
  if (TextDialog* dialog = ended.Get()) {
    dialog->FireEvent(kEventOnTextDialogEnd, nullptr);
    if (reachedEnd_ == 0 && ended) ended->FireEvent(kEventOnTextDialogCancel, nullptr);
  }
}

bool TextDialogWindow::Serialize(SerializeStream& stream) {
  if (!Window::Serialize(stream)) return false;
  if (stream.GetVersion() >= 1) stream.Serialize(dialogWindowFlags_);
  return !stream.Failed();
}

void RegisterTextDialogWindowCommands() {
  RegisterCommandTable<TextDialogWindow>(BuildCommandRegistry(), kClassTextDialogWindow,
                                         TextDialogWindow::Commands());
  GetObjectFactory().RegisterType<TextDialogWindow>(kClassTextDialogWindow);
}

}  // namespace tge

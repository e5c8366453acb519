// TextDialogWindow (class 85): a top-level window that plays a
// conversation (TextDialog.h): it shows the phrases one after the other in
// its Text child "DialogText", page by page and letter by letter, and
// starts the action of the child named after the current speaker. Ok moves
// on, Cancel ends the conversation. One such window can be the global
// dialog window, where dialogs that use it are played.
//
// The window copies the phrases when a conversation starts. The global
// window, the played dialog, the speaker and the text widget are weak
// references, so a dialog or a speaker deleted mid-conversation leaves
// nothing dangling.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/ObjectRef.h"
#include "objects/ui/widgets/Text.h"
#include "objects/ui/widgets/Window.h"

namespace tge {

class TextDialog;

inline constexpr int kEventOnTextDialogWindowFirstPhrase = 21256;
inline constexpr int kEventOnTextDialogWindowLastPhrase = 21257;
inline constexpr int kEventOnTextDialogWindowChangePhrase = 21258;

class TextDialogWindow : public Window {
 public:
  static std::span<const CommandEntry<TextDialogWindow>> Commands();
  static const CommandEntry<TextDialogWindow> kCommands[];

  TextDialogWindow();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  // A copy plays nothing: no speaker, phrases, text widget or dialog.
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  void Precalculate() override;
  void OnInput(const Vector3& pointer, int code) override;

  // Begins the dialog's conversation at its first phrase; a dialog without
  // an entry leaves the window with no phrases.
  void StartDialog(TextDialog* dialog);
  TextDialog* GetCurrentDialog() const { return currentDialog_.Get(); }
  Object* GetSpeaker() const { return speaker_.Get(); }
  Text* GetDialogText() const { return dialogText_.Get(); }
  std::int32_t GetPhraseIndex() const { return phraseIndex_; }

 private:
  static constexpr std::uint32_t kGlobal = 0x1;

  struct Phrase {
    std::string speaker;
    std::string text;
  };

  int SetGlobalCommand(CommandArgs args);
  int GetGlobalCommand(CommandArgs args);
  void SetSpeaker(const std::string& name);
  void ShowPhrase(std::size_t index);
  bool IsLastPageOfLastPhrase() const;
  // Ok while a conversation runs: complete the reveal, else the next page,
  // else the next phrase. False when it only completed the reveal.
  bool Advance(const Vector3& pointer);
  void EndDialog();

  ObjectRef<Object> speaker_;
  std::vector<Phrase> phrases_;
  std::int32_t phraseIndex_ = -1;
  ObjectRef<Text> dialogText_;
  ObjectRef<TextDialog> currentDialog_;
  std::int32_t reachedEnd_ = 0;
  std::uint32_t dialogWindowFlags_ = 0;
};

// The engine-wide dialog window and the dialog it plays; null when none.
TextDialogWindow* GetGlobalDialogWindow();
TextDialog* GetPlayedDialog();

void RegisterTextDialogWindowCommands();

}  // namespace tge

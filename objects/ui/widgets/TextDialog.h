// A conversation lives in the text database as one entry whose children
// are its phrases, in order: each phrase's name names the speaker, its text
// is what is said. TextDialog (class 83) names such an entry and plays it
// in the global dialog window (TextDialogWindow.h) when its action starts,
// and ends it there when its action stops. It looks its entry up whenever
// it needs it, so reading a new text database leaves nothing dangling.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "core/CommandTable.h"
#include "core/Object.h"

namespace tge {

class TextNode;

inline constexpr int kEventOnTextDialogEnd = 20754;
inline constexpr int kEventOnTextDialogCancel = 20755;

class TextDialog : public Object {
 public:
  static std::span<const CommandEntry<TextDialog>> Commands();
  static const CommandEntry<TextDialog> kCommands[];

  TextDialog();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;

  // The conversation entry the path names; null when there is none.
  const TextNode* FindEntry() const;
  bool UsesGlobalWindow() const { return (dialogFlags_ & kUseGlobalWindow) != 0; }

 private:
  static constexpr std::uint32_t kUseGlobalWindow = 0x1;

  int SetDialogCommand(CommandArgs args);
  int GetDialogCommand(CommandArgs args);
  int SetUseGlobalCommand(CommandArgs args);
  int GetUseGlobalCommand(CommandArgs args);
  void StartInGlobalWindow();
  void StopInGlobalWindow();

  std::string dialogPath_;
  std::uint32_t dialogFlags_ = kUseGlobalWindow;
};

void RegisterTextDialogCommands();

}  // namespace tge

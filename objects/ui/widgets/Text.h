// Text (class 28): a widget that draws its text in the object's world
// transform, with number and time formats, word wrap, pages of a set number
// of lines and a letter-by-letter reveal. It takes no focus and registers
// with no window. TextFormat.h does the text work.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "objects/ui/widgets/Window.h"

namespace tge {

inline constexpr int kEventOnTextShowLastPage = 7049;
inline constexpr int kEventOnTextShowMidPage = 7050;
inline constexpr int kEventOnTextShowFirstPage = 7051;
inline constexpr int kEventOnTextChangePage = 7052;

class Text : public Window {
 public:
  static std::span<const CommandEntry<Text>> Commands();
  static const CommandEntry<Text> kCommands[];

  Text();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  void Precalculate() override;

  // Unless raw, the text is first translated (when translation is on).
  void SetText(const std::string& text, bool raw);
  void AddText(const std::string& text, bool raw);
  void SetAlpha(float alpha) { foreColor_.a = alpha; }
  // Each answers 0 and does nothing without lines per page (and the next
  // and previous page at the last and first).
  int ShowFirstPage();
  int ShowNextPage();
  int ShowPreviousPage();
  std::uint32_t GetPageLineCount() const { return pageLineCount_; }
  std::uint32_t GetCurrentPage() const { return currentPage_; }
  std::uint32_t GetLineCount() const { return lineCount_; }
  std::uint32_t GetLastPage() const { return pageLineCount_ == 0 ? 0 : lineCount_ / pageLineCount_; }
  const std::string& GetPageText() const { return pageText_; }
  void StartLetterDisplay();
  void StopLetterDisplay();
  std::uint32_t GetLettersShown() const { return lettersShown_; }
  // The part of the text revealed so far.
  const std::string& GetRevealedText() const { return shownText_; }

 private:
  static constexpr std::uint32_t kEnablePages = 0x200;
  static constexpr std::uint32_t kLetterDisplayDelay = 0x400;
  static constexpr std::uint32_t kLetterDisplayFade = 0x800;

  int SetTextCommand(CommandArgs args);
  int AddTextCommand(CommandArgs args);
  template <bool Add, std::string (*Format)(float)>
  int FloatTextCommand(CommandArgs args);
  template <bool Add>
  int UnsignedTextCommand(CommandArgs args);
  int ShowFirstPageCommand(CommandArgs args);
  int ShowNextPageCommand(CommandArgs args);
  int ShowPreviousPageCommand(CommandArgs args);
  int GetLastPageCommand(CommandArgs args);
  std::string Translated(const std::string& text, bool raw) const;
  void PutText(const std::string& text, bool add);
  // Advances the reveal by the frame's time.
  void RevealLetters(const std::string& full);

  float textLineSpace_ = 0;
  float textLetterSpace_ = 0;
  float maxDistance3D_ = 0;
  float fadeDistance3D_ = 0;
  std::uint32_t pageLineCount_ = 1;
  std::uint32_t lineCount_ = 0;
  std::uint32_t currentPage_ = 0;
  std::string pageText_;
  std::uint32_t wrapLetterCount_ = 16;
  std::uint32_t wrapBase_ = 16;
  float letterDelay_ = 0;
  float letterTimer_ = 0;
  std::uint32_t lettersShown_ = 0;
  std::string shownText_;
  std::uint32_t textFlags_ = 0;
};

void RegisterTextCommands();

}  // namespace tge

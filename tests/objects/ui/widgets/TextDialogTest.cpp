// Conversations from the text database played in the global dialog window:
// the phrase events, Ok during the reveal, Cancel, windows without a proper
// "DialogText", and a dialog deleted while it plays.
#include <algorithm>
#include <cctype>

#include "objects/ui/widgets/Text.h"
#include "objects/ui/widgets/TextDialog.h"
#include "objects/ui/widgets/TextDialogWindow.h"
#include "tests/objects/ui/UiFixture.h"

namespace tge::test {
namespace {

class LoggedDialog : public TextDialog {
 public:
  explicit LoggedDialog(EventLog& log) : log_(log) {}
  int FireEvent(int eventId, Object* sender) override {
    log_.push_back(GetName() + ":" + std::to_string(eventId));
    return TextDialog::FireEvent(eventId, sender);
  }

 private:
  EventLog& log_;
};

class TextDialogTest : public UiFixture {
 protected:
  void SetUp() override {
    UiFixture::SetUp();
    // "Talk": Ann, Bob and Ann again, one line each.
    Bytes file;
    file.U32(3).U32(0).U32(1252).U32(4);
    file.I32(-1).I32(0).Str("Talk").Str("");
    file.I32(0).I32(0).Str("Ann").Str("Hello");
    file.I32(0).I32(0).Str("Bob").Str("Hi there");
    file.I32(0).I32(0).Str("Ann").Str("Bye");
    const std::string library = folder.Folder() + "Data/Talk.sli";
    ASSERT_EQ(GetEngineServices()->SerializeLibrary(library, 0), 1);
    folder.Write("Data/Talk.qbw", file.data);
    ASSERT_EQ(GetEngineServices()->SerializeLibrary(library, 1), 1);
  }

  // The global dialog window with speakers Ann and Bob and, unless
  // textClass is -1, a child "DialogText" of that class; the dialog D.
  TextDialogWindow& AddWindow(int textClass = kClassText) {
    TextDialogWindow& window = Place(*engine, std::make_unique<Logged<TextDialogWindow>>(log), "Win", {0, 0, 1});
    if (textClass != -1) Add<Object>(window, textClass, "DialogText");
    Add<Object>(window, kClassObject, "Ann");
    Add<Object>(window, kClassObject, "Bob");
    RunCommand<std::int32_t>(window, 21252, 1);
    window.Precalculate();
    dialog = &Place(*engine, std::make_unique<LoggedDialog>(log), "D", {});
    std::string path = "Talk";
    dialog->ExecuteCommand(20750, &path);
    return window;
  }
  // Ok once the letters are all shown.
  void OkAfterReveal(TextDialogWindow& window) {
    if (Text* text = window.GetDialogText()) text->StopLetterDisplay();
    window.InputUp({}, kWidgetOk);
  }
  // The conversation events since the last call.
  EventLog Conversation() {
    EventLog kept;
    for (const std::string& entry : TakeLog()) {
      const std::string what = entry.substr(entry.find(':') + 1);
      if (what.empty() || !std::isdigit(static_cast<unsigned char>(what[0]))) continue;  // a widget's code
      const int id = std::stoi(what);
      if ((id >= 20754 && id <= 20755) || (id >= 21256 && id <= 21258)) kept.push_back(entry);
    }
    return kept;
  }

  TextDialog* dialog = nullptr;
};

TEST_F(TextDialogTest, ThreePhrasesRaiseFirstChangeChangeAndLastThenEnd) {
  TextDialogWindow& window = AddWindow();
  EXPECT_EQ(GetGlobalDialogWindow(), &window);
  dialog->Start();
  EXPECT_EQ(Conversation(), EventLog{"Win:21256"});
  EXPECT_EQ(GetPlayedDialog(), dialog);
  EXPECT_EQ(window.GetSpeaker()->GetName(), "Ann");
  EXPECT_EQ(window.GetDialogText()->GetText(), "Hello");
  OkAfterReveal(window);
  EXPECT_EQ(Conversation(), EventLog{"Win:21258"});
  EXPECT_EQ(window.GetSpeaker()->GetName(), "Bob");
  OkAfterReveal(window);
  EXPECT_EQ(Conversation(), (EventLog{"Win:21258", "Win:21257"}));
  EXPECT_EQ(window.GetSpeaker()->GetName(), "Ann");
  OkAfterReveal(window);
  EXPECT_EQ(Conversation(), EventLog{"D:20754"});
  EXPECT_EQ(GetPlayedDialog(), nullptr);
  EXPECT_EQ(window.GetCurrentDialog(), nullptr);
}

TEST_F(TextDialogTest, CancelEndsTheConversationAsCancelled) {
  TextDialogWindow& window = AddWindow();
  dialog->Start();
  Conversation();
  window.InputUp({}, kWidgetCancel);
  EXPECT_EQ(Conversation(), (EventLog{"D:20754", "D:20755"}));
}

// The press only completes the text: the window raises no Ok event and its
// focused widget is not handed the press.
TEST_F(TextDialogTest, OkDuringTheRevealShowsTheWholeTextWithoutMovingOn) {
  TextDialogWindow& window = AddWindow();
  Place(window, std::make_unique<Logged<Button>>(log), "Reply", {0, 0, 2});
  window.Precalculate();
  window.SetFocus();
  dialog->Start();
  TakeLog();
  ASSERT_NE(window.GetDialogText()->GetLettersShown(), 0u);
  window.InputUp({}, kWidgetOk);
  EXPECT_EQ(window.GetDialogText()->GetLettersShown(), 0u);
  EXPECT_EQ(window.GetPhraseIndex(), 0);
  const EventLog seen = log;
  EXPECT_EQ(std::count(seen.begin(), seen.end(), "Win:6561"), 0);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), "Reply:in 46"), 0);
  EXPECT_TRUE(Conversation().empty());
}

// Ok then ends the conversation at once.
TEST_F(TextDialogTest, WithoutATextNamedDialogTextEachInputEndsTheConversation) {
  for (const int textClass : {-1, static_cast<int>(kClassObject), static_cast<int>(kClassWindow)}) {
    SCOPED_TRACE(textClass);
    TextDialogWindow& window = AddWindow(textClass);
    EXPECT_EQ(window.GetDialogText(), nullptr);
    dialog->Start();
    EXPECT_EQ(Conversation(), EventLog{"Win:21256"});
    window.InputUp({}, kWidgetOk);
    EXPECT_EQ(Conversation(), (EventLog{"D:20754", "D:20755"}));
    window.Delete(false);
    dialog->Delete(false);
  }
}

// The window plays on; the end has no dialog to tell.
TEST_F(TextDialogTest, ADialogDeletedWhilePlayingIsForgotten) {
  TextDialogWindow& window = AddWindow();
  dialog->Start();
  Conversation();
  DestroyObjectTree(engine->DetachChild(*dialog));
  EXPECT_EQ(GetPlayedDialog(), nullptr);
  OkAfterReveal(window);
  OkAfterReveal(window);
  OkAfterReveal(window);
  window.InputUp({}, kWidgetCancel);
  EXPECT_EQ(Conversation(), (EventLog{"Win:21258", "Win:21258", "Win:21257"}));
  EXPECT_EQ(window.GetCurrentDialog(), nullptr);
}

TEST_F(TextDialogTest, ADialogWithoutAnEntryOrGlobalWindowDoesNothing) {
  TextDialogWindow& window = AddWindow();
  std::string missing = "Nowhere";
  dialog->ExecuteCommand(20750, &missing);
  dialog->Start();
  EXPECT_EQ(window.GetCurrentDialog(), nullptr);
  RunCommand<std::int32_t>(window, 21252, 0);
  EXPECT_EQ(GetGlobalDialogWindow(), nullptr);
  std::string path = "Talk";
  dialog->ExecuteCommand(20750, &path);
  dialog->Stop();
  dialog->Start();
  EXPECT_EQ(window.GetCurrentDialog(), nullptr);
  EXPECT_TRUE(Conversation().empty());
}

TEST_F(TextDialogTest, ACopiedWindowPlaysNothing) {
  TextDialogWindow& window = AddWindow();
  dialog->Start();
  std::unique_ptr<Object> copy = GetObjectFactory().Make(kClassTextDialogWindow, &window);
  auto& copied = static_cast<TextDialogWindow&>(*copy);
  EXPECT_EQ(copied.GetCurrentDialog(), nullptr);
  EXPECT_EQ(copied.GetSpeaker(), nullptr);
  EXPECT_EQ(copied.GetDialogText(), nullptr);
  EXPECT_EQ(copied.GetPhraseIndex(), -1);
}

}  // namespace
}  // namespace tge::test

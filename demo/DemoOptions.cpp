#include "demo/DemoOptions.h"

#include <vector>

#include "core/ClassIds.h"
#include "core/Object.h"
#include "tools/SceneWriter.h"
#include "tools/TextDatabaseWriter.h"

namespace tge {
namespace {

namespace fs = std::filesystem;

// Each phrase names its speaker and fits on one line of the dialog window.
const std::vector<TextRecord> kConversation = {
    {-1, "Talk", ""},
    {0, "Ann", "Ann: Welcome to Tarnwick!"},
    {0, "Otto", "Otto: The crates turn all day."},
    {0, "Ann", "Ann: Return goes on, Esc ends."},
};

// Stops the options window and shows the title, from the window itself or
// from one of its widgets.
std::string BackToTitle(const std::string& window) {
  return window + ".Stop(); " + window + "/parent/Title.Start(); " + window + "/parent/Title.SetWindowFocus();";
}

// The skin entries the new widgets draw with, set by the World before it
// loads its resources.
constexpr const char* kSkinScript =
    "parent.SetUIWindowBigFont(MenuFont); parent.SetUICheckBoxCheckedSprite(MenuHilite); "
    "parent.SetUICheckBoxBgSprite(MenuButton); parent.SetUICheckBoxHiliteSprite(MenuHilite); "
    "parent.SetUISliderBgSprite(MenuButton); parent.SetUISliderHiliteSprite(MenuHilite); "
    "parent.SetUISliderPositionSprite(MenuHilite); parent.SetUIListBoxBgSprite(MenuButton); "
    "parent.SetUIListBoxHiliteSprite(MenuHilite); parent.SetUITextInputBgSprite(MenuButton); "
    "parent.SetUITextInputHiliteSprite(MenuHilite); ";

// Centred on their height, so their labels and texts are too.
constexpr const char* kWidgetLook =
    "this.SetWindowAlignY(1); this.SetWindowUseSystemSprite(1); this.SetWindowBackColor(0.3, 0.42, 0.75, 1); "
    "this.SetWindowFont(MenuFont); ";

Object& AddWidget(Object& window, int classId, const std::string& name, const std::string& label, int y,
                  const std::string& setUp) {
  return AddPlaced(window, classId, name,
                   "this.SetPosition(230, " + std::to_string(y) + ", 1); this.SetWindowText(" + label + "); " +
                       kWidgetLook + setUp);
}

// Time factors by the slider's four stops; the label shows the one chosen.
std::string TimeFactorScript() {
  const char* factors[] = {"0.25", "0.5", "1", "2"};
  std::string script;
  for (int stop = 0; stop < 4; ++stop) {
    script += std::string(stop == 0 ? "" : " else ") + "if ( this.GetSliderPosition() = " + std::to_string(stop) +
              " ) { parent/parent.SetWorldTimeMul(" + factors[stop] + "); this.SetWindowText(\"Game speed x" +
              factors[stop] + "\"); }";
  }
  return script;
}

void BuildOptionsWindow(Object& world) {
  Object& options = AddPlaced(
      world, kClassWindow, "Options",
      "this.SetPosition(0, 0, 10); this.SetWindowMainWindow(1); this.SetWindowAdjustSize(1); "
      "this.SetWindowAlignToScreen(1); this.SetWindowAlignX(1); this.SetWindowMarginY(50); this.SetWindowWidth(400); "
      "this.SetWindowHeight(500); this.SetWindowUseSystemSprite(1); this.SetWindowBackColor(0.12, 0.16, 0.3, 0.9); "
      "this.SetWindowUseSystemFont(1); this.SetWindowText(Options); this.SetWindowTextMarginY(20);");
  AddScript(options, "OnEngineStarted", "this.Stop();");
  for (const char* back : {"OnWindowInputCancel", "OnWindowInputButtonCircle"}) {
    AddScript(options, back, BackToTitle("this"));
  }
  Object& fog = AddWidget(options, kClassCheckBox, "Fog", "Fog", 74,
                          "this.SetWindowWidth(28); this.SetWindowHeight(28); this.SetCheckBoxChecked(1); "
                          "this.SetCheckBoxCheckedDimension(20, 20, 1); this.SetWindowDefaultFocus(1);");
  AddScript(fog, "OnCheckBoxChecked", "parent/parent/Stage/Air.SetEnvironmentFogEnable(1);");
  AddScript(fog, "OnCheckBoxUnchecked", "parent/parent/Stage/Air.SetEnvironmentFogEnable(0);");
  Object& pace = AddWidget(options, kClassSlider, "Pace", "\"Game speed x1\"", 118,
                           "this.SetWindowWidth(140); this.SetSliderMax(3); this.SetSliderStepSize(1); "
                           "this.SetSliderPosition(2); this.SetUseStandardSliderPositionSprite(1); "
                           "this.SetSliderPositionDimension(16, 16, 1);");
  AddScript(pace, "OnSliderSelectionChange", TimeFactorScript());
  Object& scope = AddWidget(options, kClassListBox, "Scope", "\"Field of view\"", 164,
                            "this.SetWindowWidth(160); this.SetWindowHeight(28); "
                            "this.SetListBoxPrevMaterial(MenuHilite); this.SetListBoxNextMaterial(MenuHilite); "
                            "this.SetListBoxNavigationDimension(20, 28, 1);");
  // The camera's field of view in radians, shown in degrees.
  const char* views[][2] = {{"\"40 deg\"", "0.7"}, {"\"57 deg\"", "1.0"}, {"\"74 deg\"", "1.3"}};
  std::string change;
  for (int i = 0; i < 3; ++i) {
    RunScript(scope, std::string("this.AddListBoxItem(); this.SetListBoxItemText(") + views[i][0] +
                         "); this.SetListBoxItemFloat(" + views[i][1] + ");" +
                         (i == 1 ? " this.SetListBoxItemDefaultItem(1);" : ""));
    change += std::string(i == 0 ? "" : " else ") + "if ( this.GetSelectedListBoxItem() = " + std::to_string(i) +
              " ) { parent/parent/Stage/Eye.SetCameraFov(" + views[i][1] + "); }";
  }
  AddScript(scope, "OnListBoxSelectionChange", change);
  AddWidget(options, kClassTextInput, "Name", "\"Player name\"", 214,
            "this.SetWindowWidth(160); this.SetWindowHeight(28); this.SetTextInputFont(MenuFont); "
            "this.SetTextInputMaxLetters(12);");
  AddPlaced(options, kClassVirtualKeyboard, "Keys", "this.SetPosition(50, 250, 1); this.SetWindowWidth(300); "
            "this.SetWindowHeight(200);");
  Object& back = AddPlaced(options, kClassButton, "Back",
                           "this.SetPosition(200, 470, 1); this.SetWindowAlignX(1); this.SetWindowAlignY(1); "
                           "this.SetWindowWidth(120); this.SetWindowHeight(30); this.SetWindowUseSystemSprite(1); "
                           "this.SetWindowBackColor(0.3, 0.42, 0.75, 1); this.SetWindowUseSystemFont(1); "
                           "this.SetWindowText(Back);");
  AddScript(back, "OnInputUp", BackToTitle("parent"));
}

// The dialog window shows the phrases in its text; the speakers are
// markers whose action the window starts and stops. Screen items are drawn
// in order of their depth, the lowest last, and text shows only at depth 0:
// the panel stands at -0.5, the text, through its world transform, at 0,
// after it and over it.
void BuildDialog(Object& world) {
  Object& window = AddPlaced(
      world, kClassTextDialogWindow, "Dialog",
      "this.SetPosition(0, 0, -0.5); this.SetWindowMainWindow(1); this.SetWindowAdjustSize(1); "
      "this.SetWindowAlignToScreen(1); this.SetWindowAlignX(1); this.SetWindowAlignY(2); this.SetWindowMarginY(30); "
      "this.SetWindowWidth(560); this.SetWindowHeight(90); this.SetWindowUseSystemSprite(1); "
      "this.SetWindowUseSystemSprite(0); this.SetTextDialogWindowSprite(MenuPanel); "
      "this.SetWindowBackColor(0.1, 0.1, 0.2, 0.9); this.SetTextDialogWindowGlobal(1);");
  AddScript(window, "OnEngineStarted", "this.Stop();");
  AddPlaced(window, kClassText, "DialogText",
            "this.SetPosition(30, 35, 0.5); this.SetTextFont(MenuFont); this.SetTextColor(1, 0.92, 0.6, 1);");
  for (const char* speaker : {"Ann", "Otto"}) AddPlaced(window, kClassObject, speaker, "");
  Object& chat = AddPlaced(world, kClassTextDialog, "Chat", "this.SetTextDialogDialog(Talk);");
  AddScript(chat, "OnTextDialogEnd", "this.Stop(); parent/Title.Start(); parent/Title.SetWindowFocus();");
}

void PrependSkin(Object& world) {
  std::string existing;
  if (const std::vector<ObjectScript>* scripts = world.GetScripts()) {
    for (const ObjectScript& script : *scripts) {
      if (script.name == "OnEngineStarted") existing = script.text;
    }
  }
  if (existing.empty()) AddScript(world, "OnEngineStarted", "");
  SetScriptText(world, "OnEngineStarted", kSkinScript + existing);
}

// Options and Speak go under the title's buttons.
void ExtendTitle(Object& world) {
  PrependSkin(world);
  Object* title = world.FindChildByName("Title", kClassWindow);
  if (title == nullptr) return;
  RunScript(*title, "this.SetWindowHeight(300);");
  struct MenuButton {
    const char* name;
    const char* label;
    const char* y;
    const char* script;
  };
  const MenuButton buttons[] = {
      {"Options", "Options", "200", "parent.Stop(); parent/parent/Options.Start(); parent/parent/Options.SetWindowFocus();"},
      {"Talk", "Speak", "250", "parent.Stop(); parent/parent/Chat.Start(); parent/parent/Dialog.SetWindowFocus();"},
  };
  for (const MenuButton& button : buttons) {
    Object& added = AddPlaced(*title, kClassButton, button.name,
                              std::string("this.SetPosition(160, ") + button.y +
                                  ", 1); this.SetWindowAlignX(1); this.SetWindowAlignY(1); this.SetWindowWidth(120); "
                                  "this.SetWindowHeight(36); this.SetWindowUseSystemSprite(1); "
                                  "this.SetWindowBackColor(0.3, 0.42, 0.75, 1); this.SetWindowUseSystemFont(1); "
                                  "this.SetWindowText(" + button.label + ");");
    AddScript(added, "OnInputUp", button.script);
  }
}

}  // namespace

void AddOptionsMenu(SceneDescription& scene, const std::string& worldName) {
  const std::string libraryFile = scene.libraryFile;
  scene.addResources = [resources = scene.addResources, libraryFile](ResourceDatabase& database,
                                                                      const fs::path& dataFolder) {
    const fs::path text = dataFolder / fs::path(libraryFile).replace_extension(".qbw");
    return resources(database, dataFolder) && WriteTextDatabase(text, kConversation);
  };
  scene.buildObjects = [build = scene.buildObjects, worldName](Object& root) {
    build(root);
    Object* world = root.FindChildByName(worldName, kClassWorld);
    if (world == nullptr) return;
    ExtendTitle(*world);
    BuildOptionsWindow(*world);
    BuildDialog(*world);
  };
}

}  // namespace tge

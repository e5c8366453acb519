// The scene fixture with helpers for widgets: widgets made in place and a
// menu of logged buttons at given heights.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/script/ScriptInterpreter.h"
#include "objects/ui/widgets/Button.h"
#include "objects/ui/widgets/Window.h"
#include "tests/objects/scene/SceneFixture.h"
#include "tests/objects/ui/widgets/LoggedWidget.h"

namespace tge::test {

// A widget type and the script that sets it up.
struct WidgetSetUp {
  int classId;
  const char* script;
};

class UiFixture : public SceneFixture {
 protected:
  void SetUp() override {
    SceneFixture::SetUp();
    GetEngineServices()->SetScreenSize(800, 600);
  }

  // A widget of a test type under parent, in parent's World, with a
  // transform at position.
  template <class T>
  T& Place(Object& parent, std::unique_ptr<T> widget, const std::string& name, const Vector3& position) {
    T& placed = static_cast<T&>(*parent.AddChild(std::move(widget)));
    placed.SetWorld(parent.GetWorld());
    placed.SetName(name);
    placed.SetInheritOrientation(false);
    placed.SetPosition(position, false);
    return placed;
  }

  // A started menu at the origin holding logged 100 x 20 buttons, one at
  // each height, named B0, B1 ...
  Window& AddMenu(const std::vector<float>& heights) {
    Window& menu = Place(*engine, std::make_unique<Logged<Window>>(log), "Menu", {0, 0, 1});
    for (std::size_t i = 0; i < heights.size(); ++i) {
      Button& button = Place(menu, std::make_unique<Logged<Button>>(log), "B" + std::to_string(i), {0, heights[i], 2});
      button.SetWidth(100);
      RunCommand(button, 6508, 20.0f);
    }
    menu.Precalculate();
    log.clear();
    return menu;
  }

  Button& ButtonOf(Window& menu, int index) { return static_cast<Button&>(*menu.GetChild(index)); }

  // A widget set up as given is saved, and its record loaded into a fresh
  // one that is saved again: the two records. That second record must load
  // and save again unchanged.
  std::pair<std::vector<std::uint8_t>, std::vector<std::uint8_t>> SaveAndResave(const WidgetSetUp& setUp) {
    auto& widget = Add<Object>(setUp.classId);
    RunScriptText(widget, setUp.script, nullptr);
    std::vector<std::uint8_t> first = Save(widget);
    std::vector<std::uint8_t> second = Resave(setUp.classId, first);
    EXPECT_EQ(Resave(setUp.classId, second), second);
    return {first, second};
  }

  template <class T>
  static void RunCommand(Object& object, std::uint32_t id, T value) {
    object.ExecuteCommand(id, &value);
  }
  template <class T>
  static T Get(Object& object, std::uint32_t id) {
    T value{};
    object.ExecuteCommand(id, &value);
    return value;
  }

  // The log since the last call.
  EventLog TakeLog() {
    EventLog taken;
    taken.swap(log);
    return taken;
  }

  EventLog log;

 private:
  std::vector<std::uint8_t> Resave(int classId, std::vector<std::uint8_t>& bytes) {
    std::unique_ptr<Object> loaded = Load<Object>(classId, bytes, SerializeStream::kLatestVersion);
    if (loaded != nullptr) return Save(*loaded);
    ADD_FAILURE() << "the record of class " << classId << " did not load";
    return {};
  }
};

}  // namespace tge::test

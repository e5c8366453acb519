// Window's properties, layout, focus moves and its place in the World.
#include "core/World.h"
#include "tests/objects/ui/UiFixture.h"

namespace tge::test {
namespace {

using WindowTest = UiFixture;

TEST_F(WindowTest, FreshWindowIsA256SquareWhiteEnabledAndTranslated) {
  Window& window = Add<Window>(kClassWindow);
  EXPECT_FLOAT_EQ(window.GetWidth(), 256.0f);
  EXPECT_FLOAT_EQ(window.GetHeight(), 256.0f);
  EXPECT_EQ(window.GetWindowFlags(), 0x1400000u);
  EXPECT_EQ(Get<std::uint32_t>(window, 6511), 0u);
  EXPECT_EQ(Get<std::int32_t>(window, 6531), 1);
  EXPECT_EQ(Get<std::int32_t>(window, 6503), 1);
  EXPECT_FLOAT_EQ(window.GetBackColor().g, 1.0f);
}

TEST_F(WindowTest, FullscreenSetsSizeFlagsAndScale) {
  Window& window = Add<Window>(kClassWindow);
  RunCommand<std::int32_t>(window, 6518, 1);
  EXPECT_FLOAT_EQ(window.GetWidth(), 800.0f);
  EXPECT_FLOAT_EQ(window.GetHeight(), 600.0f);
  EXPECT_TRUE(window.HasWindowFlag(kWindowMainWindow | kWindowAdjustSize | kWindowFullscreen));
  window.SetScale({2, 3, 1}, true);
  RunCommand<std::int32_t>(window, 6518, 0);
  EXPECT_FLOAT_EQ(window.GetWidth(), 300.0f);
  EXPECT_FLOAT_EQ(window.GetHeight(), 200.0f);
  EXPECT_FALSE(window.HasWindowFlag(kWindowMainWindow));
  EXPECT_FALSE(window.HasWindowFlag(kWindowAdjustSize));
  EXPECT_FLOAT_EQ(window.GetScale().x, 1.0f);
  EXPECT_FLOAT_EQ(window.GetScale().y, 1.0f);
}

TEST_F(WindowTest, StylePresetsSetTheSizeAndOtherCodesOnlyStore) {
  struct Case {
    std::int32_t style;
    float width, height;
  };
  const Case cases[] = {{1, 800, 600}, {3, 800, 600}, {10, 400, 300}, {12, 400, 300}, {5, 256, 256}};
  for (const Case& c : cases) {
    Window& window = Add<Window>(kClassWindow);
    RunCommand(window, 6504, c.style);
    EXPECT_EQ(Get<std::int32_t>(window, 6505), c.style);
    EXPECT_FLOAT_EQ(window.GetWidth(), c.width) << c.style;
    EXPECT_FLOAT_EQ(window.GetHeight(), c.height) << c.style;
  }
}

TEST_F(WindowTest, AlignmentValuesReadBackAndUnknownOnesReadAsLeftOrTop) {
  struct Case {
    std::uint32_t id, value, flags, readBack;
  };
  const Case cases[] = {{6510, 0, 0x02, 0},   {6510, 1, 0x04, 1},     {6510, 2, 0x08, 2}, {6510, 5, 0x40, 0},
                        {6510, 7, 0x00, 0},   {6510, 99, 0x00, 0},    {6512, 0, 0x1000, 0}, {6512, 1, 0x2000, 1},
                        {6512, 2, 0x4000, 2}, {6512, 3, 0x8000, 0},   {6512, 4, 0x0000, 0}};
  for (const Case& c : cases) {
    Window& window = Add<Window>(kClassWindow);
    RunCommand(window, c.id, c.value);
    EXPECT_EQ(window.GetWindowFlags() & 0xFFFF, c.flags) << c.id << " " << c.value;
    EXPECT_EQ(Get<std::uint32_t>(window, c.id + 1), c.readBack) << c.id << " " << c.value;
  }
}

TEST_F(WindowTest, LayoutPlacesTheRectangleAndTextAnchor) {
  struct Case {
    const char* what;
    std::uint32_t alignX, alignY;
    bool toScreen;
    Vector3 position;
    ScreenRect rect;
    float textX, textY;
  };
  // 100 x 50, margins 10 and 5, text margins 3 and 4.
  const Case cases[] = {
      {"left top anchor", 0, 0, false, {200, 100, 1}, {200, 100, 300, 150}, 203, 104},
      {"centred anchor", 1, 1, false, {200, 100, 1}, {150, 75, 250, 125}, 200, 100},
      {"right bottom anchor", 2, 2, false, {200, 100, 1}, {100, 50, 200, 100}, 197, 96},
      {"right of the screen", 2, 0, true, {0, 0, 1}, {690, 5, 790, 55}, 787, 9},
      {"screen centre", 1, 1, true, {0, 0, 1}, {360, 280, 460, 330}, 410, 305},
      {"screen bottom", 0, 2, true, {0, 0, 1}, {10, 545, 110, 595}, 13, 591},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Window& window = Add<Window>(kClassWindow);
    window.SetPosition(c.position, true);
    RunCommand(window, 6550, 3.0f);
    RunCommand(window, 6552, 4.0f);
    RunCommand(window, 6514, 10.0f);
    RunCommand(window, 6516, 5.0f);
    RunCommand<std::int32_t>(window, 6534, c.toScreen ? 1 : 0);
    RunCommand(window, 6510, c.alignX);
    RunCommand(window, 6512, c.alignY);
    RunCommand(window, 6506, 100.0f);
    RunCommand(window, 6508, 50.0f);
    const ScreenRect& rect = window.GetScreenRect();
    EXPECT_FLOAT_EQ(rect.left, c.rect.left);
    EXPECT_FLOAT_EQ(rect.top, c.rect.top);
    EXPECT_FLOAT_EQ(rect.right, c.rect.right);
    EXPECT_FLOAT_EQ(rect.bottom, c.rect.bottom);
    EXPECT_FLOAT_EQ(window.GetTextAnchor().x, c.textX);
    EXPECT_FLOAT_EQ(window.GetTextAnchor().y, c.textY);
    EXPECT_FLOAT_EQ(window.GetTextAnchor().z, c.position.z + 1);
  }
}

TEST_F(WindowTest, ChildWindowsFollowAParentPlacedOnTheScreen) {
  Window& parent = Add<Window>(kClassWindow);
  Window& child = Add<Window>(parent, kClassButton);
  child.SetPosition({5, 6, 1}, true);
  child.SetWidth(10);
  RunCommand<std::int32_t>(parent, 6534, 1);
  RunCommand(parent, 6510, 2u);
  RunCommand(parent, 6506, 100.0f);
  EXPECT_FLOAT_EQ(child.GetScreenRect().left, 705.0f);
  EXPECT_FLOAT_EQ(child.GetScreenRect().top, 6.0f);
}

TEST_F(WindowTest, HitTestIsStrict) {
  Window& window = Add<Window>(kClassWindow);
  window.SetPosition({10, 20, 1}, true);
  RunCommand(window, 6506, 100.0f);
  RunCommand(window, 6508, 50.0f);
  EXPECT_TRUE(window.ContainsPoint({11, 21, 0}));
  EXPECT_TRUE(window.ContainsPoint({109.5f, 69.5f, 99}));
  EXPECT_FALSE(window.ContainsPoint({10, 30, 0}));
  EXPECT_FALSE(window.ContainsPoint({50, 70, 0}));
  EXPECT_FALSE(window.ContainsPoint({110, 30, 0}));
  EXPECT_FALSE(window.ContainsPoint({50, 20, 0}));
}

TEST_F(WindowTest, MoveFocusPicksTheNearestWidgetInTheDirectionAndTheLaterOfEquals) {
  Window& menu = AddMenu({100, 200, 200});
  ASSERT_EQ(menu.GetWidgetCount(), 3u);
  menu.SetFocus();
  EXPECT_EQ(menu.GetFocusedWidget(), &ButtonOf(menu, 0));
  EXPECT_EQ(TakeLog(), (EventLog{"B0:6559", "B0:212"}));
  menu.MoveFocus(+1);
  EXPECT_EQ(menu.GetFocusedWidget(), &ButtonOf(menu, 2));
  EXPECT_EQ(TakeLog(), (EventLog{"B0:213", "B0:6560", "B2:212", "B2:6559"}));
  EXPECT_FALSE(ButtonOf(menu, 0).HasFocus());
  EXPECT_TRUE(ButtonOf(menu, 2).HasFocus());
  menu.MoveFocus(+1);
  EXPECT_EQ(menu.GetFocusedWidget(), &ButtonOf(menu, 2));
  EXPECT_TRUE(TakeLog().empty());
  menu.MoveFocus(-1);
  EXPECT_EQ(menu.GetFocusedWidget(), &ButtonOf(menu, 0));
}

TEST_F(WindowTest, MoveFocusSkipsDisabledWidgetsAndStartsAtTheDefaultOne) {
  Window& menu = AddMenu({100, 200, 300});
  RunCommand<std::int32_t>(ButtonOf(menu, 1), 6530, 0);
  RunCommand<std::int32_t>(ButtonOf(menu, 2), 6532, 1);
  menu.MoveFocus(+1);
  EXPECT_EQ(menu.GetFocusedWidget(), &ButtonOf(menu, 2));
  menu.MoveFocus(-1);
  EXPECT_EQ(menu.GetFocusedWidget(), &ButtonOf(menu, 0));
}

TEST_F(WindowTest, SetWindowFocusOnAWidgetAsksItsWindowAndNothingWhenDisabled) {
  Window& menu = AddMenu({100, 200});
  ButtonOf(menu, 1).ExecuteCommand(6558, nullptr);
  EXPECT_EQ(menu.GetFocusedWidget(), &ButtonOf(menu, 1));
  EXPECT_EQ(TakeLog(), (EventLog{"B1:6559"}));
  RunCommand<std::int32_t>(ButtonOf(menu, 0), 6530, 0);
  ButtonOf(menu, 0).ExecuteCommand(6558, nullptr);
  EXPECT_EQ(menu.GetFocusedWidget(), &ButtonOf(menu, 1));
}

// The World drops the old window's focus without an event.
TEST_F(WindowTest, FocusMovingToAnotherWindowClearsTheOldOneSilently) {
  Window& first = AddMenu({100});
  Window& second = Place(*engine, std::make_unique<Logged<Window>>(log), "Second", {0, 0, 1});
  second.Precalculate();
  first.SetFocus();
  EXPECT_TRUE(first.HasFocus());
  TakeLog();
  second.ExecuteCommand(6558, nullptr);
  EXPECT_EQ(engine->GetEngineWorld().GetFocusWindow(), &second);
  EXPECT_EQ(World::GetGlobalFocus(), &second);
  EXPECT_FALSE(first.HasFocus());
  EXPECT_TRUE(second.HasFocus());
  EXPECT_TRUE(TakeLog().empty());
}

TEST_F(WindowTest, StoppingTheActionGivesTheFocusUpAndLeavesTheFocusedWidget) {
  Window& menu = AddMenu({100});
  menu.SetFocus();
  TakeLog();
  menu.ExecuteCommand(79, nullptr);
  EXPECT_EQ(engine->GetEngineWorld().GetFocusWindow(), nullptr);
  EXPECT_EQ(TakeLog(), (EventLog{"B0:213", "Menu:79"}));
}

TEST_F(WindowTest, DeletedFocusedAndHoveredWidgetsAreForgotten) {
  Window& menu = AddMenu({100, 200});
  menu.SetFocus();
  menu.OnPointerMove({50, 110, 0}, {});
  ASSERT_EQ(menu.GetHoveredWidget(), &ButtonOf(menu, 0));
  DestroyObjectTree(menu.DetachChild(ButtonOf(menu, 0)));
  EXPECT_EQ(menu.GetFocusedWidget(), nullptr);
  EXPECT_EQ(menu.GetHoveredWidget(), nullptr);
  EXPECT_EQ(menu.GetWidgetCount(), 1u);
  TakeLog();
  menu.OnNavigate({50, 110, 0}, kWidgetOk);
  menu.OnInput({50, 110, 0}, kWidgetOk);
  menu.OnPointerMove({50, 210, 0}, {});
  EXPECT_EQ(TakeLog(), (EventLog{"Menu:6561", "B1:212"}));
}

// A copy starts with no widgets of the source: its own buttons register
// with it when it starts.
TEST_F(WindowTest, ACopiedMenuDrivesOnlyItsOwnButtons) {
  Window& menu = AddMenu({100, 200});
  menu.SetFocus();
  Object* copy = engine->GetServices().CloneObject(menu, *engine, true, true, false);
  ASSERT_NE(copy, nullptr);
  auto& clone = static_cast<Window&>(*copy);
  EXPECT_EQ(clone.GetOwnerWindow(), nullptr);
  ASSERT_EQ(clone.GetWidgetCount(), 2u);
  TakeLog();
  clone.SetFocus();
  clone.OnNavigate({}, kWidgetDown);
  clone.OnNavigate({}, kWidgetOk);
  EXPECT_TRUE(TakeLog().empty());
  EXPECT_EQ(clone.GetFocusedWidget(), clone.GetChild(1));
  EXPECT_EQ(menu.GetFocusedWidget(), &ButtonOf(menu, 0));
  EXPECT_FALSE(menu.HasFocus());
}

TEST_F(WindowTest, AWindowStartedAgainIsListedOnce) {
  auto& world = static_cast<World&>(Add<Object>(kClassWorld, "Level"));
  Window& window = Add<Window>(world, kClassWindow, "Title");
  window.SetActive(false);
  RunCommand<std::int32_t>(window, 6536, 1);
  world.Precalculate();
  world.Precalculate();
  window.SetActive(true);
  AddMaterial("Skin");
  RunCommand(window, 6542, std::string("Skin"));
  world.SetActive(true);
  world.PostPass();
  EXPECT_EQ(Queued<ScreenQuadCommand>(kListOverlay).size(), 1u);
}

TEST_F(WindowTest, TheWorldDrawsMainAndFullscreenWindowsWhileTheirActionRuns) {
  struct Case {
    std::uint32_t flags;
    bool started;
    std::size_t drawn;
  };
  const Case cases[] = {{0, true, 0},       {kWindowMainWindow, true, 1}, {kWindowFullscreen, true, 1},
                        {kWindowMainWindow, false, 0}, {kWindowFullscreen, false, 0}};
  AddMaterial("Skin");
  for (const Case& c : cases) {
    auto& world = static_cast<World&>(Add<Object>(kClassWorld, "Level"));
    Window& window = Add<Window>(world, kClassWindow, "Title");
    RunCommand(window, 6542, std::string("Skin"));
    RunCommand<std::int32_t>(window, 6536, (c.flags & kWindowMainWindow) ? 1 : 0);
    RunCommand<std::int32_t>(window, 6518, (c.flags & kWindowFullscreen) ? 1 : 0);
    RunCommand<std::int32_t>(window, 6536, (c.flags & kWindowMainWindow) ? 1 : 0);
    window.SetFlag(kFlagActionStarted, c.started);
    world.Precalculate();
    world.SetActive(true);
    Queue().Reset();
    world.PostPass();
    EXPECT_EQ(Queued<ScreenQuadCommand>(kListOverlay).size(), c.drawn) << c.flags << " " << c.started;
    DestroyObjectTree(engine->DetachChild(world));
  }
}

}  // namespace
}  // namespace tge::test

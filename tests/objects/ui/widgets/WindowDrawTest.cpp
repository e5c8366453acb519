// What windows and widgets queue: backgrounds, highlight frames, text, and
// the progress bar of a resource load.
#include "core/script/ScriptInterpreter.h"
#include "engine/WindowProgressDisplay.h"
#include "objects/ui/widgets/Sprite.h"
#include "objects/ui/widgets/Text.h"
#include "services/resources/FontResource.h"
#include "tests/objects/ui/UiFixture.h"

namespace tge::test {
namespace {

class WindowDrawTest : public UiFixture {
 protected:
  void SetUp() override {
    UiFixture::SetUp();
    AddMaterial("Skin");
    AddMaterial("Frame");
    auto font = std::make_unique<FontResource>();
    font->SetName("Font");
    Resources().RegisterResource(std::move(font));
  }

  std::vector<const ScreenQuadCommand*> Quads() { return Queued<ScreenQuadCommand>(kListOverlay); }
  static float Alpha(const ScreenQuadCommand& quad) {
    return static_cast<float>(quad.vertices[0].colour >> 24) / 255.0f;
  }
  std::vector<const TextCommand*> Texts() {
    std::vector<const TextCommand*> out;
    for (const RenderCommand* c = Queue().GetList(kListOverlay); c != nullptr; c = c->next) {
      if (c->kind == RenderCommandKind::kText) out.push_back(static_cast<const TextCommand*>(c));
    }
    return out;
  }
};

TEST_F(WindowDrawTest, ADisabledButtonDrawsAtHalfAlphaAndADisabledWindowOnlyItsText) {
  for (int classId : {kClassButton, kClassWindow}) {
    SCOPED_TRACE(classId);
    Queue().Reset();
    auto& widget = Add<Window>(classId);
    RunScriptText(widget, "this.SetWindowSprite(Skin); this.SetWindowFont(Font); this.SetWindowText(Go); "
                          "this.SetWindowEnable(0);", nullptr);
    widget.Draw();
    std::vector<const ScreenQuadCommand*> quads;
    for (const RenderCommand* c = Queue().GetList(kListOverlay); c != nullptr; c = c->next) {
      if (c->kind == RenderCommandKind::kScreenQuad) quads.push_back(static_cast<const ScreenQuadCommand*>(c));
    }
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_NEAR(Alpha(*quads[0]), classId == kClassButton ? 0.5f : 1.0f, 0.01f);
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_FLOAT_EQ(Texts()[0]->colour.a, 0.5f);
  }
}

// Labels of widgets other than buttons stand right-aligned left of them.
TEST_F(WindowDrawTest, TextIsDrawnInsideWindowsAndButtonsAndAsALabelBesideOthers) {
  struct Case {
    int classId;
    float x;
    std::uint32_t flags;
  };
  const Case cases[] = {{kClassWindow, 50, 0x02}, {kClassButton, 50, 0x02}, {kClassSprite, 40, 0x08}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.classId);
    Queue().Reset();
    auto& widget = Add<Window>(c.classId);
    widget.SetPosition({50, 10, 1}, true);
    RunScriptText(widget, "this.SetWindowFont(Font); this.SetWindowText(Go); this.SetWindowAlignX(0); "
                          "this.SetWindowWidth(110);", nullptr);
    widget.Window::Draw();
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_FLOAT_EQ(Texts()[0]->position.x, c.x);
    EXPECT_EQ(Texts()[0]->flags & 0x0E, c.flags);
  }
}

TEST_F(WindowDrawTest, TheFocusWindowFramesItsFocusedAndHoveredWidgets) {
  RunScriptText(*engine, "this.SetUIButtonHiliteSprite(Frame);", nullptr);
  engine->ResolveUISkin();
  Window& menu = AddMenu({100, 200});
  menu.SetFocus();
  menu.OnPointerMove({50, 210, 0}, {});
  Queue().Reset();
  menu.Draw();
  const auto quads = Quads();
  ASSERT_EQ(quads.size(), 2u);
  const ScreenQuadCommand* focus = quads[0]->vertices[0].y < 100 ? quads[0] : quads[1];
  const ScreenQuadCommand* hover = focus == quads[0] ? quads[1] : quads[0];
  EXPECT_FLOAT_EQ(focus->vertices[0].x, -2.0f);
  EXPECT_FLOAT_EQ(focus->vertices[0].y, 98.0f);
  EXPECT_FLOAT_EQ(focus->vertices[3].x, 102.0f);
  EXPECT_FLOAT_EQ(focus->vertices[3].y, 122.0f);
  EXPECT_NEAR(Alpha(*focus), 1.0f, 0.01f);
  EXPECT_NEAR(Alpha(*hover), 0.5f, 0.01f);
  menu.DropWindowFocus();
  Queue().Reset();
  menu.Draw();
  EXPECT_TRUE(Quads().empty());
}

TEST_F(WindowDrawTest, ASpriteDrawsOnlyItsMaterialThroughItsTransform) {
  auto& sprite = Add<Sprite>(kClassSprite);
  sprite.SetPosition({30, 40, 2}, true);
  RunScriptText(sprite, "this.SetWindowUseSystemSprite(1); this.SetWindowUseSystemBackColor(1); "
                        "this.SetWindowWidth(20); this.SetWindowHeight(10); this.SetSpriteColor(1, 1, 1, 0.5);",
                nullptr);
  sprite.Draw();
  EXPECT_TRUE(Quads().empty());
  RunScriptText(sprite, "this.SetSpriteMaterial(Skin);", nullptr);
  sprite.Draw();
  const auto quads = Quads();
  ASSERT_EQ(quads.size(), 1u);
  EXPECT_FLOAT_EQ(quads[0]->vertices[0].x, 30.0f);
  EXPECT_FLOAT_EQ(quads[0]->vertices[3].x, 50.0f);
  EXPECT_FLOAT_EQ(quads[0]->vertices[3].y, 50.0f);
  EXPECT_NEAR(Alpha(*quads[0]), 0.5f, 0.01f);
}

// A bar 208 wide over 100 resources: 4 and 8, then 20 more after every
// tenth resource, and its width back at the end.
TEST_F(WindowDrawTest, AProgressLoadRedrawsTheBarAsItGrows) {
  class WidthLog : public Sprite {
   public:
    explicit WidthLog(std::vector<float>& widths) : widths_(widths) {}
    void Draw() override {
      widths_.push_back(GetWidth());
      Sprite::Draw();
    }

   private:
    std::vector<float>& widths_;
  };
  for (int i = 0; i < 100; ++i) AddMaterial("M" + std::to_string(i));
  Object& scene = Add<Object>(kClassObject, "Scene");
  for (int i = 0; i < 100; ++i) {
    RunScriptText(Add<Window>(scene, kClassSprite), "this.SetWindowSprite(M" + std::to_string(i) + ");", nullptr);
  }
  Window& loading = Add<Window>(kClassWindow, "Loading");
  std::vector<float> widths;
  Sprite& bar = Place(loading, std::make_unique<WidthLog>(widths), "ProgressBar", {0, 0, 1});
  bar.SetWidth(208);
  bar.SetActive(false);
  ASSERT_NE(WindowProgressDisplay::Find(loading), nullptr);
  ArgumentBlock block;
  block.PushText128("/Scene").PushText128("").PushText128("/Loading");
  engine->ExecuteCommand(253, block.Data());
  std::vector<float> expected{4, 8};
  for (float w = 28; w <= 208; w += 20) expected.push_back(w);
  ASSERT_EQ(widths.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(widths[i], expected[i], 0.01f) << i;
  EXPECT_FLOAT_EQ(bar.GetWidth(), 208.0f);
  EXPECT_FALSE(bar.GetActive());
}

TEST_F(WindowDrawTest, OnlyAWidgetNamedProgressBarGivesAProgressDisplay) {
  Window& meshBar = Add<Window>(kClassWindow, "MeshBar");
  Add<Object>(meshBar, kClassMesh, "ProgressBar");
  EXPECT_EQ(WindowProgressDisplay::Find(meshBar), nullptr);
  Window& spriteBar = Add<Window>(kClassWindow, "SpriteBar");
  EXPECT_EQ(WindowProgressDisplay::Find(spriteBar), nullptr);
  Add<Window>(spriteBar, kClassSprite, "ProgressBar");
  EXPECT_NE(WindowProgressDisplay::Find(spriteBar), nullptr);
}

}  // namespace
}  // namespace tge::test

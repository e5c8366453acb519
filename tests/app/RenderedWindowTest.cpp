// Pixel probes of a window drawn by the real program: a main window with a
// focused and a disabled button over nothing else, its skin, font and
// colours those of the demo's menu, set when the World starts.
#include <gtest/gtest.h>

#include <cmath>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "demo/places/DemoMenu.h"
#include "tests/app/ProbeStage.h"

namespace tge::test {
namespace {

class RenderedWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SceneDescription scene;
    scene.addResources = AddMenuResources;
    scene.buildObjects = [](Object& root) {
      Object& world = *CreateObject(kClassWorld, nullptr, root, "ProbeWorld");
      AddScript(world, "OnEngineStarted",
                "parent.SetUIWindowFont(MenuFont); parent.SetUIButtonBgSprite(MenuButton); "
                "parent.SetUIButtonHiliteSprite(MenuHilite); parent.LoadResources(/ProbeWorld); "
                "this/Panel.SetWindowFocus();");
      Object& panel = AddPlaced(world, kClassWindow, "Panel",
                                "this.SetPosition(100, 100, 1); this.SetWindowMainWindow(1); this.SetWindowWidth(300); "
                                "this.SetWindowHeight(200); this.SetWindowSprite(MenuPanel); "
                                "this.SetWindowBackColor(0, 0, 1, 1); this.SetWindowFont(MenuFont); "
                                "this.SetWindowText(TEST); this.SetWindowTextMarginX(10); "
                                "this.SetWindowTextMarginY(10);");
      AddPlaced(panel, kClassButton, "On",
                "this.SetPosition(50, 50, 1); this.SetWindowWidth(100); this.SetWindowHeight(30); "
                "this.SetWindowUseSystemSprite(1); this.SetWindowBackColor(0, 1, 0, 1);");
      AddPlaced(panel, kClassButton, "Off",
                "this.SetPosition(50, 100, 1); this.SetWindowWidth(100); this.SetWindowHeight(30); "
                "this.SetWindowUseSystemSprite(1); this.SetWindowBackColor(1, 0, 0, 1); this.SetWindowEnable(0);");
    };
    shot = ShootProbe(scene, "Rendered window test", {kShotWidth, kShotHeight}, 3);
  }

  image::Image shot;
};

TEST_F(RenderedWindowTest, BackgroundFocusFrameDisabledButtonAndText) {
  ASSERT_EQ(shot.width, std::uint32_t(kShotWidth));
  EXPECT_TRUE(Near(PixelAt(shot, 120, 280), {0, 0, 255}, 2));
  // The focused button, 150..250 x 150..180, framed 2 pixels wide.
  EXPECT_TRUE(Near(PixelAt(shot, 200, 165), {0, 255, 0}, 2));
  EXPECT_TRUE(Near(PixelAt(shot, 149, 165), {255, 255, 255}, 2));
  EXPECT_TRUE(Near(PixelAt(shot, 200, 181), {255, 255, 255}, 2));
  EXPECT_TRUE(Near(PixelAt(shot, 146, 165), {0, 0, 255}, 2));
  // The disabled one at half alpha over the panel, and unframed.
  EXPECT_TRUE(Near(PixelAt(shot, 200, 215), {128, 0, 128}, 3));
  EXPECT_TRUE(Near(PixelAt(shot, 149, 215), {0, 0, 255}, 2));
  // The text's glyphs add white onto the panel near its top left corner.
  int inked = 0;
  for (std::uint32_t y = 100; y < 140; ++y) {
    for (std::uint32_t x = 100; x < 200; ++x) inked += Near(PixelAt(shot, x, y), {255, 255, 255}, 8) ? 1 : 0;
  }
  EXPECT_GT(inked, 40);
  EXPECT_TRUE(Near(PixelAt(shot, 105, 105), {0, 0, 255}, 2));
}

}  // namespace
}  // namespace tge::test

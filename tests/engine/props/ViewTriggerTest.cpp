// ViewTrigger: the cone test in its draw, every 0.2 s, with its events.
#include "core/script/ScriptInterpreter.h"
#include "objects/gameplay/props/ViewTrigger.h"
#include "services/render/ViewState.h"
#include "tests/engine/props/PropsFixture.h"

namespace tge::test {
namespace {

class ViewTriggerTest : public PropsTest {
 protected:
  void SetUp() override {
    PropsTest::SetUp();
    view = &Place<ViewTrigger>(*room, "View", {0, 1, 10});
    View().SetCameraLookAt({0, 1, 0}, {0, 1, 1});
  }

  static ViewState& View() { return GetEngineServices()->GetView(); }

  void Frames(int count) {
    for (int i = 0; i < count; ++i) {
      Tick();
      view->Draw();
    }
  }

  ViewTrigger* view = nullptr;
};

TEST_F(ViewTriggerTest, WithoutTheConeItIsInViewWheneverDrawn) {
  RunScriptText(*view, "this.SetViewTriggerEnableCone(0);", nullptr);
  Start();
  Frames(12);
  EXPECT_TRUE(events.empty()) << "tested only after 0.2 s";
  Frames(60);
  EXPECT_EQ(Take(), (RaisedEvents{{ViewTrigger::kEventEnter, nullptr}}));
}

TEST_F(ViewTriggerTest, TheDefaultConeSeesNothingAndAWideOneSeesAhead) {
  Start();
  Frames(30);
  EXPECT_TRUE(events.empty());
  RunScriptText(*view, "this.SetViewTriggerConeAngle(30); this.SetViewTriggerConeMaxRange(20);", nullptr);
  Frames(30);
  EXPECT_EQ(Take(), (RaisedEvents{{ViewTrigger::kEventEnter, nullptr}}));
  view->SetPosition({0, 1, -10}, false);
  Frames(30);
  EXPECT_EQ(Take(), (RaisedEvents{{ViewTrigger::kEventExit, nullptr}}));
}

// Straight behind the camera the dot product can round below -1: the angle
// must still be 180 degrees, not NaN, which would count as in view.
TEST_F(ViewTriggerTest, AnObjectStraightBehindTheCameraIsOutOfView) {
  bool found = false;
  for (int i = 1; i < 4000 && !found; ++i) {
    const Vector3 eye{0.1f * static_cast<float>(i % 17), 1.3f, -0.7f * static_cast<float>(i % 13)};
    const Vector3 ahead{0.37f * static_cast<float>(i % 7) + 0.11f, 0.53f * static_cast<float>(i % 5) - 1.0f,
                        0.29f * static_cast<float>(i % 11) + 0.3f};
    View().SetCameraLookAt(eye, {eye.x + ahead.x, eye.y + ahead.y, eye.z + ahead.z});
    const Vector3 f = View().GetCameraForward();
    const float k = 3.0f + 0.25f * static_cast<float>(i % 23);
    const Vector3 behind{eye.x - f.x * k, eye.y - f.y * k, eye.z - f.z * k};
    const Vector3 v{behind.x - eye.x, behind.y - eye.y, behind.z - eye.z};
    Vector3 n;
    Vector3Normalize(n, v);
    if (Vector3Dot(f, n) < -1.0f) {
      found = true;
      view->SetPosition(behind, false);
    }
  }
  ASSERT_TRUE(found) << "no line rounds below -1";
  RunScriptText(*view, "this.SetViewTriggerConeAngle(90); this.SetViewTriggerConeMaxRange(100);", nullptr);
  Start();
  Frames(30);
  EXPECT_TRUE(events.empty());
  EXPECT_FALSE(view->IsInView());
}

// Stopped in view: the exit; started again in view: no second enter.
TEST_F(ViewTriggerTest, StopWhileInViewRaisesTheExitAndTheStateStays) {
  RunScriptText(*view, "this.SetViewTriggerEnableCone(0);", nullptr);
  Start();
  Frames(15);
  ASSERT_EQ(Take().size(), 1u);
  view->Stop();
  EXPECT_EQ(Take(), (RaisedEvents{{ViewTrigger::kEventExit, nullptr}}));
  view->Start();
  Frames(30);
  EXPECT_TRUE(events.empty());
}

}  // namespace
}  // namespace tge::test

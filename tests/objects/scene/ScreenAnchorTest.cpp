// ScreenAnchor: its children are placed at its projected point, a point
// beyond the far plane keeps the last place, one never seen leaves them at
// the screen origin, and without a render device nothing moves.

#include "core/BaseCommandIds.h"
#include "objects/scene/ScreenAnchor.h"
#include "services/RenderDevice.h"
#include "tests/objects/scene/animation/MotionFixture.h"

namespace tge::test {
namespace {

void ExpectAt(Object& object, const Vector3& expected) {
  const Vector3 at = object.GetPositionWS();
  EXPECT_NEAR(at.x, expected.x, 1e-3f);
  EXPECT_NEAR(at.y, expected.y, 1e-3f);
  EXPECT_NEAR(at.z, expected.z, 1e-5f);
}

class ScreenAnchorTest : public MotionFixture {
 protected:
  ScreenAnchor& AddAnchor(const Vector3& at) {
    auto& anchor = Add<ScreenAnchor>(kClassScreenAnchor, "Label");
    anchor.SetPosition(at, true);
    Add<Object>(anchor, kClassObject, "Icon");
    return anchor;
  }
};

// Depth of a point z ahead: far / (far - near) x (1 - near / z).
float Depth(float z) { return 100.0f / 99 * (1 - 1 / z); }

TEST_F(ScreenAnchorTest, ChildrenFollowTheProjectedPoint) {
  OpenDevice();
  ScreenAnchor& anchor = AddAnchor({10, 0, 10});
  Object& icon = *anchor.GetChild(0);
  anchor.Draw();
  // x: (0.75 x 10 / 10 + 1) x 400; y: the middle row.
  ExpectAt(icon, {700, 300, Depth(10)});
  Vector3 projected;
  GetRenderDevice()->ProjectToScreen(projected, {10, 0, 10});
  EXPECT_NEAR(anchor.GetWorldMatrix().m[12], projected.x, 1e-4f);
  EXPECT_EQ(anchor.GetWorldMatrix().m[15], 1.0f);

  anchor.SetPosition({0, 5, 20}, true);
  anchor.Draw();
  ExpectAt(icon, {400, 300 - 0.75f * 5 / 20 * 400, Depth(20)});

  // Beyond the far plane, and behind the camera, the last place holds.
  for (const Vector3& unseen : {Vector3{0, 0, 150}, Vector3{0, 0, -5}}) {
    anchor.SetPosition(unseen, true);
    anchor.Draw();
    ExpectAt(icon, {400, 300 - 0.75f * 5 / 20 * 400, Depth(20)});
  }
}

TEST_F(ScreenAnchorTest, NeverSeenOrWithoutDeviceChildrenStayAtTheOrigin) {
  ScreenAnchor& blind = AddAnchor({0, 0, 10});
  blind.Draw();
  ExpectAt(*blind.GetChild(0), {0, 0, 0});
  OpenDevice();
  ScreenAnchor& far = AddAnchor({0, 0, 500});
  far.Draw();
  ExpectAt(*far.GetChild(0), {0, 0, 0});
  // A new anchor takes its own transform; its record reloads unchanged.
  auto& made = Add<ScreenAnchor>(kClassScreenAnchor, "Made");
  made.SetInheritOrientation(true);
  made.ExecuteCommand(kCommandInitializeNewObject, nullptr);
  EXPECT_NE(made.GetTransform(), nullptr);
  ExpectStableRecord(far);
}

}  // namespace
}  // namespace tge::test

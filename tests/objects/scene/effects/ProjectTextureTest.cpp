// ProjectTexture: nothing without a global collector, the triangles it
// gathers, a texture matrix that puts the image centre on its axis, frustums
// that are none, and its file record.
#include <cmath>

#include "core/ActiveCameraTable.h"
#include "core/math/Quaternion.h"
#include "objects/scene/Camera.h"
#include "objects/scene/effects/ProjectTexture.h"
#include "services/render/RenderQueue.h"
#include "tests/objects/scene/GroundFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kSetFov = 21500, kSetAspect = 21502, kSetNear = 21504, kSetFar = 21506;
constexpr std::uint32_t kSetProjectorMaterial = 21508;

class ProjectTextureTest : public GroundFixture {
 protected:
  void SetUp() override {
    GroundFixture::SetUp();
    AddMaterial("Slide");
    View().SetCameraLookAt({3, 6, -8}, {0, 0, 0});
  }

  // A projector 4 above the origin looking straight down.
  ProjectTexture& NewProjector() {
    ProjectTexture& projector = Add<ProjectTexture>(kClassProjectTexture, "Projector");
    std::string slide = "Slide";
    projector.ExecuteCommand(kSetProjectorMaterial, &slide);
    projector.SetPosition({0, 4, 0}, false);
    Quaternion down;
    QuaternionFromAxisAngle(down, {1, 0, 0}, 1.5707964f);
    projector.SetRotation(down, false);
    projector.Precalculate();
    return projector;
  }

  const PrimitivesCommand* Queued() {
    for (std::size_t list = 0; list < kListCallbacks; ++list) {
      for (const auto* c : SceneFixture::Queued<PrimitivesCommand>(list)) {
        if (c->kind == RenderCommandKind::kPrimitives) return c;
      }
    }
    return nullptr;
  }

  // Where a world point lands in the texture.
  static std::pair<float, float> TextureAt(const Matrix4& texture, const Matrix4& view, const Vector3& world) {
    Vector3 eye;
    Vector3TransformCoord(eye, world, view);
    const float in[4] = {eye.x, eye.y, eye.z, 1};
    float out[3] = {0, 0, 0};
    for (int j = 0; j < 3; ++j) {
      for (int i = 0; i < 4; ++i) out[j] += in[i] * texture.m[i * 4 + j];
    }
    return {out[0] / out[2], out[1] / out[2]};
  }
};

TEST_F(ProjectTextureTest, WithoutAGlobalCollectorItMakesNoListAndDrawsNothing) {
  ProjectTexture& projector = NewProjector();
  EXPECT_EQ(projector.GetTriangleList(), nullptr);
  Queue().Reset();
  projector.Draw();
  EXPECT_EQ(Queued(), nullptr);
}

TEST_F(ProjectTextureTest, QueuesTheGatheredTrianglesWithItsTextureMatrix) {
  Space& yard = AddGround(6, 2.0f, 40, true);
  AddGlobalCollector(yard);
  ProjectTexture& projector = NewProjector();
  ASSERT_NE(projector.GetTriangleList(), nullptr);
  EXPECT_EQ(projector.GetTriangleList()->capacity, 4000u);
  Queue().Reset();
  projector.Draw();
  const PrimitivesCommand* queued = Queued();
  ASSERT_NE(queued, nullptr);
  EXPECT_EQ(queued->count, projector.GetTriangleList()->count);
  EXPECT_GT(queued->count, 0u);
  EXPECT_EQ(queued->projection, &projector.GetTextureMatrix());
  EXPECT_EQ(static_cast<const ColourVertex*>(queued->vertices)[0].colour, 0xFFFFFFFFu);

  const Matrix4& view = View().GetViewMatrix();
  const auto [u, v] = TextureAt(projector.GetTextureMatrix(), view, {0, 0, 0});
  EXPECT_NEAR(u, 0.5f, 1e-4);
  EXPECT_NEAR(v, 0.5f, 1e-4);
  // The frustum's edge, depth 4 and half-width 4 tan(0.5) x aspect, is the
  // texture's edge.
  const float edge = 4.0f * std::tan(0.5f) * 1.333f;
  EXPECT_NEAR(TextureAt(projector.GetTextureMatrix(), view, {edge, 0, 0}).first, 1.0f, 1e-3);
}

TEST_F(ProjectTextureTest, AFrustumThatIsNoneDrawsNothing) {
  Space& yard = AddGround(2, 2.0f, 40, true);
  AddGlobalCollector(yard);
  const std::pair<std::uint32_t, float> bad[] = {{kSetFov, 0.0f}, {kSetFov, 3.2f}, {kSetAspect, 0.0f},
                                                 {kSetFar, 0.05f}};
  for (const auto& [id, value] : bad) {
    ProjectTexture& projector = NewProjector();
    Send(projector, id, value);
    Queue().Reset();
    projector.Draw();
    EXPECT_EQ(Queued(), nullptr) << id;
  }
  ProjectTexture& fine = NewProjector();
  Send(fine, kSetNear, 0.5f);
  Queue().Reset();
  fine.Draw();
  EXPECT_NE(Queued(), nullptr);
}

TEST_F(ProjectTextureTest, RecordRoundTrips) {
  ProjectTexture& projector = Add<ProjectTexture>(kClassProjectTexture, "Projector");
  std::string slide = "Slide";
  projector.ExecuteCommand(kSetProjectorMaterial, &slide);
  Send(projector, kSetFov, 0.7f);
  std::unique_ptr<ProjectTexture> loaded = RoundTrip(projector);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(Save(*loaded), Save(projector));
}

}  // namespace
}  // namespace tge::test

#include "services/render/TerrainLodRenderer.h"

#include <cmath>

#include "core/math/Matrix4.h"
#include "platform/gfx/States.h"
#include "services/render/ViewState.h"

namespace tge {
namespace {

// Pushes the error points away from the eye, so that the projected errors
// of patches close to the camera stay measured in screen terms.
constexpr float kErrorDepthFactor = 1.2f;

// View-space planes (normal, d), a point p inside each when n.p < d.
std::array<Vector4, 6> FrustumPlanes(float nearDistance, float horizontal, float vertical, float farLimit) {
  const float ch = std::cos(horizontal / 2), sh = std::sin(horizontal / 2);
  const float cv = std::cos(vertical / 2), sv = std::sin(vertical / 2);
  return {{{0, 0, -1, -nearDistance},
           {0, 0, 1, farLimit},
           {ch, 0, -sh, 0},
           {-ch, 0, -sh, 0},
           {0, cv, -sv, 0},
           {0, -cv, -sv, 0}}};
}

}  // namespace

TerrainLodRenderer::~TerrainLodRenderer() {
  if (device_ && GetRenderDevice() == device_) device_->RemoveDefaultPoolUser(this);
}

bool TerrainLodRenderer::Build() {
  if (!samples_.samples || samples_.width < kMinSamples || samples_.height < kMinSamples) return false;
  grid_ = std::vector<TerrainPatch>(std::size_t(kPatchColumns * kPatchRows));
  const Vector3 size{kPatchSize, kHeightScale, kPatchSize};
  for (int j = 0; j < kPatchRows; ++j) {
    for (int k = 0; k < kPatchColumns; ++k) {
      const Vector3 corner{origin_.x + float(k) * kPatchSize, origin_.y, origin_.z + float(j) * kPatchSize};
      TerrainPatch& patch = PatchAt(k, j);
      patch.Setup(samples_, k, j, corner, size);
      patch.SetNeighbour(TerrainPatch::kWest, k > 0 ? &PatchAt(k - 1, j) : nullptr);
      patch.SetNeighbour(TerrainPatch::kEast, k + 1 < kPatchColumns ? &PatchAt(k + 1, j) : nullptr);
      patch.SetNeighbour(TerrainPatch::kRow0, j > 0 ? &PatchAt(k, j - 1) : nullptr);
      patch.SetNeighbour(TerrainPatch::kRow16, j + 1 < kPatchRows ? &PatchAt(k, j + 1) : nullptr);
    }
  }
  return true;
}

void TerrainLodRenderer::Register(RenderDevice& device) {
  if (device_ == &device) return;
  if (device_ && GetRenderDevice() == device_) device_->RemoveDefaultPoolUser(this);
  device_ = &device;
  device.AddDefaultPoolUser(this);
}

void TerrainLodRenderer::Activate(TerrainPatch& patch) {
  patch.Activate();
  patch.previous = nullptr;
  patch.next = active_;
  if (active_) active_->previous = &patch;
  active_ = &patch;
}

void TerrainLodRenderer::Deactivate(TerrainPatch& patch) {
  patch.Release();
  if (patch.previous) patch.previous->next = patch.next;
  if (patch.next) patch.next->previous = patch.previous;
  if (active_ == &patch) active_ = patch.next;
  patch.next = patch.previous = nullptr;
}

void TerrainLodRenderer::UpdateVisibility(const ViewState& view) {
  for (TerrainPatch* p = active_; p; p = p->next) p->seen = false;
  const auto planes = FrustumPlanes(view.GetNearDistance(), view.GetFieldOfViewTimesAspect(),
                                    view.GetFieldOfView(), kFarLimit);
  for (TerrainPatch& patch : grid_) {
    const bool visible = patch.IsInView(view.GetViewMatrix(), planes);
    patch.SetVisible(visible);
    if (visible) {
      patch.seen = true;
      if (!patch.IsActive()) Activate(patch);
    } else if (patch.IsActive()) {
      Deactivate(patch);
    }
    ++testedPatches_;
  }
  for (TerrainPatch* p = active_; p;) {
    TerrainPatch* next = p->next;
    if (!p->seen) Deactivate(*p);
    p = next;
  }
}

void TerrainLodRenderer::ChooseLevels(const ViewState& view) {
  // The vertices carry the tile's place already, so the world is the identity.
  Matrix4 push, viewPush, errorMatrix;
  Matrix4Translation(push, 0, 0, kErrorDepthFactor * std::max(kPatchSize, kHeightScale));
  Matrix4Multiply(viewPush, view.GetViewMatrix(), push);
  Matrix4Multiply(errorMatrix, viewPush, view.GetProjectionMatrix());
  for (TerrainPatch* p = active_; p; p = p->next) p->ChooseLevel(errorMatrix, view.GetCameraPosition(), kLodFactor);
  for (bool changed = true; changed;) {
    changed = false;
    for (TerrainPatch* p = active_; p; p = p->next) changed |= p->LimitToNeighbours();
  }
}

void TerrainLodRenderer::Update(RenderDevice& device, const ViewState& view) {
  if (grid_.empty()) return;
  Register(device);
  testedPatches_ = 0;
  UpdateVisibility(view);
  ChooseLevels(view);
  vertexTotal_ = indexTotal_ = 0;
  for (TerrainPatch* p = active_; p; p = p->next) {
    p->UpdateLod();
    vertexTotal_ += std::uint32_t(p->Vertices().size());
    indexTotal_ += std::uint32_t(p->Indices().size()) + 2;
  }
  for (TerrainPatch* p = active_; p; p = p->next) p->UpdateEdges(device);
  for (TerrainPatch* p = active_; p; p = p->next) p->FinishUpdate();
  // The first patch needs no join.
  if (indexTotal_ > 1) indexTotal_ -= 2;
}

void TerrainLodRenderer::Draw(RenderDevice& device) {
  Matrix4 identity;
  device.SetWorldMatrix(Matrix4Identity(identity));
  device.SetRenderStateCached(gfx::kRsLighting, 0);
  drawnPatches_ = 0;
  drawnTriangles_ = 0;
  for (TerrainPatch* p = active_; p; p = p->next) {
    drawnTriangles_ += p->Draw(device);
    ++drawnPatches_;
  }
  device.SetRenderStateCached(gfx::kRsLighting, 1);
}

// Patches out of view keep their buffers too.
void TerrainLodRenderer::ReleaseDefaultPool() {
  for (TerrainPatch& patch : grid_) patch.DropBuffers();
}

}  // namespace tge

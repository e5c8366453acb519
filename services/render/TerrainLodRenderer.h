// Draws one height-map tile as a 16 x 16 grid of TerrainPatch squares, each
// at its own level of detail. Every frame it culls the patches against the
// view, gives the patches in view their arrays and buffers (made once and
// kept while a patch is out of view), chooses each one's level from its projected
// height error, keeps neighbours within one level of each other, rebuilds
// and uploads the strips that changed, and draws.
//
// The patch buffers live in the device's default pool: a device reset drops
// them all, in view or not, and the next update makes them again.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "services/RenderDevice.h"
#include "services/render/TerrainPatch.h"

namespace tge {

class ViewState;

class TerrainLodRenderer : public DefaultPoolUser {
 public:
  static constexpr int kPatchColumns = 16;
  static constexpr int kPatchRows = 16;
  static constexpr float kPatchSize = 128.0f;
  static constexpr float kHeightScale = 256.0f;
  static constexpr float kFarLimit = 2048.0f;
  static constexpr float kLodFactor = 0.2f;
  // Samples per side the grid reads.
  static constexpr int kMinSamples = kPatchColumns * TerrainPatch::kCells + 1;

  TerrainLodRenderer() = default;
  ~TerrainLodRenderer() override;
  TerrainLodRenderer(const TerrainLodRenderer&) = delete;
  TerrainLodRenderer& operator=(const TerrainLodRenderer&) = delete;

  void SetPosition(const Vector3& origin) { origin_ = origin; }
  // The samples stay the caller's; at least kMinSamples on each side.
  void SetHeightData(const TerrainSamples& samples) { samples_ = samples; }
  // Makes the patch grid; false when the samples are too few.
  bool Build();

  // The far distance of the view is not used: patches end at kFarLimit.
  void Update(RenderDevice& device, const ViewState& view);
  void Draw(RenderDevice& device);

  int GetDrawnPatchCount() const { return drawnPatches_; }
  int GetTestedPatchCount() const { return testedPatches_; }
  std::uint32_t GetDrawnTriangleCount() const { return drawnTriangles_; }
  std::uint32_t GetIndexTotal() const { return indexTotal_; }
  std::uint32_t GetVertexTotal() const { return vertexTotal_; }
  TerrainPatch& PatchAt(int column, int row) { return grid_[std::size_t(row * kPatchColumns + column)]; }

  void ReleaseDefaultPool() override;
  void RestoreDefaultPool(gfx::Device&) override {}

 private:
  void Activate(TerrainPatch& patch);
  void Deactivate(TerrainPatch& patch);
  void UpdateVisibility(const ViewState& view);
  void ChooseLevels(const ViewState& view);
  void Register(RenderDevice& device);

  Vector3 origin_;
  TerrainSamples samples_;
  std::vector<TerrainPatch> grid_;
  TerrainPatch* active_ = nullptr;
  int drawnPatches_ = 0, testedPatches_ = 0;
  std::uint32_t drawnTriangles_ = 0, vertexTotal_ = 0, indexTotal_ = 0;
  RenderDevice* device_ = nullptr;
};

}  // namespace tge

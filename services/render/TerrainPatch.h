// One square patch of a terrain tile: 16 x 16 cells (17 x 17 grid points)
// drawn as one indexed triangle strip at one of five levels of detail.
// Level n keeps every 2^n-th grid point; a side whose neighbour is one level
// finer is stitched with that neighbour's extra edge points, and the edge
// heights are averaged and copied so that shared edges never crack.
//
// A patch fills its arrays and device buffers while it is active (in view)
// and keeps their room when it leaves the view, for its return;
// TerrainLodRenderer owns the patches and drives them every frame.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/math/Vector.h"
#include "platform/gfx/Resources.h"

namespace tge {

class RenderDevice;
struct Matrix4;

struct TerrainVertex {
  float x, y, z, u, v;
};
static_assert(sizeof(TerrainVertex) == 20);

// The height samples a tile's patches read: one byte per sample, the first
// row at the tile's z origin. Owned by the tile.
struct TerrainSamples {
  const std::uint8_t* samples = nullptr;
  int width = 0;
  int height = 0;
};

class TerrainPatch {
 public:
  static constexpr int kCells = 16;
  static constexpr int kSide = kCells + 1;
  static constexpr int kGridPoints = kSide * kSide;
  static constexpr int kMaxIndices = 3 * kGridPoints;
  static constexpr int kLevels = 5;
  static constexpr int kNoLevel = 5;
  static constexpr std::uint16_t kUnused = 0xFFFF;
  static constexpr std::uint32_t kVertexFormat = 0x102;  // position and one texture-coordinate set

  enum Side { kWest, kEast, kRow0, kRow16, kSideCount };
  struct GridPoint {
    int a, b;
  };

  // Places the patch at grid column and row and measures its heights and the
  // mean error of each level.
  void Setup(const TerrainSamples& samples, int column, int row, const Vector3& origin, const Vector3& size);
  void SetNeighbour(Side side, TerrainPatch* patch) { neighbours_[side] = patch; }

  // The box of its heights against six view-space planes (n.p < d inside).
  bool IsInView(const Matrix4& view, const std::array<Vector4, 6>& planes) const;
  void Activate();
  void Release();
  // The finest level whose projected error stays below a threshold that
  // grows with the camera distance.
  void ChooseLevel(const Matrix4& errorMatrix, const Vector3& camera, float lodFactor);
  // Lowers the chosen level to one above the coarsest neighbour; true when
  // it changed.
  bool LimitToNeighbours();
  // Rebuilds the strip when its level or a neighbour's changed.
  void UpdateLod();
  // Copies the edge heights of flattened neighbours and uploads what changed.
  void UpdateEdges(RenderDevice& device);
  void FinishUpdate() { dirty_ = false; }
  // Primitives drawn.
  std::uint32_t Draw(RenderDevice& device) const;
  // After a device reset the buffers are gone; the next update uploads anew.
  void DropBuffers();

  bool IsActive() const { return active_; }
  void SetVisible(bool visible) { visible_ = visible; }
  int GetChosenLevel() const { return chosen_; }
  int GetBuiltLevel() const { return built_; }
  // The level the strip uses towards neighbours: the chosen one in view,
  // the built one out of it, 4 at the grid border.
  static int LevelOf(const TerrainPatch* patch);
  Vector3 GetSize() const { return size_; }

  // Builds the strip at level built, stitched towards the sides whose
  // levels are finer, and shaped like level ideal (at least built).
  void Rebuild(int ideal, int built, const std::array<int, kSideCount>& sideLevels);
  const std::vector<TerrainVertex>& Vertices() const { return vertices_; }
  const std::vector<std::uint16_t>& Indices() const { return indices_; }
  // Grid point (a, b) when it has a vertex, else null.
  const TerrainVertex* FindVertex(int a, int b) const;

  TerrainPatch* next = nullptr;
  TerrainPatch* previous = nullptr;
  bool seen = false;

 private:
  TerrainVertex SamplePosition(int a, int b) const;
  float SampleHeight(int a, int b) const;
  void ComputeLevelErrors();
  std::uint16_t GetVertex(int a, int b);
  void Append(int a, int b) { indices_.push_back(GetVertex(a, b)); }
  void Repeat() { indices_.push_back(indices_.back()); }
  void AddBand(int z, int s);
  void AddRow0Band(int s);
  void AddRow16Band(int s);
  void AddSingleCell();
  void FlattenLevel(int level);
  void AverageEdgeMidpoints();
  float* FindHeight(int a, int b);
  void SetMean(int a, int b, GridPoint p, GridPoint q);
  bool CopyEdgeHeights();
  bool CopyEdge(Side side, const TerrainPatch& neighbour);
  bool CreateBuffers(RenderDevice& device);
  void Upload(RenderDevice& device);

  TerrainSamples samples_;
  int column_ = 0, row_ = 0;
  Vector3 origin_, size_;
  float minHeight_ = -1.0f, maxHeight_ = -1.0f;
  std::array<Vector3, kLevels> raisedCentre_{};
  std::array<float, kLevels> meanError_{};
  std::array<float, kLevels> error_{};

  bool active_ = false, visible_ = false, dirty_ = true;
  int chosen_ = kNoLevel, built_ = kNoLevel, previousIdeal_ = kNoLevel, target_ = kNoLevel, ideal_ = kNoLevel;
  std::array<int, kSideCount> recorded_{kNoLevel, kNoLevel, kNoLevel, kNoLevel};
  std::array<bool, kSideCount> finer_{};
  std::array<TerrainPatch*, kSideCount> neighbours_{};

  std::vector<std::uint16_t> vertexMap_;
  std::vector<TerrainVertex> vertices_;
  std::vector<std::uint16_t> indices_;
  std::unique_ptr<gfx::VertexBuffer> vertexBuffer_;
  std::unique_ptr<gfx::IndexBuffer> indexBuffer_;
  // What the buffers hold now, and what they have room for.
  std::uint32_t bufferVertices_ = 0, bufferIndices_ = 0;
  std::uint32_t vertexCapacity_ = 0, indexCapacity_ = 0;
};

// Grid step of a level: 1, 2, 4, ... 64 for levels 0 to 6, else 1.
int LodStep(int level);

}  // namespace tge

// A uniform grid over the ground plane (x, z) of a navigation mesh: each cell
// lists, in ascending order, the triangles whose bounding box touches it, so
// placing a point on the mesh tests the few triangles around it rather than
// every triangle. The cell of a coordinate only grows with the coordinate,
// so a box that holds a point (edges included) is always listed in the
// point's cell.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

namespace tge {

struct NavBox {
  float minX = 0, minZ = 0, maxX = 0, maxZ = 0;
};

class NavTriangleGrid {
 public:
  // The grid over boxes[i] for triangle i, about two triangles a cell; the
  // boxes are finite.
  void Build(const std::vector<NavBox>& boxes);
  void Clear();

  // Whether Candidates answers for (x, z): the grid is built and neither is
  // a NaN.
  bool Covers(float x, float z) const;
  // The triangles whose box may hold (x, z), ascending.
  std::span<const std::int32_t> Candidates(float x, float z) const;

 private:
  struct Axis {
    float origin = 0;
    float extent = 0;
    float scale = 0;  // cells per unit
    int cells = 0;
    void SetCells(int count);
    // The cell of a coordinate, clamped to the grid.
    int Cell(float value) const;
  };

  // Cell counts for about two triangles a cell over the boxes' bounds.
  void Shape(const std::vector<NavBox>& boxes);
  std::size_t CountEntries(const std::vector<NavBox>& boxes) const;
  void Fill(const std::vector<NavBox>& boxes);
  std::size_t CellIndex(int column, int row) const {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(x_.cells) + static_cast<std::size_t>(column);
  }

  Axis x_;
  Axis z_;
  // Cell c lists entries_[starts_[c]] up to entries_[starts_[c + 1]].
  std::vector<std::uint32_t> starts_;
  std::vector<std::int32_t> entries_;
};

}  // namespace tge

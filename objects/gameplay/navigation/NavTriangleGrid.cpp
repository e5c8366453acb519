#include "objects/gameplay/navigation/NavTriangleGrid.h"

#include <algorithm>
#include <cmath>

namespace tge {
namespace {

constexpr std::size_t kTrianglesPerCell = 2;
constexpr int kMaxAxisCells = 4096;
// Long thin or overlapping triangles touch many cells; past this many
// entries a triangle on average the cells are made coarser.
constexpr std::size_t kMaxEntriesPerTriangle = 8;

int AxisCells(double extent, double cellSize) {
  if (!(extent > 0) || !(cellSize > 0)) return 1;
  return static_cast<int>(std::clamp(std::ceil(extent / cellSize), 1.0, static_cast<double>(kMaxAxisCells)));
}

}  // namespace

void NavTriangleGrid::Axis::SetCells(int count) {
  cells = count;
  scale = extent > 0 && std::isfinite(extent) ? static_cast<float>(count) / extent : 0.0f;
}

// (value - origin) * scale never decreases as value grows, whatever the
// rounding, which is what keeps a box's cells around its points' cells.
int NavTriangleGrid::Axis::Cell(float value) const {
  const float at = (value - origin) * scale;
  if (!(at > 0)) return 0;
  if (at >= static_cast<float>(cells)) return cells - 1;
  return std::min(static_cast<int>(at), cells - 1);
}

void NavTriangleGrid::Clear() {
  x_ = {};
  z_ = {};
  starts_.clear();
  entries_.clear();
}

void NavTriangleGrid::Build(const std::vector<NavBox>& boxes) {
  Clear();
  if (boxes.empty()) return;
  Shape(boxes);
  while (CountEntries(boxes) > kMaxEntriesPerTriangle * boxes.size() && (x_.cells > 1 || z_.cells > 1)) {
    x_.SetCells(std::max(1, x_.cells / 2));
    z_.SetCells(std::max(1, z_.cells / 2));
  }
  Fill(boxes);
}

void NavTriangleGrid::Shape(const std::vector<NavBox>& boxes) {
  NavBox bounds = boxes.front();
  for (const NavBox& box : boxes) {
    bounds.minX = std::min(bounds.minX, box.minX);
    bounds.minZ = std::min(bounds.minZ, box.minZ);
    bounds.maxX = std::max(bounds.maxX, box.maxX);
    bounds.maxZ = std::max(bounds.maxZ, box.maxZ);
  }
  x_.origin = bounds.minX;
  z_.origin = bounds.minZ;
  x_.extent = bounds.maxX - bounds.minX;
  z_.extent = bounds.maxZ - bounds.minZ;
  const double cells = static_cast<double>(std::max<std::size_t>(1, boxes.size() / kTrianglesPerCell));
  const double width = x_.extent, depth = z_.extent;
  const double cellSize = width > 0 && depth > 0 ? std::sqrt(width * depth / cells) : std::max(width, depth) / cells;
  x_.SetCells(AxisCells(width, cellSize));
  z_.SetCells(AxisCells(depth, cellSize));
}

std::size_t NavTriangleGrid::CountEntries(const std::vector<NavBox>& boxes) const {
  std::size_t count = 0;
  for (const NavBox& box : boxes) {
    const auto columns = static_cast<std::size_t>(x_.Cell(box.maxX) - x_.Cell(box.minX) + 1);
    const auto rows = static_cast<std::size_t>(z_.Cell(box.maxZ) - z_.Cell(box.minZ) + 1);
    count += columns * rows;
  }
  return count;
}

// Counts per cell, then each triangle in ascending order into its cells.
void NavTriangleGrid::Fill(const std::vector<NavBox>& boxes) {
  starts_.assign(CellIndex(0, z_.cells) + 1, 0);
  const auto forEachCell = [this](const NavBox& box, auto visit) {
    for (int row = z_.Cell(box.minZ); row <= z_.Cell(box.maxZ); ++row) {
      for (int column = x_.Cell(box.minX); column <= x_.Cell(box.maxX); ++column) visit(CellIndex(column, row));
    }
  };
  for (const NavBox& box : boxes) forEachCell(box, [this](std::size_t cell) { ++starts_[cell + 1]; });
  for (std::size_t cell = 1; cell < starts_.size(); ++cell) starts_[cell] += starts_[cell - 1];
  entries_.resize(starts_.back());
  std::vector<std::uint32_t> next(starts_.begin(), starts_.end() - 1);
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    forEachCell(boxes[i], [&](std::size_t cell) { entries_[next[cell]++] = static_cast<std::int32_t>(i); });
  }
}

bool NavTriangleGrid::Covers(float x, float z) const { return !starts_.empty() && !std::isnan(x) && !std::isnan(z); }

std::span<const std::int32_t> NavTriangleGrid::Candidates(float x, float z) const {
  const std::size_t cell = CellIndex(x_.Cell(x), z_.Cell(z));
  return {entries_.data() + starts_[cell], entries_.data() + starts_[cell + 1]};
}

}  // namespace tge

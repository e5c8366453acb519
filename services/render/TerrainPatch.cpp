#include "services/render/TerrainPatch.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/math/Matrix4.h"
#include "platform/gfx/States.h"
#include "services/RenderDevice.h"

namespace tge {
namespace {

constexpr float kGridToPatch = 1.0f / TerrainPatch::kCells;
constexpr float kTextureRepeats = 100.0f;
constexpr int kCentre = TerrainPatch::kCells / 2;
// Each level's projected error is at least this much above the finer one's.
constexpr float kErrorGrowth = 1.1f;
constexpr float kDistanceScale = 0.03125f;

using GridPoint = TerrainPatch::GridPoint;

// The single cell of level 4, by finer sides (west 8, east 4, row 0 2,
// row 16 1): the midpoint of every finer side is fanned into the cell.
struct CellSequence {
  int count;
  std::array<GridPoint, 8> points;
};
constexpr std::array<CellSequence, 16> kSingleCell{{
    {4, {{{0, 0}, {0, 16}, {16, 0}, {16, 16}}}},
    {6, {{{16, 16}, {16, 16}, {8, 16}, {16, 0}, {0, 16}, {0, 0}}}},
    {6, {{{0, 0}, {0, 0}, {8, 0}, {0, 16}, {16, 0}, {16, 16}}}},
    {8, {{{0, 0}, {0, 0}, {8, 0}, {0, 16}, {16, 0}, {8, 16}, {16, 16}, {16, 16}}}},
    {6, {{{16, 16}, {16, 8}, {0, 16}, {16, 0}, {0, 0}, {0, 0}}}},
    {6, {{{16, 16}, {16, 8}, {8, 16}, {16, 0}, {0, 16}, {0, 0}}}},
    {8, {{{0, 0}, {0, 16}, {8, 0}, {16, 0}, {16, 0}, {0, 16}, {16, 8}, {16, 16}}}},
    {8, {{{16, 16}, {16, 8}, {8, 16}, {16, 0}, {0, 16}, {8, 0}, {0, 0}, {0, 0}}}},
    {6, {{{0, 0}, {0, 8}, {16, 0}, {0, 16}, {16, 16}, {16, 16}}}},
    {8, {{{16, 16}, {16, 0}, {8, 16}, {0, 16}, {0, 16}, {16, 0}, {0, 8}, {0, 0}}}},
    {6, {{{0, 0}, {0, 8}, {8, 0}, {0, 16}, {16, 0}, {16, 16}}}},
    {8, {{{0, 0}, {0, 8}, {8, 0}, {0, 16}, {16, 0}, {8, 16}, {16, 16}, {16, 16}}}},
    {6, {{{0, 0}, {0, 8}, {16, 0}, {0, 16}, {16, 8}, {16, 16}}}},
    {8, {{{0, 0}, {0, 8}, {16, 0}, {0, 16}, {16, 8}, {8, 16}, {16, 16}, {16, 16}}}},
    {8, {{{16, 16}, {16, 8}, {0, 16}, {16, 0}, {0, 8}, {8, 0}, {0, 0}, {0, 0}}}},
    {8, {{{0, 0}, {0, 8}, {8, 0}, {0, 16}, {16, 0}, {8, 16}, {16, 8}, {16, 16}}}},
}};

// Grid point t along a side of a patch.
GridPoint EdgePoint(TerrainPatch::Side side, int t) {
  switch (side) {
    case TerrainPatch::kWest: return {0, t};
    case TerrainPatch::kEast: return {TerrainPatch::kCells, t};
    case TerrainPatch::kRow0: return {t, 0};
    default: return {t, TerrainPatch::kCells};
  }
}

constexpr std::array<TerrainPatch::Side, TerrainPatch::kSideCount> kOpposite{
    TerrainPatch::kEast, TerrainPatch::kWest, TerrainPatch::kRow16, TerrainPatch::kRow0};

Vector3 Project(const Matrix4& m, const Vector3& point) {
  Vector3 p;
  Vector3TransformCoord(p, point, m);
  p.z = std::max(p.z, 0.0f);
  return p;
}

}  // namespace

int LodStep(int level) { return level >= 0 && level <= 6 ? 1 << level : 1; }

void TerrainPatch::Setup(const TerrainSamples& samples, int column, int row, const Vector3& origin,
                         const Vector3& size) {
  samples_ = samples;
  column_ = column;
  row_ = row;
  origin_ = origin;
  size_ = size;
  minHeight_ = size.y;
  maxHeight_ = 0;
  for (int b = 0; b < kSide; ++b) {
    for (int a = 0; a < kSide; ++a) {
      const float y = SamplePosition(a, b).y;
      minHeight_ = std::min(minHeight_, y);
      maxHeight_ = std::max(maxHeight_, y);
    }
  }
  ComputeLevelErrors();
}

float TerrainPatch::SampleHeight(int a, int b) const {
  // The tile keeps its rows from z = 0 upwards.
  const std::size_t index = std::size_t(kCells * row_ + b) * std::size_t(samples_.width) + std::size_t(kCells * column_ + a);
  return origin_.y + float(samples_.samples[index]) * size_.y * (1.0f / 255.0f);
}

TerrainVertex TerrainPatch::SamplePosition(int a, int b) const {
  const int column = kCells * column_ + a;
  const int row = kCells * row_ + b;
  return {origin_.x + float(a) * size_.x * kGridToPatch, SampleHeight(a, b),
          origin_.z + float(b) * size_.z * kGridToPatch, kTextureRepeats * float(column) / float(samples_.width - 1),
          kTextureRepeats * float(samples_.height - 1 - row) / float(samples_.height - 1)};
}

// The mean height gap, over the points a level leaves out, between the
// real surface and the level's bilinear blocks.
void TerrainPatch::ComputeLevelErrors() {
  const TerrainVertex centre = SamplePosition(kCentre, kCentre);
  for (int level = 0; level < kLevels; ++level) {
    const int s = LodStep(level);
    float sum = 0;
    int count = 0;
    for (int bz = 0; level > 0 && bz < kSide - s; bz += s) {
      for (int bx = 0; bx < kSide - s; bx += s) {
        const float h00 = SampleHeight(bx, bz), h10 = SampleHeight(bx + s, bz);
        const float h01 = SampleHeight(bx, bz + s), h11 = SampleHeight(bx + s, bz + s);
        for (int j = 1; j < s; ++j) {
          for (int i = 1; i < s; ++i) {
            const float fx = float(i) / float(s), fz = float(j) / float(s);
            const float flat = (h00 * (1 - fx) + h10 * fx) * (1 - fz) + (h01 * (1 - fx) + h11 * fx) * fz;
            sum += std::fabs(SampleHeight(bx + i, bz + j) - flat);
            ++count;
          }
        }
      }
    }
    meanError_[level] = count > 0 ? sum / float(count) : 0.0f;
    raisedCentre_[level] = {centre.x, centre.y + meanError_[level], centre.z};
  }
}

bool TerrainPatch::IsInView(const Matrix4& view, const std::array<Vector4, 6>& planes) const {
  const float bottom = origin_.y + minHeight_;
  std::array<Vector3, 8> corners;
  for (int i = 0; i < 8; ++i) {
    const Vector3 corner{origin_.x + ((i & 1) ? size_.x : 0.0f), bottom + ((i & 2) ? maxHeight_ : 0.0f),
                         origin_.z + ((i & 4) ? size_.z : 0.0f)};
    corners[i] = TransformPoint(corner, view);
  }
  for (const Vector4& plane : planes) {
    const bool allOutside = std::all_of(corners.begin(), corners.end(), [&plane](const Vector3& p) {
      return plane.x * p.x + plane.y * p.y + plane.z * p.z >= plane.w;
    });
    if (allOutside) return false;
  }
  return true;
}

void TerrainPatch::Activate() {
  chosen_ = built_ = previousIdeal_ = target_ = ideal_ = kNoLevel;
  recorded_.fill(kNoLevel);
  vertexMap_.assign(kGridPoints, kUnused);
  vertices_.reserve(kGridPoints);
  indices_.reserve(kMaxIndices);
  dirty_ = true;
  active_ = true;
}

// The arrays keep their room and the buffers stay: a camera that moves
// brings patches back into view all the time, and they then make nothing.
void TerrainPatch::Release() {
  vertexMap_.clear();
  vertices_.clear();
  indices_.clear();
  active_ = false;
}

void TerrainPatch::DropBuffers() {
  vertexBuffer_.reset();
  indexBuffer_.reset();
  bufferVertices_ = bufferIndices_ = 0;
  vertexCapacity_ = indexCapacity_ = 0;
  dirty_ = true;
}

void TerrainPatch::ChooseLevel(const Matrix4& errorMatrix, const Vector3& camera, float lodFactor) {
  const Vector3 middle{origin_.x + size_.x / 2, origin_.y + size_.y / 2, origin_.z + size_.z / 2};
  const float threshold = (Length(middle - camera) * kDistanceScale + lodFactor) * lodFactor;
  const Vector3 p0 = Project(errorMatrix, raisedCentre_[0]);
  error_[0] = 0;
  for (int level = 1; level < kLevels; ++level) {
    error_[level] = std::max(Length(p0 - Project(errorMatrix, raisedCentre_[level])), kErrorGrowth * error_[level - 1]);
  }
  int level = kLevels - 1;
  while (level > 0 && !(error_[level] < threshold)) --level;
  previousIdeal_ = ideal_;
  target_ = level;
  chosen_ = level;
}

int TerrainPatch::LevelOf(const TerrainPatch* patch) {
  if (!patch) return kLevels - 1;
  return patch->visible_ ? patch->chosen_ : patch->built_;
}

bool TerrainPatch::LimitToNeighbours() {
  int limit = chosen_;
  for (const TerrainPatch* neighbour : neighbours_) limit = std::min(limit, LevelOf(neighbour) + 1);
  const bool changed = limit < chosen_;
  chosen_ = limit;
  return changed;
}

void TerrainPatch::UpdateLod() {
  std::array<int, kSideCount> sides;
  for (int side = 0; side < kSideCount; ++side) sides[side] = LevelOf(neighbours_[side]);
  if (dirty_ || target_ != ideal_ || chosen_ != built_ || sides != recorded_) Rebuild(target_, chosen_, sides);
}

void TerrainPatch::Rebuild(int ideal, int built, const std::array<int, kSideCount>& sides) {
  ideal_ = ideal;
  built_ = built;
  recorded_ = sides;
  if (vertexMap_.size() != kGridPoints) vertexMap_.assign(kGridPoints, kUnused);
  std::fill(vertexMap_.begin(), vertexMap_.end(), kUnused);
  vertices_.clear();
  indices_.clear();
  for (int side = 0; side < kSideCount; ++side) finer_[side] = sides[side] < built;
  const int s = LodStep(built);
  if (s >= kCells) {
    AddSingleCell();
  } else {
    for (int z = 0; z < kSide - s; z += s) AddBand(z, s);
  }
  for (int level = ideal; level > built; --level) FlattenLevel(level);
  AverageEdgeMidpoints();
  dirty_ = true;
}

std::uint16_t TerrainPatch::GetVertex(int a, int b) {
  std::uint16_t& slot = vertexMap_[std::size_t(b * kSide + a)];
  if (slot == kUnused) {
    slot = static_cast<std::uint16_t>(vertices_.size());
    vertices_.push_back(SamplePosition(a, b));
  }
  return slot;
}

void TerrainPatch::AddBand(int z, int s) {
  const int h = s / 2;
  if (z > 0) {
    if (!indices_.empty()) Repeat();
    Append(0, z);
  } else if (finer_[kRow0]) {
    AddRow0Band(s);
    return;
  }
  if (z >= kSide - 2 * s && finer_[kRow16]) {
    AddRow16Band(s);
    return;
  }
  int x = 0;
  if (finer_[kWest]) {
    Append(0, z), Append(0, z + h), Append(s, z), Append(0, z + s), Append(s, z + s), Repeat();
    x = s;
  }
  for (const int end = finer_[kEast] ? kSide - s : kSide; x < end; x += s) Append(x, z), Append(x, z + s);
  if (finer_[kEast]) {
    Append(kCells - s, z), Repeat(), Append(kCells, z), Append(kCells - s, z + s), Append(kCells, z + h),
        Append(kCells, z + s);
  }
}

void TerrainPatch::AddRow0Band(int s) {
  const int h = s / 2;
  int x = 0;
  if (finer_[kWest]) {
    Append(0, 0), Append(0, h), Append(h, 0), Append(0, s), Append(s, 0), Append(s, s);
    x = s;
  }
  for (const int end = finer_[kEast] ? kCells - s : kCells; x < end;) {
    Append(x, 0), Repeat(), Append(x + h, 0), Append(x, s);
    x += s;
    Append(x, 0), Append(x, s);
  }
  if (finer_[kEast]) {
    Append(kCells - s, 0), Append(kCells - s, s), Append(kCells - h, 0), Append(kCells, 0), Repeat(),
        Append(kCells - s, s), Append(kCells, h), Append(kCells, s);
  }
}

void TerrainPatch::AddRow16Band(int s) {
  const int h = s / 2;
  const int r = kCells - s;
  int x = 0;
  if (finer_[kWest]) {
    Append(0, r), Append(0, kCells - h), Append(s, r), Append(0, kCells), Append(h, kCells), Repeat(),
        Append(s, r), Append(s, kCells);
    x = s;
  }
  for (const int end = finer_[kEast] ? r : kCells; x < end; x += s) {
    Append(x, r), Append(x, kCells), Append(x + s, r), Append(x + h, kCells), Append(x + s, kCells), Repeat();
  }
  if (finer_[kEast]) {
    Append(r, r), Append(r, kCells), Append(kCells, r), Append(r + h, kCells), Append(kCells, kCells - h),
        Append(kCells, kCells);
  }
}

void TerrainPatch::AddSingleCell() {
  const int key = (finer_[kWest] ? 8 : 0) | (finer_[kEast] ? 4 : 0) | (finer_[kRow0] ? 2 : 0) | (finer_[kRow16] ? 1 : 0);
  const CellSequence& sequence = kSingleCell[std::size_t(key)];
  for (int i = 0; i < sequence.count; ++i) Append(sequence.points[std::size_t(i)].a, sequence.points[std::size_t(i)].b);
}

float* TerrainPatch::FindHeight(int a, int b) {
  if (a < 0 || b < 0 || a >= kSide || b >= kSide || vertexMap_.size() != kGridPoints) return nullptr;
  const std::uint16_t slot = vertexMap_[std::size_t(b * kSide + a)];
  return slot == kUnused ? nullptr : &vertices_[slot].y;
}

const TerrainVertex* TerrainPatch::FindVertex(int a, int b) const {
  if (a < 0 || b < 0 || a >= kSide || b >= kSide || vertexMap_.size() != kGridPoints) return nullptr;
  const std::uint16_t slot = vertexMap_[std::size_t(b * kSide + a)];
  return slot == kUnused ? nullptr : &vertices_[slot];
}

void TerrainPatch::SetMean(int a, int b, GridPoint p, GridPoint q) {
  float* target = FindHeight(a, b);
  const float* first = FindHeight(p.a, p.b);
  const float* second = FindHeight(q.a, q.b);
  if (target && first && second) *target = (*first + *second) / 2;
}

// Makes the points of level - 1 that level leaves out lie on level's
// surface, along the diagonals the strips draw.
void TerrainPatch::FlattenLevel(int level) {
  const int b = LodStep(level - 1);
  for (int z = 0; z < kSide; z += b) {
    for (int a = 0; a < kSide; a += b) {
      const bool oddColumn = (a / b) % 2 != 0, oddRow = (z / b) % 2 != 0;
      const auto at = [](int x, int y) { return GridPoint{x, y}; };
      if (oddColumn && oddRow) {
        SetMean(a, z, at(a - b, z + b), at(a + b, z - b));
      } else if (oddColumn) {
        SetMean(a, z, at(a - b, z), at(a + b, z));
      } else if (oddRow) {
        SetMean(a, z, at(a, z + b), at(a, z - b));
      }
    }
  }
}

void TerrainPatch::AverageEdgeMidpoints() {
  for (int side = 0; side < kSideCount; ++side) {
    if (!neighbours_[side] || std::abs(recorded_[side] - built_) != 1) continue;
    const int f = LodStep(std::min(built_, recorded_[side]));
    for (int t = f; t < kCells; t += 2 * f) {
      const GridPoint p = EdgePoint(Side(side), t);
      SetMean(p.a, p.b, EdgePoint(Side(side), t - f), EdgePoint(Side(side), t + f));
    }
  }
}

bool TerrainPatch::CopyEdgeHeights() {
  bool copied = false;
  for (int side = 0; side < kSideCount; ++side) {
    const TerrainPatch* neighbour = neighbours_[side];
    if (!neighbour || !neighbour->active_) continue;
    if (neighbour->ideal_ == neighbour->built_ && neighbour->ideal_ == neighbour->previousIdeal_) continue;
    const int d = LodStep(std::min(recorded_[side], built_));
    for (int t = d; t < kCells; t += d) {
      const GridPoint own = EdgePoint(Side(side), t);
      const GridPoint theirs = EdgePoint(kOpposite[std::size_t(side)], t);
      const TerrainVertex* source = neighbour->FindVertex(theirs.a, theirs.b);
      float* target = FindHeight(own.a, own.b);
      if (source && target) *target = source->y;
    }
    copied = true;
  }
  return copied;
}

void TerrainPatch::UpdateEdges(RenderDevice& device) {
  const bool neighbourDirty = std::any_of(neighbours_.begin(), neighbours_.end(),
                                          [](const TerrainPatch* n) { return n && n->dirty_; });
  if (!dirty_ && !neighbourDirty) return;
  const bool copied = CopyEdgeHeights();
  if (dirty_ || copied) Upload(device);
}

// Buffers are made once, with room for the finest strip, so that a change
// of level only writes them.
bool TerrainPatch::CreateBuffers(RenderDevice& device) {
  const auto indexCount = static_cast<std::uint32_t>(indices_.size());
  const auto vertexCount = static_cast<std::uint32_t>(vertices_.size());
  bufferIndices_ = bufferVertices_ = 0;
  if (!indexBuffer_ || indexCount > indexCapacity_) {
    indexBuffer_.reset();
    indexCapacity_ = std::max<std::uint32_t>(indexCount, kMaxIndices);
    if (!gfx::Succeeded(device.Device().CreateIndexBuffer(indexCapacity_ * 2, gfx::kUsageWriteOnly,
                                                          gfx::kFormatIndex16, gfx::kPoolDefault, &indexBuffer_))) {
      indexCapacity_ = 0;
      return false;
    }
  }
  if (!vertexBuffer_ || vertexCount > vertexCapacity_) {
    vertexBuffer_.reset();
    vertexCapacity_ = std::max<std::uint32_t>(vertexCount, kGridPoints);
    if (!gfx::Succeeded(device.Device().CreateVertexBuffer(vertexCapacity_ * sizeof(TerrainVertex),
                                                           gfx::kUsageWriteOnly, kVertexFormat, gfx::kPoolDefault,
                                                           &vertexBuffer_))) {
      indexBuffer_.reset();
      vertexCapacity_ = indexCapacity_ = 0;
      return false;
    }
  }
  bufferIndices_ = indexCount;
  bufferVertices_ = vertexCount;
  return true;
}

void TerrainPatch::Upload(RenderDevice& device) {
  if (vertices_.empty() || indices_.empty()) {
    bufferIndices_ = bufferVertices_ = 0;
    return;
  }
  if (!CreateBuffers(device)) return;
  const auto vertexBytes = static_cast<std::uint32_t>(vertices_.size() * sizeof(TerrainVertex));
  const auto indexBytes = static_cast<std::uint32_t>(indices_.size() * sizeof(std::uint16_t));
  void* data = nullptr;
  if (gfx::Succeeded(vertexBuffer_->Lock(0, vertexBytes, 0, &data))) {
    std::memcpy(data, vertices_.data(), vertexBytes);
    vertexBuffer_->Unlock();
  }
  if (gfx::Succeeded(indexBuffer_->Lock(0, indexBytes, 0, &data))) {
    std::memcpy(data, indices_.data(), indexBytes);
    indexBuffer_->Unlock();
  }
}

std::uint32_t TerrainPatch::Draw(RenderDevice& device) const {
  if (!visible_ || !vertexBuffer_ || !indexBuffer_ || bufferIndices_ < 3) return 0;
  gfx::Device& d = device.Device();
  d.SetFVF(kVertexFormat);
  d.SetStreamSource(vertexBuffer_.get(), 0, sizeof(TerrainVertex));
  d.SetIndices(indexBuffer_.get());
  const std::uint32_t primitives = bufferIndices_ - 2;
  d.DrawIndexedPrimitive(gfx::kPrimTriangleStrip, 0, 0, bufferVertices_, 0, primitives);
  return primitives;
}

}  // namespace tge

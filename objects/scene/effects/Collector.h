// Collector (class 30): a cache of the level's triangles around a point, so
// that receivers of shadows, projected textures, rain and ground detail need
// not query the level every frame. It follows its parent (the global
// collector follows the camera) and, once the followed point has left the
// hot radius, collects again within its triangle radius from its Space
// through the World's physics hooks. Receivers copy the triangles near a
// point into a CollectorTriangleList.
//
// The arrays are sized by the capacity at Precalculate and follow every
// later change of it; a collector that was never precalculated holds none.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/math/Shapes.h"
#include "objects/scene/ColourVertex.h"
#include "services/resources/MeshResource.h"

namespace tge {

// Triangles gathered for one receiver: three vertices each, position first
// (the receiver fills colour and texture coordinates), with the triangle's
// category byte, box and normal.
struct CollectorTriangleList {
  CollectorTriangleList(std::uint32_t capacity, float parameter, float radius);

  float parameter;
  float radius;
  std::vector<ColourVertex> vertices;
  std::vector<std::uint8_t> categories;
  std::vector<AABox> boxes;
  std::vector<Vector3> normals;
  std::uint32_t count = 0;
  std::uint32_t capacity;
};

std::shared_ptr<CollectorTriangleList> CreateCollectorTriangleList(std::uint32_t capacity, float parameter,
                                                                   float radius);

inline constexpr std::uint32_t kCollectorLight = 0x2;
inline constexpr std::uint32_t kCollectorTriangle = 0x4;
inline constexpr std::uint32_t kCollectorGlobal = 0x8;

class Collector : public Object {
 public:
  // Larger capacities are refused: a file's count sizes the arrays.
  static constexpr std::uint32_t kMaxCapacity = 1000000;

  static std::span<const CommandEntry<Collector>> Commands();
  static const CommandEntry<Collector> kCommands[];
  static std::span<const CommandEntry<Collector>> HiddenCommands();
  static const CommandEntry<Collector> kHiddenCommands[];

  Collector();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override;
  void Precalculate() override;

  // The collector read from a file with the global flag set, while it lives.
  static Collector* GetGlobal();

  float GetTriangleRadius() const { return triangleRadius_; }
  std::uint32_t GetCapacity() const { return capacity_; }
  // False when the capacity is refused.
  bool SetCapacity(std::uint32_t capacity);
  std::uint32_t GetTriangleCount() const { return triangleCount_; }
  // Three corners per triangle.
  std::span<const Vector3> GetTriangleVertices() const { return {vertices_.data(), triangleCount_ * 3u}; }
  std::span<const Vector3> GetTriangleNormals() const { return {normals_.data(), triangleCount_}; }
  std::span<const AABox> GetTriangleBoxes() const { return {boxes_.data(), triangleCount_}; }
  std::span<const CollectedTriangle> GetTriangleRecords() const { return {records_.data(), triangleCount_}; }
  // How often it has collected; receivers compare it to notice new triangles.
  std::uint32_t GetCollectCount() const { return collectCount_; }
  // The point it followed before the last collection.
  const Vector3& GetPreviousPoint() const { return previous_[0]; }

  // The collected triangles whose boxes touch the list's sphere around
  // centre, in order, until the list is full.
  void GatherTriangles(CollectorTriangleList& list, const Vector3& centre) const;

 private:
  int SetCapacityCommand(CommandArgs args);

  void Allocate();
  void BoxRuns();
  void AppendTriangle(CollectorTriangleList& list, std::uint32_t t) const;
  Space* CollectingSpace() const;

  Vector3 followed_;
  float hotRadius_ = 0;
  Vector3 previous_[2];
  std::uint32_t spare_[2] = {0, 0};
  float lightRadius_ = 0;
  std::uint32_t lightCategoryBits_ = 0;
  float triangleRadius_ = 0;
  std::uint32_t triangleCategoryBits_ = 0;
  std::uint32_t capacity_ = 0;
  std::uint32_t triangleCount_ = 0;
  std::vector<Vector3> vertices_;
  std::vector<Vector3> normals_;
  std::vector<AABox> boxes_;
  // The box around each run of kRun triangles in collection order, so a
  // gather skips the runs its sphere misses.
  static constexpr std::uint32_t kRun = 16;
  std::vector<AABox> runBoxes_;
  std::vector<CollectedTriangle> records_;
  std::uint32_t flags_ = 0;
  std::uint32_t collectCount_ = 0;
};

void RegisterCollectorCommands();

}  // namespace tge

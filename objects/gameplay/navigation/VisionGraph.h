// VisionGraph (class 49): the navigation data of one Space. It holds the
// walkable triangle mesh AI players search paths on (NavMesh.h) and a set of
// numbered vision points with hand-made links and computed lines of sight,
// which the authoring tools edit through the point commands: select a point
// by index, then act on it.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "objects/gameplay/navigation/NavMesh.h"
#include "objects/gameplay/navigation/PathRecord.h"

namespace tge {

// A point's search node: its position truncated to whole units and the
// nodes of the points it is linked with either way.
struct VisionNode {
  std::int32_t x = 0, y = 0, z = 0;
  std::vector<const VisionNode*> linked;
};

struct VisionPoint {
  std::string name;
  Vector3 position;
  std::vector<VisionPoint*> links;
  std::vector<VisionPoint*> visible;
  VisionNode node;
};

class VisionGraph : public Object {
 public:
  static std::span<const CommandEntry<VisionGraph>> Commands();
  static const CommandEntry<VisionGraph> kCommands[];
  static std::span<const CommandEntry<VisionGraph>> HiddenCommands();
  static const CommandEntry<VisionGraph> kHiddenCommands[];

  VisionGraph();
  // The points with their links, and the mesh; no search state.
  VisionGraph(const VisionGraph& source);
  ~VisionGraph() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  // Places the mesh under the world matrix.
  void Precalculate() override;

  NavMesh& GetMesh() { return mesh_; }
  const NavMesh& GetMesh() const { return mesh_; }
  bool FindPath(const Vector3& start, const Vector3& goal, PathRecord& path) const {
    return mesh_.FindPath(start, goal, path);
  }
  std::int32_t FindTriangle(const Vector3& point) const { return mesh_.FindTriangle(point); }
  bool GetRandomPosition(Vector3* out) const { return mesh_.GetRandomPosition(out); }
  const PathRecord& GetTestPath() const { return testPath_; }

  int GetPointCount() const { return static_cast<int>(points_.size()); }
  // Null for an index out of range.
  const VisionPoint* GetPoint(int index) const;
  void SetCurrentPoint(std::int32_t index) { currentPoint_ = index; }
  void SetSecondPoint(std::int32_t index) { secondPoint_ = index; }
  void SetLinkIndex(std::int32_t index) { linkIndex_ = index; }

  // The point commands.
  void CreatePoint();
  void DeletePoint();
  void ConnectPoints();
  void DisconnectPoint();
  // Each point's lines of sight to the others through the Space's static
  // collision geometry.
  void CalculateVision();
  void RunPathTest();

 private:
  int CreatePointCommand(CommandArgs args);
  int DeletePointCommand(CommandArgs args);
  int SetPointPositionCommand(CommandArgs args);
  int GetPointPositionCommand(CommandArgs args);
  int ConnectCommand(CommandArgs args);
  int DisconnectCommand(CommandArgs args);
  int CalculateVisionCommand(CommandArgs args);
  int PointNamesCommand(CommandArgs args);
  int LinkNamesCommand(CommandArgs args);
  int TriangleLinesCommand(CommandArgs args);
  int PathTestCommand(CommandArgs args);

  VisionPoint* CurrentPoint() const;
  // The lowest decimal name, from the point count up, that no point has.
  std::string FreePointName() const;
  void RebuildNodes();
  bool SerializePoints(SerializeStream& stream);

  std::uint32_t drawHelpers_ = 0;
  std::vector<std::unique_ptr<VisionPoint>> points_;
  std::int32_t currentPoint_ = 0;
  std::int32_t secondPoint_ = 0;
  std::int32_t linkIndex_ = 0;
  NavMesh mesh_;
  std::int32_t editorValue_ = -1;
  PathRecord testPath_;
  std::uint32_t reserved_ = 0;
};

void RegisterVisionGraphCommands();

}  // namespace tge

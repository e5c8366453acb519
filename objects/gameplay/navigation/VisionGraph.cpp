// VisionGraph's command table, point editing, lines of sight and file record.
#include "objects/gameplay/navigation/VisionGraph.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <type_traits>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "core/math/Random.h"
#include "objects/gameplay/world/Space.h"
#include "services/EngineServices.h"
#include "services/resources/Resource.h"

namespace tge {
namespace {

constexpr auto C = CommandKind::kCommand;
constexpr auto P = CommandKind::kProperty;
constexpr int kFirstMeshVersion = 9;
constexpr int kSpareWords = 6;
// The least a saved point takes: an empty name, a position and a link count.
constexpr std::uint64_t kMinPointBytes = 4 + 12 + 4;
constexpr std::uint64_t kMinLinkBytes = 4;
// Rays between points see through sensors and hit the static level only.
constexpr unsigned kLevelMask = 1;
// Path-test positions stand this far above the ground.
constexpr float kTestLift = 0.5f;

std::vector<std::string>& NameList(CommandArgs args) { return *static_cast<std::vector<std::string>*>(args.Data()); }

bool Refuse(SerializeStream& stream) {
  stream.MarkFailed();
  return false;
}

// Toward zero, as a cast would, but a position read from a file may hold
// values no int32 can: NaN becomes 0 and the rest is held to the range.
std::int32_t Truncated(float value) {
  if (std::isnan(value)) return 0;
  constexpr float kLimit = 2147483520.0f;  // the largest float below 2^31
  return static_cast<std::int32_t>(std::clamp(value, -kLimit, kLimit));
}

bool ValidIndex(std::int32_t index, std::size_t count) {
  return index >= 0 && static_cast<std::size_t>(index) < count;
}

// Builds the static collision of every Space in the tree that has none
// built, for the length of a vision pass, and releases only what it built:
// the simulator's own state is left alone.
class LevelCollision {
 public:
  explicit LevelCollision(Object& member) {
    Object* root = &member;
    while (root->GetParent() != nullptr) root = root->GetParent();
    std::vector<Object*> spaces;
    if (root->GetClassId() == kClassSpace) spaces.push_back(root);
    root->CollectDescendants(spaces, kClassSpace, -1);
    for (Object* object : spaces) {
      auto& space = static_cast<Space&>(*object);
      if (HasGeometries(space)) continue;
      space.ResolveCollisionEntries();
      if (space.BuildCollisionGeometries()) built_.push_back(&space);
    }
  }
  ~LevelCollision() {
    for (Space* space : built_) space->ReleaseCollisionGeometries();
  }
  LevelCollision(const LevelCollision&) = delete;
  LevelCollision& operator=(const LevelCollision&) = delete;

 private:
  static bool HasGeometries(const Space& space) {
    for (int i = 0; i < space.GetCollisionCount(); ++i) {
      if (!space.GetCollisionEntry(i)->geometries.empty()) return true;
    }
    return false;
  }

  std::vector<Space*> built_;
};

}  // namespace

// clang-format off
constexpr CommandEntry<VisionGraph> VisionGraph::kCommands[] = {
    {12250, "DrawHelpers", P, 0, {kValueBool}, FieldSetter<&VisionGraph::drawHelpers_>, FieldGetter<&VisionGraph::drawHelpers_>},
    {12254, "Vision Create", C, 0, {}, Member<&VisionGraph::CreatePointCommand>},
    {12255, "Vision Delete", C, 0, {}, Member<&VisionGraph::DeletePointCommand>},
    {12260, "SetPosition", C, kCommandSetter, {kValueVector3}, Member<&VisionGraph::SetPointPositionCommand>},
    {12261, "GetPosition", C, kCommandGetter, {kValueVector3}, Member<&VisionGraph::GetPointPositionCommand>},
    {12262, "Vision Connect", C, 0, {}, Member<&VisionGraph::ConnectCommand>},
    {12263, "Vision Disconnect", C, 0, {}, Member<&VisionGraph::DisconnectCommand>},
    {12264, "Calculate Vision", C, 0, {}, Member<&VisionGraph::CalculateVisionCommand>},
};

std::span<const CommandEntry<VisionGraph>> VisionGraph::Commands() { return kCommands; }

// The authoring tools' selection and listing hooks: answered, never
// registered. A list argument is a list of strings lines are appended to.
constexpr CommandEntry<VisionGraph> VisionGraph::kHiddenCommands[] = {
    {12252, "", C, 0, {kValueInt}, FieldSetter<&VisionGraph::currentPoint_>},
    {12253, "", C, 0, {kValuePointer}, Member<&VisionGraph::PointNamesCommand>},
    {12256, "", C, 0, {kValueInt}, FieldSetter<&VisionGraph::secondPoint_>},
    {12257, "", C, 0, {kValuePointer}, Member<&VisionGraph::PointNamesCommand>},
    {12258, "", C, 0, {kValueInt}, FieldSetter<&VisionGraph::linkIndex_>},
    {12259, "", C, 0, {kValuePointer}, Member<&VisionGraph::LinkNamesCommand>},
    {12265, "", C, 0, {kValueInt}, FieldSetter<&VisionGraph::editorValue_>},
    {12266, "", C, 0, {kValuePointer}, Member<&VisionGraph::TriangleLinesCommand>},
    {12269, "", C, 0, {}, Member<&VisionGraph::PathTestCommand>},
};

std::span<const CommandEntry<VisionGraph>> VisionGraph::HiddenCommands() { return kHiddenCommands; }
// clang-format on

VisionGraph::VisionGraph() : Object(kClassVisionGraph) {}

VisionGraph::VisionGraph(const VisionGraph& source)
    : Object(source),
      drawHelpers_(source.drawHelpers_),
      currentPoint_(source.currentPoint_),
      secondPoint_(source.secondPoint_),
      linkIndex_(source.linkIndex_),
      mesh_(source.mesh_),
      editorValue_(source.editorValue_),
      reserved_(source.reserved_) {
  const auto indexOf = [&source](const VisionPoint* point) {
    return std::find_if(source.points_.begin(), source.points_.end(),
                        [point](const auto& own) { return own.get() == point; }) -
           source.points_.begin();
  };
  for (const auto& point : source.points_) {
    points_.push_back(std::make_unique<VisionPoint>(VisionPoint{point->name, point->position, {}, {}, {}}));
  }
  for (std::size_t i = 0; i < points_.size(); ++i) {
    for (const VisionPoint* link : source.points_[i]->links) points_[i]->links.push_back(points_[indexOf(link)].get());
    for (const VisionPoint* seen : source.points_[i]->visible) {
      points_[i]->visible.push_back(points_[indexOf(seen)].get());
    }
  }
  RebuildNodes();
}

VisionGraph::~VisionGraph() = default;

int VisionGraph::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<VisionGraph> handlers(kClassVisionGraph, {kCommands, kHiddenCommands});
  handlers.Run(*this, id, args);
  return Object::ExecuteCommand(id, args);
}

const VisionPoint* VisionGraph::GetPoint(int index) const {
  return ValidIndex(index, points_.size()) ? points_[static_cast<std::size_t>(index)].get() : nullptr;
}

VisionPoint* VisionGraph::CurrentPoint() const {
  return ValidIndex(currentPoint_, points_.size()) ? points_[static_cast<std::size_t>(currentPoint_)].get()
                                                   : nullptr;
}

// Named by the count, as points always were, unless an earlier delete left
// a point with that name: two points of one name would both take its links.
std::string VisionGraph::FreePointName() const {
  for (std::size_t number = points_.size();; ++number) {
    std::string name = std::to_string(number);
    if (std::none_of(points_.begin(), points_.end(), [&name](const auto& point) { return point->name == name; })) {
      return name;
    }
  }
}

void VisionGraph::CreatePoint() {
  auto point = std::make_unique<VisionPoint>();
  point->name = FreePointName();
  const bool before = ValidIndex(currentPoint_, points_.size());
  points_.insert(before ? points_.begin() + currentPoint_ : points_.begin(), std::move(point));
  RebuildNodes();
}

// No link may outlive its point.
void VisionGraph::DeletePoint() {
  VisionPoint* doomed = CurrentPoint();
  if (doomed == nullptr) return;
  for (const auto& point : points_) {
    std::erase(point->links, doomed);
    std::erase(point->visible, doomed);
  }
  points_.erase(points_.begin() + currentPoint_);
  RebuildNodes();
}

void VisionGraph::ConnectPoints() {
  VisionPoint* first = CurrentPoint();
  if (first == nullptr || !ValidIndex(secondPoint_, points_.size())) return;
  VisionPoint* second = points_[static_cast<std::size_t>(secondPoint_)].get();
  first->links.push_back(second);
  second->links.push_back(first);
  RebuildNodes();
}

void VisionGraph::DisconnectPoint() {
  VisionPoint* point = CurrentPoint();
  if (point == nullptr || !ValidIndex(linkIndex_, point->links.size())) return;
  point->links.erase(point->links.begin() + linkIndex_);
  RebuildNodes();
}

void VisionGraph::RebuildNodes() {
  for (const auto& point : points_) {
    point->node.x = Truncated(point->position.x);
    point->node.y = Truncated(point->position.y);
    point->node.z = Truncated(point->position.z);
    point->node.linked.clear();
  }
  for (const auto& point : points_) {
    for (VisionPoint* link : point->links) {
      point->node.linked.push_back(&link->node);
      link->node.linked.push_back(&point->node);
    }
  }
}

void VisionGraph::CalculateVision() {
  for (const auto& point : points_) point->visible.clear();
  Space* space = GetSpace();
  if (space == nullptr) return;
  LevelCollision collision(*this);
  for (const auto& from : points_) {
    for (const auto& to : points_) {
      SpaceRayHit hit;
      if (from == to || space->RayQuery(nullptr, from->position, to->position, kLevelMask, &hit, 0) != 0) continue;
      from->visible.push_back(to.get());
    }
  }
}

// From the camera's target to the centre of a random triangle.
void VisionGraph::RunPathTest() {
  if (mesh_.GetTriangleCount() == 0) return;
  EngineServices* services = GetEngineServices();
  Vector3 start = services != nullptr ? services->GetView().GetCameraTarget() : Vector3{};
  start.y += kTestLift;
  const auto& triangles = mesh_.GetTriangles();
  Vector3 goal = triangles[static_cast<std::size_t>(Rand()) % triangles.size()].centre;
  goal.y += kTestLift;
  testPath_.waypoints.clear();
  FindPath(start, goal, testPath_);
}

int VisionGraph::CreatePointCommand(CommandArgs) {
  CreatePoint();
  return 1;
}

int VisionGraph::DeletePointCommand(CommandArgs) {
  DeletePoint();
  return 1;
}

int VisionGraph::SetPointPositionCommand(CommandArgs args) {
  if (VisionPoint* point = CurrentPoint()) {
    point->position = args.Get<Vector3>();
    RebuildNodes();
  }
  return 1;
}

int VisionGraph::GetPointPositionCommand(CommandArgs args) {
  const VisionPoint* point = CurrentPoint();
  args.Set(point != nullptr ? point->position : Vector3{});
  return 1;
}

int VisionGraph::ConnectCommand(CommandArgs) {
  ConnectPoints();
  return 1;
}

int VisionGraph::DisconnectCommand(CommandArgs) {
  DisconnectPoint();
  return 1;
}

int VisionGraph::CalculateVisionCommand(CommandArgs) {
  CalculateVision();
  return 1;
}

int VisionGraph::PointNamesCommand(CommandArgs args) {
  for (const auto& point : points_) NameList(args).push_back(point->name);
  return 1;
}

int VisionGraph::LinkNamesCommand(CommandArgs args) {
  if (const VisionPoint* point = CurrentPoint()) {
    for (const VisionPoint* link : point->links) NameList(args).push_back(link->name);
  }
  return 1;
}

int VisionGraph::TriangleLinesCommand(CommandArgs args) {
  const auto& triangles = mesh_.GetTriangles();
  for (std::size_t i = 0; i < triangles.size(); ++i) {
    char line[80];
    std::snprintf(line, sizeof(line), "F: %03d, %d, %d, %d", static_cast<int>(i), triangles[i].neighbour[0],
                  triangles[i].neighbour[1], triangles[i].neighbour[2]);
    NameList(args).push_back(line);
  }
  return 1;
}

int VisionGraph::PathTestCommand(CommandArgs) {
  RunPathTest();
  return 1;
}

// The mesh is placed anew from the vertices as loaded, so placing a graph
// twice, or saving a placed one, never moves it.
void VisionGraph::Precalculate() {
  mesh_.Place(GetWorldMatrix());
  Object::Precalculate();
}

bool VisionGraph::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version >= 1) {
    stream.Serialize(reserved_);
    stream.Serialize(drawHelpers_);
    std::uint32_t spare[kSpareWords] = {};
    stream.Serialize(spare);
  }
  if (!SerializePoints(stream)) return false;
  if (version >= kFirstMeshVersion && !mesh_.Serialize(stream)) return false;
  if (!stream.IsWriting()) RebuildNodes();
  return !stream.Failed();
}

// A saved link names its point; a name no point has is dropped.
bool VisionGraph::SerializePoints(SerializeStream& stream) {
  const bool reading = !stream.IsWriting();
  auto count = static_cast<std::uint32_t>(points_.size());
  stream.Serialize(count);
  if (reading) {
    points_.clear();
    if (stream.Failed() || !CountFitsStream(stream, count, kMinPointBytes)) return Refuse(stream);
    for (std::uint32_t i = 0; i < count; ++i) points_.push_back(std::make_unique<VisionPoint>());
  }
  for (const auto& point : points_) {
    stream.SerializeString(point->name);
    stream.Serialize(point->position);
  }
  for (const auto& point : points_) {
    auto links = static_cast<std::uint32_t>(point->links.size());
    stream.Serialize(links);
    if (!reading) {
      for (VisionPoint* link : point->links) stream.SerializeString(link->name);
      continue;
    }
    if (stream.Failed() || !CountFitsStream(stream, links, kMinLinkBytes)) return Refuse(stream);
    for (std::uint32_t i = 0; i < links; ++i) {
      std::string name;
      stream.SerializeString(name);
      for (const auto& other : points_) {
        if (other->name == name) point->links.push_back(other.get());
      }
    }
  }
  return !stream.Failed();
}

void RegisterVisionGraphCommands() {
  RegisterCommandTable<VisionGraph>(BuildCommandRegistry(), kClassVisionGraph, VisionGraph::Commands());
  GetObjectFactory().RegisterType<VisionGraph>(kClassVisionGraph);
}

}  // namespace tge

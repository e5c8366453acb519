// NodeAnimation (class 76): travels a tree of ordinary objects used as
// nodes, one segment per 1/speed seconds. At each node it chooses the next:
// towards the children (a random one) or towards the parent, and turns back
// at its start node and its end node, raising events there. It never picks
// itself as a node, and with no node to go on to it stays where it is.
// Its position, the lerp between two nodes' world positions pulled 0.3
// units towards the camera, is written as its local one, so it keeps a
// world-space transform.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"

namespace tge {

// Bits of the node flags.
inline constexpr std::uint32_t kNodeStartDirectionUp = 0x1;
inline constexpr std::uint32_t kNodeTowardsChildren = 0x2;
inline constexpr std::uint32_t kNodeEnableNodeEvent = 0x4;
inline constexpr std::uint32_t kNodeEnableStartEndEvent = 0x8;

class NodeAnimation : public Object {
 public:
  static constexpr int kEventNode = 19012;
  static constexpr int kEventEndNode = 19013;
  static constexpr int kEventStartNode = 19014;
  // How far the position is pulled towards the camera.
  static constexpr float kCameraPull = 0.3f;

  static std::span<const CommandEntry<NodeAnimation>> Commands();
  static const CommandEntry<NodeAnimation> kCommands[];

  NodeAnimation();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  // The copy resolves its own nodes when it restarts.
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override;
  void Precalculate() override;

  // Resolves the start and end nodes and sets off from the start node.
  void Restart();

  Object* GetCurrentNode() const { return current_.Get(); }
  Object* GetNextNode() const { return next_.Get(); }
  float GetProgress() const { return progress_; }

 private:

  bool StartsUp() const { return (nodeFlags_ & kNodeStartDirectionUp) != 0; }
  // A random child of node other than this object; null when there is none.
  Object* RandomChild(const Object& node) const;
  void SetTowardsChildren(bool on);
  // Moves on from the node just reached, raising the node's events; false
  // when their scripts deleted this object.
  bool ReachNode();
  void Place();

  std::string startName_;
  std::string endName_;
  float speed_ = 1.0f;
  ObjectRef<Object> start_;
  ObjectRef<Object> end_;
  ObjectRef<Object> current_;
  ObjectRef<Object> next_;
  float progress_ = 0;
  std::uint32_t nodeFlags_ = kNodeStartDirectionUp;
};

void RegisterNodeAnimationCommands();

}  // namespace tge

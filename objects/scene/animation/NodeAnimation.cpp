// NodeAnimation's command table, travel between nodes and file record.
#include "objects/scene/animation/NodeAnimation.h"

#include <type_traits>
#include <vector>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/files/SerializeStream.h"
#include "core/math/Random.h"
#include "services/EngineServices.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto E = CommandKind::kEvent;

}  // namespace

// clang-format off
constexpr CommandEntry<NodeAnimation> NodeAnimation::kCommands[] = {
    {19000, "NodeAnimationStartDirectionUp", P, 0, {kValueBool}, FlagSetter<&NodeAnimation::nodeFlags_, kNodeStartDirectionUp>, FlagGetter<&NodeAnimation::nodeFlags_, kNodeStartDirectionUp>},
    {19002, "NodeAnimationStartNode", P, 0, {kValueString}, FieldSetter<&NodeAnimation::startName_>, FieldGetter<&NodeAnimation::startName_>},
    {19004, "NodeAnimationEndNode", P, 0, {kValueString}, FieldSetter<&NodeAnimation::endName_>, FieldGetter<&NodeAnimation::endName_>},
    {19006, "NodeAnimationSpeed", P, 0, {kValueFloat}, FieldSetter<&NodeAnimation::speed_>, FieldGetter<&NodeAnimation::speed_>},
    {19008, "NodeAnimationEnableNodeEvent", P, 0, {kValueBool}, FlagSetter<&NodeAnimation::nodeFlags_, kNodeEnableNodeEvent>, FlagGetter<&NodeAnimation::nodeFlags_, kNodeEnableNodeEvent>},
    {19010, "NodeAnimationEnableStartEndEvent", P, 0, {kValueBool}, FlagSetter<&NodeAnimation::nodeFlags_, kNodeEnableStartEndEvent>, FlagGetter<&NodeAnimation::nodeFlags_, kNodeEnableStartEndEvent>},
    {kEventNode, "OnNodeAnimationNode", E, 0, {}},
    {kEventEndNode, "OnNodeAnimationEndNode", E, 0, {}},
    {kEventStartNode, "OnNodeAnimationStartNode", E, 0, {}},
};

std::span<const CommandEntry<NodeAnimation>> NodeAnimation::Commands() { return kCommands; }
// clang-format on

NodeAnimation::NodeAnimation() : Object(kClassNodeAnimation) {}

void NodeAnimation::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  start_.Reset();
  end_.Reset();
  current_.Reset();
  next_.Reset();
}

// Every id goes on to the base handler, whose result is the answer.
int NodeAnimation::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<NodeAnimation> handlers(kClassNodeAnimation, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandActionStartStep) {
    Restart();
  } else if (id == kCommandInitializeNewObject) {
    SetInheritOrientation(false);
  }
  return Object::ExecuteCommand(id, args);
}

Object* NodeAnimation::RandomChild(const Object& node) const {
  std::vector<Object*> choices;
  for (int i = 0; i < node.GetChildCount(); ++i) {
    if (node.GetChild(i) != this) choices.push_back(node.GetChild(i));
  }
  if (choices.empty()) return nullptr;
  return choices[static_cast<std::size_t>(Rand()) % choices.size()];
}

void NodeAnimation::SetTowardsChildren(bool on) {
  nodeFlags_ = on ? (nodeFlags_ | kNodeTowardsChildren) : (nodeFlags_ & ~kNodeTowardsChildren);
}

void NodeAnimation::Restart() {
  Object* start = startName_.empty() ? nullptr : ResolveObjectPath(this, startName_, nullptr, nullptr);
  if (start == nullptr) start = GetParent();
  start_.Set(start);
  end_.Set(endName_.empty() ? nullptr : ResolveObjectPath(this, endName_, nullptr, nullptr));
  current_.Set(start);
  next_.Set(start == nullptr ? nullptr : StartsUp() ? RandomChild(*start) : start->GetParent());
  SetTowardsChildren(StartsUp());
  progress_ = 0;
}

bool NodeAnimation::ReachNode() {
  Object* reached = next_.Get();
  if (reached == start_.Get()) {
    next_.Set(StartsUp() ? RandomChild(*reached) : reached->GetParent());
    SetTowardsChildren(StartsUp());
  } else if (reached == end_.Get()) {
    next_.Set(StartsUp() ? reached->GetParent() : RandomChild(*reached));
    SetTowardsChildren(!StartsUp());
  } else if (Object* child = (nodeFlags_ & kNodeTowardsChildren) != 0 ? RandomChild(*reached) : nullptr) {
    next_.Set(child);
  } else {
    next_.Set(reached->GetParent());
    SetTowardsChildren(false);
  }
  current_.Set(reached);
  progress_ = 0;
  const DeletionHold hold;
  const bool atEnd = reached == start_.Get() || reached == end_.Get();
  if (atEnd && (nodeFlags_ & kNodeEnableStartEndEvent) != 0) {
    FireEvent(reached == start_.Get() ? kEventStartNode : kEventEndNode, reached);
  }
  if ((nodeFlags_ & kNodeEnableNodeEvent) != 0) FireEvent(kEventNode, reached);
  return !IsRetired();
}

void NodeAnimation::Place() {
  Object* current = current_.Get();
  if (current == nullptr) return;
  Vector3 position = current->GetPositionWS();
  if (Object* next = next_.Get()) Vector3Lerp(position, position, next->GetPositionWS(), progress_);
  if (EngineServices* services = GetEngineServices()) {
    Vector3AddScaled(position, position, services->GetView().GetCameraForward(), -kCameraPull);
  }
  SetPosition(position, true);
}

// Without a next node there is nowhere to go: it stays at the current one.
void NodeAnimation::Update() {
  if (!GetActive() || !HasFlag(kFlagActionStarted)) return;
  if (next_ && current_) {
    progress_ += GetActionValue() * GetFrameTime() * speed_;
    if (progress_ > 1 && !ReachNode()) return;
  }
  Place();
}

void NodeAnimation::Precalculate() {
  Object::Precalculate();
  Restart();
  EnableUpdate();
}

bool NodeAnimation::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() >= 1) {
    stream.Serialize(nodeFlags_);
    stream.SerializeString(startName_);
    stream.SerializeString(endName_);
    stream.Serialize(speed_);
  }
  return !stream.Failed();
}

void RegisterNodeAnimationCommands() {
  RegisterCommandTable<NodeAnimation>(BuildCommandRegistry(), kClassNodeAnimation, NodeAnimation::Commands());
  GetObjectFactory().RegisterType<NodeAnimation>(kClassNodeAnimation);
}

}  // namespace tge

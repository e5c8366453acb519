// PlayerRadar's command table, drawing and file record.
#include "objects/gameplay/characters/PlayerRadar.h"

#include <algorithm>
#include <cmath>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/ObjectFlags.h"
#include "core/files/SerializeStream.h"
#include "core/math/Matrix4.h"
#include "objects/scene/Camera.h"
#include "services/EngineServices.h"
#include "services/render/RenderQueue.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr int S = kCommandSetter;
constexpr float kMarkSize = 8.0f;
constexpr float kMarkDepth = -2.0f;
constexpr std::uint32_t kCentred = 0x24;
constexpr int kFirstVersionWithRange = 54;

Object* FromRoot(Object& self, const std::string& path) {
  Object* root = &self;
  while (root->GetParent() != nullptr) root = root->GetParent();
  return Object::ResolveObjectPath(&self, path, path.starts_with('/') ? nullptr : root, nullptr);
}

}  // namespace

// Registered in the order scripts and files know them; the range last.
// clang-format off
using R = PlayerRadar;
constexpr CommandEntry<PlayerRadar> PlayerRadar::kCommands[] = {
    {20500, "PlayerRadarSprite", P, 0, {kValueString}, Member<&R::ForwardCommand<6542>>, Member<&R::ForwardCommand<6543>>},
    {20502, "PlayerRadarObjectSprite", P, 0, {kValueString}, Member<&R::SetObjectSpriteCommand>, FieldGetter<&R::objectSpriteName_>},
    {20506, "PlayerRadarPlayer", P, 0, {kValueString}, Member<&R::SetPlayerCommand>},
    {20508, "AddPlayerRadarObject", C, S, {kValueString}, Member<&R::AddObjectCommand>},
    {20509, "RemovePlayerRadarObject", C, S, {kValueString}, Member<&R::RemoveObjectCommand>},
    {20504, "PlayerRadarRange", P, 0, {kValueFloat}, FieldSetter<&R::range_>, FieldGetter<&R::range_>},
};

std::span<const CommandEntry<PlayerRadar>> PlayerRadar::Commands() { return kCommands; }
// clang-format on

PlayerRadar::PlayerRadar() : Window(kClassPlayerRadar) {}

int PlayerRadar::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<PlayerRadar> handlers(kClassPlayerRadar, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandCollectResources && args != nullptr) CollectResources(args);
  return Window::ExecuteCommand(id, args);
}

void PlayerRadar::CopyFrom(const Object& source) {
  Window::CopyFrom(source);
  tracked_.clear();
}

int PlayerRadar::SetObjectSpriteCommand(CommandArgs args) {
  objectSpriteName_ = args.AsString();
  objectSprite_.Reset();
  if (EngineServices* services = GetEngineServices()) {
    objectSprite_ = services->GetResources().AcquireResource(objectSpriteName_, kMaterialResource);
  }
  return 1;
}

int PlayerRadar::SetPlayerCommand(CommandArgs args) {
  camera_.Reset();
  Object* player = FromRoot(*this, args.AsString());
  player_.Set(player);
  if (player != nullptr) camera_.Set(static_cast<Camera*>(player->FindChildByClass(kClassCamera)));
  return 1;
}

int PlayerRadar::AddObjectCommand(CommandArgs args) {
  if (Object* object = FromRoot(*this, args.AsString())) tracked_.emplace_back(object);
  return 1;
}

int PlayerRadar::RemoveObjectCommand(CommandArgs args) {
  const std::string& name = args.AsString();
  const auto found = std::find_if(tracked_.begin(), tracked_.end(), [&name](const ObjectRef<>& tracked) {
    return tracked.Get() != nullptr && tracked->GetName() == name;
  });
  if (found != tracked_.end()) tracked_.erase(found);
  return 1;
}

void PlayerRadar::CollectResources(void* set) {
  EngineServices* services = GetEngineServices();
  if (!objectSprite_ && !objectSpriteName_.empty() && services != nullptr) {
    objectSprite_ = services->GetResources().AcquireResource(objectSpriteName_, kMaterialResource);
  }
  static_cast<ResourceSet*>(set)->AddToResourceSet(objectSprite_.Get());
}

void PlayerRadar::Draw() {
  if (GetActive()) QueueTracked();
  Window::Draw();
}

void PlayerRadar::QueueTracked() {
  Object* player = player_.Get();
  Camera* camera = camera_.Get();
  EngineServices* services = GetEngineServices();
  if (player == nullptr || camera == nullptr || !HasFlag(kFlagActionStarted) || services == nullptr) return;
  std::erase_if(tracked_, [](const ObjectRef<>& tracked) { return tracked.Get() == nullptr; });
  Matrix4 turn;
  Matrix4RotationY(turn, -camera->GetHeadingAroundPivot());
  const Vector3 centre = player->GetPositionWS();
  const ScreenRect& rect = GetScreenRect();
  for (const ObjectRef<>& tracked : tracked_) {
    Vector3 d;
    Vector3Subtract(d, tracked->GetPositionWS(), centre);
    if (std::sqrt(Vector3Dot(d, d)) >= range_) continue;
    Vector3 turned;
    Vector3TransformNormal(turned, d, turn);
    const Vector3 at{(rect.left + rect.right) / 2 - turned.x, (rect.top + rect.bottom) / 2 + turned.z, kMarkDepth};
    services->GetRenderQueue().QueueSprite(objectSprite_.Get(), at, kMarkSize, kMarkSize, GetBackColor(), kCentred);
  }
}

bool PlayerRadar::Serialize(SerializeStream& stream) {
  if (!Window::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version >= 1) stream.Serialize(savedWord_);
  if (version >= kFirstVersionWithRange) {
    stream.SerializeString(objectSpriteName_);
    stream.Serialize(range_);
  }
  if (!stream.IsWriting()) objectSprite_.Reset();
  return !stream.Failed();
}

void RegisterPlayerRadarCommands() {
  RegisterCommandTable<PlayerRadar>(BuildCommandRegistry(), kClassPlayerRadar, PlayerRadar::Commands());
  GetObjectFactory().RegisterType<PlayerRadar>(kClassPlayerRadar);
}

}  // namespace tge

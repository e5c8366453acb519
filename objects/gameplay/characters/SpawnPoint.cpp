// SpawnPoint's command table, template choice, placement and file record.
#include "objects/gameplay/characters/SpawnPoint.h"

#include <cstdio>
#include <optional>
#include <type_traits>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandAccessors.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/files/SerializeStream.h"
#include "core/math/Matrix4.h"
#include "core/math/Random.h"
#include "core/trees/ObjectServices.h"
#include "objects/gameplay/characters/PlayerFPS.h"
#include "objects/gameplay/navigation/VisionGraph.h"
#include "objects/gameplay/world/Space.h"
#include "objects/scene/animation/Spline.h"
#include "objects/ui/SerializeRecords.h"

namespace tge {
namespace {

using SP = SpawnPoint;
using Entry = SpawnObjectEntry;
constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr int kOwn = kCommandTypeOwn;

constexpr int kEventActionStart = 75;
constexpr int kEventOnFirstTimeDrawn = 217;
constexpr int kProbabilityVersion = 17;
// A path's length word and the two counts.
constexpr std::uint64_t kMinEntryBytes = 12;
constexpr float kPlayerSpaceLift = 0.4f;
constexpr int kOffsetSteps = 10000;
constexpr float kOffsetScale = 0.0002f;

// Placed into the Space, with a transform of their own kept as it is.
bool IsCharacter(int classId) {
  return classId == kClassPlayerFPS || classId == kClassAIPlayerFPS || classId == kClassPlayerTP ||
         classId == kClassSimObject || classId == kClassAIPlayer;
}

}  // namespace

// A template chosen from a spawn point's list, not yet counted.
struct SpawnPick {
  SpawnPoint* owner;
  std::size_t entry;
  Object* object;
};

// clang-format off
constexpr CommandEntry<SpawnPoint> SpawnPoint::kCommands[] = {
    {3750, "SpawnPointMaxSpawnCount", P, 0, {kValueDword}, FieldSetter<&SP::maxSpawnCount_>, FieldGetter<&SP::maxSpawnCount_>},
    {3752, "SpawnPointCurrentSpawnCount", P, 0, {kValueDword}, FieldSetter<&SP::currentSpawnCount_>, FieldGetter<&SP::currentSpawnCount_>},
    {3754, "SpawnPointMinSpawnTime", P, 0, {kValueFloat}, FieldSetter<&SP::minSpawnTime_>, FieldGetter<&SP::minSpawnTime_>},
    {3756, "SpawnPointUseSpawnBox", P, 0, {kValueBool}, LowBitFlagSetter<&SP::spawnFlags_, kUseSpawnBox>, FlagGetter<&SP::spawnFlags_, kUseSpawnBox>},
    {3758, "SpawnPointSpawnBox", P, 0, {kValueVector3}, FieldSetter<&SP::spawnBox_>, FieldGetter<&SP::spawnBox_>},
    {3760, "SpawnPointUseExternSpawnPoint", P, 0, {kValueBool}, LowBitFlagSetter<&SP::spawnFlags_, kUseExternSpawnPoint>, FlagGetter<&SP::spawnFlags_, kUseExternSpawnPoint>},
    {3762, "SpawnPointExternSpawnPoint", P, 0, {kValueString}, FieldSetter<&SP::externSpawnPoint_>, FieldGetter<&SP::externSpawnPoint_>},
    {3764, "SpawnPointUseChildrenAsSpawnPoints", P, 0, {kValueBool}, LowBitFlagSetter<&SP::spawnFlags_, kUseChildrenAsSpawnPoints>, FlagGetter<&SP::spawnFlags_, kUseChildrenAsSpawnPoints>},
    {3766, "SpawnPointSpawnOnFirstTimeDrawn", P, 0, {kValueBool}, LowBitFlagSetter<&SP::spawnFlags_, kSpawnOnFirstTimeDrawn>, FlagGetter<&SP::spawnFlags_, kSpawnOnFirstTimeDrawn>},
    {3768, "SpawnPointSpawnInSpace", P, 0, {kValueBool}, LowBitFlagSetter<&SP::spawnFlags_, kSpawnInSpace>, FlagGetter<&SP::spawnFlags_, kSpawnInSpace>},
    {3770, "SpawnPointSpawnInPlayerSpace", P, 0, {kValueBool}, LowBitFlagSetter<&SP::spawnFlags_, kSpawnInPlayerSpace>, FlagGetter<&SP::spawnFlags_, kSpawnInPlayerSpace>},
    {3772, "SpawnPointSpawnProbability", P, 0, {kValueBool}, FieldSetter<&SP::spawnProbability_>, FieldGetter<&SP::spawnProbability_>},
    {3774, "AddSpawnPointObject", C, kOwn, {}, Member<&SP::AddObjectCommand>},
    {3775, "DeleteSpawnPointObject", C, kOwn, {}, Member<&SP::DeleteObjectCommand>},
    {3776, "SetSpawnPointObjectList", C, kOwn, {kValueDword}, Member<&SP::SetObjectListCommand>},
    {3777, "GetSpawnPointObjectList", C, kOwn | kCommandObjectBlock, {kValueDword}, Member<&SP::GetObjectListCommand>},
    {3778, "SpawnPointObjectPath", P, 0, {kValueString}, Member<&SP::SetEntryField<&Entry::path>>, Member<&SP::GetEntryField<&Entry::path>>},
    {3780, "SpawnPointObjectRandWeight", P, 0, {kValueDword}, Member<&SP::SetEntryField<&Entry::randWeight>>, Member<&SP::GetEntryField<&Entry::randWeight>>},
    {3782, "SpawnPointObjectMaxSpawnCount", P, 0, {kValueDword}, Member<&SP::SetEntryField<&Entry::maxSpawnCount>>, Member<&SP::GetEntryField<&Entry::maxSpawnCount>>},
    {3784, "SpawnObject", C, kCommandSetter, {}, Member<&SP::SpawnObjectCommand>},
};

std::span<const CommandEntry<SpawnPoint>> SpawnPoint::Commands() { return kCommands; }
// clang-format on

SpawnPoint::SpawnPoint() : Object(kClassSpawnPoint) {}

int SpawnPoint::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<SpawnPoint> handlers(kClassSpawnPoint, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandCollectResources && args != nullptr) CollectResources(args);
  return Object::ExecuteCommand(id, args);
}

// The lowest bit of the value.
int SpawnPoint::AddObjectCommand(CommandArgs) {
  objects_.emplace_back();
  return 1;
}

int SpawnPoint::DeleteObjectCommand(CommandArgs) {
  if (SelectedEntry() == nullptr) return 1;
  objects_.erase(objects_.begin() + selectedObject_);
  selectedObject_ = objects_.empty() ? -1 : 0;
  return 1;
}

int SpawnPoint::SetObjectListCommand(CommandArgs args) {
  selectedObject_ = args.Get<std::int32_t>();
  return 1;
}

int SpawnPoint::GetObjectListCommand(CommandArgs args) {
  auto& names = *static_cast<std::vector<std::string>*>(args.Data());
  for (const SpawnObjectEntry& entry : objects_) names.push_back(entry.path);
  return 1;
}

template <auto Field>
int SpawnPoint::SetEntryField(CommandArgs args) {
  if (SpawnObjectEntry* entry = SelectedEntry()) StoreArgument(entry->*Field, args);
  return 1;
}

template <auto Field>
int SpawnPoint::GetEntryField(CommandArgs args) {
  if (SpawnObjectEntry* entry = SelectedEntry()) LoadArgument(entry->*Field, args);
  return 1;
}

int SpawnPoint::SpawnObjectCommand(CommandArgs) {
  SpawnObject();
  return 1;
}

SpawnObjectEntry* SpawnPoint::SelectedEntry() {
  if (selectedObject_ < 0 || static_cast<std::size_t>(selectedObject_) >= objects_.size()) return nullptr;
  return &objects_[static_cast<std::size_t>(selectedObject_)];
}

// Every template's subtree, and the extern spawn point's templates.
void SpawnPoint::CollectResources(void* set) {
  for (const SpawnObjectEntry& entry : objects_) {
    if (Object* found = ResolveObjectPath(this, entry.path, nullptr, nullptr)) {
      BroadcastCommand(*found, kCommandCollectResources, set);
    }
  }
  if ((spawnFlags_ & kUseExternSpawnPoint) == 0) return;
  if (Object* extern_ = ResolveObjectPath(this, externSpawnPoint_, nullptr, nullptr)) {
    extern_->ExecuteCommand(kCommandCollectResources, set);
  }
}

void SpawnPoint::Draw() {
  if (GetActive()) Object::Draw();
}

int SpawnPoint::FireEvent(int eventId, Object* sender) {
  if (!GetActive() || IsRetired()) return 0;
  if (eventId == kEventActionStart ||
      (eventId == kEventOnFirstTimeDrawn && (spawnFlags_ & kSpawnOnFirstTimeDrawn) != 0)) {
    SpawnObject();
  }
  return Object::FireEvent(eventId, sender);
}

bool SpawnPoint::PassesProbability() const {
  if (spawnProbability_ >= 100) return true;
  if (spawnProbability_ == 0) return false;
  return spawnProbability_ >= static_cast<std::uint32_t>(Rand() % 100);
}

// Weights add up in 64 bits: a number k below the total picks the entry
// whose range of k holds it, the entry a list repeating each entry weight
// times would give at k, without making that list.
std::optional<SpawnPick> SpawnPoint::ChooseTemplate() {
  if (!PassesProbability() || currentSpawnCount_ >= maxSpawnCount_) return std::nullopt;
  auto eligible = [](const SpawnObjectEntry& entry) { return entry.spawnCount < entry.maxSpawnCount; };
  std::uint64_t total = 0;
  for (const SpawnObjectEntry& entry : objects_) total += eligible(entry) ? entry.randWeight : 0;
  if (total == 0) return std::nullopt;
  std::uint64_t k = static_cast<std::uint64_t>(Rand()) % total;
  std::size_t chosen = 0;
  for (; chosen < objects_.size(); ++chosen) {
    const SpawnObjectEntry& entry = objects_[chosen];
    if (!eligible(entry)) continue;
    if (k < entry.randWeight) break;
    k -= entry.randWeight;
  }
  Object* found = ResolveObjectPath(this, objects_[chosen].path, nullptr, nullptr);
  if (found == nullptr) return std::nullopt;
  return SpawnPick{this, chosen, found};
}

// The extern spawn point's list, limits and probability, after this one's
// probability.
std::optional<SpawnPick> SpawnPoint::ChooseExternTemplate() {
  if (!PassesProbability()) return std::nullopt;
  Object* found = ResolveObjectPath(this, externSpawnPoint_, nullptr, nullptr);
  if (found == nullptr || found->GetClassId() != kClassSpawnPoint) return std::nullopt;
  return static_cast<SpawnPoint&>(*found).ChooseTemplate();
}

Object* SpawnPoint::SpaceParent(Object* player) const {
  if ((spawnFlags_ & kSpawnInPlayerSpace) != 0 && player != nullptr && player->GetSpace() != nullptr) {
    return player->GetSpace();
  }
  return GetSpace();
}

int SpawnPoint::SpawnObject() {
  if (currentSpawnCount_ >= maxSpawnCount_) return 0;
  const bool borrowed = (spawnFlags_ & kUseExternSpawnPoint) != 0;
  const std::optional<SpawnPick> pick = borrowed ? ChooseExternTemplate() : ChooseTemplate();
  if (!pick) return 0;
  Object* player = GetCurrentPlayerFPS();
  const bool character = IsCharacter(pick->object->GetClassId());
  const bool placed = character || (spawnFlags_ & kSpawnInSpace) != 0;
  Object* parent = placed ? SpaceParent(player) : this;
  if (parent == nullptr) {
    std::fprintf(stderr, "SpawnPoint \"%s\" is in no Space: cannot place \"%s\"\n", GetName().c_str(),
                 pick->object->GetName().c_str());
    return 0;
  }
  ++pick->owner->objects_[pick->entry].spawnCount;
  ++pick->owner->currentSpawnCount_;
  if (borrowed) ++currentSpawnCount_;
  ObjectHooks* hooks = GetObjectHooks();
  Object* clone = hooks != nullptr ? hooks->CloneObject(*pick->object, *parent, true, true, false) : nullptr;
  if (clone == nullptr) return 0;
  if (placed) {
    const SpawnPlacement at = ComputeSpawnTransform(player);
    if (!character) clone->SetInheritOrientation(false);
    clone->SetWSOrientation(true);
    clone->SetPosition(at.position, true);
    clone->SetRotation(at.rotation, true);
  }
  const DeletionHold hold;
  clone->ExecuteCommand(kCommandCreatePhysics, nullptr);
  clone->ExecuteCommand(kCommandStartPhysics, nullptr);
  clone->InvalidateTransform();
  FireEvent(kEventOnSpawnObject, clone);
  clone->FireEvent(kEventOnSpawn, this);
  return 1;
}

SpawnPlacement SpawnPoint::ComputeSpawnTransform(Object* player) {
  Space* playerSpace = player != nullptr ? player->GetSpace() : nullptr;
  if ((spawnFlags_ & kSpawnInPlayerSpace) != 0 && playerSpace != nullptr) {
    const AABox& box = playerSpace->GetWorldBox();
    Vector3 at;
    Vector3Lerp(at, box.min, box.max, 0.5f);
    const Space* searched =
        playerSpace->IsInherit() && playerSpace->GetParentSpace() != nullptr ? playerSpace->GetParentSpace() : playerSpace;
    if (const auto* graph = static_cast<const VisionGraph*>(searched->FindChildByClass(kClassVisionGraph))) {
      graph->GetRandomPosition(&at);
    }
    at.y += kPlayerSpaceLift;
    return {at, Quaternion{}};
  }
  SpawnPlacement at{GetPositionWS(), GetRotationWS()};
  if ((spawnFlags_ & kUseChildrenAsSpawnPoints) != 0 && GetChildCount() > 0) {
    Object* child = GetChild(Rand() % GetChildCount());
    if (child->GetClassId() == kClassSpline) {
      auto& spline = static_cast<Spline&>(*child);
      if (spline.GetLengthTable().empty()) spline.BuildLengthTable();
      const float along = static_cast<float>(Rand() % kOffsetSteps) / kOffsetSteps;
      at.position = spline.GetPositionAt(along * spline.GetTotalLength());
    } else {
      at.position = child->GetPositionWS();
      at.rotation = child->GetRotationWS();
    }
  }
  if ((spawnFlags_ & kUseSpawnBox) != 0) {
    const Vector3 offset = SpawnBoxOffset();
    Vector3Add(at.position, at.position, offset);
  }
  return at;
}

// Each component in [-box / 2, box / 2), in the spawn point's own axes.
Vector3 SpawnPoint::SpawnBoxOffset() {
  auto component = [](float size) {
    return (static_cast<float>(Rand() % kOffsetSteps) * kOffsetScale - 1.0f) * size / 2;
  };
  const float x = component(spawnBox_.x);
  const float y = component(spawnBox_.y);
  const float z = component(spawnBox_.z);
  Vector3 turned;
  return Vector3TransformNormal(turned, {x, y, z}, GetWorldMatrix());
}

bool SpawnPoint::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version < 1) return !stream.Failed();
  stream.Serialize(spawnFlags_);
  stream.Serialize(minSpawnTime_);
  stream.Serialize(maxSpawnCount_);
  stream.Serialize(spawnBox_);
  stream.SerializeString(externSpawnPoint_);
  if (version >= kProbabilityVersion) stream.Serialize(spawnProbability_);
  const bool reading = !stream.IsWriting();
  // An empty path reads back empty, not as the new entry's default.
  return SerializeRecords(stream, objects_, kMinEntryBytes, [&](SpawnObjectEntry& entry) {
    if (reading) entry.path.clear();
    stream.SerializeString(entry.path);
    stream.Serialize(entry.randWeight);
    stream.Serialize(entry.maxSpawnCount);
  });
}

void RegisterSpawnPointCommands() {
  RegisterCommandTable<SpawnPoint>(BuildCommandRegistry(), kClassSpawnPoint, SpawnPoint::Commands());
  GetObjectFactory().RegisterType<SpawnPoint>(kClassSpawnPoint);
}

}  // namespace tge

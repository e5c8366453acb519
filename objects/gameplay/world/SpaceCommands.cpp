// Space's command table and handlers: the box, the sub boxes, the flag
// properties and the two entry lists. Indices are compared unsigned, so -1
// and any index at or past the count address nothing.
#include <string>
#include <vector>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "objects/gameplay/world/Space.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;

template <class T>
T* Selected(const std::vector<T>& list, std::int32_t index) {
  const auto at = static_cast<std::uint32_t>(index);
  return at < list.size() ? const_cast<T*>(&list[at]) : nullptr;
}

// Removes the selected entry; the selection then falls on the first entry.
template <class T>
void EraseSelected(std::vector<T>& list, std::int32_t& index) {
  const auto at = static_cast<std::uint32_t>(index);
  if (at >= list.size()) return;
  list.erase(list.begin() + at);
  index = list.empty() ? -1 : 0;
}

std::vector<std::string>& NameList(CommandArgs args) { return *static_cast<std::vector<std::string>*>(args.Data()); }

}  // namespace

// clang-format off
constexpr CommandEntry<Space> Space::kCommands[] = {
    {2000, "SpaceBoxMin", P, 0, {kValueVector3}, Member<&Space::SetBoxMinCommand>, Member<&Space::GetBoxMinCommand>},
    {2002, "SpaceBoxMax", P, 0, {kValueVector3}, Member<&Space::SetBoxMaxCommand>, Member<&Space::GetBoxMaxCommand>},
    {2004, "AddSpaceSubBox", C, 0, {}, Member<&Space::AddSubBoxCommand>},
    {2005, "DeleteSpaceSubBox", C, 0, {}, Member<&Space::DeleteSubBoxCommand>},
    {2006, "SetSpaceSubBoxList", C, 0, {kValueDword}, Member<&Space::SetSubBoxListCommand>},
    {2007, "GetSpaceSubBoxList", C, kCommandObjectBlock, {kValuePointer}, Member<&Space::GetSubBoxListCommand>},
    {2012, "SpaceCollision", P, 0, {kValueBool}, Member<&Space::SetFlagCommand<kSpaceCollision>>, FlagGetter<&Space::spaceFlags_, kSpaceCollision>},
    {2014, "SpaceConnection", P, 0, {kValueBool}, Member<&Space::SetFlagCommand<kSpaceConnection>>, FlagGetter<&Space::spaceFlags_, kSpaceConnection>},
    {2016, "SpaceConnectionOpen", P, 0, {kValueBool}, Member<&Space::SetFlagCommand<kSpaceConnectionOpen>>, FlagGetter<&Space::spaceFlags_, kSpaceConnectionOpen>},
    {2018, "SpacePortal", P, 0, {kValueBool}, Member<&Space::SetFlagCommand<kSpacePortal>>, FlagGetter<&Space::spaceFlags_, kSpacePortal>},
    {2020, "SpaceGlobal", P, 0, {kValueBool}, Member<&Space::SetFlagCommand<kSpaceGlobal>>, FlagGetter<&Space::spaceFlags_, kSpaceGlobal>},
    {2022, "SpaceInherit", P, 0, {kValueBool}, Member<&Space::SetFlagCommand<kSpaceInherit>>, FlagGetter<&Space::spaceFlags_, kSpaceInherit>},
    {2028, "SpaceExterior", P, 0, {kValueBool}, Member<&Space::SetFlagCommand<kSpaceExterior>>, FlagGetter<&Space::spaceFlags_, kSpaceExterior>},
    {2030, "AddSpaceCollision", C, 0, {kValueString}, Member<&Space::AddCollisionCommand>},
    {2031, "DeleteSpaceCollision", C, 0, {}, Member<&Space::DeleteCollisionCommand>},
    {2032, "SetSpaceCollisionList", C, 0, {kValueDword}, Member<&Space::SetCollisionListCommand>},
    {2033, "GetSpaceCollisionList", C, kCommandObjectBlock, {kValuePointer}, Member<&Space::GetCollisionListCommand>},
    {2034, "AddSpaceMesh", C, 0, {kValueString}, Member<&Space::AddMeshCommand>},
    {2035, "DeleteSpaceMesh", C, 0, {}, Member<&Space::DeleteMeshCommand>},
    {2036, "SetSpaceMeshList", C, 0, {kValueDword}, Member<&Space::SetMeshListCommand>},
    {2037, "GetSpaceMeshList", C, kCommandObjectBlock, {kValuePointer}, Member<&Space::GetMeshListCommand>},
    {2038, "CalculateSpaceBox", C, 0, {}, Member<&Space::CalculateSpaceBoxCommand>},
};

std::span<const CommandEntry<Space>> Space::Commands() { return kCommands; }

// Answered but never registered: the current sub box's corners and the
// reserved and auto-connect flags.
constexpr CommandEntry<Space> Space::kHiddenCommands[] = {
    {2008, "", P, 0, {kValueVector3}, Member<&Space::SetSubBoxCornerCommand<&AABox::min>>, Member<&Space::GetSubBoxCornerCommand<&AABox::min>>},
    {2010, "", P, 0, {kValueVector3}, Member<&Space::SetSubBoxCornerCommand<&AABox::max>>, Member<&Space::GetSubBoxCornerCommand<&AABox::max>>},
    {2024, "", P, 0, {kValueBool}, Member<&Space::SetFlagCommand<kSpaceReserved>>, FlagGetter<&Space::spaceFlags_, kSpaceReserved>},
    {2026, "", P, 0, {kValueBool}, Member<&Space::SetFlagCommand<kSpaceAutoConnect>>, FlagGetter<&Space::spaceFlags_, kSpaceAutoConnect>},
};

std::span<const CommandEntry<Space>> Space::HiddenCommands() { return kHiddenCommands; }
// clang-format on

// An inactive Space builds nothing: internal command 161 stops here, as
// the base handler stops it for any inactive object.
int Space::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Space> handlers(kClassSpace, {kCommands, kHiddenCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandCollectResources && args != nullptr) {
    CollectResources(args);
  } else if (id == kCommandCreatePhysics && GetActive()) {
    ResolveCollisionEntries();
  } else if (id == kCommandReleasePhysics) {
    ReleaseCollisionGeometries();
  } else if (id == kCommandSetWorld) {
    ChangeWorld(static_cast<World*>(args));
  }
  return Object::ExecuteCommand(id, args);
}

template <std::uint32_t Bit>
int Space::SetFlagCommand(CommandArgs args) {
  SetSpaceFlag(Bit, args.Get<std::int32_t>() != 0);
  return 1;
}

int Space::SetBoxMinCommand(CommandArgs args) {
  localBox_.min = args.Get<Vector3>();
  return 1;
}

int Space::GetBoxMinCommand(CommandArgs args) {
  args.Set(localBox_.min);
  return 1;
}

int Space::SetBoxMaxCommand(CommandArgs args) {
  localBox_.max = args.Get<Vector3>();
  return 1;
}

int Space::GetBoxMaxCommand(CommandArgs args) {
  args.Set(localBox_.max);
  return 1;
}

int Space::AddSubBoxCommand(CommandArgs) {
  localSubBoxes_.push_back(AABox{{-1, -1, -1}, {1, 1, 1}});
  currentSubBox_ = static_cast<std::int32_t>(localSubBoxes_.size()) - 1;
  return 1;
}

int Space::DeleteSubBoxCommand(CommandArgs) {
  const auto at = static_cast<std::uint32_t>(currentSubBox_);
  if (at < localSubBoxes_.size()) {
    localSubBoxes_.erase(localSubBoxes_.begin() + at);
    currentSubBox_ = -1;
  }
  return 1;
}

int Space::SetSubBoxListCommand(CommandArgs args) {
  currentSubBox_ = args.Get<std::int32_t>();
  return 1;
}

int Space::GetSubBoxListCommand(CommandArgs args) {
  for (std::size_t i = 1; i <= localSubBoxes_.size(); ++i) NameList(args).push_back("Sub Box " + std::to_string(i));
  return 1;
}

AABox* Space::CurrentSubBox() { return Selected(localSubBoxes_, currentSubBox_); }

template <Vector3 AABox::*Corner>
int Space::SetSubBoxCornerCommand(CommandArgs args) {
  if (AABox* box = CurrentSubBox()) box->*Corner = args.Get<Vector3>();
  return 1;
}

template <Vector3 AABox::*Corner>
int Space::GetSubBoxCornerCommand(CommandArgs args) {
  if (AABox* box = CurrentSubBox()) args.Set(box->*Corner);
  return 1;
}

int Space::AddCollisionCommand(CommandArgs args) {
  AddCollisionEntry(args.AsString());
  return 1;
}

// The entry's geometries go before the entry: they point back at its records.
int Space::DeleteCollisionCommand(CommandArgs) {
  if (auto* entry = Selected(collisionEntries_, currentCollision_)) {
    ReleaseEntryGeometries(**entry);
    EraseSelected(collisionEntries_, currentCollision_);
  }
  return 1;
}

int Space::SetCollisionListCommand(CommandArgs args) {
  currentCollision_ = args.Get<std::int32_t>();
  return 1;
}

int Space::GetCollisionListCommand(CommandArgs args) {
  for (const auto& entry : collisionEntries_) NameList(args).push_back(entry->name);
  return 1;
}

int Space::AddMeshCommand(CommandArgs args) {
  AddMeshEntry(args.AsString());
  return 1;
}

int Space::DeleteMeshCommand(CommandArgs) {
  EraseSelected(meshEntries_, currentMesh_);
  return 1;
}

int Space::SetMeshListCommand(CommandArgs args) {
  currentMesh_ = args.Get<std::int32_t>();
  return 1;
}

int Space::GetMeshListCommand(CommandArgs args) {
  for (const auto& entry : meshEntries_) NameList(args).push_back(entry->name);
  return 1;
}

int Space::CalculateSpaceBoxCommand(CommandArgs) {
  CalculateSpaceBox();
  return 1;
}

}  // namespace tge

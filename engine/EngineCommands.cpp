// The engine's commands, ids 250 to 389: the table that registers and
// dispatches them and their handlers. Every id, handled here or not, goes on
// to the base object's handler afterwards.
#include <cstdio>
#include <vector>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/File.h"
#include "core/ObjectHooks.h"
#include "core/ObjectRef.h"
#include "core/commands/BaseCommandTable.h"
#include "core/script/ScriptInterpreter.h"
#include "engine/Engine.h"
#include "engine/WindowProgressDisplay.h"
#include "objects/gameplay/navigation/VisionGraph.h"
#include "objects/gameplay/world/Space.h"
#include "services/EngineServices.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

using namespace table_terms;
constexpr std::int32_t kString = kValueString;
constexpr std::int32_t kColor = kValueColor;

// A load's or an unload's events may delete Files listed after it: they are
// held weakly.
std::vector<ObjectRef<File>> CollectFiles(const Object& root, int stopClassId) {
  std::vector<Object*> found;
  root.CollectDescendants(found, kClassFile, stopClassId);
  std::vector<ObjectRef<File>> files;
  for (Object* object : found) files.emplace_back(static_cast<File*>(object));
  return files;
}

}  // namespace

// clang-format off
constexpr CommandEntry<Engine> Engine::kCommands[] = {
  {250, "ATessaryOpen", Kind::kCommand, S, {kString}, Member<&Engine::OpenCommand>},
  {251, "ATessarySaveAs", Kind::kCommand, S, {kString}, Member<&Engine::SaveAsCommand>},
  {252, "ATessaryUnload", Kind::kCommand, S, {}, Member<&Engine::UnloadCommand>},
  {253, "LoadResourcesWithProgressBar", Kind::kCommand, S, {kText, kText, kText}, Member<&Engine::LoadResourcesWithProgressBarCommand>},
  {254, "LoadResources", Kind::kCommand, S, {kString}, Member<&Engine::LoadResourcesCommand>},
  {255, "UnloadResources", Kind::kCommand, S, {kString}, Member<&Engine::UnloadResourcesCommand>},
  {256, "ATessaryFileName", Kind::kProperty, 0, {kString}, Member<&Engine::SetSceneFileNameCommand>, Member<&Engine::GetSceneFileNameCommand>},
  {258, "LoadFileObjects", Kind::kCommand, S, {}, Member<&Engine::LoadFileObjectsCommand>},
  {259, "UnloadFileObjects", Kind::kCommand, S, {}, Member<&Engine::UnloadFileObjectsCommand>},
  {260, "EnableSimulator", Kind::kProperty, 0, {kBool}, Member<&Engine::SetEnableSimulatorCommand>, Member<&Engine::GetEnableSimulatorCommand>},
  {262, "SaveSystemSettings", Kind::kCommand, S, {}, Member<&Engine::SaveSystemSettingsCommand>},
  {263, "SetSoundGroupNormalVolume", Kind::kCommand, S, {kFloat}, Member<&Engine::SetSoundGroupVolumeCommand<0>>},
  {264, "SetSoundGroupAmbientVolume", Kind::kCommand, S, {kFloat}, Member<&Engine::SetSoundGroupVolumeCommand<1>>},
  {265, "SetSoundGroupMusicVolume", Kind::kCommand, S, {kFloat}, Member<&Engine::SetSoundGroupVolumeCommand<2>>},
  {266, "SetSoundGroupEffectVolume", Kind::kCommand, S, {kFloat}, Member<&Engine::SetSoundGroupVolumeCommand<3>>},
  {267, "SetSoundGroupVoiceVolume", Kind::kCommand, S, {kFloat}, Member<&Engine::SetSoundGroupVolumeCommand<4>>},
  {268, "SetGraphicsDetailLevel", Kind::kCommand, S, {kFloat}, Member<&Engine::SetGraphicsDetailLevelCommand>},
  {269, "SetMaterialTexture", Kind::kCommand, S, {kText, kDword, kText}, Member<&Engine::SetMaterialTextureCommand>},
  {309, "UIWindowFont", Kind::kProperty, 0, {kString}, Member<&Engine::SetSkinNameCommand<kSkinWindowFont>>, Member<&Engine::GetSkinNameCommand<kSkinWindowFont>>},
  {311, "UIWindowBigFont", Kind::kProperty, 0, {kString}, Member<&Engine::SetSkinNameCommand<kSkinWindowBigFont>>, Member<&Engine::GetSkinNameCommand<kSkinWindowBigFont>>},
  {313, "UIWindowFullscreenBgSprite", Kind::kProperty, 0, {kString}, Member<&Engine::SetSkinNameCommand<kSkinWindowFullscreenBgSprite>>, Member<&Engine::GetSkinNameCommand<kSkinWindowFullscreenBgSprite>>},
  {315, "UIWindowBgSprite", Kind::kProperty, 0, {kString}, Member<&Engine::SetSkinNameCommand<kSkinWindowBgSprite>>, Member<&Engine::GetSkinNameCommand<kSkinWindowBgSprite>>},
  {317, "UIWindowFrameColor", Kind::kProperty, 0, {kColor}, Member<&Engine::SetSkinColorCommand<kSkinWindowFrameColor>>, Member<&Engine::GetSkinColorCommand<kSkinWindowFrameColor>>},
  {319, "UIWindowBgColor", Kind::kProperty, 0, {kColor}, Member<&Engine::SetSkinColorCommand<kSkinWindowBgColor>>, Member<&Engine::GetSkinColorCommand<kSkinWindowBgColor>>},
  {321, "UIWindowSprite", Kind::kProperty, 0, {kString}, Member<&Engine::SetSkinNameCommand<kSkinWindowSprite>>, Member<&Engine::GetSkinNameCommand<kSkinWindowSprite>>},
  {323, "UIButtonBgSprite", Kind::kProperty, 0, {kString}, Member<&Engine::SetSkinNameCommand<kSkinButtonBgSprite>>, Member<&Engine::GetSkinNameCommand<kSkinButtonBgSprite>>},
  {325, "UIButtonHiliteSprite", Kind::kProperty, 0, {kString}, Member<&Engine::SetSkinNameCommand<kSkinButtonHiliteSprite>>, Member<&Engine::GetSkinNameCommand<kSkinButtonHiliteSprite>>},
  {327, "UIButtonHiliteColor", Kind::kProperty, 0, {kColor}, Member<&Engine::SetSkinColorCommand<kSkinButtonHiliteColor>>, Member<&Engine::GetSkinColorCommand<kSkinButtonHiliteColor>>},
  {329, "UIButtonTextHiliteColor", Kind::kProperty, 0, {kColor}, Member<&Engine::SetSkinColorCommand<kSkinButtonTextHiliteColor>>, Member<&Engine::GetSkinColorCommand<kSkinButtonTextHiliteColor>>},
  {331, "UIButtonHiliteSound", Kind::kProperty, 0, {kString}, Member<&Engine::SetSkinNameCommand<kSkinButtonHiliteSound>>, Member<&Engine::GetSkinNameCommand<kSkinButtonHiliteSound>>},
  {333, "UIButtonActionSound", Kind::kProperty, 0, {kString}, Member<&Engine::SetSkinNameCommand<kSkinButtonActionSound>>, Member<&Engine::GetSkinNameCommand<kSkinButtonActionSound>>},
  {335, "UIButtonFailSound", Kind::kProperty, 0, {kString}, Member<&Engine::SetSkinNameCommand<kSkinButtonFailSound>>, Member<&Engine::GetSkinNameCommand<kSkinButtonFailSound>>},
  {337, "UIListBoxBgSprite", Kind::kProperty, 0, {kString}, Member<&Engine::SetSkinNameCommand<kSkinListBoxBgSprite>>, Member<&Engine::GetSkinNameCommand<kSkinListBoxBgSprite>>},
  {339, "UIListBoxHiliteSprite", Kind::kProperty, 0, {kString}, Member<&Engine::SetSkinNameCommand<kSkinListBoxHiliteSprite>>, Member<&Engine::GetSkinNameCommand<kSkinListBoxHiliteSprite>>},
  {341, "UIListBoxNextSprite", Kind::kProperty, 0, {kString}, Member<&Engine::SetSkinNameCommand<kSkinListBoxNextSprite>>, Member<&Engine::GetSkinNameCommand<kSkinListBoxNextSprite>>},
  {343, "UIListBoxPrevSprite", Kind::kProperty, 0, {kString}, Member<&Engine::SetSkinNameCommand<kSkinListBoxPrevSprite>>, Member<&Engine::GetSkinNameCommand<kSkinListBoxPrevSprite>>},
  {345, "UISliderBgSprite", Kind::kProperty, 0, {kString}, Member<&Engine::SetSkinNameCommand<kSkinSliderBgSprite>>, Member<&Engine::GetSkinNameCommand<kSkinSliderBgSprite>>},
  {347, "UISliderHiliteSprite", Kind::kProperty, 0, {kString}, Member<&Engine::SetSkinNameCommand<kSkinSliderHiliteSprite>>, Member<&Engine::GetSkinNameCommand<kSkinSliderHiliteSprite>>},
  {349, "UISliderPositionSprite", Kind::kProperty, 0, {kString}, Member<&Engine::SetSkinNameCommand<kSkinSliderPositionSprite>>, Member<&Engine::GetSkinNameCommand<kSkinSliderPositionSprite>>},
  {351, "UICheckBoxBgSprite", Kind::kProperty, 0, {kString}, Member<&Engine::SetSkinNameCommand<kSkinCheckBoxBgSprite>>, Member<&Engine::GetSkinNameCommand<kSkinCheckBoxBgSprite>>},
  {353, "UICheckBoxHiliteSprite", Kind::kProperty, 0, {kString}, Member<&Engine::SetSkinNameCommand<kSkinCheckBoxHiliteSprite>>, Member<&Engine::GetSkinNameCommand<kSkinCheckBoxHiliteSprite>>},
  {355, "UICheckBoxCheckedSprite", Kind::kProperty, 0, {kString}, Member<&Engine::SetSkinNameCommand<kSkinCheckBoxCheckedSprite>>, Member<&Engine::GetSkinNameCommand<kSkinCheckBoxCheckedSprite>>},
  {357, "UITextInputBgSprite", Kind::kProperty, 0, {kString}, Member<&Engine::SetSkinNameCommand<kSkinTextInputBgSprite>>, Member<&Engine::GetSkinNameCommand<kSkinTextInputBgSprite>>},
  {359, "UITextInputHiliteSprite", Kind::kProperty, 0, {kString}, Member<&Engine::SetSkinNameCommand<kSkinTextInputHiliteSprite>>, Member<&Engine::GetSkinNameCommand<kSkinTextInputHiliteSprite>>},
  {361, "CursorActive", Kind::kProperty, 0, {kBool}, Member<&Engine::SetSwitchCommand<&Engine::cursorActive_>>, Member<&Engine::GetSwitchCommand<&Engine::cursorActive_>>},
  {363, "CursorMaterial", Kind::kProperty, 0, {kString}, Member<&Engine::SetCursorMaterialCommand>, Member<&Engine::GetCursorMaterialCommand>},
  {365, "SetCustomCursor", Kind::kCommand, S, {kString}, Member<&Engine::SetCustomCursorCommand>},
  {366, "CursorPosition", Kind::kProperty, 0, {kVec3}, Member<&Engine::SetCursorPositionCommand>, Member<&Engine::GetCursorPositionCommand>},
  {368, "InitializeGlobalHitEffects", Kind::kCommand, P, {}, Member<&Engine::InitializeGlobalHitEffectsCommand>},
  {369, "Exit", Kind::kCommand, P, {}, Member<&Engine::ExitCommand>},
  {370, "DrawSpaces", Kind::kProperty, 0, {kBool}, Member<&Engine::SetSwitchCommand<&Engine::drawSpaces_>>, Member<&Engine::GetSwitchCommand<&Engine::drawSpaces_>>},
  {372, "GoToSpace", Kind::kCommand, S, {kString}, Member<&Engine::GoToSpaceCommand>},
  {373, "CreateGlobalHitEffect", Kind::kCommand, S, {kPath, kDword}, Member<&Engine::CreateGlobalHitEffectCommand>},
  {374, "ShowAllHelpers", Kind::kCommand, S, {}, Member<&Engine::ShowAllHelpersCommand>},
  {375, "HideAllHelpers", Kind::kCommand, S, {}, Member<&Engine::HideAllHelpersCommand>},
  {376, "ShowCollision", Kind::kCommand, S, {}, Member<&Engine::ToggleHelperCommand<kShowCollision>>},
  {377, "ShowLight", Kind::kCommand, S, {}, Member<&Engine::ToggleHelperCommand<kShowLight>>},
  {378, "ShowSound", Kind::kCommand, S, {}, Member<&Engine::ToggleHelperCommand<kShowSound>>},
  {379, "ShowTrigger", Kind::kCommand, S, {}, Member<&Engine::ToggleHelperCommand<kShowTrigger>>},
  {380, "ShowSpace", Kind::kCommand, S, {}, Member<&Engine::ToggleHelperCommand<kShowSpace>>},
  {381, "ShowPlayer", Kind::kCommand, S, {}, Member<&Engine::ToggleHelperCommand<kShowPlayer>>},
  {382, "ShowAIPlayer", Kind::kCommand, S, {}, Member<&Engine::ToggleHelperCommand<kShowAIPlayer>>},
  {383, "ShowSpawnPoint", Kind::kCommand, S, {}, Member<&Engine::ToggleHelperCommand<kShowSpawnPoint>>},
  {384, "ShowJoint", Kind::kCommand, S, {}, Member<&Engine::ToggleHelperCommand<kShowJoint>>},
  {385, "ShowSpline", Kind::kCommand, S, {}, Member<&Engine::ToggleHelperCommand<kShowSpline>>},
  {386, "ShowVehicle", Kind::kCommand, S, {}, Member<&Engine::ToggleHelperCommand<kShowVehicle>>},
  {387, "ShowScript", Kind::kCommand, S, {}, Member<&Engine::ToggleHelperCommand<kShowScript>>},
  {388, "ShowStats", Kind::kCommand, S, {}, Member<&Engine::ToggleHelperCommand<kShowStats>>},
  {389, "ShowMisc", Kind::kCommand, S, {}, Member<&Engine::ToggleHelperCommand<kShowMisc>>},
};
// clang-format on

void RegisterEngineCommands() {
  RegisterCommandTable<Engine>(BuildCommandRegistry(), kClassEngine, Engine::kCommands);
}

int Engine::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Engine> handlers(kClassEngine, {kCommands});
  if (id == kCommandCollectResources && args != nullptr) CollectOwnResources(args);
  handlers.Run(*this, id, args);
  return Object::ExecuteCommand(id, args);
}

Object* Engine::GetGlobalHitEffectPool(int slot) const {
  return slot >= 0 && slot < kGlobalHitEffectCount ? globalHitEffects_[static_cast<std::size_t>(slot)].Get() : nullptr;
}

int Engine::InitializeGlobalHitEffectsCommand(CommandArgs) {
  for (int i = 0; i < kGlobalHitEffectCount; ++i) {
    char name[8];
    std::snprintf(name, sizeof(name), "GHE_%02d", i + 1);
    Object* pool = FindChildByName(name, kClassObjectPool);
    globalHitEffects_[static_cast<std::size_t>(i)].Set(pool);
    if (pool != nullptr) pool->Precalculate();
  }
  return 1;
}

// Puts the first player of every active World into the named Space: on a
// random triangle of the Space's vision graph (or its parent's, for a Space
// that inherits), else at the centre of its box, 0.4 above.
int Engine::GoToSpaceCommand(CommandArgs args) {
  auto* space = static_cast<Space*>(FindChildByName(args.AsString(), kClassSpace));
  if (space == nullptr) return 1;
  const AABox& box = space->GetWorldBox();
  Vector3 point{(box.min.x + box.max.x) / 2, (box.min.y + box.max.y) / 2, (box.min.z + box.max.z) / 2};
  Object* graphOwner = space;
  if (space->IsInherit() && space->GetParent() != nullptr && space->GetParent()->GetClassId() == kClassSpace) {
    graphOwner = space->GetParent();
  }
  if (auto* graph = static_cast<VisionGraph*>(graphOwner->FindChildByClass(kClassVisionGraph))) {
    graph->GetRandomPosition(&point);
  }
  point.y += 0.4f;
  std::vector<Object*> worlds;
  CollectDescendants(worlds, kClassWorld, -1);
  for (Object* world : worlds) {
    Object* player = world->GetActive() ? world->FindChildByClass(kClassPlayerFPS) : nullptr;
    if (player != nullptr && player->GetActive()) player->SetPosition(point, true);
  }
  return 1;
}

// The block holds the object the path named (a pointer), then the index.
int Engine::CreateGlobalHitEffectCommand(CommandArgs args) {
  Object* target = args.GetPointer<Object>();
  std::uint32_t index = args.Get<std::uint32_t>(sizeof(void*));
  if (target == nullptr || target->GetSpace() == nullptr) return 1;
  if (index != 0) --index;
  const Matrix4 placement = target->GetWorldMatrix();
  SpawnGlobalHitEffects(1u << (index % kGlobalHitEffectCount), *target->GetSpace(), placement, nullptr, 1.0f);
  return 1;
}

void Engine::SpawnGlobalHitEffects(std::uint32_t mask, Object& parent, const Matrix4& placement,
                                   const Vector3* direction, float value) {
  const PoolHandOut handOut = GetPoolHandOut();
  if (handOut == nullptr) return;
  for (int i = 0; i < kGlobalHitEffectCount; ++i) {
    Object* pool = globalHitEffects_[static_cast<std::size_t>(i)].Get();
    if ((mask & (1u << i)) != 0 && pool != nullptr) handOut(*pool, parent, placement, direction, value);
  }
}

Object* Engine::ResolvePathArgument(CommandArgs args, std::size_t offset) {
  const std::string path = args.GetText128(offset);
  return path.empty() ? nullptr : ResolveScriptPath(*this, path, nullptr);
}

int Engine::OpenCommand(CommandArgs args) {
  const std::string name = args.AsString();
  ExecuteCommand(252, nullptr);
  if (OpenObjectFile(*this, name)) sceneFileName_ = name;
  return 1;
}

int Engine::SaveAsCommand(CommandArgs args) {
  const std::string name = args.AsString();
  if (SaveObjectFile(*this, name, false, false)) sceneFileName_ = name;
  return 1;
}

int Engine::UnloadCommand(CommandArgs) {
  for (int i = 0; i < GetChildCount(); ++i) GetChild(i)->Delete(true);
  sceneFileName_.clear();
  return 1;
}

int Engine::LoadResourcesWithProgressBarCommand(CommandArgs args) {
  Object* root = ResolvePathArgument(args, 0);
  Object* further = ResolvePathArgument(args, 128);
  Object* window = ResolvePathArgument(args, 256);
  if (root == nullptr || window == nullptr) return 1;
  const std::unique_ptr<WindowProgressDisplay> display = WindowProgressDisplay::Find(*window);
  LoadResourcesWithProgressBar(*root, further, display.get());
  return 1;
}

int Engine::LoadResourcesCommand(CommandArgs args) {
  if (Object* root = ResolveScriptPath(*this, args.AsString(), nullptr)) LoadResources(*root);
  return 1;
}

int Engine::UnloadResourcesCommand(CommandArgs args) {
  if (Object* root = ResolveScriptPath(*this, args.AsString(), nullptr)) UnloadResources(*root);
  return 1;
}

int Engine::SetSceneFileNameCommand(CommandArgs args) {
  sceneFileName_ = args.AsString();
  return 1;
}

int Engine::GetSceneFileNameCommand(CommandArgs args) {
  args.AsString() = sceneFileName_;
  return 1;
}

int Engine::LoadFileObjectsCommand(CommandArgs) {
  for (const ObjectRef<File>& file : CollectFiles(*this, -1)) {
    if (file && !file->IsLoaded()) file->FileLoadObjects(file->GetFileName());
  }
  return 1;
}

int Engine::UnloadFileObjectsCommand(CommandArgs) {
  for (const ObjectRef<File>& file : CollectFiles(*this, kClassFile)) {
    if (file) file->FileUnload();
  }
  return 1;
}

int Engine::SetEnableSimulatorCommand(CommandArgs args) {
  SetEnableSimulator(args.Get<std::int32_t>() != 0);
  return 1;
}

int Engine::GetEnableSimulatorCommand(CommandArgs args) {
  args.Set<std::int32_t>(simulatorValue_);
  return 1;
}

int Engine::SaveSystemSettingsCommand(CommandArgs) {
  SaveSystemSettings();
  return 1;
}

template <int Group>
int Engine::SetSoundGroupVolumeCommand(CommandArgs args) {
  if (EngineServices* services = GetEngineServices()) services->SetSoundGroupVolume(Group, args.Get<float>());
  BroadcastCommand(*this, kCommandSoundGroupsChanged, nullptr);
  return 1;
}

int Engine::SetGraphicsDetailLevelCommand(CommandArgs args) {
  if (EngineServices* services = GetEngineServices()) services->SetGraphicsDetailLevel(args.Get<float>());
  return 1;
}

// The material keeps the texture: both references stay with the engine.
int Engine::SetMaterialTextureCommand(CommandArgs args) {
  EngineServices* services = GetEngineServices();
  if (services == nullptr) return 1;
  ResourceDatabase& resources = services->GetResources();
  ResourceRef material = resources.AcquireResource(args.GetText128(0), kMaterialResource);
  ResourceRef texture = resources.AcquireResource(args.GetText128(132), kTextureResource);
  if (!material || !texture) return 1;
  SetMaterialTexture(material.Get(), args.Get<std::uint32_t>(128), texture.Get());
  materialTextureRefs_.push_back(std::move(material));
  materialTextureRefs_.push_back(std::move(texture));
  return 1;
}

template <SkinEntry Entry>
int Engine::SetSkinNameCommand(CommandArgs args) {
  skin_[Entry].name = args.AsString();
  return 1;
}

template <SkinEntry Entry>
int Engine::GetSkinNameCommand(CommandArgs args) {
  args.AsString() = skin_[Entry].name;
  return 1;
}

template <SkinColor Which>
int Engine::SetSkinColorCommand(CommandArgs args) {
  colors_[Which] = args.Get<Color>();
  return 1;
}

template <SkinColor Which>
int Engine::GetSkinColorCommand(CommandArgs args) {
  args.Set(colors_[Which]);
  return 1;
}

template <std::int32_t Engine::*Field>
int Engine::SetSwitchCommand(CommandArgs args) {
  this->*Field = args.Get<std::int32_t>() != 0 ? 1 : 0;
  return 1;
}

template <std::int32_t Engine::*Field>
int Engine::GetSwitchCommand(CommandArgs args) {
  args.Set<std::int32_t>(this->*Field);
  return 1;
}

int Engine::SetCursorMaterialCommand(CommandArgs args) {
  cursorMaterialName_ = args.AsString();
  return 1;
}

int Engine::GetCursorMaterialCommand(CommandArgs args) {
  args.AsString() = cursorMaterialName_;
  return 1;
}

int Engine::SetCustomCursorCommand(CommandArgs args) {
  EngineServices* services = GetEngineServices();
  customCursor_ = services ? services->GetResources().AcquireResource(args.AsString(), kMaterialResource)
                           : ResourceRef();
  return 1;
}

int Engine::SetCursorPositionCommand(CommandArgs args) {
  cursorPosition_ = args.Get<Vector3>();
  return 1;
}

int Engine::GetCursorPositionCommand(CommandArgs args) {
  args.Set(cursorPosition_);
  return 1;
}

int Engine::ExitCommand(CommandArgs) {
  if (quit_ != nullptr) quit_();
  return 1;
}

int Engine::ShowAllHelpersCommand(CommandArgs) {
  helperMask_ = ~0u;
  return 1;
}

int Engine::HideAllHelpersCommand(CommandArgs) {
  helperMask_ = 0;
  return 1;
}

template <std::uint32_t Bit>
int Engine::ToggleHelperCommand(CommandArgs) {
  helperMask_ ^= Bit;
  return 1;
}

void Engine::CollectOwnResources(void* block) const {
  auto* set = static_cast<ResourceSet*>(block);
  for (const SkinSlot& slot : skin_) set->AddToResourceSet(slot.resource.Get());
  set->AddToResourceSet(cursorMaterial_.Get());
}

}  // namespace tge

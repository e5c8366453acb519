#include "engine/Engine.h"

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandRegistry.h"
#include "core/ObjectHooks.h"
#include "core/files/SafeFileWriter.h"
#include "core/files/SerializeStream.h"
#include "engine/BuiltTypes.h"
#include "engine/ObjectPhysicsBuilder.h"
#include "objects/gameplay/physics/PhysicsLibrary.h"
#include "objects/gameplay/world/Space.h"
#include "objects/gameplay/world/WorldPhysicsPasses.h"
#include "objects/scene/effects/LEEmitter.h"
#include "services/Clock.h"
#include "services/EngineServices.h"
#include "services/ErrorMessage.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

Engine* gEngine = nullptr;

// The settings a record takes at least: 4 raw bytes, 10 + 5 words and the
// length of its text.
constexpr std::int64_t kMinimumSettingsRecordBytes = 4 + 40 + 4 + 20;
constexpr int kUnusedSettingsWords = 7;

void SerializeColor(SerializeStream& stream, Color& color) { stream.Serialize(color); }

}  // namespace

Engine::Engine() : Object(kClassEngine) {
  gEngine = this;
  SetObjectHooks(&services_);
  SetUiHooks(&uiHooks_);
  World::SetClock(&GetElapsedSeconds);
  InstallWorldPhysicsPasses();
  BuildCommandRegistry();
  RegisterBaseCommands();
  RegisterEngineCommands();
  RegisterBuiltTypes();
  SetName("Game Tessary");
  colors_.fill(Color{1, 1, 1, 1});
  SetWorld(&world_);
  services_.SetRootWorld(&world_);
}

// The children go while the World and the services they use still stand.
Engine::~Engine() {
  DestroyChildren(*this);
  services_.DeletePendingObjects();
  if (GetObjectHooks() == &services_) SetObjectHooks(nullptr);
  if (GetUiHooks() == &uiHooks_) SetUiHooks(nullptr);
  if (gEngine == this) gEngine = nullptr;
}

void Engine::Shutdown() {
  tge::DestroyObjectPhysics(*this);
  ExecuteCommand(kCommandReleasePhysics, nullptr);
  ExecuteCommand(kCommandStopPhysics, nullptr);
  DestroyChildren(*this);
  services_.DeletePendingObjects();
  ReleaseLEPresetMaterials();
}

void Engine::MarkSimulatorBuilt() {
  simulatorValue_ = 1;
  simulatorBuilt_ = 1;
}

bool Engine::LoadObjectFile(Object& parent, const std::string& name) {
  if (services_.LoadObjectFile(parent, name)) return true;
  FormatErrorMessage("%s", services_.GetObjectFile().GetError().c_str());
  return false;
}

bool Engine::OpenObjectFile(Object& parent, const std::string& name) {
  if (services_.OpenObjectFile(parent, name)) return true;
  FormatErrorMessage("%s", services_.GetObjectFile().GetError().c_str());
  return false;
}

bool Engine::SaveObjectFile(Object& root, const std::string& name, bool includeRoot, bool absolutePath,
                            SerializeStream* stream) {
  if (services_.GetObjectFile().Save(root, name, includeRoot, absolutePath, stream)) return true;
  FormatErrorMessage("%s", services_.GetObjectFile().GetError().c_str());
  return false;
}

bool Engine::SaveSystemSettings() {
  const std::string path = GetDataPath() + kSystemSettingsFile;
  const bool saved = WriteDiskFileSafely(path, [this](SerializeStream& stream) {
    std::int32_t version = kSystemSettingsVersion;
    stream.Serialize(version);
    stream.SetVersion(version);
    return Serialize(stream);
  });
  return saved || FormatErrorMessage("Error Writing File: %s", path.c_str());
}

// Saved settings live on the disk; the archive holds the shipped ones.
bool Engine::LoadSystemSettings() {
  const std::string path = GetDataPath() + kSystemSettingsFile;
  SerializeStream stream;
  stream.SetFileSystem(GetDiskFileSystem());
  if (!stream.OpenAndLoad(path)) {
    stream.SetFileSystem(GetFileSystem());
    if (!stream.OpenAndLoad(path)) return true;
  }
  std::int32_t version = 0;
  stream.Serialize(version);
  stream.SetVersion(version);
  const bool read = !stream.Failed() && version >= 0 && version <= kSystemSettingsVersion && Serialize(stream);
  stream.Close();
  return read || FormatErrorMessage("System_Serialize: %s", path.c_str());
}

void Engine::SetDataPath(const std::string& path) {
  services_.SetDataPath(path);
  if (EngineServices* services = GetEngineServices()) {
    services_.SetDataRoot(services->GetDataFolder());
    ResourceDatabase& resources = services->GetResources();
    debugFont_ = resources.AcquireResource("DebugFont", kFontResource);
    debugMicroFont_ = resources.AcquireResource("DebugMicroFont", kFontResource);
    if (debugFont_) resources.LoadResource(debugFont_.Get());
    if (debugMicroFont_) resources.LoadResource(debugMicroFont_.Get());
    screenScaleX_ = static_cast<float>(services->GetScreenWidth()) / cursorRangeX_;
    screenScaleY_ = static_cast<float>(services->GetScreenHeight()) / cursorRangeY_;
    services->SetScreenScale(screenScaleX_, screenScaleY_);
  }
  LoadSystemSettings();
}

void Engine::SetEnableSimulator(bool value) {
  simulatorValue_ = value ? 1 : 0;
  if (simulatorBuilt_ != 0) {
    ExecuteCommand(kCommandReleasePhysics, nullptr);
    ExecuteCommand(kCommandStopPhysics, nullptr);
    simulatorBuilt_ = 0;
  } else {
    ExecuteCommand(kCommandCreatePhysics, nullptr);
    ExecuteCommand(kCommandStartPhysics, nullptr);
    simulatorBuilt_ = 1;
  }
}

// The system settings; version 2 added the widget skins.
bool Engine::Serialize(SerializeStream& stream) {
  if (stream.GetVersion() == 0) return true;
  if (!Object::Serialize(stream)) return false;
  std::int32_t unused[kUnusedSettingsWords] = {};
  stream.Serialize(unused);
  stream.Serialize(cursorActive_);
  SerializeSettingsRecords(stream);
  std::int32_t reserved = 0;
  stream.Serialize(reserved);
  stream.SerializeString(skin_[kSkinWindowFont].name);
  stream.SerializeString(skin_[kSkinWindowBigFont].name);
  stream.SerializeString(skin_[kSkinWindowBgSprite].name);
  stream.SerializeString(skin_[kSkinWindowFullscreenBgSprite].name);
  SerializeColor(stream, colors_[kSkinWindowBgColor]);
  SerializeColor(stream, colors_[kSkinWindowFrameColor]);
  stream.SerializeString(skin_[kSkinWindowSprite].name);
  stream.SerializeString(cursorMaterialName_);
  const bool skins = stream.GetVersion() >= 2;
  if (skins) stream.SerializeString(skin_[kSkinButtonBgSprite].name);
  stream.SerializeString(skin_[kSkinButtonHiliteSprite].name);
  SerializeColor(stream, colors_[kSkinButtonHiliteColor]);
  SerializeColor(stream, colors_[kSkinButtonTextHiliteColor]);
  stream.SerializeString(skin_[kSkinButtonHiliteSound].name);
  stream.SerializeString(skin_[kSkinButtonActionSound].name);
  stream.SerializeString(skin_[kSkinButtonFailSound].name);
  if (skins) {
    for (int entry = kSkinListBoxBgSprite; entry <= kSkinTextInputHiliteSprite; ++entry) {
      stream.SerializeString(skin_[static_cast<std::size_t>(entry)].name);
    }
  }
  return !stream.Failed();
}

// The count is checked against what the stream still holds before the list
// grows to it.
void Engine::SerializeSettingsRecords(SerializeStream& stream) {
  auto count = static_cast<std::int32_t>(settings_.size());
  stream.Serialize(count);
  if (!stream.IsWriting()) {
    const std::int64_t left = stream.GetSize() - stream.Tell();
    if (stream.Failed() || count < 0 || count > left / kMinimumSettingsRecordBytes) {
      stream.MarkFailed();
      return;
    }
    settings_.resize(static_cast<std::size_t>(count));
  }
  for (SettingsRecord& record : settings_) {
    stream.SerializeBytes(record.raw.data(), record.raw.size());
    stream.Serialize(record.values);
    stream.SerializeString(record.text);
    stream.Serialize(record.tail);
  }
}

bool CreateEngine() {
  if (gEngine == nullptr) new Engine();
  return gEngine != nullptr;
}

Engine* GetEngine() { return gEngine; }

bool ShutdownEngine() {
  Engine* engine = gEngine;
  if (engine == nullptr) return false;
  engine->Shutdown();
  delete engine;
  FreeCommandRegistry();
  ReleaseSpaceQueries();
  ShutdownPhysics();
  return true;
}

}  // namespace tge

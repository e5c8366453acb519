// The engine object: the root of the object tree and the owner of what is
// global to a run. Its constructor builds the command registry and registers
// every built type's commands in a fixed order; it embeds the World every
// loaded object belongs to, owns the object services (tree services, object
// files, physics build and release) and keeps the scene file name, the
// simulator switch, the UI skin, the cursor, the debug display switches and
// the system settings. Script paths that start with "/" or "sys" start at it
// ("/Level" is its child Level); its commands are ids 250 to 389.
//
// The implementation is split by subject: Engine.cpp (life cycle, data
// path, system settings), EngineCommands.cpp (the command table and its
// handlers), EngineResources.cpp (resource passes and the UI skin),
// EngineFrame.cpp (the frame step).
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "core/World.h"
#include "core/math/Color.h"
#include "engine/EngineObjectServices.h"
#include "engine/EngineUiHooks.h"
#include "services/resources/ResourceRef.h"

namespace tge {

class ProgressDisplay;

// The UI skin entries that name a resource, in the order of their commands.
enum SkinEntry : int {
  kSkinWindowFont,
  kSkinWindowBigFont,
  kSkinWindowFullscreenBgSprite,
  kSkinWindowBgSprite,
  kSkinWindowSprite,
  kSkinButtonBgSprite,
  kSkinButtonHiliteSprite,
  kSkinButtonHiliteSound,
  kSkinButtonActionSound,
  kSkinButtonFailSound,
  kSkinListBoxBgSprite,
  kSkinListBoxHiliteSprite,
  kSkinListBoxNextSprite,
  kSkinListBoxPrevSprite,
  kSkinSliderBgSprite,
  kSkinSliderHiliteSprite,
  kSkinSliderPositionSprite,
  kSkinCheckBoxBgSprite,
  kSkinCheckBoxHiliteSprite,
  kSkinCheckBoxCheckedSprite,
  kSkinTextInputBgSprite,
  kSkinTextInputHiliteSprite,
  kSkinEntryCount,
};

enum SkinColor : int {
  kSkinWindowFrameColor,
  kSkinWindowBgColor,
  kSkinButtonHiliteColor,
  kSkinButtonTextHiliteColor,
  kSkinColorCount,
};

// One stored settings record: kept with the system settings, read by nothing.
struct SettingsRecord {
  std::array<std::uint8_t, 4> raw{};
  std::array<std::int32_t, 10> values{};
  std::string text;
  std::array<std::int32_t, 5> tail{};
};

// Helper-display bits toggled by the Show... commands.
inline constexpr std::uint32_t kShowCollision = 0x2;
inline constexpr std::uint32_t kShowLight = 0x4;
inline constexpr std::uint32_t kShowSound = 0x8;
inline constexpr std::uint32_t kShowTrigger = 0x10;
inline constexpr std::uint32_t kShowSpace = 0x20;
inline constexpr std::uint32_t kShowPlayer = 0x40;
inline constexpr std::uint32_t kShowAIPlayer = 0x80;
inline constexpr std::uint32_t kShowSpawnPoint = 0x100;
inline constexpr std::uint32_t kShowJoint = 0x200;
inline constexpr std::uint32_t kShowVehicle = 0x400;
inline constexpr std::uint32_t kShowSpline = 0x800;
inline constexpr std::uint32_t kShowMisc = 0x1000;
inline constexpr std::uint32_t kShowScript = 0x2000;
inline constexpr std::uint32_t kShowStats = 0x4000;

inline constexpr const char* kSystemSettingsFile = "ATessary.sas";
inline constexpr std::int32_t kSystemSettingsVersion = 2;

class Engine : public Object {
 public:
  static const CommandEntry<Engine> kCommands[];
  using QuitCallback = void (*)();

  Engine();
  ~Engine() override;
  Engine(const Engine&) = delete;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  // The system settings.
  bool Serialize(SerializeStream& stream) override;

  EngineObjectServices& GetServices() { return services_; }
  World& GetEngineWorld() { return world_; }

  // Object files (relative to the data path); failures leave the reason in
  // the last-error text.
  bool LoadObjectFile(Object& parent, const std::string& name);
  bool OpenObjectFile(Object& parent, const std::string& name);
  bool SaveObjectFile(Object& root, const std::string& name, bool includeRoot, bool absolutePath,
                      SerializeStream* stream = nullptr);
  // Written to the disk through a temporary file; read from the disk first,
  // then through the current file system. A missing file changes nothing.
  bool SaveSystemSettings();
  bool LoadSystemSettings();

  // Stores the path, loads the debug fonts and the system settings and
  // scales the cursor range to the screen.
  void SetDataPath(const std::string& path);
  const std::string& GetDataPath() const { return services_.GetDataPath(); }

  // Resource passes over a subtree (internal command 11 collects).
  void LoadResources(Object& root);
  void UnloadResources(Object& root);
  // Loads what root and further (when given) use, showing the progress on
  // display when there is one.
  void LoadResourcesWithProgressBar(Object& root, Object* further, ProgressDisplay* display);
  void ResolveUISkin();

  bool GetRunning() const { return running_ != 0; }
  void SetRunning(bool running) { running_ = running ? 1 : 0; }
  void SetEnableSimulator(bool value);
  bool IsSimulatorBuilt() const { return simulatorBuilt_ != 0; }
  void SetQuitCallback(QuitCallback callback) { quit_ = callback; }
  const std::string& GetSceneFileName() const { return sceneFileName_; }

  // What widgets draw with.
  Resource* GetSkinResource(SkinEntry entry) const { return skin_[entry].resource.Get(); }
  const std::string& GetSkinName(SkinEntry entry) const { return skin_[entry].name; }
  // The background and highlight sprites of a widget class; null for others.
  Resource* GetSkinBgSprite(int classId) const;
  Resource* GetSkinHiliteSprite(int classId) const;
  // These two resolve on first use.
  Resource* GetSliderPositionSprite();
  Resource* GetCheckBoxCheckedSprite();
  const Color& GetSkinColor(SkinColor which) const { return colors_[which]; }
  bool GetCursorActive() const { return cursorActive_ != 0; }
  const Vector3& GetCursorPosition() const { return cursorPosition_; }
  Resource* GetCursorMaterial() const { return cursorMaterial_.Get(); }
  Resource* GetCustomCursor() const { return customCursor_.Get(); }
  float GetScreenScaleX() const { return screenScaleX_; }
  float GetScreenScaleY() const { return screenScaleY_; }
  Resource* GetDebugFont() const { return debugFont_.Get(); }
  Resource* GetDebugMicroFont() const { return debugMicroFont_ ? debugMicroFont_.Get() : debugFont_.Get(); }
  std::uint32_t GetHelperDisplayMask() const { return helperMask_; }
  bool GetDrawSpaces() const { return drawSpaces_ != 0; }

  // Hands out one pooled effect from each global hit-effect pool whose bit
  // (1 << slot) is set in mask and that still exists, through the pool
  // type's hand-out; nothing while no pool type is registered.
  void SpawnGlobalHitEffects(std::uint32_t mask, Object& parent, const Matrix4& placement, const Vector3* direction,
                             float value);
  static constexpr int kGlobalHitEffectCount = 32;
  Object* GetGlobalHitEffectPool(int slot) const;

  // Destroys every child tree, then the physics library goes.
  void Shutdown();

  // One frame of the whole system, run by the shell's loop whenever no
  // event waits and the window is not minimised (EngineFrame.cpp).
  void RunFrame();
  // The exit-to-menu event, the cursor's movement and drawing and the
  // focused widget's input of this frame.
  void HandleCursorAndFocus();
  // Records the simulator as on and built when opening the scene already
  // built and started the tree's physics, so it is not built a second time.
  void MarkSimulatorBuilt();

 private:
  struct SkinSlot {
    std::string name;
    ResourceRef resource;
  };

  int OpenCommand(CommandArgs args);
  int SaveAsCommand(CommandArgs args);
  int UnloadCommand(CommandArgs args);
  int LoadResourcesWithProgressBarCommand(CommandArgs args);
  int LoadResourcesCommand(CommandArgs args);
  int UnloadResourcesCommand(CommandArgs args);
  int SetSceneFileNameCommand(CommandArgs args);
  int GetSceneFileNameCommand(CommandArgs args);
  int LoadFileObjectsCommand(CommandArgs args);
  int UnloadFileObjectsCommand(CommandArgs args);
  int SetEnableSimulatorCommand(CommandArgs args);
  int GetEnableSimulatorCommand(CommandArgs args);
  int SaveSystemSettingsCommand(CommandArgs args);
  template <int Group>
  int SetSoundGroupVolumeCommand(CommandArgs args);
  int SetGraphicsDetailLevelCommand(CommandArgs args);
  int SetMaterialTextureCommand(CommandArgs args);
  template <SkinEntry Entry>
  int SetSkinNameCommand(CommandArgs args);
  template <SkinEntry Entry>
  int GetSkinNameCommand(CommandArgs args);
  template <SkinColor Which>
  int SetSkinColorCommand(CommandArgs args);
  template <SkinColor Which>
  int GetSkinColorCommand(CommandArgs args);
  template <std::int32_t Engine::*Field>
  int SetSwitchCommand(CommandArgs args);
  template <std::int32_t Engine::*Field>
  int GetSwitchCommand(CommandArgs args);
  int SetCursorMaterialCommand(CommandArgs args);
  int GetCursorMaterialCommand(CommandArgs args);
  int SetCustomCursorCommand(CommandArgs args);
  int SetCursorPositionCommand(CommandArgs args);
  int GetCursorPositionCommand(CommandArgs args);
  int ExitCommand(CommandArgs args);
  int InitializeGlobalHitEffectsCommand(CommandArgs args);
  int CreateGlobalHitEffectCommand(CommandArgs args);
  int GoToSpaceCommand(CommandArgs args);
  int ShowAllHelpersCommand(CommandArgs args);
  int HideAllHelpersCommand(CommandArgs args);
  template <std::uint32_t Bit>
  int ToggleHelperCommand(CommandArgs args);
  // Internal command 11: the skin, cursor and fonts join the set.
  void CollectOwnResources(void* set) const;

  void SerializeSettingsRecords(SerializeStream& stream);
  bool ResolveSkinEntry(SkinEntry entry);
  void ResolveCursorMaterial();
  // HandleCursorAndFocus's steps.
  bool HandleExitToMenu();
  void MoveCursor(Vector3& screenPoint, Vector3& movement);
  void SendFocusInput(const Vector3& screenPoint, const Vector3& movement);
  void DrawCursor(const Vector3& screenPoint);
  // The frame's passes over every World.
  static void RunWorldPasses();
  void UpdateSound();
  // The object a String128 path argument names, from the engine.
  Object* ResolvePathArgument(CommandArgs args, std::size_t offset);

  EngineObjectServices services_;
  EngineUiHooks uiHooks_{*this};
  std::vector<SettingsRecord> settings_;
  std::string sceneFileName_;
  std::int32_t running_ = 0;
  std::int32_t simulatorValue_ = 0;
  std::int32_t simulatorBuilt_ = 0;
  World world_;
  std::array<SkinSlot, kSkinEntryCount> skin_;
  std::array<Color, kSkinColorCount> colors_;
  std::int32_t drawSpaces_ = 1;
  std::int32_t cursorActive_ = 0;
  ResourceRef cursorMaterial_;
  std::string cursorMaterialName_;
  ResourceRef customCursor_;
  Vector3 cursorPosition_;
  float cursorSpeed_ = 20.0f;
  float cursorRangeX_ = 800.0f;
  float cursorRangeY_ = 600.0f;
  float screenScaleX_ = 1.0f;
  float screenScaleY_ = 1.0f;
  QuitCallback quit_ = nullptr;
  // Frame time gathered since the sound listener was last updated.
  float soundUpdateTime_ = 0;
  std::uint32_t helperMask_ = 0;
  ResourceRef debugFont_;
  ResourceRef debugMicroFont_;
  // References SetMaterialTexture took: the material keeps the texture.
  std::vector<ResourceRef> materialTextureRefs_;
  // The pools "GHE_01" to "GHE_32" found by InitializeGlobalHitEffects.
  std::array<ObjectRef<Object>, kGlobalHitEffectCount> globalHitEffects_;
};

// The engine's commands, ids 250 to 389; the constructor registers them
// after the base commands.
void RegisterEngineCommands();

// Creates the one engine; true when it exists afterwards.
bool CreateEngine();
// Null before CreateEngine and after ShutdownEngine.
Engine* GetEngine();
// Shuts the engine down and deletes it; false when there is none.
bool ShutdownEngine();

}  // namespace tge

// The one object that owns the platform side of the engine: the resource
// database, the text database, the save storage, and the platform
// subsystems (sound, render device, input) it starts in a fixed order. It is
// created before the engine object and destroyed after it; the rest of the
// engine reaches it through GetEngineServices().
//
// Each subject keeps its operations on its own object, reached from here:
// GetResources() for the database, GetSaveStorage(), FindTextEntry/GetText
// for the text database. The input queries stand here as well, since every
// object type asks them of the services object; they answer neutrally while
// no input service runs.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "services/ResourceDatabase.h"
#include "services/SaveStorage.h"
#include "services/ServiceSubsystem.h"
#include "services/StartupSettings.h"
#include "services/TextDatabase.h"

union SDL_Event;

namespace tge {

class InputService;

class EngineServices {
 public:
  EngineServices();
  ~EngineServices();
  EngineServices(const EngineServices&) = delete;
  EngineServices& operator=(const EngineServices&) = delete;

  // Hands a subsystem over before Initialize starts it.
  void SetSubsystem(ServiceSlot slot, std::unique_ptr<ServiceSubsystem> subsystem);
  ServiceSubsystem* GetSubsystem(ServiceSlot slot) const;
  bool IsSubsystemRunning(ServiceSlot slot) const;
  // Hands the input service over as the input subsystem; the input
  // operations below reach it.
  void SetInputService(std::unique_ptr<InputService> input);

  // Copies the settings, then starts sound, the render device and input
  // where enabled, then readies the save storage. 0 at the first failure,
  // with the failing step's text in the last-error buffer; what had started
  // is stopped again. An enabled subsystem that was never handed over is
  // not started and its enable field is cleared in the copy.
  int Initialize(const StartupSettings* settings);
  // Unloads every resource before deleting any, then stops sound, the
  // render device and input, and drops the text database. Safe to repeat.
  int Shutdown();

  const StartupSettings& GetSettings() const { return settings_; }
  int GetScreenWidth() const { return settings_.width; }
  int GetScreenHeight() const { return settings_.height; }
  // The size the render device opened with.
  void SetScreenSize(int width, int height) {
    settings_.width = width;
    settings_.height = height;
  }

  // The root folder in front of "Data\" in every data path.
  const std::string& GetDataFolder() const { return resources_.GetDataFolder(); }
  void SetDataFolder(const std::string& folder) { resources_.SetDataFolder(folder); }

  ResourceDatabase& GetResources() { return resources_; }
  SaveStorage& GetSaveStorage() { return saveStorage_; }
  int InitSaveStorage() { return saveStorage_.InitSaveStorage(); }

  // Reading registers the library's resources and then loads the text
  // database that belongs to it; writing stores the registered resources.
  int SerializeLibrary(const std::string& path, int reading);
  float GetLibraryValue() const { return libraryValue_; }
  void SetLibraryValue(float value) { libraryValue_ = value; }

  // Null when there is no text database or no such entry.
  const TextDatabase* GetTextDatabase() const { return textDatabase_.get(); }
  const TextNode* FindTextEntry(const std::string& path) const;
  // The entry's text, or the path itself when there is none.
  std::string GetText(const std::string& path) const;

  // The input service's operations (InputService.h).
  void HandleInputMessage(const SDL_Event& event);
  int PollInput(float timeStep);
  float GetInputActionValue(int player, int action) const;
  int IsInputActionPressed(int player, int action) const;
  int IsInputActionReleased(int player, int action) const;
  std::uint32_t GetInputDeviceFlags(int player) const;
  const char* GetInputName(int input) const;
  int GetTypedCharacter();
  // No pad vibrates here.
  int Vibrate(int, int, int) { return 0; }

 private:
  void StopSubsystem(int slot);

  std::array<std::unique_ptr<ServiceSubsystem>, kServiceSlotCount> subsystems_;
  std::array<bool, kServiceSlotCount> running_{};
  // The input subsystem as its own type; null unless SetInputService gave it.
  InputService* input_ = nullptr;
  ResourceDatabase resources_;
  StartupSettings settings_;
  // Held from the library header and written back; first member of the
  // renderer's view state once that lands.
  float libraryValue_ = 1.0f;
  SaveStorage saveStorage_;
  std::unique_ptr<TextDatabase> textDatabase_;
};

// Creates the one services object; true, and nothing done, when it exists.
bool CreateEngineServices();
// Null before creation and after destruction.
EngineServices* GetEngineServices();
// Shuts the services object down and deletes it.
void DestroyEngineServices();

}  // namespace tge

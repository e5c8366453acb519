#include "services/EngineServices.h"

#include "services/ErrorMessage.h"
#include "services/InputService.h"
#include "services/ResourceLibrary.h"

namespace tge {
namespace {

std::unique_ptr<EngineServices> gServices;

std::int32_t& EnableField(StartupSettings& settings, int slot) {
  static constexpr std::array<std::int32_t StartupSettings::*, kServiceSlotCount> kFields = {
      &StartupSettings::soundEnabled, &StartupSettings::renderDeviceEnabled, &StartupSettings::inputEnabled};
  return settings.*kFields[static_cast<std::size_t>(slot)];
}

}  // namespace

EngineServices::EngineServices() = default;

EngineServices::~EngineServices() { Shutdown(); }

void EngineServices::SetSubsystem(ServiceSlot slot, std::unique_ptr<ServiceSubsystem> subsystem) {
  const auto index = static_cast<std::size_t>(slot);
  StopSubsystem(static_cast<int>(slot));
  if (slot == ServiceSlot::kInput) input_ = nullptr;
  subsystems_[index] = std::move(subsystem);
}

void EngineServices::SetInputService(std::unique_ptr<InputService> input) {
  InputService* service = input.get();
  SetSubsystem(ServiceSlot::kInput, std::move(input));
  input_ = service;
}

ServiceSubsystem* EngineServices::GetSubsystem(ServiceSlot slot) const {
  return subsystems_[static_cast<std::size_t>(slot)].get();
}

bool EngineServices::IsSubsystemRunning(ServiceSlot slot) const { return running_[static_cast<std::size_t>(slot)]; }

int EngineServices::Initialize(const StartupSettings* settings) {
  if (!settings) return FormatErrorMessage("Error - No Startup Settings");
  settings_ = *settings;
  for (int slot = 0; slot < kServiceSlotCount; ++slot) {
    std::int32_t& enabled = EnableField(settings_, slot);
    ServiceSubsystem* subsystem = subsystems_[static_cast<std::size_t>(slot)].get();
    if (!enabled || running_[static_cast<std::size_t>(slot)]) continue;
    if (!subsystem) {
      enabled = 0;
      continue;
    }
    ClearErrorMessage();
    if (!subsystem->Start(*this)) {
      if (GetErrorMessage()[0] == '\0') FormatErrorMessage("Error - Starting %s", subsystem->GetName());
      if (slot == static_cast<int>(ServiceSlot::kSound)) enabled = 0;
      for (int started = slot - 1; started >= 0; --started) StopSubsystem(started);
      return 0;
    }
    running_[static_cast<std::size_t>(slot)] = true;
  }
  return InitSaveStorage();
}

void EngineServices::StopSubsystem(int slot) {
  const auto index = static_cast<std::size_t>(slot);
  if (!running_[index]) return;
  subsystems_[index]->Stop();
  running_[index] = false;
}

int EngineServices::Shutdown() {
  resources_.DeleteAll();
  for (int slot = 0; slot < kServiceSlotCount; ++slot) StopSubsystem(slot);
  textDatabase_.reset();
  return 1;
}

int EngineServices::SerializeLibrary(const std::string& path, int reading) {
  if (!reading) return WriteResourceLibrary(path, resources_, libraryValue_);
  if (!ReadResourceLibrary(path, resources_, libraryValue_)) return 0;
  textDatabase_ = std::make_unique<TextDatabase>();
  textDatabase_->Read(GetTextDatabasePath(GetDataFolder(), path));
  return 1;
}

const TextNode* EngineServices::FindTextEntry(const std::string& path) const {
  return textDatabase_ ? textDatabase_->FindNode(path) : nullptr;
}

std::string EngineServices::GetText(const std::string& path) const {
  const TextNode* entry = FindTextEntry(path);
  return entry ? entry->GetText() : path;
}

void EngineServices::HandleInputMessage(const SDL_Event& event) {
  if (input_) input_->OnEvent(event);
}

int EngineServices::PollInput(float timeStep) { return input_ ? input_->PollInput(timeStep) : 0; }

float EngineServices::GetInputActionValue(int player, int action) const {
  return input_ ? input_->GetInputActionValue(player, action) : 0.0f;
}

int EngineServices::IsInputActionPressed(int player, int action) const {
  return input_ ? input_->IsInputActionPressed(player, action) : 0;
}

int EngineServices::IsInputActionReleased(int player, int action) const {
  return input_ ? input_->IsInputActionReleased(player, action) : 0;
}

std::uint32_t EngineServices::GetInputDeviceFlags(int player) const {
  return input_ ? input_->GetInputDeviceFlags(player) : 0;
}

const char* EngineServices::GetInputName(int input) const { return input_ ? input_->GetInputName(input) : nullptr; }

int EngineServices::GetTypedCharacter() { return input_ ? input_->GetTypedCharacter() : 0; }

bool CreateEngineServices() {
  if (!gServices) gServices = std::make_unique<EngineServices>();
  return true;
}

EngineServices* GetEngineServices() { return gServices.get(); }

void DestroyEngineServices() {
  if (gServices) gServices->Shutdown();
  gServices.reset();
}

}  // namespace tge

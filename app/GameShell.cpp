#include "app/GameShell.h"

#include <SDL.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/CountingFileSystem.h"
#include "app/FrameReport.h"
#include "app/PlayerStart.h"
#include "app/Screenshot.h"
#include "core/BaseCommandIds.h"
#include "core/CommandArgs.h"
#include "core/World.h"
#include "core/files/PackFileSystem.h"
#include "core/files/StdioFileSystem.h"
#include "core/math/Random.h"
#include "engine/Engine.h"
#include "platform/gfx/GlDevice.h"
#include "platform/gfx/GlDriverPin.h"
#include "platform/image/Image.h"
#include "platform/window/DesktopOpen.h"
#include "platform/window/EventPump.h"
#include "platform/window/InstanceLock.h"
#include "platform/window/MessageBox.h"
#include "platform/window/SystemCursor.h"
#include "platform/window/Window.h"
#include "services/EngineServices.h"
#include "services/ErrorMessage.h"
#include "services/RenderDevice.h"
#include "services/input/InputService.h"
#include "services/sound/SoundSystem.h"

namespace tge {

// Hands every window event to the input service while the services exist,
// as the window procedure did with every message.
class ShellInputForwarder : public platform::EventListener {
 public:
  void OnEvent(const SDL_Event& event) override {
    if (EngineServices* services = GetEngineServices()) services->HandleInputMessage(event);
  }
};

namespace {

constexpr const char* kArchiveName = "data.csa";
constexpr const char* kDataFolder = "Data\\";
constexpr const char* kHelpFile = "Data\\Help.mht";
constexpr const char* kErrorCaption = "Error";
constexpr float kGammaMultiplier = 1.2f;
constexpr float kGammaOffset = -10.0f;

// The game's clock while a screenshot asks for fixed frame steps.
double shotClock = 0;
double ReadShotClock() { return shotClock; }

std::vector<std::uint8_t> ReadDiskFile(const std::string& path) {
  std::ifstream in(ResolveDiskPath(path, false), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The decoder gives blue, green, red, alpha; the window takes red first.
void SwapRedAndBlue(std::vector<std::uint8_t>& pixels) {
  for (std::size_t i = 0; i + 3 < pixels.size(); i += 4) std::swap(pixels[i], pixels[i + 2]);
}

// The last error, with the data path in it spelt as the system spells it.
std::string ErrorNaming(const std::string& path) {
  std::string text = GetErrorMessage();
  if (const std::size_t at = text.find(path); at != std::string::npos) {
    text.replace(at, path.size(), ResolveDiskPath(path, false));
  }
  return text;
}

// The library's error; when the file is not there at all, which folder the
// game expects to start in.
std::string LibraryError(const std::string& path, bool archiveOpen) {
  std::string text = "System_Serialize: " + ErrorNaming(path);
  if (!archiveOpen && !std::filesystem::exists(ResolveDiskPath(path, false))) {
    text += "\nThe game starts in its own folder, the one holding init.txt or data.csa; it was started in " +
            std::filesystem::current_path().string() + ".";
  }
  return text;
}

void RaiseWithoutSender(Object& root, int eventId) {
  ArgumentBlock block;
  block.Push<std::int32_t>(eventId).PushPointer(nullptr);
  root.ExecuteCommand(kCommandRaiseEvent, block.Data());
}

}  // namespace

GameShell::GameShell(StartupConfig config) : config_(std::move(config)) {}

GameShell::~GameShell() { Shutdown(); }

int GameShell::Run() {
  if (!CheckOptions()) return kExitBadOptions;
  lock_ = std::make_unique<platform::InstanceLock>(config_.title);
  if (lock_->State() == platform::InstanceLock::Result::kHeldElsewhere) {
    std::fprintf(stderr, "Another instance of \"%s\" is running; only one may run at a time.\n",
                 config_.title.c_str());
    return kExitNormal;
  }
  if (lock_->State() == platform::InstanceLock::Result::kUnavailable) {
    std::fprintf(stderr, "Cannot tell whether the game already runs: %s\n", lock_->Error().c_str());
  }
  if (!OpenWindow()) return kExitStartupFailed;
  OpenArchive();
  if (!StartServices() || !LoadLibrary() || !StartEngine() || !OpenFirstScene()) return kExitStartupFailed;
  Engine& engine = *GetEngine();
  engine.SetRunning(true);
  cursor_ = std::make_unique<platform::SystemCursor>();
  cursor_->Show(false);
  if (RenderDevice* device = GetRenderDevice()) {
    device->SetGamma(kGammaMultiplier, kGammaMultiplier, kGammaMultiplier, kGammaOffset, kGammaOffset, kGammaOffset);
  }
  Loop();
  WriteFrameReport();
  Shutdown();
  return exitCode_;
}

// Options that do nothing are named and left aside; options that cannot
// work keep the game from starting.
bool GameShell::CheckOptions() const {
  for (const std::string& line : config_.ignoredOptions) std::fprintf(stderr, "%s\n", line.c_str());
  for (const std::string& line : config_.optionErrors) std::fprintf(stderr, "%s\n", line.c_str());
  return config_.optionErrors.empty();
}

bool GameShell::OpenWindow() {
  gfx::GlDevice::PrepareWindowAttributes();
  platform::WindowSettings settings;
  settings.title = config_.title;
  settings.width = config_.settings.width;
  settings.height = config_.settings.height;
  settings.fullScreen = config_.settings.fullScreen != 0;
  std::string error;
  window_ = platform::Window::Create(settings, error);
  if (!window_) {
    ShowError("Error - Creating the window: " + error);
    return false;
  }
  LoadIcon();
  pump_ = std::make_unique<platform::EventPump>(*window_);
  input_ = std::make_unique<ShellInputForwarder>();
  pump_->AddListener(*input_);
  return true;
}

// A missing or unreadable icon leaves the window without one.
void GameShell::LoadIcon() {
  const std::vector<std::uint8_t> bytes = ReadDiskFile(config_.icon);
  image::Image icon;
  std::string error;
  if (bytes.empty() || !image::DecodeImage(bytes, icon, error)) return;
  SwapRedAndBlue(icon.pixels);
  const platform::RgbaPixels pixels{static_cast<int>(icon.width), static_cast<int>(icon.height),
                                    std::span<const std::uint8_t>(icon.pixels.data(), icon.FaceBytes())};
  window_->SetIcon(pixels);
}

// Without the archive every file is read from the disk; a damaged one is
// reported and left aside the same way.
void GameShell::OpenArchive() {
  std::string error;
  archive_ = OpenPackFile(kArchiveName, nullptr, false, &error);
  if (archive_) {
    SetFileSystem(archive_.get());
  } else if (std::filesystem::exists(kArchiveName)) {
    std::fprintf(stderr, "%s\n", error.c_str());
  }
  if (!config_.frameTimesFile.empty()) {
    countingFiles_ = std::make_unique<CountingFileSystem>(*GetFileSystem());
    SetFileSystem(countingFiles_.get());
    frameReport_ = std::make_unique<FrameReport>();
  }
}

bool GameShell::StartServices() {
  CreateEngineServices();
  servicesCreated_ = true;
  EngineServices& services = *GetEngineServices();
  services.SetSoundSystem(std::make_unique<SoundSystem>());
  services.SetSubsystem(ServiceSlot::kRenderDevice, std::make_unique<RenderDevice>(GlRenderDeviceBackend()));
  services.SetInputService(std::make_unique<InputService>());
  services.SetEventPump(pump_.get());
  config_.settings.window = window_->NativeHandle();
  if (!services.Initialize(&config_.settings)) {
    ShowError(std::string(GetErrorMessage()) + kSystemRequirementsNote);
    const std::string help = ResolveDiskPath(config_.dataRoot + kHelpFile, false);
    if (std::filesystem::exists(help)) platform::OpenWithDesktop(help);
    return false;
  }
  if (GetRenderDevice() != nullptr) gfx::KeepGlDriverLoaded();
  if (services.BeginFrame()) services.EndFrame();
  services.SetDataFolder(config_.dataRoot);
  return true;
}

bool GameShell::LoadLibrary() {
  EngineServices& services = *GetEngineServices();
  const std::string folder = config_.dataRoot + kDataFolder;
  if (services.SerializeLibrary(folder + config_.library, 1)) return true;
  const std::string fallback = folder + kDefaultLibrary;
  if (services.SerializeLibrary(fallback, 1)) return true;
  ShowError(LibraryError(fallback, archive_ != nullptr));
  return false;
}

bool GameShell::StartEngine() {
  CreateEngine();
  Engine& engine = *GetEngine();
  engine.SetDataPath(config_.dataRoot + kDataFolder);
  engine.SetQuitCallback(&platform::EventPump::PostQuit);
  if (config_.screenshot && config_.screenshot->step > 0) World::SetClock(&ReadShotClock);
  return true;
}

// The global scene opens with its physics built and started, so the
// simulator counts as on without building it again.
bool GameShell::OpenFirstScene() {
  Engine& engine = *GetEngine();
  if (config_.playerStartMode) {
    if (StartPlayer(engine, config_)) return true;
    ShowError(kNoStartSpaceMessage);
    return false;
  }
  if (!engine.OpenObjectFile(engine, config_.globalScene)) {
    ShowError(ErrorNaming(config_.dataRoot + kDataFolder + config_.globalScene));
    return false;
  }
  RaiseWithoutSender(engine, kEventOnEngineStarted);
  engine.MarkSimulatorBuilt();
  return true;
}

// The loop sleeps in the pump while the window is minimised.
void GameShell::Loop() {
  int frames = 0;
  for (;;) {
    pump_->PumpEvents();
    if (pump_->QuitRequested()) return;
    if (window_->IsMinimised()) {
      pump_->WaitForEvents();
    } else {
      if (config_.screenshot) shotClock += config_.screenshot->step;
      RunFrame();
      if (config_.screenshot && ++frames == config_.screenshot->frame) TakeScreenshot();
    }
  }
}

void GameShell::RunFrame() {
  if (frameReport_) frameReport_->BeginFrame(countingFiles_->OpenCount());
  GetEngine()->RunFrame();
  if (frameReport_) frameReport_->EndFrame(countingFiles_->OpenCount());
}

// The picture of the requested frame, then the end of the game.
void GameShell::TakeScreenshot() {
  std::string error;
  if (!WriteScreenshot(config_.screenshot->file, error)) {
    std::fprintf(stderr, "Screenshot: %s\n", error.c_str());
    exitCode_ = kExitStartupFailed;
  }
  platform::EventPump::PostQuit();
}

void GameShell::WriteFrameReport() {
  std::string error;
  if (!frameReport_ || frameReport_->Write(config_.frameTimesFile, error)) return;
  std::fprintf(stderr, "Frame times: %s\n", error.c_str());
  exitCode_ = kExitStartupFailed;
}

// The archive first, then the engine, then the services, then the window
// they drew into. Safe to repeat.
void GameShell::Shutdown() {
  if (countingFiles_) SetFileSystem(archive_.get());
  countingFiles_.reset();
  if (archive_) ClosePackFile(std::move(archive_));
  ShutdownEngine();
  if (servicesCreated_) DestroyEngineServices();
  servicesCreated_ = false;
  cursor_.reset();
  if (pump_ && input_) pump_->RemoveListener(*input_);
  pump_.reset();
  input_.reset();
  window_.reset();
}

void GameShell::ShowError(const std::string& text) {
  platform::ShowMessageBox(kErrorCaption, text, window_ ? window_->NativeHandle() : nullptr);
}

int RunGame(const std::string& commandLine, const std::string& folder) {
  SeedRand(static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  GameShell shell(ReadStartupConfig(commandLine, folder));
  return shell.Run();
}

}  // namespace tge

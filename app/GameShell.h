// The game shell: starts the engine in a fixed order (single-instance lock,
// window, game archive, services, resource library, engine object, first
// scene), runs the loop that drives the engine's frame step, and shuts
// everything down in reverse order. Whatever start-up created is shut down
// again when it stops half-way, so no thread is left running and nothing
// leaks.
#pragma once
#include <memory>
#include <string>

#include "app/StartupConfig.h"

namespace tge {

namespace platform {
class EventPump;
class InstanceLock;
class SystemCursor;
class Window;
}  // namespace platform

class CountingFileSystem;
class FrameReport;
class PackFileSystem;
class ShellInputForwarder;

// The process's exit status: a second copy leaves with a notice and status
// 0, a start-up or a screenshot that fails on an error says so, start-up
// options that cannot work stop the game before it starts.
inline constexpr int kExitNormal = 0;
inline constexpr int kExitStartupFailed = 1;
inline constexpr int kExitBadOptions = 2;

inline constexpr const char* kSystemRequirementsNote = "\nMake sure that your computer meets the system requirements.";
inline constexpr const char* kNoStartSpaceMessage = "Found no space to start in!";

class GameShell {
 public:
  explicit GameShell(StartupConfig config);
  ~GameShell();
  GameShell(const GameShell&) = delete;
  GameShell& operator=(const GameShell&) = delete;

  // Start-up, the loop and shutdown; the exit status.
  int Run();

 private:
  // Start-up's steps; each false when start-up stops there, after saying why.
  bool CheckOptions() const;
  bool OpenWindow();
  void LoadIcon();
  void OpenArchive();
  bool StartServices();
  bool LoadLibrary();
  bool StartEngine();
  bool OpenFirstScene();
  void Loop();
  void RunFrame();
  void TakeScreenshot();
  void WriteFrameReport();
  void Shutdown();
  void ShowError(const std::string& text);

  StartupConfig config_;
  std::unique_ptr<platform::InstanceLock> lock_;
  std::unique_ptr<platform::Window> window_;
  std::unique_ptr<platform::EventPump> pump_;
  std::unique_ptr<ShellInputForwarder> input_;
  std::unique_ptr<platform::SystemCursor> cursor_;
  std::unique_ptr<PackFileSystem> archive_;
  std::unique_ptr<CountingFileSystem> countingFiles_;
  std::unique_ptr<FrameReport> frameReport_;
  bool servicesCreated_ = false;
  int exitCode_ = kExitNormal;
};

// The whole program: seeds the random numbers, reads the configuration
// from the command-line text and folder, and runs the shell.
int RunGame(const std::string& commandLine, const std::string& folder);

}  // namespace tge

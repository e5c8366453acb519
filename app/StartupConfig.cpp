#include "app/StartupConfig.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "core/CommandLineOptions.h"

namespace tge {
namespace {

// The services always get two channels, eight voices and a render device.
constexpr std::int32_t kSoundChannels = 2;
constexpr std::int32_t kSoundVoiceLimit = 8;
constexpr std::int32_t kPspWidth = 480;
constexpr std::int32_t kPspHeight = 272;

// Lines end in LF or CR LF; no CR stays in the text.
std::string ReadLine(std::istream& in) {
  std::string line;
  std::getline(in, line);
  std::erase(line, '\r');
  return line;
}

std::int32_t IntOption(const CommandLineOptions& options, StartupOption option) {
  return std::atoi(options.GetValue(option).c_str());
}

float FloatOption(const CommandLineOptions& options, StartupOption option) {
  return static_cast<float>(std::atof(options.GetValue(option).c_str()));
}

// An option that is still "0" (or any text beginning with '0') was not given.
bool Given(const std::string& value) { return value.empty() || value[0] != '0'; }

void FillSettings(const CommandLineOptions& options, StartupSettings& settings) {
  settings.soundEnabled = IntOption(options, kOptSoundEnable);
  settings.soundChannels = kSoundChannels;
  settings.soundFrequency = IntOption(options, kOptSoundFrequency);
  settings.soundBitsPerSample = IntOption(options, kOptSoundBits);
  settings.soundVoiceLimit = kSoundVoiceLimit;
  settings.soundCaptureEnabled = IntOption(options, kOptSoundCapture);
  settings.inputEnabled = IntOption(options, kOptInputEnable);
  settings.networkEnabled = IntOption(options, kOptNetworkEnable);
  settings.renderDeviceEnabled = 1;
  settings.fullScreen = IntOption(options, kOptFullScreen);
  settings.width = IntOption(options, kOptWidth);
  settings.height = IntOption(options, kOptHeight);
  settings.colorDepth = IntOption(options, kOptDepth);
  if (IntOption(options, kOptPspEmulation) != 0) {
    settings.fullScreen = 0;
    settings.width = kPspWidth;
    settings.height = kPspHeight;
  }
}

void ReadNames(const CommandLineOptions& options, StartupConfig& config) {
  // Blanks cannot be passed inside one option, so '$' stands for them.
  std::string library = options.GetValue(kOptLibrary);
  std::replace(library.begin(), library.end(), '$', ' ');
  if (Given(library)) config.library = library;
  if (const std::string& scene = options.GetValue(kOptGlobalScene); Given(scene)) config.globalScene = scene;
  config.playerScene = options.GetValue(kOptPlayerScene);
  config.playerPath = options.GetValue(kOptPlayerPath);
  config.playerStartMode = Given(config.playerScene) && Given(config.playerPath);
  config.playerStart = {FloatOption(options, kOptPlayerStartX), FloatOption(options, kOptPlayerStartY),
                        FloatOption(options, kOptPlayerStartZ)};
}

// Among the tokens the option table does not know.
std::optional<ScreenshotRequest> ReadScreenshotRequest(const CommandLineOptions& options) {
  ScreenshotRequest request;
  for (const CommandLineValue& token : options.Unmatched()) {
    if (token.name == "shot" && token.hasValue) request.file = token.value;
    if (token.name == "shotframe") request.frame = std::max(1, std::atoi(token.value.c_str()));
    if (token.name == "shotstep") request.step = std::max(0.0, std::atof(token.value.c_str()));
  }
  if (request.file.empty()) return std::nullopt;
  return request;
}

void ApplyInitFile(const InitFile& file, StartupConfig& config) {
  config.dataRoot = WithTrailingSeparator(file.dataRoot);
  config.library = file.library;
  if (!file.title.empty()) config.title = file.title;
  if (!file.icon.empty()) config.icon = file.icon;
}

}  // namespace

std::optional<InitFile> ReadInitFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  InitFile file;
  file.dataRoot = ReadLine(in);
  file.library = ReadLine(in);
  file.unused = ReadLine(in);
  file.title = ReadLine(in);
  file.icon = ReadLine(in);
  return file;
}

std::string WithTrailingSeparator(std::string root) {
  if (!root.empty() && root.back() != '/' && root.back() != '\\') root += '/';
  return root;
}

StartupConfig ReadStartupConfig(const std::string& commandLine, const std::filesystem::path& folder) {
  CommandLineOptions options(commandLine);
  AddStartupOptions(options);
  options.Parse();
  StartupConfig config;
  FillSettings(options, config.settings);
  ReadNames(options, config);
  config.screenshot = ReadScreenshotRequest(options);
  if (std::optional<InitFile> file = ReadInitFile(folder / kInitFileName)) {
    ApplyInitFile(*file, config);
  } else {
    config.dataRoot = WithTrailingSeparator(folder.string());
  }
  return config;
}

std::string JoinArguments(int argc, const char* const* argv) {
  std::string text;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) text += ' ';
    text += argv[i];
  }
  return text;
}

}  // namespace tge

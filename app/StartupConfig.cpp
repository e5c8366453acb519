#include "app/StartupConfig.h"

#include <algorithm>
#include <charconv>
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

// The whole text as a number of type T, or nothing.
template <class T>
std::optional<T> ParseNumber(const std::string& text) {
  T value{};
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || at != end) return std::nullopt;
  return value;
}

std::string Token(const CommandLineValue& token) {
  return "-" + token.name + (token.hasValue ? "=" + token.value : std::string());
}

// Why the option table set the token aside.
std::string WhyIgnored(const CommandLineOptions& options, const CommandLineValue& token) {
  const CommandLineOption* option = options.FindOption(token.name);
  if (option == nullptr) return Token(token) + ": no such start-up option; ignored";
  if (!option->restricted) return Token(token) + ": give a value, as -" + option->name + "=VALUE; ignored";
  std::string allowed;
  for (std::size_t i = 0; i < option->allowedValues.size(); ++i) {
    if (i > 0) allowed += i + 1 == option->allowedValues.size() ? " or " : ", ";
    allowed += option->allowedValues[i];
  }
  return Token(token) + ": -" + option->name + " takes " + allowed + "; ignored";
}

// The shell's own options among the tokens the option table does not know:
// the screenshot and the frame-time report.
void ReadShellOptions(const CommandLineOptions& options, StartupConfig& config) {
  ScreenshotRequest request;
  bool shotTiming = false;
  for (const CommandLineValue& token : options.Unmatched()) {
    if (token.name == "shot" || token.name == "frametimes") {
      if (!token.hasValue || token.value.empty()) {
        config.optionErrors.push_back(Token(token) + ": give a file name, as -" + token.name + "=FILE");
      }
      (token.name == "shot" ? request.file : config.frameTimesFile) = token.value;
    } else if (token.name == "shotframe") {
      const std::optional<int> frame = ParseNumber<int>(token.value);
      if (!frame || *frame < 1) config.optionErrors.push_back(Token(token) + ": the frame is a whole number from 1 up");
      request.frame = frame.value_or(1);
      shotTiming = true;
    } else if (token.name == "shotstep") {
      const std::optional<double> step = ParseNumber<double>(token.value);
      if (!step || !(*step > 0)) config.optionErrors.push_back(Token(token) + ": the step is a number of seconds above 0");
      request.step = step.value_or(0);
      shotTiming = true;
    } else {
      config.ignoredOptions.push_back(WhyIgnored(options, token));
    }
  }
  if (shotTiming && request.file.empty()) {
    config.optionErrors.push_back("-shotframe and -shotstep need -shot=FILE, the picture to write");
  }
  if (!request.file.empty()) config.screenshot = request;
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
  ReadShellOptions(options, config);
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

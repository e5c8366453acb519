// Start-up options: the table of options the shell understands, each with its
// allowed values and default, set from the blank-separated command-line text.
// Tokens that name no option or give a value the option does not allow are
// set aside in the unmatched list and change nothing.
#pragma once
#include <string>
#include <vector>

namespace tge {

struct CommandLineOption {
  // valueList: allowed values separated by ':', "~" for any value, "-" for a
  // switch that takes none.
  CommandLineOption(std::string name, const std::string& valueList, int defaultIndex);

  std::string name;
  int defaultIndex = 0;
  std::vector<std::string> allowedValues;
  bool restricted = true;
  bool needsValue = true;
};

struct CommandLineValue {
  CommandLineValue() = default;
  explicit CommandLineValue(const std::string& token);

  std::string name;
  std::string value;
  std::string extra;
  bool hasValue = false;
};

class CommandLineOptions {
 public:
  explicit CommandLineOptions(std::string commandLine = {});

  void AddOption(const CommandLineOption& option);
  void Parse();
  const std::string& GetValue(int index) const;
  // Null when no option has that name.
  const CommandLineOption* FindOption(const std::string& name) const;
  const std::vector<CommandLineValue>& Unmatched() const { return unmatched_; }

 private:
  void Apply(const CommandLineValue& token);

  std::string commandLine_;
  std::vector<CommandLineOption> options_;
  std::vector<CommandLineValue> values_;
  std::vector<CommandLineValue> unmatched_;
};

// The shell's options, in the index order GetValue takes.
enum StartupOption {
  kOptFullScreen, kOptWidth, kOptHeight, kOptDepth,
  kOptSoundEnable, kOptSoundCapture, kOptSoundFrequency, kOptSoundBits,
  kOptInputEnable, kOptNetworkEnable, kOptPspEmulation,
  kOptLibrary, kOptGlobalScene, kOptPlayerScene, kOptPlayerPath,
  kOptPlayerStartX, kOptPlayerStartY, kOptPlayerStartZ,
  kStartupOptionCount
};

void AddStartupOptions(CommandLineOptions& options);

}  // namespace tge

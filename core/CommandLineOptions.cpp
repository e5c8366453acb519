#include "core/CommandLineOptions.h"

#include <array>
#include <string_view>

namespace tge {
namespace {

// Option and token texts count up to this many characters, as their fixed
// buffers did.
constexpr std::size_t kMaxTokenText = 255;

// strtok's rule over a string: skip leading delimiters, take up to the next.
// Returns false when only delimiters remain.
bool NextToken(std::string_view text, std::size_t& pos, std::string_view delims,
               std::string& out) {
  const std::size_t begin = text.find_first_not_of(delims, pos);
  if (begin == std::string_view::npos) {
    pos = text.size();
    return false;
  }
  std::size_t end = text.find_first_of(delims, begin);
  if (end == std::string_view::npos) end = text.size();
  out.assign(text.substr(begin, end - begin));
  pos = end < text.size() ? end + 1 : end;
  return true;
}

std::vector<std::string> Split(std::string_view text, std::string_view delims) {
  std::vector<std::string> parts;
  std::size_t pos = 0;
  std::string part;
  while (NextToken(text, pos, delims, part)) parts.push_back(part);
  return parts;
}

}  // namespace

CommandLineOption::CommandLineOption(std::string optionName, const std::string& valueList,
                                     int index)
    : name(std::move(optionName)), defaultIndex(index) {
  restricted = valueList != "~";
  needsValue = valueList != "-";
  if (restricted && needsValue) {
    allowedValues = Split(std::string_view(valueList).substr(0, kMaxTokenText), ":");
  }
}

CommandLineValue::CommandLineValue(const std::string& token) {
  const std::string_view text = std::string_view(token).substr(0, kMaxTokenText);
  std::size_t pos = 0;
  if (!text.empty() && text[0] == '-' && NextToken(text, pos, "-=", name)) {
    std::string given;
    hasValue = NextToken(text, pos, "=", given);
    value = hasValue ? std::move(given) : std::string("1");
    return;
  }
  name.assign(text);
  value = "Error!";
}

CommandLineOptions::CommandLineOptions(std::string commandLine)
    : commandLine_(std::move(commandLine)) {}

void CommandLineOptions::AddOption(const CommandLineOption& option) {
  CommandLineValue current;
  current.name = option.name;
  const bool inRange =
      option.defaultIndex >= 0 &&
      static_cast<std::size_t>(option.defaultIndex) < option.allowedValues.size();
  current.value = inRange ? option.allowedValues[option.defaultIndex] : "0";
  options_.push_back(option);
  values_.push_back(current);
}

void CommandLineOptions::Parse() {
  unmatched_.clear();
  for (const std::string& token : Split(commandLine_, " ")) Apply(CommandLineValue(token));
}

void CommandLineOptions::Apply(const CommandLineValue& token) {
  for (std::size_t i = 0; i < values_.size(); ++i) {
    if (values_[i].name != token.name) continue;
    const CommandLineOption& option = options_[i];
    bool accepted = !option.needsValue || token.hasValue;
    if (accepted && option.needsValue && option.restricted) {
      accepted = false;
      for (const std::string& allowed : option.allowedValues) accepted |= allowed == token.value;
    }
    if (accepted) {
      values_[i].value = token.value;
    } else {
      unmatched_.push_back(token);
    }
    return;
  }
  unmatched_.push_back(token);
}

const std::string& CommandLineOptions::GetValue(int index) const {
  static const std::string kNone;
  if (index < 0 || static_cast<std::size_t>(index) >= values_.size()) return kNone;
  return values_[index].value;
}

const CommandLineOption* CommandLineOptions::FindOption(const std::string& name) const {
  for (const CommandLineOption& option : options_) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

void AddStartupOptions(CommandLineOptions& options) {
  struct Row {
    const char* name;
    const char* values;
    int defaultIndex;
  };
  static constexpr std::array<Row, kStartupOptionCount> kRows = {{
      {"g_fs", "0:1", 1},
      {"g_w", "640:800:1024:1280:1600", 2},
      {"g_h", "480:600:768:960:1200", 2},
      {"g_d", "16:32", 1},
      {"s_e", "0:1", 1},
      {"s_ce", "0:1", 0},
      {"s_f", "22050:44100", 0},
      {"s_b", "8:16", 1},
      {"i_e", "0:1", 1},
      {"n_e", "0:1", 0},
      {"pspemulation", "0:1", 0},
      {"lib", "~", 0},
      {"sac", "~", 0},
      {"playersac", "~", 0},
      {"playerpath", "~", 0},
      {"playerstartx", "~", 0},
      {"playerstarty", "~", 0},
      {"playerstartz", "~", 0},
  }};
  for (const Row& row : kRows) options.AddOption({row.name, row.values, row.defaultIndex});
}

}  // namespace tge

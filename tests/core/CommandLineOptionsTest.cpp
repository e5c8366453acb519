#include "core/CommandLineOptions.h"

#include <gtest/gtest.h>

namespace tge {
namespace {

struct OptionCase {
  const char* commandLine;
  int index;
  const char* expected;
  std::size_t unmatched;
};

void PrintTo(const OptionCase& c, std::ostream* os) {
  *os << '"' << c.commandLine << "\" option " << c.index;
}

class StartupOptionsTest : public ::testing::TestWithParam<OptionCase> {};

TEST_P(StartupOptionsTest, ParsesTokenIntoOption) {
  const OptionCase& c = GetParam();
  CommandLineOptions options(c.commandLine);
  AddStartupOptions(options);
  options.Parse();
  EXPECT_EQ(options.GetValue(c.index), c.expected);
  EXPECT_EQ(options.Unmatched().size(), c.unmatched);
}

INSTANTIATE_TEST_SUITE_P(
    Options, StartupOptionsTest,
    ::testing::Values(OptionCase{"", kOptWidth, "1024", 0},
                      OptionCase{"-g_w=800 -g_h=600", kOptWidth, "800", 0},
                      OptionCase{"-g_w=800 -g_h=600", kOptHeight, "600", 0},
                      OptionCase{"-g_w=900", kOptWidth, "1024", 1},
                      OptionCase{"-g_fs", kOptFullScreen, "1", 1},
                      OptionCase{"-lib=Level1.sli", kOptLibrary, "Level1.sli", 0},
                      OptionCase{"-lib", kOptLibrary, "0", 1},
                      OptionCase{"-g_w=800=extra", kOptWidth, "800", 0},
                      OptionCase{"g_fs", kOptFullScreen, "1", 1},
                      OptionCase{"-G_FS=0", kOptFullScreen, "1", 1},
                      OptionCase{"-g_w=800  -g_w=1280", kOptWidth, "1280", 0},
                      OptionCase{"-g_w=800 -g_w=7", kOptWidth, "800", 1},
                      OptionCase{"-g_d=16\t", kOptDepth, "32", 1},
                      OptionCase{"-s_f=44100 -unknown=3", kOptSoundFrequency, "44100", 1},
                      OptionCase{"--sac=Menu.sac", kOptGlobalScene, "Menu.sac", 0}));

TEST(CommandLineOptions, TokenWithoutDashOrNameIsAnError) {
  for (const char* token : {"g_fs", "---"}) {
    const CommandLineValue v(token);
    EXPECT_EQ(v.name, token);
    EXPECT_EQ(v.value, "Error!");
    EXPECT_FALSE(v.hasValue);
  }
}

TEST(CommandLineOptions, SwitchTakesOneAndListIsCutAt255) {
  CommandLineOptions options("-verbose -long=" + std::string(300, 'x'));
  options.AddOption({"verbose", "-", 0});
  options.AddOption({"long", "~", 0});
  options.Parse();
  EXPECT_EQ(options.GetValue(0), "1");
  EXPECT_EQ(options.GetValue(1).size(), 255u - 6u);
  EXPECT_EQ(options.GetValue(7), "");
}

}  // namespace
}  // namespace tge

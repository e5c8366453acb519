#include <gtest/gtest.h>

#include "app/StartupConfig.h"
#include "tests/core/files/TempFolder.h"

namespace tge::test {
namespace {

class StartupConfigTest : public ::testing::Test {
 protected:
  StartupConfig Read(const std::string& commandLine) { return ReadStartupConfig(commandLine, folder.Path()); }
  void WriteInit(const std::string& text) { folder.WriteFile(kInitFileName, text); }

  ::tge::testing::TempFolder folder;
};

TEST_F(StartupConfigTest, NoCommandLineAndNoInitFileGiveTheDefaults) {
  const StartupConfig config = Read("");
  EXPECT_EQ(config.settings.fullScreen, 1);
  EXPECT_EQ(config.settings.width, 1024);
  EXPECT_EQ(config.settings.height, 768);
  EXPECT_EQ(config.settings.colorDepth, 32);
  EXPECT_EQ(config.settings.soundEnabled, 1);
  EXPECT_EQ(config.settings.soundFrequency, 22050);
  EXPECT_EQ(config.settings.soundVoiceLimit, 8);
  EXPECT_EQ(config.settings.renderDeviceEnabled, 1);
  EXPECT_EQ(config.settings.inputEnabled, 1);
  EXPECT_EQ(config.title, "Tarnwick Game Engine");
  EXPECT_EQ(config.icon, "icon.ico");
  EXPECT_EQ(config.dataRoot, folder.Path().string() + "/");
  EXPECT_EQ(config.library, "Library.sli");
  EXPECT_EQ(config.globalScene, "Global.sac");
  EXPECT_FALSE(config.playerStartMode);
}

TEST_F(StartupConfigTest, PspEmulationForcesASmallWindow) {
  const StartupConfig config = Read("-g_fs=1 -g_w=1600 -pspemulation=1");
  EXPECT_EQ(config.settings.fullScreen, 0);
  EXPECT_EQ(config.settings.width, 480);
  EXPECT_EQ(config.settings.height, 272);
}

TEST_F(StartupConfigTest, DollarsInTheLibraryNameStandForBlanks) {
  EXPECT_EQ(Read("-lib=My$Game$Library.sli").library, "My Game Library.sli");
  EXPECT_EQ(Read("-sac=Menu.sac").globalScene, "Menu.sac");
}

TEST_F(StartupConfigTest, PlayerStartNeedsBothTheFileAndThePath) {
  const StartupConfig both =
      Read("-playersac=Level.sac -playerpath=Hero -playerstartx=1.5 -playerstarty=-2 -playerstartz=3");
  EXPECT_TRUE(both.playerStartMode);
  EXPECT_EQ(both.playerScene, "Level.sac");
  EXPECT_EQ(both.playerPath, "Hero");
  EXPECT_FLOAT_EQ(both.playerStart.x, 1.5f);
  EXPECT_FLOAT_EQ(both.playerStart.y, -2.0f);
  EXPECT_FLOAT_EQ(both.playerStart.z, 3.0f);
  EXPECT_FALSE(Read("-playersac=Level.sac").playerStartMode);
  EXPECT_FALSE(Read("-playerpath=Hero").playerStartMode);
}

TEST_F(StartupConfigTest, InitFileLinesLoseTheirLineEnds) {
  WriteInit("game\\\r\nMain Library.sli\r\nnot used\r\nMy Game\r\ngame.png\r\n");
  const StartupConfig config = Read("-lib=Other.sli");
  EXPECT_EQ(config.dataRoot, "game\\");
  // The second line replaces the command line's library.
  EXPECT_EQ(config.library, "Main Library.sli");
  EXPECT_EQ(config.title, "My Game");
  EXPECT_EQ(config.icon, "game.png");
}

TEST_F(StartupConfigTest, InitFileEdgeCases) {
  struct Case {
    const char* text;
    const char* dataRoot;
    const char* library;
    const char* title;
    const char* icon;
  };
  const Case cases[] = {
      // An empty root stays empty; empty title and icon keep the defaults.
      {"\nLibrary.sli\n\n\n\n", "", "Library.sli", "Tarnwick Game Engine", "icon.ico"},
      // A root without a trailing separator gets one.
      {"game\nLib.sli\n\nT\nI", "game/", "Lib.sli", "T", "I"},
      {"/opt/game/\nLib.sli\n", "/opt/game/", "Lib.sli", "Tarnwick Game Engine", "icon.ico"},
      // An empty second line still replaces the library.
      {"root\\\n\n", "root\\", "", "Tarnwick Game Engine", "icon.ico"},
      // A short file leaves the rest empty.
      {"a\r\nb", "a/", "b", "Tarnwick Game Engine", "icon.ico"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    WriteInit(c.text);
    const StartupConfig config = Read("-lib=Cmd.sli");
    EXPECT_EQ(config.dataRoot, c.dataRoot);
    EXPECT_EQ(config.library, c.library);
    EXPECT_EQ(config.title, c.title);
    EXPECT_EQ(config.icon, c.icon);
  }
}

TEST_F(StartupConfigTest, TheShellsOwnOptionsAreReadWhenWellFormed) {
  const StartupConfig config = Read("-g_fs=0 -shot=x.bmp -shotframe=3 -shotstep=0.1 -frametimes=t.txt");
  ASSERT_TRUE(config.screenshot.has_value());
  EXPECT_EQ(config.screenshot->file, "x.bmp");
  EXPECT_EQ(config.screenshot->frame, 3);
  EXPECT_DOUBLE_EQ(config.screenshot->step, 0.1);
  EXPECT_EQ(config.frameTimesFile, "t.txt");
  EXPECT_TRUE(config.ignoredOptions.empty());
  EXPECT_TRUE(config.optionErrors.empty());
}

// Options that do nothing are named and the game starts without them;
// options that cannot work as given keep it from starting.
TEST_F(StartupConfigTest, OptionsThatDoNothingOrCannotWorkAreNamed) {
  struct Case {
    const char* commandLine;
    const char* ignored;
    const char* error;
  };
  const Case cases[] = {
      {"-g_w=abc", "-g_w=abc: -g_w takes 640, 800, 1024, 1280 or 1600; ignored", nullptr},
      {"-g_fs", "-g_fs: -g_fs takes 0 or 1; ignored", nullptr},
      {"-colour=red", "-colour=red: no such start-up option; ignored", nullptr},
      {"-lib", "-lib: give a value, as -lib=VALUE; ignored", nullptr},
      {"-shotframe=20", nullptr, "-shotframe and -shotstep need -shot=FILE, the picture to write"},
      {"-shotstep=0.1", nullptr, "-shotframe and -shotstep need -shot=FILE, the picture to write"},
      {"-shot=x.bmp -shotframe=abc", nullptr, "-shotframe=abc: the frame is a whole number from 1 up"},
      {"-shot=x.bmp -shotframe=0", nullptr, "-shotframe=0: the frame is a whole number from 1 up"},
      {"-shot=x.bmp -shotstep=-1", nullptr, "-shotstep=-1: the step is a number of seconds above 0"},
      {"-shot", nullptr, "-shot: give a file name, as -shot=FILE"},
      {"-frametimes", nullptr, "-frametimes: give a file name, as -frametimes=FILE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.commandLine);
    const StartupConfig config = Read(c.commandLine);
    EXPECT_EQ(config.ignoredOptions, c.ignored ? std::vector<std::string>{c.ignored} : std::vector<std::string>{});
    EXPECT_EQ(config.optionErrors, c.error ? std::vector<std::string>{c.error} : std::vector<std::string>{});
  }
  EXPECT_EQ(Read("-g_w=abc").settings.width, 1024);
}

TEST(JoinArgumentsTest, ArgumentsAreJoinedWithBlanks) {
  const char* argv[] = {"tarnwick", "-g_fs=0", "-lib=A$B.sli"};
  EXPECT_EQ(JoinArguments(3, argv), "-g_fs=0 -lib=A$B.sli");
  EXPECT_EQ(JoinArguments(1, argv), "");
}

}  // namespace
}  // namespace tge::test

#include <SDL.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/window/MessageBox.h"
#include "tests/platform/window/SdlTestEnvironment.h"

namespace tge::platform {
namespace {

// Sets an environment variable for one test and puts it back afterwards.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedEnvironment() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(PlatformMessageBox, HeadlessRunWritesTextToStandardErrorWithoutBlocking) {
  UseHeadlessSdl();
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  EXPECT_FALSE(CanShowMessageBox());
  ::testing::internal::CaptureStderr();
  ShowMessageBox("Error", "Found %s no space\nsecond line");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error: Found %s no space\nsecond line\n");
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

TEST(PlatformMessageBox, BeforeVideoStartsOnlyANamedDisplayAllowsABox) {
  ScopedEnvironment wayland("WAYLAND_DISPLAY", nullptr);
  {
    ScopedEnvironment driver("SDL_VIDEODRIVER", "dummy");
    ScopedEnvironment display("DISPLAY", ":5");
    EXPECT_FALSE(CanShowMessageBox());
  }
  ScopedEnvironment driver("SDL_VIDEODRIVER", nullptr);
  {
    ScopedEnvironment display("DISPLAY", nullptr);
    EXPECT_FALSE(CanShowMessageBox());
  }
  ScopedEnvironment display("DISPLAY", ":5");
  EXPECT_TRUE(CanShowMessageBox());
}

}  // namespace
}  // namespace tge::platform

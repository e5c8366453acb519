#include "services/EngineServices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "services/ErrorMessage.h"

namespace tge {
namespace {

// Records the order subsystems start and stop in; fails on request.
struct StepLog {
  std::vector<std::string> events;
};

class FakeSubsystem : public ServiceSubsystem {
 public:
  FakeSubsystem(const char* name, StepLog& log, bool fails, const char* error = nullptr)
      : name_(name), log_(log), fails_(fails), error_(error) {}
  const char* GetName() const override { return name_; }
  bool Start(EngineServices&) override {
    log_.events.push_back(std::string("start ") + name_);
    if (fails_ && error_) return FormatErrorMessage("%s", error_);
    return !fails_;
  }
  void Stop() override { log_.events.push_back(std::string("stop ") + name_); }

 private:
  const char* name_;
  StepLog& log_;
  bool fails_;
  const char* error_;
};

StartupSettings AllEnabled() {
  StartupSettings settings;
  settings.soundEnabled = settings.renderDeviceEnabled = settings.inputEnabled = 1;
  return settings;
}

void Install(EngineServices& services, StepLog& log, int failingSlot, const char* error = nullptr) {
  const char* names[] = {"sound", "device", "input"};
  for (int slot = 0; slot < kServiceSlotCount; ++slot) {
    services.SetSubsystem(static_cast<ServiceSlot>(slot),
                          std::make_unique<FakeSubsystem>(names[slot], log, slot == failingSlot, error));
  }
}

TEST(EngineServices, CreatingTwiceKeepsOneObject) {
  ASSERT_TRUE(CreateEngineServices());
  EngineServices* first = GetEngineServices();
  ASSERT_TRUE(CreateEngineServices());
  EXPECT_EQ(GetEngineServices(), first);
  DestroyEngineServices();
  EXPECT_EQ(GetEngineServices(), nullptr);
}

TEST(EngineServices, InitializeStartsSubsystemsInOrderAndShutdownStopsThem) {
  StepLog log;
  EngineServices services;
  Install(services, log, -1);
  const StartupSettings settings = AllEnabled();
  ASSERT_EQ(services.Initialize(&settings), 1);
  EXPECT_TRUE(services.IsSubsystemRunning(ServiceSlot::kInput));
  services.Shutdown();
  const std::vector<std::string> expected = {"start sound", "start device", "start input",
                                             "stop sound",  "stop device",  "stop input"};
  EXPECT_EQ(log.events, expected);
}

TEST(EngineServices, FailedStepUndoesWhatStartedAndKeepsItsText) {
  StepLog log;
  EngineServices services;
  Install(services, log, 2, "Error - Creating Input Device");
  const StartupSettings settings = AllEnabled();
  EXPECT_EQ(services.Initialize(&settings), 0);
  EXPECT_STREQ(GetErrorMessage(), "Error - Creating Input Device");
  const std::vector<std::string> expected = {"start sound", "start device", "start input", "stop device",
                                             "stop sound"};
  EXPECT_EQ(log.events, expected);
  EXPECT_FALSE(services.IsSubsystemRunning(ServiceSlot::kSound));
}

TEST(EngineServices, SilentFailureGetsANamedTextAndSoundFailureDisablesSound) {
  StepLog log;
  EngineServices services;
  Install(services, log, 0);
  const StartupSettings settings = AllEnabled();
  EXPECT_EQ(services.Initialize(&settings), 0);
  EXPECT_STREQ(GetErrorMessage(), "Error - Starting sound");
  EXPECT_EQ(services.GetSettings().soundEnabled, 0);
  EXPECT_EQ(log.events, std::vector<std::string>{"start sound"});
}

TEST(EngineServices, MissingSubsystemsAreNotStartedAndCountAsDisabled) {
  EngineServices services;
  const StartupSettings settings = AllEnabled();
  ASSERT_EQ(services.Initialize(&settings), 1);
  EXPECT_EQ(services.GetSettings().soundEnabled, 0);
  EXPECT_EQ(services.GetSettings().renderDeviceEnabled, 0);
  EXPECT_EQ(services.GetSettings().inputEnabled, 0);
  EXPECT_FALSE(services.IsSubsystemRunning(ServiceSlot::kRenderDevice));
  EXPECT_EQ(services.Initialize(nullptr), 0);
}

TEST(EngineServices, DisabledSubsystemsAreLeftAlone) {
  StepLog log;
  EngineServices services;
  Install(services, log, -1);
  StartupSettings settings;
  settings.width = 1024;
  ASSERT_EQ(services.Initialize(&settings), 1);
  EXPECT_TRUE(log.events.empty());
  EXPECT_EQ(services.GetScreenWidth(), 1024);
  EXPECT_EQ(services.GetScreenHeight(), 600);
}

TEST(ErrorMessage, FormatsReturnsZeroAndCutsLongTexts) {
  EXPECT_EQ(FormatErrorMessage("Error Opening File: %s", "Data\\x.sli"), 0);
  EXPECT_STREQ(GetErrorMessage(), "Error Opening File: Data\\x.sli");
  const std::string longText(2000, 'x');
  FormatErrorMessage("%s", longText.c_str());
  EXPECT_EQ(std::string(GetErrorMessage()), longText.substr(0, kErrorMessageSize - 1));
}

TEST(EngineServices, TextLookupFallsBackToThePathWithoutADatabase) {
  EngineServices services;
  EXPECT_EQ(services.FindTextEntry("Menu\\Start"), nullptr);
  EXPECT_EQ(services.GetText("Menu\\Start"), "Menu\\Start");
}

}  // namespace
}  // namespace tge

// The horse's file record by version, and what a save and a load do to the
// live jump switch and speed cap.
#include "core/script/ScriptInterpreter.h"
#include "objects/gameplay/characters/Horse.h"
#include "tests/engine/EngineTestFixture.h"
#include "tests/support/ObjectRecordBytes.h"

namespace tge::test {
namespace {

using HorseRecordTest = EngineTest;

Horse& AddChangedHorse(Object& parent) {
  auto& horse = static_cast<Horse&>(*CreateObject(kClassHorse, nullptr, parent, "Horse"));
  RunScriptText(horse,
                "this.SetHorseMinSpeed(-5); this.SetHorseMaxSpeed(90); this.SetHorseWalkTreshold(11); "
                "this.SetHorseTrotTreshold(31); this.SetHorseCanterTreshold(61); this.SetHorseGallopTreshold(81); "
                "this.SetHorseReverseTreshold(-6); this.SetHorseHealth(40); this.SetHorseJumpEnable(0); "
                "this.SetHorseCurrentMaxSpeed(7);",
                nullptr);
  return horse;
}

// 44 has none of the speed fields, 45 the gallop and reverse thresholds
// but not the canter one, 46 all of them.
TEST_F(HorseRecordTest, VersionsGateTheSpeedFields) {
  struct Case {
    int version;
    float maxSpeed, canter, gallop, reverse;
  };
  Horse& horse = AddChangedHorse(*engine);
  for (const Case& c : {Case{44, 100, 60, 80, -10}, Case{45, 90, 60, 81, -6}, Case{46, 90, 61, 81, -6}}) {
    SCOPED_TRACE(c.version);
    std::unique_ptr<Horse> loaded = LoadRecord<Horse>(kClassHorse, SaveRecord(horse, c.version), c.version);
    ASSERT_NE(loaded, nullptr);
    const HorseGaits& gaits = loaded->GetGaits();
    EXPECT_EQ(gaits.maxSpeed, c.maxSpeed);
    EXPECT_EQ(gaits.canter, c.canter);
    EXPECT_EQ(gaits.gallop, c.gallop);
    EXPECT_EQ(gaits.reverse, c.reverse);
    EXPECT_EQ(loaded->GetCurrentMaxSpeed(), c.maxSpeed);
  }
}

// A save changes nothing live; a load enables jumping and lifts the cap to
// the top speed; save, load, save gives the same bytes.
TEST_F(HorseRecordTest, SavingKeepsTheLiveSwitchesAndLoadingResetsThem) {
  Horse& horse = AddChangedHorse(*engine);
  const std::vector<std::uint8_t> first = SaveRecord(horse);
  EXPECT_EQ(horse.GetHorseFlags() & kHorseJumpEnable, 0u);
  EXPECT_EQ(horse.GetCurrentMaxSpeed(), 7.0f);
  std::unique_ptr<Horse> loaded = LoadRecord<Horse>(kClassHorse, first);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetHorseFlags() & kHorseJumpEnable, kHorseJumpEnable);
  EXPECT_EQ(loaded->GetCurrentMaxSpeed(), 90.0f);
  Horse& fresh = static_cast<Horse&>(*CreateObject(kClassHorse, nullptr, *engine, "Fresh"));
  EXPECT_EQ(fresh.GetCurrentMaxSpeed(), fresh.GetGaits().maxSpeed);
  std::unique_ptr<Horse> again = LoadRecord<Horse>(kClassHorse, SaveRecord(*loaded));
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(SaveRecord(*again), SaveRecord(*loaded));
}

TEST_F(HorseRecordTest, AddHorseHealthStaysBetweenZeroAndTheMaximum) {
  Horse& horse = AddChangedHorse(*engine);
  for (const auto& [add, health] : {std::pair{-500.0f, 0.0f}, std::pair{80.0f, 80.0f}, std::pair{50.0f, 100.0f}}) {
    float amount = add;
    horse.ExecuteCommand(19770, &amount);
    float value = 0;
    horse.ExecuteCommand(19751, &value);
    EXPECT_EQ(value, health);
  }
}

}  // namespace
}  // namespace tge::test

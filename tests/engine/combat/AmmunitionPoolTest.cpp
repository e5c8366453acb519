// AmmunitionPool: counters by 1-based pool number through the commands,
// the change events, taking, saturation and the file record.
#include <limits>

#include "objects/gameplay/weapons/AmmunitionPool.h"
#include "tests/engine/props/PropsFixture.h"
#include "tests/support/ObjectRecordBytes.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kSetCount = 14004, kGetCount = 14005, kAddCount = 14006, kSetCurrent = 14000,
                        kSetCurrentCount = 14002, kGetCurrentCount = 14003;
constexpr int kChange = AmmunitionPool::kEventChangeFirst;

class AmmunitionPoolTest : public EngineTest {
 protected:
  AmmunitionPool& MakePool() {
    auto& pool = static_cast<AmmunitionPool&>(*engine->AddChild(std::make_unique<Recorded<AmmunitionPool>>(events)));
    return pool;
  }
  static void Send(Object& object, std::uint32_t id, std::uint32_t pool, std::int32_t count) {
    struct {
      std::uint32_t pool;
      std::int32_t count;
    } block{pool, count};
    object.ExecuteCommand(id, &block);
  }
  static std::int32_t Get(Object& object, std::uint32_t pool) {
    struct {
      std::uint32_t pool;
      std::int32_t count;
    } block{pool, 77};
    object.ExecuteCommand(kGetCount, &block);
    return static_cast<std::int32_t>(block.pool);
  }

  RaisedEvents events;
};

TEST_F(AmmunitionPoolTest, CommandsWorkByPoolNumberAndRaiseTheCountersEvent) {
  AmmunitionPool& pool = MakePool();
  Send(pool, kSetCount, 3, 10);
  Send(pool, kAddCount, 3, -100);  // never below 0
  EXPECT_EQ(Get(pool, 3), 0);
  Send(pool, kAddCount, 32, 7);
  EXPECT_EQ(pool.GetCount(31), 7);
  EXPECT_EQ(events, (RaisedEvents{{kChange + 2, nullptr}, {kChange + 2, nullptr}, {kChange + 31, nullptr}}));
  events.clear();
  for (std::uint32_t outside : {0u, 33u, 40u, 0x80000000u, 0xFFFFFFFFu}) {
    Send(pool, kSetCount, outside, 5);
    Send(pool, kAddCount, outside, 5);
    EXPECT_EQ(Get(pool, outside), 0) << outside;
  }
  EXPECT_TRUE(events.empty());
}

TEST_F(AmmunitionPoolTest, TheCurrentCounterIsNoneUntilChosen) {
  AmmunitionPool& pool = MakePool();
  std::int32_t count = 9;
  pool.ExecuteCommand(kSetCurrentCount, &count);
  pool.ExecuteCommand(kGetCurrentCount, &count);
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(events.empty());
  std::int32_t current = 4;
  pool.ExecuteCommand(kSetCurrent, &current);
  count = 9;
  pool.ExecuteCommand(kSetCurrentCount, &count);
  EXPECT_EQ(pool.GetCount(4), 9);
  EXPECT_EQ(events, (RaisedEvents{{kChange + 4, nullptr}}));
}

TEST_F(AmmunitionPoolTest, TakingGivesWhatThereIsWithoutAnEvent) {
  AmmunitionPool& pool = MakePool();
  pool.SetCount(0, 5);
  events.clear();
  EXPECT_EQ(pool.Take(0, 7), 5);
  EXPECT_EQ(pool.GetCount(0), 0);
  pool.SetCount(1, 10);
  EXPECT_EQ(pool.Take(1, 4), 4);
  EXPECT_EQ(pool.GetCount(1), 6);
  EXPECT_EQ(pool.Take(1, -3), 0);
  EXPECT_EQ(pool.Take(32, 1), 0);
  EXPECT_EQ(events, (RaisedEvents{{kChange + 1, nullptr}}));
}

TEST_F(AmmunitionPoolTest, CountersSaturateInsteadOfWrapping) {
  AmmunitionPool& pool = MakePool();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  Send(pool, kSetCount, 1, kMax - 1);
  Send(pool, kAddCount, 1, kMax);
  EXPECT_EQ(pool.GetCount(0), kMax);
  Send(pool, kAddCount, 1, std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(pool.GetCount(0), 0);
  Send(pool, kSetCount, 1, -4);
  EXPECT_EQ(pool.GetCount(0), 0);
}

TEST_F(AmmunitionPoolTest, TheRecordKeepsTheCountersButNotTheCurrentOne) {
  AmmunitionPool& pool = MakePool();
  pool.SetCount(0, 12);
  pool.SetCount(31, 3);
  std::int32_t current = 0;
  pool.ExecuteCommand(kSetCurrent, &current);
  const auto bytes = SaveRecord(pool);
  auto loaded = LoadRecord<AmmunitionPool>(kClassAmmunitionPool, bytes);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetCount(0), 12);
  EXPECT_EQ(loaded->GetCount(31), 3);
  std::int32_t read = 5;
  loaded->ExecuteCommand(14001, &read);
  EXPECT_EQ(read, -1);
  EXPECT_EQ(SaveRecord(*loaded), bytes);
  std::vector<std::uint8_t> cut(bytes.begin(), bytes.end() - 8);
  EXPECT_EQ(LoadRecord<AmmunitionPool>(kClassAmmunitionPool, cut), nullptr);
}

}  // namespace
}  // namespace tge::test

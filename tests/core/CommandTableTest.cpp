#include "core/CommandTable.h"

#include <gtest/gtest.h>

#include "core/Object.h"

namespace tge {
namespace {

// A type with its commands in one table, dispatched through it.
class Counter : public Object {
 public:
  static constexpr int kClassId = 70;
  static const CommandEntry<Counter> kCommands[];

  Counter() : Object(kClassId) {}

  int ExecuteCommand(std::uint32_t id, void* args) override;

  int SetStep(CommandArgs args) {
    step_ = args.Get<float>();
    return 1;
  }
  int GetStep(CommandArgs args) {
    args.Set(step_);
    return 1;
  }
  // Dword, Vector3 and Dword: the Vector3 and the last Dword sit unaligned
  // in a block that starts at an odd address.
  int AddMany(CommandArgs args) {
    const auto times = args.Get<std::uint32_t>(0);
    const auto delta = args.Get<Vector3>(4);
    const auto extra = args.Get<std::uint32_t>(16);
    total_ += static_cast<float>(times) * (delta.x + delta.y + delta.z) + static_cast<float>(extra);
    return 1;
  }

  float step_ = 0;
  float total_ = 0;
};

const CommandEntry<Counter> Counter::kCommands[] = {
    {17500, "CounterStep", CommandKind::kProperty, 0, {kValueFloat}, Member<&Counter::SetStep>, Member<&Counter::GetStep>},
    {17502, "CounterAddMany", CommandKind::kCommand, 0, {kValueDword, kValueVector3, kValueDword},
     Member<&Counter::AddMany>},
    {17503, "OnCounterFull", CommandKind::kEvent, 0, {}},
};

int Counter::ExecuteCommand(std::uint32_t id, void* args) {
  static const CommandHandlers<Counter> handlers(kClassId, {kCommands});
  if (const auto handler = handlers.Find(id, args)) return handler(*this, CommandArgs(args));
  return Object::ExecuteCommand(id, args);
}

TEST(CommandTable, RegistersEveryEntryFromTheTable) {
  CommandRegistry registry;
  ASSERT_TRUE(RegisterCommandTable<Counter>(registry, Counter::kClassId, Counter::kCommands));
  EXPECT_EQ(registry.FindCommand(17500)->name, "SetCounterStep");
  EXPECT_EQ(registry.FindCommand(17501)->name, "GetCounterStep");
  EXPECT_EQ(registry.FindCommand(17502)->argumentBytes, 20);
  EXPECT_EQ(registry.FindCommand(17502)->ArgumentOffset(2), 16u);
  EXPECT_EQ(registry.FindCommand(17503)->flags, kCommandEvent);
  EXPECT_EQ(registry.FindCommandId(Counter::kClassId, "GetCounterStep"), 17501);
}

TEST(CommandTable, DispatchesSetterGetterAndUnalignedArguments) {
  Counter counter;
  float step = 0.25f;
  EXPECT_EQ(counter.ExecuteCommand(17500, &step), 1);
  float read = 0;
  counter.ExecuteCommand(17501, &read);
  EXPECT_EQ(read, 0.25f);

  ArgumentBlock block;
  block.Push<std::uint8_t>(0).Push<std::uint32_t>(2).Push(Vector3{1, 2, 3}).Push<std::uint32_t>(5);
  counter.ExecuteCommand(17502, static_cast<std::uint8_t*>(block.Data()) + 1);
  EXPECT_EQ(counter.total_, 17.0f);
  // Ids the table does not answer reach the base handler.
  EXPECT_EQ(counter.ExecuteCommand(17503, nullptr), 1);
  EXPECT_EQ(counter.ExecuteCommand(4, nullptr), 1);
}

TEST(CommandArgs, Text128StopsAtTheFieldEnd) {
  ArgumentBlock block;
  block.PushText128(std::string(200, 'a')).Push<std::uint32_t>(7);
  CommandArgs args = block.Args();
  EXPECT_EQ(args.GetText128(), std::string(127, 'a'));
  EXPECT_EQ(args.Get<std::uint32_t>(128), 7u);
}

}  // namespace
}  // namespace tge

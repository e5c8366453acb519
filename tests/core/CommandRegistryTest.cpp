#include "core/CommandRegistry.h"

#include <gtest/gtest.h>

#include "core/ValueType.h"
#include "core/files/FileNameFromPath.h"

namespace tge {
namespace {

constexpr int kPointerBytes = static_cast<int>(sizeof(void*));

TEST(ValueTypeTable, PointerWideTypesAndTreePathSlot) {
  struct Row {
    int id;
    const char* name;
    int size;
    int slotSize;
    std::size_t components;
  };
  const Row rows[] = {
      {kValueInt, "Int", 4, 4, 1},
      {kValueString, "String", kPointerBytes, kPointerBytes, 1},
      {kValueVector3, "Vector3", 12, 12, 3},
      {kValueMatrix4, "Matrix4", 64, 64, 16},
      {kValuePointer, "Pointer", kPointerBytes, kPointerBytes, 1},
      {kValuePlane, "Plane", 16, 16, 2},
      {kValueAABox, "AABox", 24, 24, 2},
      {kValueString128, "String128", 128, 128, 1},
      {kValueTreePath, "TreePath", 128, kPointerBytes, 1},
  };
  for (const Row& row : rows) {
    const ValueType* type = FindValueType(row.id);
    ASSERT_NE(type, nullptr) << row.name;
    EXPECT_EQ(type->name, row.name);
    EXPECT_EQ(type->size, row.size) << row.name;
    EXPECT_EQ(type->slotSize, row.slotSize) << row.name;
    EXPECT_EQ(type->components.size(), row.components) << row.name;
  }
  EXPECT_EQ(FindValueType(kValuePlane)->components, (std::vector<std::int32_t>{kValueVector3, kValueFloat}));
  EXPECT_EQ(FindValueType(0)->size, 0);
  EXPECT_EQ(FindValueType(-1), nullptr);
  EXPECT_EQ(FindValueType(kValueTypeCount), nullptr);
}

TEST(CommandRegistry, CommandWithoutArguments) {
  CommandRegistry registry;
  ASSERT_TRUE(registry.RegisterCommand(172, "Delete", 0, kCommandPlain, {}));
  const CommandRecord* record = registry.FindCommand(172);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->name, "Delete");
  EXPECT_EQ(record->argumentCount, 0);
  EXPECT_EQ(record->argumentBytes, 0);
  EXPECT_TRUE(record->argumentTypes.empty());
  EXPECT_EQ(registry.FindCommand(173), nullptr);
}

TEST(CommandRegistry, PropertyTakesTwoConsecutiveIds) {
  CommandRegistry registry;
  ASSERT_TRUE(registry.RegisterProperty(366, "CursorPosition", 1, 0, kValueVector3));
  const CommandRecord* setter = registry.FindCommand(366);
  const CommandRecord* getter = registry.FindCommand(367);
  ASSERT_NE(setter, nullptr);
  ASSERT_NE(getter, nullptr);
  EXPECT_EQ(setter->name, "SetCursorPosition");
  EXPECT_EQ(setter->flags, kCommandSetter);
  EXPECT_EQ(getter->name, "GetCursorPosition");
  EXPECT_EQ(getter->flags, kCommandGetter);
  for (const CommandRecord* record : {setter, getter}) {
    EXPECT_EQ(record->owner, 1);
    EXPECT_EQ(record->argumentCount, 1);
    EXPECT_EQ(record->argumentTypes, std::vector<std::int32_t>{kValueVector3});
    EXPECT_EQ(record->argumentBytes, 12);
  }
}

// The registered bytes count the path text; the block carries a pointer,
// so the Dword after it starts one pointer in.
TEST(CommandRegistry, TreePathAndDwordArgumentBytes) {
  CommandRegistry registry;
  const std::int32_t types[] = {kValueTreePath, kValueDword};
  ASSERT_TRUE(registry.RegisterCommand(260, "CreateGlobalHitEffect", 1, 0, types));
  const CommandRecord* record = registry.FindCommand(260);
  EXPECT_EQ(record->argumentBytes, 132);
  EXPECT_EQ(record->blockBytes, kPointerBytes + 4);
  EXPECT_EQ(record->ArgumentOffset(1), sizeof(void*));
  EXPECT_GE(record->argumentBytes, record->blockBytes);
}

TEST(CommandRegistry, EventAddsEventFlag) {
  CommandRegistry registry;
  ASSERT_TRUE(registry.RegisterEvent(211, "OnPrecalculate", 0, 16, {}));
  EXPECT_EQ(registry.FindCommand(211)->flags, kCommandEvent | 16);
}

TEST(CommandRegistry, RefusesIdsAndTypesOutsideTheTables) {
  CommandRegistry registry;
  const std::int32_t badType[] = {kValueTypeCount};
  const std::int32_t noneType[] = {kValueNone};
  EXPECT_FALSE(registry.RegisterCommand(-1, "Below", 0, 0, {}));
  EXPECT_FALSE(registry.RegisterCommand(kCommandIdCount, "Above", 0, 0, {}));
  EXPECT_FALSE(registry.RegisterProperty(kCommandIdCount - 1, "Split", 0, 0, kValueInt));
  EXPECT_FALSE(registry.RegisterCommand(5, "BadType", 0, 0, badType));
  EXPECT_FALSE(registry.RegisterCommand(5, "NoType", 0, 0, noneType));
  EXPECT_EQ(registry.FindCommand(5), nullptr);
  EXPECT_EQ(registry.FindCommand(-1), nullptr);
  EXPECT_EQ(registry.FindCommand(kCommandIdCount), nullptr);
  EXPECT_EQ(registry.FindCommandId(0, "Split"), -1);
}

TEST(CommandRegistry, SecondRegistrationReplacesTheFirst) {
  CommandRegistry registry;
  registry.RegisterCommand(30, "Old", 0, 0, {});
  registry.RegisterCommand(30, "New", 0, 0, {});
  EXPECT_EQ(registry.FindCommand(30)->name, "New");
  EXPECT_EQ(registry.FindCommandId(0, "Old"), -1);
  EXPECT_EQ(registry.FindCommandId(0, "New"), 30);
}

class FindCommandIdOrder : public ::testing::Test {
 protected:
  void SetUp() override {
    // "Shared" in the base block and in class 2's block; "Own" in classes 3
    // and 2; "Far" only in class 40's block, and "Twice" twice in the base.
    registry_.RegisterCommand(100, "Shared", 0, 0, {});
    registry_.RegisterCommand(2 * 250 + 7, "Shared", 2, 0, {});
    registry_.RegisterCommand(3 * 250 + 1, "Own", 3, 0, {});
    registry_.RegisterCommand(2 * 250 + 9, "Own", 2, 0, {});
    registry_.RegisterCommand(40 * 250 + 5, "Far", 40, 0, {});
    registry_.RegisterCommand(90, "Twice", 0, 0, {});
    registry_.RegisterCommand(20, "Twice", 0, 0, {});
  }
  CommandRegistry registry_;
};

TEST_F(FindCommandIdOrder, OwnBlockThenBaseThenLowestAnywhere) {
  struct Case {
    int classId;
    const char* name;
    int expected;
  };
  const Case cases[] = {
      {2, "Shared", 507},  {0, "Shared", 100}, {5, "Shared", 100}, {2, "Own", 509},
      {3, "Own", 751},     {7, "Own", 509},    {2, "Far", 10005},  {0, "Twice", 20},
      {2, "shared", -1},   {2, "Missing", -1}, {2, "", -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(registry_.FindCommandId(c.classId, c.name), c.expected) << c.classId << ' ' << c.name;
  }
}

TEST(CommandRegistry, ProgramRegistryIsBuiltOnFirstUseAndFreed) {
  FreeCommandRegistry();
  EXPECT_EQ(FindCommand(1), nullptr);
  EXPECT_EQ(FindCommandId(nullptr, "SetName"), -1);
  ASSERT_TRUE(RegisterProperty(1, "Name", 0, 0, kValueString));
  EXPECT_EQ(FindCommandId(nullptr, "GetName"), 2);
  EXPECT_NE(BuildCommandRegistry().Dump().find("1 owner 0 flags 2 SetName(String)"), std::string::npos);
  FreeCommandRegistry();
  EXPECT_EQ(FindCommand(1), nullptr);
}

TEST(FileNameFromPath, TailAfterTheLastSeparator) {
  struct Case {
    std::string path;
    std::string expected;
  };
  const std::string longTail(300, 'x');
  const Case cases[] = {
      {"Data\\Library.sli", "Library.sli"},
      {"C:\\game\\Data\\Library.sli", "Library.sli"},
      {"data/sub/file.txt", "file.txt"},
      {"mixed/a\\b.dat", "b.dat"},
      {"name", "name"},
      {"", ""},
      {"ends\\", ""},
      {"dir/" + longTail, std::string(254, 'x')},
  };
  for (const Case& c : cases) EXPECT_EQ(GetFileNameFromPath(c.path), c.expected) << c.path;
  const std::string first = GetFileNameFromPath("a/first");
  GetFileNameFromPath("a/second");
  EXPECT_EQ(first, "first");
}

}  // namespace
}  // namespace tge

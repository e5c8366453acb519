#include "core/files/NameHashTable.h"

#include <gtest/gtest.h>

namespace tge {
namespace {

// Two names the archive's hash cannot tell apart.
constexpr const char* kCollidingA = "ipigcnu.dat";
constexpr const char* kCollidingB = "mgbclui.dat";

TEST(NameHashTable, HashesBytesAsSignedWithWrapAround) {
  EXPECT_EQ(NameHashTable::Hash(""), 0u);
  EXPECT_EQ(NameHashTable::Hash("ab"), 97u * 65599u + 98u);
  EXPECT_EQ(NameHashTable::Hash("\xE9"), 0xFFFFFFE9u);
  EXPECT_EQ(NameHashTable::Hash(kCollidingA), NameHashTable::Hash(kCollidingB));
}

TEST(NameHashTable, KeysThatHashAlikeStayApart) {
  NameHashTable table(16);
  table.Insert(kCollidingA, 1);
  EXPECT_EQ(table.Find(kCollidingB), -1);
  table.Insert(kCollidingB, 2);
  EXPECT_EQ(table.Find(kCollidingA), 1);
  EXPECT_EQ(table.Find(kCollidingB), 2);
}

TEST(NameHashTable, LaterInsertOfAKeyReplacesItsValue) {
  NameHashTable table(4, -7);
  table.Insert("a\\b", 1);
  table.Insert("a\\b", 5);
  EXPECT_EQ(table.Size(), 1u);
  EXPECT_EQ(table.Find("a\\b"), 5);
  EXPECT_EQ(table.Find("a/b"), -7);
}

TEST(NameHashTable, FindsEveryKeyWithManyPerBucket) {
  NameHashTable table(3);  // rounded up to 4 buckets
  for (int i = 0; i < 1000; ++i) table.Insert("key" + std::to_string(i), i);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(table.Find("key" + std::to_string(i)), i);
  table.Clear();
  EXPECT_EQ(table.Find("key1"), -1);
}

}  // namespace
}  // namespace tge

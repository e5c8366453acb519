#include "services/TextDatabase.h"

#include <gtest/gtest.h>

#include "tests/services/TestBytes.h"

namespace tge {
namespace {

using test::Bytes;

int Read(TextDatabase& db, const Bytes& bytes) { return db.ReadMemory(bytes.data.data(), bytes.data.size()); }

Bytes& Node(Bytes& bytes, std::int32_t parent, std::int32_t value, const std::string& name, const std::string& text) {
  return bytes.I32(parent).I32(value).Str(name).Str(text);
}

TEST(TextDatabase, BuildsTheTreeAndFindsTheFirstNodeByExactName) {
  Bytes file;
  file.U32(3).U32(9).U32(1250).U32(4);
  Node(file, 2, 10, "Menu\\Start", "Start game");  // forward reference
  Node(file, -1, 11, "Dup", "first");
  Node(file, -1, 12, "Menu", "");
  Node(file, 1, 13, "Dup", "second");
  TextDatabase db;
  ASSERT_EQ(Read(db, file), 1);
  EXPECT_EQ(db.GetNodeCount(), 4u);
  EXPECT_EQ(db.GetFormat(), 9u);
  EXPECT_EQ(db.GetCodePage(), 1250u);
  const TextNode* start = db.FindNode("Menu\\Start");
  ASSERT_NE(start, nullptr);
  EXPECT_EQ(start->GetText(), "Start game");
  EXPECT_EQ(start->GetValue(), 10);
  EXPECT_EQ(start->GetParent(), db.FindNode("Menu"));
  EXPECT_EQ(db.FindNode("Dup")->GetText(), "first");
  EXPECT_EQ(db.FindNode("Dup")->GetChildren().size(), 1u);
  EXPECT_EQ(db.FindNode("menu\\start"), nullptr);
  EXPECT_EQ(db.FindNode("Word Tessary"), nullptr);
  EXPECT_EQ(db.GetRoot().GetChildren().size(), 2u);
  EXPECT_EQ(db.GetRoot().GetName(), "Word Tessary");
}

TEST(TextDatabase, OldVersionsLackTheirFields) {
  Bytes v1;
  v1.U32(1).U32(1);
  Node(v1, -1, 5, "A", "a");
  TextDatabase db;
  ASSERT_EQ(Read(db, v1), 1);
  EXPECT_EQ(db.GetCodePage(), TextDatabase::kDefaultCodePage);
  EXPECT_EQ(db.GetFormat(), 0u);
  EXPECT_EQ(db.FindNode("A")->GetText(), "a");
  ASSERT_EQ(Read(db, Bytes().U32(0)), 1);
  EXPECT_EQ(db.GetNodeCount(), 0u);
  EXPECT_EQ(db.FindNode("A"), nullptr);
  EXPECT_TRUE(db.GetRoot().GetChildren().empty());
}

TEST(TextDatabase, BadFilesAreRefusedAndTheOldTreeKept) {
  Bytes good;
  good.U32(1).U32(1);
  Node(good, -1, 0, "Keep", "kept");
  Bytes outOfRange;
  outOfRange.U32(1).U32(1);
  Node(outOfRange, 1, 0, "A", "");
  Bytes cycle;
  cycle.U32(1).U32(2);
  Node(cycle, 1, 0, "A", "");
  Node(cycle, 0, 0, "B", "");
  Bytes selfParent;
  selfParent.U32(1).U32(1);
  Node(selfParent, 0, 0, "A", "");
  Bytes truncated;
  truncated.U32(1).U32(1).I32(-1).I32(0).U32(50);
  const std::vector<Bytes> cases = {outOfRange, cycle, selfParent, truncated, Bytes().U32(1).U32(1000000),
                                    Bytes().U32(3)};
  TextDatabase db;
  ASSERT_EQ(Read(db, good), 1);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(Read(db, cases[i]), 0) << i;
    ASSERT_NE(db.FindNode("Keep"), nullptr) << i;
    EXPECT_EQ(db.GetRoot().GetChildren().size(), 1u) << i;
  }
  EXPECT_EQ(db.Read("no/such/file.qbw"), 0);
}

}  // namespace
}  // namespace tge

#include <gtest/gtest.h>

#include "core/Object.h"
#include "core/ObjectRef.h"
#include "tests/core/ObjectTestTypes.h"

namespace tge {
namespace {

using test::Named;

Space* FakeSpace(int& storage) { return reinterpret_cast<Space*>(&storage); }

// root
//   a (class 2)
//     x (class 3)
//   x (class 2)
//     b (class 5)
class ObjectTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = Named("root");
    a_ = root_->AddChild(Named("a", 2));
    grandchild_ = a_->AddChild(Named("x", 3));
    secondX_ = root_->AddChild(Named("x", 2));
    b_ = secondX_->AddChild(Named("b", 5));
  }

  std::unique_ptr<Object> root_;
  Object* a_ = nullptr;
  Object* grandchild_ = nullptr;
  Object* secondX_ = nullptr;
  Object* b_ = nullptr;
};

TEST_F(ObjectTreeTest, FindChildByNameIsDepthFirstPreOrder) {
  EXPECT_EQ(root_->FindChildByName("x"), grandchild_);
  EXPECT_EQ(root_->FindChildByName("x", 2), secondX_);
  EXPECT_EQ(root_->FindChildByName("X"), nullptr);
  EXPECT_EQ(root_->FindChildByName("root"), nullptr);
  EXPECT_EQ(root_->FindChildByClass(5), b_);
  EXPECT_EQ(root_->FindChildByClass(0), nullptr);
}

TEST_F(ObjectTreeTest, CollectSkipsDeletingSubtreesAndStopsBelowStopClass) {
  std::vector<Object*> all;
  root_->CollectDescendants(all, -1, -1);
  EXPECT_EQ(all, (std::vector<Object*>{a_, grandchild_, secondX_, b_}));

  std::vector<Object*> stopped;
  root_->CollectDescendants(stopped, -1, 2);
  EXPECT_EQ(stopped, (std::vector<Object*>{a_, secondX_}));

  a_->SetFlag(kFlagDeleting, true);
  std::vector<Object*> byClass;
  const int classes[] = {2, 3, 5};
  root_->CollectDescendantsByClass(byClass, classes, -1);
  EXPECT_EQ(byClass, (std::vector<Object*>{secondX_, b_}));
}

TEST_F(ObjectTreeTest, TreePathLeavesOutTheRoot) {
  EXPECT_EQ(b_->GetTreePath(), "/x/b");
  EXPECT_EQ(root_->GetTreePath(), "");
}

TEST_F(ObjectTreeTest, AddChildMovesBetweenParentsAndTakesTheSpace) {
  int spaceStorage = 0;
  a_->SetSpace(FakeSpace(spaceStorage));
  ASSERT_TRUE(a_->AddChild(*b_));
  EXPECT_EQ(b_->GetParent(), a_);
  EXPECT_EQ(a_->GetChild(1), b_);
  EXPECT_EQ(b_->GetSpace(), FakeSpace(spaceStorage));
  EXPECT_EQ(secondX_->GetChildCount(), 0);
  EXPECT_EQ(a_->GetChild(2), nullptr);
  EXPECT_EQ(a_->GetChild(-1), nullptr);
}

TEST_F(ObjectTreeTest, AddChildRefusesCycles) {
  EXPECT_FALSE(grandchild_->AddChild(*a_));
  EXPECT_FALSE(a_->AddChild(*a_));
  EXPECT_EQ(a_->GetParent(), root_.get());
  // The root handed to its own descendant stays with the caller.
  EXPECT_EQ(b_->AddChild(std::move(root_)), nullptr);
  ASSERT_NE(root_, nullptr);
  EXPECT_EQ(root_->GetChildCount(), 2);
}

TEST(ObjectTree, DestroyObjectTreeDestroysChildrenFirstInOrder) {
  const int before = Object::GetLiveObjectCount();
  std::vector<std::string> destroyed;
  {
    auto root = Named("root", 0, &destroyed);
    Object* a = root->AddChild(Named("a", 0, &destroyed));
    a->AddChild(Named("a1", 0, &destroyed));
    root->AddChild(Named("b", 0, &destroyed));
    EXPECT_EQ(Object::GetLiveObjectCount(), before + 4);
    DestroyObjectTree(std::move(root));
  }
  EXPECT_EQ(destroyed, (std::vector<std::string>{"a1", "a", "b", "root"}));
  EXPECT_EQ(Object::GetLiveObjectCount(), before);
}

TEST(ObjectRef, ReadsNullOnceTheObjectIsGone) {
  auto root = Named("root");
  Object* child = root->AddChild(Named("child"));
  ObjectRef<> toChild(child);
  ObjectRef<> toRoot(root.get());
  ObjectRef<> copyOfRef = toChild;
  EXPECT_EQ(toChild.Get(), child);
  DestroyObjectTree(root->DetachChild(*child));
  EXPECT_EQ(toChild.Get(), nullptr);
  EXPECT_EQ(copyOfRef.Get(), nullptr);
  EXPECT_FALSE(toChild);
  EXPECT_EQ(toRoot.Get(), root.get());
  root.reset();
  EXPECT_EQ(toRoot.Get(), nullptr);
  EXPECT_EQ(ObjectRef<>().Get(), nullptr);
}

TEST(ScheduleLinks, OwnerLinksIntoAListAndUnlinksWhenDestroyed) {
  ScheduleLink head;
  auto owner = Named("owner");
  ScheduleLink* call = owner->AddScheduleLink(head, kScheduledCallHeaderBytes + 12, 2);
  ScheduleLink* update = owner->AddScheduleLink(head, 0, 16);
  EXPECT_EQ(head.next, update);
  EXPECT_EQ(update->next, call);
  EXPECT_EQ(call->prev, update);
  ASSERT_NE(call->payload, nullptr);
  EXPECT_EQ(call->payload->argumentBytes.size(), 12u);
  EXPECT_EQ(update->payload, nullptr);
  EXPECT_EQ(owner->GetScheduleLinkCount(), 2);
  EXPECT_EQ(owner->GetScheduleLink(2), nullptr);

  owner->RemoveScheduleLink(update);
  EXPECT_EQ(head.next, call);
  EXPECT_EQ(call->prev, &head);
  EXPECT_EQ(owner->GetScheduleLinkCount(), 1);
  owner.reset();
  EXPECT_EQ(head.next, nullptr);
}

TEST(ObjectDelete, PoolLinkHandsTheObjectBackToThePool) {
  auto pool = std::make_unique<test::Recorder>(32);
  ScheduleLink poolList;
  poolList.owner = pool.get();
  auto clone = Named("clone");
  clone->AddScheduleLink(poolList, 0, 8);
  clone->SetFlag(kFlagKilled, true);
  EXPECT_TRUE(clone->Delete(true));
  ASSERT_EQ(pool->received.size(), 1u);
  EXPECT_EQ(pool->received[0].id, 180u);
  EXPECT_EQ(pool->received[0].args, clone.get());
  EXPECT_FALSE(clone->HasFlag(kFlagKilled));
  EXPECT_FALSE(clone->HasFlag(kFlagDeleting));
}

TEST(ObjectDelete, NothingIsMarkedWithoutAnEngineToTakeTheObject) {
  auto object = Named("lonely");
  EXPECT_FALSE(object->Delete(true));
  EXPECT_FALSE(object->HasFlag(kFlagDeleting));
}

}  // namespace
}  // namespace tge

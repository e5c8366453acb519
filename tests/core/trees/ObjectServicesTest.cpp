#include <gtest/gtest.h>

#include "core/BaseCommandIds.h"
#include "core/ObjectFactory.h"
#include "tests/core/ObjectTestTypes.h"
#include "tests/core/WorldTestUtil.h"

namespace tge::test {
namespace {

using ObjectServicesTest = WorldTest;

bool Received(const Probe& probe, int id) {
  for (const ProbeCall& call : probe.calls) {
    if (call.id == id) return true;
  }
  return false;
}

// Logs the internal tree messages a parent gets.
class Parent : public Probe {
 public:
  int ExecuteCommand(std::uint32_t id, void* args) override {
    if (id == kCommandChildDeleted || id == kCommandChildMoved || id == kCommandChildAdded) messages.push_back(id);
    return Probe::ExecuteCommand(id, args);
  }
  std::vector<std::uint32_t> messages;
};

TEST_F(ObjectServicesTest, ADeferredDeletionIsQueuedOnceAndWaitsForTheFrameStep) {
  Probe& probe = AddProbe();
  EXPECT_TRUE(probe.Delete(true));
  EXPECT_FALSE(probe.Delete(true)) << "already being deleted";
  services.DeleteObject(probe, true);
  EXPECT_EQ(services.GetPendingDeletionCount(), 1);
  EXPECT_EQ(world->GetChildCount(), 1);
  services.DeletePendingObjects();
  EXPECT_EQ(world->GetChildCount(), 0);
}

TEST_F(ObjectServicesTest, QueuedObjectsInsideADestroyedSubtreeAreDropped) {
  Probe& parent = AddProbe("parent");
  Probe& child = AddProbe(parent, "child");
  Probe& grandchild = AddProbe(child, "grandchild");
  grandchild.Delete(true);
  parent.Delete(true);
  child.Delete(true);
  const int before = Object::GetLiveObjectCount();
  services.DeletePendingObjects();
  EXPECT_EQ(Object::GetLiveObjectCount(), before - 3);
  EXPECT_EQ(world->GetChildCount(), 0);
}

TEST_F(ObjectServicesTest, DeletionsQueuedWhileTheQueueIsWorkedWaitAFrame) {
  auto parent = std::make_unique<Parent>();
  parent->SetWorld(world.get());
  Parent& killed = static_cast<Parent&>(*world->AddChild(std::move(parent)));
  Probe& child = AddProbe(killed, "last child");
  killed.SetFlag(kFlagKilled, true);
  child.Delete(true);
  services.DeletePendingObjects();
  EXPECT_EQ(killed.messages, (std::vector<std::uint32_t>{kCommandChildDeleted}));
  EXPECT_EQ(world->GetChildCount(), 1) << "the killed parent goes at the next frame step";
  EXPECT_EQ(services.GetPendingDeletionCount(), 1);
  services.DeletePendingObjects();
  EXPECT_EQ(world->GetChildCount(), 0);
}

TEST_F(ObjectServicesTest, TheGlobalAccessListHoldsAnObjectOnceAndForgetsItWhenItGoes) {
  Probe& first = AddProbe("shared");
  Probe& second = AddProbe("shared");
  std::int32_t on = 1;
  second.ExecuteCommand(170, &on);
  first.ExecuteCommand(170, &on);
  first.ExecuteCommand(170, &on);
  services.AddGlobalAccessObject(second);
  EXPECT_EQ(services.FindGlobalAccessObject("shared"), &second);
  second.Delete(false);
  EXPECT_EQ(services.FindGlobalAccessObject("shared"), &first);
  std::int32_t off = 0;
  first.ExecuteCommand(170, &off);
  EXPECT_EQ(services.FindGlobalAccessObject("shared"), nullptr);
  EXPECT_EQ(services.FindGlobalAccessObject("Shared"), nullptr);
}

TEST_F(ObjectServicesTest, ACloneCopiesTheSubtreeIntoTheParentsWorld) {
  Probe& source = AddProbe("source");
  source.SetActive(false);
  AddProbe(source, "a");
  AddProbe(AddProbe(source, "b"), "c");
  World other;
  Object* target = CreateObject(kClassObject, nullptr, other, "target");
  Object* clone = services.CloneObject(source, *target, true, false, false);
  ASSERT_NE(clone, nullptr);
  EXPECT_TRUE(clone->GetActive());
  EXPECT_EQ(clone->GetTreePath(), "/target/source");
  ASSERT_EQ(clone->GetChildCount(), 2);
  Object* c = clone->FindChildByName("c");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->GetWorld(), &other);
  EXPECT_EQ(source.GetChildCount(), 2) << "the source is untouched";
}

TEST_F(ObjectServicesTest, CopyAndMoveIntoTheObjectsOwnSubtreeAreRefused) {
  Probe& source = AddProbe("source");
  Probe& inside = AddProbe(source, "inside");
  Object* ownTree = &inside;
  source.ExecuteCommand(173, &ownTree);
  source.ExecuteCommand(174, &ownTree);
  EXPECT_EQ(source.GetChildCount(), 1);
  EXPECT_EQ(inside.GetChildCount(), 0);
  EXPECT_EQ(source.GetParent(), world.get());
  Object* self = &source;
  source.ExecuteCommand(173, &self);
  EXPECT_EQ(source.GetChildCount(), 1);
}

TEST_F(ObjectServicesTest, MovingUnderAnotherWorldUpdatesTheWholeSubtree) {
  auto oldParent = std::make_unique<Parent>();
  auto newParent = std::make_unique<Parent>();
  World other;
  newParent->SetWorld(&other);
  Parent& from = static_cast<Parent&>(*world->AddChild(std::move(oldParent)));
  Parent& to = static_cast<Parent&>(*other.AddChild(std::move(newParent)));
  from.SetWorld(world.get());
  Probe& moving = AddProbe(from, "moving");
  Probe& below = AddProbe(moving, "below");
  Object* target = &to;
  moving.ExecuteCommand(174, &target);
  EXPECT_EQ(moving.GetParent(), &to);
  EXPECT_EQ(below.GetWorld(), &other);
  EXPECT_EQ(from.messages, (std::vector<std::uint32_t>{kCommandChildMoved}));
  EXPECT_EQ(to.messages, (std::vector<std::uint32_t>{kCommandChildAdded}));
  EXPECT_FALSE(Received(moving, kProbeNone));
}

TEST_F(ObjectServicesTest, MovingUnderAnotherWorldCarriesTheUpdateRegistration) {
  World other;
  Probe& holder = AddProbe(other, "holder");
  Probe& moving = AddProbe("moving");
  Probe& below = AddProbe(moving, "below");
  moving.EnableUpdate();
  below.EnableUpdate();
  Object* target = &holder;
  moving.ExecuteCommand(174, &target);
  Tick(0.1);
  EXPECT_EQ(moving.updates, 0);
  EXPECT_EQ(below.updates, 0);
  other.WorldTick();
  EXPECT_EQ(moving.updates, 1);
  EXPECT_EQ(below.updates, 1);
}

TEST_F(ObjectServicesTest, DeletingAtOnceDestroysChildrenFirstAndTellsTheParent) {
  std::vector<std::string> destroyed;
  auto parent = std::make_unique<Parent>();
  Parent& holder = static_cast<Parent&>(*world->AddChild(std::move(parent)));
  Object* doomed = holder.AddChild(test::Named("doomed", 0, &destroyed));
  doomed->AddChild(test::Named("first", 0, &destroyed));
  doomed->AddChild(test::Named("second", 0, &destroyed));
  services.DeleteObject(*doomed, false);
  EXPECT_EQ(destroyed, (std::vector<std::string>{"first", "second", "doomed"}));
  EXPECT_EQ(holder.messages, (std::vector<std::uint32_t>{kCommandChildDeleted}));
}

}  // namespace
}  // namespace tge::test

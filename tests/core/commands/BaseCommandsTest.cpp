#include <gtest/gtest.h>

#include "core/BaseCommandIds.h"
#include "core/ObjectFactory.h"
#include "core/script/ScriptInterpreter.h"
#include "tests/core/WorldTestUtil.h"

namespace tge::test {
namespace {

using BaseCommandsTest = WorldTest;

void SetFloat(Object& object, std::uint32_t id, float value) { object.ExecuteCommand(id, &value); }

ArgumentBlock Text(const std::string& first, const std::string& second = {}) {
  ArgumentBlock block;
  block.PushText128(first).PushText128(second);
  return block;
}

TEST_F(BaseCommandsTest, TheTableRegistersNamesKindsAndInternalIdsStayUnnamed) {
  struct Case {
    int id;
    const char* name;
    int flags;
  };
  const Case cases[] = {
      {4, "SetActive", kCommandSetter},          {5, "GetActive", kCommandGetter},
      {3, "SetNameSZ", kCommandSetter | 16},     {57, "SetActionStartDelay", kCommandSetter},
      {75, "ActionStart", kCommandEvent},        {104, "GetActionStarted", kCommandGetter},
      {172, "Delete", kCommandPlain},            {223, "OnSpawnObject", kCommandEvent},
      {14273, "StopWorld", kCommandPlain},       {14271, "GetWorldTimeMul", kCommandGetter},
      {2259, "SetDeleteObjectsNextFrame", kCommandSetter},
  };
  for (const Case& c : cases) {
    const CommandRecord* record = FindCommand(c.id);
    ASSERT_NE(record, nullptr) << c.id;
    EXPECT_EQ(record->name, c.name);
    EXPECT_EQ(record->flags, c.flags) << c.name;
  }
  for (int internal : {11, 12, 100, 161, 175, 178, 179, 185, 196, 197}) EXPECT_EQ(FindCommand(internal), nullptr);
  EXPECT_EQ(FindCommand(54)->blockBytes, 4 + static_cast<int>(sizeof(void*)) + 12 + 16 + 12 + 4);
}

TEST_F(BaseCommandsTest, CommandsThatReadABlockIgnoreAMissingOne) {
  Probe& probe = AddProbe();
  for (std::uint32_t id = 1; id < 250; ++id) {
    if (id == 172 || id == 83 || id == 81 || id == 82) continue;
    EXPECT_EQ(probe.ExecuteCommand(id, nullptr), 1) << id;
  }
}

TEST_F(BaseCommandsTest, SingleComponentSettersKeepTheOtherComponents) {
  Probe& probe = AddProbe();
  probe.SetInheritOrientation(false);
  probe.SetPosition({1, 2, 3}, true);
  SetFloat(probe, 32, 5);
  SetFloat(probe, 30, 4);
  EXPECT_EQ(probe.GetPosition().x, 1);
  EXPECT_EQ(probe.GetPosition().y, 5);
  EXPECT_EQ(probe.GetPosition().z, 3);
  EXPECT_EQ(probe.GetScale().z, 4);
  EXPECT_EQ(probe.GetScale().x, 1);
  SetFloat(probe, 35, 0.5f);
  Quaternion rotation;
  probe.ExecuteCommand(22, &rotation);
  EXPECT_NEAR(rotation.y, std::sin(0.25f), 1e-5f);
  EXPECT_NEAR(rotation.w, std::cos(0.25f), 1e-5f);
}

TEST_F(BaseCommandsTest, AlignChildTransformSpacesOnlyStartedChildren) {
  Probe& parent = AddProbe("parent");
  Probe* children[3] = {&AddProbe(parent, "a"), &AddProbe(parent, "b"), &AddProbe(parent, "c")};
  for (Probe* child : children) {
    child->SetInheritOrientation(false);
    child->SetPosition({1, 7, 1}, true);
  }
  children[1]->SetFlag(kFlagActionStarted, false);
  SetFloat(parent, 38, 2);
  EXPECT_EQ(children[0]->GetPosition().y, 0);
  EXPECT_EQ(children[1]->GetPosition().y, 7);
  EXPECT_EQ(children[2]->GetPosition().y, 2);
  EXPECT_EQ(children[2]->GetPosition().x, 1);
}

TEST_F(BaseCommandsTest, CreateObjectMatchesWholeScriptClassNames) {
  Probe& parent = AddProbe();
  parent.ExecuteCommand(183, Text("FX_CLSID_SA_BASEX", "none").Data());
  EXPECT_EQ(parent.GetChildCount(), 0);
  parent.ExecuteCommand(183, Text("FX_CLSID_SA_BASE", "made").Data());
  ASSERT_EQ(parent.GetChildCount(), 1);
  EXPECT_EQ(parent.GetChild(0)->GetName(), "made");
  EXPECT_EQ(parent.GetChild(0)->GetWorld(), world.get());

  ArgumentBlock find = Text("made");
  parent.ExecuteCommand(184, find.Data());
  EXPECT_EQ(find.Args().Get<std::uint32_t>(), 1u);
  ArgumentBlock self = Text("probe");
  parent.ExecuteCommand(184, self.Data());
  EXPECT_EQ(self.Args().Get<std::uint32_t>(), 0u) << "the object itself is not searched";
}

TEST_F(BaseCommandsTest, TimerAndRecursiveCommandsSendNamedCommands) {
  Probe& parent = AddProbe("parent");
  Probe& child = AddProbe(parent, "child");
  ArgumentBlock timer;
  timer.PushText128("ProbeNone").Push(0.15f);
  parent.ExecuteCommand(181, timer.Data());
  parent.ExecuteCommand(182, Text("ProbeNone").Data());
  parent.ExecuteCommand(182, Text("NoSuchCommand").Data());
  EXPECT_EQ(parent.CountCalls(kProbeNone), 1);
  EXPECT_EQ(child.CountCalls(kProbeNone), 1);
  Tick(0.1);
  Tick(0.1);
  EXPECT_EQ(parent.CountCalls(kProbeNone), 2);
}

TEST_F(BaseCommandsTest, GameCommandsRaiseTheirEventAndPassDownWhileActive) {
  Probe& parent = AddProbe("parent");
  Probe& child = AddProbe(parent, "child");
  Probe& inactive = AddProbe(parent, "inactive");
  inactive.SetActive(false);
  parent.ExecuteCommand(190, nullptr);
  EXPECT_EQ(parent.events, (std::vector<int>{206}));
  EXPECT_EQ(child.events, (std::vector<int>{206}));
  EXPECT_TRUE(inactive.events.empty());
}

TEST_F(BaseCommandsTest, TheInternalTransformBlockRoundTrips) {
  Probe& probe = AddProbe();
  probe.SetInheritOrientation(false);
  ArgumentBlock set;
  set.Push<std::uint32_t>(48).Push<std::uint32_t>(0).Push(Vector3{1, 2, 3}).Push(Vector3{2, 2, 2}).Push(
      Quaternion{0, 0, 0.6f, 0.8f});
  probe.ExecuteCommand(196, set.Data());
  ArgumentBlock get;
  get.Push<std::uint32_t>(0).Push<std::uint32_t>(0).Push(Vector3{}).Push(Vector3{}).Push(Quaternion{});
  probe.ExecuteCommand(197, get.Data());
  EXPECT_EQ(get.Args().Get<std::uint32_t>(), 48u);
  EXPECT_EQ(get.Args().Get<Vector3>(8).z, 3);
  EXPECT_EQ(get.Args().Get<Vector3>(20).y, 2);
  EXPECT_EQ(get.Args().Get<Quaternion>(32).w, 0.8f);
}

TEST_F(BaseCommandsTest, GeometryCommandsEditTheCurrentGeometry) {
  Probe& probe = AddProbe();
  std::uint32_t box = kGeometryBox;
  probe.ExecuteCommand(125, &box);
  EXPECT_EQ(probe.GetPhysics(), nullptr) << "without a physics record nothing happens";
  probe.ExecuteCommand(121, nullptr);
  probe.ExecuteCommand(121, nullptr);
  probe.ExecuteCommand(125, &box);
  Vector3 dimension{-1, 2, 3};
  probe.ExecuteCommand(131, &dimension);
  std::uint32_t material = 0x12345;
  probe.ExecuteCommand(139, &material);
  std::vector<std::string> names;
  probe.ExecuteCommand(124, &names);
  EXPECT_EQ(names, (std::vector<std::string>{"Sphere", "Box"}));
  const GeometryRecord* current = probe.GetCurrentGeometry();
  EXPECT_EQ(current->dimension.x, 0) << "negative dimensions are clamped";
  EXPECT_EQ(current->info >> 16, 0x2345u);
  std::int32_t index = 5;
  probe.ExecuteCommand(123, &index);
  float mass = 0;
  probe.ExecuteCommand(144, &mass);
  EXPECT_EQ(mass, 1.0f) << "an index out of range reads the neutral mass";
  probe.ExecuteCommand(122, nullptr);
  EXPECT_EQ(probe.GetPhysics()->geometries.size(), 2u);
}

// A list to fill comes only from code: a script's number, a script's empty
// block and a posted call's copy leave the list getter undone.
TEST_F(BaseCommandsTest, ListGetterTakesNoBlockFromAScriptOrAPostedCall) {
  ASSERT_NE(FindCommand(124)->flags & kCommandObjectBlock, 0);
  Probe& probe = AddProbe();
  probe.ExecuteCommand(121, nullptr);
  RunScriptText(probe, "this.GetGeometryList(1); this.GetGeometryList();", nullptr);
  std::int32_t number = 1;
  world->DelayCommand(probe, 124, &number, 0, kScheduleGeneral);
  world->InterpolateCommand(probe, 124, nullptr, 1, 0, 1, kScheduleGeneral);
  Tick(0.5);
  Tick(0.5);
  std::vector<std::string> names;
  probe.ExecuteCommand(124, &names);
  EXPECT_EQ(names, std::vector<std::string>{"Sphere"});
}

TEST_F(BaseCommandsTest, SaveGameCollectionStopsAtTheFirstEnabledObject) {
  Probe& parent = AddProbe("parent");
  Probe& saved = AddProbe(parent, "saved");
  AddProbe(saved, "below");
  Probe& skipped = AddProbe(parent, "skipped");
  AddProbe(skipped, "deep").SetFlag(kFlagSaveGameEnable, true);
  saved.SetFlag(kFlagSaveGameEnable, true);
  saved.GetChild(0)->SetFlag(kFlagSaveGameEnable, true);
  std::vector<Object*> collected;
  parent.ExecuteCommand(12, &collected);
  ASSERT_EQ(collected.size(), 2u);
  EXPECT_EQ(collected[0], &saved);
  EXPECT_EQ(collected[1]->GetName(), "deep");
}

TEST_F(BaseCommandsTest, DeleteFromAScriptIsDeferred) {
  Probe& probe = AddProbe();
  probe.ExecuteCommand(172, nullptr);
  EXPECT_EQ(world->GetChildCount(), 1);
  services.DeletePendingObjects();
  EXPECT_EQ(world->GetChildCount(), 0);
}

TEST_F(BaseCommandsTest, SpawnObjectInPlaceClonesUnderTheSpaceOrItselfWithoutOne) {
  Probe& spawner = AddProbe("spawner");
  spawner.SetInheritOrientation(false);
  spawner.SetPosition({3, 0, 0}, true);
  Probe& prototype = AddProbe("prototype");
  ASSERT_EQ(prototype.GetParent(), spawner.GetParent());
  ArgumentBlock inPlace;
  inPlace.PushText128("parent/prototype").Push<std::int32_t>(1);
  spawner.ExecuteCommand(195, inPlace.Data());
  ASSERT_EQ(spawner.GetChildCount(), 1);
  Object* clone = spawner.GetChild(0);
  EXPECT_EQ(clone->GetPositionWS().x, 3);
  EXPECT_EQ(spawner.events.back(), 223);
  EXPECT_EQ(spawner.senders.back(), clone);
  ArgumentBlock missing;
  missing.PushText128("parent/nothing").Push<std::int32_t>(0);
  spawner.ExecuteCommand(195, missing.Data());
  EXPECT_EQ(spawner.GetChildCount(), 1);
}

}  // namespace
}  // namespace tge::test

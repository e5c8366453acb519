// The file records of the prop and sensor types: save, load and save again
// gives the same bytes; a record cut short anywhere is refused.
#include "core/script/ScriptInterpreter.h"
#include "objects/gameplay/props/Trigger.h"
#include "tests/engine/props/PropsFixture.h"
#include "tests/support/ObjectRecordBytes.h"

namespace tge::test {
namespace {

using PropsFileTest = PropsTest;

struct TypeSetUp {
  int classId;
  const char* script;
};

// Every field away from its default, strings included.
constexpr TypeSetUp kSetUps[] = {
    {kClassSimObject,
     "this.SetSimObjectMesh(Crate); this.SetSimObjectSound(Roll); this.SetSimObjectHealth(55); "
     "this.SetSimObjectEnableRestEvent(1); this.SetSimObjectFriction(0.25); this.SetSimObjectDamage(3);"},
    {kClassTrigger, "this.SetCollisionRepeatTime(0.5); this.SetTriggerEnableGroupEvent(1); this.SetTriggerRadius(2);"},
    {kClassPhysicsMagnet, "this.SetPhysicsMagnetRadius(3);"},
    {kClassLookAt, "this.SetLookAtControl1(\"this/Head\"); this.SetLookAtTarget(\"parent/Target\"); "
                   "this.SetLookAtSpeedX(2); this.SetLookAtControl2RotateY(1);"},
    {kClassViewTrigger, "this.SetViewTriggerConeAngle(45); this.SetViewTriggerConeMaxRange(30); "
                        "this.SetViewTriggerEnableCone(0);"},
};

TEST_F(PropsFileTest, EachTypeSavesLoadsAndSavesTheSameBytesAndRefusesAnyShortRecord) {
  for (const TypeSetUp& setUp : kSetUps) {
    SCOPED_TRACE(setUp.classId);
    Object* object = CreateObject(setUp.classId, nullptr, *room, "Saved");
    object->ExecuteCommand(177, nullptr);
    RunScriptText(*object, setUp.script, nullptr);
    const std::vector<std::uint8_t> first = SaveRecord(*object);
    std::unique_ptr<Object> loaded = LoadRecord<Object>(setUp.classId, first);
    ASSERT_NE(loaded, nullptr);
    const std::vector<std::uint8_t> second = SaveRecord(*loaded);
    EXPECT_EQ(second, first);
    for (std::size_t size = 0; size < first.size(); ++size) {
      const std::vector<std::uint8_t> cut(first.begin(), first.begin() + static_cast<std::ptrdiff_t>(size));
      ASSERT_EQ(LoadRecord<Object>(setUp.classId, cut), nullptr) << "cut at " << size;
    }
  }
}

// Files before version 17 knew no disabled trigger.
TEST_F(PropsFileTest, AnOldTriggerIsEnabledWhateverItsFlagsSay) {
  Object* trigger = CreateObject(kClassTrigger, nullptr, *room, "Old");
  RunScriptText(*trigger, "this.SetTriggerEnable(0);", nullptr);
  for (int version : {16, 17}) {
    SCOPED_TRACE(version);
    std::unique_ptr<Trigger> loaded = LoadRecord<Trigger>(kClassTrigger, SaveRecord(*trigger, version), version);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetTriggerFlags() & Trigger::kEnable, version == 16 ? Trigger::kEnable : 0u);
  }
}

}  // namespace
}  // namespace tge::test

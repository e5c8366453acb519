// Every registered command, sent from a script with hostile arguments to an
// object of its owner's class (the engine's own to the engine): the object
// stands in a Space of a World with physics and has a rigid body and a
// geometry built. Nothing may crash, leak or trip a sanitizer, when the
// command runs or when its object goes. A type that joins the registry is
// swept with the others.
#include <gtest/gtest.h>

#include "core/CommandRegistry.h"
#include "core/ObjectRef.h"
#include "core/script/ScriptInterpreter.h"
#include "services/EngineServices.h"
#include "tests/engine/EngineTestFixture.h"

namespace tge::test {
namespace {

class HostileCommandsTest : public EngineTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateEngineServices());
    EngineTest::SetUp();
    World& world = engine->GetEngineWorld();
    world.SetActive(true);
    RunScriptText(world, "this.SetWorldEnablePhysics(1);", nullptr);
    world.Precalculate();
  }
  void TearDown() override {
    EngineTest::TearDown();
    DestroyEngineServices();
  }

  // The Space the targets stand in; made again when a command took it away.
  Object& Room() {
    if (!room_) {
      room_.Set(CreateObject(kClassSpace, nullptr, *engine, "Room"));
      RunScriptText(*room_.Get(), "this.SetSpaceBoxMin(-10, -10, -10); this.SetSpaceBoxMax(10, 10, 10);", nullptr);
      room_->Precalculate();
    }
    return *room_.Get();
  }

  // An object of the class with its physics built, or the engine.
  Object* Target(int classId) {
    if (classId == kClassEngine) return engine;
    Object* target = CreateObject(classId, nullptr, Room(), "Target");
    if (target == nullptr) return nullptr;
    RunScriptText(*target, "this.AddGeometry(); this.SetEnableRigidBody(1);", nullptr);
    Room().Precalculate();
    RunScriptText(*target, "this.StartPhysics();", nullptr);
    if (classId == kClassObject) {
      EXPECT_NE(target->GetBody(), nullptr) << "the sweep runs on built physics";
    }
    return target;
  }

 private:
  ObjectRef<Object> room_;
};

TEST_F(HostileCommandsTest, EveryCommandSurvivesHostileScriptArguments) {
  const char* arguments[] = {"",   "1",         "-1",   "0, 0, 0, 0", "2147483647, -2147483648, 1e38, -1e38, nan, -0",
                             ".",  "..\\..\\x", "\"\"", "/",          "this",
                             "parent/Nothing",  "99999999999999999999"};
  for (int id = 0; id < kCommandIdCount; ++id) {
    const CommandRecord* record = FindCommand(id);
    if (record == nullptr) continue;
    SCOPED_TRACE(record->name);
    ObjectRef<Object> target(Target(record->owner));
    for (const char* argument : arguments) {
      if (Object* live = target.Get()) RunScriptText(*live, "this." + record->name + "(" + argument + ");", nullptr);
    }
    Object* left = target.Get();
    if (left != nullptr && left != engine && left->GetParent() != nullptr) {
      DestroyObjectTree(left->GetParent()->DetachChild(*left));
    }
    engine->GetServices().DeletePendingObjects();
  }
}

}  // namespace
}  // namespace tge::test

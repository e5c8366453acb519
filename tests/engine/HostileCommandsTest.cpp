// Every registered command, sent from a script with hostile arguments to an
// object of its owner's class (the engine's own to the engine) that carries
// a physics description: nothing may crash, leak or trip a sanitizer, when
// the command runs or when its object goes. A type that joins the registry
// is swept with the others.
#include <gtest/gtest.h>

#include "core/CommandRegistry.h"
#include "core/ScriptInterpreter.h"
#include "services/EngineServices.h"
#include "tests/engine/EngineTestFixture.h"

namespace tge::test {
namespace {

class HostileCommandsTest : public EngineTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateEngineServices());
    EngineTest::SetUp();
    engine->GetEngineWorld().SetActive(true);
  }
  void TearDown() override {
    EngineTest::TearDown();
    DestroyEngineServices();
  }
};

TEST_F(HostileCommandsTest, EveryCommandSurvivesHostileScriptArguments) {
  const char* arguments[] = {"",   "1",         "-1",   "0, 0, 0, 0", "2147483647, -2147483648, 1e38, -1e38, nan, -0",
                             ".",  "..\\..\\x", "\"\"", "/",          "this",
                             "parent/Nothing",  "99999999999999999999"};
  for (int id = 0; id < kCommandIdCount; ++id) {
    const CommandRecord* record = FindCommand(id);
    if (record == nullptr) continue;
    SCOPED_TRACE(record->name);
    Object* target =
        record->owner == kClassEngine ? engine : CreateObject(record->owner, nullptr, *engine, "Target");
    if (target == nullptr) continue;
    RunScriptText(*target, "this.AddGeometry();", nullptr);
    for (const char* argument : arguments) {
      RunScriptText(*target, "this." + record->name + "(" + argument + ");", nullptr);
    }
    if (target != engine && target->GetParent() == engine) DestroyObjectTree(engine->DetachChild(*target));
    engine->GetServices().DeletePendingObjects();
  }
}

}  // namespace
}  // namespace tge::test

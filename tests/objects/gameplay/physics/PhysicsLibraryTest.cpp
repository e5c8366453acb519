#include "objects/gameplay/physics/PhysicsLibrary.h"

#include <gtest/gtest.h>
#include <ode/ode.h>

namespace tge::test {
namespace {

// What the wrapper does not catch still leaves a reason behind when the
// library ends the process.
TEST(PhysicsLibraryDeathTest, LibraryAbortIsReportedFirst) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        InitPhysics();
        dWorldID world = dWorldCreate();
        dBodyID body = dBodyCreate(world);
        dMass mass;
        dMassSetZero(&mass);
        dBodySetMass(body, &mass);
      },
      "Physics: ODE");
}

TEST(PhysicsLibrary, RefusalsAreKeptAsTheLastError) {
  ClearLastPhysicsError();
  EXPECT_STREQ(GetLastPhysicsError(), "");
  ReportPhysicsError("SetThing", "the thing is wrong");
  EXPECT_STREQ(GetLastPhysicsError(), "SetThing: the thing is wrong");
  ClearLastPhysicsError();
}

}  // namespace
}  // namespace tge::test

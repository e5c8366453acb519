// Statements that once ended the program, each run from an event script of
// a scene on the real executable under the sanitizers: a list getter handed
// a script's number or nothing, a File told to open a folder, and Spaces
// given a physics description. The program has to go on to its screenshot
// frame and end cleanly, with no sanitizer report.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <ostream>

#include "app/StartupConfig.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "tests/app/ProgramRun.h"
#include "tools/SceneWriter.h"

namespace tge::test {
namespace {

struct HostileCase {
  int classId;  // the class of the object whose script runs the statement
  const char* statement;
};

// Names each case by its statement, so test listings stay the same from
// build to build.
void PrintTo(const HostileCase& hostile, std::ostream* out) { *out << hostile.statement; }

class HostileScriptTest : public ::testing::TestWithParam<HostileCase> {
 protected:
  ::tge::testing::TempFolder folder;
};

// A World with a Space and the probe object beside it; the probe runs the
// statement when the engine starts.
TEST_P(HostileScriptTest, ProgramGoesOnAndEndsCleanly) {
  const HostileCase& hostile = GetParam();
  SceneDescription scene;
  scene.buildObjects = [&](Object& root) {
    Object& world = *CreateObject(kClassWorld, nullptr, root, "Level");
    AddPlaced(world, kClassSpace, "Room", "this.SetSpaceBoxMin(-10, -10, -10); this.SetSpaceBoxMax(10, 10, 10);");
    Object& probe = *CreateObject(hostile.classId, nullptr, world, "Probe");
    AddScript(probe, "OnEngineStarted", hostile.statement);
  };
  std::string error;
  ASSERT_TRUE(WriteSceneFiles(folder.Path() / "Data", scene, error)) << error;
  std::filesystem::create_directories(folder.Path() / "Data" / "Folder.sac");
  folder.WriteFile(kInitFileName, folder.Path().string() + "\nLibrary.sli\n\nHostile script test " +
                                      std::to_string(::getpid()) + "\n\n");
  RunProgram(folder, "-g_w=320 -g_h=240 -s_e=0 -shot=shot.bmp -shotframe=3");
  EXPECT_TRUE(std::filesystem::exists(folder.Path() / "shot.bmp"));
}

INSTANTIATE_TEST_SUITE_P(
    Statements, HostileScriptTest,
    ::testing::Values(HostileCase{kClassObject, "this.AddGeometry(); this.GetGeometryList(1);"},
                      HostileCase{kClassObject, "this.AddGeometry(); this.GetGeometryList();"},
                      HostileCase{kClassFile, "this.FileOpen();"},
                      HostileCase{kClassFile, "this.FileOpen(.);"},
                      HostileCase{kClassFile, "this.FileOpen(Folder.sac);"},
                      HostileCase{kClassObject, "this.CreateObject(FX_CLSID_SA_SPACE,V); this/V.AddGeometry();"},
                      HostileCase{kClassSpace, "this.SetEnableRigidBody(1);"},
                      HostileCase{kClassSpace, "this.SetUsePhysics(1);"}));

}  // namespace
}  // namespace tge::test

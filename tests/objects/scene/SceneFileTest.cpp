// A scene of every scene type saved through the engine's object-file
// writer, loaded with its reader and saved twice more: a second generation
// of saves adds or loses nothing, so the last two files are the same bytes.
#include "core/script/ScriptInterpreter.h"
#include "objects/scene/Camera.h"
#include "objects/scene/Environment.h"
#include "objects/scene/Light.h"
#include "objects/scene/Mesh.h"
#include "tests/objects/scene/SceneFixture.h"

namespace tge::test {
namespace {

class SceneFileTest : public SceneFixture {
 protected:
  void SetUp() override {
    SceneFixture::SetUp();
    engine->SetDataPath(folder.Folder());
  }

  Object& AddScripted(Object& parent, int classId, const std::string& name, const std::string& setUp) {
    Object& object = Add<Object>(parent, classId, name);
    RunScriptText(object, setUp, nullptr);
    return object;
  }

  // Saves root's children into file, loads them under a new holder and
  // returns it.
  Object& SaveAndLoad(Object& root, const std::string& file) {
    EXPECT_TRUE(engine->SaveObjectFile(root, file, false, false));
    Object& holder = Add<Object>(*engine, kClassObject, "Holder" + file);
    EXPECT_TRUE(engine->LoadObjectFile(holder, file));
    return holder;
  }

  std::vector<std::uint8_t> Read(const std::string& file) { return folder.Read(file); }
};

TEST_F(SceneFileTest, SceneSavedLoadedAndSavedTwiceMoreGivesTheSameBytes) {
  AddCubeMesh("Cube");
  AddMaterial("Paint");
  Object& scene = Add<Object>(*engine, kClassObject, "Scene");
  Space& room = AddSpace(scene, "Room", {1, 2, 3}, 20);
  AddScripted(room, kClassMesh, "Crate",
                              "this.SetPosition(0, 0.5, 2); this.SetRotationY(0.4); this.AddMesh(Cube); "
                              "this.SetMeshMaterial(Paint);");
  AddScripted(room, kClassCamera, "Eye",
              "this.SetPosition(0, 2, -5); this.SetCameraType(3); this.SetCameraViewport(2); "
              "this.SetCameraFov(0.8); this.SetCameraTarget(parent/Crate); this.SetCameraPositionDistance(6);");
  AddScripted(room, kClassLight, "Lamp",
              "this.SetPosition(-1, 1, 0); this.SetLightType(1); this.SetLightColor(1, 0.5, 0.25, 1); "
              "this.SetLightRadius(7); this.SetLightFalloff2(0.3);");
  AddScripted(room, kClassEnvironment, "Air",
              "this.SetEnvironmentFogColor(0.2, 0.3, 0.4, 1); this.SetEnvironmentFogNear(5); "
              "this.SetEnvironmentFogFar(30); this.SetEnvironmentFogEnable(1);");

  Object& first = SaveAndLoad(scene, "first.sac");
  ASSERT_EQ(first.GetChildCount(), 1);
  Object& loadedRoom = *first.GetChild(0);
  ASSERT_EQ(loadedRoom.GetChildCount(), 4);
  const int classes[] = {kClassMesh, kClassCamera, kClassLight, kClassEnvironment};
  for (int i = 0; i < 4; ++i) ASSERT_EQ(loadedRoom.GetChild(i)->GetClassId(), classes[i]);
  const auto& crate = static_cast<const Mesh&>(*loadedRoom.GetChild(0));
  EXPECT_EQ(crate.GetEntries().size(), 1u);
  EXPECT_EQ(crate.GetMaterialName(), "Paint");
  const auto& eye = static_cast<const Camera&>(*loadedRoom.GetChild(1));
  EXPECT_EQ(eye.GetType(), kCameraFollow);
  EXPECT_EQ(eye.GetViewport(), 2u);
  EXPECT_FLOAT_EQ(static_cast<const Light&>(*loadedRoom.GetChild(2)).GetRadius(), 7);
  EXPECT_TRUE(static_cast<const Environment&>(*loadedRoom.GetChild(3)).IsFogEnabled());
  Object& second = SaveAndLoad(first, "second.sac");
  EXPECT_TRUE(engine->SaveObjectFile(second, "third.sac", false, false));
  const std::vector<std::uint8_t> last = Read("third.sac");
  EXPECT_FALSE(last.empty());
  EXPECT_EQ(last, Read("second.sac"));
}

}  // namespace
}  // namespace tge::test

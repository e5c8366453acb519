#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "core/files/SerializeStream.h"
#include "core/script/ScriptInterpreter.h"
#include "engine/ProgressDisplay.h"
#include "services/EngineServices.h"
#include "services/RenderCommand.h"
#include "services/render/RenderQueue.h"
#include "services/resources/MaterialResource.h"
#include "tests/engine/EngineTestFixture.h"

namespace tge::test {
namespace {

using EngineCommandsTest = EngineTest;

void Script(Engine& engine, const std::string& text) { RunScriptText(engine, text, nullptr); }

int quitCalls = 0;
void CountQuit() { ++quitCalls; }

TEST_F(EngineCommandsTest, ScriptsOpenSaveAndUnloadScenes) {
  Add(Add(*engine, "Level"), "Door");
  Script(*engine, "this.ATessarySaveAs(\"level.sac\");");
  EXPECT_EQ(engine->GetSceneFileName(), "level.sac");

  Script(*engine, "this.ATessaryOpen(\"level.sac\");");
  EXPECT_EQ(engine->GetSceneFileName(), "level.sac");
  engine->GetServices().DeletePendingObjects();
  ASSERT_EQ(engine->GetChildCount(), 1);
  Object& level = *engine->GetChild(0);
  EXPECT_EQ(level.GetWorld(), &engine->GetEngineWorld());
  EXPECT_TRUE(level.IsStarted());

  // A missing file leaves the old scene queued and takes no name: the
  // unload before it has cleared the old one.
  Script(*engine, "this.ATessaryOpen(\"missing.sac\");");
  EXPECT_EQ(engine->GetSceneFileName(), "");
  engine->GetServices().DeletePendingObjects();
  EXPECT_EQ(engine->GetChildCount(), 0);
}

// File A's load event unloads File B, which destroys File C: C was listed
// before the walk began and must be skipped, not touched.
TEST_F(EngineCommandsTest, LoadFileObjectsSkipsFilesDestroyedByAnEarlierLoad) {
  File& a = AddFile(*engine, "A", "missing-a.sac");
  a.SetUseScript(true);
  a.GetScripts()->push_back({"OnFileLoaded", "/B.FileUnLoad();", kEventOnFileLoaded, 0});
  File& b = AddFile(*engine, "B", "missing-b.sac");
  b.SetFileFlag(kFileLoaded, true);
  AddFile(b, "C", "missing-c.sac");
  engine->ExecuteCommand(258, nullptr);
  EXPECT_EQ(b.GetChildCount(), 0);
}

TEST_F(EngineCommandsTest, SwitchesTogglesAndSkinNamesThroughScripts) {
  Script(*engine, "this.ShowLight(); this.ShowStats(); this.ShowLight();");
  EXPECT_EQ(engine->GetHelperDisplayMask(), kShowStats);
  Script(*engine, "this.ShowAllHelpers();");
  EXPECT_EQ(engine->GetHelperDisplayMask(), ~0u);
  Script(*engine, "this.HideAllHelpers(); this.SetDrawSpaces(0); this.SetCursorActive(1); this.SetCursorPosition(3, 4, 5);");
  EXPECT_EQ(engine->GetHelperDisplayMask(), 0u);
  EXPECT_FALSE(engine->GetDrawSpaces());
  EXPECT_TRUE(engine->GetCursorActive());
  EXPECT_EQ(engine->GetCursorPosition().y, 4.0f);
  Script(*engine, "this.SetUIWindowFont(\"Arial\"); this.SetUIButtonHiliteColor(0.5, 0.25, 0, 1);");
  EXPECT_EQ(engine->GetSkinName(kSkinWindowFont), "Arial");
  EXPECT_EQ(engine->GetSkinColor(kSkinButtonHiliteColor).g, 0.25f);

  quitCalls = 0;
  engine->SetQuitCallback(&CountQuit);
  Script(*engine, "this.Exit();");
  EXPECT_EQ(quitCalls, 1);
}

// The command always toggles; the value only records what was asked.
TEST_F(EngineCommandsTest, EnableSimulatorTogglesWhateverTheValue) {
  Script(*engine, "this.SetEnableSimulator(0);");
  EXPECT_TRUE(engine->IsSimulatorBuilt());
  Script(*engine, "this.SetEnableSimulator(0);");
  EXPECT_FALSE(engine->IsSimulatorBuilt());
}

TEST_F(EngineCommandsTest, SystemSettingsRoundTripAndComeBackFromTheDisk) {
  Script(*engine, "this.SetUIWindowFont(\"Arial\"); this.SetUICheckBoxCheckedSprite(\"Tick\"); this.SetCursorActive(1);");
  Script(*engine, "this.SetUIWindowBgColor(0.5, 0.5, 0.5, 1); this.SetCursorMaterial(\"Arrow\"); this.SaveSystemSettings();");
  const std::string saved = folder.ReadFile("ATessary.sas");
  ASSERT_FALSE(saved.empty());
  ShutdownEngine();

  ASSERT_TRUE(CreateEngine());
  engine = GetEngine();
  engine->SetDataPath(folder.Path().string() + "/");
  EXPECT_EQ(engine->GetSkinName(kSkinWindowFont), "Arial");
  EXPECT_EQ(engine->GetSkinName(kSkinCheckBoxCheckedSprite), "Tick");
  EXPECT_EQ(engine->GetSkinColor(kSkinWindowBgColor).r, 0.5f);
  EXPECT_TRUE(engine->GetCursorActive());
  ASSERT_TRUE(engine->SaveSystemSettings());
  EXPECT_EQ(folder.ReadFile("ATessary.sas"), saved);
}

TEST_F(EngineCommandsTest, DamagedSystemSettingsAreRefused) {
  ASSERT_TRUE(engine->SaveSystemSettings());
  const std::string saved = folder.ReadFile("ATessary.sas");
  for (const std::string& bytes : {saved.substr(0, saved.size() / 2), std::string("\x02\0\0\0", 4)}) {
    folder.WriteFile("ATessary.sas", bytes);
    EXPECT_FALSE(engine->LoadSystemSettings());
  }
}

class RecordingDisplay : public ProgressDisplay {
 public:
  float GetWidth() const override { return width; }
  void SetWidth(float value) override { width = value; }
  void SetActive(bool on) override { active = on; }
  void Redraw() override { shown.push_back(width); }
  float width = 208;
  bool active = false;
  std::vector<float> shown;
};

// Resources collected through internal command 11 from the subtree.
class UsesResources : public Object {
 public:
  int ExecuteCommand(std::uint32_t id, void* args) override {
    if (id == 11 && args != nullptr) {
      for (Resource* resource : resources) static_cast<ResourceSet*>(args)->AddToResourceSet(resource);
    }
    return Object::ExecuteCommand(id, args);
  }
  std::vector<Resource*> resources;
};


// Counts the resource collections that reach it.
class CountsCollections : public Object {
 public:
  int ExecuteCommand(std::uint32_t id, void* args) override {
    if (id == 11 && args != nullptr) ++collections;
    return Object::ExecuteCommand(id, args);
  }
  int collections = 0;
};

// The engine over services of its own, which end with it.
class EngineResourcesTest : public EngineTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateEngineServices());
    EngineTest::SetUp();
  }
  void TearDown() override {
    EngineTest::TearDown();
    DestroyEngineServices();
  }

  // An object under the engine that collects a new resource of each type.
  UsesResources& AddUser(const std::vector<int>& types) {
    ResourceDatabase& database = GetEngineServices()->GetResources();
    auto user = std::make_unique<UsesResources>();
    for (const int type : types) {
      std::unique_ptr<Resource> resource = database.CreateResource(type);
      resource->SetName("used" + std::to_string(user->resources.size()));
      user->resources.push_back(database.GetResourceBySlot(database.RegisterResource(std::move(resource))));
    }
    return static_cast<UsesResources&>(*engine->AddChild(std::move(user)));
  }
};

// Text arguments keep the blanks before them, so a path written after ", "
// starts with a blank and names nothing: without its window the statement
// loads nothing. Written without blanks, the empty middle path is no root.
TEST_F(EngineResourcesTest, ProgressBarStatementPathsKeepTheBlanksBeforeThem) {
  auto owned = std::make_unique<CountsCollections>();
  CountsCollections& level = *owned;
  Add(*engine, "Levels").AddChild(std::move(owned))->SetName("Stage");
  Add(Add(*engine, "Menus"), "Loading");
  const std::pair<const char*, int> cases[] = {
      {"this.LoadResourcesWithProgressBar(/Levels/Stage,,/Menus/Loading);", 1},
      {"this.LoadResourcesWithProgressBar(/Levels/Stage, , /Menus/Loading);", 0},
      {"this.LoadResourcesWithProgressBar(\"/Levels/Stage\", \"\", \"/Menus/Loading\");", 0},
  };
  for (const auto& [text, loads] : cases) {
    const int before = level.collections;
    Script(*engine, text);
    EXPECT_EQ(level.collections - before, loads) << text;
  }
}

TEST_F(EngineResourcesTest, ProgressGrowsByAStepEveryTenResources) {
  Object& root = AddUser(std::vector<int>(100, kRawFileResource));
  RecordingDisplay display;
  engine->LoadResourcesWithProgressBar(root, nullptr, &display);
  ASSERT_EQ(display.shown.size(), 12u);
  EXPECT_EQ(display.shown[0], 4.0f);
  EXPECT_EQ(display.shown[1], 8.0f);
  EXPECT_EQ(display.shown[2], 28.0f);
  EXPECT_EQ(display.shown.back(), 208.0f);
  EXPECT_EQ(display.width, 208.0f);
  EXPECT_FALSE(display.active);
}

// A load pass, by either path, queues one empty sprite of each material it
// loaded, so the coming frame builds the material's sprite states; an
// unload pass queues none.
TEST_F(EngineResourcesTest, LoadingPreparesEachMaterialAsAnEmptySprite) {
  UsesResources& root = AddUser({kRawFileResource, kMaterialResource});
  const MaterialResource* material = ResourceCast<MaterialResource>(root.resources.back());
  ASSERT_NE(material, nullptr);
  RenderQueue& queue = GetEngineServices()->GetRenderQueue();
  auto quads = [&queue] {
    std::vector<const ScreenQuadCommand*> found;
    for (const RenderCommand* c = queue.GetList(kListOverlay); c != nullptr; c = c->next) {
      if (c->kind == RenderCommandKind::kScreenQuad) found.push_back(static_cast<const ScreenQuadCommand*>(c));
    }
    queue.Reset();
    return found;
  };
  const std::pair<const char*, std::function<void()>> passes[] = {
      {"plain", [&] { engine->LoadResources(root); }},
      {"with progress", [&] { engine->LoadResourcesWithProgressBar(root, nullptr, nullptr); }}};
  for (const auto& [name, load] : passes) {
    SCOPED_TRACE(name);
    load();
    const std::vector<const ScreenQuadCommand*> prepared = quads();
    ASSERT_EQ(prepared.size(), 1u);
    EXPECT_EQ(prepared[0]->material, material);
    for (const ScreenVertex& v : prepared[0]->vertices) {
      EXPECT_EQ(v.x, prepared[0]->vertices[0].x);
      EXPECT_EQ(v.y, prepared[0]->vertices[0].y);
    }
  }
  engine->UnloadResources(root);
  EXPECT_TRUE(quads().empty());
}

}  // namespace
}  // namespace tge::test

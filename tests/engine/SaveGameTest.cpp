#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "core/trees/ObjectFile.h"
#include "engine/Engine.h"
#include "objects/gameplay/world/SaveGame.h"
#include "services/EngineServices.h"
#include "tests/core/files/TempFolder.h"

namespace tge::test {
namespace {

using SaveBytes = std::vector<std::uint8_t>;

// Records the events it raises.
class EventProbe : public SaveGame {
 public:
  int FireEvent(int eventId, Object* sender) override {
    events.push_back(eventId);
    return SaveGame::FireEvent(eventId, sender);
  }
  std::vector<int> events;
};

SaveBytes WriteObject(Object& object) {
  SaveBytes bytes(1 << 20);
  SerializeStream stream;
  EXPECT_TRUE(stream.OpenMemoryBuffer(bytes.size(), "wb", bytes.data()));
  std::string unused;
  ObjectFile writer(unused, unused);
  EXPECT_TRUE(writer.Save(object, "object", true, true, &stream));
  bytes.resize(static_cast<std::size_t>(stream.Tell()));
  return bytes;
}

// Public: the error cases arrange the scene through it.
class SaveGameTest : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(CreateEngineServices());
    GetEngineServices()->SetDataFolder(folder.Path().string() + "/");
    ASSERT_TRUE(CreateEngine());
    engine = GetEngine();
    level = CreateObject(kClassObject, nullptr, *engine, "Level");
    saver = static_cast<EventProbe*>(engine->AddChild(std::make_unique<EventProbe>()));
    saver->SetWorld(&engine->GetEngineWorld());
    Set(19500, "slot1");
    Set(19502, "/Level");
    saver->Precalculate();
    saver->events.clear();
  }
  void TearDown() override {
    ShutdownEngine();
    DestroyEngineServices();
  }

  void Set(std::uint32_t id, std::string text) { saver->ExecuteCommand(id, &text); }

  Object& Enabled(Object& parent, const std::string& name) {
    Object* object = CreateObject(kClassObject, nullptr, parent, name.c_str());
    object->SetFlag(kFlagSaveGameEnable, true);
    object->SetInheritOrientation(false);
    object->SetPosition({1, 2, 3}, false);
    return *object;
  }

  std::string SavedFile() const {
    const std::string path = GetEngineServices()->GetSaveStorage().GetSavePath("slot1");
    return std::filesystem::exists(path) ? folder.ReadFile("SaveGame/slot1") : std::string{};
  }

  // Runs the poll for seconds of 1/60 s frames.
  void Poll(float seconds) {
    for (int frame = 0; frame < static_cast<int>(seconds * 60); ++frame) saver->Update();
  }

  ::tge::testing::TempFolder folder;
  Engine* engine = nullptr;
  Object* level = nullptr;
  EventProbe* saver = nullptr;
};

TEST_F(SaveGameTest, EnabledObjectsAreStoredOneRecordEachAndLoadBackEqual) {
  Object& door = Enabled(*level, "Door");
  Object& box = *CreateObject(kClassObject, nullptr, *level, "Box");
  Object& key = Enabled(box, "Key");
  Enabled(key, "Inside");  // saved with its enabled parent, not on its own
  saver->ExecuteCommand(19506, nullptr);
  EXPECT_EQ(saver->events, (std::vector<int>{kEventOnSaveGameSave}));
  ASSERT_NE(saver->GetBuffer(), nullptr);
  EXPECT_EQ(saver->GetBuffer()->GetRecordCount(), 2);

  const std::string file = SavedFile();
  ASSERT_GE(file.size(), 8u);
  std::uint32_t header[2];
  std::memcpy(header, file.data(), 8);
  EXPECT_EQ(header[0], 1u);
  ASSERT_EQ(header[1], file.size() - 8);
  SaveBytes data(file.begin() + 8, file.end());

  std::size_t at = 0;
  std::vector<std::string> paths;
  Object* originals[] = {&door, &key};
  for (Object* original : originals) {
    std::uint32_t length = 0;
    std::memcpy(&length, data.data() + at, 4);
    paths.emplace_back(reinterpret_cast<const char*>(data.data() + at + 4), length);
    at += 4 + length;
    SerializeStream stream;
    ASSERT_TRUE(stream.OpenMemoryBuffer(data.size() - at, "rb", data.data() + at));
    std::string unused;
    ObjectFile reader(unused, unused);
    Object target;
    ASSERT_TRUE(reader.Load(target, stream, "record")) << reader.GetError();
    at += static_cast<std::size_t>(stream.Tell());
    ASSERT_EQ(target.GetChildCount(), 1);
    EXPECT_EQ(WriteObject(*target.GetChild(0)), WriteObject(*original));
  }
  EXPECT_EQ(at, data.size());
  EXPECT_EQ(paths, (std::vector<std::string>{"/Level/Door", "/Level/Box/Key"}));

  // The storage's answer comes no sooner than two seconds later.
  Poll(1.5f);
  EXPECT_EQ(saver->events.size(), 1u);
  Poll(1.0f);
  EXPECT_EQ(saver->events.back(), kEventOnSaveGameSaveSuccess);
  EXPECT_EQ(saver->GetOperation(), SaveGame::kNone);
}

TEST_F(SaveGameTest, ASaveThatCannotBeStoredRaisesTheErrorAndLeavesTheOldFile) {
  Enabled(*level, "Door");
  saver->Save();
  const std::string before = SavedFile();
  ASSERT_FALSE(before.empty());

  struct Case {
    const char* what;
    void (*arrange)(SaveGameTest& test);
  };
  const Case cases[] = {
      {"a node that names nothing", [](SaveGameTest& t) { t.Set(19502, "/Nowhere"); }},
      {"nothing enabled",
       [](SaveGameTest& t) {
         CreateObject(kClassObject, nullptr, *t.level, "Plain");
         t.Set(19502, "/" + t.level->GetName() + "/Plain");
       }},
      {"an object over 65,536 bytes",
       [](SaveGameTest& t) {
         Object& big = t.Enabled(*t.level, "Big");
         CreateObject(kClassObject, nullptr, big, std::string(70000, 'n').c_str());
       }},
      {"records over 262,144 bytes in all",
       [](SaveGameTest& t) {
         for (int i = 0; i < 5; ++i) {
           Object& part = t.Enabled(*t.level, "Part" + std::to_string(i));
           CreateObject(kClassObject, nullptr, part, std::string(60000, 'n').c_str());
         }
       }},
      {"a path over 511 characters", [](SaveGameTest& t) { t.Enabled(*t.level, std::string(600, 'p')); }},
  };
  for (const Case& c : cases) {
    const std::string name = "Case" + std::to_string(&c - cases);
    level = CreateObject(kClassObject, nullptr, *engine, name.c_str());
    Set(19502, "/" + name);
    Enabled(*level, "Door");
    c.arrange(*this);
    saver->events.clear();
    saver->Save();
    EXPECT_EQ(saver->events, (std::vector<int>{kEventOnSaveGameSave, kEventOnSaveGameSaveError})) << c.what;
    EXPECT_EQ(saver->GetOperation(), SaveGame::kNone) << c.what;
    EXPECT_EQ(SavedFile(), before) << c.what;
  }
}

TEST_F(SaveGameTest, TheBufferRefusesWhatWouldOverrunItsBounds) {
  Object& big = Enabled(*level, "Big");
  CreateObject(kClassObject, nullptr, big, std::string(70000, 'n').c_str());
  Object& deep = Enabled(*level, std::string(600, 'p'));
  SaveGameBuffer buffer;
  EXPECT_EQ(buffer.Append(*engine), SaveGameBuffer::Result::kNoPath);
  EXPECT_EQ(buffer.Append(big), SaveGameBuffer::Result::kObjectTooLarge);
  EXPECT_EQ(buffer.Append(deep), SaveGameBuffer::Result::kPathTooLong);
  EXPECT_EQ(buffer.GetSize(), 0u);
  for (int i = 0; i < 4; ++i) {
    Object& part = Enabled(*level, "Part" + std::to_string(i));
    CreateObject(kClassObject, nullptr, part, std::string(60000, 'n').c_str());
    EXPECT_EQ(buffer.Append(part), SaveGameBuffer::Result::kAppended);
  }
  const std::size_t full = buffer.GetSize();
  Object& last = Enabled(*level, "Last");
  CreateObject(kClassObject, nullptr, last, std::string(30000, 'n').c_str());
  EXPECT_EQ(buffer.Append(last), SaveGameBuffer::Result::kBufferFull);
  EXPECT_EQ(buffer.GetSize(), full);
  EXPECT_EQ(buffer.GetRecordCount(), 4);
}

TEST_F(SaveGameTest, AFailingStorageReachesThePollAsAnError) {
  Enabled(*level, "Door");
  // A folder in the file's place: the storage cannot write it.
  std::filesystem::create_directories(folder.Path() / "SaveGame" / "slot1" / "x");
  saver->Save();
  Poll(2.5f);
  EXPECT_EQ(saver->events, (std::vector<int>{kEventOnSaveGameSave, kEventOnSaveGameSaveError}));

  saver->events.clear();
  Set(19509, "slot1");
  saver->ExecuteCommand(19513, nullptr);
  Poll(2.5f);
  EXPECT_EQ(saver->events, (std::vector<int>{kEventOnSaveGameSavePlayer, kEventOnSaveGameSavePlayerError}));
}

TEST_F(SaveGameTest, ThePlayerRecordHoldsNinetyNine) {
  Set(19509, "player");
  saver->ExecuteCommand(19513, nullptr);
  EXPECT_EQ(saver->events, (std::vector<int>{kEventOnSaveGameSavePlayer}));
  const std::string file = folder.ReadFile("SaveGame/player");
  ASSERT_EQ(file.size(), 12u);
  std::int32_t value = 0;
  std::memcpy(&value, file.data() + 8, 4);
  EXPECT_EQ(value, 99);
  saver->ExecuteCommand(19507, nullptr);
  EXPECT_EQ(saver->events.size(), 1u);
}

}  // namespace
}  // namespace tge::test

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/CommandRegistry.h"
#include "core/Object.h"
#include "core/ObjectFactory.h"
#include "core/World.h"
#include "core/files/SerializeStream.h"
#include "tests/core/ObjectTestTypes.h"

namespace tge {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Save(Object& object, int version = 81) {
  Bytes buffer(4096);
  SerializeStream stream;
  EXPECT_TRUE(stream.OpenMemoryBuffer(buffer.size(), "wb", buffer.data()));
  stream.SetVersion(version);
  EXPECT_TRUE(object.Serialize(stream));
  buffer.resize(static_cast<std::size_t>(stream.Tell()));
  stream.Close();
  return buffer;
}

bool Load(Object& object, Bytes bytes, int version = 81) {
  SerializeStream stream;
  EXPECT_TRUE(stream.OpenMemoryBuffer(bytes.size(), "rb", bytes.data()));
  stream.SetVersion(version);
  const bool loaded = object.Serialize(stream);
  stream.Close();
  return loaded;
}

// An object with every optional record.
std::unique_ptr<Object> FullObject() {
  auto object = test::Named("full");
  object->SetInheritOrientation(false);
  object->SetPosition({1, 2, 3}, true);
  object->SetScale({2, 2, 2}, true);
  object->SetRotation({0, 0.6f, 0, 0.8001f}, true);
  object->SetUseAction(true);
  object->GetAction()->startDelay = 0.5f;
  object->GetAction()->value = 0.3f;
  GeometryRecord& box = object->AddGeometry();
  box.info = kGeometryBox | kGeometryCallback | (7u << 16);
  box.dimension = {1, 2, 3};
  box.rotation = {0, 0, 0, 2};
  object->AddGeometry().mass = 4;
  object->GetPhysics()->flags = kPhysicsEnableRigidBody;
  object->SetUseScript(true);
  object->GetScripts()->push_back({"OnPrecalculate", "self.Hide();", -1, 0});
  object->GetScripts()->push_back({"NoSuchCommand", "", -1, kScriptDisabled});
  return object;
}

class ObjectSerializeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FreeCommandRegistry();
    RegisterEvent(211, "OnPrecalculate", 0, 0);
  }
  void TearDown() override { FreeCommandRegistry(); }
};

TEST_F(ObjectSerializeTest, SaveLoadSaveIsStable) {
  auto original = FullObject();
  const Bytes first = Save(*original);
  auto loaded = test::Named("");
  ASSERT_TRUE(Load(*loaded, first));
  const Bytes second = Save(*loaded);
  auto again = test::Named("");
  ASSERT_TRUE(Load(*again, second));
  EXPECT_EQ(Save(*again), second);

  EXPECT_EQ(again->GetName(), "full");
  EXPECT_EQ(again->GetPosition().y, 2.0f);
  EXPECT_NEAR(again->GetRotation().w, 0.8001f / std::sqrt(0.36f + 0.8001f * 0.8001f), 1e-6f);
  EXPECT_EQ(again->GetAction()->startDelay, 0.5f);
  ASSERT_EQ(again->GetPhysics()->geometries.size(), 2u);
  const GeometryRecord& box = *again->GetPhysics()->geometries[0];
  EXPECT_EQ(box.info, kGeometryBox | kGeometryCallback | (7u << 16));
  EXPECT_EQ(box.rotation.w, 1.0f);
  EXPECT_EQ(box.owner, again.get());
  EXPECT_EQ(again->GetPhysics()->currentGeometry, -1);
  EXPECT_EQ(again->GetCurrentGeometry(), nullptr);
  EXPECT_EQ(again->GetPhysics()->flags, kPhysicsEnableRigidBody);
  ASSERT_EQ(again->GetScripts()->size(), 2u);
  EXPECT_EQ((*again->GetScripts())[0].eventId, 211);
  EXPECT_EQ((*again->GetScripts())[0].text, "self.Hide();");
  EXPECT_EQ((*again->GetScripts())[1].eventId, -1);
  EXPECT_EQ((*again->GetScripts())[1].flags, kScriptDisabled);
  EXPECT_FALSE(again->HasFlag(kFlagLocalMatrixValid));
}

TEST_F(ObjectSerializeTest, ActionPhaseIsWrittenAndLoadedAsItsValueShows) {
  struct Case {
    float value;
    std::int32_t phase;
  };
  for (const Case c : {Case{0.0f, 79}, Case{0.3f, 78}, Case{1.0f, 78}}) {
    auto object = test::Named("a");
    object->SetUseAction(true);
    object->GetAction()->value = c.value;
    object->GetAction()->phase = 5;
    auto loaded = test::Named("");
    const Bytes saved = Save(*object);
    ASSERT_TRUE(Load(*loaded, saved));
    EXPECT_EQ(loaded->GetAction()->phase, c.phase) << c.value;
    // The phase is written as a load derives it, so the record holds.
    EXPECT_EQ(Save(*loaded), saved) << c.value;
  }
}

TEST_F(ObjectSerializeTest, OldStreamsMarkGeometryMassAsDensity) {
  auto object = test::Named("g");
  object->AddGeometry().info = kGeometryBox;
  for (int version : {38, 39}) {
    auto loaded = test::Named("");
    ASSERT_TRUE(Load(*loaded, Save(*object, version), version));
    const bool byDensity = loaded->GetPhysics()->geometries[0]->info & kGeometryMassByDensity;
    EXPECT_EQ(byDensity, version == 38);
  }
}

TEST_F(ObjectSerializeTest, InheritingObjectWritesNoTransform) {
  auto object = test::Named("n");
  const Bytes bytes = Save(*object);
  EXPECT_EQ(bytes.size(), 4u + 4u + 1u + 4u);
  auto loaded = test::Named("old name");
  ASSERT_TRUE(Load(*loaded, bytes));
  EXPECT_EQ(loaded->GetTransform(), nullptr);
  EXPECT_EQ(loaded->GetName(), "n");
}

TEST_F(ObjectSerializeTest, LiveOnlyFlagsAreMaskedInTheFileAndKeptOnTheObject) {
  auto object = test::Named("f");
  object->SetFlag(kFlagDeleting | kFlagUpdateRegistered, true);
  const Bytes bytes = Save(*object);
  EXPECT_TRUE(object->HasFlag(kFlagDeleting | kFlagUpdateRegistered));
  std::uint32_t written = 0;
  std::memcpy(&written, bytes.data() + 9, 4);
  EXPECT_EQ(written, kDefaultObjectFlags);
}

TEST_F(ObjectSerializeTest, RefusesBadRecords) {
  const Bytes good = Save(*FullObject());
  auto withWord = [&good](std::size_t offset, std::uint32_t value) {
    Bytes bytes = good;
    std::memcpy(bytes.data() + offset, &value, 4);
    return bytes;
  };
  // class id, name "full", flags, 10 transform floats, 9 action words.
  const std::size_t physicsAt = 4 + 8 + 4 + 40 + 36;
  const std::size_t scriptCountAt = physicsAt + 12 + 2 * 64;
  struct Case {
    const char* what;
    Bytes bytes;
  };
  const Case cases[] = {
      {"truncated", Bytes(good.begin(), good.end() - 3)},
      {"other class id", withWord(0, 2)},
      {"geometry count beyond the data", withWord(physicsAt + 8, 1000000)},
      {"negative geometry count", withWord(physicsAt + 8, 0xFFFFFFFF)},
      {"script count beyond the data", withWord(scriptCountAt, 0x7FFFFFFF)},
  };
  for (const Case& c : cases) {
    auto loaded = test::Named("");
    EXPECT_FALSE(Load(*loaded, c.bytes)) << c.what;
  }
}

TEST_F(ObjectSerializeTest, ZeroRotationLoadsAsIdentity) {
  auto object = test::Named("z");
  object->SetInheritOrientation(false);
  object->SetRotation({0, 0, 0, 0}, false);
  auto loaded = test::Named("");
  ASSERT_TRUE(Load(*loaded, Save(*object)));
  EXPECT_EQ(loaded->GetRotation().w, 1.0f);
  EXPECT_EQ(loaded->GetRotation().x, 0.0f);
}

TEST(ObjectCopy, CopyHasRecordsOfItsOwnAndStartsDetached) {
  auto root = test::Named("root");
  int worldStorage = 0;
  World worldObject;
  World* world = &worldObject;
  root->SetWorld(world);
  Object* source = root->AddChild(FullObject());
  source->SetWorld(world);
  source->AddChild(test::Named("kid"));
  source->Precalculate();
  source->SetFlag(kFlagDeleting | kFlagUpdateRegistered, true);
  source->GetPhysics()->currentGeometry = 1;
  source->GetPhysics()->geometries[0]->geometry = reinterpret_cast<PhysicsGeom*>(&worldStorage);
  source->GetPositionWS();

  std::unique_ptr<Object> copy = CreateObject(57, source, nullptr);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetClassId(), 0);
  EXPECT_EQ(copy->GetName(), "full");
  EXPECT_EQ(copy->GetParent(), nullptr);
  EXPECT_EQ(copy->GetChildCount(), 0);
  EXPECT_EQ(copy->GetWorld(), world);
  EXPECT_FALSE(copy->IsStarted());
  EXPECT_FALSE(copy->HasFlag(kFlagDeleting));
  EXPECT_FALSE(copy->HasFlag(kFlagUpdateRegistered));
  EXPECT_FALSE(copy->HasFlag(kFlagWorldMatrixValid));
  EXPECT_TRUE(source->HasFlag(kFlagDeleting));

  ASSERT_NE(copy->GetTransform(), source->GetTransform());
  EXPECT_EQ(copy->GetPosition().z, 3.0f);
  ASSERT_NE(copy->GetAction(), source->GetAction());
  EXPECT_EQ(copy->GetAction()->value, 0.3f);
  ASSERT_NE(copy->GetScripts(), source->GetScripts());
  EXPECT_EQ(copy->GetScripts()->size(), 2u);
  const ObjectPhysics& physics = *copy->GetPhysics();
  EXPECT_EQ(physics.currentGeometry, 1);
  EXPECT_EQ(physics.body, nullptr);
  ASSERT_EQ(physics.geometries.size(), 2u);
  EXPECT_NE(physics.geometries[0].get(), source->GetPhysics()->geometries[0].get());
  EXPECT_EQ(physics.geometries[0]->geometry, nullptr);
  EXPECT_EQ(physics.geometries[0]->owner, copy.get());
  EXPECT_EQ(physics.geometries[0]->dimension.z, 3.0f);
  source->GetPhysics()->geometries[0]->geometry = nullptr;
}

}  // namespace
}  // namespace tge

#include <gtest/gtest.h>

#include <cmath>

#include "core/ObjectRecording.h"
#include "core/files/SerializeStream.h"
#include "tests/core/WorldTestUtil.h"
#include "tests/core/files/TempFolder.h"

namespace tge::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

ObjectRecordingKey Key(float time, float x) {
  ObjectRecordingKey key;
  key.time = time;
  key.position = {x, 0, 0};
  return key;
}

Bytes Save(ObjectRecording& recording) {
  Bytes bytes(1024);
  SerializeStream stream;
  stream.OpenMemoryBuffer(bytes.size(), "wb", bytes.data());
  EXPECT_TRUE(recording.Serialize(stream));
  bytes.resize(static_cast<std::size_t>(stream.Tell()));
  return bytes;
}

bool Load(ObjectRecording& recording, Bytes bytes) {
  SerializeStream stream;
  stream.OpenMemoryBuffer(bytes.size(), "rb", bytes.data());
  return recording.Serialize(stream);
}

TEST(ObjectRecording, AFileRoundTripsAndACountBeyondItsSizeIsRefused) {
  ObjectRecording recording;
  recording.startTime = 2;
  recording.endTime = 5;
  recording.keys = {Key(0, 1), Key(0.1f, 2)};
  Bytes bytes = Save(recording);
  EXPECT_EQ(bytes.size(), 16u + 2 * 44u);
  ObjectRecording loaded;
  ASSERT_TRUE(Load(loaded, bytes));
  EXPECT_EQ(loaded.endTime, 5);
  ASSERT_EQ(loaded.keys.size(), 2u);
  EXPECT_EQ(loaded.keys[1].position.x, 2);

  for (std::int32_t count : {3, -1, 0x7FFFFFFF}) {
    Bytes bad = bytes;
    std::memcpy(bad.data() + 12, &count, 4);
    EXPECT_FALSE(Load(loaded, bad)) << count;
  }
  EXPECT_FALSE(Load(loaded, Bytes(bytes.begin(), bytes.end() - 1)));
}

TEST(ObjectRecording, SamplingHoldsAtTheEndsAndNeverDividesByZero) {
  struct Case {
    std::vector<ObjectRecordingKey> keys;
    float playTime;
    bool sampled;
    float x;
  };
  const Case cases[] = {
      {{}, 0.5f, false, 0},
      {{Key(0.5f, 3), Key(1, 5)}, 0.0f, true, 3},
      {{Key(0, 1), Key(0.5f, 2), Key(0.5f, 4), Key(1, 6)}, 0.5f, true, 4},
      {{Key(0, 1), Key(0.5f, 2), Key(0.5f, 4)}, 0.25f, true, 1.5f},
      {{Key(0, 1), Key(0.5f, 3)}, 9.0f, true, 3},
      {{Key(0, 1), Key(0, 7)}, 0.0f, true, 7},
  };
  for (const Case& c : cases) {
    ObjectRecording recording;
    recording.keys = c.keys;
    recording.playTime = c.playTime;
    Vector3 position;
    Quaternion rotation;
    EXPECT_EQ(recording.Sample(position, rotation), c.sampled);
    EXPECT_FLOAT_EQ(position.x, c.x) << c.keys.size() << " keys at " << c.playTime;
    EXPECT_FALSE(std::isnan(rotation.w));
  }
}

using ObjectRecordingCommandsTest = WorldTest;

TEST_F(ObjectRecordingCommandsTest, AMovementIsRecordedSavedAndPlayedBack) {
  tge::testing::TempFolder folder;
  services.SetDataPath(folder.Path().string() + "/");
  Probe& probe = AddProbe();
  probe.SetInheritOrientation(false);
  std::string name = "walk";
  probe.ExecuteCommand(198, &name);
  probe.ExecuteCommand(198, &name);
  int keyCalls = 0;
  for (int i = 0; i < probe.GetScheduleLinkCount(); ++i) keyCalls += probe.GetScheduleLink(i)->dead ? 0 : 1;
  EXPECT_EQ(keyCalls, 1) << "a new recording replaces the old one and its calls";
  for (int i = 1; i <= 10; ++i) {
    probe.SetPosition({static_cast<float>(i), 0, 0}, true);
    Tick(0.1);
  }
  probe.ExecuteCommand(199, nullptr);
  ObjectRecording* recording = probe.GetRecording();
  ASSERT_NE(recording, nullptr);
  EXPECT_NEAR(recording->endTime - recording->startTime, 1.0f, 1e-4f);
  EXPECT_GE(recording->keys.size(), 10u);
  std::string ignored;
  EXPECT_EQ(probe.ExecuteCommand(203, &ignored), 1);

  Probe& player = AddProbe("player");
  player.SetInheritOrientation(false);
  std::string missing = "nothing";
  EXPECT_EQ(player.ExecuteCommand(202, &missing), 0);
  EXPECT_EQ(player.ExecuteCommand(202, &name), 1);
  EXPECT_EQ(player.ExecuteCommand(202, &name), 0) << "already playing";
  for (int i = 0; i < 5; ++i) Tick(0.1);
  EXPECT_GT(player.GetPosition().x, 3.0f);
  EXPECT_LT(player.GetPosition().x, 7.0f);
  for (int i = 0; i < 10; ++i) Tick(0.1);
  EXPECT_EQ(player.GetRecording()->state, RecordingState::kIdle);
  EXPECT_EQ(player.GetScheduleLinkCount(), 0);
}

}  // namespace
}  // namespace tge::test

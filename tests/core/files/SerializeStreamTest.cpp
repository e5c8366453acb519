#include "core/files/SerializeStream.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

#include "tests/core/files/TempFolder.h"

namespace tge {
namespace {

using ByteVector = std::vector<std::uint8_t>;

// A record in the style of the engine's types: one routine for both
// directions, with a field that files only hold from version 60 on.
struct Record {
  struct Triple {
    float x, y, z;
  };
  std::int32_t id = 0;
  std::string name;
  std::int32_t addedAt60 = -1;
  Triple position{};
  std::uint16_t flags = 0;

  void Serialize(SerializeStream& stream) {
    stream.SerializeDword(&id);
    stream.SerializeString(name);
    if (stream.GetVersion() >= 60) stream.SerializeDword(&addedAt60);
    stream.Serialize(position);
    stream.SerializeWords(&flags, 1);
  }
};

// A file of records: the version word, a count, then the records.
void SerializeFile(SerializeStream& stream, std::vector<Record>& records) {
  std::int32_t version = SerializeStream::kLatestVersion;
  stream.SerializeDword(&version);
  stream.SetVersion(version);
  auto count = static_cast<std::int32_t>(records.size());
  stream.SerializeDword(&count);
  if (!stream.IsWriting()) records.resize(static_cast<std::size_t>(std::max(count, 0)));
  for (Record& record : records) record.Serialize(stream);
}

template <class T>
void Append(ByteVector& bytes, T value) {
  const auto* raw = reinterpret_cast<const std::uint8_t*>(&value);
  bytes.insert(bytes.end(), raw, raw + sizeof value);
}

ByteVector Written(const std::function<void(SerializeStream&)>& routine, std::size_t capacity) {
  ByteVector buffer(capacity, 0xCD);
  SerializeStream stream;
  stream.OpenMemoryBuffer(buffer.size(), "wb", buffer.data());
  routine(stream);
  EXPECT_FALSE(stream.Failed());
  buffer.resize(static_cast<std::size_t>(stream.Tell()));
  return buffer;
}

TEST(SerializeStream, StringsAreLengthThenBytes) {
  const ByteVector bytes = Written(
      [](SerializeStream& s) {
        std::string abc = "abc", empty;
        s.SerializeString(abc);
        s.SerializeString(empty);
      },
      32);
  EXPECT_EQ(bytes, (ByteVector{3, 0, 0, 0, 'a', 'b', 'c', 0, 0, 0, 0}));
}

TEST(SerializeStream, ReadsStringsTheWayTheyWereStored) {
  ByteVector bytes{0, 0, 0, 0, 5, 0, 0, 0, 'a', 'b', 0, 'c', 'd'};
  Append<std::int32_t>(bytes, 7);
  SerializeStream stream;
  stream.OpenMemoryBuffer(bytes.size(), "rb", bytes.data());
  std::string kept = "NewTimeKey", cut = "old";
  std::int32_t after = 0;
  EXPECT_EQ(stream.SerializeString(kept), 4u);
  EXPECT_EQ(stream.SerializeString(cut), 9u);
  stream.SerializeDword(&after);
  EXPECT_EQ(kept, "NewTimeKey");
  EXPECT_EQ(cut, "ab");
  EXPECT_EQ(after, 7);
  EXPECT_FALSE(stream.Failed());
}

TEST(SerializeStream, AnyModeWithAWWrites) {
  ByteVector buffer(4);
  SerializeStream stream;
  for (const auto& [mode, writes] : {std::pair{"w", true}, std::pair{"rw", true},
                                     std::pair{"r+bw", true}, std::pair{"rb", false},
                                     std::pair{"a", false}}) {
    stream.OpenMemoryBuffer(buffer.size(), mode, buffer.data());
    EXPECT_EQ(stream.IsWriting(), writes) << mode;
  }
}

TEST(SerializeStream, RecordsRoundTripThroughADiskFile) {
  testing::TempFolder folder;
  std::vector<Record> saved(2);
  saved[0] = {7, "Lamp", 60, {1.5f, -2, 3}, 0xA5A5};
  saved[1] = {-3, "", 61, {0, 0, 0.25f}, 1};
  SerializeStream out;
  ASSERT_TRUE(out.Open(folder / "records.bin", "wb"));
  SerializeFile(out, saved);
  EXPECT_EQ(out.Close(), 0);

  for (bool load : {false, true}) {
    SerializeStream in;
    ASSERT_TRUE(load ? in.OpenAndLoad(folder / "records.bin") : in.Open(folder / "records.bin", "rb"));
    std::vector<Record> loaded;
    SerializeFile(in, loaded);
    EXPECT_FALSE(in.Failed());
    EXPECT_EQ(in.Tell(), in.GetSize());
    ASSERT_EQ(loaded.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
      EXPECT_EQ(loaded[i].id, saved[i].id);
      EXPECT_EQ(loaded[i].name, saved[i].name);
      EXPECT_EQ(loaded[i].addedAt60, saved[i].addedAt60);
      EXPECT_EQ(loaded[i].position.z, saved[i].position.z);
      EXPECT_EQ(loaded[i].flags, saved[i].flags);
    }
  }
}

TEST(SerializeStream, OlderFileSkipsTheGatedField) {
  ByteVector bytes;
  Append<std::int32_t>(bytes, 59);
  Append<std::int32_t>(bytes, 1);
  Append<std::int32_t>(bytes, 42);
  Append<std::int32_t>(bytes, 1);
  bytes.push_back('x');
  for (float f : {1.0f, 2.0f, 3.0f}) Append(bytes, f);
  Append<std::uint16_t>(bytes, 9);

  SerializeStream stream;
  stream.OpenMemoryBuffer(bytes.size(), "rb", bytes.data());
  std::vector<Record> loaded;
  SerializeFile(stream, loaded);
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(stream.GetVersion(), 59);
  EXPECT_EQ(loaded[0].name, "x");
  EXPECT_EQ(loaded[0].addedAt60, -1);
  EXPECT_EQ(loaded[0].position.y, 2.0f);
  EXPECT_EQ(loaded[0].flags, 9);
  EXPECT_FALSE(stream.Failed());
}

TEST(SerializeStream, ShortReadSetsAFlagThatStaysUntilReopened) {
  ByteVector bytes{1, 0, 0, 0, 2, 0};
  SerializeStream stream;
  stream.OpenMemoryBuffer(bytes.size(), "rb", bytes.data());
  std::array<std::uint16_t, 3> words{7, 7, 7};
  std::int32_t dword = 0;
  stream.SerializeDword(&dword);
  EXPECT_EQ(stream.SerializeWords(words.data(), 3), 1u);
  EXPECT_EQ(words, (std::array<std::uint16_t, 3>{2, 7, 7}));
  EXPECT_TRUE(stream.Failed());
  stream.Seek(0, kSeekStart);
  EXPECT_EQ(stream.SerializeDword(&dword), 1u);
  EXPECT_TRUE(stream.Failed());
  stream.OpenMemoryBuffer(bytes.size(), "rb", bytes.data());
  EXPECT_FALSE(stream.Failed());
}

TEST(SerializeStream, StringLongerThanTheDataIsRefused) {
  ByteVector bytes;
  Append<std::int32_t>(bytes, 0x7FFFFFFF);
  bytes.insert(bytes.end(), {'a', 'b', 'c'});
  SerializeStream stream;
  stream.OpenMemoryBuffer(bytes.size(), "rb", bytes.data());
  std::string text = "before";
  stream.SerializeString(text);
  EXPECT_EQ(text, "before");
  EXPECT_TRUE(stream.Failed());
}

TEST(SerializeStream, WritingPastAFixedBufferFails) {
  std::array<std::uint32_t, 2> buffer{};
  SerializeStream stream;
  stream.OpenMemoryBuffer(4, "wb", buffer.data());
  std::array<std::uint32_t, 2> values{0x11223344, 0x55667788};
  EXPECT_EQ(stream.SerializeDwords(values.data(), 2), 1u);
  EXPECT_TRUE(stream.Failed());
  EXPECT_EQ(buffer, (std::array<std::uint32_t, 2>{0x11223344, 0}));
}

TEST(SerializeStream, ClosedStreamDoesNothingButFail) {
  const std::vector<std::function<void(SerializeStream&)>> operations{
      [](SerializeStream& s) { std::int32_t v = 0; s.SerializeDword(&v); },
      [](SerializeStream& s) { std::string t; s.SerializeString(t); },
      [](SerializeStream& s) { char c = 0; s.Read(&c, 1); },
      [](SerializeStream& s) { s.Write("x", 1); },
      [](SerializeStream& s) { EXPECT_EQ(s.Tell(), -1); },
      [](SerializeStream& s) { EXPECT_EQ(s.Seek(0, kSeekStart), -1); },
      [](SerializeStream& s) { EXPECT_EQ(s.GetBuffer(), nullptr); }};
  for (const auto& operation : operations) {
    SerializeStream stream;
    operation(stream);
    EXPECT_TRUE(stream.Failed());
    EXPECT_EQ(stream.Close(), 0);
  }
}

TEST(SerializeStream, LoadedFileEndsInAZeroByteAndTheStreamCanOpenAgain) {
  testing::TempFolder folder;
  folder.WriteFile("Text.TXT", "hello");
  SerializeStream stream;
  ASSERT_TRUE(stream.OpenAndLoad(folder / "text.txt"));
  EXPECT_TRUE(stream.IsMemoryBacked());
  EXPECT_EQ(stream.GetSize(), 5);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(stream.GetBuffer()), 6),
            std::string("hello\0", 6));
  stream.Close();
  EXPECT_EQ(stream.GetFileSystem(), GetFileSystem());
  EXPECT_TRUE(stream.Open(folder / "Text.TXT", "rb"));
  EXPECT_FALSE(stream.OpenAndLoad(folder / "absent.txt"));
}

}  // namespace
}  // namespace tge

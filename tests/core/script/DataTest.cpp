#include <gtest/gtest.h>

#include <cstring>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "core/script/Data.h"
#include "tests/core/script/ScriptProbe.h"

namespace tge::scripttest {
namespace {

constexpr std::uint32_t kCreateChangeScript = 12006;
constexpr std::uint32_t kSetValueText = 12038;
constexpr std::uint32_t kGetValueText = 12039;

Bytes Save(Object& object) {
  Bytes buffer(8192);
  SerializeStream stream;
  EXPECT_TRUE(stream.OpenMemoryBuffer(buffer.size(), "wb", buffer.data()));
  stream.SetVersion(81);
  EXPECT_TRUE(object.Serialize(stream));
  buffer.resize(static_cast<std::size_t>(stream.Tell()));
  stream.Close();
  return buffer;
}

bool Load(Object& object, Bytes bytes) {
  SerializeStream stream;
  EXPECT_TRUE(stream.OpenMemoryBuffer(bytes.size(), "rb", bytes.data()));
  stream.SetVersion(81);
  const bool loaded = object.Serialize(stream);
  stream.Close();
  return loaded;
}

template <class T>
void Append(Bytes& bytes, const T& value) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(&value);
  bytes.insert(bytes.end(), data, data + sizeof(T));
}

void AppendText(Bytes& bytes, const std::string& text) {
  Append(bytes, static_cast<std::int32_t>(text.size()));
  bytes.insert(bytes.end(), text.begin(), text.end());
}

class DataTest : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    RegisterDataCommands();
    data = static_cast<Data*>(CreateObject(kClassData, nullptr, *level, "Stats"));
    ASSERT_NE(data, nullptr);
  }

  // Runs on the Data object; what the probes received.
  std::vector<Call> On(const std::string& text) { return Run(text, nullptr, data); }

  std::uint32_t GetUInt(const std::string& name) {
    ArgumentBlock block;
    block.PushText128(name).Push(std::uint32_t{0xDEAD});
    data->ExecuteCommand(12017, block.Data());
    return block.Args().Get<std::uint32_t>(128);
  }

  float GetFloat(const std::string& name, std::uint32_t id = 12012) {
    ArgumentBlock block;
    block.PushText128(name).Push(-1.0f);
    data->ExecuteCommand(id, block.Data());
    return block.Args().Get<float>(128);
  }

  std::string ValueText() {
    std::string text = "stale";
    data->ExecuteCommand(kGetValueText, &text);
    return text;
  }

  Data* data = nullptr;
};

TEST_F(DataTest, CountersStayWithinZeroAndTheLargestInt) {
  On("this.AddData(); this.SetDataType(1); this.SetDataName(Lives); this.SetDataUInt(Lives, 3);");
  EXPECT_EQ(GetUInt("Lives"), 3u);
  On("this.AddDataUInt(Lives, -5);");
  EXPECT_EQ(GetUInt("Lives"), 0u);
  On("this.SetDataUInt(Lives, -2);");
  EXPECT_EQ(GetUInt("Lives"), 0u);
  On("this.SetDataUInt(Lives, 2147483647); this.AddDataUInt(Lives, 5);");
  EXPECT_EQ(GetUInt("Lives"), 2147483647u);
  EXPECT_EQ(GetUInt("lives"), 0xDEADu);  // names are exact
}

TEST_F(DataTest, ChangesByNameRunTheScriptOfThatName) {
  data->SetUseScript(true);
  data->GetScripts()->push_back({"Tint", "parent.ProbeInt(1);", -1, 0});
  auto calls =
      On("this.AddData(); this.SetDataType(11); this.SetDataName(Tint); this.SetDataColor(Tint, 1, 0.5, 0.25, 1);");
  EXPECT_TRUE(calls.empty());  // the change event is off

  calls = On("this.SetEnableOnDataChangeEvent(1); this.SetDataColorG(Tint, 0.75);");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].target, level);
  EXPECT_FLOAT_EQ(GetFloat("Tint", 12033), 1.0f);
  EXPECT_FLOAT_EQ(GetFloat("Tint", 12035), 0.75f);
  EXPECT_FLOAT_EQ(GetFloat("Tint", 12037), 0.25f);

  calls = On("this.SetDataFloat(Nothing, 2); this.AddDataFloat(Tint, 1);");
  EXPECT_EQ(calls.size(), 1u);  // only the change of Tint
  EXPECT_FLOAT_EQ(GetFloat("Tint"), 2.0f);
  EXPECT_FLOAT_EQ(GetFloat("Nothing"), -1.0f);
}

TEST_F(DataTest, TypeAndSelection) {
  On("this.AddData(); this.SetDataType(7);");
  ASSERT_EQ(data->GetEntries().size(), 1u);
  EXPECT_EQ(data->GetEntries()[0].name, "Vector3");
  std::uint32_t position = 99;
  data->ExecuteCommand(12010, &position);
  EXPECT_EQ(position, 4u);

  On("this.SetDataType(10);");  // a Matrix4 keeps to the 16 value bytes
  EXPECT_EQ(data->GetEntries()[0].size, 16);
  On("this.SetDataType(99);");
  EXPECT_EQ(data->GetEntries()[0].type, kValueMatrix4);

  // Without a valid selection the entry commands do nothing.
  On("this.SetDataList(5); this.SetDataName(Lost); this.SetDataType(3); this.DeleteData();");
  ASSERT_EQ(data->GetEntries().size(), 1u);
  EXPECT_EQ(data->GetEntries()[0].name, "Matrix4");
  std::string name = "kept";
  data->ExecuteCommand(12008, &name);  // GetDataName
  EXPECT_EQ(name, "Matrix4");  // DeleteData selected the first entry
  data->ExecuteCommand(kCreateChangeScript, nullptr);
  ASSERT_NE(data->GetScripts(), nullptr);
  EXPECT_EQ(data->GetScripts()->back().name, "Matrix4");
  EXPECT_EQ(data->GetScripts()->back().flags, kScriptEntryRecord);

  std::vector<std::string> names;
  On("this.AddData();");
  data->ExecuteCommand(12004, &names);
  EXPECT_EQ(names, (std::vector<std::string>{"Matrix4", "Float"}));
  On("this.SetDataList(0); this.DeleteData(); this.DeleteData();");
  EXPECT_TRUE(data->GetEntries().empty());
  EXPECT_EQ(data->GetSelectedEntry(), -1);
}

TEST_F(DataTest, ValuesAsText) {
  std::string text = "42";
  On("this.AddData(); this.SetDataType(2);");
  data->ExecuteCommand(kSetValueText, &text);
  EXPECT_EQ(ValueText(), "42");
  On("this.SetDataType(3);");
  text = "1.5";
  data->ExecuteCommand(kSetValueText, &text);
  EXPECT_EQ(ValueText(), "1.500000");
  On("this.SetDataType(16);");
  EXPECT_EQ(ValueText(), "");
  On("this.SetDataList(-1);");
  EXPECT_EQ(ValueText(), "");
}

TEST_F(DataTest, SaveLoadRoundTrip) {
  On("this.SetEnableOnDataChangeEvent(1); this.AddData(); this.SetDataName(Speed); this.SetDataFloat(Speed, 2.5);"
     "this.AddData(); this.SetDataType(11); this.SetDataName(Tint); this.SetDataColor(Tint, 1, 2, 3, 4);");
  const Bytes saved = Save(*data);
  Data copy;
  ASSERT_TRUE(Load(copy, saved));
  ASSERT_EQ(copy.GetEntries().size(), 2u);
  EXPECT_EQ(copy.GetEntries()[1].name, "Tint");
  EXPECT_EQ(copy.GetEntries()[1].value, data->GetEntries()[1].value);
  EXPECT_EQ(Save(copy), saved);
}

TEST_F(DataTest, StoredSizesAreCheckedAndCut) {
  Data empty;
  Bytes bytes = Save(empty);
  bytes.resize(bytes.size() - 4);  // the entry count
  Bytes good = bytes;
  Append(good, std::int32_t{2});
  Append(good, std::int32_t{kValueMatrix4});
  Append(good, std::int32_t{64});
  for (int i = 0; i < 16; ++i) Append(good, static_cast<float>(i + 1));
  AppendText(good, "M");
  Append(good, std::int32_t{kValueFloat});
  Append(good, std::int32_t{4});
  Append(good, 2.5f);
  AppendText(good, "F");
  Data loaded;
  ASSERT_TRUE(Load(loaded, good));
  ASSERT_EQ(loaded.GetEntries().size(), 2u);
  EXPECT_EQ(loaded.GetEntries()[0].size, 16);
  float fourth = 0;
  std::memcpy(&fourth, loaded.GetEntries()[0].value.data() + 12, 4);
  EXPECT_EQ(fourth, 4.0f);
  EXPECT_EQ(loaded.GetEntries()[1].name, "F");

  struct Case {
    const char* what;
    std::int32_t count;
    std::int32_t size;
  };
  const Case bad[] = {{"count beyond the data", 1000000, 4}, {"negative count", -1, 4},
                      {"size beyond the data", 1, 100000}, {"negative size", 1, -4}};
  for (const Case& c : bad) {
    Bytes corrupt = bytes;
    Append(corrupt, c.count);
    Append(corrupt, std::int32_t{kValueFloat});
    Append(corrupt, c.size);
    Append(corrupt, 1.0f);
    AppendText(corrupt, "X");
    Data target;
    EXPECT_FALSE(Load(target, corrupt)) << c.what;
    EXPECT_TRUE(target.GetEntries().empty()) << c.what;
  }
}

}  // namespace
}  // namespace tge::scripttest

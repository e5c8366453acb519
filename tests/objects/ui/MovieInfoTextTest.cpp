// MovieFMV and InfoText: the play command's end event, the text properties
// through commands and scripts, and their shared file record.
#include <gtest/gtest.h>

#include <cstring>

#include "core/files/SerializeStream.h"
#include "core/script/Data.h"
#include "core/script/ScriptInterpreter.h"
#include "objects/ui/InfoText.h"
#include "objects/ui/MovieFMV.h"
#include "tests/engine/EngineTestFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kSetMovieFMVName = 14500, kGetMovieFMVName = 14501, kMovieFMVPlay = 14502;
constexpr std::uint32_t kSetInfoText = 16000, kGetInfoText = 16001;

std::string GetText(Object& object, std::uint32_t id) {
  std::string text;
  object.ExecuteCommand(id, &text);
  return text;
}

void SetText(Object& object, std::uint32_t id, std::string text) { object.ExecuteCommand(id, &text); }

class MovieInfoTextTest : public EngineTest {
 protected:
  // A movie whose OnMovieFMVEnd script adds 1 to the counter Ends of a
  // Data object beside it.
  MovieFMV& AddCountingMovie() {
    auto& counter = static_cast<Data&>(Add(*engine, "Counter", kClassData));
    RunScriptText(counter, "this.AddData(); this.SetDataName(Ends);", nullptr);
    auto& movie = static_cast<MovieFMV&>(Add(*engine, "Movie", kClassMovieFMV));
    movie.SetUseScript(true);
    movie.GetScripts()->push_back({"OnMovieFMVEnd", "parent/Counter.AddDataFloat(Ends, 1);", kEventOnMovieFMVEnd, 0});
    movie.SetActive(true);
    counter_ = &counter;
    return movie;
  }

  float Ends() const {
    float value = 0;
    std::memcpy(&value, counter_->GetEntries().at(0).value.data(), sizeof value);
    return value;
  }

  Data* counter_ = nullptr;
};

TEST_F(MovieInfoTextTest, PlayRaisesTheEndOnceWhateverItIsGiven) {
  MovieFMV& movie = AddCountingMovie();
  movie.ExecuteCommand(kMovieFMVPlay, nullptr);
  EXPECT_EQ(Ends(), 1.0f) << "empty name, no argument";
  SetText(movie, kMovieFMVPlay, "Intro");
  EXPECT_EQ(Ends(), 2.0f);
  RunScriptText(movie, "this.SetMovieFMVName(Intro); this.MovieFMVPlay(Anything);", nullptr);
  EXPECT_EQ(Ends(), 3.0f);
  EXPECT_EQ(GetText(movie, kGetMovieFMVName), "Intro");
}

TEST_F(MovieInfoTextTest, PlayOnAnInactiveMovieRunsNoEndScript) {
  MovieFMV& movie = AddCountingMovie();
  movie.SetActive(false);
  movie.ExecuteCommand(kMovieFMVPlay, nullptr);
  EXPECT_EQ(Ends(), 0.0f);
}

TEST_F(MovieInfoTextTest, TextsSurviveSaveLoadAndSaveByteForByte) {
  Object& info = Add(*engine, "Hint", kClassInfoText);
  RunScriptText(info, "this.SetInfoText(Press any key);", nullptr);
  EXPECT_EQ(GetText(info, kGetInfoText), "Press any key");
  Object& movie = Add(*engine, "Cut", kClassMovieFMV);
  SetText(movie, kSetMovieFMVName, "Ending");
  ASSERT_TRUE(engine->SaveObjectFile(*engine, "texts.sac", false, false));

  Object& holder = Add(*engine, "Holder");
  ASSERT_TRUE(engine->LoadObjectFile(holder, "texts.sac"));
  ASSERT_EQ(holder.GetChildCount(), 2);
  EXPECT_EQ(GetText(*holder.GetChild(0), kGetInfoText), "Press any key");
  EXPECT_EQ(GetText(*holder.GetChild(1), kGetMovieFMVName), "Ending");
  ASSERT_TRUE(engine->SaveObjectFile(holder, "again.sac", false, false));
  EXPECT_EQ(folder.ReadFile("again.sac"), folder.ReadFile("texts.sac"));
}

TEST_F(MovieInfoTextTest, RecordsOlderThanVersionOneLoadAnEmptyText) {
  for (int classId : {kClassInfoText, kClassMovieFMV}) {
    Object& object = Add(*engine, "Old", classId);
    SetText(object, classId == kClassInfoText ? kSetInfoText : kSetMovieFMVName, "Lost");
    std::vector<std::uint8_t> bytes(1024);
    SerializeStream out;
    ASSERT_TRUE(out.OpenMemoryBuffer(bytes.size(), "wb", bytes.data()));
    out.SetVersion(0);
    ASSERT_TRUE(object.Serialize(out));
    bytes.resize(std::size_t(out.Tell()));

    std::unique_ptr<Object> loaded = CreateObject(classId, nullptr, nullptr);
    SerializeStream in;
    ASSERT_TRUE(in.OpenMemoryBuffer(bytes.size(), "rb", bytes.data()));
    in.SetVersion(0);
    ASSERT_TRUE(loaded->Serialize(in));
    EXPECT_EQ(in.Tell(), std::int64_t(bytes.size())) << classId;
    EXPECT_EQ(GetText(*loaded, classId == kClassInfoText ? kGetInfoText : kGetMovieFMVName), "") << classId;
  }
}

}  // namespace
}  // namespace tge::test

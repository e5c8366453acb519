// The font file reader, the UTF-8 decoder, measuring, and batching and
// filtering of glyph quads on a recording device.
#include <gtest/gtest.h>

#include <string>

#include "services/ResourceDatabase.h"
#include "services/Utf8.h"
#include "services/render/FrameRender.h"
#include "services/render/PostEffects.h"
#include "services/render/RenderQueue.h"
#include "services/render/TextDrawing.h"
#include "services/render/ViewState.h"
#include "services/resources/FontResource.h"
#include "tests/services/TestBytes.h"
#include "tests/services/render/RecordingRenderDevice.h"

namespace tge {
namespace {

// Version 1, line height 10, baseline 2, the size (12 unless given), gap 3;
// characters 0 to 'b' map 'a' to glyph 1 and 'b' to glyph 2.
test::Bytes FontFile(std::uint16_t characters = 'b', std::uint32_t glyphs = 3, std::uint16_t bEntry = 2,
                     float size = 12) {
  test::Bytes file;
  file.U32(1).F32(10).F32(2).F32(size).F32(3).U16(characters);
  for (std::uint32_t c = 0; c <= characters; ++c) file.U16(c == 'a' ? 1 : c == 'b' ? bEntry : 0);
  file.U32(glyphs);
  for (std::uint32_t g = 0; g < glyphs; ++g) file.F32(0).F32(0).F32(1).F32(1).U16(1).U16(4).U16(std::uint16_t(5 + g)).U16(0);
  return file;
}

TEST(FontFileTest, ReaderRefusesWhatItCannotTrust) {
  FontData data;
  std::string error;
  const test::Bytes good = FontFile();
  ASSERT_TRUE(FontResource::Parse(good.data.data(), good.data.size(), data, error)) << error;
  EXPECT_EQ(data.glyphs.size(), 3u);
  EXPECT_EQ(data.glyphs[2].advance, 7);
  EXPECT_FLOAT_EQ(data.metrics.size, 12.0f);
  struct Case {
    const char* what;
    test::Bytes file;
  };
  test::Bytes truncated = FontFile();
  truncated.data.resize(truncated.data.size() - 1);
  test::Bytes versionZero;
  versionZero.U32(0);
  const Case bad[] = {{"truncated", truncated},
                      {"no glyphs", FontFile('b', 0, 0)},
                      {"entry past the glyphs", FontFile('b', 2, 2)},
                      {"no glyph table at all", versionZero},
                      {"empty", test::Bytes{}}};
  for (const Case& c : bad) {
    EXPECT_FALSE(FontResource::Parse(c.file.data.data(), c.file.data.size(), data, error)) << c.what;
  }
}

TEST(Utf8Test, DecodesWholeCharactersAndReplacesMalformedOnes) {
  struct Case {
    std::string text;
    std::u16string expected;
  };
  const Case cases[] = {
      {"ab", u"ab"},
      {"\xC3\xA9\xE2\x82\xAC", u"\u00E9\u20AC"},
      {"\xF0\x9F\x98\x80", u"\uFFFD"},   // beyond 16 bits
      {"\xC0\xAF", u"\uFFFD"},           // overlong
      {"\x80" "a", u"\uFFFD" "a"},         // stray continuation
      {"\xED\xA0\x80", u"\uFFFD"},        // surrogate
      {"a\xE2\x82", u"a\uFFFD"},          // cut short
      {"\xE2\x82" "b", u"\uFFFD" "b"},
  };
  for (const Case& c : cases) {
    char16_t out[16];
    const std::size_t n = DecodeUtf8(c.text, out);
    EXPECT_EQ(std::u16string(out, n), c.expected) << c.text;
    EXPECT_EQ(out[n], 0);
  }
  char16_t small[3];
  EXPECT_EQ(DecodeUtf8("\xC3\xA9\xC3\xA9\xC3\xA9", small), 2u);
}

TEST(Utf8Test, EncodesEveryLengthAndReplacesWhatIsNoCharacter) {
  const std::pair<char32_t, std::string> cases[] = {
      {U'a', "a"},
      {0xE9, "\xC3\xA9"},
      {0x20AC, "\xE2\x82\xAC"},
      {0x1F600, "\xF0\x9F\x98\x80"},
      {0xD800, "\xEF\xBF\xBD"},
      {0x110000, "\xEF\xBF\xBD"},
  };
  for (const auto& [code, expected] : cases) {
    std::string text = "x";
    AppendUtf8(text, code);
    EXPECT_EQ(text, "x" + expected) << static_cast<std::uint32_t>(code);
  }
}

TEST(Utf8Test, CountsAndErasesWholeCharactersAsTheDecoderReadsThem) {
  struct Case {
    std::string text;
    std::size_t count;
    std::string afterErase;
  };
  const Case cases[] = {
      {"", 0, ""},
      {"a\xC3\xA9", 2, "a"},
      {"a\xE2\x82\xAC", 2, "a"},
      {"\xF0\x9F\x98\x80", 1, ""},
      {"ab\x80", 3, "ab"},        // a stray continuation is one character
      {"a\xE2\x82", 2, "a"},     // a cut sequence too
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CountUtf8Characters(c.text), c.count) << c.text;
    std::string text = c.text;
    EraseLastUtf8Character(text);
    EXPECT_EQ(text, c.afterErase) << c.text;
  }
}

class TextDrawingTest : public ::testing::Test {
 protected:
  TextDrawingTest() {
    db_.SetDataFolder(folder_.Folder());
    folder_.Write("Data/test.fnt", FontFile().data);
    auto font = std::make_unique<FontResource>();
    font->SetFileName("test.fnt");
    font_ = db_.AdoptResource(std::move(font));
  }

  test::TempDataFolder folder_;
  ResourceDatabase db_;
  ResourceRef font_;
};

TEST_F(TextDrawingTest, MeasureSumsPlacementAndAdvanceAndStacksLines) {
  float width = 0, height = 0;
  const TextStyle style{1, 2, 2, 1, 0};
  // 'a': offset 1, advance 6; 'b': 1, 7; '?' past the map: glyph 0, 1, 5.
  ASSERT_EQ(MeasureTextUtf8("ab\n?", false, &width, &height, font_.Get(), style), 1);
  EXPECT_FLOAT_EQ(width, 2 * 1 + 2 * (2 + 6) + 2 * 1 + 2 * (2 + 7));
  EXPECT_FLOAT_EQ(height, 10 + (1 + 3));
  ASSERT_EQ(MeasureTextUtf8("?\nab", true, &width, &height, font_.Get(), style), 1);
  EXPECT_FLOAT_EQ(width, 2 * 1 + 2 * (2 + 5));
  EXPECT_FLOAT_EQ(height, 10);
  EXPECT_EQ(MeasureTextUtf8("ab", false, &width, &height, nullptr, style), 0);
  EXPECT_EQ(width, 0);
}

TEST_F(TextDrawingTest, LongLinesDrawInBatchesOfTheScratch) {
  test::RecordingRenderDevice rig;
  auto& recording = *rig.recording;
  EXPECT_EQ(DrawTextUtf8(rig.device, font_.Get(), "", {0, 0, 0}, Color{1, 1, 1, 1}, {}, nullptr), 1);
  EXPECT_EQ(recording.CountCalls(gfx::CallType::kDrawPrimitive), 0u);
  EXPECT_EQ(DrawTextUtf8(rig.device, font_.Get(), std::string(600, 'a'), {0, 0, 0}, Color{1, 1, 1, 1}, {}, nullptr),
            1);
  std::vector<std::uint32_t> triangles;
  for (const gfx::DeviceCall& call : recording.Calls()) {
    if (call.type == gfx::CallType::kDrawPrimitive) triangles.push_back(call.c);
  }
  EXPECT_EQ(triangles, (std::vector<std::uint32_t>{2 * 512, 2 * 88}));
  EXPECT_EQ(DrawTextUtf8(rig.device, nullptr, "a", {0, 0, 0}, Color{1, 1, 1, 1}, {}, nullptr), 0);
}

// Sampler 0's minification and magnification filters when the first draw was
// made: what they were before the recorded calls, changed by those calls.
std::pair<std::uint32_t, std::uint32_t> FiltersAtFirstDraw(const gfx::RecordingDevice& device,
                                                           std::pair<std::uint32_t, std::uint32_t> filters) {
  for (const gfx::DeviceCall& call : device.Calls()) {
    if (call.type == gfx::CallType::kDrawPrimitive) break;
    if (call.type != gfx::CallType::kSetSamplerState || call.a != 0) continue;
    if (call.b == gfx::kSampMinFilter) filters.first = call.c;
    if (call.b == gfx::kSampMagFilter) filters.second = call.c;
  }
  return filters;
}

TEST_F(TextDrawingTest, FontsMadeSmallerThanSixteenAreDrawnWithoutFiltering) {
  struct Case {
    float size;
    std::uint32_t filter;
  };
  for (const Case& c : {Case{12, gfx::kFilterPoint}, Case{15.9f, gfx::kFilterPoint}, Case{16, gfx::kFilterLinear},
                        Case{24, gfx::kFilterLinear}}) {
    folder_.Write("Data/sized.fnt", FontFile('b', 3, 2, c.size).data);
    auto sized = std::make_unique<FontResource>();
    sized->SetFileName("sized.fnt");
    const ResourceRef font = db_.AdoptResource(std::move(sized));
    test::RecordingRenderDevice rig;
    const std::pair<std::uint32_t, std::uint32_t> before = {rig.recording->GetSamplerState(0, gfx::kSampMinFilter),
                                                            rig.recording->GetSamplerState(0, gfx::kSampMagFilter)};
    ViewState view;
    RenderQueue queue{view};
    PostEffects post;
    FrameRender frame{queue, view, post};
    ASSERT_EQ(frame.BeginFrame(rig.device), 1);
    queue.QueueText(font.Get(), "ab", {0, 0, 0}, 1, 1, Color{1, 1, 1, 1}, 0, 0, 0);
    frame.RenderFrame(rig.device, {});
    frame.EndFrame(&rig.device);
    ASSERT_EQ(rig.recording->CountCalls(gfx::CallType::kDrawPrimitive), 1u) << c.size;
    EXPECT_EQ(FiltersAtFirstDraw(*rig.recording, before), std::make_pair(c.filter, c.filter)) << c.size;
    EXPECT_EQ(rig.recording->GetSamplerState(0, gfx::kSampMinFilter), gfx::kFilterLinear) << c.size;
    EXPECT_EQ(rig.recording->GetSamplerState(0, gfx::kSampMagFilter), gfx::kFilterLinear) << c.size;
  }
}

}  // namespace
}  // namespace tge

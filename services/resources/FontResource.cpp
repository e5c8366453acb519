#include "services/resources/FontResource.h"

#include <algorithm>

#include "core/files/SerializeStream.h"
#include "services/ErrorMessage.h"

namespace tge {
namespace {

constexpr std::uint64_t kGlyphBytes = 24;
// Library records of these versions hold three fields no longer used.
constexpr int kOldRecordFirst = 1, kOldRecordLast = 6;

bool ReadGlyphs(SerializeStream& stream, FontData& out, std::string& error) {
  std::uint32_t count = 0;
  stream.SerializeDword(&count);
  if (stream.Failed() || !CountFitsStream(stream, count, kGlyphBytes)) {
    error = "glyph count beyond the file";
    return false;
  }
  out.glyphs.resize(count);
  for (Glyph& glyph : out.glyphs) {
    float rectangle[4] = {};
    std::uint16_t placement[4] = {};
    stream.SerializeDwords(rectangle, 4);
    stream.SerializeWords(placement, 4);
    glyph = {rectangle[0], rectangle[1], rectangle[2], rectangle[3], std::int16_t(placement[0]),
             std::int16_t(placement[1]), std::int16_t(placement[2])};
  }
  return !stream.Failed();
}

}  // namespace

bool FontResource::Parse(const std::uint8_t* data, std::size_t size, FontData& out, std::string& error) {
  std::vector<std::uint8_t> copy(data, data + size);
  SerializeStream stream;
  if (!stream.OpenMemoryBuffer(copy.size(), "rb", copy.data())) {
    error = "cannot read";
    return false;
  }
  std::uint32_t version = 0;
  stream.SerializeDword(&version);
  out = FontData{};
  if (version >= 1) {
    float metrics[4] = {};
    stream.SerializeDwords(metrics, 4);
    out.metrics = {metrics[0], metrics[1], metrics[2], metrics[3]};
    std::uint16_t characters = 0;
    stream.SerializeWords(&characters, 1);
    if (stream.Failed() || !CountFitsStream(stream, std::uint64_t{characters} + 1, 2)) {
      error = "truncated header or character map";
      return false;
    }
    out.characterMap.resize(std::size_t{characters} + 1);
    stream.SerializeWords(out.characterMap.data(), out.characterMap.size());
    if (!ReadGlyphs(stream, out, error)) return false;
  }
  if (stream.Failed()) {
    error = "truncated";
    return false;
  }
  if (out.glyphs.empty()) {
    error = "no glyphs";
    return false;
  }
  const std::size_t glyphCount = out.glyphs.size();
  if (std::any_of(out.characterMap.begin(), out.characterMap.end(),
                  [glyphCount](std::uint16_t entry) { return entry >= glyphCount; })) {
    error = "character map names a glyph past the glyph table";
    return false;
  }
  return true;
}

int FontResource::Load() {
  if (IsLoaded()) return 1;
  const std::string path = GetDataPath();
  SerializeStream stream;
  if (!stream.OpenAndLoad(path)) return 0;
  FontData data;
  std::string error;
  const auto size = static_cast<std::size_t>(std::max<std::int64_t>(stream.GetSize(), 0));
  if (!Parse(stream.GetBuffer(), size, data, error)) {
    return FormatErrorMessage("Bad font file %s: %s", path.c_str(), error.c_str());
  }
  data_ = std::move(data);
  scratch_.assign(kScratchVertices, ScreenVertex{});
  if (material) material->Load();
  return 1;
}

int FontResource::Unload() {
  data_ = FontData{};
  scratch_ = {};
  return 1;
}

void FontResource::ForEachCountedReference(const Visitor& visit) {
  if (material) visit(*material);
}

void FontResource::ForEachDependency(const Visitor& visit) { ForEachCountedReference(visit); }

const Glyph& FontResource::GetGlyph(char16_t code) const {
  const std::uint16_t index = code < data_.characterMap.size() ? data_.characterMap[code] : 0;
  return data_.glyphs[index];
}

bool FontResource::SerializeFields(SerializeStream& stream, const ResourceDatabase& database) {
  if (stream.GetVersion() >= kOldRecordFirst && stream.GetVersion() <= kOldRecordLast) {
    std::string dropped;
    std::uint32_t droppedValues[2] = {0, 0};
    stream.SerializeString(dropped);
    stream.SerializeDwords(droppedValues, 2);
  }
  SerializeResourceName(stream, database, material, kMaterialResource);
  return true;
}

}  // namespace tge

#include "tools/TextDatabaseWriter.h"

#include "core/files/SerializeStream.h"
#include "services/TextDatabase.h"

namespace tge {
namespace {

// Version 3: a format word and the code page follow the version.
constexpr std::uint32_t kTextDatabaseVersion = 3;

}  // namespace

bool WriteTextDatabase(const std::filesystem::path& file, const std::vector<TextRecord>& records) {
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (records[i].parent < -1 || records[i].parent >= static_cast<std::int32_t>(i)) return false;
  }
  SerializeStream stream;
  if (!stream.Open(file.string(), "wb")) return false;
  stream.SetVersion(static_cast<int>(kTextDatabaseVersion));
  std::uint32_t version = kTextDatabaseVersion, format = 0, codePage = TextDatabase::kDefaultCodePage;
  auto count = static_cast<std::uint32_t>(records.size());
  stream.SerializeDword(&version);
  stream.SerializeDword(&format);
  stream.SerializeDword(&codePage);
  stream.SerializeDword(&count);
  for (TextRecord record : records) {
    stream.SerializeDword(&record.parent);
    stream.SerializeDword(&record.value);
    stream.SerializeString(record.name);
    stream.SerializeString(record.text);
  }
  const bool written = !stream.Failed();
  stream.Close();
  return written;
}

}  // namespace tge

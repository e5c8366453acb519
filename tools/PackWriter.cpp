#include "tools/PackWriter.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>

#include "core/files/ByteAppend.h"
#include "core/files/PackFileSystem.h"

namespace tge {
namespace {

bool Fail(std::string* error, const std::string& message) {
  if (error) *error = message;
  return false;
}

}  // namespace

std::vector<std::uint8_t> BuildPackImage(const std::vector<PackSource>& sources,
                                         std::string* error) {
  std::vector<std::uint8_t> image;
  std::uint64_t offset = kPackTableStart + sizeof(PackEntry) * sources.size();
  std::vector<PackEntry> table;
  for (const PackSource& source : sources) {
    PackEntry entry{};
    if (source.name.size() >= kPackNameSize) {
      Fail(error, "name longer than " + std::to_string(kPackNameSize - 1) + ": " + source.name);
      return {};
    }
    if (offset + source.bytes.size() > std::numeric_limits<std::int32_t>::max()) {
      Fail(error, "archive would pass the format's 2 GB limit at " + source.name);
      return {};
    }
    entry.offset = static_cast<std::int32_t>(offset);
    entry.size = static_cast<std::int32_t>(source.bytes.size());
    std::memcpy(entry.name, source.name.data(), source.name.size());
    table.push_back(entry);
    offset += source.bytes.size();
  }
  PackHeader header{};
  header.magic = kPackMagic;
  AppendValue(image, header);
  AppendValue(image, static_cast<std::int32_t>(sources.size()));
  for (const PackEntry& entry : table) AppendValue(image, entry);
  for (const PackSource& source : sources) {
    image.insert(image.end(), source.bytes.begin(), source.bytes.end());
  }
  return image;
}

bool WritePackFile(const std::filesystem::path& path, const std::vector<PackSource>& sources,
                   std::string* error) {
  const std::vector<std::uint8_t> image = BuildPackImage(sources, error);
  if (image.empty()) return false;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  out.close();
  return out ? true : Fail(error, "cannot write " + path.string());
}

std::vector<PackSource> CollectPackSources(const std::filesystem::path& folder,
                                           std::string* error) {
  namespace fs = std::filesystem;
  std::vector<PackSource> sources;
  std::error_code code;
  for (fs::recursive_directory_iterator it(folder, code), end; !code && it != end;
       it.increment(code)) {
    if (!it->is_regular_file()) continue;
    PackSource source;
    source.name = it->path().lexically_relative(folder).generic_string();
    std::replace(source.name.begin(), source.name.end(), '/', '\\');
    std::ifstream in(it->path(), std::ios::binary);
    source.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    sources.push_back(std::move(source));
  }
  if (code) Fail(error, "cannot list " + folder.string() + ": " + code.message());
  std::sort(sources.begin(), sources.end(),
            [](const PackSource& a, const PackSource& b) { return a.name < b.name; });
  return sources;
}

}  // namespace tge

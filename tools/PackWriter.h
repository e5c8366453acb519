// Writes game archives for tests, fuzz seeds and the demo's data. Entries
// are laid out in the order given: header, table, then each entry's bytes.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tge {

struct PackSource {
  std::string name;  // relative path, '\' separators, at most 127 characters
  std::vector<std::uint8_t> bytes;
};

// The archive's bytes; empty with a message in error when a name is too long
// or the data would not fit the format's 32-bit offsets.
std::vector<std::uint8_t> BuildPackImage(const std::vector<PackSource>& sources,
                                         std::string* error = nullptr);
bool WritePackFile(const std::filesystem::path& path, const std::vector<PackSource>& sources,
                   std::string* error = nullptr);
// Every regular file below folder, named by its path relative to folder with
// '\' separators, in name order.
std::vector<PackSource> CollectPackSources(const std::filesystem::path& folder,
                                           std::string* error = nullptr);

}  // namespace tge

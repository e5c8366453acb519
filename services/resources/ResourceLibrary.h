// The resource library file (".sli"): every resource of the game with its
// type, name, data file and settings. Reading creates and registers the
// resources (nothing is loaded); writing stores the registered ones in an
// order that puts every resource before the records that name it.
//
// A library that is truncated, has counts beyond its size, or holds a type
// this build cannot create is refused whole: what the read had registered is
// taken out again and nothing of the file is kept.
#pragma once
#include <cstdint>
#include <string>

namespace tge {

class ResourceDatabase;
class SerializeStream;

constexpr std::uint32_t kLibraryVersion = 7;

// 1, or 0 with the reason in the last-error text. The library value from the
// header goes to libraryValue on success.
int ReadResourceLibrary(const std::string& path, ResourceDatabase& database, float& libraryValue);
int ReadResourceLibrary(SerializeStream& stream, const std::string& path, ResourceDatabase& database,
                        float& libraryValue);
int WriteResourceLibrary(const std::string& path, const ResourceDatabase& database, float libraryValue);

// The text database that belongs to a library: the data folder, "Data\",
// then the library's file name with its last four characters replaced by
// ".qbw".
std::string GetTextDatabasePath(const std::string& dataFolder, const std::string& libraryPath);

}  // namespace tge

#include "services/resources/ResourceLibrary.h"

#include <array>
#include <vector>

#include "core/files/SerializeStream.h"
#include "services/ErrorMessage.h"
#include "services/ResourceDatabase.h"

namespace tge {
namespace {

// Referenced types first: textures before materials, materials before the
// fonts, videos, meshes and terrains that name them, meshes before skinned
// and morph meshes.
constexpr std::array<int, kResourceTypeCount> kWriteOrder = {
    kSoundResource, kAnimationResource, kTextureResource,  kMaterialResource,
    kVideoResource, kFontResource,      kMeshResource,     kSkinMeshResource,
    kMorphMeshResource, kTerrainResource, kCollisionGeometryResource, kRawFileResource};

// Type id, slot, reserved word and three empty strings.
constexpr std::int64_t kMinRecordBytes = 24;
// Files of version 4 and older store a value that no longer applies.
constexpr float kOldLibraryValue = 100.0f;

struct LibraryHeader {
  std::uint32_t version = kLibraryVersion;
  std::uint32_t count = 0;
  float value = 1.0f;
  std::uint32_t reserved[2] = {0, 0};
};

void SerializeHeader(SerializeStream& stream, LibraryHeader& header) {
  stream.SerializeDword(&header.version);
  if (header.version < 1) return;
  stream.SerializeDword(&header.count);
  stream.SerializeDword(&header.value);
  stream.SerializeDwords(header.reserved, 2);
}

int ReadRecord(SerializeStream& stream, const std::string& path, std::uint32_t index, ResourceDatabase& database,
               std::vector<int>& registered) {
  std::int32_t type = -1, slot = -1;
  stream.SerializeDword(&type);
  stream.SerializeDword(&slot);
  if (stream.Failed()) return FormatErrorMessage("Library %s: record %u is truncated", path.c_str(), index);
  if (!IsResourceType(type)) {
    return FormatErrorMessage("Library %s: record %u has unknown resource type %d", path.c_str(), index, type);
  }
  std::unique_ptr<Resource> resource = database.CreateResource(type);
  if (!resource) {
    return FormatErrorMessage("Library %s: record %u: resource type %s is not available", path.c_str(), index,
                              GetResourceTypeName(type));
  }
  if (!resource->Serialize(stream, database) || stream.Failed()) {
    return FormatErrorMessage("Library %s: record %u (%s) is truncated or holds counts beyond the file",
                              path.c_str(), index, GetResourceTypeName(type));
  }
  registered.push_back(database.RegisterResource(std::move(resource)));
  return 1;
}

}  // namespace

int ReadResourceLibrary(const std::string& path, ResourceDatabase& database, float& libraryValue) {
  SerializeStream stream;
  if (!stream.OpenAndLoad(path)) return FormatErrorMessage("Error Opening File: %s", path.c_str());
  return ReadResourceLibrary(stream, path, database, libraryValue);
}

int ReadResourceLibrary(SerializeStream& stream, const std::string& path, ResourceDatabase& database,
                        float& libraryValue) {
  LibraryHeader header;
  header.version = 0;
  SerializeHeader(stream, header);
  if (stream.Failed()) return FormatErrorMessage("Library %s: header is truncated", path.c_str());
  if (header.version > kLibraryVersion) {
    return FormatErrorMessage("Library %s: unknown version %u", path.c_str(), header.version);
  }
  if (header.count > (stream.GetSize() - stream.Tell()) / kMinRecordBytes) {
    return FormatErrorMessage("Library %s: %u records cannot fit in the file", path.c_str(), header.count);
  }
  stream.SetVersion(static_cast<int>(header.version));
  std::vector<int> registered;
  for (std::uint32_t i = 0; i < header.count; ++i) {
    if (!ReadRecord(stream, path, i, database, registered)) {
      for (int slot : registered) database.UnregisterResource(slot);
      return 0;
    }
  }
  libraryValue = header.version <= 4 ? kOldLibraryValue : header.value;
  return 1;
}

int WriteResourceLibrary(const std::string& path, const ResourceDatabase& database, float libraryValue) {
  SerializeStream stream;
  if (!stream.Open(path, "wb")) return FormatErrorMessage("Error Opening File: %s", path.c_str());
  stream.SetVersion(static_cast<int>(kLibraryVersion));
  LibraryHeader header;
  header.value = libraryValue;
  SerializeHeader(stream, header);
  for (int type : kWriteOrder) {
    for (std::size_t slot = 0; slot < database.GetSlotCount(); ++slot) {
      Resource* resource = database.GetResourceBySlot(static_cast<int>(slot));
      if (!resource || resource->GetType() != type) continue;
      std::int32_t storedType = type, storedSlot = resource->GetSlot();
      stream.SerializeDword(&storedType);
      stream.SerializeDword(&storedSlot);
      resource->Serialize(stream, database);
      ++header.count;
    }
  }
  const bool seeked = stream.Seek(4, kSeekStart) == 0;
  const bool written = seeked && stream.SerializeDword(&header.count) == 1;
  if (stream.Close() != 0 || !written) return FormatErrorMessage("Error Writing File: %s", path.c_str());
  return 1;
}

std::string GetTextDatabasePath(const std::string& dataFolder, const std::string& libraryPath) {
  const std::size_t separator = libraryPath.find_last_of("/\\");
  std::string name = separator == std::string::npos ? libraryPath : libraryPath.substr(separator + 1);
  name.resize(name.size() >= 4 ? name.size() - 4 : 0);
  return dataFolder + "Data\\" + name + ".qbw";
}

}  // namespace tge

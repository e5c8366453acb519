#include "services/resources/Resource.h"

#include "core/files/SerializeStream.h"
#include "services/ResourceDatabase.h"

namespace tge {

bool Resource::Serialize(SerializeStream& stream, const ResourceDatabase& database) {
  if (stream.GetVersion() < 1) return true;
  stream.SerializeDword(&reserved_);
  stream.SerializeString(name_);
  stream.SerializeString(fileName_);
  // Written empty by every version; whatever a file holds there is dropped.
  std::string dropped;
  stream.SerializeString(dropped);
  return SerializeFields(stream, database);
}

std::string Resource::GetDataPath(const std::string& name) const {
  const std::string folder = database_ ? database_->GetDataFolder() : std::string();
  return folder + "Data\\" + name;
}

bool CountFitsStream(SerializeStream& stream, std::uint64_t count, std::uint64_t itemBytes) {
  if (stream.IsWriting()) return true;
  const std::int64_t left = stream.GetSize() - stream.Tell();
  return left >= 0 && count * itemBytes <= static_cast<std::uint64_t>(left);
}

void SerializeResourceName(SerializeStream& stream, const ResourceDatabase& database,
                           Resource*& reference, int type, const char* noneName) {
  std::string name;
  if (stream.IsWriting()) {
    name = reference ? reference->GetName() : std::string(noneName);
    stream.SerializeString(name);
    return;
  }
  stream.SerializeString(name);
  reference = name.empty() ? nullptr : database.LookupResource(name, type);
}

}  // namespace tge

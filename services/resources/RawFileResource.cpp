#include "services/resources/RawFileResource.h"

#include "core/files/SerializeStream.h"

namespace tge {

int RawFileResource::Load() {
  if (loaded_) return 1;
  SerializeStream stream;
  if (!stream.Open(GetDataPath(), "rb")) return 0;
  const std::int64_t size = stream.GetSize();
  if (size < 0) return 0;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (size > 0 && stream.SerializeBytes(bytes.data(), bytes.size()) != bytes.size()) return 0;
  bytes_ = std::move(bytes);
  loaded_ = true;
  return 1;
}

int RawFileResource::Unload() {
  bytes_.clear();
  bytes_.shrink_to_fit();
  loaded_ = false;
  return 1;
}

bool RawFileResource::SerializeFields(SerializeStream& stream, const ResourceDatabase&) {
  stream.SerializeDwords(values, 2);
  return true;
}

}  // namespace tge

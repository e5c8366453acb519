#include "objects/gameplay/world/SaveGameBuffer.h"

#include "core/Object.h"
#include "core/files/SerializeStream.h"
#include "core/trees/ObjectFile.h"

namespace tge {

SaveGameBuffer::Result SaveGameBuffer::Append(Object& object) {
  const std::string path = object.GetTreePath();
  if (path.empty()) return Result::kNoPath;
  if (path.size() > kMaxPathLength) return Result::kPathTooLong;

  SerializeStream stream;
  if (!stream.OpenMemoryBuffer(kMaxObjectBytes, "wb")) return Result::kObjectTooLarge;
  // Written without touching any folder: the path is only named in errors.
  std::string unused;
  ObjectFile writer(unused, unused);
  const bool written = writer.Save(object, path, true, true, &stream);
  const auto objectBytes = static_cast<std::size_t>(stream.Tell());
  if (!written || stream.Failed() || objectBytes > kMaxObjectBytes) {
    stream.Close();
    return Result::kObjectTooLarge;
  }
  const std::size_t recordBytes = 4 + path.size() + objectBytes;
  if (bytes_.size() + recordBytes > kCapacity) {
    stream.Close();
    return Result::kBufferFull;
  }
  const auto length = static_cast<std::uint32_t>(path.size());
  for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<std::uint8_t>(length >> shift));
  bytes_.insert(bytes_.end(), path.begin(), path.end());
  const std::uint8_t* data = stream.GetBuffer();
  bytes_.insert(bytes_.end(), data, data + objectBytes);
  stream.Close();
  ++records_;
  return Result::kAppended;
}

}  // namespace tge

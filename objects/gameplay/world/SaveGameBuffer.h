// The save-game buffer: one record per saved object, in collection order,
// with no header and no terminator. A record is a little-endian u32 path
// length (never 0), the object's tree path without a terminator, then the
// object-file data the engine's writer makes for the object with itself
// included; a reader takes that data's length from the data itself.
//
// The buffer never grows past its bounds: a record whose object data or
// path does not fit is refused and the buffer is left as it was.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tge {

class Object;

class SaveGameBuffer {
 public:
  static constexpr std::size_t kCapacity = 262144;
  static constexpr std::size_t kMaxObjectBytes = 65536;
  static constexpr std::size_t kMaxPathLength = 511;

  enum class Result { kAppended, kNoPath, kPathTooLong, kObjectTooLarge, kBufferFull };

  // Appends the object's record; kNoPath (nothing appended) for an object
  // without a tree path.
  Result Append(Object& object);

  const std::uint8_t* GetData() const { return bytes_.data(); }
  std::size_t GetSize() const { return bytes_.size(); }
  int GetRecordCount() const { return records_; }

 private:
  std::vector<std::uint8_t> bytes_;
  int records_ = 0;
};

}  // namespace tge

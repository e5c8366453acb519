// The keys a derived recording keeps beside the base recording's placement
// keys (a horse's state, a driver's inputs): one list, counted apart in the
// file after the base form, that may hold fewer keys than the placement keys.
#pragma once
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "core/ObjectRecording.h"
#include "core/files/SerializeStream.h"
#include "services/ErrorMessage.h"

namespace tge {

// The count, then each key by serializeKey. On reading, false with the error
// text set when count keys of keyBytes each are more than the rest of the
// file holds; owner and keyName name the recording and its keys in that
// text.
template <typename Key, typename SerializeKey>
bool SerializeSideKeys(SerializeStream& stream, std::vector<Key>& keys, std::int64_t keyBytes, const char* owner,
                       const char* keyName, SerializeKey serializeKey) {
  auto count = static_cast<std::uint32_t>(keys.size());
  stream.Serialize(count);
  if (stream.Failed()) return false;
  if (!stream.IsWriting()) {
    if (count * keyBytes > stream.GetSize() - stream.Tell()) {
      FormatErrorMessage("%s recording: %u %s keys are more than the file holds", owner, count, keyName);
      return false;
    }
    keys.assign(count, Key{});
  }
  for (Key& key : keys) serializeKey(key);
  return !stream.Failed();
}

// The side key at the recording's current key index and the one after it,
// both held inside the list, which must not be empty.
template <typename Key>
std::pair<const Key&, const Key&> SideKeysAround(const ObjectRecording& recording, const std::vector<Key>& keys) {
  const std::int32_t last = static_cast<std::int32_t>(keys.size()) - 1;
  return {keys[static_cast<std::size_t>(std::clamp(recording.keyIndex, 0, last))],
          keys[static_cast<std::size_t>(std::clamp(recording.keyIndex + 1, 0, last))]};
}

}  // namespace tge

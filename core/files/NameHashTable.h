// A chained hash table from a text key to an int32 value, as the game
// archive uses for its entry names. The hash is the archive format's own
// (h = h * 65599 + c over the key's bytes taken as signed, 32-bit wrap); keys
// that hash alike are still told apart by their text, so a name that is not
// in the table never finds another name's value.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tge {

class NameHashTable {
 public:
  // bucketCount is rounded up to a power of two.
  explicit NameHashTable(std::size_t bucketCount = 4096, std::int32_t missingValue = -1);

  static std::uint32_t Hash(std::string_view key);

  // An existing key keeps its node and takes the new value.
  void Insert(std::string_view key, std::int32_t value);
  // The value stored under key, or the missing value.
  std::int32_t Find(std::string_view key) const;
  std::size_t Size() const { return nodes_.size(); }
  void Clear();

 private:
  struct Node {
    std::uint32_t hash;
    std::int32_t value;
    std::int32_t next;
    std::string key;
  };
  std::int32_t FindNode(std::uint32_t hash, std::string_view key) const;

  std::vector<std::int32_t> buckets_;
  std::vector<Node> nodes_;
  std::int32_t missingValue_;
};

}  // namespace tge

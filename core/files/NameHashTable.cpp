#include "core/files/NameHashTable.h"

#include <algorithm>
#include <bit>

namespace tge {
namespace {

constexpr std::int32_t kEndOfChain = -1;

}  // namespace

NameHashTable::NameHashTable(std::size_t bucketCount, std::int32_t missingValue)
    : buckets_(std::bit_ceil(bucketCount == 0 ? std::size_t{1} : bucketCount), kEndOfChain),
      missingValue_(missingValue) {}

std::uint32_t NameHashTable::Hash(std::string_view key) {
  std::uint32_t hash = 0;
  for (char c : key) {
    hash = hash * 65599u + static_cast<std::uint32_t>(static_cast<std::int32_t>(
                               static_cast<std::int8_t>(c)));
  }
  return hash;
}

std::int32_t NameHashTable::FindNode(std::uint32_t hash, std::string_view key) const {
  std::int32_t index = buckets_[hash & (buckets_.size() - 1)];
  while (index != kEndOfChain) {
    const Node& node = nodes_[static_cast<std::size_t>(index)];
    if (node.hash == hash && node.key == key) return index;
    index = node.next;
  }
  return kEndOfChain;
}

void NameHashTable::Insert(std::string_view key, std::int32_t value) {
  const std::uint32_t hash = Hash(key);
  const std::int32_t found = FindNode(hash, key);
  if (found != kEndOfChain) {
    nodes_[static_cast<std::size_t>(found)].value = value;
    return;
  }
  std::int32_t& head = buckets_[hash & (buckets_.size() - 1)];
  nodes_.push_back({hash, value, head, std::string(key)});
  head = static_cast<std::int32_t>(nodes_.size() - 1);
}

std::int32_t NameHashTable::Find(std::string_view key) const {
  const std::int32_t found = FindNode(Hash(key), key);
  return found == kEndOfChain ? missingValue_ : nodes_[static_cast<std::size_t>(found)].value;
}

void NameHashTable::Clear() {
  std::fill(buckets_.begin(), buckets_.end(), kEndOfChain);
  nodes_.clear();
}

}  // namespace tge

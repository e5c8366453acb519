#include "services/render/RenderListSorter.h"

#include <array>
#include <bit>
#include <cmath>

namespace tge {
namespace {

// Short lists are sorted by insertion: the radix sort's tables cost more.
constexpr std::size_t kShortList = 48;
constexpr int kDigitBits = 11;
constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;
constexpr int kKeyShift = 32;
constexpr int kDigits = (64 - kKeyShift + kDigitBits - 1) / kDigitBits;

// Bits that order as descending keys do: a higher key gives lower bits.
// -0 and +0 compare equal, so they take the same bits.
std::uint64_t DescendingBits(float key) {
  const auto bits = std::bit_cast<std::uint32_t>(key + 0.0f);
  const std::uint32_t ascending = (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
  return static_cast<std::uint64_t>(~ascending) << kKeyShift;
}

std::size_t Digit(std::uint64_t entry, int digit) {
  return static_cast<std::size_t>(entry >> (kKeyShift + digit * kDigitBits)) & (kBuckets - 1);
}

// A key that is not a number compares with nothing, so only inserting the
// records one by one gives the order they would have had.
RenderCommand* InsertOneByOne(RenderCommand* list, RenderCommand*& tail) {
  RenderCommand* head = nullptr;
  tail = nullptr;
  while (list) {
    RenderCommand* command = list;
    list = list->next;
    command->next = nullptr;
    if (!head || !(tail->key < command->key)) {
      (head ? tail->next : head) = command;
      tail = command;
      continue;
    }
    RenderCommand** link = &head;
    while (!((*link)->key < command->key)) link = &(*link)->next;
    command->next = *link;
    *link = command;
  }
  return head;
}

}  // namespace

RenderCommand* RenderListSorter::Sort(RenderCommand* head, RenderCommand*& tail) {
  commands_.clear();
  entries_.clear();
  for (RenderCommand* c = head; c; c = c->next) {
    if (std::isnan(c->key)) return InsertOneByOne(head, tail);
    entries_.push_back(DescendingBits(c->key) | commands_.size());
    commands_.push_back(c);
  }
  if (entries_.size() <= kShortList) {
    InsertionSort();
  } else {
    RadixSort();
  }
  return Link(tail);
}

// Stable: an entry moves only past entries of greater order bits.
void RenderListSorter::InsertionSort() {
  for (std::size_t i = 1; i < entries_.size(); ++i) {
    const std::uint64_t entry = entries_[i];
    std::size_t at = i;
    for (; at > 0 && (entries_[at - 1] >> kKeyShift) > (entry >> kKeyShift); --at) entries_[at] = entries_[at - 1];
    entries_[at] = entry;
  }
}

// Least significant digit first, each pass stable, so entries of equal keys
// keep their submission order. A digit every key shares is skipped.
void RenderListSorter::RadixSort() {
  std::array<std::array<std::uint32_t, kBuckets>, kDigits> counts{};
  for (const std::uint64_t entry : entries_) {
    for (int digit = 0; digit < kDigits; ++digit) ++counts[digit][Digit(entry, digit)];
  }
  scratch_.resize(entries_.size());
  for (int digit = 0; digit < kDigits; ++digit) {
    std::array<std::uint32_t, kBuckets>& count = counts[digit];
    if (count[Digit(entries_.front(), digit)] == entries_.size()) continue;
    std::uint32_t start = 0;
    for (std::uint32_t& bucket : count) {
      const std::uint32_t size = bucket;
      bucket = start;
      start += size;
    }
    for (const std::uint64_t entry : entries_) scratch_[count[Digit(entry, digit)]++] = entry;
    entries_.swap(scratch_);
  }
}

RenderCommand* RenderListSorter::Link(RenderCommand*& tail) const {
  const auto command = [this](std::uint64_t entry) { return commands_[static_cast<std::uint32_t>(entry)]; };
  for (std::size_t i = 0; i + 1 < entries_.size(); ++i) command(entries_[i])->next = command(entries_[i + 1]);
  tail = entries_.empty() ? nullptr : command(entries_.back());
  if (tail) tail->next = nullptr;
  return entries_.empty() ? nullptr : command(entries_.front());
}

}  // namespace tge

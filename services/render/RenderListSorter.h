// Puts a draw list in the order that inserting its records one by one gives:
// each record before the first one of lower key, so descending keys with
// equal keys in submission order. The keys are sorted as a kept array of
// (key, submission index) pairs by a radix sort, whose cost grows with the
// list's length alone, and the list is linked again in that order.
#pragma once
#include <cstdint>
#include <vector>

#include "services/RenderCommand.h"

namespace tge {

class RenderListSorter {
 public:
  // The new head; tail is set to the new last record.
  RenderCommand* Sort(RenderCommand* head, RenderCommand*& tail);

 private:
  void RadixSort();
  void InsertionSort();
  RenderCommand* Link(RenderCommand*& tail) const;

  // Kept between frames, so a warm sort allocates nothing. An entry holds
  // the key's order bits above the record's index in commands_.
  std::vector<RenderCommand*> commands_;
  std::vector<std::uint64_t> entries_;
  std::vector<std::uint64_t> scratch_;
};

}  // namespace tge

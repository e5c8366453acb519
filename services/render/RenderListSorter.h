// Puts a draw list in the order that inserting its records one by one gives:
// each record before the first one of lower key, so descending keys with
// equal keys in submission order. The keys are sorted as a kept array rather
// than by walking the records, and the list is linked again in that order.
#pragma once
#include <vector>

#include "services/RenderCommand.h"

namespace tge {

class RenderListSorter {
 public:
  // The new head; tail is set to the new last record.
  RenderCommand* Sort(RenderCommand* head, RenderCommand*& tail);

 private:
  struct Entry {
    float key;
    RenderCommand* command;
  };

  void MergeSort();
  RenderCommand* Link(RenderCommand*& tail) const;

  // Kept between frames, so a warm sort allocates nothing.
  std::vector<Entry> entries_;
  std::vector<Entry> scratch_;
};

}  // namespace tge

#include "services/render/RenderListSorter.h"

#include <algorithm>
#include <cmath>

namespace tge {
namespace {

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
  entries_.clear();
  for (RenderCommand* c = head; c; c = c->next) {
    if (std::isnan(c->key)) return InsertOneByOne(head, tail);
    entries_.push_back({c->key, c});
  }
  MergeSort();
  return Link(tail);
}

// Bottom-up and stable: of two records the right one goes first only when
// the left one's key is lower.
void RenderListSorter::MergeSort() {
  const std::size_t count = entries_.size();
  scratch_.resize(count);
  for (std::size_t width = 1; width < count; width *= 2) {
    for (std::size_t left = 0; left < count; left += 2 * width) {
      const std::size_t middle = std::min(left + width, count);
      const std::size_t right = std::min(left + 2 * width, count);
      std::size_t a = left, b = middle, out = left;
      while (a < middle && b < right) {
        scratch_[out++] = entries_[a].key < entries_[b].key ? entries_[b++] : entries_[a++];
      }
      while (a < middle) scratch_[out++] = entries_[a++];
      while (b < right) scratch_[out++] = entries_[b++];
    }
    entries_.swap(scratch_);
  }
}

RenderCommand* RenderListSorter::Link(RenderCommand*& tail) const {
  for (std::size_t i = 0; i + 1 < entries_.size(); ++i) entries_[i].command->next = entries_[i + 1].command;
  tail = entries_.empty() ? nullptr : entries_.back().command;
  if (tail) tail->next = nullptr;
  return entries_.empty() ? nullptr : entries_.front().command;
}

}  // namespace tge

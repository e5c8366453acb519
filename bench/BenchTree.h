// The tree the script benchmarks run on: root, 9 children, 10 grandchildren
// each, 10 great-grandchildren each (1 + 9 + 90 + 900 = 1,000 objects),
// named A0..A8, B0..B9, C0..C9 by level.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "core/Object.h"

namespace tge {

class BenchNode : public Object {};

// The last object made, the end of the longest walk, goes into deepest.
inline std::unique_ptr<Object> BuildBenchTree(Object*& deepest) {
  auto root = std::make_unique<BenchNode>();
  root->SetName("root");
  const int widths[] = {9, 10, 10};
  std::vector<Object*> level{root.get()};
  for (int depth = 0; depth < 3; ++depth) {
    std::vector<Object*> next;
    for (Object* parent : level) {
      for (int i = 0; i < widths[depth]; ++i) {
        auto child = std::make_unique<BenchNode>();
        std::string name(1, static_cast<char>('A' + depth));
        name += std::to_string(i);
        child->SetName(name);
        child->SetInheritOrientation(false);
        next.push_back(parent->AddChild(std::move(child)));
      }
    }
    level = std::move(next);
  }
  deepest = level.back();
  return root;
}

}  // namespace tge

// The draw-list sort against a stable sort by descending key: equal keys
// (and -0 beside +0) keep submission order, at lengths on both sides of the
// switch between its short-list and long-list ways.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/math/Random.h"
#include "services/render/RenderListSorter.h"

namespace tge {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
const float kKeys[] = {0.0f, -0.0f, 1.0f, -1.0f, 1e-42f, -1e-42f, kInf, -kInf, 1000.5f, 3.0f, 3.0f, -2.5f, 7e30f};

TEST(RenderListSorterTest, OrdersAsAStableSortByDescendingKey) {
  RenderListSorter sorter;
  for (const std::size_t length : {0u, 1u, 2u, 30u, 48u, 49u, 64u, 5000u}) {
    SeedRand(static_cast<std::uint32_t>(length) + 1);
    std::vector<RenderCommand> records(length);
    for (RenderCommand& record : records) {
      const int pick = Rand();
      record.key = pick % 2 ? kKeys[pick % std::size(kKeys)] : static_cast<float>(pick % 200) * 0.25f - 10.0f;
    }
    for (std::size_t i = 0; i + 1 < length; ++i) records[i].next = &records[i + 1];
    std::vector<const RenderCommand*> expected;
    for (const RenderCommand& record : records) expected.push_back(&record);
    std::stable_sort(expected.begin(), expected.end(),
                     [](const RenderCommand* a, const RenderCommand* b) { return b->key < a->key; });

    RenderCommand* tail = nullptr;
    std::vector<const RenderCommand*> sorted;
    for (const RenderCommand* c = sorter.Sort(length ? &records[0] : nullptr, tail); c; c = c->next) sorted.push_back(c);
    EXPECT_EQ(sorted, expected) << length << " records";
    EXPECT_EQ(tail, length ? expected.back() : nullptr) << length << " records";
  }
}

}  // namespace
}  // namespace tge

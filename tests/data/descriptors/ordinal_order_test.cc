#include "data/descriptors/ordinal_order.h"

#include <gtest/gtest.h>

#include <list>
#include <random>
#include <vector>

namespace tavo {
namespace {

// The insertion rule applied literally, one item at a time into a linked list.
std::vector<uint32_t> ReferenceOrder(const std::vector<int32_t>& ordinals) {
  std::list<uint32_t> list;
  for (uint32_t i = 0; i < ordinals.size(); ++i) {
    const int32_t x = ordinals[i];
    if (list.empty() || x == 0) {
      list.push_back(i);
    } else if (x < ordinals[list.front()]) {
      list.push_front(i);
    } else {
      auto at = std::next(list.begin());
      while (at != list.end() && ordinals[*at] < x) ++at;
      list.insert(at, i);
    }
  }
  return {list.begin(), list.end()};
}

std::vector<int32_t> OrdinalsInOrder(const std::vector<int32_t>& ordinals) {
  std::vector<int32_t> out;
  for (uint32_t i : OrderByOrdinal(ordinals)) out.push_back(ordinals[i]);
  return out;
}

TEST(OrdinalOrder, Cases) {
  struct Case {
    std::vector<int32_t> ordinals;
    std::vector<uint32_t> order;  // document indexes in list order
  } cases[] = {
      {{3, 1, 2}, {1, 2, 0}},
      {{0, 0, 0}, {0, 1, 2}},          // no ordinals: document order
      {{2, 0, 1}, {2, 0, 1}},          // 1 is below the head 2; 0 stays at the end
      {{1, 1, 1}, {0, 2, 1}},          // after the head, a later equal ordinal goes in front
      {{5, 5, 7, 6}, {0, 1, 3, 2}},    // an ordinal equal to the head's goes after it
      {{0, 4, 2}, {0, 2, 1}},          // a head without ordinal stays first
      {{}, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.order, OrderByOrdinal(c.ordinals));
    EXPECT_EQ(c.order, ReferenceOrder(c.ordinals));
  }
}

// Block boundaries and splits must not change the order: random documents
// of every shape, compared with the literal rule.
TEST(OrdinalOrder, MatchesTheInsertionRuleOnRandomDocuments) {
  std::mt19937 random(7);
  for (int round = 0; round < 100; ++round) {
    const size_t n = random() % 1500;  // blocks split at 512 items
    const int32_t spread = 1 + static_cast<int32_t>(random() % 50);
    std::vector<int32_t> ordinals(n);
    for (int32_t& o : ordinals) {
      o = static_cast<int32_t>(random() % (2 * spread + 1)) - spread / 4;  // zeros and negatives too
    }
    ASSERT_EQ(ReferenceOrder(ordinals), OrderByOrdinal(ordinals)) << "round " << round;
  }
}

TEST(OrdinalOrder, AscendingAndDescendingDocumentsComeOutSorted) {
  std::vector<int32_t> up(5000), down(5000);
  for (int32_t i = 0; i < 5000; ++i) {
    up[i] = i + 1;
    down[i] = 5000 - i;
  }
  EXPECT_EQ(up, OrdinalsInOrder(up));
  EXPECT_EQ(up, OrdinalsInOrder(down));
}

}  // namespace
}  // namespace tavo

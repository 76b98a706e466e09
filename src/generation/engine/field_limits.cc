#include "generation/engine/field_limits.h"

#include <algorithm>
#include <numeric>

#include "generation/engine/key_sort.h"

namespace tavo {
namespace {

// "The first eligible position at or after p" within one run, in
// near-constant time: next_[p] leads past ineligible positions (a
// union-find with path halving); the run's end is a sentinel.
class EligibleFinder {
 public:
  EligibleFinder(size_t begin, size_t end) : begin_(begin), next_(end - begin + 1) {
    std::iota(next_.begin(), next_.end(), 0);
  }
  // Position (absolute) of the first eligible at or after p, or the end.
  size_t From(size_t p) {
    size_t x = p - begin_;
    while (next_[x] != x) {
      next_[x] = next_[next_[x]];
      x = next_[x];
    }
    return x + begin_;
  }
  void Drop(size_t p) { next_[p - begin_] = p - begin_ + 1; }
  size_t end() const { return begin_ + next_.size() - 1; }

 private:
  size_t begin_;
  std::vector<size_t> next_;
};

void ThinRun(std::span<const uint32_t> order, size_t begin, size_t end, int64_t limit, RandomGenerator* random,
             std::vector<uint8_t>* eligible) {
  size_t count = 0;
  for (size_t p = begin; p < end; ++p) count += (*eligible)[order[p]];
  if (static_cast<int64_t>(count) <= limit) return;
  EligibleFinder finder(begin, end);
  for (size_t p = begin; p < end; ++p) {
    if (!(*eligible)[order[p]]) finder.Drop(p);
  }
  for (; static_cast<int64_t>(count) > limit; --count) {
    const size_t start = begin + static_cast<size_t>(random->Draw(end - begin));
    size_t p = finder.From(start);
    if (p == finder.end()) p = finder.From(begin);
    (*eligible)[order[p]] = 0;
    finder.Drop(p);
  }
}

}  // namespace

void ApplyFieldLimits(const ViewSnapshot& view, const std::vector<FieldLimit>& limits,
                      std::span<const uint32_t> slots, RandomGenerator* random, std::vector<uint8_t>* eligible) {
  eligible->assign(slots.size(), 1);
  for (const FieldLimit& l : limits) {
    std::vector<uint32_t> order(slots.size());
    std::iota(order.begin(), order.end(), 0);
    std::vector<uint64_t> keys = FieldSortKeys(view, l.field, slots);
    StableSortByKey(&order, &keys);
    const int64_t limit = std::max<int64_t>(l.limit, 0);
    for (size_t begin = 0; begin < order.size();) {
      size_t end = begin + 1;
      while (end < order.size() && keys[end] == keys[begin]) ++end;
      ThinRun(order, begin, end, limit, random, eligible);
      begin = end;
    }
  }
}

}  // namespace tavo

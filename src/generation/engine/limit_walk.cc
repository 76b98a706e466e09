#include "generation/engine/limit_walk.h"

#include <algorithm>
#include <numeric>

namespace tavo {
namespace {

constexpr uint64_t kLeastBytesLeft = 10240;
constexpr uint64_t kLeastSecondsLeft = 8;
constexpr size_t kFirstBlock = 64;

// The ranked order of the candidates, sorted only as far as the walk needs.
class LazyRanking {
 public:
  LazyRanking(size_t n, const RankCompare& compare) : order_(n), compare_(compare) {
    std::iota(order_.begin(), order_.end(), 0);
    if (!compare_) sorted_end_ = n;  // all equal, canonical order
  }
  std::vector<uint32_t>& order() { return order_; }

  // The end of the run of equal candidates that starts at `begin`.
  size_t RunEnd(size_t begin) {
    if (!compare_) return order_.size();
    if (begin >= sorted_end_) Extend(begin);
    size_t end = begin + 1;
    while (end < sorted_end_ && compare_(order_[begin], order_[end]) == 0) ++end;
    if (end == sorted_end_ && sorted_end_ < order_.size()) {
      // The run may go on among the unsorted candidates, all of which rank
      // at or after it: gather its members, in canonical order.
      const uint32_t first = order_[begin];
      const auto middle = std::partition(order_.begin() + sorted_end_, order_.end(),
                                         [&](uint32_t c) { return compare_(first, c) == 0; });
      std::sort(order_.begin() + sorted_end_, middle);
      end = sorted_end_ = static_cast<size_t>(middle - order_.begin());
    }
    return end;
  }

 private:
  bool Less(uint32_t a, uint32_t b) const {
    const int d = compare_(a, b);
    return d < 0 || (d == 0 && a < b);
  }
  void Extend(size_t from) {
    block_ = std::max(kFirstBlock, block_ * 2);
    const size_t middle = std::min(order_.size(), from + block_);
    std::partial_sort(order_.begin() + from, order_.begin() + middle, order_.end(),
                      [this](uint32_t a, uint32_t b) { return Less(a, b); });
    sorted_end_ = middle;
  }

  std::vector<uint32_t> order_;
  const RankCompare& compare_;
  size_t sorted_end_ = 0;
  size_t block_ = 0;
};

}  // namespace

std::vector<uint32_t> WalkUnderLimits(const std::vector<WalkCandidate>& candidates, const RankCompare& compare,
                                      const WalkLimits& limits, RandomGenerator* random) {
  LazyRanking ranking(candidates.size(), compare);
  std::vector<uint32_t>& order = ranking.order();
  std::vector<uint32_t> picked;
  uint64_t bytes = 0;
  uint64_t seconds = 0;
  size_t run_end = 0;
  for (size_t i = 0; i < order.size(); ++i) {
    if ((limits.seconds != 0 && seconds >= limits.seconds) || (limits.bytes != 0 && bytes >= limits.bytes) ||
        (limits.songs != 0 && picked.size() >= limits.songs)) {
      break;
    }
    if (i == run_end) run_end = ranking.RunEnd(i);
    std::swap(order[i], order[i + static_cast<size_t>(random->Draw(run_end - i))]);
    const WalkCandidate& c = candidates[order[i]];
    if (limits.bytes != 0) {
      const uint64_t left = limits.bytes - bytes;
      if (left < kLeastBytesLeft) break;
      if (c.size > left) continue;
    }
    if (limits.seconds != 0) {
      const uint64_t left = limits.seconds - seconds;
      if (left < kLeastSecondsLeft) break;
      if (c.length > left) continue;
    }
    picked.push_back(order[i]);
    bytes += c.size;
    seconds += c.length;
  }
  return picked;
}

}  // namespace tavo

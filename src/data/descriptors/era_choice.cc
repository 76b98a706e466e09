#include "data/descriptors/era_choice.h"

#include <algorithm>

namespace tavo {

const DescriptorItem* ChooseEra(const DescriptorList& eras, uint16_t year, int32_t min_spread) noexcept {
  constexpr int32_t kWidest = 9999;
  const DescriptorItem* best = nullptr;
  int32_t best_span = kWidest;
  int32_t best_distance = 0;
  for (const DescriptorItem& era : eras.items()) {
    const int32_t start = era.start_year();
    const int32_t end = era.end_year();
    const int32_t span = static_cast<uint16_t>(end - start + 1);
    if (min_spread > span || span > kWidest || start > year || year > end) continue;
    const int32_t distance = std::min(end - year, year - start);
    if (span < best_span || (span == best_span && distance > best_distance)) {
      best = &era;
      best_span = span;
      best_distance = distance;
    }
  }
  return best;
}

}  // namespace tavo

#include "data/descriptors/refresh_rule.h"

namespace tavo {

bool StoredCopyIsRecent(uint32_t now, uint32_t stored) noexcept {
  if (stored == 0) return false;
  // Arithmetic shifts: years before 2000 are negative in the top bits.
  const int32_t now_day = static_cast<int32_t>(now) >> 12;
  const int32_t stored_day = static_cast<int32_t>(stored) >> 12;
  const int32_t age = now_day - stored_day;
  return age >= 0 && age < kStoredCopyFreshDays;
}

bool StoredCopyServes(const DescriptorListHeader& stored_header, uint32_t now, uint32_t stored) noexcept {
  if (stored_header.revision_level.empty() || stored_header.revision_tag.empty()) return true;
  return StoredCopyIsRecent(now, stored);
}

bool StoredCopyIsFallback(const DescriptorListHeader& stored_header) noexcept {
  return !stored_header.revision_level.empty();
}

}  // namespace tavo

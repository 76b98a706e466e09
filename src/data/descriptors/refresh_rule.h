// When the manager asks the service again for a list it holds a stored copy
// of. Pure functions of the copy's header and two packed record dates
// (vocabulary/dates.h: year - 2000 in bits 31..21, month 20..17, day 16..12,
// hour 11..6, minute 5..0; UTC), so they test without a clock.
#ifndef TAVO_DATA_DESCRIPTORS_REFRESH_RULE_H_
#define TAVO_DATA_DESCRIPTORS_REFRESH_RULE_H_

#include <cstdint>

#include "data/descriptors/descriptor_list.h"

namespace tavo {

inline constexpr int32_t kStoredCopyFreshDays = 14;

// Whether a copy stored at `stored` is recent at `now`: both shifted right by
// 12 leave (year, month, day) keys whose difference is below 14. Across a
// month or year end the keys differ by more than the days do, so a copy is
// refreshed a little early there, never late. A copy without a storing time
// (0) is never recent, and neither is one stored after `now` (a clock that
// went back must not keep a copy for years).
bool StoredCopyIsRecent(uint32_t now, uint32_t stored) noexcept;

// Whether the stored copy serves as it is, without asking the service: when
// its revision level or tag is empty (the service cannot be asked for a
// newer revision of it), or when it is recent.
bool StoredCopyServes(const DescriptorListHeader& stored_header, uint32_t now, uint32_t stored) noexcept;

// Whether a stored copy may stand in when the service returns no document:
// only one with a revision level.
bool StoredCopyIsFallback(const DescriptorListHeader& stored_header) noexcept;

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_REFRESH_RULE_H_

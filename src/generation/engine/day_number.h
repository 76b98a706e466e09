// Day numbers: dates compared as counts of days. The day number of a date is
// (years since 2000) * 365 + the leap days before it + the days of the
// earlier months of its year + the day of the month, so 1 January 2000 is 1
// and earlier dates are 0 or negative. Hours and minutes do not count.
//
// A date whose month is not 1 to 12 or whose day is not 1 to 31 has no day
// number; criteria treat such a value as absent and such a parameter as one
// that never matches.
#ifndef TAVO_GENERATION_ENGINE_DAY_NUMBER_H_
#define TAVO_GENERATION_ENGINE_DAY_NUMBER_H_

#include <cstdint>
#include <optional>

#include "vocabulary/dates.h"

namespace tavo {

std::optional<int64_t> DayNumber(const DateTime& date) noexcept;

// A record date's packed word (vocabulary/dates.h); none for 0, which marks
// a date that was never set.
std::optional<int64_t> DayNumberOfRecordDate(uint32_t packed) noexcept;

// A generator date (date parameters of criteria).
std::optional<int64_t> DayNumberOfGeneratorDate(uint32_t packed) noexcept;

// "Today" for the "in the last" tests: the day number of the local date plus one.
std::optional<int64_t> TodayDayNumber(const DateTime& local_now) noexcept;

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_DAY_NUMBER_H_

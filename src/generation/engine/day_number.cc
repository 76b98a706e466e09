#include "generation/engine/day_number.h"

namespace tavo {
namespace {

// Days from 1 March of year 0 in the proleptic Gregorian calendar, shifted
// so that months start in March and the leap day ends the year.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t year_of_era = year - era * 400;
  const int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era;
}

const int64_t kFirstJanuary2000 = DaysFromCivil(2000, 1, 1);

}  // namespace

std::optional<int64_t> DayNumber(const DateTime& date) noexcept {
  if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31) return std::nullopt;
  return DaysFromCivil(date.year, date.month, date.day) - kFirstJanuary2000 + 1;
}

std::optional<int64_t> DayNumberOfRecordDate(uint32_t packed) noexcept {
  if (packed == 0) return std::nullopt;
  return DayNumber(UnpackRecordDate(packed));
}

std::optional<int64_t> DayNumberOfGeneratorDate(uint32_t packed) noexcept {
  return DayNumber(UnpackGeneratorDate(packed));
}

std::optional<int64_t> TodayDayNumber(const DateTime& local_now) noexcept {
  const std::optional<int64_t> day = DayNumber(local_now);
  if (!day) return std::nullopt;
  return *day + 1;
}

}  // namespace tavo

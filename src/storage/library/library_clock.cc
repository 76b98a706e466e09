#include "storage/library/library_clock.h"

#include <atomic>
#include <ctime>

namespace tavo {
namespace {

DateTime SystemNow() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  return DateTime{utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min};
}

std::atomic<LibraryClockFunction> g_clock{&SystemNow};

}  // namespace

DateTime LibraryClock_Now() noexcept { return g_clock.load()(); }

LibraryClockFunction LibraryClock_Replace(LibraryClockFunction clock) noexcept {
  return g_clock.exchange(clock != nullptr ? clock : &SystemNow);
}

}  // namespace tavo

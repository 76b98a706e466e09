// "Now" for record dates and storing times: the current UTC time at minute
// precision. Everything in the library that needs the time asks here, so a
// test can replace the clock and get deterministic dates.
#ifndef TAVO_STORAGE_LIBRARY_LIBRARY_CLOCK_H_
#define TAVO_STORAGE_LIBRARY_LIBRARY_CLOCK_H_

#include "vocabulary/dates.h"

namespace tavo {

using LibraryClockFunction = DateTime (*)();

DateTime LibraryClock_Now() noexcept;

// Replaces the clock for the whole process; nullptr restores the system
// clock. Returns the clock that was in place.
LibraryClockFunction LibraryClock_Replace(LibraryClockFunction clock) noexcept;

}  // namespace tavo

#endif  // TAVO_STORAGE_LIBRARY_LIBRARY_CLOCK_H_

// Changes to one track record in memory: plays, rating, developer fields,
// catalogue fields from text or from a date, and the three record dates.
// Store the changed record with LibraryDatabase_UpdateTrack, which keeps the
// index entry current.
//
// Statuses: 0; 0x2001 for a refused argument (nothing changes); the
// property-set statuses of TrackRecord_SetValue for a failed key write
// (nothing changes).
#ifndef TAVO_STORAGE_LIBRARY_TRACK_WRITES_H_
#define TAVO_STORAGE_LIBRARY_TRACK_WRITES_H_

#include <cstdint>

#include "storage/library/library_clock.h"
#include "storage/library/track_record.h"

namespace tavo {

// One more play, last played = now (the library clock's, unless given).
void TrackRecord_RecordPlay(TrackRecord* track, const DateTime& now = LibraryClock_Now()) noexcept;

void TrackRecord_SetRating(TrackRecord* track, int32_t rating) noexcept;

enum class TrackDate { kCreated, kUpdated, kLastPlayed };

// Refuses a year before 2000 or after 3000 (the packed form orders dates
// only within those years).
uint32_t TrackRecord_SetDate(TrackRecord* track, TrackDate which, const DateTime& date) noexcept;

// Developer field 2 and 3 are "DEVFIELD2" and "DEVFIELD3"; 0 and 1 both
// name "DEVFIELD1"; other numbers are refused. The developer set is made on
// first use.
uint32_t TrackRecord_SetDeveloperField(TrackRecord* track, int32_t field_number, const char* value) noexcept;
// The developer field's text, or null.
const char* TrackRecord_DeveloperField(const TrackRecord& track, int32_t field_number) noexcept;

// Writes a catalogue field from text: keys for text and number fields, the
// play count and rating parsed as decimal numbers. A field that is not
// written from text (dates, derived values, fields without a source)
// changes nothing and succeeds.
uint32_t TrackRecord_WriteField(TrackRecord* track, int32_t field, const char* value) noexcept;

// Writes a date field: fields 4, 5 and 6 replace the created, updated and
// last-played dates; 45 to 47 store the date in the developer field as the
// decimal text of its generator packing. Other fields change nothing.
uint32_t TrackRecord_WriteFieldDate(TrackRecord* track, int32_t field, const DateTime& date) noexcept;

}  // namespace tavo

#endif  // TAVO_STORAGE_LIBRARY_TRACK_WRITES_H_

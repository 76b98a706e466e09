// Plays, ratings, dates and field values of one track of a media library,
// named by its path (the track's file name: the text after the last "/" or
// delimiter). Plain functions over MediaLibrary that the manager's
// statistics and field members adapt.
//
//   FUNCTION                 WRITES THROUGH                    COMMIT POLICY
//   TrackStats_RecordPlay    ModifyStatistics (no write lock)  not counted
//   TrackStats_Rate          ModifyStatistics (no write lock)  not counted
//   TrackFields_SetDeveloper ModifyTrack (write lock)          not counted
//   TrackFields_Set          ModifyTrack (write lock)          counted
//   TrackFields_SetDate      ModifyTrack (write lock)          counted
//
// Every write goes through the library, so the engine's view learns of it.
//
// Statuses: kLibraryOk; kDatabaseInvalidArgument for a refused argument
// (checked before anything is read); kStoreNotFound when the library has no
// such track; kDatabaseKeyAbsent when the track has no value to read;
// kManagerNotOpen, kManagerBusy (write lock) and the database's statuses.
#ifndef TAVO_MANAGER_STATISTICS_TRACK_STATISTICS_H_
#define TAVO_MANAGER_STATISTICS_TRACK_STATISTICS_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "manager/library/media_library.h"
#include "storage/library/track_fields.h"
#include "vocabulary/dates.h"

namespace tavo {

struct TrackStats {
  uint32_t plays = 0;
  int32_t rating = 0;
  RecordDate last_played;
  RecordDate updated;
  RecordDate created;

  // The date `type` (txpl_stats_getdate_enum) names; all zero for any
  // other number.
  RecordDate Date(int32_t type) const;
};

// One more play; last played = the library clock's now (minute precision).
LibraryStatus TrackStats_RecordPlay(MediaLibrary& library, std::string_view path);
// Stores `rating` as given (no range).
LibraryStatus TrackStats_Rate(MediaLibrary& library, std::string_view path, int32_t rating);
LibraryStatus TrackStats_Read(MediaLibrary& library, std::string_view path, TrackStats* stats);

// Developer fields 0 and 1 name "DEVFIELD1", 2 and 3 "DEVFIELD2" and
// "DEVFIELD3"; other numbers are refused.
LibraryStatus TrackFields_GetDeveloper(MediaLibrary& library, std::string_view path, int32_t number,
                                       std::string* value);
LibraryStatus TrackFields_SetDeveloper(MediaLibrary& library, std::string_view path, int32_t number,
                                       const std::string& value);

// A catalogue field (txpl_crit_field_t) read as track_fields.h reads it.
LibraryStatus TrackFields_Get(MediaLibrary& library, std::string_view path, int32_t field, TrackFieldValue* value);
// Writes a field from text (track_writes.h): fields outside the catalogue
// are refused; catalogue fields that are not written from text change
// nothing and succeed.
LibraryStatus TrackFields_Set(MediaLibrary& library, std::string_view path, int32_t field, const std::string& value);
// Writes a date field: the created, updated and last-played dates take years
// 2000 to 3000 only (the record packing holds no other); the developer
// fields take the full year.
LibraryStatus TrackFields_SetDate(MediaLibrary& library, std::string_view path, int32_t field, const DateTime& date);

}  // namespace tavo

#endif  // TAVO_MANAGER_STATISTICS_TRACK_STATISTICS_H_

#include "manager/statistics/track_statistics.h"

#include "storage/library/track_writes.h"
#include "tavo/enums.h"

namespace tavo {
namespace {

bool IsCatalogueField(int32_t field) { return field >= txpl_crit_field_first && field <= txpl_crit_field_last; }

bool IsDeveloperNumber(int32_t number) { return number >= 0 && number <= 3; }

}  // namespace

RecordDate TrackStats::Date(int32_t type) const {
  switch (type) {
    case txpl_stats_lastplaydate: return last_played;
    case txpl_stats_lastupdateddate: return updated;
    case txpl_stats_createddate: return created;
    default: return RecordDate{};
  }
}

LibraryStatus TrackStats_RecordPlay(MediaLibrary& library, std::string_view path) {
  return library.ModifyStatistics(path, [](TrackRecord& track) {
    TrackRecord_RecordPlay(&track);
    return kLibraryOk;
  });
}

LibraryStatus TrackStats_Rate(MediaLibrary& library, std::string_view path, int32_t rating) {
  return library.ModifyStatistics(path, [rating](TrackRecord& track) {
    TrackRecord_SetRating(&track, rating);
    return kLibraryOk;
  });
}

LibraryStatus TrackStats_Read(MediaLibrary& library, std::string_view path, TrackStats* stats) {
  TrackRecord track;
  if (LibraryStatus s = library.FindTrack(path, &track, nullptr, TrackLoad::kFixedOnly); s != kLibraryOk) return s;
  *stats = TrackStats{track.plays, track.rating, track.last_played, track.updated, track.created};
  return kLibraryOk;
}

LibraryStatus TrackFields_GetDeveloper(MediaLibrary& library, std::string_view path, int32_t number,
                                       std::string* value) {
  if (!IsDeveloperNumber(number)) return kDatabaseInvalidArgument;
  TrackRecord track;
  if (LibraryStatus s = library.FindTrack(path, &track); s != kLibraryOk) return s;
  const char* text = TrackRecord_DeveloperField(track, number);
  if (text == nullptr) return kDatabaseKeyAbsent;
  *value = text;
  return kLibraryOk;
}

LibraryStatus TrackFields_SetDeveloper(MediaLibrary& library, std::string_view path, int32_t number,
                                       const std::string& value) {
  if (!IsDeveloperNumber(number)) return kDatabaseInvalidArgument;
  return library.ModifyTrack(
      path, [&](TrackRecord& track) { return TrackRecord_SetDeveloperField(&track, number, value.c_str()); },
      CommitCount::kUncounted);
}

LibraryStatus TrackFields_Get(MediaLibrary& library, std::string_view path, int32_t field, TrackFieldValue* value) {
  if (!IsCatalogueField(field)) return kDatabaseInvalidArgument;
  TrackRecord track;
  if (LibraryStatus s = library.FindTrack(path, &track); s != kLibraryOk) return s;
  return TrackField_Read(track, field, value) ? kLibraryOk : kDatabaseKeyAbsent;
}

LibraryStatus TrackFields_Set(MediaLibrary& library, std::string_view path, int32_t field, const std::string& value) {
  if (!IsCatalogueField(field)) return kDatabaseInvalidArgument;
  return library.ModifyTrack(path,
                             [&](TrackRecord& track) { return TrackRecord_WriteField(&track, field, value.c_str()); });
}

LibraryStatus TrackFields_SetDate(MediaLibrary& library, std::string_view path, int32_t field, const DateTime& date) {
  if (!IsCatalogueField(field)) return kDatabaseInvalidArgument;
  return library.ModifyTrack(path, [&](TrackRecord& track) { return TrackRecord_WriteFieldDate(&track, field, date); });
}

}  // namespace tavo

#include "storage/library/track_writes.h"

#include <new>

#include "storage/library/decimal_text.h"
#include "storage/library/library_status.h"
#include "storage/library/track_fields.h"
#include "tavo/enums.h"

namespace tavo {
namespace {

RecordDate* DateOf(TrackRecord* track, TrackDate which) noexcept {
  switch (which) {
    case TrackDate::kCreated: return &track->created;
    case TrackDate::kUpdated: return &track->updated;
    case TrackDate::kLastPlayed: return &track->last_played;
  }
  return nullptr;
}

bool DeveloperKey(int32_t field_number, uint32_t* key) noexcept {
  if (field_number < 0 || field_number > 3) return false;
  *key = kKeyDevField1 + static_cast<uint32_t>(field_number == 0 ? 0 : field_number - 1);
  return true;
}

}  // namespace

void TrackRecord_RecordPlay(TrackRecord* track, const DateTime& now) noexcept {
  ++track->plays;
  track->last_played = ToRecordDate(now);
}

void TrackRecord_SetRating(TrackRecord* track, int32_t rating) noexcept { track->rating = rating; }

uint32_t TrackRecord_SetDate(TrackRecord* track, TrackDate which, const DateTime& date) noexcept {
  if (track == nullptr || date.year < 2000 || date.year - 2000 > 1000) return kDatabaseInvalidArgument;
  *DateOf(track, which) = ToRecordDate(date);
  return kLibraryOk;
}

uint32_t TrackRecord_SetDeveloperField(TrackRecord* track, int32_t field_number, const char* value) noexcept {
  uint32_t key = 0;
  if (track == nullptr || !DeveloperKey(field_number, &key)) return kDatabaseInvalidArgument;
  return TrackRecord_SetValue(track, key, value);
}

const char* TrackRecord_DeveloperField(const TrackRecord& track, int32_t field_number) noexcept {
  uint32_t key = 0;
  return DeveloperKey(field_number, &key) ? TrackRecord_Value(track, key) : nullptr;
}

uint32_t TrackRecord_WriteField(TrackRecord* track, int32_t field, const char* value) noexcept {
  if (track == nullptr || value == nullptr) return kDatabaseInvalidArgument;
  const TrackFieldEntry& entry = TrackField_Entry(field);
  switch (entry.target) {
    case FieldTarget::kNone: return kLibraryOk;
    case FieldTarget::kKey: return TrackRecord_SetValue(track, entry.key, value);
    case FieldTarget::kPlays: track->plays = static_cast<uint32_t>(ParseDecimal(value)); return kLibraryOk;
    case FieldTarget::kRating: track->rating = ParseDecimal(value); return kLibraryOk;
  }
  return kLibraryOk;
}

uint32_t TrackRecord_WriteFieldDate(TrackRecord* track, int32_t field, const DateTime& date) noexcept try {
  if (track == nullptr) return kDatabaseInvalidArgument;
  switch (field) {
    case txpl_crit_field_file_created_date: return TrackRecord_SetDate(track, TrackDate::kCreated, date);
    case txpl_crit_field_file_modified_date: return TrackRecord_SetDate(track, TrackDate::kUpdated, date);
    case txpl_crit_field_file_lastplayed_date: return TrackRecord_SetDate(track, TrackDate::kLastPlayed, date);
    case txpl_crit_field_xdev1:
    case txpl_crit_field_xdev2:
    case txpl_crit_field_xdev3: {
      if (date.year - 2000 > 1000) return kDatabaseInvalidArgument;
      const std::string text = DecimalText(PackGeneratorDate(date));
      return TrackRecord_SetValue(track, TrackField_Entry(field).key, text.c_str());
    }
    default: return kLibraryOk;
  }
} catch (const std::bad_alloc&) {
  return kDatabaseNoMemory;
}

}  // namespace tavo

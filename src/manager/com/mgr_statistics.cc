// Plays, ratings, dates, field values and developer fields of one file:
// adapters over manager/statistics/track_statistics.h. A missing or empty
// file name and a refused argument give E_INVALIDARG; a file that is not in
// the library, or has no value to read, E_FAIL; no database E_UNEXPECTED;
// the write lock busy E_ACCESSDENIED.
#include "manager/com/manager_hresult.h"
#include "manager/com/playlist2_mgr.h"
#include "manager/statistics/track_statistics.h"
#include "platform/automation/utf.h"
#include "platform/com/out_values.h"
#include "vocabulary/timestamp/timestamp.h"

namespace tavo {
namespace {

bool HasName(BSTR filename) { return filename != nullptr && SysStringLen(filename) != 0; }

HRESULT FieldHresult(LibraryStatus status) {
  return status == kDatabaseInvalidArgument ? E_INVALIDARG : ManagerHresult(status);
}

// One number of the track's statistics. A missing out-pointer is a bad
// argument here, as a missing name is.
template <class Number>
HRESULT ReadNumber(MediaLibrary& library, BSTR filename, LONG* out, Number number) {
  if (out == nullptr) return E_INVALIDARG;
  *out = 0;
  if (!HasName(filename)) return E_INVALIDARG;
  TrackStats stats;
  if (LibraryStatus s = TrackStats_Read(library, BstrToUtf8(filename), &stats); s != kLibraryOk) {
    return FieldHresult(s);
  }
  *out = number(stats);
  return S_OK;
}

}  // namespace

HRESULT TavoPeltaPlaylist2Mgr::StatsPlayedFile(BSTR filename) {
  if (!HasName(filename)) return E_INVALIDARG;
  return FieldHresult(TrackStats_RecordPlay(*library_, BstrToUtf8(filename)));
}

HRESULT TavoPeltaPlaylist2Mgr::StatsRateFile(BSTR filename, LONG rating) {
  if (!HasName(filename)) return E_INVALIDARG;
  return FieldHresult(TrackStats_Rate(*library_, BstrToUtf8(filename), rating));
}

HRESULT TavoPeltaPlaylist2Mgr::StatsGetPlays(BSTR filename, LONG* plays) {
  return ReadNumber(*library_, filename, plays, [](const TrackStats& s) { return static_cast<LONG>(s.plays); });
}

HRESULT TavoPeltaPlaylist2Mgr::StatsGetRating(BSTR filename, LONG* rating) {
  return ReadNumber(*library_, filename, rating, [](const TrackStats& s) { return LONG{s.rating}; });
}

// Fills the host's timestamp: the named record date with its year word plus
// 2000, or all zero for a type that names none.
HRESULT TavoPeltaPlaylist2Mgr::StatsGetDate(BSTR filename, LONG type, ITavoPL2Timestamp* date) {
  if (date == nullptr || !HasName(filename)) return E_INVALIDARG;
  TrackStats stats;
  if (LibraryStatus s = TrackStats_Read(*library_, BstrToUtf8(filename), &stats); s != kLibraryOk) {
    return FieldHresult(s);
  }
  const bool named = type >= txpl_stats_lastplaydate && type <= txpl_stats_createddate;
  return WriteTimestamp(date, named ? FromRecordDate(stats.Date(type)) : DateTime{});
}

HRESULT TavoPeltaPlaylist2Mgr::FileGetDevField(BSTR filename, LONG fieldnum, BSTR* value) {
  if (value == nullptr) return E_POINTER;
  *value = nullptr;
  if (!HasName(filename)) return E_INVALIDARG;
  std::string text;
  if (LibraryStatus s = TrackFields_GetDeveloper(*library_, BstrToUtf8(filename), fieldnum, &text); s != kLibraryOk) {
    return FieldHresult(s);
  }
  return StoreText(value, text);
}

HRESULT TavoPeltaPlaylist2Mgr::FileSetDevField(BSTR filename, LONG fieldnum, BSTR value) {
  if (!HasName(filename) || !HasName(value)) return E_INVALIDARG;
  return FieldHresult(TrackFields_SetDeveloper(*library_, BstrToUtf8(filename), fieldnum, BstrToUtf8(value)));
}

HRESULT TavoPeltaPlaylist2Mgr::FileGetFieldVal(BSTR filename, LONG field, BSTR* value) {
  if (value == nullptr) return E_POINTER;
  *value = nullptr;
  if (!HasName(filename)) return E_INVALIDARG;
  TrackFieldValue read;
  if (LibraryStatus s = TrackFields_Get(*library_, BstrToUtf8(filename), field, &read); s != kLibraryOk) {
    return FieldHresult(s);
  }
  return StoreText(value, read.text);
}

HRESULT TavoPeltaPlaylist2Mgr::FileGetFieldValDate(BSTR filename, LONG field, ITavoPL2Timestamp** date) {
  if (date == nullptr) return E_INVALIDARG;
  *date = nullptr;
  if (!HasName(filename)) return E_INVALIDARG;
  TrackFieldValue read;
  if (LibraryStatus s = TrackFields_Get(*library_, BstrToUtf8(filename), field, &read); s != kLibraryOk) {
    return FieldHresult(s);
  }
  if (!read.has_date) return E_FAIL;  // the field holds no date
  return NewTimestamp(FromRecordDate(read.date), date);
}

HRESULT TavoPeltaPlaylist2Mgr::FileSetFieldVal(BSTR filename, LONG field, BSTR value) {
  if (!HasName(filename) || value == nullptr) return E_INVALIDARG;
  return FieldHresult(TrackFields_Set(*library_, BstrToUtf8(filename), field, BstrToUtf8(value)));
}

HRESULT TavoPeltaPlaylist2Mgr::FileSetFieldValDate(BSTR filename, LONG field, ITavoPL2Timestamp* date) {
  if (!HasName(filename) || date == nullptr) return E_INVALIDARG;
  DateTime value;
  if (FAILED(ReadTimestamp(date, &value))) return E_INVALIDARG;
  return FieldHresult(TrackFields_SetDate(*library_, BstrToUtf8(filename), field, value));
}

}  // namespace tavo

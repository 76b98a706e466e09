// Plays, ratings, dates, field values and developer fields of one file. They
// belong over MediaLibrary: plays and ratings through ModifyStatistics
// (no write lock, not counted), the field writes through ModifyTrack
// (developer fields uncounted).
#include "manager/com/not_yet.h"
#include "manager/com/playlist2_mgr.h"

namespace tavo {

HRESULT TavoPeltaPlaylist2Mgr::StatsPlayedFile(BSTR) { return NotYet(); }
HRESULT TavoPeltaPlaylist2Mgr::StatsGetPlays(BSTR, LONG* plays) { return NotYet(plays); }
HRESULT TavoPeltaPlaylist2Mgr::StatsRateFile(BSTR, LONG) { return NotYet(); }
HRESULT TavoPeltaPlaylist2Mgr::StatsGetRating(BSTR, LONG* rating) { return NotYet(rating); }
HRESULT TavoPeltaPlaylist2Mgr::StatsGetDate(BSTR, LONG, ITavoPL2Timestamp*) { return NotYet(); }
HRESULT TavoPeltaPlaylist2Mgr::FileGetDevField(BSTR, LONG, BSTR* value) { return NotYet(value); }
HRESULT TavoPeltaPlaylist2Mgr::FileSetDevField(BSTR, LONG, BSTR) { return NotYet(); }
HRESULT TavoPeltaPlaylist2Mgr::FileSetFieldVal(BSTR, LONG, BSTR) { return NotYet(); }
HRESULT TavoPeltaPlaylist2Mgr::FileSetFieldValDate(BSTR, LONG, ITavoPL2Timestamp*) { return NotYet(); }
HRESULT TavoPeltaPlaylist2Mgr::FileGetFieldVal(BSTR, LONG, BSTR* value) { return NotYet(value); }
HRESULT TavoPeltaPlaylist2Mgr::FileGetFieldValDate(BSTR, LONG, ITavoPL2Timestamp** date) { return NotYet(date); }

}  // namespace tavo

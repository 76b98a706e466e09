#include "manager/com/find_data.h"

#include <new>

#include "platform/com/out_values.h"
#include "vocabulary/timestamp/timestamp.h"

namespace tavo {
namespace {

// The years a record date holds (its year word is 0 to 1000).
bool IsRecordYear(const DateTime& date) { return date.year >= 2000 && date.year <= 3000; }

}  // namespace

HRESULT TavoPL2FindData::GetText(std::string FindFilter::*text, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  std::lock_guard<std::mutex> lock(mutex_);
  return StoreText(out, filter_.*text);
}

HRESULT TavoPL2FindData::PutText(std::string FindFilter::*text, BSTR value) try {
  std::string utf8 = BstrToUtf8(value);
  std::lock_guard<std::mutex> lock(mutex_);
  filter_.*text = std::move(utf8);
  return S_OK;
} catch (const std::bad_alloc&) {
  return E_OUTOFMEMORY;
}

HRESULT TavoPL2FindData::GetRange(FindRange FindFilter::*range, LONG* set, LONG* start, LONG* end) {
  if (set == nullptr || start == nullptr || end == nullptr) return E_POINTER;
  std::lock_guard<std::mutex> lock(mutex_);
  const FindRange& r = filter_.*range;
  *set = r.set ? 1 : 0;
  *start = static_cast<LONG>(r.start);
  *end = static_cast<LONG>(r.end);
  return S_OK;
}

HRESULT TavoPL2FindData::PutRange(FindRange FindFilter::*range, LONG set, LONG start, LONG end) {
  std::lock_guard<std::mutex> lock(mutex_);
  filter_.*range = FindRange{set != 0, start, end};
  return S_OK;
}

HRESULT TavoPL2FindData::get_Artist(BSTR* artist) { return GetText(&FindFilter::artist, artist); }
HRESULT TavoPL2FindData::put_Artist(BSTR artist) { return PutText(&FindFilter::artist, artist); }
HRESULT TavoPL2FindData::get_Album(BSTR* album) { return GetText(&FindFilter::album, album); }
HRESULT TavoPL2FindData::put_Album(BSTR album) { return PutText(&FindFilter::album, album); }
HRESULT TavoPL2FindData::get_Keyword(BSTR* keyword) { return GetText(&FindFilter::keyword, keyword); }
HRESULT TavoPL2FindData::put_Keyword(BSTR keyword) { return PutText(&FindFilter::keyword, keyword); }

HRESULT TavoPL2FindData::get_GenreId(LONG* genre) {
  std::lock_guard<std::mutex> lock(mutex_);
  return StoreOut(genre, filter_.genre);
}

HRESULT TavoPL2FindData::put_GenreId(LONG genre) {
  std::lock_guard<std::mutex> lock(mutex_);
  filter_.genre = genre;
  return S_OK;
}

HRESULT TavoPL2FindData::get_LastPlayRange(LONG* set, ITavoPL2Timestamp** start, ITavoPL2Timestamp** end) {
  if (set == nullptr || start == nullptr || end == nullptr) return E_POINTER;
  *start = *end = nullptr;
  DateTime bounds[2];
  {
    std::lock_guard<std::mutex> lock(mutex_);
    *set = filter_.last_played.set ? 1 : 0;
    bounds[0] = last_played_[0];
    bounds[1] = last_played_[1];
  }
  if (HRESULT hr = NewTimestamp(bounds[0], start); FAILED(hr)) return hr;
  if (HRESULT hr = NewTimestamp(bounds[1], end); FAILED(hr)) {
    (*start)->Release();
    *start = nullptr;
    return hr;
  }
  return S_OK;
}

// Setting needs both bounds, each a date a record can hold; clearing takes
// whatever is given and keeps the bounds.
HRESULT TavoPL2FindData::put_LastPlayRange(LONG set, ITavoPL2Timestamp* start, ITavoPL2Timestamp* end) {
  if (set == 0) {
    std::lock_guard<std::mutex> lock(mutex_);
    filter_.last_played.set = false;
    return S_OK;
  }
  DateTime bounds[2];
  if (start == nullptr || end == nullptr) return E_INVALIDARG;
  if (FAILED(ReadTimestamp(start, &bounds[0])) || FAILED(ReadTimestamp(end, &bounds[1]))) return E_INVALIDARG;
  if (!IsRecordYear(bounds[0]) || !IsRecordYear(bounds[1])) return E_INVALIDARG;
  std::lock_guard<std::mutex> lock(mutex_);
  last_played_[0] = bounds[0];
  last_played_[1] = bounds[1];
  filter_.last_played = FindRange{true, PackRecordDate(bounds[0]), PackRecordDate(bounds[1])};
  return S_OK;
}

HRESULT TavoPL2FindData::get_YearRange(LONG* set, LONG* start, LONG* end) {
  return GetRange(&FindFilter::year, set, start, end);
}
HRESULT TavoPL2FindData::put_YearRange(LONG set, LONG start, LONG end) {
  return PutRange(&FindFilter::year, set, start, end);
}
HRESULT TavoPL2FindData::get_PlaysRange(LONG* set, LONG* start, LONG* end) {
  return GetRange(&FindFilter::plays, set, start, end);
}
HRESULT TavoPL2FindData::put_PlaysRange(LONG set, LONG start, LONG end) {
  return PutRange(&FindFilter::plays, set, start, end);
}
HRESULT TavoPL2FindData::get_RatingRange(LONG* set, LONG* start, LONG* end) {
  return GetRange(&FindFilter::rating, set, start, end);
}
HRESULT TavoPL2FindData::put_RatingRange(LONG set, LONG start, LONG end) {
  return PutRange(&FindFilter::rating, set, start, end);
}

LibraryStatus TavoPL2FindData::OpenSearch(const std::shared_ptr<MediaLibrary>& library) {
  std::lock_guard<std::mutex> lock(mutex_);
  return search_.Open(library, filter_);
}

LibraryStatus TavoPL2FindData::NextMatch(const std::shared_ptr<MediaLibrary>& library, TrackRecord* track) {
  std::lock_guard<std::mutex> lock(mutex_);
  return search_.Next(library, track);
}

void TavoPL2FindData::CloseSearch() {
  std::lock_guard<std::mutex> lock(mutex_);
  search_.Close();
}

}  // namespace tavo

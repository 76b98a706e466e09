// TavoPL2FindData: the filter of a library search as the host fills it, and
// the search the manager opens on it (FindOpen, FindNext, FindClose keep
// their cursor here, manager/search/library_search.h).
//
// Texts: an empty or null text clears the criterion. Ranges: bSet non-zero
// sets the range, zero clears it; the bounds are kept as given either way.
// Last-played bounds are record dates: years 2000 to 3000 only.
//
// Thread safety: every member may be called from any thread; the filter
// and the search are guarded by one mutex, and a change of the filter does
// not touch a search already open.
#ifndef TAVO_MANAGER_COM_FIND_DATA_H_
#define TAVO_MANAGER_COM_FIND_DATA_H_

#include <memory>
#include <mutex>

#include "manager/search/library_search.h"
#include "platform/com/object.h"
#include "tavo/tavo.h"

#define TAVO_BASE_ITavoOwnPL2FindData IUnknown
#define TAVO_OWN_ITavoOwnPL2FindData(X, T)
TAVO_INTERFACE(ITavoOwnPL2FindData, 0x3f9d20a6, 0x41c7, 0x4e0b, 0x8a, 0x5e, 0x17, 0xc2, 0x6b, 0x93, 0xd0, 0x4f)

namespace tavo {

class TavoPL2FindData : public ComObject<TavoPL2FindData, ITavoPL2FindData, ITavoOwnPL2FindData> {
 public:
  using OwnInterface = ITavoOwnPL2FindData;

  HRESULT STDMETHODCALLTYPE get_Artist(BSTR* artist) override;
  HRESULT STDMETHODCALLTYPE put_Artist(BSTR artist) override;
  HRESULT STDMETHODCALLTYPE get_Album(BSTR* album) override;
  HRESULT STDMETHODCALLTYPE put_Album(BSTR album) override;
  HRESULT STDMETHODCALLTYPE get_Keyword(BSTR* keyword) override;
  HRESULT STDMETHODCALLTYPE put_Keyword(BSTR keyword) override;
  HRESULT STDMETHODCALLTYPE get_GenreId(LONG* genre) override;
  HRESULT STDMETHODCALLTYPE put_GenreId(LONG genre) override;
  HRESULT STDMETHODCALLTYPE get_LastPlayRange(LONG* set, ITavoPL2Timestamp** start, ITavoPL2Timestamp** end) override;
  HRESULT STDMETHODCALLTYPE put_LastPlayRange(LONG set, ITavoPL2Timestamp* start, ITavoPL2Timestamp* end) override;
  HRESULT STDMETHODCALLTYPE get_YearRange(LONG* set, LONG* start, LONG* end) override;
  HRESULT STDMETHODCALLTYPE put_YearRange(LONG set, LONG start, LONG end) override;
  HRESULT STDMETHODCALLTYPE get_PlaysRange(LONG* set, LONG* start, LONG* end) override;
  HRESULT STDMETHODCALLTYPE put_PlaysRange(LONG set, LONG start, LONG end) override;
  HRESULT STDMETHODCALLTYPE get_RatingRange(LONG* set, LONG* start, LONG* end) override;
  HRESULT STDMETHODCALLTYPE put_RatingRange(LONG set, LONG start, LONG end) override;

  // The search of `library` with the filter as it is now, replacing any.
  LibraryStatus OpenSearch(const std::shared_ptr<MediaLibrary>& library);
  LibraryStatus NextMatch(const std::shared_ptr<MediaLibrary>& library, TrackRecord* track);
  void CloseSearch();

 private:
  HRESULT GetText(std::string FindFilter::*text, BSTR* out);
  HRESULT PutText(std::string FindFilter::*text, BSTR value);
  HRESULT GetRange(FindRange FindFilter::*range, LONG* set, LONG* start, LONG* end);
  HRESULT PutRange(FindRange FindFilter::*range, LONG set, LONG start, LONG end);

  std::mutex mutex_;
  FindFilter filter_;        // guarded by mutex_
  DateTime last_played_[2];  // guarded by mutex_: the last-played bounds as given
  LibrarySearch search_;     // guarded by mutex_
};

}  // namespace tavo

#endif  // TAVO_MANAGER_COM_FIND_DATA_H_

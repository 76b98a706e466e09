// LibrarySearch: one open search of a media library, the cursor that a
// find-data object holds between FindOpen, FindNext and FindClose.
//
// Opening walks the index (index_walk.h) and keeps the identifiers of the
// matching tracks; no handle of the store is held between calls, so the
// library may be written, or closed, while a search is open. Next loads the
// tracks one by one and tests each again as it is stored now: a track
// removed or changed so that it no longer matches since the open is passed
// over. Tracks added after the open are not seen.
//
// Thread safety: none; the owner serializes calls.
#ifndef TAVO_MANAGER_SEARCH_LIBRARY_SEARCH_H_
#define TAVO_MANAGER_SEARCH_LIBRARY_SEARCH_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "manager/library/media_library.h"
#include "manager/search/find_filter.h"

namespace tavo {

class LibrarySearch {
 public:
  // Starts a search of `library` with a copy of `filter`, replacing the
  // search held before. The library's status (kManagerNotOpen) or the
  // walk's; the search is closed after a failure.
  LibraryStatus Open(const std::shared_ptr<MediaLibrary>& library, const FindFilter& filter);
  // The next matching track, loaded with its sets. kStoreNotFound when none
  // is left, when no search is open, or when `library` is not the library
  // the search was opened on (or it was reopened on another folder); the
  // library's status when a track cannot be read.
  LibraryStatus Next(const std::shared_ptr<MediaLibrary>& library, TrackRecord* track);
  void Close();

  bool is_open() const { return open_; }
  // The matches found at the open (for tests and measurements).
  size_t match_count() const { return ids_.size(); }

 private:
  bool open_ = false;
  std::weak_ptr<MediaLibrary> library_;
  std::string directory_;
  std::vector<IndexTest> tests_;
  std::vector<uint32_t> ids_;
  size_t next_ = 0;
};

}  // namespace tavo

#endif  // TAVO_MANAGER_SEARCH_LIBRARY_SEARCH_H_

#include "manager/search/library_search.h"

#include <new>

#include "manager/search/index_walk.h"
#include "storage/store/status.h"

namespace tavo {

LibraryStatus LibrarySearch::Open(const std::shared_ptr<MediaLibrary>& library, const FindFilter& filter) try {
  Close();
  std::vector<IndexTest> tests = FindFilter_Tests(filter);
  std::vector<uint32_t> ids;
  std::string directory;
  const LibraryStatus s = library->Read([&](LibraryDatabase* db) {
    directory = LibraryDatabase_Directory(db);
    return IndexWalk_Find(db, tests, &ids);
  });
  if (s != kLibraryOk) return s;
  library_ = library;
  directory_ = std::move(directory);
  tests_ = std::move(tests);
  ids_ = std::move(ids);
  open_ = true;
  return kLibraryOk;
} catch (const std::bad_alloc&) {
  Close();
  return kLibraryNoMemory;
}

LibraryStatus LibrarySearch::Next(const std::shared_ptr<MediaLibrary>& library, TrackRecord* track) {
  if (!open_ || library == nullptr || library_.lock() != library) return kStoreNotFound;
  while (next_ < ids_.size()) {
    const uint32_t id = ids_[next_++];
    bool same_folder = true;
    const LibraryStatus s = library->Read([&](LibraryDatabase* db) {
      same_folder = LibraryDatabase_Directory(db) == directory_;
      return same_folder ? LibraryDatabase_FindById(db, id, track) : kLibraryOk;
    });
    if (!same_folder) break;
    // Gone since the open, or a record that cannot be decoded: passed over.
    if (s == kStoreNotFound || s == kLibraryRecordDamaged) continue;
    if (s != kLibraryOk) {
      --next_;  // the same track again on the next call
      return s;
    }
    if (PassesAll(tests_, IndexEntry_Build(*track, id))) return kLibraryOk;
  }
  next_ = ids_.size();
  return kStoreNotFound;
}

void LibrarySearch::Close() {
  open_ = false;
  library_.reset();
  directory_.clear();
  tests_.clear();
  ids_.clear();
  ids_.shrink_to_fit();
  next_ = 0;
}

}  // namespace tavo

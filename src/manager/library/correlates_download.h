// The correlates download: for each level the service's correlate tables,
// the weight scale, the genre id range and the level's two revision texts
// go into the correlates store (storage/library/correlates_store.h).
//
// A level's texts mark it as current: a later download without `force`
// skips a level whose two texts are both present. They are therefore written
// last, after every table, the id range and the weight range are stored, so
// that a download cut short (a crash, a full disk, a failing service) leaves
// the level without texts and is tried again next time.
#ifndef TAVO_MANAGER_LIBRARY_CORRELATES_DOWNLOAD_H_
#define TAVO_MANAGER_LIBRARY_CORRELATES_DOWNLOAD_H_

#include "manager/library/list_service.h"
#include "storage/library/correlates_store.h"

namespace tavo {

// One level (0, 1 or 2). The store must be open for writing. Returns 0 also
// when the level was skipped; kLibraryInvalidArgument for another level; the
// service's or the store's status otherwise, with the texts left unwritten.
LibraryStatus DownloadCorrelatesLevel(CorrelatesStore& store, ListService& service, int level, bool force);

// Levels 2, 1 and 0 in this order, stopping at the first that fails.
LibraryStatus DownloadAllCorrelates(CorrelatesStore& store, ListService& service, bool force);

}  // namespace tavo

#endif  // TAVO_MANAGER_LIBRARY_CORRELATES_DOWNLOAD_H_

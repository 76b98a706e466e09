// The walk of a library search over the index ".idx": the identifiers of
// the tracks whose index entry passes every test of a filter
// (find_filter.h), found through the index alone.
//
// The first test drives the walk: a text or a single value is looked up by
// equality; a narrow numeric range (at most kProbedRangeWidth values) as one
// lookup per value; a wider one walks the key in ascending order from its
// smallest value and stops past the range's end where the order allows (a
// signed range reaching below 0 is walked whole, since negative words sort
// after the positive ones). Every other test is made of each entry the walk
// meets, and an entry that fails one is skipped. With no test, every entry
// of the identifier key is visited.
//
// Entries change under a walk when tracks are written beside it; an
// identifier is reported once even when its entry is met twice.
#ifndef TAVO_MANAGER_SEARCH_INDEX_WALK_H_
#define TAVO_MANAGER_SEARCH_INDEX_WALK_H_

#include <cstdint>
#include <vector>

#include "manager/search/find_filter.h"
#include "storage/library/library_database.h"

namespace tavo {

inline constexpr int64_t kProbedRangeWidth = 64;

// The matching identifiers in walk order. The store's status when the
// index cannot be walked (0x1001 for a database without an index).
LibraryStatus IndexWalk_Find(LibraryDatabase* db, const std::vector<IndexTest>& tests, std::vector<uint32_t>* ids);

}  // namespace tavo

#endif  // TAVO_MANAGER_SEARCH_INDEX_WALK_H_

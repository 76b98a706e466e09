// Rebuilding the search index from the record file.
//
// The new index is written to "<index path>.new.<pid>.<n>"
// (temporary_path.h) and renamed over the index only when it is complete
// and durable; the folder is synced after the rename. So an aborted or
// failed rebuild leaves the old index (and an interrupted one leaves no half
// index behind the index's name).
//
// Before the index is built, each record whose tag identifier parses to an
// identifier other than its key 1 gets that identifier as key 1, unless
// another record already holds it (then it keeps its own). The record file
// is flushed after those changes, before the new index takes its place.
#ifndef TAVO_STORAGE_LIBRARY_INDEX_REBUILD_H_
#define TAVO_STORAGE_LIBRARY_INDEX_REBUILD_H_

#include <cstdint>
#include <functional>
#include <string>

#include "storage/library/library_status.h"

namespace tavo {

class Env;
struct StoreFile;

inline constexpr uint32_t kRebuildProgressInterval = 100;

// Called after every 100th record with the records so far and a total of 0
// (the total is not known in advance). Setting *abort stops the rebuild at
// once; it then reports success and leaves the old index.
using RebuildProgress = std::function<void(uint32_t count, uint32_t total, bool* abort)>;

struct RebuildReport {
  uint32_t records = 0;   // records walked
  uint32_t entries = 0;   // index entries written
  uint32_t skipped = 0;   // records that could not be decoded, or whose entry could not be stored
  uint32_t rekeyed = 0;   // records given the identifier of their tag
  bool aborted = false;
};

// `records` is the open record file (read and write). The index file must
// not be open. `progress` may be empty.
LibraryStatus LibraryIndex_Rebuild(StoreFile* records, const std::string& index_path, Env* env,
                                   const RebuildProgress& progress, RebuildReport* report = nullptr);

}  // namespace tavo

#endif  // TAVO_STORAGE_LIBRARY_INDEX_REBUILD_H_

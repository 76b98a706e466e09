// Rebuilding the index of a library database that is not open in this
// process (the database's own open rebuilds a missing or foreign index by
// itself). See storage/library/index_rebuild.h for what a rebuild does.
#ifndef TAVO_STORAGE_MAINTENANCE_INDEX_MAINTENANCE_H_
#define TAVO_STORAGE_MAINTENANCE_INDEX_MAINTENANCE_H_

#include <cstdint>
#include <string>

#include "storage/library/index_rebuild.h"
#include "storage/library/library_status.h"

namespace tavo {

class Env;

// Opens the record file for reading and writing and rebuilds the index
// beside it. `flags` are accepted and not used. 0 also when `progress`
// aborted the rebuild (the old index then stays); kLibraryDatabaseOpen when a
// database of the directory is open in this process; the store's statuses
// when the record file cannot be opened or the index cannot be written.
LibraryStatus Maintenance_RebuildIndex(uint32_t flags, const std::string& directory,
                                       const RebuildProgress& progress = {}, Env* env = nullptr,
                                       RebuildReport* report = nullptr);

}  // namespace tavo

#endif  // TAVO_STORAGE_MAINTENANCE_INDEX_MAINTENANCE_H_

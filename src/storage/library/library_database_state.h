// What an open library database holds. Private to src/storage/library.
#ifndef TAVO_STORAGE_LIBRARY_LIBRARY_DATABASE_STATE_H_
#define TAVO_STORAGE_LIBRARY_LIBRARY_DATABASE_STATE_H_

#include <cstdint>
#include <mutex>
#include <string>

#include "storage/library/correlates_store.h"
#include "storage/library/library_database.h"
#include "storage/library/library_files.h"
#include "storage/library/open_registry.h"

namespace tavo {

struct LibraryDatabase {
  Env* env = nullptr;
  std::string directory;
  std::string base_name;
  std::string records_path;
  std::string index_path;
  StoreFilePtr records;  // ".pdb", read and write
  StoreFilePtr index;    // ".idx", read and write
  CorrelatesStore correlates;
  OpenDatabaseRegistration registration;
  // The identifier counter of the record file's user block, read at open.
  // It is written back before the record file is flushed (Commit, Close), so
  // the counter on disk is never behind an identifier in the flushed trees.
  uint32_t counter = 0;
  bool counter_dirty = false;
  // One write at a time: a write is several store operations.
  std::mutex write_mutex;
};

// Writes the counter block when it moved.
LibraryStatus SaveIdCounter(LibraryDatabase* db);

}  // namespace tavo

#endif  // TAVO_STORAGE_LIBRARY_LIBRARY_DATABASE_STATE_H_

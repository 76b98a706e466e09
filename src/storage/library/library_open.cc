// Opening, closing and committing a library database.
#include <new>

#include "platform/fs/env.h"
#include "storage/library/index_rebuild.h"
#include "storage/library/library_database_state.h"
#include "storage/library/track_id.h"
#include "storage/store/byte_order.h"

namespace tavo {
namespace {

LibraryStatus LoadIdCounter(LibraryDatabase* db) {
  uint8_t* block = nullptr;
  uint32_t length = 0;
  StoreStatus s = Store_ReadUserBlock(db->records.get(), &block, &length);
  db->counter = 0;
  db->counter_dirty = false;
  if (s == kStoreNotFound) return kLibraryOk;  // a new file: the first identifier drawn is 1
  if (s != kStoreOk) return s;
  // A block that is not the library's counts from 0; identifiers in use are
  // skipped when drawn, so nothing is handed out twice.
  if (length >= kIdCounterBlockBytes && LoadWord(block + 8, false) == kIdCounterMark) {
    db->counter = LoadWord(block + 4, false);
  }
  Store_FreeUserBlock(db->records.get(), block);
  return kLibraryOk;
}

// The index beside an existing record file. *rebuild is set when the index
// must be made again from the records.
LibraryStatus OpenIndex(LibraryDatabase* db, bool records_created, bool* rebuild) {
  *rebuild = false;
  if (records_created) return LibraryFile_Create(LibraryFile::kIndex, db->index_path, db->env, &db->index);
  const LibraryStatus s = LibraryFile_Open(LibraryFile::kIndex, db->index_path, kStoreReadWrite, db->env, &db->index);
  if (s == kStoreNotFound || LibraryFile_IsForeignOrDamaged(s)) {
    *rebuild = true;
    return kLibraryOk;
  }
  return s;
}

LibraryStatus OpenFiles(LibraryDatabase* db) {
  bool created = false;
  LibraryStatus s = LibraryFile_Open(LibraryFile::kRecords, db->records_path, kStoreReadWrite, db->env, &db->records);
  if (s == kStoreNotFound) {
    created = true;
    s = LibraryFile_Create(LibraryFile::kRecords, db->records_path, db->env, &db->records);
  }
  if (s != kLibraryOk) return s;
  bool rebuild = false;
  if (s = OpenIndex(db, created, &rebuild); s != kLibraryOk) return s;
  if (s = LoadIdCounter(db); s != kLibraryOk) return s;
  if (rebuild) {
    if (s = LibraryIndex_Rebuild(db->records.get(), db->index_path, db->env, {}); s != kLibraryOk) return s;
    if (s = LibraryFile_Open(LibraryFile::kIndex, db->index_path, kStoreReadWrite, db->env, &db->index);
        s != kLibraryOk) {
      return s;
    }
  }
  db->correlates.Bind(db->directory, db->base_name, db->env);
  return db->correlates.OpenForReading();
}

void CloseFiles(LibraryDatabase* db) {
  db->correlates.Close();
  LibraryFile_Close(&db->index);
  LibraryFile_Close(&db->records);
}

}  // namespace

LibraryStatus SaveIdCounter(LibraryDatabase* db) {
  if (!db->counter_dirty) return kLibraryOk;
  uint8_t block[kIdCounterBlockBytes];
  StoreWord(block, 0, false);
  StoreWord(block + 4, db->counter, false);
  StoreWord(block + 8, kIdCounterMark, false);
  if (StoreStatus s = Store_WriteUserBlock(db->records.get(), block, sizeof(block)); s != kStoreOk) return s;
  db->counter_dirty = false;
  return kLibraryOk;
}

void LibraryDatabaseDeleter::operator()(LibraryDatabase* db) const noexcept {
  if (db == nullptr) return;
  LibraryDatabase_Close(db);
  delete db;
}

LibraryStatus LibraryDatabase_Open(const std::string& directory, const std::string& base_name,
                                   LibraryDatabasePtr* db, Env* env) try {
  if (db == nullptr || directory.empty() || base_name.empty()) return kDatabaseInvalidArgument;
  if (*db && LibraryDatabase_IsOpen(db->get())) return kDatabaseInvalidArgument;
  if (!*db) db->reset(new LibraryDatabase);
  LibraryDatabase* d = db->get();
  d->env = env != nullptr ? env : Env::Default();
  d->directory = directory;
  d->base_name = base_name;
  d->records_path = LibraryFile_Path(directory, base_name, LibraryFile::kRecords);
  d->index_path = LibraryFile_Path(directory, base_name, LibraryFile::kIndex);
  if (LibraryStatus s = OpenFiles(d); s != kLibraryOk) {
    CloseFiles(d);
    return s;
  }
  d->registration = OpenDatabaseRegistration(directory);
  return kLibraryOk;
} catch (const std::bad_alloc&) {
  return kDatabaseNoMemory;
}

bool LibraryDatabase_IsOpen(const LibraryDatabase* db) noexcept { return db != nullptr && db->records != nullptr; }

LibraryStatus LibraryDatabase_Close(LibraryDatabase* db) {
  if (db == nullptr) return kDatabaseInvalidArgument;
  if (!LibraryDatabase_IsOpen(db)) return kLibraryOk;
  std::lock_guard<std::mutex> lock(db->write_mutex);
  LibraryStatus result = SaveIdCounter(db);
  for (LibraryStatus s : {db->correlates.Close(), LibraryFile_Close(&db->records), LibraryFile_Close(&db->index)}) {
    if (result == kLibraryOk) result = s;
  }
  db->registration.Release();
  return result;
}

LibraryStatus LibraryDatabase_Commit(LibraryDatabase* db) {
  if (!LibraryDatabase_IsOpen(db)) return kDatabaseInvalidArgument;
  std::lock_guard<std::mutex> lock(db->write_mutex);
  if (LibraryStatus s = SaveIdCounter(db); s != kLibraryOk) return s;
  if (StoreStatus s = Store_Flush(db->records.get()); s != kStoreOk) return s;
  return Store_Flush(db->index.get());
}

StoreFile* LibraryDatabase_RecordsFile(LibraryDatabase* db) noexcept { return db != nullptr ? db->records.get() : nullptr; }
StoreFile* LibraryDatabase_IndexFile(LibraryDatabase* db) noexcept { return db != nullptr ? db->index.get() : nullptr; }
CorrelatesStore* LibraryDatabase_Correlates(LibraryDatabase* db) noexcept {
  return db != nullptr ? &db->correlates : nullptr;
}
const std::string& LibraryDatabase_Directory(const LibraryDatabase* db) noexcept { return db->directory; }

}  // namespace tavo

// What the fuzzer and the damage tests do with a possibly damaged store file:
// verify it, open it, scan its records in file order, and for each of its
// first keys walk the records, find each again, remove it and put it back.
// Everything must end in a status.
#ifndef TAVO_FUZZ_STORAGE_STORE_EXERCISE_H_
#define TAVO_FUZZ_STORAGE_STORE_EXERCISE_H_

#include <string>

#include "storage/store/store.h"

namespace tavo {

// Returns the deep verification's status.
inline StoreStatus ExerciseStoreFile(const std::string& path) {
  const StoreFileType type;  // lets files of either byte order open
  const StoreStatus verified = Store_Verify(path, kStoreRead, &type, StoreVerifyDepth::kDeep);
  StoreFile* file = nullptr;
  if (Store_Open(&file, path, kStoreReadWrite | kStoreNoSync, &type) != kStoreOk) return verified;
  // Every step moves forward by a block of at least 8 bytes: a scan that
  // takes more steps than that loops.
  StoreScanPosition position;
  for (uint64_t steps = 0; steps < (uint64_t{1} << 26); ++steps) {
    StoreRecord* record = nullptr;
    const StoreStatus s = Store_ScanNext(file, &position, &record);
    Store_FreeRecord(file, record);
    if (s != kStoreOk && s != kStoreRecordDamaged) break;
  }
  StoreInfo info;
  Store_GetInfo(file, &info);
  for (uint32_t key = 0; key < info.key_count && key < 4; ++key) {
    StoreIteration* it = nullptr;
    StoreRecord* record = nullptr;
    // A record put back lands after the cursor and comes round again: bound the walk.
    int steps = 0;
    for (StoreStatus s = Store_FindFirst(file, &it, &record, key, nullptr, 0); s == kStoreOk && ++steps < 256;
         s = Store_FindNext(file, it, &record)) {
      StoreRecord* again = nullptr;
      if (Store_Find(file, &again, key, record->key_value(key), record->key_length(key)) == kStoreOk &&
          Store_Remove(file, again) == kStoreOk) {
        Store_Insert(file, again);
      }
      Store_FreeRecord(file, again);
      Store_FreeRecord(file, record);
      record = nullptr;
    }
    Store_FreeRecord(file, record);
    Store_EndFind(file, it);
  }
  Store_Close(file);
  return verified;
}

}  // namespace tavo

#endif  // TAVO_FUZZ_STORAGE_STORE_EXERCISE_H_

// Small helpers over the record store's API shared by the library's files:
// records owned by RAII, finding one or all records of a key value, and
// failure-atomic replacement.
#ifndef TAVO_STORAGE_LIBRARY_STORE_RECORDS_H_
#define TAVO_STORAGE_LIBRARY_STORE_RECORDS_H_

#include <cstdint>
#include <memory>
#include <vector>

#include "storage/library/library_status.h"
#include "storage/store/store.h"

namespace tavo {

struct StoreRecordFreer {
  StoreFile* file = nullptr;
  void operator()(StoreRecord* record) const noexcept { Store_FreeRecord(file, record); }
};
using StoreRecordPtr = std::unique_ptr<StoreRecord, StoreRecordFreer>;

inline StoreRecordPtr AdoptRecord(StoreFile* file, StoreRecord* record) {
  return StoreRecordPtr(record, StoreRecordFreer{file});
}

// The first record whose key equals the value; 0x90020002 when there is none.
LibraryStatus FindRecord(StoreFile* file, uint32_t key, const void* value, uint32_t length, StoreRecordPtr* out);

// Every record whose key equals the value, in tree order.
LibraryStatus FindAllRecords(StoreFile* file, uint32_t key, const void* value, uint32_t length,
                             std::vector<StoreRecordPtr>* out);

// Visits every record entered under `key` in tree order; `visit` returns
// false to stop. A damaged tree ends the walk with its status.
template <typename Visit>
LibraryStatus WalkKey(StoreFile* file, uint32_t key, Visit&& visit) {
  StoreIteration* it = nullptr;
  StoreRecord* raw = nullptr;
  StoreStatus s = Store_FindFirst(file, &it, &raw, key, nullptr, 0);
  while (s == kStoreOk) {
    const StoreRecordPtr record = AdoptRecord(file, raw);
    if (!visit(*record)) break;
    s = Store_FindNext(file, it, &raw);
  }
  if (it != nullptr) Store_EndFind(file, it);
  return s == kStoreNotFound ? kLibraryOk : s;
}

// Visits every record of the file in file position order (Store_ScanNext),
// the fastest way to read them all; `visit` returns false to stop. Records
// whose image does not check out are stepped over; a damaged block frame
// ends the walk with its status.
template <typename Visit>
LibraryStatus ScanRecords(StoreFile* file, Visit&& visit) {
  StoreScanPosition position;
  for (;;) {
    StoreRecord* raw = nullptr;
    const StoreStatus s = Store_ScanNext(file, &position, &raw);
    if (s == kStoreRecordDamaged) continue;
    if (s != kStoreOk) return s == kStoreNotFound ? kLibraryOk : s;
    const StoreRecordPtr record = AdoptRecord(file, raw);
    if (!visit(*record)) return kLibraryOk;
  }
}

// Stores `fresh` in place of `old` (which may be null): the new record is
// inserted first and the old one removed after, so that a failed insert
// leaves the old record as it was.
LibraryStatus ReplaceRecord(StoreFile* file, StoreRecord* old, StoreRecord* fresh);

// A record of the given data and key values (empty values stay unset).
struct KeyValue {
  const void* data = nullptr;
  uint32_t length = 0;
};
LibraryStatus BuildRecord(StoreFile* file, const void* data, uint32_t data_length, const KeyValue* keys,
                          uint32_t key_count, StoreRecordPtr* out);

}  // namespace tavo

#endif  // TAVO_STORAGE_LIBRARY_STORE_RECORDS_H_

#include "storage/library/store_records.h"

namespace tavo {

LibraryStatus FindRecord(StoreFile* file, uint32_t key, const void* value, uint32_t length, StoreRecordPtr* out) {
  StoreRecord* record = nullptr;
  const StoreStatus s = Store_Find(file, &record, key, value, length);
  *out = AdoptRecord(file, record);
  return s;
}

LibraryStatus FindAllRecords(StoreFile* file, uint32_t key, const void* value, uint32_t length,
                             std::vector<StoreRecordPtr>* out) {
  out->clear();
  StoreIteration* it = nullptr;
  StoreRecord* record = nullptr;
  StoreStatus s = Store_FindFirst(file, &it, &record, key, value, length);
  while (s == kStoreOk) {
    out->push_back(AdoptRecord(file, record));
    s = Store_FindNext(file, it, &record);
  }
  if (it != nullptr) Store_EndFind(file, it);
  return s == kStoreNotFound ? kLibraryOk : s;
}

LibraryStatus ReplaceRecord(StoreFile* file, StoreRecord* old, StoreRecord* fresh) {
  if (StoreStatus s = Store_Insert(file, fresh); s != kStoreOk) return s;
  if (old == nullptr) return kLibraryOk;
  if (StoreStatus s = Store_Remove(file, old); s != kStoreOk) {
    // Keep the old state: the new record goes again.
    Store_Remove(file, fresh);
    return s;
  }
  return kLibraryOk;
}

LibraryStatus BuildRecord(StoreFile* file, const void* data, uint32_t data_length, const KeyValue* keys,
                          uint32_t key_count, StoreRecordPtr* out) {
  uint32_t key_bytes = 0;
  for (uint32_t i = 0; i < key_count; ++i) key_bytes += keys[i].length;
  StoreRecord* record = nullptr;
  StoreStatus s = Store_NewRecord(file, &record, data, data_length, key_bytes);
  *out = AdoptRecord(file, record);
  for (uint32_t i = 0; s == kStoreOk && i < key_count; ++i) {
    if (keys[i].length > 0) s = Store_SetKey(file, record, i, keys[i].data, keys[i].length);
  }
  return s;
}

}  // namespace tavo

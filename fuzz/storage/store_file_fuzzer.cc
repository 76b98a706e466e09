// Any bytes as a store file: open, verify, find, iterate, and change it must
// end in a status, never a crash or an endless loop.
#include <unistd.h>

#include <fstream>
#include <string>

#include "storage/store/store.h"

using namespace tavo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/store_fuzz_" + std::to_string(getpid()) + ".pdb";
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);
  const StoreFileType type;  // lets files of either byte order open
  Store_Verify(path, kStoreRead, &type, StoreVerifyDepth::kDeep);
  StoreFile* file = nullptr;
  if (Store_Open(&file, path, kStoreReadWrite, &type) != kStoreOk) return 0;
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
  return 0;
}

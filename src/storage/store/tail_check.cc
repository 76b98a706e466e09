// The tail check of a read-write open. Blocks are appended one after the
// other from the end of the header, so the file is exactly a sequence of
// whole tagged blocks; the commit stamp records where the sequence ended at
// the last commit. A file that is shorter than that, or whose blocks past it
// do not end exactly at its end, was cut or grown by something else: writing
// would place new blocks over a torn one and spread the damage.
#include <algorithm>

#include "storage/store/byte_order.h"
#include "storage/store/store_file.h"

namespace tavo {

StoreStatus CheckTail(StoreFile* file, const CommitStamp* stamp) {
  const uint64_t size = file->allocator.end();
  if (size < kHeaderReserved || size % 4 != 0) return kStoreTailDamaged;
  uint64_t at = kHeaderReserved;
  if (stamp != nullptr) {
    if (size < stamp->end) return kStoreTailDamaged;
    // A stamp that is no block boundary cannot be ours: walk the whole file.
    if (stamp->end >= kHeaderReserved && stamp->end % 4 == 0) at = stamp->end;
  }
  // Tags are read from windows of the file, so that even the walk of a whole
  // file written by an older version is sequential.
  constexpr size_t kWindow = size_t{1} << 20;
  std::vector<uint8_t> window;
  uint64_t window_start = 0;
  while (at < size) {
    if (size - at < 4) return kStoreTailDamaged;
    if (at < window_start || at + 4 > window_start + window.size()) {
      window.resize(static_cast<size_t>(std::min<uint64_t>(kWindow, size - at)));
      window_start = at;
      if (StoreStatus s = file->ReadExact(at, window.data(), window.size()); s != kStoreOk) {
        return s == kStoreShortIo ? kStoreTailDamaged : s;
      }
    }
    const uint32_t tag = LoadWord(window.data() + (at - window_start), file->swap);
    const uint32_t capacity = TagCapacity(tag);
    if (!IsWholeBlockTag(tag) || size - at - 4 < capacity) {
      return kStoreTailDamaged;
    }
    at += 4 + uint64_t{capacity};
  }
  return kStoreOk;
}

}  // namespace tavo

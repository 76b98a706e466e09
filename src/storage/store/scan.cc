// The scan in file position order. Blocks lie end to end from the header on
// (format.h), so the walk steps from tag to tag; every step moves forward by
// at least one tag word, so it ends even in a damaged file. A stored record
// is exactly a block tagged as a record: removing a record retags its block
// as free at once (block_allocator.h).
#include <limits>
#include <new>

#include "storage/store/byte_order.h"
#include "storage/store/store_file.h"

namespace tavo {
namespace {

constexpr uint64_t kScanEnded = std::numeric_limits<uint64_t>::max();

// Moves *at to the tag of the next record block and gives its capacity;
// *found stays false at the end.
StoreStatus SeekRecordBlock(StoreFile* file, uint64_t* at, uint32_t* capacity, bool* found) {
  *found = false;
  const uint64_t end = file->allocator.end();
  while (*at < end) {
    if (end - *at < 4) return kStoreBlockDamaged;
    StoreStatus status = kStoreOk;
    const uint8_t* raw = file->WindowAt(*at, 4, true, &status);
    if (status != kStoreOk) return status;
    if (raw == nullptr) return kStoreBlockDamaged;  // past what the file holds
    const uint32_t tag = LoadWord(raw, file->swap);
    if (!IsWholeBlockTag(tag) || end - *at - 4 < TagCapacity(tag)) return kStoreBlockDamaged;
    if (TagKind(tag) == BlockKind::kRecord) {
      *capacity = TagCapacity(tag);
      *found = true;
      return kStoreOk;
    }
    *at += 4 + uint64_t{TagCapacity(tag)};
  }
  return kStoreOk;
}

}  // namespace

StoreStatus Store_ScanNext(StoreFile* file, StoreScanPosition* position, StoreRecord** out) try {
  if (file == nullptr || position == nullptr || out == nullptr) return kStoreInvalidArgument;
  *out = nullptr;
  OperationScope scope(file);
  if (file->unusable) return kStoreUnusable;
  if (position->next == kScanEnded) return kStoreNotFound;
  uint64_t at = position->next == 0 ? kHeaderReserved : position->next;
  if (at < kHeaderReserved || at % 4 != 0) return kStoreInvalidArgument;
  // Changed nodes wait in the cache until a flush writes them; their blocks
  // (new ones hold nothing yet) must be whole before the walk passes them.
  // They join the current transaction as a flush would put them there.
  if (file->nodes.has_dirty()) {
    if (StoreStatus s = file->nodes.WriteDirty(); s != kStoreOk) return s;
  }
  uint32_t capacity = 0;
  bool found = false;
  StoreStatus status = SeekRecordBlock(file, &at, &capacity, &found);
  std::unique_ptr<StoreRecord> record;
  if (status == kStoreOk && found) status = file->ReadRecord(static_cast<uint32_t>(at + 4), &record, true);
  if (status == kStoreRecordDamaged) {
    // The frame holds: step over the block, the rest can still be read.
    position->next = at + 4 + uint64_t{capacity};
    return status;
  }
  if (status != kStoreOk || !found) {
    position->next = kScanEnded;
    return status != kStoreOk ? status : kStoreNotFound;
  }
  position->next = at + 4 + uint64_t{capacity};
  *out = record.release();
  return kStoreOk;
} catch (const std::bad_alloc&) {
  if (out != nullptr) *out = nullptr;
  return StoreOutOfMemory(file);
}

}  // namespace tavo

#include "storage/store/block_allocator.h"

#include <algorithm>
#include <cstring>

#include "storage/store/byte_order.h"
#include "storage/store/format.h"

namespace tavo {
namespace {

constexpr uint32_t kDirectoryBytes = 4 * kFreeClasses;

constexpr std::array<uint32_t, kFreeClasses> MakeClassCapacities() {
  std::array<uint32_t, kFreeClasses> table{};
  uint32_t i = 0;
  for (uint32_t c = 8; c <= 128; c += 8) table[i++] = c;
  for (uint32_t base = 128; i < kFreeClasses; base *= 2) {
    for (uint32_t k = 1; k <= 8 && i < kFreeClasses; ++k) table[i++] = base + k * (base / 8);
  }
  return table;
}

constexpr std::array<uint32_t, kFreeClasses> kClassCapacities = MakeClassCapacities();
static_assert(kClassCapacities[kFreeClasses - 1] <= kBlockCapacityMask);

StoreStatus ReadExact(File* file, uint64_t offset, void* buf, size_t n) {
  size_t got = 0;
  if (int err = file->Read(offset, buf, n, &got); err != 0) return StoreStatusFromErrno(err);
  return got == n ? kStoreOk : kStoreShortIo;
}

}  // namespace

uint32_t ClassCapacity(uint32_t cls) noexcept { return kClassCapacities[cls]; }

uint32_t BlockCapacityFor(uint32_t n) noexcept {
  auto it = std::lower_bound(kClassCapacities.begin(), kClassCapacities.end(), n);
  return it == kClassCapacities.end() ? 0 : *it;
}

bool IsWholeBlockTag(uint32_t tag) noexcept {
  switch (TagKind(tag)) {
    case BlockKind::kRecord:
    case BlockKind::kNode:
    case BlockKind::kAnchor:
    case BlockKind::kUserBlock:
    case BlockKind::kFreeDirectory:
    case BlockKind::kFree: {
      const uint32_t capacity = TagCapacity(tag);
      return capacity != 0 && BlockCapacityFor(capacity) == capacity;
    }
  }
  return false;
}

uint32_t BlockAllocator::ClassOf(uint32_t capacity) noexcept {
  auto it = std::upper_bound(kClassCapacities.begin(), kClassCapacities.end(), capacity);
  return it == kClassCapacities.begin() ? 0 : static_cast<uint32_t>(it - kClassCapacities.begin() - 1);
}

StoreStatus BlockAllocator::Load(uint32_t anchor_offset) {
  anchor_ = anchor_offset;
  directory_ = 0;
  heads_.fill(0);
  if (anchor_offset == 0) return kStoreOk;
  uint8_t anchor[kAnchorBytes];
  if (StoreStatus s = ReadExact(file_, anchor_offset, anchor, sizeof anchor); s != kStoreOk) {
    return s;
  }
  const uint32_t directory = LoadWord(anchor, swap_);
  if (directory == 0) return kStoreOk;
  if (directory % 4 != 0 || directory < kFirstContent || directory + uint64_t{kDirectoryBytes} > end_) {
    return kStoreFreeSpaceDamaged;
  }
  std::vector<uint8_t> raw(4 + kDirectoryBytes);
  if (StoreStatus s = ReadExact(file_, directory - 4, raw.data(), raw.size()); s != kStoreOk) {
    return s;
  }
  const uint32_t tag = LoadWord(raw.data(), swap_);
  if (TagKind(tag) != BlockKind::kFreeDirectory || TagCapacity(tag) < kDirectoryBytes) {
    return kStoreFreeSpaceDamaged;
  }
  directory_ = directory;
  for (uint32_t c = 0; c < kFreeClasses; ++c) heads_[c] = LoadWord(raw.data() + 4 + 4 * c, swap_);
  return kStoreOk;
}

StoreStatus BlockAllocator::Append(uint32_t capacity, Block* out) {
  const uint64_t new_end = end_ + 4 + capacity;
  if (new_end > 0xFFFFFFF0u) return kStoreTooLarge;  // offsets are 32-bit words
  out->offset = static_cast<uint32_t>(end_ + 4);
  out->capacity = capacity;
  end_ = new_end;
  return kStoreOk;
}

StoreStatus BlockAllocator::Pop(uint32_t cls, uint32_t min_capacity, Block* out, bool* got) {
  *got = false;
  const uint32_t offset = heads_[cls];
  if (offset == 0) return kStoreOk;
  uint8_t raw[8] = {};
  bool valid = offset % 4 == 0 && offset >= kFirstContent && offset + uint64_t{8} <= end_;
  if (valid) {
    if (StoreStatus s = ReadExact(file_, offset - 4, raw, sizeof raw); s == kStoreShortIo) {
      valid = false;
    } else if (s != kStoreOk) {
      return s;
    }
  }
  uint32_t capacity = 0, next = 0;
  if (valid) {
    const uint32_t tag = LoadWord(raw, swap_);
    capacity = TagCapacity(tag);
    next = LoadWord(raw + 4, swap_);
    valid = TagKind(tag) == BlockKind::kFree && ClassOf(capacity) == cls && capacity >= min_capacity &&
            offset + uint64_t{capacity} <= end_ &&
            (next == 0 || (next % 4 == 0 && next >= kFirstContent && next < end_));
  }
  if (!valid) {
    // The list is stale or damaged: drop it.
    heads_[cls] = 0;
    directory_dirty_ = true;
    return kStoreOk;
  }
  heads_[cls] = next;
  directory_dirty_ = true;
  *out = {offset, capacity};
  *got = true;
  return kStoreOk;
}

StoreStatus BlockAllocator::Allocate(uint32_t min_capacity, Block* out) {
  const uint32_t capacity = BlockCapacityFor(min_capacity);
  if (capacity == 0) return kStoreTooLarge;
  const uint32_t cls = ClassOf(capacity);
  bool got = false;
  for (uint32_t c = cls; c <= cls + 1 && c < kFreeClasses; ++c) {
    while (heads_[c] != 0 && !got) {
      if (StoreStatus s = Pop(c, capacity, out, &got); s != kStoreOk) return s;
    }
    if (got) return kStoreOk;
  }
  return Append(capacity, out);
}

StoreStatus BlockAllocator::Free(Block block) { return Push(block); }

StoreStatus BlockAllocator::Unallocate(Block block) {
  if (block.offset + uint64_t{block.capacity} == end_) {
    end_ -= 4 + uint64_t{block.capacity};
    return kStoreOk;
  }
  return Push(block);
}

StoreStatus BlockAllocator::Push(Block block) {
  const uint32_t cls = ClassOf(block.capacity);
  uint8_t raw[8];
  StoreWord(raw, BlockTag(BlockKind::kFree, block.capacity), swap_);
  StoreWord(raw + 4, heads_[cls], swap_);
  if (int err = file_->Write(block.offset - 4, raw, sizeof raw); err != 0) {
    return StoreStatusFromErrno(err);
  }
  heads_[cls] = block.offset;
  directory_dirty_ = true;
  return kStoreOk;
}

StoreStatus BlockAllocator::WriteDirectory() {
  std::vector<uint8_t> raw(4 + size_t{BlockCapacityFor(kDirectoryBytes)}, 0);
  StoreWord(raw.data(), BlockTag(BlockKind::kFreeDirectory, BlockCapacityFor(kDirectoryBytes)), swap_);
  for (uint32_t c = 0; c < kFreeClasses; ++c) StoreWord(raw.data() + 4 + 4 * c, heads_[c], swap_);
  if (int err = file_->Write(directory_ - 4, raw.data(), raw.size()); err != 0) {
    return StoreStatusFromErrno(err);
  }
  directory_dirty_ = false;
  return kStoreOk;
}

StoreStatus BlockAllocator::PrepareCommit() {
  if (directory_ != 0) return directory_dirty_ ? WriteDirectory() : kStoreOk;
  if (std::all_of(heads_.begin(), heads_.end(), [](uint32_t head) { return head == 0; })) return kStoreOk;
  Block anchor, directory;
  if (StoreStatus s = Append(BlockCapacityFor(kAnchorBytes), &anchor); s != kStoreOk) return s;
  if (StoreStatus s = Append(BlockCapacityFor(kDirectoryBytes), &directory); s != kStoreOk) return s;
  directory_ = directory.offset;
  if (StoreStatus s = WriteDirectory(); s != kStoreOk) return s;
  uint8_t raw[4 + 8] = {};
  StoreWord(raw, BlockTag(BlockKind::kAnchor, anchor.capacity), swap_);
  StoreWord(raw + 4, directory_, swap_);
  if (int err = file_->Write(anchor.offset - 4, raw, sizeof raw); err != 0) {
    return StoreStatusFromErrno(err);
  }
  anchor_ = anchor.offset;
  return kStoreOk;
}

}  // namespace tavo

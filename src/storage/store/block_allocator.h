// Space inside a store file.
//
// Blocks are carved from the end of the file. Capacities come in size
// classes: multiples of 8 up to 128 bytes, then eight steps per power of two
// (so a block wastes at most an eighth of itself). A freed block goes onto the
// free list of its class, and allocation takes a block of the wanted class, or
// of the next one up, before it grows the file. Records of about the same size
// thus share one class and reuse each other's blocks exactly, and churn does
// not grow the file without bound.
//
// A freed block joins its list at once: every write is part of a
// transaction that reaches the file whole or not at all (pager.h), so a block
// the last commit still uses may be reused by the next one. The list heads
// live in the free directory block, located through anchor block 1:
//
//   Free directory content:
//   OFFSET      SIZE  DESCRIPTION
//   4 * c       4     head of the free list of class c (0 = empty)
//
// Popping a head checks that the block is still tagged free and belongs to the
// class; a list that fails the check (a damaged file, or one written by an
// older version that reused blocks before its commits were atomic) is
// dropped and its blocks leak rather than be handed out twice.
#ifndef TAVO_STORAGE_STORE_BLOCK_ALLOCATOR_H_
#define TAVO_STORAGE_STORE_BLOCK_ALLOCATOR_H_

#include <array>
#include <cstdint>
#include <vector>

#include "platform/fs/env.h"
#include "storage/store/status.h"

namespace tavo {

struct Block {
  uint32_t offset = 0;    // of the content, 4 past the tag
  uint32_t capacity = 0;  // content bytes
};

// Capacity classes: 8..128 in steps of 8, then eight steps per power of two.
inline constexpr uint32_t kFreeClasses = 16 + 8 * 20;

// The capacity of class c.
uint32_t ClassCapacity(uint32_t cls) noexcept;
// The smallest class capacity that holds n bytes (0 when none does).
uint32_t BlockCapacityFor(uint32_t n) noexcept;
// Whether a tag can frame a block: a known kind and a capacity that is a
// class capacity. Walks over the block sequence (tail check, scan) stop at
// the first tag that cannot.
bool IsWholeBlockTag(uint32_t tag) noexcept;

class BlockAllocator {
 public:
  BlockAllocator(File* file, bool swap) : file_(file), swap_(swap) {}

  // The logical end of the file: everything allocated lies below it.
  uint64_t end() const noexcept { return end_; }
  void set_end(uint64_t end) noexcept { end_ = end; }

  // Reads the free directory of an opened file (0: none yet).
  StoreStatus Load(uint32_t anchor_offset);
  uint32_t anchor_offset() const noexcept { return anchor_; }

  StoreStatus Allocate(uint32_t min_capacity, Block* out);
  // Puts a block on its free list.
  StoreStatus Free(Block block);
  // Gives back a block that was never written: the end of the file shrinks
  // when it was the last block, otherwise it is freed.
  StoreStatus Unallocate(Block block);

  // Before a commit: creates the anchor and the directory once a list is in
  // use, and writes the directory when a head changed.
  StoreStatus PrepareCommit();

  // For verification: the list heads as loaded.
  const std::array<uint32_t, kFreeClasses>& heads() const noexcept { return heads_; }
  uint32_t directory_offset() const noexcept { return directory_; }

  // The class of a block: the largest class whose capacity it holds.
  static uint32_t ClassOf(uint32_t capacity) noexcept;

 private:
  StoreStatus Pop(uint32_t cls, uint32_t min_capacity, Block* out, bool* got);
  StoreStatus Push(Block block);
  StoreStatus WriteDirectory();
  StoreStatus Append(uint32_t capacity, Block* out);

  File* file_;
  bool swap_;
  uint64_t end_ = 0;
  uint32_t anchor_ = 0;
  uint32_t directory_ = 0;
  bool directory_dirty_ = false;
  std::array<uint32_t, kFreeClasses> heads_{};
};

}  // namespace tavo

#endif  // TAVO_STORAGE_STORE_BLOCK_ALLOCATOR_H_

// Layout of a store file: the header and the block frame.
//
// Header, the first 512 bytes of the file (words in the file's byte order):
//
//   OFFSET      SIZE  DESCRIPTION
//   0           4     magic "TXDB"
//   4           4     version: 1 (reads as 0x01000000 in the other byte order)
//   8           4     file kind, chosen by the file's user
//   12          4     key count: 1-16 at creation, 1-64 accepted on reading
//   16          4     node size in bytes (32-1024 at creation, 1-4096 on reading)
//   20          4     allocation parameter A (same ranges)
//   24          4     allocation parameter B (same ranges)
//   28          4     user block size
//   32          4     anchor block 1 (8 bytes): [free directory offset, 0]
//   36          4     anchor block 2 (8 bytes): unused, 0
//   40          4     user block offset, 0 when none
//   44 + 12i    4     key i: type (how its value is byte-swapped)
//   48 + 12i    4     key i: method (how its key code is computed)
//   52 + 12i    4     key i: root node offset, 0 while the tree is empty
//   ...               0 up to the commit stamp
//   480         4     commit stamp: magic "TXCS"
//   484         4       end of the file when this header was committed
//   488         4       commit sequence: one more at every commit
//   492         4       salt: drawn anew by every read-write open
//   496         8       checksum of bytes 0-495
//   504         8       0
//
// The meaningful part, 44 + 12 * key count bytes, fits into the 512. The
// commit stamp lies in the reserved rest: readers that do not know it ignore
// it (and writers that do not know it write zeros there). Files of more than
// 36 keys have no room for it.
//
// After the header the file is a sequence of blocks. Every block is framed by
// one tag word; offsets stored anywhere in the file (roots, children, record
// positions, anchors) point at the content, 4 bytes past the tag:
//
//   OFFSET      SIZE  DESCRIPTION
//   0           4     tag: kind << 28 | capacity in bytes (a size class, see
//                     block_allocator.h)
//   4           cap   content: a record image, an index node, an anchor, the
//                     user block, the free directory, or a free block
//
// A free block's content starts with the offset of the next free block of its
// size class (0 ends the list).
#ifndef TAVO_STORAGE_STORE_FORMAT_H_
#define TAVO_STORAGE_STORE_FORMAT_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "storage/store/status.h"

namespace tavo {

inline constexpr uint32_t kHeaderReserved = 512;
inline constexpr uint32_t kHeaderMinimum = 56;
inline constexpr uint32_t kHeaderFixedBytes = 44;
inline constexpr uint32_t kKeyDescriptorBytes = 12;
inline constexpr uint32_t kMaxCreateKeys = 16;
inline constexpr uint32_t kMaxHeaderKeys = 64;
inline constexpr uint32_t kVersion = 1;
inline constexpr uint32_t kVersionOtherOrder = 0x01000000;
inline constexpr uint32_t kFirstContent = kHeaderReserved + 4;
inline constexpr uint32_t kAnchorBytes = 8;

enum class BlockKind : uint32_t {
  kRecord = 1,
  kNode = 2,
  kAnchor = 3,
  kUserBlock = 4,
  kFreeDirectory = 5,
  kFree = 15,
};

inline constexpr uint32_t kBlockCapacityMask = 0x0FFFFFFF;

constexpr uint32_t BlockTag(BlockKind kind, uint32_t capacity) noexcept {
  return static_cast<uint32_t>(kind) << 28 | capacity;
}
constexpr BlockKind TagKind(uint32_t tag) noexcept { return static_cast<BlockKind>(tag >> 28); }
constexpr uint32_t TagCapacity(uint32_t tag) noexcept { return tag & kBlockCapacityMask; }

struct KeyDescriptor {
  uint32_t type = 0;
  uint32_t method = 0;
  uint32_t root = 0;
};

struct StoreHeader {
  uint32_t kind = 0;
  uint32_t node_size = 256;
  uint32_t alloc_a = 128;
  uint32_t alloc_b = 128;
  uint32_t user_block_size = 0;
  uint32_t anchor1 = 0;
  uint32_t anchor2 = 0;
  uint32_t user_block = 0;
  std::vector<KeyDescriptor> keys;

  uint32_t key_count() const noexcept { return static_cast<uint32_t>(keys.size()); }

  // Writes the 512 header bytes.
  void Encode(uint8_t out[kHeaderReserved], bool swap) const noexcept;
  // Reads n (>= kHeaderMinimum) header bytes whose magic and version were
  // checked. Checks counts and sizes; offsets are checked by the caller, who
  // knows the file.
  static StoreStatus Decode(const uint8_t* in, size_t n, bool swap, StoreHeader* out);
};

// What the commit stamp records. A header without a valid stamp (written by
// an older version, or too many keys) reads as no stamp.
struct CommitStamp {
  uint32_t end = 0;
  uint32_t sequence = 0;
  uint32_t salt = 0;
};

inline constexpr uint32_t kStampOffset = 480;

constexpr bool StampFits(uint32_t key_count) noexcept {
  return kHeaderFixedBytes + kKeyDescriptorBytes * key_count <= kStampOffset;
}

// Writes the stamp into an encoded header (after StoreHeader::Encode).
void EncodeStamp(uint8_t header[kHeaderReserved], const CommitStamp& stamp, bool swap) noexcept;
// Reads the stamp of a whole header; false when it has none that checks out.
bool DecodeStamp(const uint8_t header[kHeaderReserved], bool swap, CommitStamp* out) noexcept;

// Entry capacity of an index node: a 12-byte node header and 8-byte entries.
constexpr uint32_t NodeEntryCapacity(uint32_t node_size) noexcept {
  return node_size < 12 ? 0 : (node_size - 12) / 8;
}

}  // namespace tavo

#endif  // TAVO_STORAGE_STORE_FORMAT_H_

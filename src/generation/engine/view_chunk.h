// ViewChunk: 1,024 consecutive slots of the library view, column by column.
//
//   PART      PER SLOT   CONTENT
//   id        4 bytes    the track identifier (record file key 1)
//   present   4 bytes    bit n: number column n holds a value; kSizePresentBit
//   live      1 bit      the slot holds a track (removed tracks leave a hole)
//   text[c]   4 bytes    text ids of column c; the array is absent while no
//                        slot of the chunk has a value in the column
//   number[c] 4 bytes    values of number column c; absent likewise
//   size      8 bytes    "SIZE" in bytes; absent likewise
//
// Copy on write: a chunk belongs to the writer while its epoch equals the
// writer's; published chunks are never changed again, a write copies them.
#ifndef TAVO_GENERATION_ENGINE_VIEW_CHUNK_H_
#define TAVO_GENERATION_ENGINE_VIEW_CHUNK_H_

#include <array>
#include <cstdint>
#include <memory>

#include "generation/engine/view_columns.h"

namespace tavo {

inline constexpr uint32_t kChunkBits = 10;
inline constexpr uint32_t kChunkSlots = 1u << kChunkBits;
inline constexpr uint32_t kChunkMask = kChunkSlots - 1;

struct ViewChunk {
  uint64_t epoch = 0;
  std::array<uint32_t, kChunkSlots> id{};
  std::array<uint32_t, kChunkSlots> present{};
  std::array<uint64_t, kChunkSlots / 64> live{};
  std::array<std::unique_ptr<uint32_t[]>, kTextColumnCount> text;
  std::array<std::unique_ptr<int32_t[]>, kNumberColumnCount> number;
  std::unique_ptr<int64_t[]> size;

  bool Live(uint32_t offset) const { return (live[offset >> 6] >> (offset & 63)) & 1; }
  uint32_t Text(uint32_t offset, uint8_t column) const { return text[column] ? text[column][offset] : 0; }

  // A writable copy for `epoch`. Throws std::bad_alloc.
  std::unique_ptr<ViewChunk> Clone(uint64_t epoch) const;
  // Writes a slot's values (text ids per column, numbers with their
  // presence bits, size) and marks it live. Throws std::bad_alloc.
  void Put(uint32_t offset, uint32_t track_id, const std::array<uint32_t, kTextColumnCount>& text_ids,
           const std::array<int32_t, kNumberColumnCount>& numbers, uint32_t present_bits, int64_t size_bytes);
  // Empties a slot.
  void Clear(uint32_t offset);
  size_t MemoryBytes() const;
};

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_VIEW_CHUNK_H_

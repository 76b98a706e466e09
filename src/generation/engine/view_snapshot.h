// ViewSnapshot: an immutable state of the library view, what a run reads.
//
// Slots are numbered 0..slot_end()-1; a slot that is not live holds no track
// (a removed track's hole, reused by a later add). Slot numbers say nothing
// about a track's place in the library: runs order tracks by identifier.
// A snapshot keeps its chunks and the text pool alive; any number of threads
// may read one at once, and writes to the view never change it.
#ifndef TAVO_GENERATION_ENGINE_VIEW_SNAPSHOT_H_
#define TAVO_GENERATION_ENGINE_VIEW_SNAPSHOT_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "generation/engine/text_pool.h"
#include "generation/engine/view_chunk.h"

namespace tavo {

class ViewSnapshot {
 public:
  ViewSnapshot(std::vector<std::shared_ptr<const ViewChunk>> chunks, TextPoolReader texts, uint32_t slot_end,
               uint32_t live_count);

  uint32_t slot_end() const { return slot_end_; }
  uint32_t live_count() const { return live_count_; }
  bool Live(uint32_t slot) const { return Chunk(slot).Live(slot & kChunkMask); }
  // Live slots in ascending order.
  std::vector<uint32_t> LiveSlots() const;

  uint32_t TrackId(uint32_t slot) const { return Chunk(slot).id[slot & kChunkMask]; }
  // Text id of a column; 0 when the track has no value.
  uint32_t TextId(uint32_t slot, uint8_t column) const { return Chunk(slot).Text(slot & kChunkMask, column); }
  std::string_view Text(uint32_t slot, uint8_t column) const { return texts_.Text(TextId(slot, column)); }
  std::optional<int32_t> Number(uint32_t slot, uint8_t column) const {
    const ViewChunk& c = Chunk(slot);
    const uint32_t offset = slot & kChunkMask;
    if (!(c.present[offset] & (1u << column))) return std::nullopt;
    return c.number[column][offset];
  }
  std::optional<int64_t> Size(uint32_t slot) const {
    const ViewChunk& c = Chunk(slot);
    const uint32_t offset = slot & kChunkMask;
    if (!(c.present[offset] & kSizePresentBit)) return std::nullopt;
    return c.size[offset];
  }

  const TextPoolReader& texts() const { return texts_; }

 private:
  const ViewChunk& Chunk(uint32_t slot) const { return *chunks_[slot >> kChunkBits]; }

  std::vector<std::shared_ptr<const ViewChunk>> owners_;
  std::vector<const ViewChunk*> chunks_;
  TextPoolReader texts_;
  uint32_t slot_end_ = 0;
  uint32_t live_count_ = 0;
};

using ViewSnapshotPtr = std::shared_ptr<const ViewSnapshot>;

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_VIEW_SNAPSHOT_H_

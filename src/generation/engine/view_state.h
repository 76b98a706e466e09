// ViewState: the writer's side of the library view. It holds the current
// chunks, the text pool and the two slot indexes (file name, track
// identifier), takes stored and removed tracks, and publishes immutable
// snapshots. Not thread safe: LibraryView serializes its calls.
//
// Invariants:
//  - Every live slot is in both indexes exactly once; a hole is in neither
//    and waits in the free list.
//  - File names are unique ignoring letter case (the record file's key), and
//    so are identifiers: storing a track whose identifier another slot holds
//    removes that slot (the library replaced that record).
//  - Chunks whose epoch equals epoch_ are the writer's own; all others may
//    be in published snapshots and are copied before a change.
#ifndef TAVO_GENERATION_ENGINE_VIEW_STATE_H_
#define TAVO_GENERATION_ENGINE_VIEW_STATE_H_

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "generation/engine/slot_index.h"
#include "generation/engine/text_pool.h"
#include "generation/engine/track_row.h"
#include "generation/engine/view_snapshot.h"

namespace tavo {

class ViewState {
 public:
  ViewState();

  // Stores a track (adds it, or replaces the one of the same file name).
  // Throws std::bad_alloc; the state may then be half changed and must be
  // dropped.
  void Store(const TrackRow& row);
  // Removes the track of that file name (letter case ignored), if any.
  void Remove(std::string_view file_name);

  // The current state as a snapshot; the same snapshot until a change.
  // Throws std::bad_alloc.
  ViewSnapshotPtr Publish();

  uint32_t live_count() const { return live_count_; }
  size_t MemoryBytes() const;

 private:
  ViewChunk& Writable(uint32_t slot);
  uint32_t TakeSlot();
  void Release(uint32_t slot);
  std::string_view FileNameOf(uint32_t slot) const;
  uint32_t IdOf(uint32_t slot) const;
  uint32_t FindByFile(std::string_view file_name, uint32_t hash) const;
  uint32_t FindById(uint32_t id) const;
  void InternTexts(const TrackRow& row, std::array<uint32_t, kTextColumnCount>* ids);
  void AddNew(const TrackRow& row, uint32_t file_hash, std::array<uint32_t, kTextColumnCount>* ids);

  std::vector<std::shared_ptr<ViewChunk>> chunks_;
  std::shared_ptr<TextPool> texts_;
  SlotIndex by_file_;
  SlotIndex by_id_;
  std::vector<uint32_t> free_slots_;
  uint32_t slot_end_ = 0;
  uint32_t live_count_ = 0;
  uint64_t epoch_ = 1;
  ViewSnapshotPtr published_;  // null after a change
};

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_VIEW_STATE_H_

// LibraryView: the compact, column-oriented view of a library's tracks that
// generator runs evaluate, owned by the manager.
//
// Life:
//   empty --Snapshot--> building --(walk done)--> ready --Drop--> empty
//   A failed build returns to empty. Drop during a build discards its result.
//
// Snapshot builds the view from the database on first use by walking the
// raw record images (no property-set trees: property_text_scan.h) and then
// hands out immutable snapshots; a run keeps its snapshot for its whole
// length and never holds the view's lock meanwhile.
//
// Writes: the manager reports every stored track (adds, updates, plays,
// ratings, field writes) with OnTrackStored and every removal with
// OnTrackRemoved, after the database write succeeded, from any thread and
// without its write lock. Each call holds the view's lock only for the
// change itself; published snapshots are copied on write chunk by chunk, and
// a new snapshot is published by the next Snapshot call. Writes made while
// the view is being built are queued and applied after the walk, so none is
// lost; writes before the first build are ignored (the build reads them).
//
// A write that runs out of memory drops the view; the next Snapshot builds
// it again. Everything here is thread safe.
#ifndef TAVO_GENERATION_ENGINE_LIBRARY_VIEW_H_
#define TAVO_GENERATION_ENGINE_LIBRARY_VIEW_H_

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "generation/engine/view_snapshot.h"
#include "storage/library/library_database.h"
#include "storage/library/track_record.h"

namespace tavo {

class ViewState;

class LibraryView {
 public:
  LibraryView();
  ~LibraryView();
  LibraryView(const LibraryView&) = delete;
  LibraryView& operator=(const LibraryView&) = delete;

  // The current snapshot in *out, building the view from `db` first when it
  // has none. A build failure returns the walk's status (0x1003 when memory
  // runs out, 0x2001 without an open database) and leaves *out null.
  LibraryStatus Snapshot(LibraryDatabase* db, ViewSnapshotPtr* out) noexcept;

  // `track` as the database now holds it under identifier `id` (its
  // file_name and path_name as stored: for an add, the split of the added
  // path).
  void OnTrackStored(const TrackRecord& track, uint32_t id) noexcept;
  // The same, for a track the database stored under `folder` and
  // `file_name` whatever its own path_name and file_name say (an add takes
  // both from the added path).
  void OnTrackStored(const TrackRecord& track, uint32_t id, std::string_view folder,
                     std::string_view file_name) noexcept;
  // The track of that file name (letter case ignored) is gone.
  void OnTrackRemoved(std::string_view file_name) noexcept;
  // Forgets the view (shutdown); snapshots in use stay valid.
  void Drop() noexcept;

  bool built() const;
  // Memory the view holds now (0 when not built).
  size_t MemoryBytes() const;

 private:
  enum class Phase { kEmpty, kBuilding, kReady };
  struct QueuedWrite;

  void ApplyLocked(const QueuedWrite& write);
  // After a write ran out of memory: the view can no longer follow the
  // database and is built again when next asked for.
  void ForgetLocked() noexcept;

  mutable std::mutex mutex_;
  std::condition_variable build_done_;
  Phase phase_ = Phase::kEmpty;
  uint64_t generation_ = 0;  // bumped by Drop: a build of an older generation is discarded
  std::unique_ptr<ViewState> state_;
  std::vector<std::unique_ptr<QueuedWrite>> queued_;
};

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_LIBRARY_VIEW_H_

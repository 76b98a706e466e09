// Running a playlist generator over a snapshot of the library view: the
// engine behind CreateDynPlaylist.
//
// The run, in order:
//   1. A selection-based generator (one of its criteria is) needs a
//      non-empty selection; each name's part after the last "/" or
//      delimiter is looked up in the snapshot (letter case ignored).
//   2. The similarity scale: the database's correlate weight range (0 and 10
//      when it has none) becomes the scale of fields 18 and 19, put in front
//      of the generator's field ranges in place of the previous run's.
//   3. The random generator is seeded with the generator's seed, or with the
//      clock's seconds when the seed is 0.
//   4. Every live track is tested (criteria_match.h); the accepted ones, in
//      identifier order, are the candidates, with their rank values.
//   5. Per-field limits thin them (field_limits.h).
//   6. The walk picks the playlist under the limits, ranking lazily and
//      drawing ties at random (limit_walk.h). Drawing every tie run at
//      random makes a separate shuffle before ranking unnecessary: the
//      order among equals is uniform either way.
//   7. With a sort field of 1 to 52 the playlist is sorted by it
//      (key_sort.h); otherwise it is shuffled once more.
//   8. The process-wide random generator continues from the run's state.
//
// Pre-answering criteria through the search index is not done: the column
// view answers every criterion faster than index lookups would, and the
// result is by definition that of testing every criterion.
//
// Threads: a run reads its snapshot, the lists and the correlates store;
// it holds no lock and blocks no writer. It changes the generator record
// (the field ranges of step 2), so one generator runs on one thread at a time.
#ifndef TAVO_GENERATION_ENGINE_GENERATOR_RUN_H_
#define TAVO_GENERATION_ENGINE_GENERATOR_RUN_H_

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "generation/engine/playlist_entry.h"
#include "generation/engine/run_lists.h"
#include "generation/engine/view_snapshot.h"
#include "generation/records/generator_record.h"
#include "storage/library/library_database.h"
#include "vocabulary/dates.h"

namespace tavo {

// Where a run takes "today" and the seconds that seed a run of seed 0.
struct RunClock {
  DateTime (*local_now)() = nullptr;  // the local date and time
  uint32_t (*seconds)() = nullptr;    // seconds since the epoch
};
RunClock SystemRunClock() noexcept;

struct RunRequest {
  GeneratorRecord* generator = nullptr;
  std::span<const std::string> selection;  // paths or file names, for selection-based generators
  ViewSnapshotPtr snapshot;
  LibraryDatabase* database = nullptr;     // the correlates store; may be null
  RunLists lists;
  char dir_delim = '/';
  RunClock clock = SystemRunClock();
};

enum RunStatus : uint32_t {
  kRunOk = 0,
  kRunMissingInput = 0x2001,   // no generator record or no snapshot
  kRunNoMemory = 0x2002,
  kRunEmptySelection = 0x2003, // a selection-based generator without names
};

// The playlist in *entries (empty when nothing matched) or a status; on
// failure *entries is empty.
RunStatus Generator_Run(const RunRequest& request, std::vector<PlaylistEntry>* entries) noexcept;

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_GENERATOR_RUN_H_

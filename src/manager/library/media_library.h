// MediaLibrary: the library of one manager, usable without automation: the
// open database with its write lock and commit policy, the descriptor lists
// and genre mappings, the preset files, the correlates download, the events
// the host sees and the attached maintenance object's automatic steps. The
// manager object (TavoPeltaPlaylist2Mgr) adapts it; the generation engine,
// ingestion, search and the host tool's tests use it directly.
//
// Lifecycle (lifecycle_gate.h draws the states): Open and Close may be
// called from any thread; every other member works on the open library and
// answers kManagerNotOpen otherwise. Close waits for the operations of other
// threads to end (long ones watch closing() and stop early) and refuses,
// with kManagerBusy, a call from inside an operation of the same thread.
//
// Writes: every change to a track goes through Write (under the write lock,
// counted by the commit policy) or ModifyStatistics (plays and ratings:
// without the write lock and uncounted). Inside, writes reach the database
// one at a time and in that order the engine's view learns of them (see
// TrackStored). A writer that cannot take the write lock within 10 ms gets
// kManagerBusy and nothing changes.
//
// Events go out with no lock of the library held (library_events.h).
//
// Thread safety: every member may be called from any thread.
#ifndef TAVO_MANAGER_LIBRARY_MEDIA_LIBRARY_H_
#define TAVO_MANAGER_LIBRARY_MEDIA_LIBRARY_H_

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "data/presets/preset_folder.h"
#include "generation/engine/generator_run.h"
#include "manager/library/commit_policy.h"
#include "manager/library/correlates_gate.h"
#include "manager/library/library_events.h"
#include "manager/library/library_lists.h"
#include "manager/library/lifecycle_gate.h"
#include "manager/library/list_service.h"
#include "manager/library/maintenance_settings.h"
#include "manager/library/write_lock.h"
#include "storage/library/library_clock.h"
#include "storage/library/library_database.h"

namespace tavo {

class Env;

// How long a writer waits for the write lock.
inline constexpr int kWriteLockWaitMilliseconds = 10;

// The step of FinishOpen that failed.
enum class OpenStep { kNone, kBeforeOpen, kDatabase, kAfterOpen };

// Whether a write counts toward the commit policy: additions, updates,
// removals and field writes do; statistics and developer fields do not.
enum class CommitCount { kCounted, kUncounted };

using TrackChange = std::function<uint32_t(TrackRecord&)>;

class MediaLibrary : public std::enable_shared_from_this<MediaLibrary> {
 public:
  struct Options {
    Env* env = nullptr;                     // null: Env::Default()
    TickFunction tick = SteadyTick;         // the commit policy's clock
    ClockFunction clock = LibraryClock_Now;  // storing times and ages of list copies
  };

  MediaLibrary() : MediaLibrary(Options{}) {}
  explicit MediaLibrary(Options options);
  ~MediaLibrary();  // closes
  MediaLibrary(const MediaLibrary&) = delete;
  MediaLibrary& operator=(const MediaLibrary&) = delete;

  // ---- Lifecycle ----------------------------------------------------------

  // Opens the library in `directory`: BeginOpen, then FinishOpen.
  LibraryStatus Open(const std::string& directory, std::shared_ptr<ListService> service);
  // Reserves the library for opening by the calling thread, so that a caller
  // can check what it needs before anything is touched. kManagerAlreadyOpen
  // while it is open or being opened.
  LibraryStatus BeginOpen();
  // Completes the open begun by this thread, in this order: the attached
  // maintenance object's before-open step (it may check the files and
  // rebuild the index, with progress events), the database "tavoplm" in
  // `directory` (refused with kLibraryDatabaseOpen while another library of
  // this process has it open), the after-open step; then the genre-family
  // list, the version mapping and the genre list are loaded, whose failures
  // do not fail the open. On failure the library is closed again, nothing
  // stays open, and *failed (optional) names the step.
  LibraryStatus FinishOpen(const std::string& directory, std::shared_ptr<ListService> service,
                           OpenStep* failed = nullptr);
  // Gives up the open begun by this thread.
  void AbandonOpen();
  // Closes the database, then runs the attached maintenance object's
  // at-shutdown step; its status is returned (else a failed close's).
  // kManagerNotOpen when nothing was open.
  LibraryStatus Close();

  bool is_open() const { return gate_.state() == LifecycleGate::State::kOpen; }
  // True from the moment Close is called until the next open.
  bool closing() const { return gate_.closing(); }
  // The directory of the open library.
  LibraryStatus Directory(std::string* directory);

  // ---- Reading -----------------------------------------------------------

  // The track of `path` (its file name: the text after the last "/" or
  // delimiter). The database's statuses: 0x90020002 when there is none.
  LibraryStatus FindTrack(std::string_view path, TrackRecord* track, uint32_t* id = nullptr,
                          TrackLoad load = TrackLoad::kWithSets);
  // Runs `read` on the open database (searches, walks).
  LibraryStatus Read(const std::function<LibraryStatus(LibraryDatabase*)>& read);

  // ---- Writing -----------------------------------------------------------

  class Writer;
  // Takes the write lock (waiting at most 10 ms; else kManagerBusy), runs
  // `body` and releases the lock, also when `body` fails or throws.
  LibraryStatus Write(const std::function<LibraryStatus(Writer&)>& body);
  // One write each, under the write lock.
  LibraryStatus AddTrack(std::string_view path, const TrackRecord& track, uint32_t* id = nullptr);
  LibraryStatus UpdateTrack(const TrackRecord& track);
  LibraryStatus RemoveTrack(std::string_view path);
  LibraryStatus ModifyTrack(std::string_view path, const TrackChange& change,
                            CommitCount count = CommitCount::kCounted);
  // Plays and ratings: the stored track of `path` changed by `change`,
  // without the write lock and outside the commit policy. No change is lost
  // to a concurrent one.
  LibraryStatus ModifyStatistics(std::string_view path, const TrackChange& change);
  // Flushes the database now (the maintenance object's CommitDB).
  LibraryStatus Commit();

  // ---- Descriptor lists, presets, correlates ------------------------------

  // The list of `kind` (library_lists.h says where it comes from).
  LibraryStatus List(DescriptorKind kind, DescriptorListPtr* list);
  // The list in memory, or null; never loads.
  DescriptorListPtr LoadedList(DescriptorKind kind);
  MappingPtr Mapping(MappingKind kind);
  LibraryStatus GenreVersions(MappingPtr* mapping);
  LibraryStatus ReloadLists();
  // The list in the file `name`.xml of the database folder (kind 2); a
  // missing, unreadable or cyclic one is an empty list. A name holding "/"
  // or a zero byte is refused (kLibraryInvalidArgument): it would read
  // outside the folder.
  LibraryStatus NamedList(std::string_view name, DescriptorListPtr* list);

  // The sample and user presets, read with the genre list and its child-id
  // mapping (kManagerNoList when the genre list cannot be had: without it,
  // saved genres could not be corrected and a later save would lose their
  // master ids).
  LibraryStatus LoadPresets(LoadedPresets* presets);
  // Writes `chain` as the user presets (atomically; an unreadable user file
  // is moved aside first). The preset layer's statuses.
  LibraryStatus SaveUserPresets(const GeneratorChain& chain);

  // Reloads the lists, then downloads the correlates of levels 2, 1 and 0
  // (correlates_download.h) into the store opened for writing, which is
  // reopened for reading after. The lists' status, else the download's.
  LibraryStatus DownloadCorrelates(bool force);
  // Runs `use` with the correlates store held (correlates_gate.h).
  LibraryStatus WithCorrelates(const std::function<LibraryStatus(CorrelatesStore&)>& use);

  // ---- Playlist runs ------------------------------------------------------

  // Runs `generator` over the library (generation/engine/generator_run.h):
  // over a snapshot of the engine's view of the tracks (built from the
  // database on first use and kept current by every write), with the
  // genre, origin, era and popularity-range lists, the genre child-id
  // mapping, the correlates store and the process's directory delimiter.
  // `selection` holds the names a selection-based generator runs on.
  //
  // Writers are never held up by a run: it reads its snapshot without a
  // lock. Runs take turns with each other and with the other users of the
  // correlates store (a run reads the store and changes its generator's
  // field ranges). The first run builds the view, which takes a while over
  // a large library; writes made meanwhile are not lost.
  //
  // The playlist in *entries; kManagerNotOpen, the view build's status
  // (0x1003 out of memory) or a RunStatus of the run otherwise.
  LibraryStatus RunGenerator(GeneratorRecord* generator, std::span<const std::string> selection,
                             std::vector<PlaylistEntry>* entries, const RunClock& clock = SystemRunClock());
  // The engine's view as a run would read it now, built first when needed.
  LibraryStatus Snapshot(ViewSnapshotPtr* snapshot);

  // ---- Events ------------------------------------------------------------

  void SetEvents(std::shared_ptr<LibraryEvents> events);
  // The firing helpers; each calls the events with no lock of the library
  // held (the caller must not hold the write lock either: it is checked).
  HostDecision AskBeforeAdd(std::string_view file_name);
  void ReportAdded(std::string_view file_name);
  HostDecision AskBeforeUpdate(std::string_view file_name);
  void ReportUpdated(std::string_view file_name);
  // True when the host asked to abort the rebuild.
  bool ReportRebuildProgress(uint32_t count, uint32_t total);

  // ---- Maintenance -------------------------------------------------------

  // Makes `settings` the attached maintenance object's (null detaches);
  // the one attached before is returned and forgets this library.
  std::shared_ptr<MaintenanceSettings> AttachMaintenance(std::shared_ptr<MaintenanceSettings> settings);
  // Detaches `settings` when it is the attached one.
  void DetachMaintenance(const MaintenanceSettings* settings);
  std::shared_ptr<MaintenanceSettings> maintenance() const;

 private:
  struct Session;
  friend class Writer;

  std::shared_ptr<LibraryEvents> Events() const;
  void CheckNoWriteLockHeld() const;
  // The store operations of Writer and ModifyStatistics, under store_mutex_.
  LibraryStatus StoreAdd(std::string_view path, const TrackRecord& track, uint32_t* id);
  LibraryStatus StoreUpdate(const TrackRecord& track);
  LibraryStatus StoreRemove(std::string_view path);
  LibraryStatus StoreModify(std::string_view path, const TrackChange& change);
  // After a counted store under the write lock: the commit policy.
  void CountWrite(CommitCount count);

  // ==== The engine's view of the library (the session's LibraryView)
  // follows every track that is stored or removed from these two, and only
  // from them. They are called in the order the writes reached the database
  // (under store_mutex_, right after each successful write), so a view that
  // applies them in call order equals the database. Keep them quick: every
  // writer waits for them.
  void TrackStored(uint32_t id, std::string_view directory, std::string_view file_name, const TrackRecord& track);
  void TrackRemoved(std::string_view file_name);

  const Options options_;
  LifecycleGate gate_;
  std::unique_ptr<Session> session_;  // set while open; read only by threads inside gate_

  WriteLock write_lock_;
  std::atomic<std::thread::id> write_owner_{};  // the thread holding write_lock_
  CommitPolicy commit_;                          // guarded by write_lock_
  std::mutex store_mutex_;                       // one database write and its report at a time

  mutable std::mutex events_mutex_;
  std::shared_ptr<LibraryEvents> events_;  // guarded by events_mutex_
  mutable std::mutex maintenance_mutex_;
  std::shared_ptr<MaintenanceSettings> maintenance_;  // guarded by maintenance_mutex_
};

// The writes available inside MediaLibrary::Write. Paths name a track by
// their file name (the text after the last "/" or delimiter).
class MediaLibrary::Writer {
 public:
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  // Adds the track at `path` (storage/library/library_database.h says which
  // stored tracks it replaces and which identifier it takes).
  LibraryStatus AddTrack(std::string_view path, const TrackRecord& track, uint32_t* id = nullptr);
  // Rewrites the stored track of track.file_name.
  LibraryStatus UpdateTrack(const TrackRecord& track, CommitCount count = CommitCount::kCounted);
  LibraryStatus RemoveTrack(std::string_view path);
  // Loads the stored track, lets `change` edit it and stores it when
  // `change` returns 0 (its status is returned otherwise).
  LibraryStatus ModifyTrack(std::string_view path, const TrackChange& change,
                            CommitCount count = CommitCount::kCounted);
  // The open database, for reads that belong to the write.
  LibraryDatabase* database() const { return database_; }

 private:
  friend class MediaLibrary;
  Writer(MediaLibrary& library, LibraryDatabase* database) : library_(library), database_(database) {}

  MediaLibrary& library_;
  LibraryDatabase* const database_;
};

}  // namespace tavo

#endif  // TAVO_MANAGER_LIBRARY_MEDIA_LIBRARY_H_

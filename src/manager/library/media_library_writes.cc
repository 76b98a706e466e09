// Every write of the media library: the write lock, the order in which
// writes reach the database, the commit policy, and the one place where the
// engine's view learns of them.
#include <chrono>
#include <string>

#include "manager/library/manager_status.h"
#include "manager/library/media_library_session.h"
#include "storage/library/dir_delim.h"
#include "storage/library/track_id.h"

namespace tavo {
namespace {

std::string_view FileNameOf(std::string_view path) {
  std::string_view directory, name;
  SplitTrackPath(path, &directory, &name);
  return name;
}

}  // namespace

// ---- The write lock ---------------------------------------------------------

LibraryStatus MediaLibrary::Write(const std::function<LibraryStatus(Writer&)>& body) {
  LibraryUse use(gate_);
  if (!use.ok()) return use.status();
  const WriteLockHold hold(write_lock_, std::chrono::milliseconds(kWriteLockWaitMilliseconds));
  if (!hold.held()) return kManagerBusy;
  struct Owner {
    std::atomic<std::thread::id>& owner;
    explicit Owner(std::atomic<std::thread::id>& o) : owner(o) { owner = std::this_thread::get_id(); }
    ~Owner() { owner = std::thread::id(); }
  } owner(write_owner_);
  Writer writer(*this, session_->database.get());
  return body(writer);
}

LibraryStatus MediaLibrary::AddTrack(std::string_view path, const TrackRecord& track, uint32_t* id) {
  return Write([&](Writer& w) { return w.AddTrack(path, track, id); });
}

LibraryStatus MediaLibrary::UpdateTrack(const TrackRecord& track) {
  return Write([&](Writer& w) { return w.UpdateTrack(track); });
}

LibraryStatus MediaLibrary::RemoveTrack(std::string_view path) {
  return Write([&](Writer& w) { return w.RemoveTrack(path); });
}

LibraryStatus MediaLibrary::ModifyTrack(std::string_view path, const TrackChange& change, CommitCount count) {
  return Write([&](Writer& w) { return w.ModifyTrack(path, change, count); });
}

LibraryStatus MediaLibrary::ModifyStatistics(std::string_view path, const TrackChange& change) {
  LibraryUse use(gate_);
  if (!use.ok()) return use.status();
  return StoreModify(path, change);
}

LibraryStatus MediaLibrary::Commit() {
  LibraryUse use(gate_);
  if (!use.ok()) return use.status();
  return LibraryDatabase_Commit(session_->database.get());
}

// ---- Writer: a write, then the commit policy --------------------------------

LibraryStatus MediaLibrary::Writer::AddTrack(std::string_view path, const TrackRecord& track, uint32_t* id) {
  uint32_t stored_id = 0;
  const LibraryStatus s = library_.StoreAdd(path, track, &stored_id);
  if (s != kLibraryOk) return s;
  if (id != nullptr) *id = stored_id;
  library_.CountWrite(CommitCount::kCounted);
  return kLibraryOk;
}

LibraryStatus MediaLibrary::Writer::UpdateTrack(const TrackRecord& track, CommitCount count) {
  const LibraryStatus s = library_.StoreUpdate(track);
  if (s == kLibraryOk) library_.CountWrite(count);
  return s;
}

LibraryStatus MediaLibrary::Writer::RemoveTrack(std::string_view path) {
  const LibraryStatus s = library_.StoreRemove(path);
  if (s == kLibraryOk) library_.CountWrite(CommitCount::kCounted);
  return s;
}

LibraryStatus MediaLibrary::Writer::ModifyTrack(std::string_view path, const TrackChange& change,
                                                CommitCount count) {
  const LibraryStatus s = library_.StoreModify(path, change);
  if (s == kLibraryOk) library_.CountWrite(count);
  return s;
}

// Called by writers only, so under the write lock.
void MediaLibrary::CountWrite(CommitCount count) {
  if (count == CommitCount::kUncounted || !commit_.CountWrite()) return;
  // A failed flush leaves the count: the next write tries again.
  if (LibraryDatabase_Commit(session_->database.get()) == kLibraryOk) commit_.Flushed();
}

// ---- Store operations: one at a time, each reported ------------------------

LibraryStatus MediaLibrary::StoreAdd(std::string_view path, const TrackRecord& track, uint32_t* id) {
  std::lock_guard<std::mutex> lock(store_mutex_);
  LibraryDatabase* db = session_->database.get();
  std::string_view directory, name;
  SplitTrackPath(path, &directory, &name);
  // The add replaces the track of the same name and may replace another
  // track of the same recording (the holder of the tag's identifier); the
  // view must lose whichever goes.
  TrackRecord before;
  uint32_t same_name_id = 0;
  const bool had_same_name =
      LibraryDatabase_FindByFile(db, name, &before, &same_name_id, TrackLoad::kFixedOnly) == kLibraryOk;
  std::string holder_name;
  uint32_t tag_id = 0;
  if (TrackId_ParseTag(track.tag_id, &tag_id) &&
      LibraryDatabase_FindById(db, tag_id, &before, TrackLoad::kFixedOnly) == kLibraryOk) {
    holder_name = before.file_name;
  }
  if (LibraryStatus s = LibraryDatabase_AddTrack(db, path, track, id); s != kLibraryOk) return s;
  if (had_same_name && same_name_id != *id) TrackRemoved(name);
  if (!holder_name.empty() &&
      LibraryDatabase_FindByFile(db, holder_name, &before, nullptr, TrackLoad::kFixedOnly) == kStoreNotFound) {
    TrackRemoved(holder_name);
  }
  TrackStored(*id, directory, name, track);
  return kLibraryOk;
}

LibraryStatus MediaLibrary::StoreUpdate(const TrackRecord& track) {
  std::lock_guard<std::mutex> lock(store_mutex_);
  LibraryDatabase* db = session_->database.get();
  TrackRecord stored;
  uint32_t id = 0;
  if (LibraryStatus s = LibraryDatabase_FindByFile(db, track.file_name, &stored, &id, TrackLoad::kFixedOnly);
      s != kLibraryOk) {
    return s;
  }
  if (LibraryStatus s = LibraryDatabase_UpdateTrack(db, track); s != kLibraryOk) return s;
  TrackStored(id, track.path_name, stored.file_name, track);
  return kLibraryOk;
}

LibraryStatus MediaLibrary::StoreRemove(std::string_view path) {
  std::lock_guard<std::mutex> lock(store_mutex_);
  const std::string_view name = FileNameOf(path);
  if (LibraryStatus s = LibraryDatabase_RemoveTrack(session_->database.get(), name); s != kLibraryOk) return s;
  TrackRemoved(name);
  return kLibraryOk;
}

LibraryStatus MediaLibrary::StoreModify(std::string_view path, const TrackChange& change) {
  std::lock_guard<std::mutex> lock(store_mutex_);
  LibraryDatabase* db = session_->database.get();
  TrackRecord track;
  uint32_t id = 0;
  if (LibraryStatus s = LibraryDatabase_FindByFile(db, FileNameOf(path), &track, &id); s != kLibraryOk) return s;
  if (LibraryStatus s = change(track); s != kLibraryOk) return s;
  if (LibraryStatus s = LibraryDatabase_UpdateTrack(db, track); s != kLibraryOk) return s;
  TrackStored(id, track.path_name, track.file_name, track);
  return kLibraryOk;
}

// ==== The engine's view ======================================================
// Every stored and every removed track passes through these two, in the
// order of the database writes. The generation engine keeps its view of the
// library current here; nothing else needs to learn of writes.

void MediaLibrary::TrackStored(uint32_t id, std::string_view directory, std::string_view file_name,
                               const TrackRecord& track) {
  session_->view->OnTrackStored(track, id, directory, file_name);
}

void MediaLibrary::TrackRemoved(std::string_view file_name) { session_->view->OnTrackRemoved(file_name); }

}  // namespace tavo

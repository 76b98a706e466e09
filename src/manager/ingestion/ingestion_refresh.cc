// Ingestion: refreshing records from their files and from the service,
// the database update, removing and reading.
#include <utility>
#include <vector>

#include "manager/ingestion/folder_walk.h"
#include "manager/ingestion/ingestion.h"
#include "manager/ingestion/record_filling.h"
#include "manager/ingestion/service_refresh.h"
#include "platform/fs/env.h"

namespace tavo {

namespace {

// Stores `fresh`'s file data into the stored record of `path`.
LibraryStatus RewriteFileData(MediaLibrary& library, const std::string& path, TrackRecord&& fresh,
                              CommitCount count = CommitCount::kCounted) {
  return library.Write([&](MediaLibrary::Writer& writer) {
    return writer.ModifyTrack(
        path,
        [&](TrackRecord& stored) -> uint32_t {
          TakeFileData(std::move(fresh), &stored);
          return kLibraryOk;
        },
        count);
  });
}

}  // namespace

LibraryStatus Ingestion::UpdateFile(const std::string& path) {
  if (path.empty()) return kIngestionBadName;
  TrackRecord track;
  if (const LibraryStatus found = library_.FindTrack(path, &track); found != kLibraryOk) return found;
  const FileReading reading = Read(path);
  if (reading.status != kLibraryOk) return reading.status;
  FillFromReading(reading, *sources_.service, library_, &track);
  track.updated = Now();
  return RewriteFileData(library_, path, std::move(track));
}

LibraryStatus Ingestion::FileSetTagId(const std::string& path, const std::string& tag_id, int32_t flags) {
  if (path.empty()) return kIngestionBadName;
  TrackRecord track;
  if (const LibraryStatus found = library_.FindTrack(path, &track); found != kLibraryOk) return found;
  track.tag_id = tag_id.substr(0, kTagIdMaxLength);
  track.updated = Now();
  bool changed = false;
  const LibraryStatus refreshed = RefreshFromService(*sources_.service, library_, flags, &track, &changed);
  if (refreshed != kLibraryOk) return refreshed;
  return RewriteFileData(library_, path, std::move(track), changed ? CommitCount::kCounted : CommitCount::kUncounted);
}

LibraryStatus Ingestion::UpdateEntry(const std::string& path, int32_t flags) {
  if (path.empty()) return kIngestionBadName;
  TrackRecord track;
  if (const LibraryStatus found = library_.FindTrack(path, &track); found != kLibraryOk) return found;
  track.updated = Now();
  bool changed = false;
  const LibraryStatus refreshed = RefreshFromService(*sources_.service, library_, flags, &track, &changed);
  if (refreshed != kLibraryOk || !changed) return refreshed;
  return RewriteFileData(library_, path, std::move(track));
}

// One record of the database update: removed when its file is definitely
// gone, else refreshed with the host's consent.
LibraryStatus Ingestion::UpdateOne(const std::string& path, bool* go_on) {
  Env* env = sources_.env != nullptr ? sources_.env : Env::Default();
  FileInfo info;
  const int stat_error = env->Stat(path, &info);
  if (stat_error != 0) return kLibraryOk;  // cannot tell (no permission, I/O error): leave it
  if (!info.exists) {
    // A relative path names nothing we could check: only an absolute one
    // that is not there proves the file gone.
    if (path.empty() || path[0] != '/') return kLibraryOk;
    const LibraryStatus removed = library_.RemoveTrack(path);
    return removed == kManagerBusy ? removed : kLibraryOk;
  }
  if (info.is_directory) return kLibraryOk;
  const HostDecision decision = library_.AskBeforeUpdate(path);
  *go_on = decision.go_on;
  if (!decision.add) return kLibraryOk;
  const LibraryStatus updated = UpdateFile(path);
  if (updated == kManagerBusy) return updated;
  if (updated == kLibraryOk) library_.ReportUpdated(path);
  return kLibraryOk;
}

LibraryStatus Ingestion::UpdateDatabase() {
  // The paths first: the records change below, and a walk must not run
  // over records that change under it.
  std::vector<std::string> paths;
  const LibraryStatus walked = library_.Read([&](LibraryDatabase* db) {
    return LibraryDatabase_WalkTracks(
        db,
        [&](uint32_t, const TrackRecord& track) {
          paths.push_back(track.path_name.empty() ? track.file_name : JoinPath(track.path_name, track.file_name));
          return true;
        },
        TrackLoad::kFixedOnly);
  });
  if (walked != kLibraryOk) return walked;
  bool go_on = true;
  for (const std::string& path : paths) {
    if (library_.closing()) break;
    if (const LibraryStatus status = UpdateOne(path, &go_on); status != kLibraryOk) return status;
    if (!go_on) break;
  }
  return library_.Commit();
}

LibraryStatus Ingestion::CompactDatabase() {
  if (!library_.is_open()) return kManagerNotOpen;
  return library_.Commit();
}

LibraryStatus Ingestion::DeleteFile(const std::string& path) {
  if (path.empty()) return kIngestionBadName;
  return library_.RemoveTrack(path);
}

LibraryStatus Ingestion::GetFileIdentifier(const std::string& path, std::string* tag_id) {
  tag_id->clear();
  if (path.empty()) return kIngestionBadName;
  TrackRecord track;
  const LibraryStatus found = library_.FindTrack(path, &track, nullptr, TrackLoad::kFixedOnly);
  if (found == kLibraryOk) *tag_id = track.tag_id;
  return found;
}

}  // namespace tavo

// Ingestion: adding files, folders and entries.
#include "manager/ingestion/ingestion.h"

#include <vector>

#include "manager/ingestion/folder_walk.h"
#include "manager/ingestion/read_ahead.h"
#include "manager/ingestion/record_filling.h"
#include "manager/ingestion/service_refresh.h"
#include "storage/library/dir_delim.h"
#include "storage/library/library_clock.h"
#include "tavo/enums.h"

namespace tavo {

RecordDate Ingestion::Now() { return ToRecordDate(LibraryClock_Now()); }

FileReading Ingestion::Read(const std::string& path, const FileTag* given) {
  return ReadAudioFile(path, sources_.tags, sources_.env, given);
}

LibraryStatus Ingestion::CheckNew(const std::string& path) {
  TrackRecord existing;
  const LibraryStatus found = library_.FindTrack(path, &existing, nullptr, TrackLoad::kFixedOnly);
  if (found == kLibraryOk) return kIngestionAlreadyInLibrary;
  return found == kManagerNotOpen ? kManagerNotOpen : kLibraryOk;
}

LibraryStatus Ingestion::StoreNew(const std::string& path, TrackRecord* track) {
  return library_.Write([&](MediaLibrary::Writer& writer) -> LibraryStatus {
    TrackRecord existing;
    std::string_view directory, file_name;
    SplitTrackPath(path, &directory, &file_name);
    if (LibraryDatabase_FindByFile(writer.database(), file_name, &existing, nullptr, TrackLoad::kFixedOnly) ==
        kLibraryOk) {
      return kIngestionAlreadyInLibrary;
    }
    if (!track->tag_id.empty() && LibraryDatabase_FindByTagId(writer.database(), track->tag_id, &existing, nullptr,
                                                               TrackLoad::kFixedOnly) == kLibraryOk) {
      return kIngestionAlreadyInLibrary;
    }
    track->created = track->updated = Now();
    return writer.AddTrack(path, *track);
  });
}

LibraryStatus Ingestion::StoreReading(const std::string& path, const FileReading& reading) {
  if (reading.status != kLibraryOk) return reading.status;
  TrackRecord track;
  FillFromReading(reading, *sources_.service, library_, &track);
  return StoreNew(path, &track);
}

LibraryStatus Ingestion::AddFile(const std::string& path) {
  if (path.empty()) return kIngestionBadName;
  if (const LibraryStatus status = CheckNew(path); status != kLibraryOk) return status;
  return StoreReading(path, Read(path));
}

LibraryStatus Ingestion::AddFileWithTag(const std::string& path, const FileTag& tag) {
  if (path.empty()) return kIngestionBadName;
  if (!library_.is_open()) return kManagerNotOpen;
  if (const LibraryStatus status = CheckNew(path); status != kLibraryOk) return status;
  return StoreReading(path, Read(path, &tag));
}

LibraryStatus Ingestion::AddFolder(const std::string& folder, bool recurse) {
  if (folder.empty()) return kIngestionBadName;
  if (!library_.is_open()) return kManagerNotOpen;
  std::vector<std::string> files;
  if (const LibraryStatus status = ListAudioFiles(folder, recurse, &files); status != kLibraryOk) return status;
  ReadAhead ahead(files, [this](const std::string& path) { return Read(path); });
  for (size_t i = 0; i < files.size() && !library_.closing(); ++i) {
    const std::string& path = files[i];
    if (CheckNew(path) != kLibraryOk) {  // already in the library: no events, as AddFile
      ahead.Drop(i);
      continue;
    }
    const HostDecision decision = library_.AskBeforeAdd(path);
    if (decision.add) {
      if (StoreReading(path, ahead.Take(i)) == kLibraryOk) library_.ReportAdded(path);
    } else {
      ahead.Drop(i);
    }
    if (!decision.go_on) break;  // skip and stop together stop too
  }
  return kLibraryOk;
}

LibraryStatus Ingestion::AddEntry(const std::string& path) {
  if (path.empty()) return kIngestionBadName;
  if (const LibraryStatus status = CheckNew(path); status != kLibraryOk) return status;
  TrackRecord track;
  return StoreNew(path, &track);
}

LibraryStatus Ingestion::AddEntryWithTag(const std::string& path, const std::string& tag_id) {
  if (path.empty()) return kIngestionBadName;
  if (const LibraryStatus status = CheckNew(path); status != kLibraryOk) return status;
  TrackRecord track;
  track.tag_id = tag_id.substr(0, kTagIdMaxLength);
  bool changed = false;
  RefreshFromService(*sources_.service, library_, TAVO_UPDATE_ALL, &track, &changed);
  return StoreNew(path, &track);
}

}  // namespace tavo

#include "storage/library/index_rebuild.h"

#include <new>
#include <vector>

#include "platform/fs/env.h"
#include "storage/library/index_entry.h"
#include "storage/library/library_files.h"
#include "storage/library/temporary_path.h"
#include "storage/library/track_id.h"
#include "storage/library/track_image.h"
#include "storage/library/track_keys.h"

namespace tavo {
namespace {

// A record whose tag names another identifier than its key 1.
struct Rekey {
  std::string name_key;
  uint32_t from = 0;
  uint32_t to = 0;
};

LibraryStatus FindRekeys(StoreFile* records, std::vector<Rekey>* rekeys) {
  return WalkKey(records, kTrackKeyFileName, [&](const StoreRecord& record) {
    TrackImage image;
    uint32_t parsed = 0;
    if (TrackImage_Parse(record.data(), record.data_length(), &image) == kLibraryOk &&
        TrackId_ParseTag(image.tag_id, &parsed) && parsed != StoredTrackId(record)) {
      rekeys->push_back({std::string(reinterpret_cast<const char*>(record.key_value(kTrackKeyFileName)),
                                     record.key_length(kTrackKeyFileName)),
                         StoredTrackId(record), parsed});
    }
    return true;
  });
}

// Gives the record its tag's identifier unless another record holds it.
LibraryStatus ApplyRekey(StoreFile* records, const Rekey& rekey, bool* done) {
  *done = false;
  StoreRecordPtr holder;
  if (LibraryStatus s = FindRecord(records, kTrackKeyId, &rekey.to, 4, &holder); s != kStoreNotFound) {
    return s;  // 0: taken, so the record keeps its identifier
  }
  std::vector<StoreRecordPtr> candidates;
  if (LibraryStatus s = FindAllRecords(records, kTrackKeyId, &rekey.from, 4, &candidates); s != kLibraryOk) return s;
  for (const StoreRecordPtr& old : candidates) {
    const std::string_view key(reinterpret_cast<const char*>(old->key_value(kTrackKeyFileName)),
                               old->key_length(kTrackKeyFileName));
    if (key != rekey.name_key) continue;
    const std::vector<uint8_t> data(old->data(), old->data() + old->data_length());
    StoreRecordPtr fresh;
    if (LibraryStatus s = BuildTrackRecord(records, data, rekey.name_key, rekey.to, &fresh); s != kLibraryOk) return s;
    if (LibraryStatus s = ReplaceRecord(records, old.get(), fresh.get()); s != kLibraryOk) return s;
    *done = true;
    return kLibraryOk;
  }
  return kLibraryOk;
}

LibraryStatus BuildIndex(StoreFile* records, StoreFile* index, const RebuildProgress& progress,
                         RebuildReport* report) {
  return WalkKey(records, kTrackKeyFileName, [&](const StoreRecord& record) {
    TrackImage image;
    TrackRecord track;
    if (TrackImage_Parse(record.data(), record.data_length(), &image) == kLibraryOk &&
        TrackImage_Decode(image, StoredFileName(record), TrackLoad::kWithSets, &track) == kLibraryOk &&
        IndexEntry_Insert(index, IndexEntry_Build(track, StoredTrackId(record))) == kLibraryOk) {
      ++report->entries;
    } else {
      ++report->skipped;
    }
    if (++report->records % kRebuildProgressInterval == 0 && progress) {
      bool abort = false;
      progress(report->records, 0, &abort);
      report->aborted = abort;
    }
    return !report->aborted;
  });
}

// Makes the new index durable before it replaces the old one.
LibraryStatus SyncFile(Env* env, const std::string& path) {
  std::unique_ptr<File> file;
  int err = env->Open(path, OpenMode::kReadWrite, &file);
  if (err == 0) err = file->Sync();
  return err == 0 ? kLibraryOk : StoreStatusFromErrno(err);
}

}  // namespace

LibraryStatus LibraryIndex_Rebuild(StoreFile* records, const std::string& index_path, Env* env,
                                   const RebuildProgress& progress, RebuildReport* report_out) try {
  if (records == nullptr) return kLibraryInvalidArgument;
  if (env == nullptr) env = Env::Default();
  RebuildReport report;
  std::vector<Rekey> rekeys;
  if (LibraryStatus s = FindRekeys(records, &rekeys); s != kLibraryOk) return s;
  for (const Rekey& rekey : rekeys) {
    bool done = false;
    if (LibraryStatus s = ApplyRekey(records, rekey, &done); s != kLibraryOk) return s;
    report.rekeyed += done ? 1 : 0;
  }
  if (StoreStatus s = Store_Flush(records); s != kStoreOk) return s;

  const std::string temp_path = TemporaryPathBeside(index_path, "new");
  StoreFilePtr index;
  if (LibraryStatus s = LibraryFile_Create(LibraryFile::kIndex, temp_path, env, &index); s != kLibraryOk) return s;
  LibraryStatus s = BuildIndex(records, index.get(), progress, &report);
  if (const LibraryStatus closed = LibraryFile_Close(&index); s == kLibraryOk) s = closed;
  if (s == kLibraryOk && !report.aborted) s = SyncFile(env, temp_path);
  if (s == kLibraryOk && !report.aborted) {
    if (int err = env->Rename(temp_path, index_path); err != 0) s = StoreStatusFromErrno(err);
    // The rename itself must survive a power loss, or the folder could show
    // the old index beside records it no longer matches.
    if (int err = s == kLibraryOk ? env->SyncDirOf(index_path) : 0; err != 0) s = StoreStatusFromErrno(err);
  }
  if (s != kLibraryOk || report.aborted) env->Remove(temp_path);
  if (report_out != nullptr) *report_out = report;
  return s;
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

}  // namespace tavo

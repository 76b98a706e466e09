// Every change to the tracks of a library database: add, update, remove.
// These are the only places that store or remove track records and index
// entries, each in an order that a failure cannot break: the new record
// and entry are stored first, the old ones removed last.
#include <new>

#include "storage/library/dir_delim.h"
#include "storage/library/index_entry.h"
#include "storage/library/library_database_state.h"
#include "storage/library/track_id.h"
#include "storage/library/track_keys.h"

namespace tavo {
namespace {

// The stored record of a file name; *name_key receives the name's key value.
LibraryStatus FindByName(LibraryDatabase* db, std::string_view file_name, std::string* name_key,
                         StoreRecordPtr* record) {
  if (LibraryStatus s = FileNameKey(file_name, name_key); s != kLibraryOk) return s;
  return FindRecord(db->records.get(), kTrackKeyFileName, name_key->data(), static_cast<uint32_t>(name_key->size()),
                    record);
}

bool StoredTagParsesTo(const StoreRecord& record, uint32_t id) {
  TrackImage image;
  uint32_t parsed = 0;
  return TrackImage_Parse(record.data(), record.data_length(), &image) == kLibraryOk &&
         TrackId_ParseTag(image.tag_id, &parsed) && parsed == id;
}

LibraryStatus IdInUse(LibraryDatabase* db, uint32_t id, bool* in_use) {
  StoreRecordPtr record;
  const LibraryStatus s = FindRecord(db->records.get(), kTrackKeyId, &id, 4, &record);
  *in_use = s == kLibraryOk;
  return s == kStoreNotFound ? kLibraryOk : s;
}

// The next counter value that no track holds.
LibraryStatus DrawId(LibraryDatabase* db, uint32_t* id) {
  for (bool in_use = true; in_use;) {
    ++db->counter;
    db->counter_dirty = true;
    if (LibraryStatus s = IdInUse(db, db->counter, &in_use); s != kLibraryOk) return s;
  }
  *id = db->counter;
  return kLibraryOk;
}

// Removes the index entries of `id` other than the one at `keep` (0: none).
LibraryStatus RemoveIndexEntries(LibraryDatabase* db, uint32_t id, uint32_t keep) {
  std::vector<StoreRecordPtr> entries;
  if (LibraryStatus s = FindAllRecords(db->index.get(), kIndexKeyId, &id, 4, &entries); s != kLibraryOk) return s;
  for (const StoreRecordPtr& entry : entries) {
    if (entry->offset() == keep) continue;
    if (StoreStatus s = Store_Remove(db->index.get(), entry.get()); s != kStoreOk) return s;
  }
  return kLibraryOk;
}

// The identifier a new track takes, and the stored tracks it replaces.
struct Placement {
  uint32_t id = 0;
  StoreRecordPtr same_name;
  StoreRecordPtr same_recording;  // another record whose own tag names the same identifier
};

LibraryStatus Place(LibraryDatabase* db, std::string_view name, const TrackRecord& track, std::string* name_key,
                    Placement* out) {
  StoreFile* records = db->records.get();
  if (LibraryStatus s = FindByName(db, name, name_key, &out->same_name); s != kLibraryOk && s != kStoreNotFound) {
    return s;
  }
  uint32_t parsed = 0;
  if (TrackId_ParseTag(track.tag_id, &parsed)) {
    StoreRecordPtr holder;
    const LibraryStatus s = FindRecord(records, kTrackKeyId, &parsed, 4, &holder);
    if (s == kStoreNotFound || (out->same_name && holder && holder->offset() == out->same_name->offset())) {
      out->id = parsed;
      return kLibraryOk;
    }
    if (s != kLibraryOk) return s;
    // A track that drew this number from the counter is another recording:
    // it stays, and the new track does not take its number.
    if (StoredTagParsesTo(*holder, parsed)) {
      out->id = parsed;
      out->same_recording = std::move(holder);
      return kLibraryOk;
    }
  }
  if (out->same_name) {
    out->id = StoredTrackId(*out->same_name);
    return kLibraryOk;
  }
  return DrawId(db, &out->id);
}

LibraryStatus Retire(LibraryDatabase* db, StoreRecord* old, uint32_t keep_entry) {
  if (old == nullptr) return kLibraryOk;
  if (LibraryStatus s = RemoveIndexEntries(db, StoredTrackId(*old), keep_entry); s != kLibraryOk) return s;
  return Store_Remove(db->records.get(), old);
}

LibraryStatus AddLocked(LibraryDatabase* db, std::string_view path, const TrackRecord& track, uint32_t* id_out) {
  std::string_view directory, name;
  SplitTrackPath(path, &directory, &name);
  std::vector<uint8_t> data;
  if (LibraryStatus s = TrackImage_Encode(track, directory, &data); s != kLibraryOk) return s;
  std::string name_key;
  Placement place;
  if (LibraryStatus s = Place(db, name, track, &name_key, &place); s != kLibraryOk) return s;
  StoreRecordPtr fresh;
  if (LibraryStatus s = BuildTrackRecord(db->records.get(), data, name_key, place.id, &fresh); s != kLibraryOk) {
    return s;
  }
  if (StoreStatus s = Store_Insert(db->records.get(), fresh.get()); s != kStoreOk) return s;
  StoreRecord* entry = nullptr;
  if (LibraryStatus s = IndexEntry_Insert(db->index.get(), IndexEntry_Build(track, place.id), &entry);
      s != kLibraryOk) {
    Store_Remove(db->records.get(), fresh.get());
    return s;
  }
  const StoreRecordPtr stored_entry = AdoptRecord(db->index.get(), entry);
  if (id_out != nullptr) *id_out = place.id;
  if (LibraryStatus s = Retire(db, place.same_name.get(), entry->offset()); s != kLibraryOk) return s;
  return Retire(db, place.same_recording.get(), entry->offset());
}

// Stores new data for a stored record, keeping its keys.
LibraryStatus RewriteRecord(LibraryDatabase* db, StoreRecord* old, const std::vector<uint8_t>& data) {
  StoreFile* records = db->records.get();
  if (data.size() == old->data_length()) {
    const std::vector<uint8_t> before(old->data(), old->data() + old->data_length());
    const StoreStatus s = Store_Rewrite(records, old, data.data(), static_cast<uint32_t>(data.size()));
    if (s != kStoreOk) Store_Rewrite(records, old, before.data(), static_cast<uint32_t>(before.size()));
    return s;
  }
  const std::string name_key(reinterpret_cast<const char*>(old->key_value(kTrackKeyFileName)),
                             old->key_length(kTrackKeyFileName));
  StoreRecordPtr fresh;
  if (LibraryStatus s = BuildTrackRecord(records, data, name_key, StoredTrackId(*old), &fresh); s != kLibraryOk) {
    return s;
  }
  return ReplaceRecord(records, old, fresh.get());
}

LibraryStatus UpdateLocked(LibraryDatabase* db, const TrackRecord& track) {
  std::string name_key;
  StoreRecordPtr old;
  if (LibraryStatus s = FindByName(db, track.file_name, &name_key, &old); s != kLibraryOk) return s;
  const uint32_t id = StoredTrackId(*old);
  std::vector<uint8_t> data;
  if (LibraryStatus s = TrackImage_Encode(track, track.path_name, &data); s != kLibraryOk) return s;
  const IndexEntry entry = IndexEntry_Build(track, id);
  std::vector<StoreRecordPtr> old_entries;
  if (LibraryStatus s = FindAllRecords(db->index.get(), kIndexKeyId, &id, 4, &old_entries); s != kLibraryOk) {
    return s;
  }
  const bool entry_current = old_entries.size() == 1 && IndexEntry_FromRecord(*old_entries[0]) == entry;
  StoreRecordPtr new_entry;
  if (!entry_current) {
    StoreRecord* stored = nullptr;
    if (LibraryStatus s = IndexEntry_Insert(db->index.get(), entry, &stored); s != kLibraryOk) return s;
    new_entry = AdoptRecord(db->index.get(), stored);
  }
  if (LibraryStatus s = RewriteRecord(db, old.get(), data); s != kLibraryOk) {
    if (new_entry) Store_Remove(db->index.get(), new_entry.get());
    return s;
  }
  if (entry_current) return kLibraryOk;
  for (const StoreRecordPtr& stale : old_entries) {
    if (StoreStatus s = Store_Remove(db->index.get(), stale.get()); s != kStoreOk) return s;
  }
  return kLibraryOk;
}

LibraryStatus RemoveLocked(LibraryDatabase* db, std::string_view file_name) {
  std::string name_key;
  StoreRecordPtr old;
  if (LibraryStatus s = FindByName(db, file_name, &name_key, &old); s != kLibraryOk) return s;
  const uint32_t id = StoredTrackId(*old);
  std::vector<StoreRecordPtr> entries;
  if (LibraryStatus s = FindAllRecords(db->index.get(), kIndexKeyId, &id, 4, &entries); s != kLibraryOk) return s;
  std::vector<IndexEntry> removed;
  for (const StoreRecordPtr& entry : entries) {
    if (StoreStatus s = Store_Remove(db->index.get(), entry.get()); s != kStoreOk) return s;
    removed.push_back(IndexEntry_FromRecord(*entry));
  }
  if (StoreStatus s = Store_Remove(db->records.get(), old.get()); s != kStoreOk) {
    for (const IndexEntry& entry : removed) IndexEntry_Insert(db->index.get(), entry);
    return s;
  }
  return kLibraryOk;
}

}  // namespace

LibraryStatus LibraryDatabase_AddTrack(LibraryDatabase* db, std::string_view path, const TrackRecord& track,
                                       uint32_t* id) try {
  if (!LibraryDatabase_IsOpen(db)) return kDatabaseInvalidArgument;
  std::lock_guard<std::mutex> lock(db->write_mutex);
  return AddLocked(db, path, track, id);
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus LibraryDatabase_UpdateTrack(LibraryDatabase* db, const TrackRecord& track) try {
  if (!LibraryDatabase_IsOpen(db)) return kDatabaseInvalidArgument;
  std::lock_guard<std::mutex> lock(db->write_mutex);
  return UpdateLocked(db, track);
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus LibraryDatabase_RemoveTrack(LibraryDatabase* db, std::string_view file_name) try {
  if (!LibraryDatabase_IsOpen(db)) return kDatabaseInvalidArgument;
  std::lock_guard<std::mutex> lock(db->write_mutex);
  return RemoveLocked(db, file_name);
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus LibraryDatabase_ModifyTrack(LibraryDatabase* db, std::string_view file_name,
                                          const std::function<uint32_t(TrackRecord&)>& change) try {
  if (!LibraryDatabase_IsOpen(db) || !change) return kDatabaseInvalidArgument;
  std::lock_guard<std::mutex> lock(db->write_mutex);
  TrackRecord track;
  if (LibraryStatus s = LibraryDatabase_FindByFile(db, file_name, &track); s != kLibraryOk) return s;
  if (uint32_t s = change(track); s != kLibraryOk) return s;
  return UpdateLocked(db, track);
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

}  // namespace tavo

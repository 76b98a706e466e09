// Finding and walking the tracks of a library database.
#include <new>

#include "storage/library/library_database_state.h"
#include "storage/library/track_id.h"
#include "storage/library/track_keys.h"

namespace tavo {
namespace {

LibraryStatus DecodeStored(const StoreRecord& record, TrackLoad load, TrackRecord* track) {
  TrackImage image;
  if (LibraryStatus s = TrackImage_Parse(record.data(), record.data_length(), &image); s != kLibraryOk) return s;
  return TrackImage_Decode(image, StoredFileName(record), load, track);
}

LibraryStatus FindAndDecode(LibraryDatabase* db, uint32_t key, const void* value, uint32_t length, TrackLoad load,
                            TrackRecord* track, uint32_t* id) {
  if (!LibraryDatabase_IsOpen(db) || track == nullptr) return kDatabaseInvalidArgument;
  StoreRecordPtr record;
  if (LibraryStatus s = FindRecord(db->records.get(), key, value, length, &record); s != kLibraryOk) return s;
  if (LibraryStatus s = DecodeStored(*record, load, track); s != kLibraryOk) return s;
  if (id != nullptr) *id = StoredTrackId(*record);
  return kLibraryOk;
}

// Visits every track record of ".pdb" in file order. A record without both
// keys is no track the trees can find, so the walk passes it by, as it
// passes records that cannot be decoded.
template <typename Visit>
LibraryStatus WalkRecords(LibraryDatabase* db, Visit&& visit) {
  if (!LibraryDatabase_IsOpen(db)) return kDatabaseInvalidArgument;
  return ScanRecords(db->records.get(), [&](const StoreRecord& record) {
    if (record.key_length(kTrackKeyId) != 4 || StoredFileName(record).empty()) return true;
    return visit(record);
  });
}

}  // namespace

LibraryStatus LibraryDatabase_FindByFile(LibraryDatabase* db, std::string_view file_name, TrackRecord* track,
                                         uint32_t* id, TrackLoad load) try {
  std::string key;
  if (LibraryStatus s = FileNameKey(file_name, &key); s != kLibraryOk) return s;
  return FindAndDecode(db, kTrackKeyFileName, key.data(), static_cast<uint32_t>(key.size()), load, track, id);
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus LibraryDatabase_FindById(LibraryDatabase* db, uint32_t id, TrackRecord* track, TrackLoad load) try {
  return FindAndDecode(db, kTrackKeyId, &id, 4, load, track, nullptr);
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus LibraryDatabase_FindByTagId(LibraryDatabase* db, std::string_view tag_id, TrackRecord* track,
                                          uint32_t* id, TrackLoad load) try {
  if (track == nullptr) return kDatabaseInvalidArgument;
  uint32_t parsed = 0;
  if (!TrackId_ParseTag(tag_id, &parsed)) return kStoreNotFound;
  TrackRecord found;
  if (LibraryStatus s = FindAndDecode(db, kTrackKeyId, &parsed, 4, load, &found, nullptr); s != kLibraryOk) return s;
  // The number may have been drawn from the counter by another recording.
  if (uint32_t own = 0; !TrackId_ParseTag(found.tag_id, &own) || own != parsed) return kStoreNotFound;
  *track = std::move(found);
  if (id != nullptr) *id = parsed;
  return kLibraryOk;
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus LibraryDatabase_WalkRaw(LibraryDatabase* db, const RawTrackVisitor& visit) try {
  return WalkRecords(db, [&](const StoreRecord& record) {
    TrackImage image;
    if (TrackImage_Parse(record.data(), record.data_length(), &image) != kLibraryOk) return true;
    return visit(StoredTrackId(record), StoredFileName(record), image);
  });
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus LibraryDatabase_WalkTracks(LibraryDatabase* db, const TrackVisitor& visit, TrackLoad load) try {
  return WalkRecords(db, [&](const StoreRecord& record) {
    TrackRecord track;
    if (DecodeStored(record, load, &track) != kLibraryOk) return true;
    return visit(StoredTrackId(record), track);
  });
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

}  // namespace tavo

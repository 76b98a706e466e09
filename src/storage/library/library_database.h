// The library database: the track records of one library, kept in the
// record-store files "tavoplm.pdb" (records, keyed by file name and track
// identifier) and "tavoplm.idx" (one search-index entry per track), with the
// optional correlates store beside them (correlates_store.h). The layouts
// are in track_image.h, index_entry.h, track_id.h and README.md.
//
// Opening:
//   - ".pdb" is opened for reading and writing, and created when missing.
//   - ".idx" is created with a new ".pdb". Beside an existing ".pdb", an
//     index that is missing, of another kind or has a damaged header is
//     created anew and rebuilt from the records.
//   - The correlates files are opened read only when they exist.
//   - The directory is registered as open in this process until Close
//     (open_registry.h), so maintenance leaves its files alone.
//
// Writing: every change to a track goes through AddTrack, UpdateTrack or
// RemoveTrack (ModifyTrack loads, changes and updates). Each keeps the index
// entry equal to the one built from the stored record, and each is
// failure-atomic: the new record or entry is stored before the old one is
// removed, so a failed write (a full disk) leaves the track as it was, with
// its plays and rating. Writes are serialized by the database; reads may run
// beside them and see each store operation whole.
//
// Durability: record images are written as they are stored; the trees and
// headers reach the disk at Commit (record file, then index) and Close.
// A crash loses what came after the last Commit; an index that lags behind
// its records is found by the deep check and mended by a rebuild.
//
// Every function returns a LibraryStatus (library_status.h); nothing throws.
#ifndef TAVO_STORAGE_LIBRARY_LIBRARY_DATABASE_H_
#define TAVO_STORAGE_LIBRARY_LIBRARY_DATABASE_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "storage/library/library_status.h"
#include "storage/library/track_image.h"
#include "storage/library/track_record.h"

namespace tavo {

class CorrelatesStore;
class Env;
struct LibraryDatabase;
struct StoreFile;

struct LibraryDatabaseDeleter {
  void operator()(LibraryDatabase* db) const noexcept;  // closes
};
using LibraryDatabasePtr = std::unique_ptr<LibraryDatabase, LibraryDatabaseDeleter>;

// Opens the database `base_name` in `directory` (UTF-8, "/" separated). A
// closed database object in *db is filled in place, otherwise a new one is
// made. 0x2001 for an empty directory or base name or an object that is still
// open; the store's statuses when a file cannot be opened or created (0x1002
// for a record file of another kind). Nothing stays open after a failure.
LibraryStatus LibraryDatabase_Open(const std::string& directory, const std::string& base_name,
                                   LibraryDatabasePtr* db, Env* env = nullptr);
// Writes the identifier counter, closes every file and releases the
// directory; the object can be opened again. The first failure is returned.
LibraryStatus LibraryDatabase_Close(LibraryDatabase* db);
bool LibraryDatabase_IsOpen(const LibraryDatabase* db) noexcept;
// Flushes the record file and then the index; a failure of the first skips
// the second and is returned.
LibraryStatus LibraryDatabase_Commit(LibraryDatabase* db);

// Adds the track at `path` (directory and file name are split after the
// last "/" or DirDelim). Its identifier is the tag identifier's number when
// that parses and no unrelated track holds it; otherwise the identifier of
// the record of the same file name being replaced; otherwise the next
// counter value not in use. A record of the same file name, and a record of
// the same parsed identifier whose own tag parses to it, are replaced.
// *id (optional) receives the identifier.
LibraryStatus LibraryDatabase_AddTrack(LibraryDatabase* db, std::string_view path, const TrackRecord& track,
                                       uint32_t* id = nullptr);
// Rewrites the stored track of track.file_name, keeping its identifier.
// 0x90020002 when there is none.
LibraryStatus LibraryDatabase_UpdateTrack(LibraryDatabase* db, const TrackRecord& track);
// Removes the track and its index entry. 0x90020002 when there is none.
LibraryStatus LibraryDatabase_RemoveTrack(LibraryDatabase* db, std::string_view file_name);
// Loads the track with its sets, lets `change` edit it and stores it when
// `change` returns 0 (its status is returned otherwise).
LibraryStatus LibraryDatabase_ModifyTrack(LibraryDatabase* db, std::string_view file_name,
                                          const std::function<uint32_t(TrackRecord&)>& change);

// Finds a track by file name (compared as the record file's text key: letter
// case does not matter), by identifier, or by tag identifier (tags that name
// a number only). 0x90020002 when there is none; 0x1005 when the stored
// record cannot be decoded. *id is optional.
LibraryStatus LibraryDatabase_FindByFile(LibraryDatabase* db, std::string_view file_name, TrackRecord* track,
                                         uint32_t* id = nullptr, TrackLoad load = TrackLoad::kWithSets);
LibraryStatus LibraryDatabase_FindById(LibraryDatabase* db, uint32_t id, TrackRecord* track,
                                       TrackLoad load = TrackLoad::kWithSets);
LibraryStatus LibraryDatabase_FindByTagId(LibraryDatabase* db, std::string_view tag_id, TrackRecord* track,
                                          uint32_t* id = nullptr, TrackLoad load = TrackLoad::kWithSets);

// Walks every track once, in no particular order (the record file's block
// order, read sequentially: a walk of a million tracks reads the file once
// from start to end). The raw walk hands out each record image (fixed part
// decoded, variable parts as views valid during the call) without building
// property sets; the decoded walk hands out track records. Records that
// cannot be decoded are skipped. The visitor returns false to stop. A
// damaged block frame ends the walk with its status. Tracks added or
// removed during a walk (from another thread) may or may not be visited;
// a track replaced during the walk may be visited twice.
using RawTrackVisitor = std::function<bool(uint32_t id, std::string_view file_name, const TrackImage& image)>;
using TrackVisitor = std::function<bool(uint32_t id, const TrackRecord& track)>;
LibraryStatus LibraryDatabase_WalkRaw(LibraryDatabase* db, const RawTrackVisitor& visit);
LibraryStatus LibraryDatabase_WalkTracks(LibraryDatabase* db, const TrackVisitor& visit,
                                         TrackLoad load = TrackLoad::kWithSets);

// The open files, for readers that work on them directly (index searches).
StoreFile* LibraryDatabase_RecordsFile(LibraryDatabase* db) noexcept;
StoreFile* LibraryDatabase_IndexFile(LibraryDatabase* db) noexcept;
CorrelatesStore* LibraryDatabase_Correlates(LibraryDatabase* db) noexcept;
const std::string& LibraryDatabase_Directory(const LibraryDatabase* db) noexcept;

}  // namespace tavo

#endif  // TAVO_STORAGE_LIBRARY_LIBRARY_DATABASE_H_

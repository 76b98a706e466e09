// Ingestion: putting files into the library, refreshing them from the file
// or the recognition service, and taking them out again. Plain C++ over a
// MediaLibrary; the manager object adapts it (manager/com/mgr_ingestion.cc).
//
// Records are keyed by file name (the text after the last "/" or DirDelim),
// so two files of one name in different folders are one record: the second
// add is kIngestionAlreadyInLibrary, as is an add whose tag identifier a
// record already holds. Every write goes through MediaLibrary::Write (the
// write lock, waited for 10 ms, and the commit policy); the checks for an
// existing record are repeated under the lock, so two threads adding one
// name store it once. A record is built in memory and stored in one write.
//
// Events reach the host only in a folder scan (AddFolder), one file at a
// time and in the scan's order: PreAddFile (skip: the file is not stored;
// stop: the scan ends after this file, whether it was stored or skipped),
// then, after a store, PostAddFile. The scan reads the next files on a
// second thread (read_ahead.h); what it read for files not stored is
// dropped.
//
// Thread safety: an Ingestion is used by one call at a time; any number may
// work on one library at once.
#ifndef TAVO_MANAGER_INGESTION_INGESTION_H_
#define TAVO_MANAGER_INGESTION_INGESTION_H_

#include <cstdint>
#include <string>

#include "manager/ingestion/disc_reading.h"
#include "manager/ingestion/file_reading.h"
#include "manager/ingestion/ingestion_status.h"
#include "manager/ingestion/tag_source.h"
#include "manager/library/media_library.h"

namespace tavo {

class Env;

class Ingestion {
 public:
  struct Sources {
    TagSource* tags = nullptr;           // required
    RecordingService* service = nullptr;  // required
    Env* env = nullptr;                   // null: Env::Default()
  };

  Ingestion(MediaLibrary& library, Sources sources) : library_(library), sources_(sources) {}

  // ---- Adding -------------------------------------------------------------
  // Reads the file (tag, stream properties, service data) and stores a new
  // record: kIngestionBadName, kIngestionAlreadyInLibrary,
  // kIngestionUnknownFormat or kIngestionCannotRead (nothing stored), else
  // the write's status. A file whose tag cannot be read is stored with
  // what could be read.
  LibraryStatus AddFile(const std::string& path);
  // As AddFile, with the tag the caller read.
  LibraryStatus AddFileWithTag(const std::string& path, const FileTag& tag);
  // Adds the audio files of `folder` (folder_walk.h), with events. 0 also
  // when single files fail or the host stops; kIngestionNotAFolder when the
  // folder cannot be listed.
  LibraryStatus AddFolder(const std::string& folder, bool recurse);
  // A record with no file reading; with a tag identifier, refreshed from
  // the service with every step.
  LibraryStatus AddEntry(const std::string& path);
  LibraryStatus AddEntryWithTag(const std::string& path, const std::string& tag_id);

  // ---- Discs --------------------------------------------------------------
  // A record from the host's disc; stream properties and size the disc
  // lacks come from the file. Add mode: an existing record is
  // kIngestionAlreadyInLibrary. Update mode: an existing record is rewritten
  // with the disc's values (its created date kept), a missing one inserted.
  LibraryStatus AddFileWithDisc(const std::string& path, const DiscReading& disc);
  LibraryStatus UpdateFileWithDisc(const std::string& path, const DiscReading& disc);
  // As AddFileWithDisc without reading the file.
  LibraryStatus AddEntryWithDisc(const std::string& path, const DiscReading& disc);

  // ---- Refreshing ---------------------------------------------------------
  // Reads the file again into its record: the metadata is rebuilt; plays,
  // rating, flags, developer fields and dates other than updated stay. The
  // lookup's status when there is no record; kIngestionCannotRead when the
  // file is gone (the record stays).
  LibraryStatus UpdateFile(const std::string& path);
  // Sets the record's tag identifier and refreshes it from the service with
  // `flags` (service_refresh.h); a failing refresh stores nothing.
  LibraryStatus FileSetTagId(const std::string& path, const std::string& tag_id, int32_t flags);
  // Refreshes the record from the service with `flags`; stored when the
  // refresh changed it. The refresh's status.
  LibraryStatus UpdateEntry(const std::string& path, int32_t flags);
  // Every record: removed when its file is definitely gone (the path is
  // absolute and names nothing); otherwise, with the host's PreUpdateFile
  // and PostUpdateFile events, read again from its file. Records whose files
  // cannot be examined (no permission, a folder not mounted) are left
  // alone. The names are collected before anything changes. kManagerBusy
  // when the write lock is busy at a step (the walk stops there).
  LibraryStatus UpdateDatabase();
  // Flushes the library's files under the write lock.
  LibraryStatus CompactDatabase();

  // ---- Removing and reading -------------------------------------------------
  LibraryStatus DeleteFile(const std::string& path);
  // The record's tag identifier ("" when it has none).
  LibraryStatus GetFileIdentifier(const std::string& path, std::string* tag_id);

 private:
  enum class DiscMode { kAdd, kUpdate };

  // Now, as a record date (the library clock: tests replace it).
  static RecordDate Now();

  FileReading Read(const std::string& path, const FileTag* given = nullptr);
  // The record of a reading, stored as new (kIngestionAlreadyInLibrary when
  // the name or tag identifier is taken by then).
  LibraryStatus StoreReading(const std::string& path, const FileReading& reading);
  LibraryStatus StoreNew(const std::string& path, TrackRecord* track);
  LibraryStatus BuildFromDisc(const std::string& path, const DiscReading& disc, DiscMode mode, bool read_file);
  // kIngestionAlreadyInLibrary when a record of this file name exists.
  LibraryStatus CheckNew(const std::string& path);
  LibraryStatus UpdateOne(const std::string& path, bool* go_on);

  MediaLibrary& library_;
  const Sources sources_;
};

}  // namespace tavo

#endif  // TAVO_MANAGER_INGESTION_INGESTION_H_

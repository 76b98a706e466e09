// Checking the files of a library database without opening it.
//
// Flags (TavoPlaylistMLDBFlags): PL_MLDB_CHECK_BASE verifies the record
// file, PL_MLDB_CHECK_INDEX the index, PL_MLDB_CHECK_DEEP makes both
// thorough; flags without either file mean both.
//
//   quick  the store's quick verification: header, anchors, free directory,
//          root nodes. An index missing beside a record file is damaged.
//   deep   the store's full walk of every tree, block and record; then
//          record file: every track record decodes (lengths add up, both
//                       property sets parse)
//          index:       the entries are exactly the ones built from the
//                       decodable track records: none missing, none stale,
//                       none left behind by a removed track (judged only
//                       when the record file can be walked)
//
// A missing record file is nothing to verify (a new database folder passes).
// Outcomes: 0, kCheckBaseCorrupt, kCheckIndexCorrupt or kCheckBothCorrupt
// (library_status.h). With only the index asked for, a damaged index is
// kCheckIndexCorrupt whatever the record file's state; with both asked for
// and only the record file damaged, kCheckBaseCorrupt.
#ifndef TAVO_STORAGE_MAINTENANCE_DATABASE_CHECK_H_
#define TAVO_STORAGE_MAINTENANCE_DATABASE_CHECK_H_

#include <cstdint>
#include <string>

#include "storage/library/library_status.h"

namespace tavo {

class Env;

// What was found, for diagnostics: the first fault of each file (0 = sound or
// not checked) and the record count of a deep check.
struct CheckReport {
  LibraryStatus base_fault = kLibraryOk;
  LibraryStatus index_fault = kLibraryOk;
  uint32_t undecodable_records = 0;
};

LibraryStatus Maintenance_Check(uint32_t flags, const std::string& directory, Env* env = nullptr,
                                CheckReport* report = nullptr);

}  // namespace tavo

#endif  // TAVO_STORAGE_MAINTENANCE_DATABASE_CHECK_H_

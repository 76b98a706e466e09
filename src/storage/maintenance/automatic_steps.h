// The automatic maintenance a manager runs when a maintenance object is
// attached, driven by the object's options (TavoPlaylistMLDBFlags, the
// PL_MLDB_AUTO_* bits):
//
//   before open   with any automatic bit: unless PL_MLDB_AUTO_CHECK_AT_INIT,
//                 only when the marker is present; then the default check
//                 (base, index, deep), and with PL_MLDB_AUTO_REINDEX an index
//                 found damaged is rebuilt and the rebuild's status taken
//                 instead. A non-zero status fails the initialization.
//   after open    with PL_MLDB_AUTO_MANAGE_INIT_FLAG, the marker is created;
//                 a failure closes the database and fails the initialization.
//   at shutdown   after the database is closed, with
//                 PL_MLDB_AUTO_MANAGE_INIT_FLAG, the marker is deleted.
//
// A brand-new folder passes the check: missing files are nothing to verify.
#ifndef TAVO_STORAGE_MAINTENANCE_AUTOMATIC_STEPS_H_
#define TAVO_STORAGE_MAINTENANCE_AUTOMATIC_STEPS_H_

#include <cstdint>
#include <string>

#include "storage/library/index_rebuild.h"
#include "storage/library/library_status.h"

namespace tavo {

class Env;

LibraryStatus Maintenance_BeforeOpen(uint32_t options, const std::string& directory,
                                     const RebuildProgress& progress = {}, Env* env = nullptr);
LibraryStatus Maintenance_AfterOpen(uint32_t options, const std::string& directory, Env* env = nullptr);
LibraryStatus Maintenance_AtShutdown(uint32_t options, const std::string& directory, Env* env = nullptr);

}  // namespace tavo

#endif  // TAVO_STORAGE_MAINTENANCE_AUTOMATIC_STEPS_H_

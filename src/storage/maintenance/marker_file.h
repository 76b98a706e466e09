// The marker file "tavoplm.chk": empty, present exactly while a manager that
// manages it has the database open. A marker found before opening means the
// manager that opened the database last did not shut down.
#ifndef TAVO_STORAGE_MAINTENANCE_MARKER_FILE_H_
#define TAVO_STORAGE_MAINTENANCE_MARKER_FILE_H_

#include <cstdint>
#include <string>

#include "storage/library/library_status.h"

namespace tavo {

class Env;

LibraryStatus Maintenance_MarkerExists(const std::string& directory, bool* exists, Env* env = nullptr);

// PL_MLDB_SET_INIT_FLAG creates the marker (new and empty); otherwise
// PL_MLDB_CLEAR_INIT_FLAG deletes it (a missing marker counts as deleted);
// neither does nothing. kLibraryFileOperationFailed when the file system
// refuses.
LibraryStatus Maintenance_ModifyMarker(uint32_t flags, const std::string& directory, Env* env = nullptr);

}  // namespace tavo

#endif  // TAVO_STORAGE_MAINTENANCE_MARKER_FILE_H_

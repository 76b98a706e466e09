// Status codes of the library database and its maintenance, in one place.
//
// Every operation of src/storage/library and src/storage/maintenance returns
// a LibraryStatus: 0 for success, else one of the codes below or a record
// store code (0x9002xxxx, storage/store/status.h), passed on unchanged.
// The automation layer maps them to its own statuses; the mapping it is
// expected to use is noted beside each group.
#ifndef TAVO_STORAGE_LIBRARY_LIBRARY_STATUS_H_
#define TAVO_STORAGE_LIBRARY_LIBRARY_STATUS_H_

#include <cstdint>

#include "storage/store/status.h"

namespace tavo {

using LibraryStatus = uint32_t;

inline constexpr LibraryStatus kLibraryOk = 0;

// The file layer over the store.
inline constexpr LibraryStatus kLibraryInvalidArgument = 0x1001;  // missing handle, record, path or key value
inline constexpr LibraryStatus kLibraryWrongKind = 0x1002;        // the file is not of the expected kind
inline constexpr LibraryStatus kLibraryNoMemory = 0x1003;
inline constexpr LibraryStatus kLibraryKeyNotAccepted = 0x1004;   // a key the operation does not take
inline constexpr LibraryStatus kLibraryRecordDamaged = 0x1005;    // a stored value cannot be decoded
inline constexpr LibraryStatus kLibraryKeyLength = 0x1006;        // a key value of the wrong length
// Restore, delete and rebuild refuse a database that is open in this
// process (automation: ERR_PL_NotShutdown).
inline constexpr LibraryStatus kLibraryDatabaseOpen = 0x1007;
// A copy, create or delete of a whole file failed (automation: E_FAIL).
inline constexpr LibraryStatus kLibraryFileOperationFailed = 0x1008;

// The database object itself (also the property-set layer's codes).
inline constexpr LibraryStatus kDatabaseInvalidArgument = 0x2001;
inline constexpr LibraryStatus kDatabaseNoMemory = 0x2002;
inline constexpr LibraryStatus kDatabaseKeyAbsent = 0x2003;

// Outcomes of a database check (automation: ERR_PL_DB_Corrupt,
// ERR_PL_DB_IndexCorrupt, ERR_PL_DB_BothCorrupt).
inline constexpr LibraryStatus kCheckBaseCorrupt = 0x1101;
inline constexpr LibraryStatus kCheckIndexCorrupt = 0x1102;
inline constexpr LibraryStatus kCheckBothCorrupt = 0x1103;

}  // namespace tavo

#endif  // TAVO_STORAGE_LIBRARY_LIBRARY_STATUS_H_

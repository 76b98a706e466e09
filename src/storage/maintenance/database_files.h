// Backing up, restoring and deleting the files of a library database
// ("tavoplm.pdb" and "tavoplm.idx" of a directory), chosen by flags of
// TavoPlaylistMLDBFlags. The index goes first, then the record file.
//
// Copies go through a temporary file and a rename (file_copy.h): a failed
// copy leaves both the backup and the live files as they were. A restore
// stages every file it copies before it renames any of them into place, and
// a restore of the record file without its index removes the live index,
// which no longer matches: the next open rebuilds it.
//
// Restore and delete refuse a directory whose database is open in this
// process (kLibraryDatabaseOpen): they would replace files under a manager
// that holds them. A failed copy or delete is kLibraryFileOperationFailed.
#ifndef TAVO_STORAGE_MAINTENANCE_DATABASE_FILES_H_
#define TAVO_STORAGE_MAINTENANCE_DATABASE_FILES_H_

#include <cstdint>
#include <string>

#include "storage/library/library_status.h"

namespace tavo {

class Env;

// PL_MLDB_BACKUP_INDEX, PL_MLDB_BACKUP_BASE: copies into `backup_directory`
// under the same names, replacing earlier copies.
LibraryStatus Maintenance_Backup(uint32_t flags, const std::string& directory, const std::string& backup_directory,
                                 Env* env = nullptr);
// PL_MLDB_RESTORE_INDEX, PL_MLDB_RESTORE_BASE: copies from `restore_directory`.
LibraryStatus Maintenance_Restore(uint32_t flags, const std::string& directory,
                                  const std::string& restore_directory, Env* env = nullptr);
// PL_MLDB_DELETE_INDEX, PL_MLDB_DELETE_BASE: a missing file counts as deleted.
// PL_MLDB_DELETE_BACKUPS and PL_MLDB_DELETE_OTHER are accepted and do nothing.
LibraryStatus Maintenance_Delete(uint32_t flags, const std::string& directory, Env* env = nullptr);

}  // namespace tavo

#endif  // TAVO_STORAGE_MAINTENANCE_DATABASE_FILES_H_

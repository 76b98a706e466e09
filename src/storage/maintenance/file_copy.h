// Whole-file operations of maintenance. Copies are made so that a failure
// never destroys the target: the copy is written to a temporary file beside
// the target (a name used once, temporary_path.h), made durable, and only
// then renamed over it; the folder is synced after a rename or a removal,
// so that the change survives a power loss. The target is either its old
// self or a complete copy.
#ifndef TAVO_STORAGE_MAINTENANCE_FILE_COPY_H_
#define TAVO_STORAGE_MAINTENANCE_FILE_COPY_H_

#include <string>

#include "storage/library/library_status.h"

namespace tavo {

class Env;

// The temporary name a copy to `target` is written under.
std::string CopyTemporaryPath(const std::string& target);

// Copies `from` into `temporary` (created or emptied) and syncs it.
// kLibraryFileOperationFailed on any failure; a partial temporary is removed.
LibraryStatus CopyToTemporary(Env* env, const std::string& from, const std::string& temporary);

// Copies `from` over `to` through CopyTemporaryPath(to), a rename and a
// sync of the folder.
LibraryStatus CopyFileReplacing(Env* env, const std::string& from, const std::string& to);

// Deletes a file and syncs its folder; a file that does not exist counts
// as deleted.
LibraryStatus RemoveFileIfPresent(Env* env, const std::string& path);

// Makes the renames and removals in the folder of `path` durable.
LibraryStatus SyncFolderOf(Env* env, const std::string& path);

}  // namespace tavo

#endif  // TAVO_STORAGE_MAINTENANCE_FILE_COPY_H_

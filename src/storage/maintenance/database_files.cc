#include "storage/maintenance/database_files.h"

#include <new>
#include <vector>

#include "platform/fs/env.h"
#include "storage/library/library_files.h"
#include "storage/library/open_registry.h"
#include "storage/maintenance/file_copy.h"
#include "tavo/enums.h"

namespace tavo {
namespace {

struct FileChoice {
  uint32_t flag;
  LibraryFile file;
};

// Index first, then the record file, for every operation.
constexpr FileChoice kBackupOrder[] = {{PL_MLDB_BACKUP_INDEX, LibraryFile::kIndex},
                                       {PL_MLDB_BACKUP_BASE, LibraryFile::kRecords}};
constexpr FileChoice kRestoreOrder[] = {{PL_MLDB_RESTORE_INDEX, LibraryFile::kIndex},
                                        {PL_MLDB_RESTORE_BASE, LibraryFile::kRecords}};
constexpr FileChoice kDeleteOrder[] = {{PL_MLDB_DELETE_INDEX, LibraryFile::kIndex},
                                       {PL_MLDB_DELETE_BASE, LibraryFile::kRecords}};

std::string PathIn(const std::string& directory, LibraryFile file) {
  return LibraryFile_Path(directory, kLibraryBaseName, file);
}

}  // namespace

LibraryStatus Maintenance_Backup(uint32_t flags, const std::string& directory, const std::string& backup_directory,
                                 Env* env) try {
  if (directory.empty() || backup_directory.empty()) return kDatabaseInvalidArgument;
  if (env == nullptr) env = Env::Default();
  for (const FileChoice& choice : kBackupOrder) {
    if ((flags & choice.flag) == 0) continue;
    if (LibraryStatus s =
            CopyFileReplacing(env, PathIn(directory, choice.file), PathIn(backup_directory, choice.file));
        s != kLibraryOk) {
      return s;
    }
  }
  return kLibraryOk;
} catch (const std::bad_alloc&) {
  return kDatabaseNoMemory;
}

LibraryStatus Maintenance_Restore(uint32_t flags, const std::string& directory,
                                  const std::string& restore_directory, Env* env) try {
  if (directory.empty() || restore_directory.empty()) return kDatabaseInvalidArgument;
  if (env == nullptr) env = Env::Default();
  if ((flags & (PL_MLDB_RESTORE_INDEX | PL_MLDB_RESTORE_BASE)) == 0) return kLibraryOk;
  if (OpenDatabases_Contains(directory)) return kLibraryDatabaseOpen;
  struct Staged {
    std::string temporary;
    std::string target;
  };
  std::vector<Staged> staged;
  auto discard = [&] {
    for (const Staged& s : staged) env->Remove(s.temporary);
  };
  for (const FileChoice& choice : kRestoreOrder) {
    if ((flags & choice.flag) == 0) continue;
    const std::string target = PathIn(directory, choice.file);
    staged.push_back({CopyTemporaryPath(target), target});
    if (LibraryStatus s = CopyToTemporary(env, PathIn(restore_directory, choice.file), staged.back().temporary);
        s != kLibraryOk) {
      discard();
      return s;
    }
  }
  for (size_t i = 0; i < staged.size(); ++i) {
    if (env->Rename(staged[i].temporary, staged[i].target) != 0) {
      for (size_t j = i; j < staged.size(); ++j) env->Remove(staged[j].temporary);
      return kLibraryFileOperationFailed;
    }
  }
  if (!staged.empty()) {
    if (LibraryStatus s = SyncFolderOf(env, staged.front().target); s != kLibraryOk) return s;
  }
  if ((flags & PL_MLDB_RESTORE_BASE) != 0 && (flags & PL_MLDB_RESTORE_INDEX) == 0) {
    return RemoveFileIfPresent(env, PathIn(directory, LibraryFile::kIndex));
  }
  return kLibraryOk;
} catch (const std::bad_alloc&) {
  return kDatabaseNoMemory;
}

LibraryStatus Maintenance_Delete(uint32_t flags, const std::string& directory, Env* env) try {
  if (directory.empty()) return kDatabaseInvalidArgument;
  if (env == nullptr) env = Env::Default();
  if ((flags & (PL_MLDB_DELETE_INDEX | PL_MLDB_DELETE_BASE)) == 0) return kLibraryOk;
  if (OpenDatabases_Contains(directory)) return kLibraryDatabaseOpen;
  for (const FileChoice& choice : kDeleteOrder) {
    if ((flags & choice.flag) == 0) continue;
    if (LibraryStatus s = RemoveFileIfPresent(env, PathIn(directory, choice.file)); s != kLibraryOk) return s;
  }
  return kLibraryOk;
} catch (const std::bad_alloc&) {
  return kDatabaseNoMemory;
}

}  // namespace tavo

#include "storage/maintenance/marker_file.h"

#include <memory>
#include <new>

#include "platform/fs/env.h"
#include "storage/library/library_files.h"
#include "storage/maintenance/file_copy.h"
#include "tavo/enums.h"

namespace tavo {
namespace {

std::string MarkerPath(const std::string& directory) {
  return LibraryFile_Path(directory, kLibraryBaseName, ".chk");
}

}  // namespace

LibraryStatus Maintenance_MarkerExists(const std::string& directory, bool* exists, Env* env) try {
  if (directory.empty() || exists == nullptr) return kDatabaseInvalidArgument;
  if (env == nullptr) env = Env::Default();
  FileInfo info;
  if (env->Stat(MarkerPath(directory), &info) != 0) return kLibraryFileOperationFailed;
  *exists = info.exists;
  return kLibraryOk;
} catch (const std::bad_alloc&) {
  return kDatabaseNoMemory;
}

LibraryStatus Maintenance_ModifyMarker(uint32_t flags, const std::string& directory, Env* env) try {
  if (directory.empty()) return kDatabaseInvalidArgument;
  if (env == nullptr) env = Env::Default();
  const std::string path = MarkerPath(directory);
  if (flags & PL_MLDB_SET_INIT_FLAG) {
    std::unique_ptr<File> file;
    return env->Open(path, OpenMode::kCreate, &file) == 0 ? kLibraryOk : kLibraryFileOperationFailed;
  }
  if (flags & PL_MLDB_CLEAR_INIT_FLAG) return RemoveFileIfPresent(env, path);
  return kLibraryOk;
} catch (const std::bad_alloc&) {
  return kDatabaseNoMemory;
}

}  // namespace tavo

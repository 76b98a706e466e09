#include "storage/maintenance/index_maintenance.h"

#include <new>

#include "platform/fs/env.h"
#include "storage/library/library_files.h"
#include "storage/library/open_registry.h"

namespace tavo {

LibraryStatus Maintenance_RebuildIndex(uint32_t flags, const std::string& directory,
                                       const RebuildProgress& progress, Env* env, RebuildReport* report) try {
  if (directory.empty()) return kDatabaseInvalidArgument;
  if (env == nullptr) env = Env::Default();
  if (OpenDatabases_Contains(directory)) return kLibraryDatabaseOpen;
  StoreFilePtr records;
  if (LibraryStatus s = LibraryFile_Open(LibraryFile::kRecords,
                                         LibraryFile_Path(directory, kLibraryBaseName, LibraryFile::kRecords),
                                         kStoreReadWrite, env, &records);
      s != kLibraryOk) {
    return s;
  }
  const LibraryStatus s = LibraryIndex_Rebuild(
      records.get(), LibraryFile_Path(directory, kLibraryBaseName, LibraryFile::kIndex), env, progress, report);
  const LibraryStatus closed = LibraryFile_Close(&records);
  return s != kLibraryOk ? s : closed;
} catch (const std::bad_alloc&) {
  return kDatabaseNoMemory;
}

}  // namespace tavo

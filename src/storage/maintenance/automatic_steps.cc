#include "storage/maintenance/automatic_steps.h"

#include "storage/maintenance/database_check.h"
#include "storage/maintenance/index_maintenance.h"
#include "storage/maintenance/marker_file.h"
#include "tavo/enums.h"

namespace tavo {

LibraryStatus Maintenance_BeforeOpen(uint32_t options, const std::string& directory,
                                     const RebuildProgress& progress, Env* env) {
  if ((options & PL_MLDB_AUTO_MASK) == 0) return kLibraryOk;
  if ((options & PL_MLDB_AUTO_CHECK_AT_INIT) == 0) {
    bool marker = false;
    if (LibraryStatus s = Maintenance_MarkerExists(directory, &marker, env); s != kLibraryOk) return s;
    if (!marker) return kLibraryOk;
  }
  const LibraryStatus checked = Maintenance_Check(PL_MLDB_CHECK_DEFAULT, directory, env);
  if (checked == kCheckIndexCorrupt && (options & PL_MLDB_AUTO_REINDEX) != 0) {
    return Maintenance_RebuildIndex(options, directory, progress, env);
  }
  return checked;
}

LibraryStatus Maintenance_AfterOpen(uint32_t options, const std::string& directory, Env* env) {
  if ((options & PL_MLDB_AUTO_MANAGE_INIT_FLAG) == 0) return kLibraryOk;
  return Maintenance_ModifyMarker(PL_MLDB_SET_INIT_FLAG, directory, env);
}

LibraryStatus Maintenance_AtShutdown(uint32_t options, const std::string& directory, Env* env) {
  if ((options & PL_MLDB_AUTO_MANAGE_INIT_FLAG) == 0) return kLibraryOk;
  return Maintenance_ModifyMarker(PL_MLDB_CLEAR_INIT_FLAG, directory, env);
}

}  // namespace tavo

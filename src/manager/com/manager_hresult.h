// How the manager and the maintenance object answer the statuses of the
// layers below them: the media library's (manager/library/manager_status.h),
// the library database's and maintenance's (storage/library/library_status.h)
// and the record store's. The two tables are the only place where these
// codes become HRESULTs.
#ifndef TAVO_MANAGER_COM_MANAGER_HRESULT_H_
#define TAVO_MANAGER_COM_MANAGER_HRESULT_H_

#include "manager/ingestion/ingestion_status.h"
#include "manager/library/manager_status.h"
#include "platform/com/status_map.h"
#include "tavo/tavo.h"

namespace tavo {

// The outcomes of database checks, shared by both tables.
#define TAVO_CHECK_OUTCOMES                              \
  {kCheckBaseCorrupt, ERR_PL_DB_Corrupt},                \
      {kCheckIndexCorrupt, ERR_PL_DB_IndexCorrupt},      \
      {kCheckBothCorrupt, ERR_PL_DB_BothCorrupt},        \
      {kLibraryDatabaseOpen, ERR_PL_NotShutdown},        \
      {kLibraryFileOperationFailed, E_FAIL}

// The manager: every code it does not name is E_FAIL.
inline constexpr StatusMapping kManagerStatusMapping[] = {
    {kLibraryOk, S_OK},
    {kManagerNotOpen, E_UNEXPECTED},
    {kManagerAlreadyOpen, ERR_PL_Initialized},
    {kManagerBusy, E_ACCESSDENIED},
    {kManagerStopped, E_ABORT},
    {kManagerSkipped, S_FALSE},  // the plain value 1: the host skipped the file
    {kIngestionAlreadyInLibrary, 80},
    {kIngestionNotAFolder, 2},  // the plain value 2, as Initialize answers a folder that is none
    {kIngestionBadName, E_INVALIDARG},
    {kLibraryNoMemory, E_OUTOFMEMORY},
    {kDatabaseNoMemory, E_OUTOFMEMORY},
    {kStoreNoMemory, E_OUTOFMEMORY},
    TAVO_CHECK_OUTCOMES,
};

constexpr HRESULT ManagerHresult(LibraryStatus status) { return MapStatus(kManagerStatusMapping, status); }

// The maintenance object: check outcomes and file failures are named;
// anything else (a path that cannot be built, a store that cannot open or
// create a file) reaches the host as the code itself.
inline constexpr StatusMapping kMaintenanceStatusMapping[] = {
    {kLibraryOk, S_OK},
    TAVO_CHECK_OUTCOMES,
};

constexpr HRESULT MaintenanceHresult(LibraryStatus status) {
  return MapStatus(kMaintenanceStatusMapping, status, static_cast<HRESULT>(status));
}

#undef TAVO_CHECK_OUTCOMES

}  // namespace tavo

#endif  // TAVO_MANAGER_COM_MANAGER_HRESULT_H_

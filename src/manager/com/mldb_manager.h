// TavoMLDBManager: maintenance of a library database's files (check, index
// rebuild, backup, restore, delete, the open marker) over
// src/storage/maintenance, and commit of the database of the manager it is
// attached to.
//
// Attaching hands the object's settings (options, backup path) to the
// manager's library, which runs the automatic steps of the options at
// Initialize and Shutdown; the settings know the library only weakly. The
// manager keeps the settings when the host releases this object, as it
// would keep the object itself.
//
// Thread safety: every member may be called from any thread.
#ifndef TAVO_MANAGER_COM_MLDB_MANAGER_H_
#define TAVO_MANAGER_COM_MLDB_MANAGER_H_

#include <memory>
#include <mutex>

#include "manager/library/maintenance_settings.h"
#include "platform/com/object.h"
#include "tavo/tavo.h"

namespace tavo {

class TavoMLDBManager : public ComObject<TavoMLDBManager, ITavoMLDBManager> {
 public:
  TavoMLDBManager() : settings_(std::make_shared<MaintenanceSettings>()) {}

  // The manager records this object as its maintenance object and this
  // object records the manager (attached to another manager before, it
  // leaves that one). E_INVALIDARG for a missing or foreign manager.
  HRESULT STDMETHODCALLTYPE Attach(ITavoPlaylist2Mgr* manager) override;
  HRESULT STDMETHODCALLTYPE Detach(ITavoPlaylist2Mgr* manager) override;
  // E_INVALIDARG for a missing output.
  HRESULT STDMETHODCALLTYPE GetOptions(LONG* flags, BSTR* backup_path) override;
  HRESULT STDMETHODCALLTYPE SetOptions(LONG flags, BSTR backup_path) override;
  HRESULT STDMETHODCALLTYPE CheckDB(LONG flags, BSTR directory) override;
  // Progress every 100 records goes to the attached manager's sinks.
  HRESULT STDMETHODCALLTYPE RebuildDBIndex(LONG flags, BSTR directory) override;
  HRESULT STDMETHODCALLTYPE BackupDBFiles(LONG flags, BSTR directory, BSTR backup_directory) override;
  HRESULT STDMETHODCALLTYPE RestoreDBFiles(LONG flags, BSTR directory, BSTR restore_directory) override;
  // E_INVALIDARG for a missing output.
  HRESULT STDMETHODCALLTYPE CheckInitFlag(LONG flags, BSTR directory, LONG* exists) override;
  HRESULT STDMETHODCALLTYPE ModifyInitFlag(LONG flags, BSTR directory) override;
  // ERR_PL_NotInitialized without an attached manager whose database is
  // open; otherwise 0, also when the flush fails.
  HRESULT STDMETHODCALLTYPE CommitDB() override;
  HRESULT STDMETHODCALLTYPE DeleteDBFiles(LONG flags, BSTR directory) override;

 private:
  const std::shared_ptr<MaintenanceSettings> settings_;
  std::mutex attach_mutex_;  // one Attach or Detach at a time
};

}  // namespace tavo

#endif  // TAVO_MANAGER_COM_MLDB_MANAGER_H_

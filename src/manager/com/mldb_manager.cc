#include "manager/com/mldb_manager.h"

#include <string>

#include "manager/com/manager_hresult.h"
#include "manager/com/playlist2_mgr.h"
#include "platform/automation/utf.h"
#include "storage/maintenance/database_check.h"
#include "storage/maintenance/database_files.h"
#include "storage/maintenance/index_maintenance.h"
#include "storage/maintenance/marker_file.h"

namespace tavo {
namespace {

// A directory argument as the maintenance layer takes it; false for one
// with a zero byte, which would name another directory.
bool DirectoryOf(BSTR text, std::string* directory) {
  *directory = text != nullptr ? BstrToUtf8(text) : std::string();
  return directory->find('\0') == std::string::npos;
}

}  // namespace

HRESULT TavoMLDBManager::Attach(ITavoPlaylist2Mgr* manager) {
  const ComPtr<TavoPeltaPlaylist2Mgr> own = AsOwn<TavoPeltaPlaylist2Mgr>(manager);
  if (!own) return E_INVALIDARG;
  std::lock_guard<std::mutex> lock(attach_mutex_);
  const std::shared_ptr<MediaLibrary>& library = own->library();
  if (const std::shared_ptr<MediaLibrary> before = settings_->attached(); before && before != library) {
    before->DetachMaintenance(settings_.get());
  }
  library->AttachMaintenance(settings_);
  return S_OK;
}

HRESULT TavoMLDBManager::Detach(ITavoPlaylist2Mgr* manager) {
  const ComPtr<TavoPeltaPlaylist2Mgr> own = AsOwn<TavoPeltaPlaylist2Mgr>(manager);
  if (!own) return E_INVALIDARG;
  std::lock_guard<std::mutex> lock(attach_mutex_);
  own->library()->DetachMaintenance(settings_.get());
  settings_->forget(own->library().get());
  return S_OK;
}

HRESULT TavoMLDBManager::GetOptions(LONG* flags, BSTR* backup_path) {
  if (flags == nullptr || backup_path == nullptr) return E_INVALIDARG;
  const std::string path = settings_->backup_path();
  *flags = static_cast<LONG>(settings_->options());
  *backup_path = path.empty() ? nullptr : BstrFromUtf8(path);
  return path.empty() || *backup_path != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT TavoMLDBManager::SetOptions(LONG flags, BSTR backup_path) {
  settings_->set_options(static_cast<uint32_t>(flags));
  settings_->set_backup_path(backup_path != nullptr ? BstrToUtf8(backup_path) : std::string());
  return S_OK;
}

HRESULT TavoMLDBManager::CheckDB(LONG flags, BSTR directory) {
  std::string dir;
  if (!DirectoryOf(directory, &dir)) return E_INVALIDARG;
  uint32_t checks = static_cast<uint32_t>(flags);
  if (checks == 0) checks = PL_MLDB_CHECK_BASE | PL_MLDB_CHECK_INDEX;
  if ((checks & (PL_MLDB_CHECK_BASE | PL_MLDB_CHECK_INDEX)) == 0) return S_OK;  // nothing asked for
  return MaintenanceHresult(Maintenance_Check(checks, dir));
}

HRESULT TavoMLDBManager::RebuildDBIndex(LONG flags, BSTR directory) {
  std::string dir;
  if (!DirectoryOf(directory, &dir)) return E_INVALIDARG;
  const RebuildProgress progress = [this](uint32_t count, uint32_t total, bool* abort) {
    const std::shared_ptr<MediaLibrary> library = settings_->attached();
    *abort = library != nullptr && library->ReportRebuildProgress(count, total);
  };
  return MaintenanceHresult(Maintenance_RebuildIndex(static_cast<uint32_t>(flags), dir, progress));
}

HRESULT TavoMLDBManager::BackupDBFiles(LONG flags, BSTR directory, BSTR backup_directory) {
  std::string dir, backup;
  if (!DirectoryOf(directory, &dir) || !DirectoryOf(backup_directory, &backup)) return E_INVALIDARG;
  return MaintenanceHresult(Maintenance_Backup(static_cast<uint32_t>(flags), dir, backup));
}

HRESULT TavoMLDBManager::RestoreDBFiles(LONG flags, BSTR directory, BSTR restore_directory) {
  std::string dir, restore;
  if (!DirectoryOf(directory, &dir) || !DirectoryOf(restore_directory, &restore)) return E_INVALIDARG;
  return MaintenanceHresult(Maintenance_Restore(static_cast<uint32_t>(flags), dir, restore));
}

HRESULT TavoMLDBManager::CheckInitFlag(LONG, BSTR directory, LONG* exists) {
  if (exists == nullptr) return E_INVALIDARG;
  *exists = 0;
  std::string dir;
  if (!DirectoryOf(directory, &dir)) return E_INVALIDARG;
  bool present = false;
  if (LibraryStatus s = Maintenance_MarkerExists(dir, &present); s != kLibraryOk) return MaintenanceHresult(s);
  *exists = present ? 1 : 0;
  return S_OK;
}

HRESULT TavoMLDBManager::ModifyInitFlag(LONG flags, BSTR directory) {
  std::string dir;
  if (!DirectoryOf(directory, &dir)) return E_INVALIDARG;
  return MaintenanceHresult(Maintenance_ModifyMarker(static_cast<uint32_t>(flags), dir));
}

HRESULT TavoMLDBManager::CommitDB() {
  const std::shared_ptr<MediaLibrary> library = settings_->attached();
  if (library == nullptr || library->Commit() == kManagerNotOpen) return ERR_PL_NotInitialized;
  return S_OK;  // also when the flush failed
}

HRESULT TavoMLDBManager::DeleteDBFiles(LONG flags, BSTR directory) {
  std::string dir;
  if (!DirectoryOf(directory, &dir)) return E_INVALIDARG;
  return MaintenanceHresult(Maintenance_Delete(static_cast<uint32_t>(flags), dir));
}

}  // namespace tavo

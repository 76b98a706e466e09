// MaintenanceSettings: the state of one maintenance object that the media
// library it is attached to reads: the options (TavoPlaylistMLDBFlags, whose
// PL_MLDB_AUTO_* bits choose the automatic steps at open and close), the
// backup path, and which library it is attached to.
//
// Ownership: the maintenance object owns its settings; a library holds the
// settings of its attached maintenance object with a shared reference, and
// the settings refer back to the library only weakly, so neither keeps the
// other alive and nothing dangles when either goes first.
//
// Thread safety: every member may be called from any thread.
#ifndef TAVO_MANAGER_LIBRARY_MAINTENANCE_SETTINGS_H_
#define TAVO_MANAGER_LIBRARY_MAINTENANCE_SETTINGS_H_

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace tavo {

class MediaLibrary;

class MaintenanceSettings {
 public:
  uint32_t options() const { return options_.load(); }
  void set_options(uint32_t options) { options_.store(options); }

  std::string backup_path() const;
  void set_backup_path(std::string path);

  // The library this object is attached to, or null.
  std::shared_ptr<MediaLibrary> attached() const;
  void set_attached(std::weak_ptr<MediaLibrary> library);
  // Forgets the library when it is `library`.
  void forget(const MediaLibrary* library);

 private:
  std::atomic<uint32_t> options_{0};
  mutable std::mutex mutex_;
  std::string backup_path_;             // guarded by mutex_
  std::weak_ptr<MediaLibrary> library_;  // guarded by mutex_
};

}  // namespace tavo

#endif  // TAVO_MANAGER_LIBRARY_MAINTENANCE_SETTINGS_H_

#include "manager/library/maintenance_settings.h"

#include <utility>

namespace tavo {

std::string MaintenanceSettings::backup_path() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return backup_path_;
}

void MaintenanceSettings::set_backup_path(std::string path) {
  std::lock_guard<std::mutex> lock(mutex_);
  backup_path_ = std::move(path);
}

std::shared_ptr<MediaLibrary> MaintenanceSettings::attached() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return library_.lock();
}

void MaintenanceSettings::set_attached(std::weak_ptr<MediaLibrary> library) {
  std::lock_guard<std::mutex> lock(mutex_);
  library_ = std::move(library);
}

void MaintenanceSettings::forget(const MediaLibrary* library) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (library_.lock().get() == library) library_.reset();
}

}  // namespace tavo

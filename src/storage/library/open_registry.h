// The library databases open in this process, by directory identity (device
// and inode; the directory's text where the file system cannot say).
//
// LibraryDatabase_Open registers its directory and LibraryDatabase_Close
// releases it, so maintenance can refuse to restore, delete or rebuild the
// files of a database that a manager of this process holds. Thread safe.
#ifndef TAVO_STORAGE_LIBRARY_OPEN_REGISTRY_H_
#define TAVO_STORAGE_LIBRARY_OPEN_REGISTRY_H_

#include <string>

namespace tavo {

// One registration of an open directory; releases it when destroyed.
class OpenDatabaseRegistration {
 public:
  OpenDatabaseRegistration() = default;
  explicit OpenDatabaseRegistration(const std::string& directory);
  OpenDatabaseRegistration(OpenDatabaseRegistration&& other) noexcept;
  OpenDatabaseRegistration& operator=(OpenDatabaseRegistration&& other) noexcept;
  ~OpenDatabaseRegistration();

  void Release() noexcept;

 private:
  std::string identity_;  // empty when nothing is registered
};

// True while at least one database of the directory is open in this process.
bool OpenDatabases_Contains(const std::string& directory);

}  // namespace tavo

#endif  // TAVO_STORAGE_LIBRARY_OPEN_REGISTRY_H_

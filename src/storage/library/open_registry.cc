#include "storage/library/open_registry.h"

#include <sys/stat.h>

#include <map>
#include <mutex>

#include "storage/library/dir_delim.h"

namespace tavo {
namespace {

std::mutex& RegistryMutex() {
  static std::mutex* mutex = new std::mutex;  // never destroyed: usable during exit
  return *mutex;
}

std::map<std::string, int>& Registry() {
  static auto* registry = new std::map<std::string, int>;
  return *registry;
}

// Device and inode when the directory can be looked at, else its text
// without trailing delimiters.
std::string IdentityOf(const std::string& directory) {
  struct stat st;
  if (::stat(directory.empty() ? "." : directory.c_str(), &st) == 0) {
    return "#" + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
  }
  std::string text = directory;
  while (text.size() > 1 && (text.back() == '/' || text.back() == DirDelim())) text.pop_back();
  return "=" + text;
}

}  // namespace

OpenDatabaseRegistration::OpenDatabaseRegistration(const std::string& directory) : identity_(IdentityOf(directory)) {
  std::lock_guard<std::mutex> lock(RegistryMutex());
  ++Registry()[identity_];
}

OpenDatabaseRegistration::OpenDatabaseRegistration(OpenDatabaseRegistration&& other) noexcept
    : identity_(std::move(other.identity_)) {
  other.identity_.clear();
}

OpenDatabaseRegistration& OpenDatabaseRegistration::operator=(OpenDatabaseRegistration&& other) noexcept {
  if (this != &other) {
    Release();
    identity_ = std::move(other.identity_);
    other.identity_.clear();
  }
  return *this;
}

OpenDatabaseRegistration::~OpenDatabaseRegistration() { Release(); }

void OpenDatabaseRegistration::Release() noexcept {
  if (identity_.empty()) return;
  std::lock_guard<std::mutex> lock(RegistryMutex());
  auto it = Registry().find(identity_);
  if (it != Registry().end() && --it->second == 0) Registry().erase(it);
  identity_.clear();
}

bool OpenDatabases_Contains(const std::string& directory) {
  const std::string identity = IdentityOf(directory);
  std::lock_guard<std::mutex> lock(RegistryMutex());
  return Registry().count(identity) != 0;
}

}  // namespace tavo

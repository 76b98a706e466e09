#include "platform/fs/env.h"

#include <cerrno>
#include <string>

namespace tavo {

int Env::ReadAll(const std::string& path, std::string* data) {
  data->clear();
  std::unique_ptr<File> file;
  if (int rc = Open(path, OpenMode::kRead, &file)) return rc;
  uint64_t size = 0;
  if (int rc = file->Size(&size)) return rc;
  if (size > data->max_size()) return EFBIG;
  data->resize(static_cast<size_t>(size));
  size_t got = 0;
  if (int rc = file->Read(0, data->data(), data->size(), &got)) return rc;
  data->resize(got);  // the file may have shrunk since Size()
  return 0;
}

int Env::WriteAtomically(const std::string& path, const void* data, size_t n) {
  const std::string temp = path + ".tmp";
  std::unique_ptr<File> file;
  if (int rc = Open(temp, OpenMode::kCreate, &file)) return rc;
  int rc = file->Write(0, data, n);
  if (rc == 0) rc = file->Sync();
  file.reset();
  if (rc == 0) rc = Rename(temp, path);
  if (rc != 0) {
    Remove(temp);
    return rc;
  }
  return SyncDirOf(path);
}

int Env::SyncDirOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return SyncDir(".");
  return SyncDir(slash == 0 ? "/" : path.substr(0, slash));
}

}  // namespace tavo

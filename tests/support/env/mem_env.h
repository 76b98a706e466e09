// An Env whose files live in memory, for tests, benchmarks and fuzz targets.
//
// Files are strings in `files`, keyed by path; tests read and change them
// directly. A directory exists when it was created or when a file lies below
// it. An open file follows its path: removing the path makes the handle's
// reads fail with EIO, as if the file had vanished under its reader. SyncDir
// and File::Sync succeed and do nothing: nothing here is lost. To lose
// writes, wrap it in a FaultEnv.
#ifndef TAVO_TESTS_SUPPORT_ENV_MEM_ENV_H_
#define TAVO_TESTS_SUPPORT_ENV_MEM_ENV_H_

#include <map>
#include <set>
#include <string>

#include "platform/fs/env.h"

namespace tavo {

class MemEnv final : public Env {
 public:
  std::map<std::string, std::string> files;

  void Put(const std::string& path, std::string data) { files[path] = std::move(data); }

  int Open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) override;
  int Stat(const std::string& path, FileInfo* info) override;
  int Remove(const std::string& path) override;
  int Rename(const std::string& from, const std::string& to) override;
  int CreateDir(const std::string& path) override;
  int ListDir(const std::string& path, std::vector<DirEntry>* entries) override;
  int CopyFile(const std::string& from, const std::string& to) override;
  int SyncDir(const std::string& dir) override;

 private:
  bool IsDirectory(const std::string& path) const;

  std::set<std::string> dirs_;
};

}  // namespace tavo

#endif  // TAVO_TESTS_SUPPORT_ENV_MEM_ENV_H_

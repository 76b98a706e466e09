// An in-memory tavo::Env for fuzz targets and tests: files are strings in a
// map, directories are not modelled. Optional faults make writes fail with
// ENOSPC (a full disk) for chosen paths.
#ifndef TAVO_FUZZ_XML_MEM_ENV_H_
#define TAVO_FUZZ_XML_MEM_ENV_H_

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/fs/env.h"

namespace tavo {

class MemEnv final : public Env {
 public:
  std::map<std::string, std::string> files;
  // Writes to a path ending with one of these suffixes fail with ENOSPC after
  // `partial_bytes` bytes have been stored (a full disk).
  std::set<std::string> full_disk_suffixes;
  size_t partial_bytes = 0;

  int Open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) override {
    auto it = files.find(path);
    switch (mode) {
      case OpenMode::kRead:
      case OpenMode::kReadWrite:
        if (it == files.end()) return ENOENT;
        break;
      case OpenMode::kCreate:
        files[path].clear();
        break;
      case OpenMode::kCreateNew:
        if (it != files.end()) return EEXIST;
        files[path].clear();
        break;
    }
    out->reset(new MemFile(this, path));
    return 0;
  }
  int Stat(const std::string& path, FileInfo* info) override {
    *info = FileInfo{};
    auto it = files.find(path);
    if (it == files.end()) return 0;
    info->exists = true;
    info->size = it->second.size();
    return 0;
  }
  int Remove(const std::string& path) override { return files.erase(path) != 0 ? 0 : ENOENT; }
  int Rename(const std::string& from, const std::string& to) override {
    auto it = files.find(from);
    if (it == files.end()) return ENOENT;
    std::string data = std::move(it->second);
    files.erase(it);
    files[to] = std::move(data);
    return 0;
  }
  int CreateDir(const std::string&) override { return 0; }
  int ListDir(const std::string&, std::vector<DirEntry>* entries) override {
    entries->clear();
    return 0;
  }
  int CopyFile(const std::string& from, const std::string& to) override {
    auto it = files.find(from);
    if (it == files.end()) return ENOENT;
    files[to] = it->second;
    return 0;
  }

 private:
  bool DiskFull(const std::string& path) const {
    for (const std::string& s : full_disk_suffixes) {
      if (path.size() >= s.size() && path.compare(path.size() - s.size(), s.size(), s) == 0) {
        return true;
      }
    }
    return false;
  }

  class MemFile final : public File {
   public:
    MemFile(MemEnv* env, std::string path) : env_(env), path_(std::move(path)) {}
    int Read(uint64_t offset, void* buf, size_t n, size_t* got) override {
      *got = 0;
      auto it = env_->files.find(path_);
      if (it == env_->files.end()) return EIO;
      const std::string& d = it->second;
      if (offset >= d.size()) return 0;
      const size_t k = std::min<size_t>(n, d.size() - offset);
      d.copy(static_cast<char*>(buf), k, offset);
      *got = k;
      return 0;
    }
    int Write(uint64_t offset, const void* buf, size_t n) override {
      std::string& d = env_->files[path_];
      size_t k = n;
      const bool full = env_->DiskFull(path_);
      if (full && offset + k > env_->partial_bytes) {
        k = offset < env_->partial_bytes ? env_->partial_bytes - offset : 0;
      }
      if (d.size() < offset + k) d.resize(offset + k);
      d.replace(offset, k, static_cast<const char*>(buf), k);
      return full && k < n ? ENOSPC : 0;
    }
    int Size(uint64_t* size) override {
      auto it = env_->files.find(path_);
      *size = it == env_->files.end() ? 0 : it->second.size();
      return 0;
    }
    int Truncate(uint64_t size) override {
      env_->files[path_].resize(size);
      return 0;
    }
    int Sync() override { return 0; }

   private:
    MemEnv* env_;
    std::string path_;
  };
};

}  // namespace tavo

#endif  // TAVO_FUZZ_XML_MEM_ENV_H_

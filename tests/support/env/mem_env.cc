#include "support/env/mem_env.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tavo {
namespace {

std::string WithSlash(const std::string& dir) { return dir.empty() || dir.back() == '/' ? dir : dir + "/"; }

class MemFile final : public File {
 public:
  MemFile(MemEnv* env, std::string path) : env_(env), path_(std::move(path)) {}

  int Read(uint64_t offset, void* buf, size_t n, size_t* got) override {
    *got = 0;
    const std::string* data = Data();
    if (data == nullptr) return EIO;
    if (offset >= data->size()) return 0;
    *got = std::min<uint64_t>(n, data->size() - offset);
    std::memcpy(buf, data->data() + offset, *got);
    return 0;
  }
  int Write(uint64_t offset, const void* buf, size_t n) override {
    std::string* data = Data();
    if (data == nullptr) return EIO;
    if (data->size() < offset + n) data->resize(offset + n);
    std::memcpy(data->data() + offset, buf, n);
    return 0;
  }
  int Size(uint64_t* size) override {
    const std::string* data = Data();
    if (data == nullptr) return EIO;
    *size = data->size();
    return 0;
  }
  int Truncate(uint64_t size) override {
    std::string* data = Data();
    if (data == nullptr) return EIO;
    data->resize(size);
    return 0;
  }
  int Sync() override { return Data() != nullptr ? 0 : EIO; }

 private:
  std::string* Data() {
    auto it = env_->files.find(path_);
    return it == env_->files.end() ? nullptr : &it->second;
  }

  MemEnv* env_;
  std::string path_;
};

}  // namespace

bool MemEnv::IsDirectory(const std::string& path) const {
  if (path.empty() || dirs_.count(path) != 0) return true;
  const std::string prefix = WithSlash(path);
  auto it = files.lower_bound(prefix);
  return it != files.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

int MemEnv::Open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) {
  const bool exists = files.count(path) != 0;
  if (!exists && IsDirectory(path)) return EISDIR;
  switch (mode) {
    case OpenMode::kRead:
    case OpenMode::kReadWrite:
      if (!exists) return ENOENT;
      break;
    case OpenMode::kCreate:
      files[path].clear();
      break;
    case OpenMode::kCreateNew:
      if (exists) return EEXIST;
      files[path];
      break;
  }
  *out = std::make_unique<MemFile>(this, path);
  return 0;
}

int MemEnv::Stat(const std::string& path, FileInfo* info) {
  *info = FileInfo{};
  if (auto it = files.find(path); it != files.end()) {
    info->exists = true;
    info->size = it->second.size();
  } else if (IsDirectory(path)) {
    info->exists = true;
    info->is_directory = true;
  }
  return 0;
}

int MemEnv::Remove(const std::string& path) { return files.erase(path) != 0 ? 0 : ENOENT; }

int MemEnv::Rename(const std::string& from, const std::string& to) {
  auto it = files.find(from);
  if (it == files.end()) return ENOENT;
  std::string data = std::move(it->second);
  files.erase(it);
  files[to] = std::move(data);
  return 0;
}

int MemEnv::CreateDir(const std::string& path) {
  if (files.count(path) != 0) return EEXIST;
  dirs_.insert(path);
  return 0;
}

int MemEnv::ListDir(const std::string& path, std::vector<DirEntry>* entries) {
  entries->clear();
  if (!IsDirectory(path)) return ENOENT;
  const std::string prefix = WithSlash(path);
  std::set<std::string> seen;
  auto add = [&](const std::string& full) {
    if (full.size() <= prefix.size() || full.compare(0, prefix.size(), prefix) != 0) return;
    const std::string rest = full.substr(prefix.size());
    const size_t slash = rest.find('/');
    const std::string name = rest.substr(0, slash);
    const bool is_dir = slash != std::string::npos || dirs_.count(full) != 0;
    if (seen.insert(name).second) entries->push_back({name, is_dir});
  };
  for (const auto& [file, data] : files) add(file);
  for (const std::string& dir : dirs_) add(dir);
  return 0;
}

int MemEnv::CopyFile(const std::string& from, const std::string& to) {
  auto it = files.find(from);
  if (it == files.end()) return ENOENT;
  files[to] = it->second;
  return 0;
}

int MemEnv::SyncDir(const std::string& dir) { return IsDirectory(dir) || dir == "." ? 0 : ENOENT; }

}  // namespace tavo

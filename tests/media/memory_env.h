// An Env whose files live in memory and can be told to misbehave: a file that
// is gone or cut short after it was sized, or one whose reads fail. Also counts
// the bytes read, so tests can see how much of a file a reader touches.
#ifndef TAVO_TESTS_MEDIA_MEMORY_ENV_H_
#define TAVO_TESTS_MEDIA_MEMORY_ENV_H_

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/fs/env.h"

namespace tavo {

struct MemoryFileState {
  std::string data;
  // Bytes still readable after the file was sized: a file that vanished or was
  // truncated under the reader. Size() still reports data.size().
  size_t readable = std::string::npos;
  bool read_fails = false;
  bool size_fails = false;
};

class MemoryEnv final : public Env {
 public:
  void Put(const std::string& path, std::string data) { files_[path].data = std::move(data); }
  void Put(const std::string& path, MemoryFileState state) { files_[path] = std::move(state); }
  uint64_t bytes_read() const { return bytes_read_; }

  int Open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) override {
    auto it = files_.find(path);
    if (it == files_.end()) return ENOENT;
    if (mode != OpenMode::kRead) return EACCES;
    out->reset(new MemoryFile(&it->second, &bytes_read_));
    return 0;
  }
  int Stat(const std::string& path, FileInfo* info) override {
    *info = FileInfo{};
    auto it = files_.find(path);
    if (it != files_.end()) info->exists = true, info->size = it->second.data.size();
    return 0;
  }
  int Remove(const std::string&) override { return ENOTSUP; }
  int Rename(const std::string&, const std::string&) override { return ENOTSUP; }
  int CreateDir(const std::string&) override { return ENOTSUP; }
  int ListDir(const std::string&, std::vector<DirEntry>*) override { return ENOTSUP; }
  int CopyFile(const std::string&, const std::string&) override { return ENOTSUP; }

 private:
  class MemoryFile final : public File {
   public:
    MemoryFile(const MemoryFileState* state, uint64_t* bytes_read)
        : state_(state), bytes_read_(bytes_read) {}
    int Read(uint64_t offset, void* buf, size_t n, size_t* got) override {
      *got = 0;
      if (state_->read_fails) return EIO;
      const size_t end = std::min(state_->readable, state_->data.size());
      if (offset < end) *got = std::min<uint64_t>(n, end - offset);
      if (*got > 0) std::memcpy(buf, state_->data.data() + offset, *got);
      *bytes_read_ += *got;
      return 0;
    }
    int Write(uint64_t, const void*, size_t) override { return EBADF; }
    int Size(uint64_t* size) override {
      if (state_->size_fails) return EIO;
      *size = state_->data.size();
      return 0;
    }
    int Truncate(uint64_t) override { return EBADF; }
    int Sync() override { return 0; }

   private:
    const MemoryFileState* state_;
    uint64_t* bytes_read_;
  };

  std::map<std::string, MemoryFileState> files_;
  uint64_t bytes_read_ = 0;
};

}  // namespace tavo

#endif  // TAVO_TESTS_MEDIA_MEMORY_ENV_H_

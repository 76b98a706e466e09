// An Env for tests that fails on purpose: writes stop with ENOSPC once a byte
// budget is spent, reads fail with EIO after a number of calls. Everything
// else goes to the wrapped Env.
#ifndef TAVO_PLATFORM_FS_FAULT_ENV_H_
#define TAVO_PLATFORM_FS_FAULT_ENV_H_

#include <atomic>
#include <cstdint>
#include <limits>

#include "platform/fs/env.h"

namespace tavo {

class FaultEnv final : public Env {
 public:
  static constexpr uint64_t kUnlimited = std::numeric_limits<uint64_t>::max();

  explicit FaultEnv(Env* base) : base_(base) {}

  // Writes succeed until `bytes` more bytes were written; the write that
  // crosses the budget writes nothing and fails with ENOSPC.
  void FailWritesAfter(uint64_t bytes) { write_budget_ = bytes; }
  // The next `calls` reads succeed; later ones fail with EIO.
  void FailReadsAfter(uint64_t calls) { read_budget_ = calls; }
  void Heal() {
    write_budget_ = kUnlimited;
    read_budget_ = kUnlimited;
  }
  uint64_t reads() const { return reads_; }

  int Open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) override;
  int Stat(const std::string& path, FileInfo* info) override { return base_->Stat(path, info); }
  int Remove(const std::string& path) override { return base_->Remove(path); }
  int Rename(const std::string& from, const std::string& to) override { return base_->Rename(from, to); }
  int CreateDir(const std::string& path) override { return base_->CreateDir(path); }
  int ListDir(const std::string& path, std::vector<DirEntry>* entries) override {
    return base_->ListDir(path, entries);
  }
  int CopyFile(const std::string& from, const std::string& to) override { return base_->CopyFile(from, to); }

 private:
  friend class FaultFile;

  Env* base_;
  std::atomic<uint64_t> write_budget_{kUnlimited};
  std::atomic<uint64_t> read_budget_{kUnlimited};
  std::atomic<uint64_t> reads_{0};
};

}  // namespace tavo

#endif  // TAVO_PLATFORM_FS_FAULT_ENV_H_

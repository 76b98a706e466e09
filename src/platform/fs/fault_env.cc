#include "platform/fs/fault_env.h"

#include <cerrno>

namespace tavo {

class FaultFile final : public File {
 public:
  FaultFile(FaultEnv* env, std::unique_ptr<File> base) : env_(env), base_(std::move(base)) {}

  int Read(uint64_t offset, void* buf, size_t n, size_t* got) override {
    ++env_->reads_;
    uint64_t budget = env_->read_budget_.load();
    if (budget != FaultEnv::kUnlimited) {
      if (budget == 0) {
        *got = 0;
        return EIO;
      }
      env_->read_budget_ = budget - 1;
    }
    return base_->Read(offset, buf, n, got);
  }

  int Write(uint64_t offset, const void* buf, size_t n) override {
    uint64_t budget = env_->write_budget_.load();
    if (budget != FaultEnv::kUnlimited) {
      if (budget < n) {
        env_->write_budget_ = 0;
        return ENOSPC;
      }
      env_->write_budget_ = budget - n;
    }
    return base_->Write(offset, buf, n);
  }

  int Size(uint64_t* size) override { return base_->Size(size); }
  int Truncate(uint64_t size) override { return base_->Truncate(size); }
  int Sync() override { return base_->Sync(); }

 private:
  FaultEnv* env_;
  std::unique_ptr<File> base_;
};

int FaultEnv::Open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) {
  std::unique_ptr<File> file;
  if (int err = base_->Open(path, mode, &file); err != 0) return err;
  *out = std::make_unique<FaultFile>(this, std::move(file));
  return 0;
}

}  // namespace tavo

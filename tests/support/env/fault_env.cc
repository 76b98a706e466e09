#include "support/env/fault_env.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>
#include <set>

namespace tavo {

struct FaultEnv::Inode {
  struct Op {
    bool truncate = false;
    uint64_t offset = 0;  // of a write; the new size of a truncation
    std::string data;
  };
  std::string durable;
  std::vector<Op> unsynced;
};

namespace {

std::string ParentOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool EndsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

void WriteAt(std::string* content, uint64_t offset, const char* data, size_t n) {
  if (content->size() < offset + n) content->resize(offset + n);
  std::memcpy(content->data() + offset, data, n);
}

}  // namespace

class FaultFile final : public File {
 public:
  FaultFile(FaultEnv* env, std::shared_ptr<FaultEnv::Inode> inode, std::unique_ptr<File> base, std::string path)
      : env_(env), inode_(std::move(inode)), base_(std::move(base)), path_(std::move(path)),
        generation_(env->generation_) {}

  int Read(uint64_t offset, void* buf, size_t n, size_t* got) override {
    *got = 0;
    if (Lost()) return EIO;
    ++env_->reads_;
    if (env_->read_budget_ != FaultEnv::kUnlimited) {
      if (env_->read_budget_ == 0) return EIO;
      --env_->read_budget_;
    }
    const FaultEnv::FileFaults* faults = env_->FaultsOf(path_);
    if (faults != nullptr && faults->fail_reads) return EIO;
    if (faults != nullptr && faults->readable != FaultEnv::kUnlimited) {
      if (offset >= faults->readable) return 0;
      n = std::min<uint64_t>(n, faults->readable - offset);
    }
    const int rc = base_->Read(offset, buf, n, got);
    env_->bytes_read_ += *got;
    return rc;
  }

  int Write(uint64_t offset, const void* buf, size_t n) override {
    if (Lost() || !env_->Step()) return EIO;
    const size_t allowed = env_->WriteAllowance(path_, n);
    if (allowed > 0) {
      if (int rc = base_->Write(offset, buf, allowed); rc != 0) return rc;
      inode_->unsynced.push_back({false, offset, std::string(static_cast<const char*>(buf), allowed)});
    }
    return allowed == n ? 0 : ENOSPC;
  }

  int Size(uint64_t* size) override {
    if (Lost()) return EIO;
    const FaultEnv::FileFaults* faults = env_->FaultsOf(path_);
    if (faults != nullptr && faults->fail_size) return EIO;
    return base_->Size(size);
  }

  int Truncate(uint64_t size) override {
    if (Lost() || !env_->Step()) return EIO;
    if (int rc = base_->Truncate(size); rc != 0) return rc;
    inode_->unsynced.push_back({true, size, {}});
    return 0;
  }

  int Sync() override {
    if (Lost() || !env_->Step()) return EIO;
    if (int rc = base_->Sync(); rc != 0) return rc;
    for (const FaultEnv::Inode::Op& op : inode_->unsynced) {
      if (op.truncate) {
        inode_->durable.resize(op.offset);
      } else {
        WriteAt(&inode_->durable, op.offset, op.data.data(), op.data.size());
      }
    }
    inode_->unsynced.clear();
    return 0;
  }

 private:
  // A file opened before a power loss belongs to a process that is gone.
  bool Lost() const { return generation_ != env_->generation_; }

  FaultEnv* env_;
  std::shared_ptr<FaultEnv::Inode> inode_;
  std::unique_ptr<File> base_;
  std::string path_;
  uint64_t generation_;
};

FaultEnv::FaultEnv(Env* base) : base_(base) {}
FaultEnv::~FaultEnv() = default;

void FaultEnv::FailWritesAfter(uint64_t bytes, std::string suffix) {
  write_budget_ = bytes;
  write_suffix_ = std::move(suffix);
}

void FaultEnv::FailReadsAfter(uint64_t calls) { read_budget_ = calls; }

void FaultEnv::SetFileFaults(const std::string& path, FileFaults faults) { file_faults_[path] = faults; }

void FaultEnv::Heal() {
  write_budget_ = kUnlimited;
  write_suffix_.clear();
  read_budget_ = kUnlimited;
  file_faults_.clear();
}

bool FaultEnv::Step() {
  if (stop_after_ == 0) return false;
  if (stop_after_ != kUnlimited) --stop_after_;
  ++steps_;
  return true;
}

const FaultEnv::FileFaults* FaultEnv::FaultsOf(const std::string& path) const {
  auto it = file_faults_.find(path);
  return it == file_faults_.end() ? nullptr : &it->second;
}

size_t FaultEnv::WriteAllowance(const std::string& path, size_t n) {
  if (write_budget_ == kUnlimited || !EndsWith(path, write_suffix_)) return n;
  const size_t allowed = static_cast<size_t>(std::min<uint64_t>(n, write_budget_));
  write_budget_ -= allowed;
  return allowed;
}

std::shared_ptr<FaultEnv::Inode> FaultEnv::Track(const std::string& path) {
  if (auto it = names_.find(path); it != names_.end()) return it->second;
  // Not seen yet: a file of the base is taken as durable as it is.
  if (durable_names_.count(path) != 0) return nullptr;  // removed, not yet durably
  std::string content;
  if (base_->ReadAll(path, &content) != 0) return nullptr;
  auto inode = std::make_shared<Inode>();
  inode->durable = std::move(content);
  names_[path] = inode;
  durable_names_[path] = inode;
  return inode;
}

int FaultEnv::Open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) {
  const bool creates = mode == OpenMode::kCreate || mode == OpenMode::kCreateNew;
  if (creates && !Step()) return EIO;
  std::shared_ptr<Inode> inode = Track(path);
  std::unique_ptr<File> file;
  if (int rc = base_->Open(path, mode, &file); rc != 0) return rc;
  if (inode == nullptr) {
    inode = std::make_shared<Inode>();
    names_[path] = inode;
  } else if (mode == OpenMode::kCreate) {
    inode->unsynced.push_back({true, 0, {}});
  }
  *out = std::make_unique<FaultFile>(this, std::move(inode), std::move(file), path);
  return 0;
}

int FaultEnv::Stat(const std::string& path, FileInfo* info) { return base_->Stat(path, info); }

int FaultEnv::Remove(const std::string& path) {
  if (!Step()) return EIO;
  Track(path);
  if (int rc = base_->Remove(path); rc != 0) return rc;
  names_.erase(path);
  return 0;
}

int FaultEnv::Rename(const std::string& from, const std::string& to) {
  if (!Step()) return EIO;
  std::shared_ptr<Inode> inode = Track(from);
  Track(to);
  if (int rc = base_->Rename(from, to); rc != 0) return rc;
  if (inode == nullptr) inode = std::make_shared<Inode>();
  names_[to] = std::move(inode);
  names_.erase(from);
  return 0;
}

int FaultEnv::CreateDir(const std::string& path) {
  if (!Step()) return EIO;
  return base_->CreateDir(path);
}

int FaultEnv::ListDir(const std::string& path, std::vector<DirEntry>* entries) {
  return base_->ListDir(path, entries);
}

int FaultEnv::CopyFile(const std::string& from, const std::string& to) {
  std::string data;
  if (int rc = ReadAll(from, &data); rc != 0) return rc;
  return WriteAtomically(to, data.data(), data.size());
}

int FaultEnv::SyncDir(const std::string& dir) {
  if (!Step()) return EIO;
  if (int rc = base_->SyncDir(dir); rc != 0) return rc;
  std::set<std::string> paths;
  for (const auto& [path, inode] : names_) paths.insert(path);
  for (const auto& [path, inode] : durable_names_) paths.insert(path);
  for (const std::string& path : paths) {
    if (ParentOf(path) != dir) continue;
    if (auto it = names_.find(path); it != names_.end()) {
      durable_names_[path] = it->second;
    } else {
      durable_names_.erase(path);
    }
  }
  return 0;
}

// What of each file's unsynced operations reaches the disk, as the header
// describes: sector by sector, a prefix of the writes that touched it.
void FaultEnv::LosePower(PowerLoss mode, uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::set<Inode*> landed;
  for (auto& [path, inode] : durable_names_) {
    if (!landed.insert(inode.get()).second) continue;
    const std::vector<Inode::Op>& ops = inode->unsynced;
    std::string content = inode->durable;
    if (!ops.empty()) {
      // The unsynced writes touching each sector, in order.
      std::map<uint64_t, std::vector<size_t>> sectors;
      for (size_t i = 0; i < ops.size(); ++i) {
        if (ops[i].truncate || ops[i].data.empty()) continue;
        const uint64_t first = ops[i].offset / kSectorBytes;
        const uint64_t last = (ops[i].offset + ops[i].data.size() - 1) / kSectorBytes;
        for (uint64_t s = first; s <= last; ++s) sectors[s].push_back(i);
      }
      // How many of them landed, per sector.
      std::map<uint64_t, size_t> prefix;
      const size_t last_op = ops.size() - 1;
      for (const auto& [sector, touching] : sectors) {
        size_t k = 0;
        switch (mode) {
          case PowerLoss::kDropUnsynced: break;
          case PowerLoss::kTearLast:
            if (touching.back() == last_op && rng() % 2 == 0) k = touching.size();
            break;
          case PowerLoss::kKeepSome: k = rng() % (touching.size() + 1); break;
        }
        prefix[sector] = k;
      }
      for (size_t i = 0; i < ops.size(); ++i) {
        const Inode::Op& op = ops[i];
        if (op.truncate) {
          const bool lands = (mode == PowerLoss::kKeepSome && rng() % 2 == 0) ||
                             (mode == PowerLoss::kTearLast && i == last_op && rng() % 2 == 0);
          if (lands) content.resize(op.offset);
          continue;
        }
        for (uint64_t at = op.offset; at < op.offset + op.data.size();) {
          const uint64_t sector = at / kSectorBytes;
          const uint64_t end = std::min<uint64_t>((sector + 1) * kSectorBytes, op.offset + op.data.size());
          const std::vector<size_t>& touching = sectors[sector];
          const size_t rank = static_cast<size_t>(std::find(touching.begin(), touching.end(), i) - touching.begin());
          if (rank < prefix[sector]) WriteAt(&content, at, op.data.data() + (at - op.offset), end - at);
          at = end;
        }
      }
    }
    inode->durable = std::move(content);
    inode->unsynced.clear();
  }
  // The base now holds exactly the durable names and contents.
  for (const auto& [path, inode] : names_) {
    if (durable_names_.count(path) == 0) base_->Remove(path);
  }
  for (const auto& [path, inode] : durable_names_) {
    std::unique_ptr<File> file;
    if (base_->Open(path, OpenMode::kCreate, &file) == 0) file->Write(0, inode->durable.data(), inode->durable.size());
  }
  names_ = durable_names_;
  ++generation_;
  stop_after_ = kUnlimited;
}

}  // namespace tavo
